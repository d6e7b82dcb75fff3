// The wood scene's shared layout: its landmarks' places, the ground's height, the trail, and the
// landmark builders of scene_wood_places.cpp. Only the wood scene's two files include it.
#pragma once
#include <cstdint>
#include <vector>

#include "tools/assetgen/scenekit.h"

namespace ag {
namespace wood {

constexpr float kHalf = 1600.0f;  // the ground spans -kHalf .. kHalf on x and z
const Vec3 kGlade{-120.0f, 0.0f, -150.0f};
const Vec3 kHollow{820.0f, 0.0f, 640.0f};
constexpr float kGladeRadius = 270.0f;
constexpr float kHollowRadius = 330.0f;

// The ground's height at (x, z): rolling, level in the glade, sunk in the hollow.
float terrainHeight(float x, float z);
// The point on the ground at (x, z), raised by lift.
Vec3 onGround(float x, float z, float lift = 0.0f);
// The trail walked by the first camera, s from 0 (deep in the wood) to 1 (the glade's edge).
Vec3 trail(float s);

// The glade: the giant tree at its middle.
void addGiantTree(SceneDef& scene);
// The hollow: a ring of seven standing stones around a monolith with glowing runes.
void addStoneRing(SceneDef& scene, Rng& rng);
// Glowing mushrooms in clusters around the glade; returns one spot over each cluster.
std::vector<Vec3> addMushrooms(SceneDef& scene, Rng& rng);
// Light shafts falling into the glade.
void addLightShafts(SceneDef& scene);
// Translucent mist sheets in the hollow, along the trail and around the glade.
void addMist(SceneDef& scene, Rng& rng);

}  // namespace wood
}  // namespace ag
