// The Fourth verse scene's timeline, its pass rules and its sway as plain functions, for the scene
// and its tests.
#pragma once
#include <cmath>

#include "model/model.h"
#include "scenes/second_verse.h"

// The five verse lines' windows (start, end) in seconds; each flies in and out over 1 s and
// starts half a second before the previous one ends.
inline constexpr float fourthVerseWindows[5][2] = {
    {2.0f, 5.0f}, {4.5f, 7.5f}, {7.0f, 10.0f}, {9.5f, 12.5f}, {12.0f, 16.0f}};
inline constexpr float fourthVerseFade = 1.0f;

// The opening flash slides upward while it fades: full at 0, half and 1.25 units up at 0.25 s,
// gone from 0.5 s.
inline bool fourthVerseFlashShown(float t)
{
    return t < 0.5f;
}
inline float fourthVerseFlashBrightness(float t)
{
    return 1.0f - 2.0f * t;
}
inline float fourthVerseFlashOffset(float t)
{
    return 5.0f * t;
}
// The fade to white over the last second.
inline bool fourthVerseFadeShown(float t)
{
    return t > 16.0f;
}
inline float fourthVerseFadeBrightness(float t)
{
    return t - 16.0f;
}

// The three passes of drawRoomModel, by a mesh's name. Solid: no '%' in the first two places and
// no '*' first. Glow: '%' second, whatever is first (so an emitter '*%' glows). Sway: '%' first.
inline bool roomSolidPass(const char* name)
{
    return !nameMarkAt(name, 0, '%') && !nameMarkAt(name, 0, '*') && !nameMarkAt(name, 1, '%');
}
inline bool roomGlowPass(const char* name)
{
    return nameMarkAt(name, 1, '%');
}
inline bool roomSwayPass(const char* name)
{
    return nameMarkAt(name, 0, '%');
}

// The sway's squeeze at scene time t for a vertex at height y: a wave between 0.1 and 0.9 with a
// wavelength of 12 pi units running down the object at 15 units per second.
inline double swayFactor(float t, double y)
{
    return std::sin(2.5 * t + y / 6.0) / 2.5 + 0.5;
}
// A vertex v of an object at rest position r, squeezed by k toward the vertical line through r.
// Its height never changes.
inline Vec3d swayVertex(const Vec3d& v, const Vec3d& r, double k)
{
    return Vec3d{k * (v.x - r.x) + r.x, v.y, k * (v.z - r.z) + r.z};
}

// The scene's three-pass drawing of the room: solid, then glowing and swaying meshes additively
// without depth writes. Leaves the cursor rewound, blending off and depth writes on.
void drawRoomModel();
