// Message boxes and the interrupt signals: the services of the platform layer that need no window.
// A box goes to the shower the video layer installs once a display is up; in batch mode, before
// that, or when the shower fails, it is one "caption: text" line on stderr. Programs without a
// window (the 3DS inspector) get the stderr line only.
#include "platform/platform.h"

#include <csignal>
#include <cstdio>

namespace {

bool batchMode = false;
bool (*boxShower)(const char* caption, const char* text) = nullptr;
void (*interruptHandler)(int signal) = nullptr;
volatile sig_atomic_t interruptReceived = 0;

extern "C" void onSignal(int signal)
{
    interruptReceived = signal;
    if (interruptHandler != nullptr) {
        interruptHandler(signal);
    }
}

}  // namespace

// Called by the video layer: how to show a box on screen (nullptr: stderr only).
void sysSetBoxShower(bool (*show)(const char* caption, const char* text))
{
    boxShower = show;
}

void sysSetBatchMode(bool batch)
{
    batchMode = batch;
}

bool sysBatchMode()
{
    return batchMode;
}

void sysMessageBox(const char* caption, const char* text)
{
    if (!batchMode && boxShower != nullptr && boxShower(caption, text)) {
        return;
    }
    std::fprintf(stderr, "%s: %s\n", caption, text);
    std::fflush(stderr);
}

int sysInterruptSignal()
{
    return interruptReceived;
}

void sysOnInterrupt(void (*handler)(int signal))
{
    interruptHandler = handler;
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
#ifdef SIGHUP
    // Closing the terminal ends the run as Ctrl+C does, through the teardown (on Windows the
    // console's close event does, through the same handler).
    sigaction(SIGHUP, &action, nullptr);
#endif
#ifdef SIGPIPE
    // A reader that goes away (a closed pipe on standard output, an encoder that died) shows up as
    // a failed write, which is reported, rather than ending the program on the spot.
    signal(SIGPIPE, SIG_IGN);
#endif
}
