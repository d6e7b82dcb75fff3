// Observers of presented frames: video capture and frame export hook in here. A normal run has
// none and draws exactly as without them. Also the presentation time of the frame being presented
// and the read-back of its pixels.
#pragma once
#include <cstdint>
#include <vector>

// Called by presentFrame with the finished frame still in the back buffer.
using FrameObserver = void (*)();
void setFrameObserver(FrameObserver observer);
void notifyFramePresenting();

// Called by the music module the moment the music starts playing (capture lines the sound up
// with the frames from there).
using MusicStartObserver = void (*)(const char* musicFile);
void setMusicStartObserver(MusicStartObserver observer);
void notifyMusicStarted(const char* musicFile);

// Seconds of presentation time now: the current scene's start in the scene table plus sceneTime;
// negative while loading or tearing down.
double presentationTime();
// Display name of a scene (0..7), "Loading" for anything else.
const char* sceneName(int sceneIndex);

enum class PixelLayout { Bgra, Rgb };
// Reads the width x height frame being drawn (the current draw buffer) into pixels, rows bottom
// first as GL keeps them. Leaves the pack alignment and read buffer as it found them.
void readFramePixels(int width, int height, PixelLayout layout, std::vector<uint8_t>* pixels);
