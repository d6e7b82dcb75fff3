// The render window, display mode, GL context, message queue and message boxes on SDL2.
// Stands in for the window class, window procedure plumbing, pixel format and WGL context of the
// original; the shell sees only platform.h.
#include "platform/platform.h"

#include <GL/gl.h>
#include <SDL2/SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/icon.h"

void sysStepFixedClock();
void dialogNotifyQuit();
void sysSetBoxShower(bool (*show)(const char* caption, const char* text));
bool dialogShowMessageBox(const char* caption, const char* text);

namespace {

std::string lastError;
bool videoStarted = false;
bool offscreen = false;
SDL_Window* window = nullptr;
SDL_GLContext glContext = nullptr;
int depthBits = 0;
bool modeChosen = false;
SDL_DisplayMode chosenMode{};
bool cursorHidden = false;
bool escapeHeld = false;  // Escape as of the last message taken off the queue
Uint32 quitEventType = 0;

void setError(const std::string& what)
{
    lastError = what;
}

Key keyOf(SDL_Keycode code)
{
    switch (code) {
    case SDLK_ESCAPE:
        return Key::Escape;
    case SDLK_SPACE:
        return Key::Space;
    case SDLK_LEFT:
        return Key::Left;
    case SDLK_RIGHT:
        return Key::Right;
    case SDLK_PAGEUP:
        return Key::PageUp;
    case SDLK_PAGEDOWN:
        return Key::PageDown;
    case SDLK_HOME:
        return Key::Home;
    case SDLK_TAB:
        return Key::Tab;
    case SDLK_F1:
        return Key::F1;
    case SDLK_F12:
        return Key::F12;
    default:
        break;
    }
    if (code >= SDLK_1 && code <= SDLK_8) {
        return static_cast<Key>(static_cast<int>(Key::Digit1) + (code - SDLK_1));
    }
    if (code >= SDLK_KP_1 && code <= SDLK_KP_8) {
        return static_cast<Key>(static_cast<int>(Key::Digit1) + (code - SDLK_KP_1));
    }
    return Key::Other;
}

// One SDL event as the program's message.
Message messageOf(const SDL_Event& event)
{
    Message message;
    message.kind = MessageKind::Other;
    if (event.type == quitEventType && quitEventType != 0) {
        message.kind = MessageKind::Quit;
    } else if (event.type == SDL_QUIT) {
        message.kind = MessageKind::Close;
    } else if (event.type == SDL_KEYDOWN || event.type == SDL_KEYUP) {
        const bool down = event.type == SDL_KEYDOWN;
        message.kind = down ? MessageKind::KeyDown : MessageKind::KeyUp;
        message.key = keyOf(event.key.keysym.sym);
        if (message.key == Key::Escape) {
            escapeHeld = down;
        }
    } else if (event.type == SDL_WINDOWEVENT) {
        switch (event.window.event) {
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            message.kind = MessageKind::Size;
            sysClientSize(&message.width, &message.height);
            break;
        case SDL_WINDOWEVENT_EXPOSED:
            message.kind = MessageKind::Paint;
            break;
        case SDL_WINDOWEVENT_CLOSE:
            message.kind = MessageKind::Close;
            break;
        default:
            break;
        }
    }
    return message;
}

}  // namespace

void sysSetLastError(const std::string& what)
{
    lastError = what;
}

const char* sysLastError()
{
    return lastError.c_str();
}

// On GTK, in this process: SDL's own box runs in a child process that would inherit the signal
// handlers and could outlive the program.
static bool showBoxOnScreen(const char* caption, const char* text)
{
    return videoStarted && !offscreen && dialogShowMessageBox(caption, text);
}

bool sysInitVideo(bool allowOffscreen, bool forceOffscreen)
{
    if (videoStarted) {
        return true;
    }
#ifdef _WIN32
    // A Windows session always has its desktop, and SDL's offscreen driver has no GL there (it
    // needs EGL): a headless run uses a window all the same.
    const bool haveDisplay = true;
    forceOffscreen = false;
#else
    const char* display = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    const bool haveDisplay = (display != nullptr && display[0] != '\0') || (wayland != nullptr && wayland[0] != '\0');
#endif
    if (forceOffscreen) {
        allowOffscreen = true;
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    } else if (!haveDisplay) {
        if (!allowOffscreen) {
            setError("no display (DISPLAY and WAYLAND_DISPLAY are unset)");
            return false;
        }
        SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    }
    // Ctrl+C and termination are ours to handle (they end the presentation through its teardown).
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_VIDEO_X11_NET_WM_BYPASS_COMPOSITOR, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        setError(std::string("cannot start video: ") + SDL_GetError());
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    offscreen = driver != nullptr && std::strcmp(driver, "offscreen") == 0;
    if (offscreen && !allowOffscreen) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        setError("no display (only SDL's offscreen video driver is available)");
        return false;
    }
    quitEventType = SDL_RegisterEvents(1);
    videoStarted = true;
    sysSetBoxShower(showBoxOnScreen);
    return true;
}

bool sysIsOffscreen()
{
    return offscreen;
}

DisplayModeResult sysChangeDisplayMode(int width, int height)
{
    SDL_DisplayMode current{};
    if (!videoStarted || SDL_GetCurrentDisplayMode(0, &current) != 0) {
        return DisplayModeResult::CannotEnumerate;
    }
    SDL_DisplayMode wanted = current;
    wanted.w = width;
    wanted.h = height;
    SDL_DisplayMode closest{};
    if (SDL_GetClosestDisplayMode(0, &wanted, &closest) == nullptr || closest.w != width || closest.h != height) {
        return DisplayModeResult::NotCompatible;
    }
    // Keep the desktop's depth and refresh rate where the display offers them at this size.
    chosenMode = closest;
    modeChosen = true;
    return DisplayModeResult::Changed;
}

