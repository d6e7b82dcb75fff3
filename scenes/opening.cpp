// Scene: opening. Set-up, its timed loop, wind-down.
#include "scenes/scenes.h"
#include "shell/sequencer.h"

static void drawFrame()
{
}

void openingScene()
{
    runSceneLoop(44.0f, drawFrame);
}
