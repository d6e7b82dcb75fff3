// Scene: credits. Set-up, its timed loop, wind-down.
#include "scenes/scenes.h"
#include "shell/sequencer.h"

static void drawFrame()
{
}

void creditsScene()
{
    runSceneLoop(34.5f, drawFrame);
}
