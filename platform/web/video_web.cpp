// The render window, GL context, message queue and buffer swap in a browser page: the window is the
// page's canvas, the context WebGL under Emscripten's fixed-function emulation, messages come from
// the page's key and full-screen events, and the buffer swap hands control back to the browser
// (Asyncify) so that it shows the frame and delivers events before the next one is drawn.
#include "platform/platform.h"

#include <emscripten.h>

#include <string>

void sysStepFixedClock();
void dialogNotifyQuit();

namespace {

std::string lastError;
bool videoStarted = false;
bool contextMade = false;
int depthBits = 0;
int pendingQuits = 0;
bool escapeHeld = false;
int swapCount = 0;
double yieldMs = 0.0;  // time spent handing control to the browser, for the page's figures

// Paced by the display (requestAnimationFrame) on the wall clock; as soon as possible on the
// fixed-step clock, where only the count of frames matters. ?yield=sleep measures the plain
// emscripten_sleep(0) instead.
EM_JS(void, yieldToBrowser, (int paced), {
    Asyncify.handleSleep(function(wakeUp) { window.velmora.nextFrame(paced, wakeUp); });
});

EM_JS(int, yieldModeFromPage, (), {
    var mode = new URLSearchParams(location.search).get('yield');
    return mode === 'sleep' ? 2 : mode === 'raf' ? 1 : mode === 'soon' ? 3 : 0;
});

}  // namespace

void sysSetLastError(const std::string& what)
{
    lastError = what;
}

const char* sysLastError()
{
    return lastError.c_str();
}

bool sysInitVideo(bool, bool)
{
    videoStarted = true;
    return true;
}

// The page's WebGL context offers no framebuffer objects to this program: recordings at a chosen
// size are a desktop feature.
void* sysGLProcAddress(const char*)
{
    return nullptr;
}

bool sysIsOffscreen()
{
    return false;
}

// The page asked for full screen when Launch was pressed (only a click may); the mode itself is
// the browser's, and the picture is scaled into it with its aspect kept.
DisplayModeResult sysChangeDisplayMode(int, int)
{
    return DisplayModeResult::Changed;
}

void sysRestoreDisplayMode()
{
    EM_ASM({
        if (document.fullscreenElement && document.exitFullscreen) document.exitFullscreen().catch(function() {});
    });
}

void sysShowCursor(bool show)
{
    EM_ASM({ window.velmora.canvas.style.cursor = $0 ? "" : "none"; }, show);
}

bool sysCreateWindow(const char* title, int width, int height, bool)
{
    if (!videoStarted) {
        lastError = "video is not started";
        return false;
    }
    const int made = EM_ASM_INT({
        var canvas = window.velmora.canvas;
        document.title = UTF8ToString($0);
        canvas.width = $1;
        canvas.height = $2;
        canvas.hidden = false;
        // No multisampling and no alpha: the desktop surface has neither.
        var ctx = Browser.createContext(canvas, true, true, {
            antialias: false, alpha: false, depth: true, stencil: false,
            preserveDrawingBuffer: false, majorVersion: 1, minorVersion: 0
        });
        if (!ctx) return 0;
        window.velmora.windowCreated();
        return ctx.getParameter(ctx.DEPTH_BITS) || 16;
    }, title, width, height);
    if (made == 0) {
        lastError = "cannot create the render window: this browser offers no WebGL";
        return false;
    }
    depthBits = made;
    contextMade = true;
    return true;
}

bool sysCreateGLContext()
{
    if (!contextMade) {
        lastError = "no window with a GL surface";
        return false;
    }
    return true;
}

void sysDestroyGLContext()
{
    contextMade = false;
}

void sysSwapBuffers()
{
    static const int mode = yieldModeFromPage();
    const double before = emscripten_get_now();
    if (mode == 2) {
        emscripten_sleep(0);
    } else {
        yieldToBrowser(mode == 1 || (mode == 0 && sysFixedStepFps() == 0));
    }
    yieldMs += emscripten_get_now() - before;
    ++swapCount;
    EM_ASM({ window.velmora.frameShown($0, $1, $2); }, swapCount, yieldMs, sysTickCount());
    sysStepFixedClock();
}

void sysClientSize(int* width, int* height)
{
    *width = EM_ASM_INT({ return window.velmora.canvas.width; });
    *height = EM_ASM_INT({ return window.velmora.canvas.height; });
}

int sysDepthBits()
{
    return depthBits;
}

bool sysPeekMessage(Message* message)
{
    if (!videoStarted) {
        return false;
    }
    *message = Message{};
    if (pendingQuits > 0) {
        --pendingQuits;
        message->kind = MessageKind::Quit;
        return true;
    }
    // The page's event is kept in velmora.taken while its fields are read. 0: none; 1, 2: key
    // down, up, with the key (a Key, as the page numbers it) times 4 added; 3: close; 4: seek.
    const int code = EM_ASM_INT({
        var event = window.velmora.events.shift();
        window.velmora.taken = event;
        if (!event) return 0;
        if (event.kind === 'Seek') return 4;
        var kind = event.kind === 'KeyDown' ? 1 : event.kind === 'KeyUp' ? 2 : 3;
        return kind + (kind < 3 ? 4 * (event.key | 0) : 0);
    });
    if (code == 0) {
        return false;
    }
    if (code == 4) {
        message->kind = MessageKind::Seek;
        message->seekMs = EM_ASM_INT({ return window.velmora.taken.ms; });
        return true;
    }
    switch (code & 3) {
    case 1:
    case 2: {
        message->kind = (code & 3) == 1 ? MessageKind::KeyDown : MessageKind::KeyUp;
        const int key = code >> 2;
        message->key = key > 0 && key < keyCount ? static_cast<Key>(key) : Key::Other;
        if (message->key == Key::Escape) {
            escapeHeld = message->kind == MessageKind::KeyDown;
        }
        break;
    }
    default:
        message->kind = MessageKind::Close;
        break;
    }
    return true;
}

void sysShowPlayback(double seconds, bool paused)
{
    EM_ASM({ window.velmora.playback($0, $1); }, seconds, paused);
}

void sysSetChapters(const char* const* names, const double* starts, int count, double lengthSeconds)
{
    // (No commas inside the EM_ASM blocks: the macro would split its argument there.)
    EM_ASM({
        var chapters = {marks: []};
        chapters.length = $0;
        window.velmora.chapters = chapters;
    }, lengthSeconds);
    for (int i = 0; i < count; ++i) {
        EM_ASM({
            var mark = {start: $1};
            mark.name = UTF8ToString($0);
            window.velmora.chapters.marks.push(mark);
        }, names[i], starts[i]);
    }
}

// The browser delivers events only while the program has handed it control: one display frame.
bool sysWaitMessage(Message* message, int)
{
    if (sysPeekMessage(message)) {
        return true;
    }
    yieldToBrowser(1);
    return sysPeekMessage(message);
}

void sysPostQuitMessage()
{
    dialogNotifyQuit();
    if (videoStarted) {
        ++pendingQuits;
    }
}

bool sysEscapeDown()
{
    return escapeHeld;
}
