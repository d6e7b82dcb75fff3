// Small models built by hand for the scene tests: objects appended to a Model's list with the
// arrays a loaded model would hold (freed by the model's own teardown).
#pragma once
#include <initializer_list>
#include <vector>

#include "model/model.h"

namespace scenefix {

// Appends an object of the given kind; the first call fills the model's own part of the list.
SceneObject* addObject(Model& model, ObjectKind kind, const char* name);
// Gives a mesh its vertices and faces (a, b, c each).
void setMesh(SceneObject* object, const std::vector<Vec3d>& vertices, const std::vector<Face>& faces);
// Gives an object a position track as loading leaves it: index 3, position and basePosition on
// the first key (when the track has more than one key).
void setPositionTrack(SceneObject* object, const std::vector<uint16_t>& frames, const std::vector<Vec3d>& keys);
// Gives an object a rotation track (accumulated degrees) with index 3 and rotation on key 0.
void setRotationTrack(SceneObject* object, const std::vector<uint16_t>& frames, const std::vector<Vec3d>& keys);
// A mesh of faceCount triangles, each over its own three vertices.
void setTriangles(SceneObject* object, int faceCount);

}  // namespace scenefix
