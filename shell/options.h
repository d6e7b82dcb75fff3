// The command line: the launch dialog's choices for unattended runs, the data folder, the
// fixed-step clock and batch mode, the recording options (video capture, still frames, a later
// start and end) and the benchmark.
#pragma once
#include <string>
#include <vector>

#include "scenes/scenes.h"

struct Options {
    bool noDialog = false;
    bool windowed = false;
    bool modeChange = false;  // --mode-change: full screen at the chosen resolution's display mode
    bool resolutionGiven = false;
    int width = 800;
    int height = 600;
    std::string dataDir;  // empty: look in the usual places
    int fps = 0;          // 0: the wall clock (a recording defaults to 60)
    bool batch = false;
    bool verbose = false;  // --verbose: every problem of a damaged data file, not one line a file
    bool help = false;
    bool version = false;

    std::string capturePath;  // --capture: an .mp4 or .mkv file
    std::string framesDir;    // --frames: the folder the PNG files go to
    std::vector<int> atMs;    // --at and --every together: presentation times in ms, sorted, unique
    int startAtMs = -1;       // --start-at in ms; -1: from the beginning
    int endAtMs = -1;         // --end-at in ms; -1: to the end
    int recordWidth = 0;      // --size: the recording's frame size; 0: the resolution's, drawn as today
    int recordHeight = 0;
    int supersample = 1;  // --supersample: each frame drawn this many times larger, then reduced

    bool benchmark = false;    // --benchmark: time every frame, print a table per scene
    std::string benchmarkOut;  // --benchmark-out: the JSON file of every frame's time
};

// Parses argv. Returns false with a one-line reason in error for an unknown option, a bad value or
// options that do not go together. --capture and --frames imply --no-dialog, --batch and
// --windowed, and a 60 fps fixed-step clock unless --fps says otherwise; --benchmark implies
// --no-dialog, --batch and the same clock.
bool parseOptions(int argc, char** argv, Options* options, std::string* error);
// The usage text printed by --help and after a bad option.
const char* usageText();
// True for a run that records video or frames.
bool isRecording(const Options& options);
// A presentation time in ms as the seconds text used in file names and messages: "0044.500".
std::string timeName(int ms);
