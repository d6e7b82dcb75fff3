// The scene loop protocol shared by all eight scenes: at most one message between two frames, every
// frame drawn for a scene time within the scene's duration.
#include "scenes/kit.h"

#include "core/clock.h"
#include "render/frame.h"

namespace {

const LoopHooks realHooks = {sysPeekMessage, clearFrame, presentFrame};
const LoopHooks* hooks = &realHooks;
MessageHandler messageHandler = nullptr;
SkipAhead skipAhead = nullptr;

}  // namespace

void setLoopHooks(const LoopHooks* replacement)
{
    hooks = replacement != nullptr ? replacement : &realHooks;
}

void setSceneLoopShell(MessageHandler handler, SkipAhead skip)
{
    messageHandler = handler;
    skipAhead = skip;
}

void runSceneLoop(float duration, void (*drawFrame)())
{
    startSceneClock(duration);
    // Only when playing from a later point: the frames before it run unpresented.
    if (skipAhead != nullptr && !skipAhead(hooks->peekMessage, hooks->clear, drawFrame)) {
        return;
    }
    for (;;) {
        if (!tickSceneClock()) {
            break;
        }
        if (stopRequested()) {
            break;
        }
        Message message;
        if (hooks->peekMessage(&message)) {
            if (messageHandler != nullptr) {
                messageHandler(message);
            }
            continue;
        }
        hooks->clear();
        drawFrame();
        hooks->present();
    }
}
