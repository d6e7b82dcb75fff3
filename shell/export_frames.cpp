// Frame export on the frame observer: the requested times are matched against each presented
// frame's presentation time; a match is read back as RGB and written with libpng. Since the
// presentation may end a fraction of a frame short of its nominal length, the final frame is kept
// to stand for times past it.
#include "shell/export_frames.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "core/clock.h"
#include "core/png.h"
#include "render/frame.h"
#include "shell/frames.h"
#include "shell/options.h"
#include "shell/progress.h"
#include "shell/sequencer.h"
#include "shell/window.h"

namespace {

FrameExportSettings settings;
FrameSchedule schedule;
bool failed = false;
std::string failure;
int written = 0;
double lastFrameTime = -1.0;
std::vector<uint8_t> pixels;
std::vector<uint8_t> finalFrame;  // the presentation's last frame, while times remain past it
double finalFrameTime = -1.0;
ProgressBar progress;

bool makeFolders(const std::string& path)
{
    for (size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0777) != 0 && errno != EEXIST) {
            return false;
        }
        if (slash == std::string::npos) {
            return true;
        }
    }
}

std::string pictureName(int ms)
{
    return settings.folder + "/" + timeName(ms) + ".png";
}

bool writeTimes(const std::vector<int>& times, const std::vector<uint8_t>& frame)
{
    for (int ms : times) {
        std::string why;
        if (!writePng(pictureName(ms), settings.width, settings.height, 3, frame, RowOrder::BottomUp, &why)) {
            failed = true;
            failure = why;
            return false;
        }
        ++written;
    }
    return true;
}

void onFrame()
{
    const double time = presentationTime();
    if (failed || time < 0.0) {
        return;
    }
    lastFrameTime = time;
    const std::vector<int> due = schedule.takeDue(time);
    if (!due.empty()) {
        readFramePixels(settings.width, settings.height, settings.supersample, PixelLayout::Rgb, &pixels);
        if (!writeTimes(due, pixels)) {
            escapeFlag = true;
            return;
        }
    }
    // Within a step and a half of the end, keep the frame: it may be the last one drawn.
    const double step = 1.0 / settings.fps;
    if (!schedule.done() && currentSceneIndex == 7 && time >= presentationLengthMs / 1000.0 - 1.5 * step) {
        readFramePixels(settings.width, settings.height, settings.supersample, PixelLayout::Rgb, &finalFrame);
        finalFrameTime = time;
    }
    progress.frame(currentSceneIndex, time);
    if (schedule.done() || (settings.endAtMs >= 0 && time >= settings.endAtMs / 1000.0 - frameTimeSlack)) {
        escapeFlag = true;
    }
}

}  // namespace

FrameSchedule::FrameSchedule(std::vector<int> timesMs) : times_(std::move(timesMs)) {}

std::vector<int> FrameSchedule::takeDue(double time)
{
    size_t count = 0;
    while (count < times_.size() && times_[count] / 1000.0 <= time + frameTimeSlack) {
        ++count;
    }
    std::vector<int> due(times_.begin(), times_.begin() + static_cast<long>(count));
    times_.erase(times_.begin(), times_.begin() + static_cast<long>(count));
    return due;
}

bool prepareFrameExport(const FrameExportSettings& wanted, std::string* error)
{
    settings = wanted;
    struct stat info {};
    if (stat(settings.folder.c_str(), &info) == 0 && !S_ISDIR(info.st_mode)) {
        *error = "cannot write frames into " + settings.folder + ": it is a file, not a folder";
        return false;
    }
    if (!makeFolders(settings.folder)) {
        *error = "cannot make the folder " + settings.folder + ": " + std::strerror(errno);
        return false;
    }
    if (access(settings.folder.c_str(), W_OK) != 0) {
        *error = "cannot write into the folder " + settings.folder;
        return false;
    }
    return true;
}

void beginFrameExport(Services* handed)
{
    schedule = FrameSchedule(settings.timesMs);
    failed = false;
    failure.clear();
    written = 0;
    lastFrameTime = -1.0;
    finalFrame.clear();
    finalFrameTime = -1.0;
    const double from = settings.startAtMs >= 0 ? settings.startAtMs / 1000.0 : 0.0;
    const double to = settings.timesMs.empty() ? 0.0 : settings.timesMs.back() / 1000.0;
    progress.begin(from, to, settings.width, settings.height);
    handed->frameDrawn = onFrame;
}

bool finishFrameExport(std::string* error)
{
    progress.end();
    // Times past the last frame of a presentation that played to its end get that last frame.
    const double step = 1.0 / settings.fps;
    if (!failed && !schedule.done() && !finalFrame.empty() && finalFrameTime == lastFrameTime &&
        finalFrameTime >= presentationLengthMs / 1000.0 - step - frameTimeSlack) {
        writeTimes(schedule.takeDue(presentationLengthMs / 1000.0), finalFrame);
    }
    // An interrupted run keeps the pictures it wrote; the ones still due are simply not made.
    if (!failed && !schedule.done() && interruptSignal != 0) {
        std::fprintf(stderr, "velmora: interrupted; wrote %d picture%s to %s, %zu not made\n", written,
                     written == 1 ? "" : "s", settings.folder.c_str(), schedule.pending().size());
        return true;
    }
    if (!failed && !schedule.done()) {
        failed = true;
        failure = "no frame was drawn at or after";
        for (size_t i = 0; i < schedule.pending().size() && i < 5; ++i) {
            failure += (i == 0 ? " " : ", ") + timeName(schedule.pending()[i]);
        }
        if (schedule.pending().size() > 5) {
            failure += " and " + std::to_string(schedule.pending().size() - 5) + " more";
        }
        failure += lastFrameTime < 0.0
                       ? " (no scene was drawn)"
                       : " (the last frame drawn was at " + timeName(static_cast<int>(lastFrameTime * 1000.0)) + ")";
    }
    if (failed) {
        *error = failure;
        return false;
    }
    std::fprintf(stderr, "velmora: wrote %d picture%s to %s\n", written, written == 1 ? "" : "s",
                 settings.folder.c_str());
    return true;
}
