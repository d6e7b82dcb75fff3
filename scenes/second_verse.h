// The Second verse scene's timeline and pass rules as plain functions of the scene time and of an
// object's name, for the scene and its tests.
#pragma once
#include "model/model.h"
#include "scenes/kit.h"

// The four verse lines' windows (start, end) in seconds; each flies in and out over 1 s.
inline constexpr float secondVerseWindows[4][2] = {{2.0f, 6.0f}, {5.0f, 9.0f}, {8.0f, 12.0f}, {11.0f, 15.0f}};
inline constexpr float secondVerseFade = 1.0f;

// The opening flash fades out while it recedes into the screen, gone at 1 s.
inline bool secondVerseFlashShown(float t)
{
    return t < 1.0f;
}
inline float secondVerseFlashBrightness(float t)
{
    return 1.0f - t;
}
inline float secondVerseFlashDepth(float t)
{
    return -1.6f - 4.0f * t;
}
// The fade to white over the last two seconds: half at 15 s, full at 16 s.
inline bool secondVerseFadeShown(float t)
{
    return t > 14.0f;
}
inline float secondVerseFadeBrightness(float t)
{
    return (t - 14.0f) / 2.0f;
}

// drawWholeModel's opaque pass: a mesh with no '%' in its first two places and no '*' first.
inline bool wholeModelOpaque(const char* name)
{
    return !nameMarkAt(name, 0, '%') && !nameMarkAt(name, 1, '%') && !nameMarkAt(name, 0, '*');
}
// Its additive pass: a '%' in first or second place, whatever else the name holds.
inline bool wholeModelAdditive(const char* name)
{
    return nameMarkAt(name, 0, '%') || nameMarkAt(name, 1, '%');
}
// Draws every mesh of the model with its current camera: the opaque pass, then the additive pass
// without depth writes. Leaves the cursor rewound and blending off.
void drawWholeModel(Model* model);
