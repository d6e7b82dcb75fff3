// Skipping ahead to a start point: coarse unpresented frames through the scenes before it (finer
// near the point), on the held (or fixed-step) tick count, then the clock left where a full run's
// first frame at or after the start point would be. Uses the scene clock, the sequencer's scene
// table and the handed-down message handler and hidden-frame switch.
#include "shell/start_at.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "core/clock.h"
#include "core/services.h"
#include "media/music.h"
#include "scenes/scenes.h"
#include "shell/sequencer.h"

namespace {

int startMs = -1;
bool pending = false;

void hideFrames(bool hidden)
{
    if (services().hideFrames != nullptr) {
        services().hideFrames(hidden);
    }
}

// Moves the clock on by up to steps grid steps, stopping at the first one where the scene clock
// reaches the target (or, for a scene skipped whole, passes its end). On the fixed-step clock a
// grid step is one frame's worth, added exactly as a presented frame adds it, so the skipped part
// keeps the very ticks of a full run; on the wall clock it is a millisecond.
void advanceClock(int steps, double gridMs, bool wholeScene, float target)
{
    for (int i = 0; i < steps; ++i) {
        sysAdvanceFixedClock(gridMs);
        const float time = uptimeSeconds() - sceneStart;
        if (wholeScene ? time > sceneDuration : time >= target) {
            return;
        }
    }
}

void finishSkip()
{
    pending = false;
    sysHoldClock(false);
}

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

bool skipToStart(bool (*peekMessage)(Message* message), void (*clear)(), void (*drawFrame)())
{
    if (!pending || currentSceneIndex < 0 || currentSceneIndex >= sceneCount) {
        return true;
    }
    const double sceneBegins = sceneTable[currentSceneIndex].start;
    const int fps = sysFixedStepFps();
    const double gridMs = fps > 0 ? 1000.0 / fps : 1.0;
    sysHoldClock(true);
    hideFrames(true);
    bool goOn = false;
    for (;;) {
        if (!tickSceneClock()) {
            break;
        }
        if (stopRequested()) {
            finishSkip();
            break;
        }
        if (services().leaveScene != nullptr && services().leaveScene()) {
            break;
        }
        Message message;
        if (peekMessage(&message)) {
            if (services().handleMessage != nullptr) {
                services().handleMessage(message);
            }
            continue;
        }
        // Read afresh each frame: a seek made meanwhile moves the start point.
        const double startSeconds = startMs / 1000.0;
        const bool wholeScene = startSeconds >= sceneBegins + sceneDuration;
        const float target = wholeScene ? sceneDuration : static_cast<float>(startSeconds - sceneBegins);
        if (!wholeScene && sceneTime >= target) {
            finishSkip();
            // The music played on while the skipped frames were drawn unseen; put it where the
            // pictures now are.
            catchUpMusic();
            goOn = true;
            break;
        }
        clear();
        drawFrame();
        const double toStart = startSeconds - (sceneBegins + static_cast<double>(sceneTime));
        if (fps == 0 && toStart * 1000.0 > skipFineWindowMs) {
            // On the wall clock nothing before the last few seconds shows at the start point (no
            // particle lives that long, tracks are functions of time): straight to the scene's end,
            // or to the fine stretch before the point.
            const float fineFrom = wholeScene ? target : target - static_cast<float>(skipFineWindowMs) / 1000.0f;
            advanceClock(std::numeric_limits<int>::max(), gridMs, wholeScene, fineFrom);
            continue;
        }
        const int stepMs = toStart * 1000.0 > skipFineWindowMs ? skipCoarseStepMs : skipFineStepMs;
        advanceClock(std::max(1, static_cast<int>(std::lround(stepMs / gridMs))), gridMs, wholeScene, target);
    }
    hideFrames(false);
    return goOn;
}
