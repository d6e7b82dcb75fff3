// Scene: title. Set-up, its timed loop, wind-down.
#include "scenes/scenes.h"
#include "shell/sequencer.h"

static void drawFrame()
{
}

void titleScene()
{
    runSceneLoop(25.0f, drawFrame);
}
