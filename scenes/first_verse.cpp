// Scene: first_verse. Set-up, its timed loop, wind-down.
#include "scenes/scenes.h"
#include "shell/sequencer.h"

static void drawFrame()
{
}

void firstVerseScene()
{
    runSceneLoop(18.5f, drawFrame);
}
