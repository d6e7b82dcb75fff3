// The demo sequencer: the loader, the eight scenes of the scene table in order, the teardown.
#pragma once
#include "platform/platform.h"

// Loader, the eight scenes in order, teardown: each called exactly once. Hands the window procedure
// and the skip ahead down to the scene loop first.
void runSequence();

// The index (0..7) of the scene being played, -1 while loading or tearing down.
extern int currentSceneIndex;

// Test seam: what runSequence calls.
struct SequenceSteps {
    void (*load)();
    void (*scenes[8])();
    void (*release)();
};
void setSequenceSteps(const SequenceSteps* steps);  // nullptr: the real loader, scenes, teardown
