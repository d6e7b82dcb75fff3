// Scene: third_verse. Set-up, its timed loop, wind-down.
#include "scenes/scenes.h"
#include "shell/sequencer.h"

static void drawFrame()
{
}

void thirdVerseScene()
{
    runSceneLoop(17.0f, drawFrame);
}
