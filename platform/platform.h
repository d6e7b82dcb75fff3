// The platform layer: the only code that talks to SDL, SDL2_mixer, GTK, libpng and the browser. It
// stands in for the window, GL context, message queue, message boxes, tick count, launch dialog,
// sound library and picture files that the rest of the program uses.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>

// ---- Tick count ----------------------------------------------------------------------------

// Milliseconds since the program started, as an unsigned 32-bit count (wraps after 49 days).
uint32_t sysTickCount();
// Fixed-step clock: with fps > 0 the tick count no longer follows the wall clock but advances by
// exactly 1000 / fps ms at every sysSwapBuffers, so every frame is reproducible. 0 returns to the
// wall clock.
void sysSetFixedStep(int fps);
int sysFixedStepFps();
// Moves the fixed-step clock on by ms without presenting a frame (used to skip ahead); also moves
// a held clock.
void sysAdvanceFixedClock(double ms);
// Holds the tick count: it then moves only by sysAdvanceFixedClock, not at the buffer swap. On
// release the wall clock goes on from the held count (it never jumps back); the fixed-step clock
// goes on stepping at each swap.
void sysHoldClock(bool hold);
// The tick count before rounding to whole milliseconds (on the fixed-step clock, the exact sum of
// its steps), and a way to put it back there: a replay from the start sets it to the count its
// first scene began at, and time goes on from it on either clock.
double sysTickCountExact();
void sysSetTickCount(double ms);

// ---- Message boxes -------------------------------------------------------------------------

// In batch mode (or when no box can be shown) a message box prints "caption: text" on stderr.
void sysSetBatchMode(bool batch);
bool sysBatchMode();
// A modal box with a caption, a text and an OK button.
void sysMessageBox(const char* caption, const char* text);

// ---- Video ---------------------------------------------------------------------------------

// Starts the video subsystem. Without a display (no DISPLAY / WAYLAND_DISPLAY) it fails unless
// allowOffscreen, in which case it uses SDL's offscreen driver; forceOffscreen uses that driver even
// where a display exists. Returns false with sysLastError().
bool sysInitVideo(bool allowOffscreen, bool forceOffscreen = false);
bool sysIsOffscreen();
const char* sysLastError();
// Sets what sysLastError() reports, for a failure found above this layer.
void sysSetLastError(const std::string& what);

enum class DisplayModeResult { Changed, CannotEnumerate, NotCompatible };
// Chooses the full-screen mode width x height at the current depth and refresh rate; it takes
// effect when the window is created full-screen. Without a chosen mode a full-screen window covers
// the display at the desktop's own mode.
DisplayModeResult sysChangeDisplayMode(int width, int height);
// Back to the desktop's own mode (a no-op when the mode was never changed).
void sysRestoreDisplayMode();
void sysShowCursor(bool show);

// Creates the render window with a GL-capable surface (32-bit colour, double buffer, the deepest
// depth buffer on offer, no stencil) whose client area is width x height (the whole display for
// desktop full screen); a windowed one can be resized by the user. Returns false with
// sysLastError() when no window can be made.
bool sysCreateWindow(const char* title, int width, int height, bool fullScreen);
// Creates the GL compatibility context on the window and makes it current.
bool sysCreateGLContext();
void sysDestroyGLContext();
// Presents the back buffer (and, with the fixed-step clock, advances the tick count by one step).
void sysSwapBuffers();
// The size of the window's drawable in pixels, as SDL reports it.
void sysClientSize(int* width, int* height);
int sysDepthBits();
// The address of a GL function of the current context (extensions); null when it has none.
void* sysGLProcAddress(const char* name);
// Frames drawn from now until the next call with false are never seen (the skip ahead draws them
// to bring the scenes' state forward): a platform may leave their pixels out. Set only through
// setFramesHidden (render/frame.h).
void sysSetFramesHidden(bool hidden);
// Called for every frame shown, with its presentation time and whether play is paused, so that a
// platform with its own controls (the page's bar) shows where play is. The desktop has none.
void sysShowPlayback(double seconds, bool paused);
// The scenes' names and start times in seconds, in play order, and the presentation's length,
// handed over once before play for a platform whose controls mark them (the page's seek bar).
void sysSetChapters(const char* const* names, const double* starts, int count, double lengthSeconds);

// ---- Pictures ------------------------------------------------------------------------------

// Writes a picture to file as PNG: height rows of width 8-bit RGB (channels 3) or RGBA (channels
// 4) pixels, rows[0] the top one. False when encoding or a write fails. libpng on the desktop; the
// browser, which has none, writes the rows uncompressed (stored deflate blocks), which every PNG
// reader accepts.
bool sysWritePngStream(FILE* file, int width, int height, int channels, const uint8_t* const* rows);

