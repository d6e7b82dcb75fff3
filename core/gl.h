// The one place that pulls in the GL and GLU headers for the rest of the program.
#pragma once
#include <GL/gl.h>
#include <GL/glu.h>
#ifdef _WIN32
// Windows' gl.h stops at OpenGL 1.1: the later names and the extensions' come from glext.h.
#include <GL/glext.h>
#endif
#ifdef __EMSCRIPTEN__
// The browser's GL emulation lacks a few calls the program makes; this unit supplies them.
#include "platform/web/gl_compat.h"
#endif
