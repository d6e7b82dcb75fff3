// Start-up options: written by the launch dialog (or the command line), read-only afterwards.
#pragma once
#include <cstdint>
#include "platform/platform.h"

extern int32_t screenWidth;   // client width, and the display mode's in full-screen
extern int32_t screenHeight;
extern bool fullScreen;
extern bool launchChosen;
extern bool exitChosen;

void setLaunchDefaults();
// The launch dialog's procedure (Windowed flips fullScreen, the radio buttons set the resolution).
// It opens with the current screenWidth and fullScreen checked.
bool launchDialogProc(DialogMessage message, int controlId);
// Creates the render window with the chosen options and plays the presentation.
// Returns false when the window could not be created.
bool runDemo();
