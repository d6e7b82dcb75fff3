// Playing from a later point of the presentation: the scenes before it still run their set-up and
// their frames, at a coarse fixed step and without presenting them, so that models, particles and
// cameras reach the state they would have had; play then goes on normally from that point.
#pragma once
#include "platform/platform.h"

// Clock step of the unpresented frames, in milliseconds: coarse while far from the start point,
// fine over its last few seconds, longer than any particle lives, so that the particles on screen
// at the start were born at nearly the cadence of a real run.
constexpr int skipCoarseStepMs = 250;
constexpr int skipFineStepMs = 50;
constexpr int skipFineWindowMs = 4000;

// Arms the skip to ms of presentation time; -1 disarms it (play from the beginning).
void setStartTime(int ms);
int startTimeMs();
// True from setStartTime until the start point is reached or Escape ends the run.
bool startPending();

// Called by the scene loop right after startSceneClock and after each message it hands on; does
// nothing unless startPending() (a seek forward arms it mid-scene). Runs the current scene's
// frames that lie before the start point (messages still handled one at a time; one that moves
// the start point moves the target, a seek back leaves at once, returning false), then
// leaves the clock on the first frame at or after it: on the fixed-step clock the very frame a
// full run draws there (every scene starts on the same tick as in a full run), on the wall clock
// the first millisecond. Returns true when the scene is to go on playing normally, false when it
// has ended (it lay wholly before the start point, or Escape). Messages go to the services'
// handleMessage; the unpresented frames are bracketed by their hideFrames.
bool skipToStart(bool (*peekMessage)(Message* message), void (*clear)(), void (*drawFrame)());
