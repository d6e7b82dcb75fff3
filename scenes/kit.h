// What several scenes share: the scene loop protocol, the name marks and the lit-object routine of
// the verse scenes with their camera view, the attractor push that deforms meshes, and the
// position-track player. What the loop needs from above it (the window procedure, the skip ahead to
// a later start point, its message source in tests) comes from the table in core/services.h.
#pragma once
#include <cmath>
#include <functional>

#include "model/model.h"
#include "platform/platform.h"
#include "render/renderer.h"

// ---- The scene loop ------------------------------------------------------------------------

// One scene's loop: starts the scene clock with duration, then until the clock runs out, escapeFlag
// is set or the shell asks to leave for a seek back: hand one pending message to the handed-down
// handler, or clear, drawFrame(), present. When the shell skips ahead to a later start point (from
// the scene's start, or from where a seek forward was asked for), the frames before it go through
// this same loop, hidden, with the skip's present (core/services.h).
void runSceneLoop(float duration, void (*drawFrame)());

// ---- Name marks ----------------------------------------------------------------------------

// Whether the name carries mark at place. The second place is read only behind a first character,
// so a one-byte "" is safe too.
inline bool nameMarkAt(const char* name, int place, char mark)
{
    return name[0] != '\0' && name[place] == mark;
}
// An object with a real track in either channel is placed by its animation; one with a single key
// in each stays at its rest pose.
inline bool followsItsTracks(const SceneObject& object)
{
    return object.positionKeyCount > 1 || object.rotationKeyCount > 1;
}

// ---- Lit objects and the camera view -------------------------------------------------------

// The view of the model's current camera, always rotating (the verse scenes fly their camera
// whatever the rotation switch says); the identity view for a model without a valid camera.
CameraView sceneCameraView(const Model& model);

// Moves a copy of a vertex while it is drawn (the model's own arrays never change).
using VertexShaper = std::function<Vec3d(const Vec3d&)>;
// One lit, textured mesh as the verse scenes draw it: the camera view, the object's own transform,
// its material, its triangles with their load-time colours; shape, when given, moves each vertex.
void drawLitObject(const Model& model, const SceneObject& object, const VertexShaper& shape = nullptr);
// Whether an object can be drawn at all: a mesh whose arrays are there.
bool drawableMesh(const SceneObject* object);

// ---- The attractor push --------------------------------------------------------------------

// Whether a point can be sent to GL in single precision.
bool fitsSinglePrecision(const Vec3d& v);
// How hard an attractor at q pushes corner w of an object at rest position r and current position
// p: strength over the distance (squared: the squared distance) between q and w carried with its
// object, held as a float. Not finite when w sits on q.
float attractorPush(const Vec3d& w, const Vec3d& q, const Vec3d& r, const Vec3d& p, double strength, bool squared);
// Carries w with its object and away from r by push: w + (w - r) x push - r + p, in double. A
// result single precision cannot hold is left out: w stays as it was and the call returns false.
bool pushCorner(Vec3d& w, const Vec3d& r, const Vec3d& p, float push);

// ---- The position-track player -------------------------------------------------------------
// Used by the scenes that move a model's meshes and lights themselves (no camera, no rotation
// track): the First verse scene on choseModel, the closing scene on choseModel2.
// Moves every mesh and light of model with more than one position key along its track for the
// current sceneTime / sceneDuration (frame = endFrame x time / duration, clamped below endFrame),
// updating currentFrame, positionKeyIndex, position and a light's own position; leaves the model
// rewound. A null model does nothing.
void playTracks(Model* model);

// The frame played at time t of a scene of the given duration: endFrame x t / duration, set to
// endFrame - 1 once its whole part reaches endFrame (a fraction just below endFrame stands).
double trackFrameAt(int endFrame, float t, float duration);
