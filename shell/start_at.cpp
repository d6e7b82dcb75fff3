// Skipping ahead to a start point: coarse unpresented frames through the scenes before it (finer
// near the point), on the held (or fixed-step) tick count, then the clock set so the first
// presented frame lies exactly at the start point. Uses the scene clock, the sequencer's scene
// table and the window procedure.
#include "shell/start_at.h"

#include <algorithm>

#include "render/gl.h"
#include "shell/clock.h"
#include "shell/sequencer.h"
#include "shell/window.h"

namespace {

int startMs = -1;
bool pending = false;

void hideWithScissor(bool hidden)
{
    if (hidden) {
        glScissor(0, 0, 1, 1);
        glEnable(GL_SCISSOR_TEST);
    } else {
        glDisable(GL_SCISSOR_TEST);
        glScissor(0, 0, clientRect.right, clientRect.bottom);
    }
}

void (*hideDrawing)(bool hidden) = hideWithScissor;

// The first tick count at which tickSceneClock reports a scene time of at least target, computed
// with the clock's own single-precision arithmetic.
uint32_t tickForSceneTime(float target)
{
    uint32_t tick = static_cast<uint32_t>(std::max(0.0, (static_cast<double>(sceneStart) + target) * 1000.0 - 2.0));
    while (static_cast<float>(tick) * 0.001f - sceneStart < target) {
        ++tick;
    }
    return tick;
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

void setHiddenDrawingHook(void (*hide)(bool hidden))
{
    hideDrawing = hide != nullptr ? hide : hideWithScissor;
}

bool skipToStart(bool (*peekMessage)(Message* message), void (*clear)(), void (*drawFrame)())
{
    if (!pending || currentSceneIndex < 0 || currentSceneIndex > 7) {
        return true;
    }
    const double startSeconds = startMs / 1000.0;
    const double sceneBegins = sceneStartTimes[currentSceneIndex];
    const bool wholeScene = startSeconds >= sceneBegins + sceneDuration;
    // The first tick of the start point; sceneStart was just set, so this is fixed for the scene.
    const uint32_t startTick = wholeScene ? 0 : tickForSceneTime(static_cast<float>(startSeconds - sceneBegins));
    sysHoldClock(true);
    hideDrawing(true);
    bool goOn = false;
    for (;;) {
        if (!tickSceneClock()) {
            break;
        }
        if (escapeFlag) {
            finishSkip();
            break;
        }
        Message message;
        if (peekMessage(&message)) {
            mainWindowProc(message);
            continue;
        }
        const uint32_t now = sysTickCount();
        if (!wholeScene && now >= startTick) {
            finishSkip();
            goOn = true;
            break;
        }
        clear();
        drawFrame();
        const double toStart = startSeconds - (sceneBegins + static_cast<double>(sceneTime));
        const uint32_t step = toStart * 1000.0 > skipFineWindowMs ? skipCoarseStepMs : skipFineStepMs;
        const uint32_t next = wholeScene ? now + step : std::min<uint32_t>(now + step, startTick);
        sysAdvanceFixedClock(static_cast<double>(next - now));
    }
    hideDrawing(false);
    return goOn;
}
