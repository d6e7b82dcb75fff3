// Playing from a later point of the presentation: the scenes before it still run their set-up and
// their frames, unseen, so that models, particles and cameras reach the state they would have had;
// play then goes on normally from that point. On the fixed-step clock every frame before the point
// runs, so that what is shown from it is exactly what a full run shows; on the wall clock only the
// last few seconds before it run, which is quick.
#pragma once
#include "core/services.h"

// Wall-clock step of the unseen frames over the last seconds before the start point, in
// milliseconds; the window is longer than any particle lives, so that the particles on screen at
// the start were born at nearly the cadence of a real run.
constexpr int skipFineStepMs = 50;
constexpr int skipFineWindowMs = 4000;

// Arms the skip to ms of presentation time; -1 disarms it (play from the beginning).
void setStartTime(int ms);
int startTimeMs();
// True from setStartTime until the start point is reached or Escape ends the run.
bool startPending();

// The skip ahead the shell hands down to the scene loops (core/services.h). While startPending(),
// each scene's frames that lie before the start point run unseen (messages still handled one at a
// time), and the clock is left on the first frame at or after it: on the fixed-step clock the very
// frame a full run draws there, every unseen frame on a full run's tick; on the wall clock the
// first millisecond. Arming it again with setStartTime starts a new skip from the next scene loop.
const SkipAhead* skipToStart();
