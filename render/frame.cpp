// Frame clear and present over GL and the platform's buffer swap, with one observer of presented
// frames and the stopwatch hooks around each frame.
#include "render/frame.h"

#include "core/gl.h"
#include "platform/platform.h"

namespace {
FrameObserver frameObserver = nullptr;
FrameObserver frameStarted = nullptr;
FrameObserver framePresented = nullptr;
}

void clearFrame()
{
    if (frameStarted != nullptr) {
        frameStarted();
    }
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void presentFrame()
{
    if (frameObserver != nullptr) {
        frameObserver();
    }
    sysSwapBuffers();
    if (framePresented != nullptr) {
        framePresented();
    }
}

void setFrameObserver(FrameObserver observer)
{
    frameObserver = observer;
}

void setFrameTimer(FrameObserver started, FrameObserver presented)
{
    frameStarted = started;
    framePresented = presented;
}
