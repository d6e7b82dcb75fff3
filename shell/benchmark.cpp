// The benchmark run: the stopwatch hooks of the frame module time each frame from its clear to
// after its present (both ends behind glFinish, so the GL work is done), on a steady wall clock that
// never reaches the presentation's own fixed-step clock. At the end the frames are summed up per
// scene of the scene table, printed, and written as JSON. Uses the progress bar of the recordings.
#include "shell/benchmark.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>

#include "core/clock.h"
#include "core/files.h"
#include "core/gl.h"
#include "media/music.h"
#include "render/frame.h"
#include "render/renderer.h"
#include "scenes/scenes.h"
#include "shell/frames.h"
#include "shell/progress.h"
#include "shell/sequencer.h"

namespace {

using Clock = std::chrono::steady_clock;
// Taken while the program's statics are set up, before main: the start of the load time.
const Clock::time_point programStart = Clock::now();

BenchmarkSettings settings;
std::vector<FrameTiming> frames;
RunFacts facts;
Clock::time_point frameStart;
double frameStartCpuMs = 0.0;
ProgressBar progress;
std::string jsonPath;  // the JSON being written, beside settings.outPath until renamed

// Processor time of the whole process, all threads, in milliseconds.
double processCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1000.0 + static_cast<double>(now.tv_nsec) / 1.0e6;
}

double millisecondsSince(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

std::string glText(GLenum name)
{
    const GLubyte* text = glGetString(name);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "unknown";
}

std::string cpuModel()
{
    std::ifstream in("/proc/cpuinfo");
    std::string line;
    while (std::getline(in, line)) {
        if (line.rfind("model name", 0) == 0) {
            const size_t colon = line.find(':');
            if (colon != std::string::npos) {
                return line.substr(line.find_first_not_of(' ', colon + 1));
            }
        }
    }
    return "unknown";
}

double peakResidentMib()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

void onFrameStarted()
{
    glFinish();
    frameStart = Clock::now();
    frameStartCpuMs = processCpuMs();
}

void onFramePresented()
{
    const double time = presentationTime();
    if (time < 0.0 || (settings.startAtMs >= 0 && time < settings.startAtMs / 1000.0 - frameTimeSlack)) {
        return;
    }
    glFinish();
    const Clock::time_point now = Clock::now();
    if (frames.empty()) {
        facts.loadSeconds = millisecondsSince(programStart, now) / 1000.0;
        facts.loadCpuSeconds = processCpuMs() / 1000.0;
        facts.glRenderer = glText(GL_RENDERER);
        facts.glVersion = glText(GL_VERSION);
    }
    frames.push_back(
        FrameTiming{time, currentSceneIndex, millisecondsSince(frameStart, now), processCpuMs() - frameStartCpuMs});
    progress.frame(currentSceneIndex, time);
    if (settings.endAtMs >= 0 && time >= settings.endAtMs / 1000.0 - frameTimeSlack) {
        escapeFlag = true;
    }
}

// Nearest rank: the smallest value with at least p of the values at or below it.
double percentile(std::vector<double> values, double p)
{
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const size_t rank = static_cast<size_t>(std::ceil(p * static_cast<double>(values.size())));
    return values[std::min(values.size(), std::max<size_t>(rank, 1)) - 1];
}

double fpsOf(double ms)
{
    return ms > 0.0 ? 1000.0 / ms : 0.0;
}

std::string jsonString(const std::string& text)
{
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += c;
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            quoted += escaped;
        } else {
            quoted += c;
        }
    }
    return quoted + "\"";
}

std::string jsonSummary(const TimingSummary& s)
{
    // A scene's own stretch of presentation time, for plots; the whole run has none.
    char stretch[80] = "";
    if (s.scene >= 0 && s.scene < sceneCount) {
        std::snprintf(stretch, sizeof stretch, "\"start\": %.3f, \"end\": %.3f, ", sceneTable[s.scene].start,
                      sceneTable[s.scene].start + sceneTable[s.scene].duration);
    }
    char text[400];
    std::snprintf(text, sizeof text,
                  "{\"scene\": %s, %s\"frames\": %ld, \"mean_fps\": %.2f, \"median_ms\": %.3f, \"p99_ms\": %.3f, "
                  "\"low_fps\": %.2f, \"worst_ms\": %.3f, \"worst_at\": %.3f, \"total_ms\": %.1f, \"cpu_ms\": %.3f}",
                  jsonString(s.scene >= 0 ? sceneName(s.scene) : "whole run").c_str(), stretch, s.frames, s.meanFps,
                  s.medianMs, s.p99Ms, fpsOf(s.p99Ms), s.worstMs, s.worstTime, s.totalMs, s.meanCpuMs);
    return text;
}

