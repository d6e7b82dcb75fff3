// The tests' window and GL context over the platform layer, and the rule for a missing display.
#include "tests/support/gl_window.h"

#include <cstdlib>
#include <cstring>

#include "platform/platform.h"

bool openTestWindow(const char* title, int width, int height, bool withContext, std::string* why)
{
    sysSetBatchMode(true);
    const bool ok =
        sysInitVideo(false) && sysCreateWindow(title, width, height, false) && (!withContext || sysCreateGLContext());
    if (!ok && why != nullptr) {
        *why = sysLastError();
    }
    return ok;
}

void closeTestWindow()
{
    sysDestroyGLContext();
}

bool glRequired()
{
    const char* value = std::getenv("VELMORA_REQUIRE_GL");
    return value != nullptr && std::strcmp(value, "1") == 0;
}
