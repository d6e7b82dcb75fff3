// The demo sequencer (loader, eight scenes, teardown) and the scene loop protocol: at most one
// message between two frames, every frame drawn for a scene time within the scene's duration.
#include "shell/sequencer.h"

#include "media/assets.h"
#include "render/gl.h"
#include "scenes/scenes.h"
#include "shell/clock.h"
#include "shell/start_at.h"
#include "shell/window.h"

const float sceneStartTimes[8] = {0.0f, 44.0f, 69.0f, 103.5f, 122.0f, 138.0f, 155.0f, 172.0f};
const float sceneDurations[8] = {44.0f, 25.0f, 34.5f, 18.5f, 16.0f, 17.0f, 17.0f, 60.0f};

namespace {

const SequenceSteps realSteps = {
    loadAssets,
    {openingScene, titleScene, creditsScene, firstVerseScene, secondVerseScene, thirdVerseScene,
     fourthVerseScene, closingScene},
    releaseAssets,
};
const SequenceSteps* steps = &realSteps;

const LoopHooks realHooks = {sysPeekMessage, clearFrame, presentFrame};
const LoopHooks* hooks = &realHooks;

}  // namespace

void setSequenceSteps(const SequenceSteps* replacement)
{
    steps = replacement != nullptr ? replacement : &realSteps;
}

void setLoopHooks(const LoopHooks* replacement)
{
    hooks = replacement != nullptr ? replacement : &realHooks;
}

int currentSceneIndex = -1;

void runSequence()
{
    steps->load();
    for (int i = 0; i < 8; ++i) {
        currentSceneIndex = i;
        steps->scenes[i]();
    }
    currentSceneIndex = -1;
    steps->release();
}

void runSceneLoop(float duration, void (*drawFrame)())
{
    startSceneClock(duration);
    // Only when playing from a later point: the frames before it run unpresented.
    if (startPending() && !skipToStart(hooks->peekMessage, hooks->clear, drawFrame)) {
        return;
    }
    for (;;) {
        if (!tickSceneClock()) {
            break;
        }
        if (escapeFlag) {
            break;
        }
        Message message;
        if (hooks->peekMessage(&message)) {
            mainWindowProc(message);
            continue;
        }
        hooks->clear();
        drawFrame();
        hooks->present();
    }
}
