// The program's tick count: milliseconds since start-up from the monotonic clock, or a fixed-step
// count that advances by one frame's worth at every buffer swap.
// Skipping ahead and pausing hold the count (skipping moves it by hand); the wall clock then resumes
// from the held value. Only a replay from the start puts the count back.
#include "platform/platform.h"

#include <chrono>
#include <cmath>

namespace {

const std::chrono::steady_clock::time_point programStart = std::chrono::steady_clock::now();
int fixedFps = 0;
double fixedMs = 0.0;
bool held = false;
double wallOffsetMs = 0.0;  // added to the wall clock after a hold, so that time goes on from it

double wallMs()
{
    const auto elapsed = std::chrono::steady_clock::now() - programStart;
    return static_cast<double>(std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count()) + wallOffsetMs;
}

bool countIsManual()
{
    return fixedFps > 0 || held;
}

}  // namespace

uint32_t sysTickCount()
{
    // Rounded from the exact sum so that 1000/60 ms steps do not drift.
    const double ms = countIsManual() ? fixedMs : wallMs();
    return static_cast<uint32_t>(static_cast<uint64_t>(std::llround(ms)));
}

void sysSetFixedStep(int fps)
{
    fixedFps = fps > 0 ? fps : 0;
    fixedMs = 0.0;
}

int sysFixedStepFps()
{
    return fixedFps;
}

void sysAdvanceFixedClock(double ms)
{
    if (countIsManual()) {
        fixedMs += ms;
    }
}

void sysHoldClock(bool hold)
{
    if (hold == held) {
        return;
    }
    if (fixedFps == 0) {
        if (hold) {
            fixedMs = wallMs();
        } else {
            wallOffsetMs += fixedMs - wallMs();
        }
    }
    held = hold;
}

double sysTickCountExact()
{
    return countIsManual() ? fixedMs : wallMs();
}

void sysSetTickCount(double ms)
{
    if (countIsManual()) {
        fixedMs = ms;
    } else {
        wallOffsetMs += ms - wallMs();
    }
}

// Called by the buffer swap: one frame's worth of time passes, unless the count is held.
void sysStepFixedClock()
{
    if (fixedFps > 0 && !held) {
        fixedMs += 1000.0 / fixedFps;
    }
}