// The browser build only, which has no JPEG decoder: the page decodes the data folder's pictures
// while it preloads them. The picture file path as packed RGB rows, top row first, with its size;
// malloc'd (the caller frees). Null (and a line on stderr when out of memory) when the page could
// not decode it.
uint8_t* sysPreloadedPictureRgb(const char* path, int* width, int* height);

// ---- Messages ------------------------------------------------------------------------------

enum class MessageKind { None, Size, Paint, Close, KeyDown, KeyUp, Quit, Seek, Other };
// The keys the program answers to; every other key is Other. Digit1 .. Digit8 follow one another,
// the number row's and the keypad's alike.
enum class Key {
    Other,
    Escape,
    Space,
    Left,
    Right,
    PageUp,
    PageDown,
    Home,
    Tab,
    F1,
    F12,
    Digit1,
    Digit2,
    Digit3,
    Digit4,
    Digit5,
    Digit6,
    Digit7,
    Digit8
};
constexpr int keyCount = static_cast<int>(Key::Digit8) + 1;
struct Message {
    MessageKind kind = MessageKind::None;
    int width = 0;  // Size: the new client size
    int height = 0;
    Key key = Key::Other;  // KeyDown/KeyUp: which key
    int seekMs = 0;        // Seek: the presentation time to go to, in milliseconds (0 .. 232000)
};

// Takes at most one pending message off the queue. Returns false when none is waiting.
bool sysPeekMessage(Message* message);
// Like sysPeekMessage, but when none is waiting gives the system up to timeoutMs to deliver one
// (the browser shows the page and runs its events meanwhile). Returns false when none came.
bool sysWaitMessage(Message* message, int timeoutMs);
// Puts a quit message on the queue; it is dispatched like any other.
void sysPostQuitMessage();
// Whether the Escape key is held down now.
bool sysEscapeDown();
// SIGINT, SIGTERM and SIGHUP call handler with the signal's number (it should only set a flag);
// SIGPIPE is ignored, so that writing to a closed pipe fails instead of ending the program.
void sysOnInterrupt(void (*handler)(int signal));
// The interrupt signal received so far (0 when none); the launch dialog closes on it.
int sysInterruptSignal();

// ---- Launch dialog -------------------------------------------------------------------------

// Control ids of the launch dialog.
enum : int {
    IDC_RES_640 = 1000,
    IDC_RES_800 = 1001,
    IDC_RES_1024 = 1002,
    IDC_LAUNCH = 1003,
    IDC_EXIT = 1004,
    IDC_RES_1152 = 1005,
    IDC_WINDOWED = 1006
};
enum class DialogMessage { InitDialog, Close, Command };
// The dialog procedure: a message and, for Command, the control id. Returns true when handled.
using DialogProc = bool (*)(DialogMessage message, int controlId);

// Shows the launch dialog at (100, 100) and runs its message loop until the procedure ends the
// dialog and posts the quit message. Returns false (with sysLastError) when it cannot be shown.
bool sysRunLaunchDialog(DialogProc proc);
bool sysDialogIsChecked(int controlId);
void sysDialogSetCheck(int controlId, bool checked);
// Hides the dialog; the loop ends at the next quit message.
void sysEndDialog();

// ---- Sound ---------------------------------------------------------------------------------

using SoundStream = void*;
// Opens the output at the mixing rate. When no device can be opened it falls back to silence,
// saying why in one line on stderr. Never shows a box.
bool sndInit(int mixRate, int channels, unsigned flags);
// The spectrum unit: switched on and off, never read.
void sndSetSpectrumActive(bool active);
// Opens a music file as a stream; null (with one line on stderr) when missing or undecodable.
SoundStream sndStreamOpen(const char* path, unsigned mode, int length);
// How long the stream plays, in seconds; negative when the decoder cannot tell.
double sndStreamSeconds(SoundStream stream);
// Plays the stream in the background; nothing more is needed from the caller.
bool sndStreamPlay(int channel, SoundStream stream);
void sndStreamStop(SoundStream stream);
// Moves a playing stream to the given position in seconds (used when starting part-way through).
void sndStreamSeek(SoundStream stream, double seconds);
// Pauses a playing stream where it is, or lets a paused one go on from there.
void sndStreamPause(SoundStream stream, bool paused);
// Where in the stream the sound now plays, in seconds; negative when the decoder cannot tell. The
// presentation never asks (it only starts and moves the music); tests do.
double sndStreamPosition(SoundStream stream);
// Closes the sound output and releases every stream.
void sndClose();
