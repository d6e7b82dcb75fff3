// The Second verse scene's timeline and pass rules as plain functions of the scene time and of an
// object's name, for the scene and its tests. Also what the later scenes share: the name marks,
// the model camera's view and the single-precision guard of their deformed corners.
#pragma once
#include <cmath>
#include <functional>

#include "model/model.h"

// The four verse lines' windows (start, end) in seconds; each flies in and out over 1 s.
inline constexpr float secondVerseWindows[4][2] = {{2.0f, 6.0f}, {5.0f, 9.0f}, {8.0f, 12.0f}, {11.0f, 15.0f}};
inline constexpr float secondVerseFade = 1.0f;

// The opening flash fades out while it recedes into the screen, gone at 1 s.
inline bool secondVerseFlashShown(float t) { return t < 1.0f; }
inline float secondVerseFlashBrightness(float t) { return 1.0f - t; }
inline float secondVerseFlashDepth(float t) { return -1.6f - 4.0f * t; }
// The fade to white over the last two seconds: half at 15 s, full at 16 s.
inline bool secondVerseFadeShown(float t) { return t > 14.0f; }
inline float secondVerseFadeBrightness(float t) { return (t - 14.0f) / 2.0f; }

// drawWholeModel's opaque pass: a mesh with no '%' in its first two places and no '*' first.
// (The second place is read only behind a first character, so a one-byte "" is safe too.)
inline bool nameMarkAt(const char* name, int place, char mark)
{
    return name[0] != '\0' && name[place] == mark;
}
inline bool wholeModelOpaque(const char* name)
{
    return !nameMarkAt(name, 0, '%') && !nameMarkAt(name, 1, '%') && !nameMarkAt(name, 0, '*');
}
// Its additive pass: a '%' in first or second place, whatever else the name holds.
inline bool wholeModelAdditive(const char* name)
{
    return nameMarkAt(name, 0, '%') || nameMarkAt(name, 1, '%');
}
// An object with a real track in either channel is placed by its animation; one with a single key
// in each stays at its rest pose.
inline bool followsItsTracks(const SceneObject& object)
{
    return object.positionKeyCount > 1 || object.rotationKeyCount > 1;
}

// Whether a point can be sent to GL in single precision.
inline bool fitsSinglePrecision(const Vec3d& v)
{
    const double limit = 3.402823466e38;
    return std::fabs(v.x) <= limit && std::fabs(v.y) <= limit && std::fabs(v.z) <= limit;
}

// Multiplies the current matrix by the view of the model's current camera: its rotation about x,
// y, z in degrees, then the move to its eye. Nothing for a model without cameras.
void applyCameraView(const Model& model);
// The same view from the identity.
void loadCameraView(const Model& model);
// Then places an animated object: to its position, turned by its rotation, about its rest position.
void placeAnimatedObject(const SceneObject& object);

// Moves a copy of a vertex while it is drawn (the model's own arrays never change).
using VertexShaper = std::function<Vec3d(const Vec3d&)>;
// One lit, textured mesh as the verse scenes draw it: the camera view, the object's own transform,
// its material, its triangles with their load-time colours; shape, when given, moves each vertex.
void drawLitObject(const Model& model, const SceneObject& object, const VertexShaper& shape = nullptr);
// Whether an object can be drawn at all: a mesh whose arrays are there.
bool drawableMesh(const SceneObject* object);

// Draws every mesh of the model with its current camera: the opaque pass, then the additive pass
// without depth writes. Leaves the cursor rewound and blending off.
void drawWholeModel(Model* model);
