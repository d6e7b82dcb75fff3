// The Third verse scene's timeline as plain functions of the scene time, its corner push and its
// corner arrays, for the scene and its tests.
#pragma once
#include <cmath>
#include <cstdint>

#include "model/model.h"
#include "scenes/kit.h"

// The four verse lines' windows (start, end) in seconds; each flies in and out over 1 s.
inline constexpr float thirdVerseWindows[4][2] = {{2.0f, 6.0f}, {5.0f, 9.0f}, {8.0f, 12.0f}, {11.0f, 15.0f}};
inline constexpr float thirdVerseFade = 1.0f;

// A short opening flash: full at 0, half at 0.25 s, gone from 0.5 s.
inline bool thirdVerseFlashShown(float t)
{
    return t < 0.5f;
}
inline float thirdVerseFlashBrightness(float t)
{
    return 1.0f - 2.0f * t;
}
// The fade to white over the last second.
inline bool thirdVerseFadeShown(float t)
{
    return t > 16.0f;
}
inline float thirdVerseFadeBrightness(float t)
{
    return t - 16.0f;
}
// Blue particles are born until 10 s, green ones until 15 s.
inline bool blueStreamEmits(float t)
{
    return t < 10.0f;
}
inline bool greenStreamEmits(float t)
{
    return t < 15.0f;
}
// The shell's outer edge swings through the origin between -5 and 5 times the face, period 3 pi s.
inline float metaShellFactor(float t)
{
    return static_cast<float>(5.0 * std::sin(t / 1.5));
}

// Where the two streams' emitters are at t, before the jitter of 0..9 per axis is added.
inline Vec3d blueStreamPath(float t)
{
    return Vec3d{100.0 * std::cos(2.0 * t) + 100.0 * std::sin(5.0 * t) + 200.0, 100.0 * std::sin(2.0 * t) - 100.0,
                 200.0 * std::sin(6.0 * t) - 700.0};
}
inline Vec3d greenStreamPath(float t)
{
    return Vec3d{100.0 * std::sin(2.0 * t) + 100.0 * std::sin(5.0 * t) - 200.0, 100.0 * std::cos(2.0 * t) - 100.0,
                 200.0 * std::cos(6.0 * t) - 700.0};
}

// The texture coordinate of a deformed corner (the shell's last corner uses 40 for its second
// coordinate's depth term, see drawMetaModel).
inline float metaTexS(const Vec3d& w)
{
    return static_cast<float>(w.x / 50.0 + w.z / 50.0);
}
inline float metaTexT(const Vec3d& w)
{
    return static_cast<float>(w.y / 50.0 + w.z / 50.0);
}

// One attractor's push on a corner w of an object at rest position r and current position p:
// the corner moves with its object and away from r by strength / d^2, d its distance to the
// attractor at q. As with the First verse's blobs, a push that is not finite in single precision
// (a corner exactly on the attractor) or that would carry the corner out of single precision is
// left out: the corner stays as it was.
inline Vec3d pushedMetaCorner(const Vec3d& w, const Vec3d& q, const Vec3d& r, const Vec3d& p, double strength)
{
    const float push = attractorPush(w, q, r, p, strength, true);
    Vec3d moved = w;
    if (std::isfinite(push)) {
        pushCorner(moved, r, p, push);
    }
    return moved;
}
inline constexpr double metaPushStrength = 7500.0;

// The scene's scratch arrays: the deformed first, second and third corner of every mesh face in
// drawing order. Allocated at scene start, released when its loop ends (by time or Escape); null
// and 0 otherwise.
extern Vec3d* firstCorners;
extern Vec3d* secondCorners;
extern Vec3d* thirdCorners;
extern int32_t metaCornerCapacity;
// The first two objects of the model, recorded at scene start; they push the other meshes' faces.
extern SceneObject* metaAttractors[2];

// The faces of all meshes of the model together (what the corner arrays must hold).
int32_t countMeshFaces(Model& model);
// Allocates the three arrays with room for every mesh face of the model; leaves the cursor rewound.
void allocateMetaCorners(Model& model);
void releaseMetaCorners();
// Copies every mesh face into the arrays and pushes each corner by the attractors other than its
// own object. Returns how many entries it filled; never writes past metaCornerCapacity.
int32_t deformMetaFaces(Model& model, SceneObject* const attractors[2]);
// The scene's drawing of the model: the solid deformed faces, then the pulsing additive shells.
void drawMetaModel();
