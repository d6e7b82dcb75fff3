// Observers of presented frames: frame capture and frame export hook in here. A normal run has
// none and draws exactly as without them.
#pragma once

// Called by presentFrame with the finished frame still in the back buffer.
using FrameObserver = void (*)();
void setFrameObserver(FrameObserver observer);
void notifyFramePresenting();

// Called by the music module the moment the music starts playing (capture lines the sound up
// with the frames from there).
using MusicStartObserver = void (*)(const char* musicFile);
void setMusicStartObserver(MusicStartObserver observer);
void notifyMusicStarted(const char* musicFile);
