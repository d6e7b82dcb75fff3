// Video capture: each presented frame (read back as BGRA before the swap) goes down a pipe to an
// ffmpeg that encodes H.264, a fresh one for each whole second of presentation time; when the run
// is over a second, quick ffmpeg pass joins those seconds as they are and adds the music as AAC,
// placed where it started relative to the frames. Because every second is encoded on its own, a
// capture of a range that starts on a whole second holds the very encoded pictures of that stretch
// of a longer capture, so that recordings of neighbouring ranges join into one. Both passes write
// files of their own beside the target, and only a finished video is renamed into place: any
// failure ends the run and removes those files, never the target. Uses the frame observers, the
// tick count and the progress bar.
#include "shell/capture.h"

#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "core/clock.h"
#include "core/files.h"
#include "media/music.h"
#include "platform/platform.h"
#include "render/frame.h"
#include "shell/frames.h"
#include "shell/options.h"
#include "shell/progress.h"
#include "shell/sequencer.h"
#include "shell/window.h"

namespace {

CaptureSettings settings;
// The encoded seconds without sound, removed once joined, and the list that joins them.
std::vector<std::string> secondPaths;
std::string joinListPath;
std::string finalPath;  // the muxed video, renamed to settings.path when complete
std::string logPath;    // ffmpeg's error output
int encoderPid = -1;
int encoderFd = -1;
long encoderSecond = 0;              // the whole second of presentation time being encoded
std::vector<int> finishingEncoders;  // encoders of earlier seconds, their input closed
bool failed = false;
std::string failure;
long framesWritten = 0;
bool haveFirstFrame = false;
uint32_t firstFrameTick = 0;
bool musicStarted = false;
uint32_t musicTick = 0;
std::string musicPath;
std::vector<uint8_t> pixels;
ProgressBar progress;

std::string number(double value)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", value);
    return text;
}

// The last lines ffmpeg wrote to its log, for the error message.
std::string logTail()
{
    std::ifstream in(logPath);
    std::string line;
    std::string last;
    std::string beforeLast;
    while (std::getline(in, line)) {
        if (!line.empty()) {
            beforeLast = last;
            last = line;
        }
    }
    if (last.empty()) {
        return "no message from ffmpeg";
    }
    return beforeLast.empty() ? last : beforeLast + " / " + last;
}

void fail(const std::string& why)
{
    if (!failed) {
        failed = true;
        failure = why;
    }
    // Nothing more can be recorded: end the presentation through its normal teardown.
    escapeFlag = true;
}

bool startEncoder(const std::string& videoPath)
{
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        fail(std::string("cannot make a pipe to ffmpeg: ") + std::strerror(errno));
        return false;
    }
    fcntl(fds[1], F_SETPIPE_SZ, 1 << 20);
    const std::vector<std::string> arguments = {
        "ffmpeg", "-hide_banner", "-nostats", "-loglevel", "error", "-y", "-f", "rawvideo", "-pixel_format", "bgra",
        "-video_size", std::to_string(settings.width) + "x" + std::to_string(settings.height), "-framerate",
        std::to_string(settings.fps), "-i", "pipe:0",
        // GL's rows come bottom first.
        "-vf", "vflip", "-c:v", "libx264", "-preset", "veryfast", "-pix_fmt", "yuv420p", "-f", "matroska", videoPath};
    encoderPid = spawnProgram(arguments, fds[0], logPath);
    close(fds[0]);
    if (encoderPid < 0) {
        close(fds[1]);
        fail("cannot start ffmpeg");
        return false;
    }
    encoderFd = fds[1];
    return true;
}

