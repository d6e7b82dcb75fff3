// Frame clear and present over GL and the platform's buffer swap, with the handed-down frame
// watchers around each frame, and the hidden-frame switch. Also the two ways a frame drawn at one size reaches a window of another: a copy of the
// back buffer's lower-left corner into a texture (plain GL 1.1), or an offscreen surface made with
// GL_EXT_framebuffer_object; either is drawn as one linear-filtered quad inside black bars.
#include "render/frame.h"

#include <algorithm>
#include <cstring>

#include "core/gl.h"
#include "core/services.h"
#include "platform/platform.h"

float pixelScale = 1.0f;

namespace {

FrameLayout layout;
bool hidden = false;

// The texture the Scaled route copies each frame into: power-of-two sides, as GL 1.1 wants.
GLuint copyTexture = 0;
int copyTextureWidth = 0;
int copyTextureHeight = 0;

struct FramebufferCalls {
    PFNGLGENFRAMEBUFFERSEXTPROC genFramebuffers = nullptr;
    PFNGLDELETEFRAMEBUFFERSEXTPROC deleteFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFEREXTPROC bindFramebuffer = nullptr;
    PFNGLFRAMEBUFFERTEXTURE2DEXTPROC framebufferTexture2D = nullptr;
    PFNGLGENRENDERBUFFERSEXTPROC genRenderbuffers = nullptr;
    PFNGLDELETERENDERBUFFERSEXTPROC deleteRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFEREXTPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEEXTPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFEREXTPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSEXTPROC checkFramebufferStatus = nullptr;
};
FramebufferCalls fbo;

// The frame a paused run holds, texel for pixel in its lower-left heldWidth x heldHeight.
GLuint heldTexture = 0;
int heldTextureWidth = 0;
int heldTextureHeight = 0;
int heldWidth = 0;
int heldHeight = 0;

// The offscreen surface: a colour texture (so that the window can show it) and a depth buffer.
GLuint surfaceFramebuffer = 0;
GLuint surfaceTexture = 0;
GLuint surfaceDepth = 0;

int powerOfTwoAtLeast(int n)
{
    int size = 1;
    while (size < n) {
        size *= 2;
    }
    return size;
}

bool hasExtension(const char* name)
{
    const char* all = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    const size_t length = std::strlen(name);
    for (const char* at = all; at != nullptr && (at = std::strstr(at, name)) != nullptr; at += length) {
        if ((at == all || at[-1] == ' ') && (at[length] == ' ' || at[length] == '\0')) {
            return true;
        }
    }
    return false;
}

template <typename Call>
bool loadCall(Call* call, const char* name)
{
    *call = reinterpret_cast<Call>(sysGLProcAddress(name));
    return *call != nullptr;
}

bool loadFramebufferCalls()
{
    return loadCall(&fbo.genFramebuffers, "glGenFramebuffersEXT") &&
           loadCall(&fbo.deleteFramebuffers, "glDeleteFramebuffersEXT") &&
           loadCall(&fbo.bindFramebuffer, "glBindFramebufferEXT") &&
           loadCall(&fbo.framebufferTexture2D, "glFramebufferTexture2DEXT") &&
           loadCall(&fbo.genRenderbuffers, "glGenRenderbuffersEXT") &&
           loadCall(&fbo.deleteRenderbuffers, "glDeleteRenderbuffersEXT") &&
           loadCall(&fbo.bindRenderbuffer, "glBindRenderbufferEXT") &&
           loadCall(&fbo.renderbufferStorage, "glRenderbufferStorageEXT") &&
           loadCall(&fbo.framebufferRenderbuffer, "glFramebufferRenderbufferEXT") &&
           loadCall(&fbo.checkFramebufferStatus, "glCheckFramebufferStatusEXT");
}

// Clears the window outside the picture rectangle to black (the picture covers the rest).
void clearBars()
{
    const PixelRect& p = layout.picture;
    const PixelRect bars[] = {
        {0, 0, p.x, layout.windowHeight},
        {p.x + p.width, 0, layout.windowWidth - p.x - p.width, layout.windowHeight},
        {p.x, 0, p.width, p.y},
        {p.x, p.y + p.height, p.width, layout.windowHeight - p.y - p.height},
    };
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glEnable(GL_SCISSOR_TEST);
    for (const PixelRect& bar : bars) {
        if (bar.width > 0 && bar.height > 0) {
            glScissor(bar.x, bar.y, bar.width, bar.height);
            glClear(GL_COLOR_BUFFER_BIT);
        }
    }
}

// Draws the texture's region (s0, t0) .. (s1, t1) as one quad onto target, in a viewport of the
// whole surfaceWidth x surfaceHeight, first clearing the window around the picture rectangle to
// black when bars is set; leaves every GL state and matrix as it found them.
void drawTextureOnto(GLuint texture, const float (&st)[4], const PixelRect& target, int surfaceWidth, int surfaceHeight,
                     bool bars)
{
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, surfaceWidth, 0.0, surfaceHeight, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, surfaceWidth, surfaceHeight);
    static const GLenum off[] = {GL_DEPTH_TEST, GL_BLEND,        GL_FOG,           GL_LIGHTING,      GL_ALPHA_TEST,
                                 GL_CULL_FACE,  GL_SCISSOR_TEST, GL_TEXTURE_GEN_S, GL_TEXTURE_GEN_T, GL_COLOR_MATERIAL};
    for (GLenum capability : off) {
        glDisable(capability);
    }
    if (bars) {
        clearBars();
        glDisable(GL_SCISSOR_TEST);
    }
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    const float x0 = static_cast<float>(target.x);
    const float y0 = static_cast<float>(target.y);
    const float x1 = x0 + static_cast<float>(target.width);
    const float y1 = y0 + static_cast<float>(target.height);
    glBegin(GL_QUADS);
    glTexCoord2f(st[0], st[1]);
    glVertex2f(x0, y0);
    glTexCoord2f(st[2], st[1]);
    glVertex2f(x1, y0);
    glTexCoord2f(st[2], st[3]);
    glVertex2f(x1, y1);
    glTexCoord2f(st[0], st[3]);
    glVertex2f(x0, y1);
    glEnd();
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopAttrib();
}

