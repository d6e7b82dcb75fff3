// Frame export: PNG pictures of the frames at chosen presentation times, from a fixed-step run.
// The picture for time T is the first frame drawn at or after T, in a file named by T
// ("0044.500.png"); the run ends after the last one.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/services.h"

struct FrameExportSettings {
    std::string folder;  // an absolute path; made if missing
    int width = 800;
    int height = 600;
    int supersample = 1;  // frames are drawn this many times larger and box-filtered down to width x height
    int fps = 60;
    std::vector<int> timesMs;  // sorted, unique
    int startAtMs = -1;        // where the run starts showing frames (for the progress bar)
    int endAtMs = -1;          // the run ends with the first frame at or after this time; -1: no limit
};

// Makes the folder (with its parents) and checks that it can be written. False with a reason.
bool prepareFrameExport(const FrameExportSettings& settings, std::string* error);
// Starts the run's bookkeeping and puts the watcher of presented frames into the table the shell
// is about to hand down.
void beginFrameExport(Services* handed);
// After the run: true when every picture was written; otherwise false naming the times missed.
bool finishFrameExport(std::string* error);

// The requested times still to be written, taken off one frame at a time.
class FrameSchedule {
public:
    explicit FrameSchedule(std::vector<int> timesMs = {});
    // The times (ms) for which a frame drawn at this presentation time (s) is the first at or after
    // them; they leave the schedule.
    std::vector<int> takeDue(double time);
    const std::vector<int>& pending() const { return times_; }
    bool done() const { return times_.empty(); }

private:
    std::vector<int> times_;
};
