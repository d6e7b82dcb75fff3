// Entry point: the command line or the launch dialog decides the options, the data folder is
// found, then the render window is made and the presentation plays, recorded to a video or to
// still frames when asked, or timed frame by frame as a benchmark. Returns 0 for a normal end
// (played, Escape, Exit, Close), 2 for a bad command line, 1 when the data, the dialog, the window,
// a recording or the benchmark fails, 130, 143 or 129 after SIGINT, SIGTERM or SIGHUP.
#include <limits.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/clock.h"
#include "core/files.h"
#include "platform/platform.h"
#include "shell/benchmark.h"
#include "shell/capture.h"
#include "shell/data_folder.h"
#include "shell/export_frames.h"
#include "shell/launch.h"
#include "shell/options.h"
#include "shell/player.h"
#include "shell/sequencer.h"
#include "shell/start_at.h"
#include "shell/version_line.h"
#include "shell/window.h"

static void onInterrupt(int signal)
{
    interruptSignal = signal;
    escapeFlag = true;
}

// The shell's convention for a run ended by a signal: 128 + its number (130 for SIGINT, 143 for
// SIGTERM, 129 for SIGHUP), so that scripts can tell it from a normal end.
static int interruptStatus()
{
    return 128 + static_cast<int>(interruptSignal);
}

// Makes the data folder the working folder: the one given, else the first of the usual places
// that holds the data. False (with the places looked in) when there is none.
static bool enterDataFolder(const Options& options)
{
    std::string folder = options.dataDir;
    if (folder.empty()) {
        char current[4096];
        const std::string currentDir = getcwd(current, sizeof current) != nullptr ? current : ".";
        const std::vector<std::string> places = dataFolderCandidates(currentDir, executableDir(), installedDataDir());
        folder = findDataFolder(places);
        if (folder.empty()) {
            std::fprintf(
                stderr,
                "velmora: cannot find the presentation's data (a folder holding pict/ and maps/); looked in:\n");
            for (const std::string& place : places) {
                std::fprintf(stderr, "  %s\n", place.c_str());
            }
            std::fprintf(stderr, "name it with --data DIR\n");
            return false;
        }
        if (folder == currentDir) {
            return true;
        }
    } else if (!looksLikeDataFolder(folder)) {
        std::fprintf(stderr, "velmora: %s is not the presentation's data: it holds neither pict/ nor maps/\n",
                     folder.c_str());
        return false;
    }
    if (chdir(folder.c_str()) != 0) {
        std::fprintf(stderr, "velmora: cannot use data folder %s: %s\n", folder.c_str(), std::strerror(errno));
        return false;
    }
    return true;
}

// Checks and sets up the recording the options ask for. False (with a message) when it cannot be made.
static bool prepareRecording(const Options& options)
{
    std::string error;
    bool ready = true;
    if (!options.capturePath.empty()) {
        CaptureSettings capture;
        capture.path = options.capturePath;
        capture.width = options.recordWidth > 0 ? options.recordWidth : screenWidth;
        capture.height = options.recordWidth > 0 ? options.recordHeight : screenHeight;
        capture.supersample = options.supersample;
        capture.fps = options.fps;
        capture.startAtMs = options.startAtMs;
        capture.endAtMs = options.endAtMs;
        ready = prepareCapture(capture, &error);
    } else if (!options.framesDir.empty()) {
        FrameExportSettings frames;
        frames.folder = options.framesDir;
        frames.width = options.recordWidth > 0 ? options.recordWidth : screenWidth;
        frames.height = options.recordWidth > 0 ? options.recordHeight : screenHeight;
        frames.supersample = options.supersample;
        frames.fps = options.fps;
        frames.timesMs = options.atMs;
        frames.startAtMs = options.startAtMs;
        frames.endAtMs = options.endAtMs;
        ready = prepareFrameExport(frames, &error);
    }
    if (!ready) {
        std::fprintf(stderr, "velmora: %s\n", error.c_str());
    }
    return ready;
}

// Ends the recording after the run. False (with a message unless quiet) when it failed.
static bool finishRecording(const Options& options, bool quiet)
{
    std::string error;
    bool ok = true;
    if (!options.capturePath.empty()) {
        ok = finishCapture(&error);
    } else if (!options.framesDir.empty()) {
        ok = finishFrameExport(&error);
    }
    if (!ok && !quiet) {
        std::fprintf(stderr, "velmora: %s\n", error.c_str());
    }
    return ok;
}

