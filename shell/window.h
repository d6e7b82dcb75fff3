// The render window, its display mode and GL context, the window procedure and the stop signal.
#pragma once
#include <cstdint>
#include "core/clock.h"
#include "platform/platform.h"

struct ClientRect { int32_t left = 0, top = 0, right = 0, bottom = 0; };

extern bool mainWindow;        // the render window exists
extern ClientRect clientRect;  // refreshed at initGL and on each windowed resize

// Creates the render window (changing the display mode first in full-screen). Returns false when
// no window could be made.
bool createMainWindow(const char* title, int width, int height, bool fullScreen);
void changeDisplayMode(int width, int height);
bool setupPixelFormat();
void createGLContext(int width, int height);
// Viewport and 45-degree projection for a client area; a height of 0 counts as 1.
void resizeView(int width, int height);
// Context, fixed GL state, outline font; clears escapeFlag. Returns true.
bool initGL();
// The window procedure: every message first checks the Escape key.
void mainWindowProc(const Message& message);
// Font lists, GL context, display mode, cursor, quit message.
void shutdownGL();
