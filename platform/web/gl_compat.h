// The GL entry points the browser build takes over, because the browser's GL emulation lacks them
// or WebGL refuses them. The program's layers call plain GL; at the link (web.cmake) every call to
// an entry point NAME declared below as __wrap_NAME reaches that function instead (the linker's
// --wrap, whose list web.cmake reads from this header), and __real_NAME is the browser's own.
// Only the pieces below include this header, one piece per job: display lists and immediate mode
// (gl_lists.cpp), wide lines (gl_wide_lines.cpp), a GLU-style mipmap builder (gl_mipmaps.cpp), and
// quiet stand-ins and read-back for the state calls and queries (gl_state.cpp).
#pragma once
#include <GL/gl.h>
#include <GL/glu.h>

#include <map>

extern "C" {

// ---- gl_lists.cpp ---------------------------------------------------------------------------

GLuint __wrap_glGenLists(GLsizei range);
void __wrap_glNewList(GLuint list, GLenum mode);
void __wrap_glEndList();
void __wrap_glCallList(GLuint list);
void __wrap_glCallLists(GLsizei n, GLenum type, const GLvoid* lists);
void __wrap_glListBase(GLuint base);
void __wrap_glDeleteLists(GLuint list, GLsizei range);
GLboolean __wrap_glIsList(GLuint list);
// The list base (GL_LIST_BIT), the switched capabilities (GL_ENABLE_BIT), the texture environment's
// mode and the bound texture (GL_TEXTURE_BIT) are saved: the state the program changes inside a push.
void __wrap_glPushAttrib(GLbitfield mask);
void __wrap_glPopAttrib();

// The calls a list records; outside a list they go on to the browser.
void __wrap_glBegin(GLenum mode);
void __wrap_glEnd();
void __wrap_glVertex3f(GLfloat x, GLfloat y, GLfloat z);
// Sent as glVertex3f(x, y, 0), so that it carries the current texture coordinate and colour.
void __wrap_glVertex2f(GLfloat x, GLfloat y);
void __wrap_glNormal3f(GLfloat x, GLfloat y, GLfloat z);
void __wrap_glColor3f(GLfloat r, GLfloat g, GLfloat b);
void __wrap_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
// Recorded as the float colour GL would store for it.
void __wrap_glColor3d(GLdouble r, GLdouble g, GLdouble b);
void __wrap_glTexCoord2f(GLfloat s, GLfloat t);
void __wrap_glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void __wrap_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);

// Frames drawn while hidden (sysSetFramesHidden, thrown by the skip ahead to a start point) are
// never seen: their clears and vertices are not sent to the browser, which makes such frames an
// order of magnitude cheaper there. State changes still go through.
void __wrap_glClear(GLbitfield mask);

// ---- gl_mipmaps.cpp -------------------------------------------------------------------------

// Scales the picture to power-of-two sides as GLU does (nearest power, box filter) and uploads
// every level down to 1 x 1, each the 2 x 2 box average of the one above. Unsigned bytes only.
GLint __wrap_gluBuild2DMipmaps(GLenum target, GLint components, GLint width, GLint height, GLenum format,
                               GLenum type, const void* data);

// ---- gl_state.cpp ---------------------------------------------------------------------------

void __wrap_glGetDoublev(GLenum pname, GLdouble* params);
// Texture-coordinate generation is not emulated: the letters it textures use a plain white
// picture, so the current texture coordinate gives the same colour.
void __wrap_glTexGeni(GLenum coord, GLenum pname, GLint param);
void __wrap_glEnable(GLenum cap);
void __wrap_glDisable(GLenum cap);
void __wrap_glHint(GLenum target, GLenum mode);
void __wrap_glTexEnvi(GLenum target, GLenum pname, GLint param);
// Smooth shading is all the emulation does (it warns on every call).
void __wrap_glShadeModel(GLenum mode);
void __wrap_glReadBuffer(GLenum mode);
void __wrap_glGetIntegerv(GLenum pname, GLint* params);
// RGB and BGRA read-back through WebGL's RGBA.
void __wrap_glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                         GLvoid* pixels);
// WebGL takes no sized formats (RGBA8), and copies the drawing buffer, which has no alpha, only into
// textures without one: an empty texture (no pixels: storage for such copies, the held and scaled
// frames) is made RGB.
void __wrap_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                         GLint border, GLenum format, GLenum type, const GLvoid* pixels);

// ---- gl_wide_lines.cpp ----------------------------------------------------------------------

// Lines wider than one pixel, which WebGL does not draw: a line block with a wider width is drawn
// as one quad per segment, widened across its major axis in window space as the desktop GL does.
void __wrap_glLineWidth(GLfloat width);

// ---- The browser's own, for the pieces that hand a call on ---------------------------------

void __real_glBegin(GLenum mode);
void __real_glEnd();
void __real_glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void __real_glNormal3f(GLfloat x, GLfloat y, GLfloat z);
void __real_glColor3f(GLfloat r, GLfloat g, GLfloat b);
void __real_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
void __real_glTexCoord2f(GLfloat s, GLfloat t);
void __real_glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void __real_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void __real_glClear(GLbitfield mask);
void __real_glEnable(GLenum cap);
void __real_glDisable(GLenum cap);
void __real_glHint(GLenum target, GLenum mode);
void __real_glTexEnvi(GLenum target, GLenum pname, GLint param);
void __real_glGetIntegerv(GLenum pname, GLint* params);
void __real_glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type,
                         GLvoid* pixels);
void __real_glLineWidth(GLfloat width);
void __real_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                         GLint border, GLenum format, GLenum type, const GLvoid* pixels);

}  // extern "C"

// gl_wide_lines.cpp, for gl_lists.cpp: whether a block of mode is drawn as wide lines (the line
// width is above one pixel and mode draws lines), then its collection: begin, each vertex with its
// colour and texture coordinate, and at glEnd the quads.
bool wideLineBlock(GLenum mode);
void beginWideLines(GLenum mode);
void addWideLineVertex(GLfloat x, GLfloat y, GLfloat z, const GLfloat colour[3], const GLfloat texCoord[2]);
void endWideLines();

// gl_state.cpp, for gl_lists.cpp: what glPushAttrib keeps besides the list base: the capabilities the
// program has switched, as it left them (GL_ENABLE_BIT), and the texture environment's mode and the
// bound texture (GL_TEXTURE_BIT). Restoring puts back those the mask names.
struct KeptState {
    std::map<GLenum, bool> enabled;
    GLint environmentMode = GL_MODULATE;
    GLint texture = 0;
};
KeptState keepState();
void restoreState(GLbitfield mask, const KeptState& kept);
