// The one place that pulls in the GL and GLU headers for the rest of the program. The browser build
// takes over some of these entry points at its link (platform/web/gl_compat.h); nothing here changes.
#pragma once
#include <GL/gl.h>
#include <GL/glu.h>
#ifdef _WIN32
// Windows' gl.h stops at OpenGL 1.1: the later names and the extensions' come from glext.h.
#include <GL/glext.h>
#endif