void sysRestoreDisplayMode()
{
    // Desktop full screen never changed the mode: leaving it alone spares a flash at the end.
    if (modeChosen && window != nullptr && (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0) {
        SDL_SetWindowFullscreen(window, 0);
    }
    modeChosen = false;
}

void sysShowCursor(bool show)
{
    if (!videoStarted) {
        return;
    }
    SDL_ShowCursor(show ? SDL_ENABLE : SDL_DISABLE);
    cursorHidden = !show;
}

bool sysCreateWindow(const char* title, int width, int height, bool fullScreen)
{
    if (!videoStarted) {
        setError("video is not started");
        return false;
    }
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_SHOWN;
    int x = 0;
    int y = 0;
    if (fullScreen && modeChosen) {
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN;
    } else if (fullScreen) {
        // The desktop's own mode. Without a window manager to honour the full-screen state the
        // window must already be as large as the display, borderless at its corner.
        flags |= SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP;
        SDL_Rect bounds{};
        if (SDL_GetDisplayBounds(0, &bounds) == 0) {
            x = bounds.x;
            y = bounds.y;
            width = bounds.w;
            height = bounds.h;
        }
    } else {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    // The deepest depth buffer on offer: 32 bits, else 24, else 16.
    static const int depths[] = {32, 24, 16};
    std::string reasons;
    for (int depth : depths) {
        SDL_GL_ResetAttributes();
        SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
        SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
        SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, depth);
        SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);
        window = SDL_CreateWindow(title, x, y, width, height, flags);
        if (window == nullptr) {
            reasons += std::string(reasons.empty() ? "" : "; ") + SDL_GetError();
            continue;
        }
        glContext = SDL_GL_CreateContext(window);
        if (glContext == nullptr) {
            reasons += std::string(reasons.empty() ? "" : "; ") + SDL_GetError();
            SDL_DestroyWindow(window);
            window = nullptr;
            continue;
        }
        depthBits = depth;
        break;
    }
    if (window == nullptr) {
        setError("cannot create the render window: " + reasons);
        return false;
    }
    if (fullScreen && modeChosen) {
        SDL_SetWindowDisplayMode(window, &chosenMode);
    }
    IconPixels icon = decodeIcon();
    if (!icon.rgba.empty()) {
        SDL_Surface* surface = SDL_CreateRGBSurfaceWithFormatFrom(icon.rgba.data(), icon.width, icon.height, 32,
                                                                  icon.width * 4, SDL_PIXELFORMAT_RGBA32);
        if (surface != nullptr) {
            SDL_SetWindowIcon(window, surface);
            SDL_FreeSurface(surface);
        }
    }
    // No vsync: the presentation runs as fast as it can (a refusal is not an error).
    SDL_GL_SetSwapInterval(0);
    SDL_RaiseWindow(window);
    return true;
}

bool sysCreateGLContext()
{
    if (window == nullptr || glContext == nullptr) {
        setError("no window with a GL surface");
        return false;
    }
    if (SDL_GL_MakeCurrent(window, glContext) != 0) {
        setError(std::string("cannot make the GL context current: ") + SDL_GetError());
        return false;
    }
    return true;
}

void sysDestroyGLContext()
{
    if (glContext != nullptr) {
        SDL_GL_MakeCurrent(window, nullptr);
        SDL_GL_DeleteContext(glContext);
        glContext = nullptr;
    }
}

void sysSwapBuffers()
{
    if (window != nullptr) {
        // The offscreen driver does not flush on swap; without this llvmpipe queues frames forever.
        if (offscreen) {
            glFinish();
        }
        SDL_GL_SwapWindow(window);
    }
    sysStepFixedClock();
}

void sysClientSize(int* width, int* height)
{
    int w = 0, h = 0;
    if (window != nullptr) {
        SDL_GL_GetDrawableSize(window, &w, &h);
    }
    *width = w;
    *height = h;
}

void* sysGLProcAddress(const char* name)
{
    return videoStarted ? SDL_GL_GetProcAddress(name) : nullptr;
}

// The 1x1 scissor box of setFramesHidden already spares the desktop GL nearly all the fill.
void sysSetFramesHidden(bool) {}

// The desktop shows play's position only in the shell's own overlay.
void sysShowPlayback(double, bool) {}
void sysSetChapters(const char* const*, const double*, int, double) {}

int sysDepthBits()
{
    return depthBits;
}

bool sysPeekMessage(Message* message)
{
    if (!videoStarted) {
        return false;
    }
    SDL_Event event;
    if (SDL_PollEvent(&event) == 0) {
        return false;
    }
    *message = messageOf(event);
    return true;
}

bool sysWaitMessage(Message* message, int timeoutMs)
{
    if (!videoStarted) {
        return false;
    }
    SDL_Event event;
    if (SDL_WaitEventTimeout(&event, timeoutMs) == 0) {
        return false;
    }
    *message = messageOf(event);
    return true;
}

void sysPostQuitMessage()
{
    dialogNotifyQuit();
    if (videoStarted && quitEventType != 0) {
        SDL_Event event{};
        event.type = quitEventType;
        SDL_PushEvent(&event);
    }
}

bool sysEscapeDown()
{
    return escapeHeld;
}
