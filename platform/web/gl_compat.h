// GL calls the program makes that the browser's GL emulation lacks or WebGL refuses, for the web
// build only, one piece per job: display lists and immediate mode (gl_lists.cpp), wide lines
// (gl_wide_lines.cpp), a GLU-style mipmap builder (gl_mipmaps.cpp), and quiet stand-ins and
// read-back for the state calls and queries (gl_state.cpp). core/gl.h includes this after the GL
// headers, so the program's own calls are renamed to these; the pieces themselves reach the real
// ones through gl_compat_local.h.
#pragma once
#include <GL/gl.h>
#include <GL/glu.h>

GLuint compatGenLists(GLsizei range);
void compatNewList(GLuint list, GLenum mode);
void compatEndList();
void compatCallList(GLuint list);
void compatCallLists(GLsizei n, GLenum type, const GLvoid* lists);
void compatListBase(GLuint base);
void compatDeleteLists(GLuint list, GLsizei range);
GLboolean compatIsList(GLuint list);
// The list base (GL_LIST_BIT), the switched capabilities (GL_ENABLE_BIT), the texture environment's
// mode and the bound texture (GL_TEXTURE_BIT) are saved: the state the program changes inside a push.
void compatPushAttrib(GLbitfield mask);
void compatPopAttrib();

// The calls a list records; outside a list they go straight to GL.
void compatBegin(GLenum mode);
void compatEnd();
void compatVertex3f(GLfloat x, GLfloat y, GLfloat z);
// Sent as compatVertex3f(x, y, 0), so that it carries the current texture coordinate and colour.
void compatVertex2f(GLfloat x, GLfloat y);
void compatNormal3f(GLfloat x, GLfloat y, GLfloat z);
void compatColor3f(GLfloat r, GLfloat g, GLfloat b);
void compatColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a);
// Recorded as the float colour GL would store for it.
void compatColor3d(GLdouble r, GLdouble g, GLdouble b);
void compatTexCoord2f(GLfloat s, GLfloat t);
void compatTranslatef(GLfloat x, GLfloat y, GLfloat z);
void compatRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);

// Scales the picture to power-of-two sides as GLU does (nearest power, box filter) and uploads
// every level down to 1 x 1, each the 2 x 2 box average of the one above. Unsigned bytes only.
GLint compatBuild2DMipmaps(GLenum target, GLint components, GLint width, GLint height, GLenum format, GLenum type,
                           const void* data);
void compatGetDoublev(GLenum pname, GLdouble* params);

// Texture-coordinate generation is not emulated: the letters it textures use a plain white
// picture, so the current texture coordinate gives the same colour.
void compatTexGeni(GLenum coord, GLenum pname, GLint param);
void compatEnable(GLenum cap);
void compatDisable(GLenum cap);
void compatHint(GLenum target, GLenum mode);
void compatTexEnvi(GLenum target, GLenum pname, GLint param);
// Smooth shading is all the emulation does (it warns on every call).
void compatShadeModel(GLenum mode);
void compatReadBuffer(GLenum mode);
void compatGetIntegerv(GLenum pname, GLint* params);
// RGB and BGRA read-back through WebGL's RGBA.
void compatReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels);
// WebGL takes no sized formats (RGBA8), and copies the drawing buffer, which has no alpha, only into
// textures without one: an empty texture (no pixels: storage for such copies, the held and scaled
// frames) is made RGB.
void compatTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height, GLint border,
                      GLenum format, GLenum type, const GLvoid* pixels);

// Lines wider than one pixel, which WebGL does not draw: a line block with a wider width is drawn
// as one quad per segment, widened across its major axis in window space as the desktop GL does.
void compatLineWidth(GLfloat width);

// Frames drawn while hidden (sysSetFramesHidden, thrown by the skip ahead to a start point) are
// never seen: their clears and vertices are not sent to the browser, which makes such frames an
// order of magnitude cheaper there. State changes still go through.
void compatClear(GLbitfield mask);

// Test and measurement hook: how many vertices list replays sent since the last call.
unsigned long compatTakeReplayedVertices();

#ifndef VELMORA_GL_COMPAT_IMPL
#define glGenLists compatGenLists
#define glNewList compatNewList
#define glEndList compatEndList
#define glCallList compatCallList
#define glCallLists compatCallLists
#define glListBase compatListBase
#define glDeleteLists compatDeleteLists
#define glIsList compatIsList
#define glPushAttrib compatPushAttrib
#define glPopAttrib compatPopAttrib
#define glBegin compatBegin
#define glEnd compatEnd
#define glVertex3f compatVertex3f
#define glVertex2f compatVertex2f
#define glNormal3f compatNormal3f
#define glColor3f compatColor3f
#define glColor4f compatColor4f
#define glColor3d compatColor3d
#define glTexCoord2f compatTexCoord2f
#define glTranslatef compatTranslatef
#define glRotatef compatRotatef
#define gluBuild2DMipmaps compatBuild2DMipmaps
#define glGetDoublev compatGetDoublev
#define glTexGeni compatTexGeni
#define glEnable compatEnable
#define glDisable compatDisable
#define glHint compatHint
#define glTexEnvi compatTexEnvi
#define glLineWidth compatLineWidth
#define glClear compatClear
#define glShadeModel compatShadeModel
#define glReadBuffer compatReadBuffer
#define glGetIntegerv compatGetIntegerv
#define glReadPixels compatReadPixels
#define glTexImage2D compatTexImage2D
#endif
