// The scene clock, the uptime both clocks come from, the stop signal every loop watches, and the
// never-reseeded random source of all effects. Depends on the platform's tick count only.
#pragma once
#include <csignal>
#include <cstdint>

// Written by startSceneClock / tickSceneClock; read by all drawing code. Between two scenes
// sceneTime keeps the last value of the previous scene.
extern float sceneStart;     // uptime in seconds when the current scene started
extern float sceneDuration;  // the current scene's length in seconds
extern float sceneTime;      // seconds since sceneStart as of the last tick

// The single stop signal: set by Escape or closing the window (the window procedure), by SIGINT,
// SIGTERM or SIGHUP (the shell's handler), and by the recorders when their run is over or cannot go
// on (video capture, frame export, the benchmark: the end time, the last picture, a write that
// failed). Cleared only by initGL, never during play. Every scene loop, the skip ahead and every
// loading stage watch it.
extern volatile bool escapeFlag;
// SIGINT, SIGTERM or SIGHUP once one has arrived, 0 before: set by the signal handler and never
// cleared, so an interrupt still ends the run whatever clears escapeFlag.
extern volatile sig_atomic_t interruptSignal;
// True when the run is to end: escapeFlag or an interrupt.
bool stopRequested();

// The tick count every clock above the platform reads: the handed-down source (core/services.h),
// else the platform's sysTickCount.
uint32_t tickCount();
// Uptime in seconds: tickCount() times 0.001, in single precision. The scene clock and the
// particles' birth and death times both read it.
float uptimeSeconds();
void startSceneClock(float duration);
// Advances sceneTime; true while sceneTime <= sceneDuration.
bool tickSceneClock();

// Next value of the linear congruential generator (state starts at 1), modulo n (n > 0).
int randomBelow(int n);
// Test hook: puts the generator back to its initial state.
void resetRandom();
// The generator's state, and back to one: a replay from the start puts back the state after
// loading, so that it makes the same choices again.
uint32_t randomState();
void setRandomState(uint32_t state);
