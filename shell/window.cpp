// The render window, the full-screen display mode, the GL context with its projection and fixed
// state, the window procedure and the orderly release of all of it; and where in the window (or in
// an offscreen surface) the frames are drawn. Uses the platform layer for everything
// system-specific, the frame module for the way frames reach the window, and the outline font.
#include "shell/window.h"

#include <cstdio>
#include <string>

#include "core/gl.h"
#include "render/frame.h"
#include "render/text.h"
#include "shell/launch.h"
#include "shell/player.h"

bool mainWindow = false;
ClientRect clientRect;

static void refreshClientRect()
{
    int width = 0, height = 0;
    sysClientSize(&width, &height);
    clientRect = ClientRect{0, 0, width, height};
}

namespace {

bool displayModeChanged = false;
int recordingWidth = 0;  // 0: frames are drawn in the window
int recordingHeight = 0;
int recordingSupersample = 1;

// The chosen resolution is the picture's shape (4:3) and the size it is drawn at while the
// window has room for it; a window too small for it gets the picture drawn at its own size.
FrameLayout windowLayout(int windowWidth, int windowHeight)
{
    FrameLayout layout;
    layout.windowWidth = windowWidth;
    layout.windowHeight = windowHeight;
    layout.picture = fitAspect(windowWidth, windowHeight, screenWidth, screenHeight);
    const bool roomy = layout.picture.width >= screenWidth && layout.picture.height >= screenHeight;
    const bool exact = layout.picture.width == screenWidth && layout.picture.height == screenHeight;
    if (roomy && !exact) {
        layout.route = FrameRoute::Scaled;
        layout.view = PixelRect{0, 0, screenWidth, screenHeight};
    } else {
        layout.view = layout.picture;
    }
    return layout;
}

// A recording at a chosen size: the picture at full resolution (times the supersampling) in the
// middle of the offscreen surface; the window, where there is one to see, shows it scaled.
FrameLayout recordingLayout(int windowWidth, int windowHeight)
{
    FrameLayout layout;
    layout.route = FrameRoute::Offscreen;
    layout.windowWidth = windowWidth;
    layout.windowHeight = windowHeight;
    const int n = recordingSupersample;
    const PixelRect picture = fitAspect(recordingWidth, recordingHeight, screenWidth, screenHeight);
    layout.view = PixelRect{picture.x * n, picture.y * n, picture.width * n, picture.height * n};
    layout.picture = fitAspect(windowWidth, windowHeight, recordingWidth, recordingHeight);
    layout.showOffscreen = !sysIsOffscreen();
    return layout;
}

// The reference height that pixel-sized things (arc widths) are drawn for.
const float referenceHeight = 600.0f;

}  // namespace

void setRecordingSize(int width, int height, int supersample)
{
    recordingWidth = width;
    recordingHeight = height;
    recordingSupersample = supersample < 1 ? 1 : supersample;
}

bool createMainWindow(const char* title, int width, int height, bool fullScreenWindow)
{
    displayModeChanged = false;
    if (fullScreenWindow) {
        if (modeChange) {
            displayModeChanged = changeDisplayMode(width, height);
        }
        sysShowCursor(false);
    }
    if (!sysCreateWindow(title, width, height, fullScreenWindow)) {
        return false;
    }
    if (recordingWidth > 0) {
        std::string error;
        if (!createOffscreenSurface(recordingWidth * recordingSupersample, recordingHeight * recordingSupersample,
                                    &error)) {
            sysSetLastError(error);
            return false;
        }
    }
    return true;
}

bool changeDisplayMode(int width, int height)
{
    switch (sysChangeDisplayMode(width, height)) {
    case DisplayModeResult::Changed:
        return true;
    case DisplayModeResult::CannotEnumerate:
        sysMessageBox("Error", "Could Not Enum Display Settings");
        break;
    case DisplayModeResult::NotCompatible:
        // The window then covers the display at its own mode instead.
        sysMessageBox("Error", "Display Mode Not Compatible");
        sysPostQuitMessage();
        break;
    }
    return false;
}

void layoutFrames()
{
    refreshClientRect();
    const FrameLayout layout = recordingWidth > 0 ? recordingLayout(clientRect.right, clientRect.bottom)
                                                  : windowLayout(clientRect.right, clientRect.bottom);
    resizeView(layout.view.width, layout.view.height);
    setFrameLayout(layout);
    pixelScale = layout.route == FrameRoute::Offscreen ? layout.view.height / referenceHeight : 1.0f;
}

bool setupPixelFormat()
{
    if (sysDepthBits() == 0) {
        sysMessageBox("Error", "ChoosePixelFormat failed");
        return false;
    }
    return true;
}

void createGLContext(int width, int height)
{
    if (!setupPixelFormat()) {
        sysPostQuitMessage();
    }
    if (!sysCreateGLContext()) {
        std::fprintf(stderr, "velmora: %s\n", sysLastError());
    }
    resizeView(width, height);
}

void resizeView(int width, int height)
{
    if (height == 0) {
        height = 1;
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(45.0, static_cast<double>(width) / static_cast<double>(height), 0.5, 4000.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void setFixedGLState()
{
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

bool initGL()
{
    refreshClientRect();
    createGLContext(clientRect.right, clientRect.bottom);
    setFixedGLState();
    layoutFrames();
    createOutlineFont();
    escapeFlag = false;
    return true;
}

void mainWindowProc(const Message& message)
{
    if (sysEscapeDown()) {
        escapeFlag = true;
    }
    switch (message.kind) {
    case MessageKind::Size:
        // Only a changed display mode keeps the window at the picture's size.
        if (!fullScreen || !displayModeChanged) {
            layoutFrames();
        }
        playerWindowChanged();
        break;
    case MessageKind::Paint:
        playerWindowChanged();
        break;
    case MessageKind::Close:
        sysPostQuitMessage();
        escapeFlag = true;
        break;
    case MessageKind::KeyDown:
        playerKey(message.key);
        break;
    case MessageKind::Seek:
        playerSeekTo(message.seekMs / 1000.0);
        break;
    default:
        break;
    }
}

void shutdownGL()
{
    deleteOutlineFont();
    releaseFrameSurfaces();
    sysDestroyGLContext();
    if (fullScreen) {
        sysRestoreDisplayMode();
        sysShowCursor(true);
    }
    sysPostQuitMessage();
}
