// Skipping ahead to a start point through the scene loop itself: its frames before the point are
// drawn unseen, every one of them on the fixed-step clock (so that random draws and particle births
// come exactly as in a full run), coarsely on the wall clock (finer near the point); the clock is
// then left where a full run's first frame at or after the start point would be. Uses the scene
// clock, the sequencer's scene table and the music's catch-up.
#include "shell/start_at.h"

#include <algorithm>
#include <cmath>

#include "core/clock.h"
#include "media/music.h"
#include "scenes/scenes.h"
#include "shell/frames.h"
#include "shell/sequencer.h"

namespace {

int startMs = -1;
bool pending = false;

// The skip under way in the current scene, worked out by beginSkip.
struct Skip {
    double startSeconds = 0.0;  // the start point, in presentation seconds
    double sceneBegins = 0.0;   // where the current scene begins
    bool wholeScene = false;    // the scene lies wholly before the start point
    float target = 0.0f;        // the scene time of the start point (the duration when wholeScene)
    double gridMs = 1.0;        // one frame's worth on the fixed-step clock, else a millisecond
};
Skip skip;

// Moves the clock on by up to steps grid steps, stopping at the first one where the scene clock
// reaches the target (or, for a scene skipped whole, passes its end).
void advanceClock(int steps)
{
    for (int i = 0; i < steps; ++i) {
        sysAdvanceFixedClock(skip.gridMs);
        const float time = uptimeSeconds() - sceneStart;
        if (skip.wholeScene ? time > sceneDuration : time >= skip.target) {
            return;
        }
    }
}

bool beginSkip()
{
    if (!pending || currentSceneIndex < 0 || currentSceneIndex >= sceneCount) {
        return false;
    }
    skip.startSeconds = startMs / 1000.0;
    skip.sceneBegins = sceneTable[currentSceneIndex].start;
    // A scene whose last frame can lie at the start point is not skipped whole: that frame is shown.
    skip.wholeScene = skip.startSeconds - frameTimeSlack > skip.sceneBegins + sceneDuration;
    skip.target = skip.wholeScene ? sceneDuration : static_cast<float>(skip.startSeconds - skip.sceneBegins);
    const int fps = sysFixedStepFps();
    skip.gridMs = fps > 0 ? 1000.0 / fps : 1.0;
    sysHoldClock(true);
    return true;
}

bool reachedStart()
{
    return !skip.wholeScene && presentationTime() >= skip.startSeconds - frameTimeSlack;
}

// In place of presenting an unseen frame. On the fixed-step clock one frame's worth, added exactly
// as a presented frame adds it, so that the unseen frames are the very frames of a full run; on the
// wall clock a coarse step, finer near the start point.
void skipFrame()
{
    if (sysFixedStepFps() > 0) {
        sysAdvanceFixedClock(skip.gridMs);
        return;
    }
    const double toStart = skip.startSeconds - (skip.sceneBegins + static_cast<double>(sceneTime));
    const int stepMs = toStart * 1000.0 > skipFineWindowMs ? skipCoarseStepMs : skipFineStepMs;
    advanceClock(std::max(1, static_cast<int>(std::lround(stepMs / skip.gridMs))));
}

void finishSkip(bool reached)
{
    if (!reached && !stopRequested()) {
        return;  // a scene skipped whole: the next one goes on skipping on the held clock
    }
    pending = false;
    sysHoldClock(false);
    if (reached) {
        // The music played on while the skipped frames were drawn unseen; put it where the
        // pictures now are.
        catchUpMusic();
    }
}

const SkipAhead startSkip = {beginSkip, reachedStart, skipFrame, finishSkip};

}  // namespace

void setStartTime(int ms)
{
    startMs = ms;
    pending = ms >= 0;
}

int startTimeMs()
{
    return startMs;
}

bool startPending()
{
    return pending;
}

const SkipAhead* skipToStart()
{
    return &startSkip;
}
