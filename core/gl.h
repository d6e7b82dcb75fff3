// The one place that pulls in the GL and GLU headers for the rest of the program.
#pragma once
#include <GL/gl.h>
#include <GL/glu.h>
