// Skipping ahead to a start point through the scene loop itself: its frames before the point are
// drawn unseen, every one of them on the fixed-step clock (so that random draws and particle births
// come exactly as in a full run), on the wall clock only the last few seconds before it; the clock is
// then left where a full run's first frame at or after the start point would be. Uses the scene
// clock, the sequencer's scene table and the music's catch-up.
#include "shell/start_at.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
// reaches stopAt (or, for a scene skipped whole, passes its end).
void advanceClock(int steps, float stopAt)
{
    for (int i = 0; i < steps; ++i) {
        sysAdvanceFixedClock(skip.gridMs);
        const float time = uptimeSeconds() - sceneStart;
        if (skip.wholeScene ? time > sceneDuration : time >= stopAt) {
            return;
        }
    }
}

// Where the skip is going in the current scene, from the start point as it is now: a seek made
// while skipping moves it.
void aim()
{
    skip.startSeconds = startMs / 1000.0;
    // A scene whose last frame can lie at the start point is not skipped whole: that frame is shown.
    skip.wholeScene = skip.startSeconds - frameTimeSlack > skip.sceneBegins + sceneDuration;
    skip.target = skip.wholeScene ? sceneDuration : static_cast<float>(skip.startSeconds - skip.sceneBegins);
}

bool beginSkip()
{
    if (!pending || currentSceneIndex < 0 || currentSceneIndex >= sceneCount) {
        return false;
    }
    skip.sceneBegins = sceneTable[currentSceneIndex].start;
    aim();
    const int fps = sysFixedStepFps();
    skip.gridMs = fps > 0 ? 1000.0 / fps : 1.0;
    sysHoldClock(true);
    return true;
}

bool reachedStart()
{
    aim();
    return !skip.wholeScene && presentationTime() >= skip.startSeconds - frameTimeSlack;
}

// In place of presenting an unseen frame. On the fixed-step clock one frame's worth, added exactly
// as a presented frame adds it, so that the unseen frames are the very frames of a full run. On the
// wall clock nothing before the last few seconds shows at the start point (no particle lives that
// long, tracks are functions of time): a scene before it is passed over in one step, and so is the
// time up to those seconds, which then run at a fine step.
void skipFrame()
{
    if (sysFixedStepFps() > 0) {
        sysAdvanceFixedClock(skip.gridMs);
        return;
    }
    const double toStart = skip.startSeconds - (skip.sceneBegins + static_cast<double>(sceneTime));
    if (toStart * 1000.0 > skipFineWindowMs) {
        advanceClock(std::numeric_limits<int>::max(), skip.target - static_cast<float>(skipFineWindowMs) / 1000.0f);
        return;
    }
    advanceClock(std::max(1, static_cast<int>(std::lround(skipFineStepMs / skip.gridMs))), skip.target);
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