// The window around the picture rectangle black, the texture's region drawn into the rectangle.
void drawIntoPicture(GLuint texture, float s0, float t0, float s1, float t1)
{
    drawTextureOnto(texture, {s0, t0, s1, t1}, layout.picture, layout.windowWidth, layout.windowHeight, true);
}

void makeLinearTexture(GLuint* texture, GLenum wrap, int width, int height)
{
    glGenTextures(1, texture);
    glBindTexture(GL_TEXTURE_2D, *texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(wrap));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(wrap));
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
}

// Copies the drawn frame out of the back buffer and draws it into the picture rectangle.
void showScaled()
{
    const PixelRect& view = layout.view;
    glPushAttrib(GL_TEXTURE_BIT);
    if (copyTexture == 0 || copyTextureWidth < view.width || copyTextureHeight < view.height) {
        if (copyTexture != 0) {
            glDeleteTextures(1, &copyTexture);
        }
        copyTextureWidth = powerOfTwoAtLeast(view.width);
        copyTextureHeight = powerOfTwoAtLeast(view.height);
        makeLinearTexture(&copyTexture, GL_CLAMP, copyTextureWidth, copyTextureHeight);
    }
    glBindTexture(GL_TEXTURE_2D, copyTexture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, view.x, view.y, view.width, view.height);
    glPopAttrib();
    // Half a texel in from the frame's edges, so that filtering never reaches the texture's unused
    // part beyond it.
    const float w = static_cast<float>(copyTextureWidth);
    const float h = static_cast<float>(copyTextureHeight);
    drawIntoPicture(copyTexture, 0.5f / w, 0.5f / h, (view.width - 0.5f) / w, (view.height - 0.5f) / h);
}