std::string tableRow(const char* name, const TimingSummary& s)
{
    char text[200];
    std::snprintf(text, sizeof text, "%-14s %7ld %9.1f %10.2f %12.1f %9.2f %9.3f %8.2f\n", name, s.frames, s.meanFps,
                  s.medianMs, fpsOf(s.p99Ms), s.worstMs, s.worstTime, s.meanCpuMs);
    return text;
}

}  // namespace

TimingSummary summariseFrames(const std::vector<FrameTiming>& timed)
{
    TimingSummary summary;
    std::vector<double> ms;
    ms.reserve(timed.size());
    double cpuMs = 0.0;
    for (const FrameTiming& frame : timed) {
        ms.push_back(frame.ms);
        summary.totalMs += frame.ms;
        cpuMs += frame.cpuMs;
        if (summary.frames == 0 || frame.ms > summary.worstMs) {
            summary.worstMs = frame.ms;
            summary.worstTime = frame.time;
        }
        ++summary.frames;
    }
    summary.meanFps = summary.totalMs > 0.0 ? summary.frames * 1000.0 / summary.totalMs : 0.0;
    summary.meanCpuMs = summary.frames > 0 ? cpuMs / static_cast<double>(summary.frames) : 0.0;
    summary.medianMs = percentile(ms, 0.5);
    summary.p99Ms = percentile(ms, 0.99);
    return summary;
}

std::vector<TimingSummary> summariseScenes(const std::vector<FrameTiming>& timed)
{
    std::vector<TimingSummary> scenes;
    for (int scene = 0; scene < sceneCount; ++scene) {
        std::vector<FrameTiming> own;
        for (const FrameTiming& frame : timed) {
            if (frame.scene == scene) {
                own.push_back(frame);
            }
        }
        if (!own.empty()) {
            scenes.push_back(summariseFrames(own));
            scenes.back().scene = scene;
        }
    }
    return scenes;
}

std::string formatBenchmarkReport(const std::vector<FrameTiming>& timed, const RunFacts& run,
                                  const BenchmarkSettings& wanted)
{
    std::string report;
    char line[400];
    std::snprintf(line, sizeof line, "velmora benchmark: %dx%d, %d fps clock, %s, %s\n", wanted.width, wanted.height,
                  wanted.fps, wanted.windowed ? "in a window" : "headless", run.drawPath.c_str());
    report += line;
    report += "scene           frames  mean fps  median ms  1 % low fps  worst ms    at (s)   cpu ms\n";
    for (const TimingSummary& scene : summariseScenes(timed)) {
        report += tableRow(sceneName(scene.scene), scene);
    }
    const TimingSummary whole = summariseFrames(timed);
    report += tableRow("whole run", whole);
    std::snprintf(line, sizeof line,
                  "total %ld frames in %.2f s (%.1f fps); load %.2f s to the first frame (%.2f s of processor "
                  "time); peak resident %.1f MiB\n",
                  whole.frames, whole.totalMs / 1000.0, whole.meanFps, run.loadSeconds, run.loadCpuSeconds,
                  run.peakResidentMib);
    report += line;
    report += "GL: " + run.glRenderer + " / " + run.glVersion + "\n";
    report += "CPU: " + run.cpuModel + " x " + std::to_string(run.cpuCount) + "\n";
    return report;
}

