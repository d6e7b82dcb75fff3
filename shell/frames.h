// Observers of presented frames: frame capture and frame export hook in here. A normal run has
// none and draws exactly as without them.
#pragma once

// Called by presentFrame with the finished frame still in the back buffer.
using FrameObserver = void (*)();
void setFrameObserver(FrameObserver observer);
void notifyFramePresenting();
