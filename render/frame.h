// The two frame operations of every loop (clear, present) and the observer slot that video capture
// and frame export hook into, and the benchmark's stopwatch. A normal run has no observer and draws exactly as without one.
#pragma once

void clearFrame();
// Hands the finished frame (still in the back buffer) to the observer, then to the platform to show.
void presentFrame();

using FrameObserver = void (*)();
void setFrameObserver(FrameObserver observer);
// The benchmark's stopwatch: started is called as a frame begins (before its clear), presented once
// the platform has shown it. Either may be nullptr.
void setFrameTimer(FrameObserver started, FrameObserver presented);
