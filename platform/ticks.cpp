// The program's tick count: milliseconds since start-up from the monotonic clock, or a fixed-step
// count that advances by one frame's worth at every buffer swap, or a source a test installs.
#include "platform/platform.h"

#include <chrono>
#include <cmath>

namespace {

const std::chrono::steady_clock::time_point programStart = std::chrono::steady_clock::now();
int fixedFps = 0;
double fixedMs = 0.0;
uint32_t (*tickSource)() = nullptr;

}  // namespace

uint32_t sysTickCount()
{
    if (tickSource != nullptr) {
        return tickSource();
    }
    if (fixedFps > 0) {
        // Rounded from the exact sum so that 1000/60 ms steps do not drift.
        return static_cast<uint32_t>(static_cast<uint64_t>(std::llround(fixedMs)));
    }
    const auto elapsed = std::chrono::steady_clock::now() - programStart;
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(elapsed).count();
    return static_cast<uint32_t>(static_cast<uint64_t>(ms));
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
    if (fixedFps > 0) {
        fixedMs += ms;
    }
}

// Called by the buffer swap: one frame's worth of time passes.
void sysStepFixedClock()
{
    if (fixedFps > 0) {
        fixedMs += 1000.0 / fixedFps;
    }
}

void sysSetTickSource(uint32_t (*source)())
{
    tickSource = source;
}
