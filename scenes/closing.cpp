// Scene: closing. Set-up, its timed loop, wind-down.
#include "scenes/scenes.h"
#include "shell/sequencer.h"

static void drawFrame()
{
}

void closingScene()
{
    runSceneLoop(60.0f, drawFrame);
}
