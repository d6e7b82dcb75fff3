// Frame clear and present over GL and the platform's buffer swap, with one observer of presented
// frames.
#include "render/frame.h"

#include "core/gl.h"
#include "platform/platform.h"

namespace {
FrameObserver frameObserver = nullptr;
}

void clearFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void presentFrame()
{
    if (frameObserver != nullptr) {
        frameObserver();
    }
    sysSwapBuffers();
}

void setFrameObserver(FrameObserver observer)
{
    frameObserver = observer;
}
