// The loader: every asset of the presentation, loaded once behind the loading bar and released at
// the end. It owns the asset globals of scenes/assets.h from their loading stage to releaseAssets.
#pragma once
#include <cstdint>

#include "scenes/assets.h"

extern int32_t loadStep;  // loading-bar counter, 0 .. 17

void loadAssets();
// One loading frame for the current loadStep, presented.
void drawLoadingScreen();
void releaseAssets();

// Test hook: called at each loading frame with its step, once the bar is drawn and before the
// frame is presented, so that the frame can be read back.
void setLoadingBarObserver(void (*observer)(int32_t step));
