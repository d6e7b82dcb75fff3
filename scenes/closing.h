// The Greetings and closing scene's timeline and its streak bending as plain functions, for the
// scene and its tests.
#pragma once
#include <cmath>

#include "model/model.h"
#include "scenes/kit.h"

// The 21 lines' windows (start, end) in seconds, in scroll order: heading, fourteen greetings,
// separator, three closing lines, separator, sign-off. Each line is on screen for 11 s.
inline constexpr int closingLineCount = 21;
inline constexpr float closingWindows[closingLineCount][2] = {
    {1.0f, 12.0f},  {3.0f, 14.0f},  {5.0f, 16.0f},  {7.0f, 18.0f},  {9.0f, 20.0f},  {11.0f, 22.0f}, {13.0f, 24.0f},
    {15.0f, 26.0f}, {17.0f, 28.0f}, {19.0f, 30.0f}, {21.0f, 32.0f}, {23.0f, 34.0f}, {25.0f, 36.0f}, {27.0f, 38.0f},
    {29.0f, 40.0f}, {32.0f, 43.0f}, {35.0f, 46.0f}, {37.0f, 48.0f}, {39.0f, 50.0f}, {42.0f, 53.0f}, {45.0f, 56.0f}};
inline constexpr float closingFade = 2.0f;

// The scene opens out of white: full at 0, gone at 1 s.
inline bool closingWhiteShown(float t)
{
    return t < 1.0f;
}
inline float closingWhiteBrightness(float t)
{
    return 1.0f - t;
}
// The white stream runs from just after 21.5 s; it is born only until 55 s, then dies out.
inline bool closingParticlesShown(float t)
{
    return t > 21.5f;
}
inline bool closingParticlesBorn(float t)
{
    return t < 55.0f;
}
// The final fade to white: nothing at exactly 59 s, full at 60 s.
inline bool closingFadeShown(float t)
{
    return t > 59.0f;
}
inline float closingFadeBrightness(float t)
{
    return t - 59.0f;
}
// Where the white stream's emitter is at t, before the jitter of 0..9 per axis is added.
inline Vec3d closingStreamPath(float t)
{
    return Vec3d{100.0 * std::sin(5.0 * t) + 50.0 * std::cos(4.0 * t) + 200.0, 100.0 * std::sin(4.0 * t) - 100.0,
                 150.0 * std::sin(6.0 * t) - 700.0};
}

// The bend factor each frame starts from, between 1 and 7.
inline float streakStartFactor(float t)
{
    return static_cast<float>(3.0 * std::sin(2.0 * t) + 4.0);
}

// One attractor's bend of a streak of an object at rest position r and current position p, with
// the attractor at q: w1 moves with its object and away from r by the current factor f; then f
// becomes 6000 / d^2 with d the distance from q to w2 moved with its object, and w2 is pushed by
// that new f, which stays current for what follows. As with the First verse's blobs, a move that
// would leave single precision is left out: when w2 sits on the attractor the new f is not finite,
// so w2 stays as it was and f keeps its value; a w1 that would be carried out of range stays too.
inline void bendStreak(Vec3d& w1, Vec3d& w2, const Vec3d& q, const Vec3d& r, const Vec3d& p, float& f)
{
    pushCorner(w1, r, p, f);
    const float bent = attractorPush(w2, q, r, p, 6000.0, true);
    if (!std::isfinite(bent)) {
        return;
    }
    f = bent;
    pushCorner(w2, r, p, f);
}

// The first three objects of the model, recorded at scene start; they bend the streaks.
extern SceneObject* closingAttractors[3];

// Receives one streak: its bent corners w1 and w2 and its unmoved corner w3.
using StreakSink = void (*)(const Vec3d& w1, const Vec3d& w2, const Vec3d& w3, void* context);
// Walks every twelfth face of every mesh and bends it by the attractors other than its own
// object, carrying the factor f (starting at factor) from attractor to attractor, face to face
// and object to object. Each streak goes to sink. Leaves the cursor rewound.
void bendStreaks(Model& model, SceneObject* const attractors[3], float factor, StreakSink sink, void* context);
// Puts every object with position keys back where loading left it: key index 3, position and rest
// position at its first key.
void resetToLoadedPositions(Model& model);
