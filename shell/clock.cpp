// The scene clock (seconds since the current scene started, from the platform tick count), the
// frame clear and present operations, and the presentation's random source.
#include "shell/clock.h"

#include "platform/platform.h"
#include "render/gl.h"
#include "shell/frames.h"

float sceneStart = 0.0f;
float sceneDuration = 0.0f;
float sceneTime = 0.0f;

namespace {
uint32_t randomState = 1;
}

float uptimeSecondsNow()
{
    return static_cast<float>(sysTickCount()) * 0.001f;
}

void startSceneClock(float duration)
{
    sceneStart = uptimeSecondsNow();
    sceneTime = 0.0f;
    sceneDuration = duration;
}

bool tickSceneClock()
{
    sceneTime = uptimeSecondsNow() - sceneStart;
    return sceneTime <= sceneDuration;
}

void clearFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

void presentFrame()
{
    notifyFramePresenting();
    sysSwapBuffers();
}

int randomBelow(int n)
{
    randomState = randomState * 214013u + 2531011u;
    const int value = static_cast<int>((randomState >> 16) & 0x7FFFu);
    return value % n;
}

void resetRandom()
{
    randomState = 1;
}
