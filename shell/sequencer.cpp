// The demo sequencer: loader, the scenes in the scene table's order, teardown.
#include "shell/sequencer.h"

#include "core/clock.h"
#include "render/frame.h"
#include "scenes/scenes.h"
#include "shell/loader.h"
#include "shell/player.h"
#include "shell/start_at.h"
#include "shell/window.h"

namespace {

const SequenceSteps realSteps = {
    loadAssets,
    {sceneTable[0].play, sceneTable[1].play, sceneTable[2].play, sceneTable[3].play, sceneTable[4].play,
     sceneTable[5].play, sceneTable[6].play, sceneTable[7].play},
    releaseAssets,
};

}  // namespace

Services shellServices()
{
    Services table;
    table.handleMessage = mainWindowProc;
    table.skipAhead = skipToStart();
    table.hideFrames = setFramesHidden;
    return table;
}

int currentSceneIndex = -1;

namespace {

const SequenceSteps* sequenceSteps()
{
    return services().sequence != nullptr ? services().sequence : &realSteps;
}

}  // namespace

void playScenes()
{
    const SequenceSteps* steps = sequenceSteps();
    for (;;) {
        for (int i = 0; i < 8 && !replayRequested(); ++i) {
            currentSceneIndex = i;
            steps->scenes[i]();
        }
        // A seek back left the scenes: they play again from the start, unseen up to its time.
        if (!replayRequested() || stopRequested()) {
            break;
        }
        replayFromStart();
    }
    currentSceneIndex = -1;
}

void runSequence()
{
    sequenceSteps()->load();
    keepFreshStart();
    playScenes();
    sequenceSteps()->release();
}
