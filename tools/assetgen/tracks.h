// Key tracks for the generated scenes: camera keys sampled from flight paths with the neighbour
// keys the program's Catmull-Rom playback needs, and object tracks as chains of cubic Bezier
// segments (3m + 1 keys) that follow a smooth path.
#pragma once
#include <functional>
#include <vector>

#include "tools/assetgen/scene.h"

namespace ag {

using PathFn = std::function<Vec3(float frame)>;

// Keys at the given frames (strictly rising), each the path's point at that frame.
std::vector<TrackKey> sampleKeys(const PathFn& path, const std::vector<uint32_t>& frames);

// Frames for a camera that flies from frame `from` to frame `to` in steps of about `step`: one key
// before `from`, the stretch itself, and `after` keys past `to` (1 for a camera that hands over at
// `to`, 2 for the last camera, whose third-last key ends the scene).
std::vector<uint32_t> cameraFrames(uint32_t from, uint32_t to, uint32_t step, int after);

// A camera whose eye and target follow the given paths, keyed at `frames`.
CameraDef makeCamera(const std::string& name, const PathFn& eye, const PathFn& target,
                     const std::vector<uint32_t>& frames);

// 3m + 1 position keys (m = segments) from frame `from` to frame `to`: segment ends on the path,
// the two keys between them as Bezier control points along the path's tangents. Needs
// (to - from) >= 3 * segments so that every key has its own frame.
std::vector<TrackKey> bezierChain(const PathFn& path, uint32_t from, uint32_t to, int segments);

// 3m + 1 rotation keys turning steadily about `axis` (unit, Y-up) by `totalAngle` radians from
// frame `from` to `to`; every key after the first adds an equal share.
std::vector<TrackKey> steadyRotation(Vec3 axis, float totalAngle, uint32_t from, uint32_t to, int segments);

// Catmull-Rom point through p1 (t = 0) and p2 (t = 1), as the program's camera playback uses it.
Vec3 catmullRom(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, float t);

// The program's camera playback: eye and target of `camera` at a frame, with the key search of the
// animation step (segment k .. k + 1 with k in 0 .. n - 3). Returns false for a track too short.
bool cameraAt(const CameraDef& camera, float frame, Vec3& eye, Vec3& target);

// The scene's frame range as the program derives it: the first camera's key 1 to the last
// camera's key n - 3.
void frameRange(const SceneDef& scene, float& startFrame, float& endFrame);

// Which camera plays at a frame: the first whose key n - 2 lies beyond it (the last one otherwise).
size_t cameraIndexAt(const SceneDef& scene, float frame);

// Position of a mesh at a frame along its Bezier chain (rest position when it has one key).
Vec3 meshPositionAt(const MeshDef& mesh, float frame);

}  // namespace ag
