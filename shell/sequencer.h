// The demo sequencer and the scene loop protocol shared by all eight scenes.
#pragma once
#include "platform/platform.h"

// Loader, the eight scenes in order, teardown: each called exactly once.
void runSequence();

// One scene's loop: starts the scene clock with duration, then until the clock runs out or
// escapeFlag is set: dispatch one pending message, or clear, drawFrame(), present.
void runSceneLoop(float duration, void (*drawFrame)());

// Start of each scene in presentation time (seconds), in play order, and the scene durations.
extern const float sceneStartTimes[8];
extern const float sceneDurations[8];

// The index (0..7) of the scene being played, -1 while loading or tearing down.
extern int currentSceneIndex;

// Test seams: what runSequence calls and how a scene loop takes messages and frames.
struct SequenceSteps {
    void (*load)();
    void (*scenes[8])();
    void (*release)();
};
void setSequenceSteps(const SequenceSteps* steps);  // nullptr: the real loader, scenes, teardown
struct LoopHooks {
    bool (*peekMessage)(Message* message);
    void (*clear)();
    void (*present)();
};
void setLoopHooks(const LoopHooks* hooks);  // nullptr: the platform queue, clearFrame, presentFrame