int main(int argc, char** argv)
{
    sysOnInterrupt(onInterrupt);
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, &options, &error)) {
        std::fprintf(stderr, "velmora: %s\n%s", error.c_str(), usageText());
        return 2;
    }
    if (options.help || options.version) {
        const std::string text = options.help ? usageText() : std::string(VELMORA_VERSION_LINE) + "\n";
        // A closed output is a failure to say so, not a silent success.
        if (std::fputs(text.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
            std::fprintf(stderr, "velmora: cannot write to standard output: %s\n", std::strerror(errno));
            return 1;
        }
        return 0;
    }
    // Output paths are the user's, relative to where the program was started, not to the data;
    // with that folder deleted there is nowhere to put a relative one.
    for (const std::string* output : {&options.capturePath, &options.framesDir, &options.benchmarkOut}) {
        char current[PATH_MAX + 1];
        if (!output->empty() && (*output)[0] != '/' && getcwd(current, sizeof current) == nullptr) {
            std::fprintf(stderr, "velmora: cannot place %s: the current folder is gone (%s); give a full path\n",
                         output->c_str(), std::strerror(errno));
            return 1;
        }
    }
    options.capturePath = absolutePath(options.capturePath);
    options.framesDir = absolutePath(options.framesDir);
    options.benchmarkOut = absolutePath(options.benchmarkOut);
    const bool recording = isRecording(options);

    setLaunchDefaults();
    // The command line's display choice: the dialog opens on it, --no-dialog plays with it; a
    // benchmark never changes the display.
    if (options.windowed || options.benchmark) {
        fullScreen = false;
    }
    modeChange = options.modeChange;
    if (options.resolutionGiven) {
        screenWidth = options.width;
        screenHeight = options.height;
    }
    sysSetBatchMode(options.batch);
    verboseDataReports = options.verbose;
    // F12 pictures go where the program was started, not into the data.
    char startedIn[PATH_MAX + 1];
    const std::string startFolder = getcwd(startedIn, sizeof startedIn) != nullptr ? startedIn : "";
    if (!enterDataFolder(options)) {
        return 1;
    }
    // From here on no data file is read from outside this folder, whatever links point where.
    if (!setDataRoot(".")) {
        std::fprintf(stderr, "velmora: cannot use the data folder: %s\n", std::strerror(errno));
        return 1;
    }

    if (options.noDialog) {
        launchChosen = true;
    } else {
        if (!sysRunLaunchDialog(launchDialogProc)) {
            std::fprintf(stderr,
                         "velmora: %s (without a display, record with --capture FILE or --frames DIR, "
                         "or measure with --benchmark)\n",
                         sysLastError());
            return 1;
        }
        if (exitChosen || !launchChosen) {
            return interruptSignal != 0 ? interruptStatus() : 0;
        }
    }
    // Interrupted before there is anything to tear down.
    if (interruptSignal != 0) {
        return interruptStatus();
    }
    sysSetFixedStep(options.fps);
    setStartTime(options.startAtMs);

    if (options.recordWidth > 0) {
        setRecordingSize(options.recordWidth, options.recordHeight, options.supersample);
    }
    if (recording) {
        // A recording runs faster or slower than the music: it is heard in the video, not played.
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        if (!prepareRecording(options)) {
            return 1;
        }
    }
    BenchmarkSettings benchmark;
    if (options.benchmark) {
        benchmark.outPath = options.benchmarkOut;
        benchmark.width = screenWidth;
        benchmark.height = screenHeight;
        benchmark.fps = options.fps;
        benchmark.startAtMs = options.startAtMs;
        benchmark.endAtMs = options.endAtMs;
        // Without --windowed the frames are drawn off screen, display or not.
        benchmark.windowed = options.windowed;
        if (!prepareBenchmark(benchmark, &error)) {
            std::fprintf(stderr, "velmora: %s\n", error.c_str());
            return 1;
        }
    }
    if (!sysInitVideo(recording || options.benchmark, options.benchmark && !options.windowed)) {
        std::fprintf(stderr, "velmora: %s\n", sysLastError());
        // Takes away the files made for the outputs; the target's earlier content stays.
        if (recording) {
            finishRecording(options, true);
        } else if (options.benchmark) {
            finishBenchmark(&error);
        }
        return 1;
    }
    // Everything the layers below are handed for this run, filled once.
    Services handed = shellServices();
    if (!options.capturePath.empty()) {
        beginCapture(&handed);
    } else if (!options.framesDir.empty()) {
        beginFrameExport(&handed);
    } else if (options.benchmark) {
        beginBenchmark(&handed);
    } else {
        enablePlayer(&handed, startFolder);
    }
    handDownServices(handed);
    const bool played = runDemo();
    handDownServices(Services{});
    if (!played) {
        std::fprintf(stderr, "velmora: %s\n", sysLastError());
    }
    // When the run could not start, its reason is the one worth reading.
    const bool recorded = !recording || finishRecording(options, !played);
    bool measured = true;
    if (options.benchmark && !finishBenchmark(&error)) {
        std::fprintf(stderr, "velmora: %s\n", error.c_str());
        measured = false;
    }
    if (!played || !recorded || !measured) {
        return 1;
    }
    return interruptSignal != 0 ? interruptStatus() : 0;
}
