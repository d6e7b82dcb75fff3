// The render window, the full-screen display mode, the GL context with its projection and fixed
// state, the window procedure and the orderly release of all of it. Uses the platform layer for
// everything system-specific and the outline font of the text module.
#include "shell/window.h"

#include <cstdio>

#include "core/gl.h"
#include "render/text.h"
#include "shell/launch.h"

bool mainWindow = false;
ClientRect clientRect;

bool createMainWindow(const char* title, int width, int height, bool fullScreenWindow)
{
    if (fullScreenWindow) {
        changeDisplayMode(width, height);
        sysShowCursor(false);
    }
    return sysCreateWindow(title, width, height, fullScreenWindow);
}

void changeDisplayMode(int width, int height)
{
    switch (sysChangeDisplayMode(width, height)) {
    case DisplayModeResult::Changed:
        break;
    case DisplayModeResult::CannotEnumerate:
        sysMessageBox("Error", "Could Not Enum Display Settings");
        break;
    case DisplayModeResult::NotCompatible:
        sysMessageBox("Error", "Display Mode Not Compatible");
        sysPostQuitMessage();
        break;
    }
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

static void refreshClientRect()
{
    int width = 0, height = 0;
    sysClientSize(&width, &height);
    clientRect = ClientRect{0, 0, width, height};
}

bool initGL()
{
    refreshClientRect();
    createGLContext(clientRect.right, clientRect.bottom);
    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LESS);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
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
        if (!fullScreen) {
            resizeView(message.width, message.height);
            refreshClientRect();
        }
        break;
    case MessageKind::Close:
        sysPostQuitMessage();
        escapeFlag = true;
        break;
    default:
        break;
    }
}

void shutdownGL()
{
    deleteOutlineFont();
    sysDestroyGLContext();
    if (fullScreen) {
        sysRestoreDisplayMode();
        sysShowCursor(true);
    }
    sysPostQuitMessage();
}
