// The scene clock (seconds since the current scene started, from the platform tick count), the
// stop signal and the presentation's random source.
#include "core/clock.h"

#include "core/services.h"
#include "platform/platform.h"

float sceneStart = 0.0f;
float sceneDuration = 0.0f;
float sceneTime = 0.0f;
volatile bool escapeFlag = false;
volatile sig_atomic_t interruptSignal = 0;

namespace {
uint32_t generatorState = 1;
}

uint32_t tickCount()
{
    return services().tickCount != nullptr ? services().tickCount() : sysTickCount();
}

float uptimeSeconds()
{
    return static_cast<float>(tickCount()) * 0.001f;
}

bool stopRequested()
{
    return escapeFlag || interruptSignal != 0;
}

void startSceneClock(float duration)
{
    sceneStart = uptimeSeconds();
    sceneTime = 0.0f;
    sceneDuration = duration;
}

bool tickSceneClock()
{
    sceneTime = uptimeSeconds() - sceneStart;
    return sceneTime <= sceneDuration;
}

int randomBelow(int n)
{
    generatorState = generatorState * 214013u + 2531011u;
    const int value = static_cast<int>((generatorState >> 16) & 0x7FFFu);
    return value % n;
}

void resetRandom()
{
    generatorState = 1;
}

uint32_t randomState()
{
    return generatorState;
}

void setRandomState(uint32_t state)
{
    generatorState = state;
}