std::string benchmarkJson(const std::vector<FrameTiming>& timed, const RunFacts& run, const BenchmarkSettings& wanted)
{
    std::string json = "{\n";
    char text[400];
    std::snprintf(text, sizeof text,
                  "  \"settings\": {\"width\": %d, \"height\": %d, \"fps\": %d, \"start\": %.3f, \"end\": %.3f, "
                  "\"windowed\": %s, \"draw_path\": %s},\n",
                  wanted.width, wanted.height, wanted.fps, std::max(wanted.startAtMs, 0) / 1000.0,
                  (wanted.endAtMs >= 0 ? wanted.endAtMs : presentationLengthMs) / 1000.0,
                  wanted.windowed ? "true" : "false", jsonString(run.drawPath).c_str());
    json += text;
    json += "  \"machine\": {\"cpu\": " + jsonString(run.cpuModel) +
            ", \"cpu_count\": " + std::to_string(run.cpuCount) + ", \"gl_renderer\": " + jsonString(run.glRenderer) +
            ", \"gl_version\": " + jsonString(run.glVersion) + "},\n";
    std::snprintf(text, sizeof text,
                  "  \"run\": {\"load_seconds\": %.3f, \"load_cpu_seconds\": %.3f, \"peak_resident_mib\": %.1f},\n",
                  run.loadSeconds, run.loadCpuSeconds, run.peakResidentMib);
    json += text;
    json += "  \"whole\": " + jsonSummary(summariseFrames(timed)) + ",\n  \"scenes\": [";
    const std::vector<TimingSummary> scenes = summariseScenes(timed);
    for (size_t i = 0; i < scenes.size(); ++i) {
        json += (i == 0 ? "\n    " : ",\n    ") + jsonSummary(scenes[i]);
    }
    json += "\n  ],\n  \"frames\": [";
    for (size_t i = 0; i < timed.size(); ++i) {
        std::snprintf(text, sizeof text, "%s\n    {\"t\": %.4f, \"scene\": %s, \"ms\": %.3f, \"cpu_ms\": %.3f}",
                      i == 0 ? "" : ",", timed[i].time, jsonString(sceneName(timed[i].scene)).c_str(), timed[i].ms,
                      timed[i].cpuMs);
        json += text;
    }
    json += "\n  ]\n}\n";
    return json;
}

bool prepareBenchmark(const BenchmarkSettings& wanted, std::string* error)
{
    settings = wanted;
    jsonPath.clear();
    if (settings.outPath.empty()) {
        return true;
    }
    // The JSON goes to a file of its own beside the target, made now so that a bad path is known
    // before a long run, and renamed into place when written: an earlier file there stays until then.
    struct stat info {};
    if (stat(settings.outPath.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        *error = "cannot write the benchmark to " + settings.outPath +
                 (S_ISDIR(info.st_mode) ? ": it is a folder" : ": it is not a regular file");
        return false;
    }
    std::string why;
    jsonPath = makeFileBeside(settings.outPath, ".json", &why);
    if (jsonPath.empty()) {
        *error = "cannot write the benchmark to " + settings.outPath + ": " + why;
        return false;
    }
    return true;
}

void beginBenchmark(Services* handed)
{
    frames.clear();
    frames.reserve(static_cast<size_t>(presentationLength * settings.fps) + 16);
    facts = RunFacts{};
    facts.cpuModel = cpuModel();
    facts.cpuCount = static_cast<int>(sysconf(_SC_NPROCESSORS_ONLN));
    facts.drawPath = immediateModeForced() ? "immediate" : "display lists";
    setMusicOff(true);
    const double from = settings.startAtMs >= 0 ? settings.startAtMs / 1000.0 : 0.0;
    const double to = (settings.endAtMs >= 0 ? settings.endAtMs : presentationLengthMs) / 1000.0;
    progress.begin(from, to, settings.width, settings.height);
    handed->frameStarted = onFrameStarted;
    handed->framePresented = onFramePresented;
}

bool finishBenchmark(std::string* error)
{
    progress.end();
    if (frames.empty()) {
        if (!jsonPath.empty()) {
            std::remove(jsonPath.c_str());
        }
        // An interrupt before the first frame leaves nothing to report, and nothing went wrong.
        if (interruptSignal != 0) {
            std::fprintf(stderr, "velmora: interrupted before the first frame; nothing was timed\n");
            return true;
        }
        *error = "the benchmark timed no frame";
        return false;
    }
    facts.peakResidentMib = peakResidentMib();
    // The file first: a closed standard output must not cost the figures.
    if (!jsonPath.empty()) {
        std::ofstream out(jsonPath, std::ios::binary | std::ios::trunc);
        out << benchmarkJson(frames, facts, settings);
        out.close();
        const bool written = static_cast<bool>(out) && std::rename(jsonPath.c_str(), settings.outPath.c_str()) == 0;
        if (!written) {
            std::remove(jsonPath.c_str());
            *error = "cannot write the benchmark to " + settings.outPath;
            return false;
        }
        std::fprintf(stderr, "velmora: wrote %s (%zu frames)\n", settings.outPath.c_str(), frames.size());
    }
    const std::string report = formatBenchmarkReport(frames, facts, settings);
    if (std::fputs(report.c_str(), stdout) < 0 || std::fflush(stdout) != 0) {
        *error = std::string("cannot write the benchmark table to standard output: ") + std::strerror(errno);
        return false;
    }
    return true;
}