bool writeAll(const uint8_t* data, size_t size)
{
    while (size > 0) {
        const ssize_t written = write(encoderFd, data, size);
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}

// Waits for an encoder whose input is closed; false (the run failed) when it did not end well.
bool reap(int pid)
{
    if (waitProgram(pid) != 0) {
        fail("ffmpeg failed while encoding: " + logTail());
        return false;
    }
    return true;
}

// Ends the current second's encoder (it finishes in the background) and starts one for second.
bool startSecond(long second)
{
    if (encoderFd >= 0) {
        close(encoderFd);
        encoderFd = -1;
        finishingEncoders.push_back(encoderPid);
        encoderPid = -1;
    }
    // The encoder before the last has had a whole second of frames' time to finish.
    while (finishingEncoders.size() > 1) {
        const int pid = finishingEncoders.front();
        finishingEncoders.erase(finishingEncoders.begin());
        if (!reap(pid)) {
            return false;
        }
    }
    std::string why;
    const std::string path = makeFileBeside(settings.path, ".part", &why);
    if (path.empty()) {
        fail("cannot write the capture " + settings.path + ": " + why);
        return false;
    }
    secondPaths.push_back(path);
    encoderSecond = second;
    return startEncoder(path);
}

void onFrame()
{
    if (failed) {
        return;
    }
    const double time = presentationTime();
    if (settings.startAtMs >= 0 && (time < 0.0 || time < settings.startAtMs / 1000.0 - frameTimeSlack)) {
        return;
    }
    // The frames of [start, end): the first one at or after the end is left out and ends the run,
    // so that recordings of neighbouring ranges join into the recording of both.
    if (settings.endAtMs >= 0 && time >= settings.endAtMs / 1000.0 - frameTimeSlack) {
        escapeFlag = true;
        return;
    }
    // The loading frames (before the first scene) go with the first second.
    const long second = time < 0.0 ? 0 : static_cast<long>(std::floor(time + frameTimeSlack));
    if ((encoderPid < 0 || second != encoderSecond) && !startSecond(second)) {
        return;
    }
    if (!haveFirstFrame) {
        haveFirstFrame = true;
        firstFrameTick = sysTickCount();
    }
    readFramePixels(settings.width, settings.height, settings.supersample, PixelLayout::Bgra, &pixels);
    if (!writeAll(pixels.data(), pixels.size())) {
        fail("ffmpeg stopped taking frames: " + logTail());
        return;
    }
    ++framesWritten;
    progress.frame(time < 0.0 ? -1 : currentSceneIndex, time);
}

void onMusicStarted(const char* file)
{
    if (musicStarted || file == nullptr) {
        return;
    }
    musicStarted = true;
    musicTick = sysTickCount();
    musicPath = file;
    if (!musicPath.empty() && musicPath[0] != '/') {
        char folder[4096];
        if (getcwd(folder, sizeof folder) != nullptr) {
            musicPath = std::string(folder) + "/" + musicPath;
        }
    }
}

// Only the files this run made; whatever was at the target before stays.
void removeOwnFiles()
{
    for (const std::string& path : {joinListPath, finalPath, logPath}) {
        if (!path.empty()) {
            std::remove(path.c_str());
        }
    }
    for (const std::string& path : secondPaths) {
        std::remove(path.c_str());
    }
    secondPaths.clear();
    joinListPath.clear();
    finalPath.clear();
    logPath.clear();
}

// The list of the encoded seconds for ffmpeg's concat reader. False with failure set.
bool writeJoinList()
{
    std::ofstream list(joinListPath);
    list << "ffconcat version 1.0\n";
    for (const std::string& path : secondPaths) {
        std::string quoted;
        for (char c : path) {
            quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
        }
        list << "file '" << quoted << "'\n";
    }
    list.close();
    if (!list) {
        failed = true;
        failure = "cannot write " + joinListPath;
        return false;
    }
    return true;
}

// Joins the encoded seconds as they are and adds the music. Returns false with failure set.
bool mux()
{
    if (!writeJoinList()) {
        return false;
    }
    std::vector<std::string> arguments = {"ffmpeg", "-hide_banner", "-nostats", "-loglevel", "error", "-y",
                                          "-f",     "concat",       "-safe",    "0",         "-i",    joinListPath};
    if (!musicStarted) {
        std::fprintf(stderr, "velmora: the music never started; the video has no sound\n");
    } else if (access(musicPath.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "velmora: cannot read the music %s; the video has no sound\n", musicPath.c_str());
    } else {
        const MusicPlacement place = placeMusic(firstFrameTick, musicTick);
        if (place.seekSeconds > 0.0) {
            arguments.insert(arguments.end(), {"-ss", number(place.seekSeconds)});
        }
        arguments.insert(arguments.end(), {"-i", musicPath, "-map", "0:v:0", "-map", "1:a:0"});
        if (place.delaySeconds > 0.0) {
            const long delayMs = std::lround(place.delaySeconds * 1000.0);
            arguments.insert(arguments.end(), {"-af", "adelay=delays=" + std::to_string(delayMs) + ":all=1"});
        }
        arguments.insert(arguments.end(), {"-c:a", "aac", "-b:a", "192k"});
        // Where the sound came from, for joining recordings of neighbouring ranges under one sound
        // track (scripts/capture-parts).
        arguments.insert(arguments.end(), {"-metadata", "velmora_music=" + musicPath, "-metadata",
                                           "velmora_music_seek=" + number(place.seekSeconds), "-metadata",
                                           "velmora_music_delay=" + number(place.delaySeconds)});
    }
    arguments.insert(arguments.end(),
                     {"-c:v", "copy", "-t", number(static_cast<double>(framesWritten) / settings.fps)});
    const size_t length = settings.path.size();
    if (length >= 4 && strcasecmp(settings.path.c_str() + length - 4, ".mp4") == 0) {
        arguments.insert(arguments.end(), {"-movflags", "+faststart"});
    }
    arguments.push_back(finalPath);
    const int status = waitProgram(spawnProgram(arguments, -1, logPath));
    if (status != 0) {
        failed = true;
        failure = "ffmpeg could not add the music: " + logTail();
        return false;
    }
    return true;
}

}  // namespace

