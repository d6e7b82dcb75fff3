// The demo sequencer: the loader, the eight scenes of the scene table in order, the teardown.
#pragma once
#include "core/services.h"
#include "platform/platform.h"

// Loader, the eight scenes in order, teardown: each called exactly once (the services' sequence
// when one is handed down, core/services.h), unless a seek back (shell/player.h) has the scenes
// play again from the first.
void runSequence();
// The eight scenes in order, on the assets as they stand: runSequence's middle step. With a start
// point armed (setStartTime, shell/start_at.h) the frames before it run unseen.
void playScenes();

// The index (0..7) of the scene being played, -1 while loading or tearing down.
extern int currentSceneIndex;

// What runSequence calls, in order.
struct SequenceSteps {
    void (*load)();
    void (*scenes[8])();
    void (*release)();
};

// The services the shell hands down for a run (core/services.h): the window procedure, the skip
// ahead and the hidden-frame switch. Recorders add their own watchers before it is handed down.
Services shellServices();