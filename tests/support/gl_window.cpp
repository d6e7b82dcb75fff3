// The tests' window and GL context over the platform layer, and the rule for a missing display.
#include "tests/support/gl_window.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform/platform.h"
#include "shell/window.h"

bool openTestWindow(const char* title, int width, int height, bool withContext, std::string* why)
{
    sysSetBatchMode(true);
    // On a machine running many test displays at once a connection to the X server is now and then
    // refused (SDL then finds only its offscreen driver). The display is there: ask it again, for
    // up to half a minute, before calling the window missing.
    bool video = sysInitVideo(false);
    const char* display = std::getenv("DISPLAY");
    for (int attempt = 1; !video && display != nullptr && display[0] != '\0' && attempt < 60; ++attempt) {
        std::fprintf(stderr, "no window on %s yet (%s), asking again\n", display, sysLastError());
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        video = sysInitVideo(false);
    }
    const bool ok = video && sysCreateWindow(title, width, height, false) && (!withContext || sysCreateGLContext());
    if (!ok && why != nullptr) {
        *why = sysLastError();
    }
    return ok;
}

void closeTestWindow()
{
    sysDestroyGLContext();
}

bool openProgramWindow(const char* title, int width, int height, std::string* why)
{
    if (!openTestWindow(title, width, height, false, why)) {
        return false;
    }
    initGL();
    return true;
}

void closeProgramWindow()
{
    shutdownGL();
}

bool glRequired()
{
    const char* value = std::getenv("VELMORA_REQUIRE_GL");
    return value != nullptr && std::strcmp(value, "1") == 0;
}
