// The render window, its display mode and GL context, the window procedure and the stop signal.
#pragma once
#include "core/clock.h"
#include "platform/platform.h"
#include <cstdint>

struct ClientRect {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};

extern bool mainWindow;        // the render window exists
extern ClientRect clientRect;  // refreshed at initGL and on each windowed resize

// Creates the render window: full screen covers the display at its own mode, unless modeChange
// asks for the display mode to change first (and it can be). With a recording size, also the
// offscreen surface the frames are drawn in. Returns false (with sysLastError) when no window or
// surface could be made.
bool createMainWindow(const char* title, int width, int height, bool fullScreen);
// True when the display now runs at width x height; otherwise says why in a box.
bool changeDisplayMode(int width, int height);
bool setupPixelFormat();
void createGLContext(int width, int height);
// Viewport and 45-degree projection for a client area; a height of 0 counts as 1.
void resizeView(int width, int height);
// Recordings at a chosen size: frames are drawn supersample times larger than width x height,
// offscreen. 0 x 0 (the default) draws in the window. Takes effect at createMainWindow.
void setRecordingSize(int width, int height, int supersample);
// Lays the frames out for the window's present size: the drawing size and its projection, and
// how the picture reaches the window (as drawn, or scaled in black bars at its aspect ratio).
void layoutFrames();
// The fixed GL state initGL sets once: texturing and the depth test (less) on, smooth shading,
// clear colour black with alpha 0, clear depth 1, nicest perspective correction.
void setFixedGLState();
// Context, fixed GL state, frame layout, outline font; clears escapeFlag. Returns true.
bool initGL();
// The window procedure: every message first checks the Escape key; the other keys go to the
// player (shell/player.h).
void mainWindowProc(const Message& message);
// Font lists, GL context, display mode, cursor, quit message.
void shutdownGL();
