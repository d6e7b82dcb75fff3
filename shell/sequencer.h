// The demo sequencer and the scene loop protocol shared by all eight scenes.
#pragma once

// Loader, the eight scenes in order, teardown: each called exactly once.
void runSequence();

// One scene's loop: starts the scene clock with duration, then until the clock runs out or
// escapeFlag is set: dispatch one pending message, or clear, drawFrame(), present.
void runSceneLoop(float duration, void (*drawFrame)());

// Start of each scene in presentation time (seconds), in play order, and the scene durations.
extern const float sceneStartTimes[8];
extern const float sceneDurations[8];