void showOffscreen()
{
    fbo.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
    drawIntoPicture(surfaceTexture, 0.0f, 0.0f, 1.0f, 1.0f);
}

}  // namespace

void clearFrame()
{
    if (services().frameStarted != nullptr) {
        services().frameStarted();
    }
    // Scaled frames are drawn in a corner of a larger window: clearing only that corner spares
    // most of a full-screen clear. A hidden frame keeps its one-pixel box.
    if (layout.route == FrameRoute::Scaled && !hidden) {
        glEnable(GL_SCISSOR_TEST);
        glScissor(layout.view.x, layout.view.y, layout.view.width, layout.view.height);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glDisable(GL_SCISSOR_TEST);
        return;
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void presentFrame()
{
    if (services().frameDrawn != nullptr) {
        services().frameDrawn();
    }
    if (layout.route == FrameRoute::Scaled) {
        showScaled();
    } else if (layout.route == FrameRoute::Offscreen && layout.showOffscreen && surfaceFramebuffer != 0) {
        showOffscreen();
    }
    sysSwapBuffers();
    if (layout.route == FrameRoute::Offscreen && surfaceFramebuffer != 0) {
        fbo.bindFramebuffer(GL_FRAMEBUFFER_EXT, surfaceFramebuffer);
    }
    if (services().framePresented != nullptr) {
        services().framePresented();
    }
}

void holdFrame()
{
    const PixelRect& view = layout.view;
    glPushAttrib(GL_TEXTURE_BIT);
    if (heldTexture == 0 || heldTextureWidth < view.width || heldTextureHeight < view.height) {
        if (heldTexture != 0) {
            glDeleteTextures(1, &heldTexture);
        }
        heldTextureWidth = powerOfTwoAtLeast(view.width);
        heldTextureHeight = powerOfTwoAtLeast(view.height);
        makeLinearTexture(&heldTexture, GL_CLAMP, heldTextureWidth, heldTextureHeight);
    }
    glBindTexture(GL_TEXTURE_2D, heldTexture);
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, view.x, view.y, view.width, view.height);
    glPopAttrib();
    heldWidth = view.width;
    heldHeight = view.height;
}

void drawHeldFrame()
{
    if (heldTexture == 0) {
        return;
    }
    // The held frame fills the view; at the size it was taken, texel for pixel.
    const float w = static_cast<float>(heldTextureWidth);
    const float h = static_cast<float>(heldTextureHeight);
    const PixelRect& view = layout.view;
    if (view.width == heldWidth && view.height == heldHeight) {
        drawTextureOnto(heldTexture, {0.0f, 0.0f, heldWidth / w, heldHeight / h}, view, view.x + view.width,
                        view.y + view.height, false);
    } else {
        drawTextureOnto(heldTexture, {0.5f / w, 0.5f / h, (heldWidth - 0.5f) / w, (heldHeight - 0.5f) / h}, view,
                        view.x + view.width, view.y + view.height, false);
    }
    glViewport(view.x, view.y, view.width, view.height);
}

void setFramesHidden(bool hide)
{
    if (hide == hidden) {
        return;
    }
    hidden = hide;
    sysSetFramesHidden(hide);
    if (hide) {
        glScissor(0, 0, 1, 1);
        glEnable(GL_SCISSOR_TEST);
    } else {
        glDisable(GL_SCISSOR_TEST);
        glScissor(layout.view.x, layout.view.y, layout.view.width, layout.view.height);
    }
}

bool framesHidden()
{
    return hidden;
}

PixelRect fitAspect(int width, int height, int aspectWidth, int aspectHeight)
{
    PixelRect rect;
    if (static_cast<long long>(width) * aspectHeight >= static_cast<long long>(height) * aspectWidth) {
        rect.height = height;
        rect.width = static_cast<int>((2LL * height * aspectWidth + aspectHeight) / (2LL * aspectHeight));
    } else {
        rect.width = width;
        rect.height = static_cast<int>((2LL * width * aspectHeight + aspectWidth) / (2LL * aspectWidth));
    }
    rect.width = rect.width < 1 ? 1 : rect.width;
    rect.height = rect.height < 1 ? 1 : rect.height;
    rect.x = (width - rect.width) / 2;
    rect.y = (height - rect.height) / 2;
    rect.x = rect.x < 0 ? 0 : rect.x;
    rect.y = rect.y < 0 ? 0 : rect.y;
    return rect;
}

void setFrameLayout(const FrameLayout& wanted)
{
    layout = wanted;
    glViewport(layout.view.x, layout.view.y, layout.view.width, layout.view.height);
}

const FrameLayout& frameLayout()
{
    return layout;
}

bool createOffscreenSurface(int width, int height, std::string* error)
{
    const std::string size = std::to_string(width) + "x" + std::to_string(height);
    if (!hasExtension("GL_EXT_framebuffer_object") || !loadFramebufferCalls()) {
        *error = "cannot draw " + size + " frames: this GL has no framebuffer objects (GL_EXT_framebuffer_object)";
        return false;
    }
    GLint maxTexture = 0;
    GLint maxRenderbuffer = 0;
    GLint maxViewport[2] = {0, 0};
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTexture);
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE_EXT, &maxRenderbuffer);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, maxViewport);
    const int limit = std::min({maxTexture, maxRenderbuffer, maxViewport[0], maxViewport[1]});
    if (width > limit || height > limit) {
        *error = "cannot draw " + size + " frames: this GL draws at most " + std::to_string(limit) + " pixels a side";
        return false;
    }
    while (glGetError() != GL_NO_ERROR) {
    }
    glPushAttrib(GL_TEXTURE_BIT);
    makeLinearTexture(&surfaceTexture, GL_CLAMP_TO_EDGE, width, height);
    glPopAttrib();
    fbo.genRenderbuffers(1, &surfaceDepth);
    fbo.bindRenderbuffer(GL_RENDERBUFFER_EXT, surfaceDepth);
    fbo.renderbufferStorage(GL_RENDERBUFFER_EXT, GL_DEPTH_COMPONENT24, width, height);
    fbo.genFramebuffers(1, &surfaceFramebuffer);
    fbo.bindFramebuffer(GL_FRAMEBUFFER_EXT, surfaceFramebuffer);
    fbo.framebufferTexture2D(GL_FRAMEBUFFER_EXT, GL_COLOR_ATTACHMENT0_EXT, GL_TEXTURE_2D, surfaceTexture, 0);
    fbo.framebufferRenderbuffer(GL_FRAMEBUFFER_EXT, GL_DEPTH_ATTACHMENT_EXT, GL_RENDERBUFFER_EXT, surfaceDepth);
    const GLenum status = fbo.checkFramebufferStatus(GL_FRAMEBUFFER_EXT);
    const GLenum problem = glGetError();
    if (status != GL_FRAMEBUFFER_COMPLETE_EXT || problem != GL_NO_ERROR) {
        *error = "cannot draw " + size + " frames: " +
                 (problem == GL_OUT_OF_MEMORY ? std::string("not enough memory for the surface")
                                              : "the GL refuses a surface of that size");
        releaseFrameSurfaces();
        return false;
    }
    return true;
}

void releaseFrameSurfaces()
{
    if (surfaceFramebuffer != 0) {
        fbo.bindFramebuffer(GL_FRAMEBUFFER_EXT, 0);
        fbo.deleteFramebuffers(1, &surfaceFramebuffer);
    }
    if (surfaceDepth != 0) {
        fbo.deleteRenderbuffers(1, &surfaceDepth);
    }
    if (surfaceTexture != 0) {
        glDeleteTextures(1, &surfaceTexture);
    }
    if (copyTexture != 0) {
        glDeleteTextures(1, &copyTexture);
    }
    if (heldTexture != 0) {
        glDeleteTextures(1, &heldTexture);
    }
    surfaceFramebuffer = surfaceDepth = surfaceTexture = copyTexture = heldTexture = 0;
    copyTextureWidth = copyTextureHeight = heldTextureWidth = heldTextureHeight = 0;
}
