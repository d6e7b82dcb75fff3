// Start-up options: written by the launch dialog (or the command line), read-only afterwards.
#pragma once
#include "platform/platform.h"
#include <cstdint>

extern int32_t screenWidth;  // the size the picture is drawn at (4:3), and the display mode's with modeChange
extern int32_t screenHeight;
extern bool fullScreen;
extern bool modeChange;  // full screen changes the display mode instead of scaling the picture
extern bool launchChosen;
extern bool exitChosen;

void setLaunchDefaults();
// The launch dialog's procedure (Windowed flips fullScreen, the radio buttons set the resolution).
// It opens with the current screenWidth and fullScreen checked.
bool launchDialogProc(DialogMessage message, int controlId);
// Creates the render window with the chosen options and plays the presentation.
// Returns false when the window could not be created.
bool runDemo();
