// The Title scene's timeline as plain functions of the scene time, for the scene and its tests,
// and its streak drawing of trucModel.
#pragma once
#include "scenes/scenes.h"
#include <cmath>

#include "core/geometry.h"

// The Title scene's length in seconds.
constexpr float titleDuration = sceneEntry(Scene::Title).duration;

// The three coloured streams, in the order they are driven (and draw their jitter).
enum TitleStream { TitleRed = 0, TitleGreen = 1, TitleBlue = 2 };

// Each stream emits only before its limit (red 16 s, green 20 s, blue 18 s) and is drawn to the
// end, so its last particles finish their rise.
inline float titleEmissionLimit(TitleStream stream)
{
    const float limits[3] = {16.0f, 20.0f, 18.0f};
    return limits[stream];
}
inline bool titleStreamEmits(TitleStream stream, float t)
{
    return t < titleEmissionLimit(stream);
}

// The sideways swing shared by the three streams, held in single precision.
inline float titleSwing(float t)
{
    return static_cast<float>(100.0 * std::cos(5.0 * t));
}

// A stream's emitter at t: the Opening scene's paths with the swing w added to x; rx, ry, rz are
// the jitter drawn for this frame (0..9 each).
inline Vec3d titleStreamPosition(TitleStream stream, float t, float w, int rx, int ry, int rz)
{
    const double s = t;
    switch (stream) {
    case TitleRed:
        return Vec3d{100.0 * std::cos(2.0 * s) + rx + w, 100.0 * std::sin(2.0 * s) + ry - 100.0,
                     250.0 * std::sin(6.0 * s) - 700.0 + rz};
    case TitleGreen:
        return Vec3d{100.0 * std::sin(2.0 * s) + rx + w, 100.0 * std::cos(3.0 * s) + ry - 100.0,
                     250.0 * std::sin(10.0 * s) - 700.0 + rz};
    default:
        return Vec3d{100.0 * std::cos(6.0 * s) + rx + w, 100.0 * std::sin(6.0 * s) + ry - 100.0,
                     250.0 * std::cos(6.0 * s) - 700.0 + rz};
    }
}

// The opening flash: full white at 0, gone at 1 s.
inline bool titleFlashShown(float t)
{
    return t <= 1.0f;
}
inline float titleFlashBrightness(float t)
{
    return 1.0f - t;
}

// The streak brightness: 1 until 23 s, then down to 0 at 25 s (half at 24 s).
inline float titleStreakBrightness(float t)
{
    return t > 23.0f ? 1.0f - (t - 23.0f) / 2.0f : 1.0f;
}

// How far the streaks reach out from the model's origin for a turn of the first object (degrees):
// 3 + 3 cos(angle / 10), the tenth of the angle taken as radians; between 0 and 6.
inline float streakStretch(double angle)
{
    return static_cast<float>(3.0 + 3.0 * std::cos(angle / 10.0));
}

// When the title line is shown and how long it takes to fly in and out.
constexpr float titleLineStart = 17.0f;
constexpr float titleLineEnd = 22.0f;
constexpr float titleLineFade = 1.0f;

// Draws trucModel as a sheaf of additive streaks, one per second face of each mesh, all placed by
// the first object's transform, corner colour 0.2 s at full glow. Leaves the model rewound, the
// depth test on and blending off. Draws nothing without trucModel.
void drawTitleStreaks(float s);