MusicPlacement placeMusic(uint32_t firstFrameTick, uint32_t musicTick)
{
    MusicPlacement place;
    const double offset = (static_cast<double>(firstFrameTick) - static_cast<double>(musicTick)) / 1000.0;
    if (offset >= 0.0) {
        place.seekSeconds = offset;  // the video starts after the music did: start inside it
    } else {
        place.delaySeconds = -offset;  // the music starts after the first frame (the loading frames)
    }
    return place;
}

bool prepareCapture(const CaptureSettings& wanted, std::string* error)
{
    settings = wanted;
    if (findOnPath("ffmpeg").empty()) {
        *error = "--capture needs ffmpeg, which is not on the PATH (Debian package ffmpeg)";
        return false;
    }
    const size_t slash = settings.path.rfind('/');
    const std::string folder = slash == 0 ? "/" : settings.path.substr(0, slash);
    struct stat info {};
    if (stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) || access(folder.c_str(), W_OK) != 0) {
        *error = "cannot write the capture into the folder " + folder;
        return false;
    }
    if (stat(settings.path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        *error = "cannot write the capture: " + settings.path +
                 (S_ISDIR(info.st_mode) ? " is a folder" : " is not a regular file");
        return false;
    }
    // The files of both passes are made now, so that a name the folder cannot hold is known before
    // loading, not from ffmpeg half-way through.
    std::string why;
    joinListPath = makeFileBeside(settings.path, ".parts", &why);
    const size_t dot = settings.path.rfind('.');
    finalPath = joinListPath.empty() ? std::string() : makeFileBeside(settings.path, settings.path.c_str() + dot, &why);
    char logName[] = "/tmp/velmora-ffmpeg-XXXXXX";
    const int logFd = finalPath.empty() ? -1 : mkstemp(logName);
    if (logFd >= 0) {
        close(logFd);
        logPath = logName;
    } else if (!finalPath.empty()) {
        why = std::string("cannot make a log file for ffmpeg: ") + std::strerror(errno);
    }
    if (logPath.empty()) {
        *error = "cannot write the capture " + settings.path + ": " + why;
        removeOwnFiles();
        return false;
    }
    return true;
}

void beginCapture(Services* handed)
{
    failed = false;
    failure.clear();
    framesWritten = 0;
    secondPaths.clear();
    finishingEncoders.clear();
    haveFirstFrame = false;
    musicStarted = false;
    const double from = settings.startAtMs >= 0 ? settings.startAtMs / 1000.0 : 0.0;
    const double to = (settings.endAtMs >= 0 ? settings.endAtMs : presentationLengthMs) / 1000.0;
    progress.begin(from, to, settings.width, settings.height);
    handed->frameDrawn = onFrame;
    handed->musicStarted = onMusicStarted;
}

bool finishCapture(std::string* error)
{
    progress.end();
    if (encoderFd >= 0) {
        close(encoderFd);
        encoderFd = -1;
    }
    if (encoderPid > 0) {
        finishingEncoders.push_back(encoderPid);
        encoderPid = -1;
    }
    for (int pid : finishingEncoders) {
        if (waitProgram(pid) != 0 && !failed) {
            failed = true;
            failure = "ffmpeg failed while encoding: " + logTail();
        }
    }
    finishingEncoders.clear();
    // Interrupted before its first frame: nothing to keep, and nothing went wrong.
    if (!failed && framesWritten == 0 && interruptSignal != 0) {
        std::fprintf(stderr, "velmora: interrupted before the first frame; nothing was recorded\n");
        removeOwnFiles();
        return true;
    }
    if (!failed && framesWritten == 0) {
        failed = true;
        failure = "no frame was recorded";
    }
    if (!failed && mux() && std::rename(finalPath.c_str(), settings.path.c_str()) != 0) {
        failed = true;
        failure = "cannot write " + settings.path + ": " + std::strerror(errno);
    }
    if (failed) {
        *error = failure;
    } else {
        finalPath.clear();  // it is the target now
        std::fprintf(stderr, "velmora: wrote %s (%ld frames, %dx%d at %d fps, %.2f s)\n", settings.path.c_str(),
                     framesWritten, settings.width, settings.height, settings.fps,
                     static_cast<double>(framesWritten) / settings.fps);
    }
    removeOwnFiles();
    return !failed;
}
