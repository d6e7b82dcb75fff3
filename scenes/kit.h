// What several scenes share: the scene loop protocol. The application shell hands down what the
// loop needs from above it (the window procedure, the skip ahead to a later start point).
#pragma once
#include "platform/platform.h"

// One scene's loop: starts the scene clock with duration, then until the clock runs out or
// escapeFlag is set: dispatch one pending message, or clear, drawFrame(), present.
void runSceneLoop(float duration, void (*drawFrame)());

// How a scene loop takes messages and frames (test seam).
struct LoopHooks {
    bool (*peekMessage)(Message* message);
    void (*clear)();
    void (*present)();
};
void setLoopHooks(const LoopHooks* hooks);  // nullptr: the platform queue, clearFrame, presentFrame

// What the shell hands down: the window procedure every message goes to, and the skip ahead that
// runs right after the clock starts (it returns false when the scene has ended before its start
// point). Either may be nullptr: messages are then dropped, and every scene plays from its start.
using MessageHandler = void (*)(const Message& message);
using SkipAhead = bool (*)(bool (*peekMessage)(Message* message), void (*clear)(), void (*drawFrame)());
void setSceneLoopShell(MessageHandler handler, SkipAhead skipAhead);
