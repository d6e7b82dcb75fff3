// The benchmark: every presented frame of the presentation timed from its clear to after its
// present, summed up per scene at the end (a table on stdout) and, when asked, written frame by
// frame to a JSON file with the machine's facts.
#pragma once
#include <string>
#include <vector>

#include "core/services.h"

struct BenchmarkSettings {
    std::string outPath;  // the JSON file, an absolute path; empty: none
    int width = 800;
    int height = 600;
    int fps = 60;
    int startAtMs = -1;  // frames before this presentation time (and the loading frames) are not timed
    int endAtMs = -1;    // the run ends with the first frame at or after this time; -1: at the end
    bool windowed = false;
};

// One timed frame.
struct FrameTiming {
    double time = 0.0;   // presentation time (s)
    int scene = 0;       // index into the scene table
    double ms = 0.0;     // wall milliseconds from clear to after present
    double cpuMs = 0.0;  // processor time of all the program's threads (llvmpipe's included) meanwhile
};

// The figures of one scene's frames (or of a whole run, scene -1).
struct TimingSummary {
    int scene = -1;
    long frames = 0;
    double meanFps = 0.0;  // frames per second of the frames' own time
    double medianMs = 0.0;
    double p99Ms = 0.0;  // 99th percentile (nearest rank): the "1 % low" is 1000 / p99Ms fps
    double worstMs = 0.0;
    double worstTime = 0.0;  // presentation time of the worst frame
    double totalMs = 0.0;
    double meanCpuMs = 0.0;  // processor milliseconds per frame: the work, whatever else the machine does
};

// The summary of the given frames (all of them, whatever their scene). Zeros for none.
TimingSummary summariseFrames(const std::vector<FrameTiming>& frames);
// One summary per scene that has frames, in scene order.
std::vector<TimingSummary> summariseScenes(const std::vector<FrameTiming>& frames);

// What the run itself measured besides frame times.
struct RunFacts {
    double loadSeconds = 0.0;     // program start to the first timed frame presented
    double loadCpuSeconds = 0.0;  // processor time spent meanwhile (all threads)
    double peakResidentMib = 0.0;
    std::string glRenderer;
    std::string glVersion;
    std::string cpuModel;
    int cpuCount = 0;
    std::string drawPath;  // "display lists" or "immediate"
};

// The table printed at the end: a row per scene, then the whole run and the machine.
std::string formatBenchmarkReport(const std::vector<FrameTiming>& frames, const RunFacts& facts,
                                  const BenchmarkSettings& settings);
// The JSON document of --benchmark-out: settings, machine, summary per scene and whole, then frames.
std::string benchmarkJson(const std::vector<FrameTiming>& frames, const RunFacts& facts,
                          const BenchmarkSettings& settings);

// Checks that the JSON file can be written before any window opens. False with a reason.
bool prepareBenchmark(const BenchmarkSettings& settings, std::string* error);
// Turns the music off and puts the stopwatch around each frame into the table the shell is about
// to hand down.
void beginBenchmark(Services* handed);
// After the run: prints the report and writes the JSON file. False with a reason when no frame was
// timed or the file could not be written.
bool finishBenchmark(std::string* error);
