// The progress bar of a recording run, on stderr: the frame size, the scene, the presentation
// time, frames per second and the time left.
#pragma once
#include <string>

struct ProgressState {
    int sceneIndex = -1;  // -1 while loading
    double time = 0.0;    // presentation time of the last frame (s)
    double from = 0.0;    // where the recording starts and ends (s)
    double to = 0.0;
    double framesPerSecond = 0.0;  // frames made per second of wall time
    double secondsLeft = -1.0;     // wall seconds still to go; negative: not known yet
    int width = 0;                 // the recorded frames' size in pixels
    int height = 0;
};

// One line of progress, without a line end: bar, percentage, size, scene, time, speed, time left.
std::string formatProgress(const ProgressState& state);

// Redraws the line on a terminal (at most five times a second) or prints a line every ten seconds
// elsewhere, so that a log stays short.
class ProgressBar {
public:
    void begin(double fromSeconds, double toSeconds, int width, int height);
    // Counts one frame made at this scene and presentation time (negative while loading).
    void frame(int sceneIndex, double time);
    // Draws the final state and ends the line.
    void end();

private:
    void draw(bool final);

    ProgressState state_;
    bool active_ = false;
    bool terminal_ = false;
    double startWall_ = 0.0;
    double lastDrawWall_ = 0.0;
    double rateWall_ = 0.0;  // start of the current frames-per-second window
    long rateFrames_ = 0;
    long frames_ = 0;
};
