// What the pieces of the browser's GL compatibility layer share, and the one way they reach the
// browser's own GL: a piece includes this header (never core/gl.h), which gives it the real calls
// under their GL names, where the rest of the program gets the stand-ins of gl_compat.h.
#pragma once
#define VELMORA_GL_COMPAT_IMPL
#include "platform/web/gl_compat.h"

#include <map>

// gl_wide_lines.cpp: whether a block of mode is drawn as wide lines (the line width is above one
// pixel and mode draws lines), then its collection: begin, each vertex with its colour and
// texture coordinate, and at glEnd the quads.
bool wideLineBlock(GLenum mode);
void beginWideLines(GLenum mode);
void addWideLineVertex(GLfloat x, GLfloat y, GLfloat z, const GLfloat colour[3], const GLfloat texCoord[2]);
void endWideLines();

// gl_state.cpp: what glPushAttrib keeps besides the list base: the capabilities the program has
// switched, as it left them (GL_ENABLE_BIT), and the texture environment's mode and the bound
// texture (GL_TEXTURE_BIT). Restoring puts back those the mask names.
struct KeptState {
    std::map<GLenum, bool> enabled;
    GLint environmentMode = GL_MODULATE;
    GLint texture = 0;
};
KeptState keepState();
void restoreState(GLbitfield mask, const KeptState& kept);
