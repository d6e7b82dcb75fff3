// The loader: every asset of the presentation, loaded once behind the loading bar and released at
// the end. It owns the asset globals of scenes/assets.h from their loading stage to releaseAssets.
#pragma once
#include <cstdint>

#include "scenes/assets.h"

extern int32_t loadStep;  // loading-bar counter, 0 .. 17

void loadAssets();
// The GL state every scene starts from, set at the end of loading: depth test and 2D texturing on,
// black clear colour, and the scene fog (exponential squared, density 0.002) switched on.
void setSceneGLState();
// One loading frame for the current loadStep, presented; the services' loadingBarDrawn sees it
// drawn, before it is presented.
void drawLoadingScreen();
void releaseAssets();
