// The Credits scene's timeline as plain functions of the scene time, for the scene and its tests.
#pragma once
#include "scenes/scenes.h"

// The Credits scene's length in seconds.
constexpr float creditsDuration = sceneEntry(Scene::Credits).duration;

// The Title scene's background shoots up out of view: 3 units a second, drawn only in the first
// second (it has left the view by about 0.5 s).
inline bool creditsSlideShown(float t)
{
    return t < 1.0f;
}
inline float creditsSlideOffset(float t)
{
    return 3.0f * t;
}

// The white overlay of the last 1.5 s: 0.5 at 33.5 s, full from 34 s on (GL clamps above 1).
inline bool creditsWhiteShown(float t)
{
    return t > 33.0f;
}
inline float creditsWhiteBrightness(float t)
{
    return t - 33.0f;
}

// The three credit lines' windows. With a 6 s transition in a 12 s window each line flies in and
// leaves at once, the next one already flying in through it.
struct CreditWindow {
    float start;
    float end;
};
constexpr CreditWindow creditWindows[3] = {{5.0f, 17.0f}, {10.0f, 22.0f}, {15.0f, 27.0f}};
constexpr float creditFade = 6.0f;

// viewRange while the castle is flown through, and the reach every other scene uses.
constexpr int creditsViewRange = 1;
constexpr int defaultViewRange = 2;
