// Shared pieces of the generated scenes: the list of scene builders, trees, the grid anchor that
// keeps the renderer's off-grid window cheap, and naming helpers.
#pragma once
#include <string>
#include <vector>

#include "tools/assetgen/meshkit.h"
#include "tools/assetgen/tracks.h"

namespace ag {

SceneDef buildWood();
SceneDef buildTruc();
SceneDef buildCastel();
SceneDef buildChose();
SceneDef buildTunnel();
SceneDef buildMeta();
SceneDef buildRoom();

// Every scene of the data folder, in the order the program loads them.
std::vector<SceneDef> buildAllScenes();

// Scene frames per second of scene time: every scene keys its tracks on this clock.
constexpr float kFramesPerSecond = 30.0f;

// The animation frame at a scene time in seconds: the first camera key sits at frame 30.
inline float frameOf(float seconds)
{
    return 30.0f + seconds * kFramesPerSecond;
}

// A name with a two-digit number: numbered("Oak", 3) = "Oak03".
std::string numbered(const std::string& stem, int n);

// A mesh with one tiny face below the ground at (minX, minZ), so that the grid starts there and its
// corner cell, which the renderer draws for every window position off the grid, holds nothing else.
MeshDef gridAnchor(float minX, float minZ, const std::string& material);

// Tree shapes, standing on `base`; trunk and crown go to separate meshes (bark and foliage).
void addPine(MeshDef& trunks, MeshDef& crowns, Vec3 base, float height, float angle);
void addBroadleaf(MeshDef& trunks, MeshDef& crowns, Vec3 base, float height, float angle);

// A mesh with no faces yet, named and textured.
MeshDef newMesh(const std::string& name, const std::string& material);

// A small closed shape for emitters: a flat tetrahedron of radius r around `centre`.
void addMarker(MeshDef& m, Vec3 centre, float r);
// An emitter at `at`: one marker of radius r there, which is also its rest position.
MeshDef pointEmitter(const std::string& name, const std::string& material, Vec3 at, float r = 2.0f);
// An emitter that scatters its particles over the box between two markers (radius r) at `low` and
// `high`, resting at `rest`.
MeshDef boxEmitter(const std::string& name, const std::string& material, Vec3 low, Vec3 high, Vec3 rest,
                   float r = 3.0f);

}  // namespace ag

namespace ag {

// Every rule the program relies on for this scene (table limits, frame rules, the marks and tracks
// its scene expects); empty when it holds them all.
std::vector<std::string> checkSceneRules(const SceneDef& scene);

}  // namespace ag
