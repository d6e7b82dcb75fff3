// The progress bar of capture and frame export. Wall time is read here only to report speed; it
// never reaches the presentation's clock.
#include "shell/progress.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "shell/frames.h"

namespace {

double wallSeconds()
{
    using Clock = std::chrono::steady_clock;
    static const Clock::time_point origin = Clock::now();
    return std::chrono::duration<double>(Clock::now() - origin).count();
}

std::string clockText(double seconds)
{
    if (seconds < 0.0) {
        return "--:--";
    }
    const long whole = std::lround(seconds);
    char text[32];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    }
    return text;
}

}  // namespace

std::string formatProgress(const ProgressState& state)
{
    const int barWidth = 24;
    const double span = state.to - state.from;
    double done = span > 0.0 ? (state.time - state.from) / span : 0.0;
    if (state.sceneIndex < 0) {
        done = 0.0;
    }
    done = std::min(1.0, std::max(0.0, done));
    const int filled = static_cast<int>(std::floor(done * barWidth));
    std::string bar(static_cast<size_t>(filled), '#');
    bar.append(static_cast<size_t>(barWidth - filled), '-');
    char text[240];
    std::snprintf(text, sizeof text, "[%s] %3d%%  %dx%d  %-12s %7.2f s / %g s  %6.1f fps  %s left", bar.c_str(),
                  static_cast<int>(std::floor(done * 100.0)), state.width, state.height, sceneName(state.sceneIndex),
                  state.sceneIndex < 0 ? state.from : state.time, state.to, state.framesPerSecond,
                  clockText(state.secondsLeft).c_str());
    return text;
}

void ProgressBar::begin(double fromSeconds, double toSeconds, int width, int height)
{
    state_ = ProgressState{};
    state_.width = width;
    state_.height = height;
    state_.from = fromSeconds;
    state_.to = toSeconds;
    state_.time = fromSeconds;
    active_ = true;
    terminal_ = isatty(STDERR_FILENO) != 0;
    startWall_ = wallSeconds();
    lastDrawWall_ = startWall_;
    rateWall_ = startWall_;
    rateFrames_ = 0;
    frames_ = 0;
}

void ProgressBar::frame(int sceneIndex, double time)
{
    if (!active_) {
        return;
    }
    ++frames_;
    ++rateFrames_;
    state_.sceneIndex = sceneIndex;
    if (sceneIndex >= 0) {
        state_.time = time;
    }
    const double now = wallSeconds();
    if (now - rateWall_ >= 1.0) {
        state_.framesPerSecond = rateFrames_ / (now - rateWall_);
        rateWall_ = now;
        rateFrames_ = 0;
    }
    // Time left from the average speed so far, in presentation seconds per wall second.
    const double covered = state_.time - state_.from;
    if (sceneIndex >= 0 && covered > 0.0 && now > startWall_) {
        state_.secondsLeft = (state_.to - state_.time) / (covered / (now - startWall_));
    }
    if (now - lastDrawWall_ >= (terminal_ ? 0.2 : 10.0)) {
        lastDrawWall_ = now;
        draw(false);
    }
}

void ProgressBar::end()
{
    if (!active_) {
        return;
    }
    const double elapsed = wallSeconds() - startWall_;
    if (elapsed > 0.0) {
        state_.framesPerSecond = frames_ / elapsed;
    }
    state_.secondsLeft = 0.0;
    draw(true);
    active_ = false;
}

void ProgressBar::draw(bool final)
{
    const std::string line = formatProgress(state_);
    if (terminal_) {
        std::fprintf(stderr, "\r%s\033[K%s", line.c_str(), final ? "\n" : "");
    } else {
        std::fprintf(stderr, "%s\n", line.c_str());
    }
    std::fflush(stderr);
}
