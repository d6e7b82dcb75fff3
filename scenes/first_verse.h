// The First verse scene's timeline as plain functions of the scene time, the push of its blobs,
// and its globals, for the scene and its tests.
#pragma once
#include "scenes/scenes.h"
#include <cmath>

#include "core/geometry.h"

class SceneObject;

// The First verse scene's length in seconds.
constexpr float firstVerseDuration = sceneEntry(Scene::FirstVerse).duration;

// The first three objects of choseModel in list order, recorded at the scene's start: each pushes
// the corners of the other blobs away from its current position. Keep their last values after it.
extern SceneObject* attractorObjects[3];
// True while sceneTime > 10: the third corner of every blob triangle then burns bright.
extern bool blobsLit;

// The white overlays over the background, as brightness at t (GL clamps above 1 and below 0):
// out of white over the first second, into white from 9 to 10 s, falling away again until 10.5 s.
inline bool firstVerseOpeningShown(float t)
{
    return t < 1.0f;
}
inline float firstVerseOpeningBrightness(float t)
{
    return 1.0f - t;
}
inline bool firstVerseRisingShown(float t)
{
    return t > 9.0f && t < 10.0f;
}
inline float firstVerseRisingBrightness(float t)
{
    return t - 9.0f;
}
inline bool firstVerseFallingShown(float t)
{
    return t >= 10.0f && t < 10.5f;
}
inline float firstVerseFallingBrightness(float t)
{
    return 1.0f - 2.0f * (t - 10.0f);
}
// The fade to white over the last second, drawn over the blobs and particles.
inline bool firstVerseEndShown(float t)
{
    return t > 17.5f;
}
inline float firstVerseEndBrightness(float t)
{
    return t - 17.5f;
}

inline bool blobsLitAt(float t)
{
    return t > 10.0f;
}
// The white stream is born only before the flash at 10 s; what lives then dies out on its own.
inline bool firstVerseParticlesEmit(float t)
{
    return t < 10.0f;
}

// The white stream's emitter at t, with this frame's jitter r1, r2, r3 (0..9 each).
inline Vec3d firstVerseStreamPosition(float t, int r1, int r2, int r3)
{
    const double s = t;
    return Vec3d{100.0 * std::sin(5.0 * s) + 150.0 * std::cos(2.0 * s) + r1, 100.0 * std::sin(2.0 * s) + r2 - 100.0,
                 250.0 * std::sin(6.0 * s) - 700.0 + r3};
}

// The five verse lines' windows; consecutive lines overlap by one second.
struct VerseWindow {
    float start;
    float end;
};
constexpr VerseWindow firstVerseWindows[5] = {
    {2.0f, 6.0f}, {5.0f, 9.0f}, {8.0f, 12.0f}, {11.0f, 15.0f}, {14.0f, 18.0f}};
constexpr float firstVerseFade = 1.0f;

// How hard an attractor pushes a corner: 6000 over the distance for the first corner of a face,
// 6000 over the squared distance for the other two.
constexpr double blobPush = 6000.0;

// Pushes the three corners w (rest pose) of one face of a blob whose rest position is r and current
// position p away from each of the count attractor positions q, in order; each push starts from the
// corner as the previous one left it and also carries the corner by p - r. A push that is not finite
// in single precision (a corner exactly on an attractor) is left out for that corner.
void pushBlobCorners(Vec3d w[3], const Vec3d& r, const Vec3d& p, const Vec3d* q, int count);

// Draws the meshes of choseModel, as playTracks left them, as additive triangles 500 units in front
// of the viewer, each corner pushed by the attractors. Leaves the model rewound, depth writes on and
// blending off. Draws nothing without choseModel.
void drawBlobs();
