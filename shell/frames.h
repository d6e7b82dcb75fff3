// What video capture and frame export need of a presented frame: its presentation time, its
// scene's name, and the read-back of its pixels.
#pragma once
#include <cstdint>
#include <vector>

#include "render/frame.h"

// Seconds of presentation time now: the current scene's start in the scene table plus sceneTime;
// negative while loading or tearing down.
double presentationTime();
// How far a frame's presentation time may fall short of a point and still count as at it: half a
// millisecond, since the clock counts whole milliseconds in single precision. Start points, end
// points and recorders all use it, so that recordings of neighbouring ranges meet without a frame
// lost or doubled.
constexpr double frameTimeSlack = 0.0005;
// Display name of a scene (0..7), "Loading" for anything else.
const char* sceneName(int sceneIndex);

enum class PixelLayout { Bgra, Rgb };
// Reads the width x height frame being drawn (the current draw buffer) into pixels, rows bottom
// first as GL keeps them; a frame drawn supersample times larger each way is read whole and
// reduced to width x height. Leaves the pack alignment and read buffer as it found them.
void readFramePixels(int width, int height, int supersample, PixelLayout layout, std::vector<uint8_t>* pixels);
// Reads the rectangle of the current draw buffer into pixels, rows bottom first; leaves the pack
// alignment and read buffer as it found them.
void readPixelRect(const PixelRect& rect, PixelLayout layout, std::vector<uint8_t>* pixels);
// Reduces a picture of (width x factor) x (height x factor) pixels of channels bytes each to
// width x height, every pixel the rounded mean of its factor x factor block.
void boxFilter(const std::vector<uint8_t>& large, int width, int height, int channels, int factor,
               std::vector<uint8_t>* small);
