// Recording the presentation to a video file: every presented frame is read back and piped to
// ffmpeg as raw video, and the music is muxed in from the moment it started.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/services.h"

struct CaptureSettings {
    std::string path;  // the .mp4 or .mkv file, an absolute path
    int width = 800;
    int height = 600;
    int supersample = 1;  // frames are drawn this many times larger and box-filtered down to width x height
    int fps = 60;
    int startAtMs = -1;  // frames before this presentation time (and the loading frames) are left out
    int endAtMs = -1;    // frames from this time on are left out and end the run; -1: at the end
};

// Checks what the capture needs before any window opens: ffmpeg on the PATH and a writable folder.
// Returns false with a reason.
bool prepareCapture(const CaptureSettings& settings, std::string* error);
// Starts the run's bookkeeping and puts the capture's watchers of presented frames and of the
// music's start into the table the shell is about to hand down.
void beginCapture(Services* handed);
// After the run: ends the encoding and adds the music. Returns true when the file was written;
// otherwise false with a reason, and no partial file is left behind.
bool finishCapture(std::string* error);

// Where the music goes in a video whose first frame was presented at firstFrameTick when the music
// started at musicTick (both on the presentation's tick count): how far into the music the sound
// starts, and after how much silence.
struct MusicPlacement {
    double seekSeconds = 0.0;
    double delaySeconds = 0.0;
};
MusicPlacement placeMusic(uint32_t firstFrameTick, uint32_t musicTick);

// Runs a program (searched on the PATH) with arguments in its own process group, its standard
// input from inputFd (-1: /dev/null), its output discarded and its error output appended to
// logPath. Returns the process id, or -1 when it could not be started.
int spawnProgram(const std::vector<std::string>& arguments, int inputFd, const std::string& logPath);
// Waits for a spawned program; its exit status, or -1 when it died from a signal.
int waitProgram(int pid);
// The full path of an executable found on the PATH; empty when there is none.
std::string findOnPath(const std::string& program);
