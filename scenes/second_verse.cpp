// Scene: second_verse. Set-up, its timed loop, wind-down.
#include "scenes/scenes.h"
#include "shell/sequencer.h"

static void drawFrame()
{
}

void secondVerseScene()
{
    runSceneLoop(16.0f, drawFrame);
}
