// The scene clock and the small frame operations every scene loop uses, plus the never-reseeded
// random source of all effects.
#pragma once
#include <cstdint>

// Written by startSceneClock / tickSceneClock; read by all drawing code. Between two scenes
// sceneTime keeps the last value of the previous scene.
extern float sceneStart;     // uptime in seconds when the current scene started
extern float sceneDuration;  // the current scene's length in seconds
extern float sceneTime;      // seconds since sceneStart as of the last tick

// Uptime in seconds: the platform tick count times 0.001, in single precision.
float uptimeSecondsNow();
void startSceneClock(float duration);
// Advances sceneTime; true while sceneTime <= sceneDuration.
bool tickSceneClock();
void clearFrame();
void presentFrame();

// Next value of the linear congruential generator (state starts at 1), modulo n (n > 0).
int randomBelow(int n);
// Test hook: puts the generator back to its initial state.
void resetRandom();
