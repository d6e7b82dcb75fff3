// maps/wood.3ds, the Opening scene: a wood at night flown through by four cameras. A lantern-lit
// trail leads to a glade around a giant tree, the view climbs over the moonlit canopy and sinks
// into a misty hollow with a ring of standing stones. Drawn through the face grid (cells of 200)
// with fog, so trees are spread over 16 x 16 cells and kept off the flight paths. This file holds
// the ground, the cameras, the trail and the wood; scene_wood_places.cpp the glade and the hollow.
#include <algorithm>
#include <cmath>

#include "tools/assetgen/noise.h"
#include "tools/assetgen/scene_wood.h"

namespace ag {
namespace wood {

float terrainHeight(float x, float z)
{
    float h = 16.0f * fbm(x / 430.0f, z / 430.0f, 4096, 3, 101u) + 5.0f * fbm(x / 120.0f, z / 120.0f, 4096, 2, 102u);
    float gd = flatDistance(Vec3{x, 0.0f, z}, kGlade) / kGladeRadius;
    h *= smoothstep(0.5f, 1.3f, gd);  // the glade is level
    float hd = flatDistance(Vec3{x, 0.0f, z}, kHollow) / (kHollowRadius * 1.25f);
    h -= 38.0f * (1.0f - smoothstep(0.2f, 1.0f, hd));
    return h;
}

Vec3 onGround(float x, float z, float lift)
{
    return Vec3{x, terrainHeight(x, z) + lift, z};
}

Vec3 trail(float s)
{
    float x = -1000.0f + 800.0f * s;
    float z = 600.0f - 520.0f * s + 90.0f * std::sin(2.5f * kPi * s);
    return Vec3{x, 0.0f, z};
}

namespace {

// The frame nearest a scene time in seconds.
uint32_t frameAt(float seconds)
{
    return static_cast<uint32_t>(frameOf(seconds) + 0.5f);
}

// Shot 1 (0 - 12 s): low along the trail.
Vec3 shot1Eye(float f)
{
    float s = (f - frameOf(0.0f)) / (frameOf(12.0f) - frameOf(0.0f));
    Vec3 p = trail(s);
    return onGround(p.x, p.z, 24.0f + 4.0f * std::sin(s * 9.0f));
}
Vec3 shot1Target(float f)
{
    float s = (f - frameOf(0.0f)) / (frameOf(12.0f) - frameOf(0.0f));
    Vec3 p = trail(s + 0.12f);
    return onGround(p.x, p.z, 18.0f);
}

// Shot 2 (12 - 22 s): half a turn around the giant tree, climbing.
float shot2Angle(float f)
{
    float s = (f - frameOf(12.0f)) / (frameOf(22.0f) - frameOf(12.0f));
    return 1.9f + 3.3f * s;
}
Vec3 shot2Eye(float f)
{
    float s = (f - frameOf(12.0f)) / (frameOf(22.0f) - frameOf(12.0f));
    float a = shot2Angle(f);
    float r = 200.0f - 25.0f * s;
    return Vec3{kGlade.x + r * std::cos(a), 30.0f + 55.0f * s, kGlade.z + r * std::sin(a)};
}
Vec3 shot2Target(float f)
{
    float s = (f - frameOf(12.0f)) / (frameOf(22.0f) - frameOf(12.0f));
    return Vec3{kGlade.x, 55.0f + 40.0f * s, kGlade.z};
}

// Shot 3 (22 - 33 s): up over the canopy towards the hollow.
Vec3 shot3Eye(float f)
{
    float s = (f - frameOf(22.0f)) / (frameOf(33.0f) - frameOf(22.0f));
    Vec3 from{kGlade.x + 120.0f, 120.0f, kGlade.z + 260.0f};
    Vec3 to{kHollow.x - 520.0f, 300.0f, kHollow.z - 260.0f};
    Vec3 p = lerp(from, to, s);
    p.y = from.y + (to.y - from.y) * std::sqrt(std::max(0.0f, s)) + 20.0f * std::sin(s * 5.0f);
    p.x += 90.0f * std::sin(s * kPi);
    return p;
}
Vec3 shot3Target(float f)
{
    float s = (f - frameOf(22.0f)) / (frameOf(33.0f) - frameOf(22.0f));
    Vec3 e = shot3Eye(f);
    Vec3 ahead = lerp(Vec3{kGlade.x + 600.0f, 40.0f, kGlade.z + 700.0f}, kHollow, s);
    return lerp(ahead, e, 0.0f);
}

// Shot 4 (33 - 44 s): down into the hollow, pushing in on the stone ring.
Vec3 shot4Eye(float f)
{
    float s = (f - frameOf(33.0f)) / (frameOf(44.0f) - frameOf(33.0f));
    float e = 1.0f - (1.0f - s) * (1.0f - s);
    Vec3 from{kHollow.x - 470.0f, 230.0f, kHollow.z - 300.0f};
    Vec3 to{kHollow.x - 150.0f, terrainHeight(kHollow.x - 150.0f, kHollow.z - 95.0f) + 40.0f, kHollow.z - 95.0f};
    return lerp(from, to, e);
}
Vec3 shot4Target(float f)
{
    float s = (f - frameOf(33.0f)) / (frameOf(44.0f) - frameOf(33.0f));
    return Vec3{kHollow.x, terrainHeight(kHollow.x, kHollow.z) + 30.0f + 40.0f * (1.0f - s), kHollow.z};
}

// Horizontal distance from (x, z) to the nearest low flight path sample.
struct PathClearance {
    std::vector<Vec3> samples;
    float distance(float x, float z) const
    {
        float best = 1e9f;
        for (const Vec3& p : samples)
            best = std::min(best, std::hypot(p.x - x, p.z - z));
        return best;
    }
};

// The four cameras, and where they fly low enough for trees to be in the way.
PathClearance addCameras(SceneDef& scene)
{
    const uint32_t step = 45;
    scene.cameras.push_back(
        makeCamera("CamTrail", shot1Eye, shot1Target, cameraFrames(frameAt(0), frameAt(12), step, 1)));
    scene.cameras.push_back(
        makeCamera("CamGlade", shot2Eye, shot2Target, cameraFrames(frameAt(12), frameAt(22), step, 1)));
    scene.cameras.push_back(
        makeCamera("CamCanopy", shot3Eye, shot3Target, cameraFrames(frameAt(22), frameAt(33), step, 1)));
    scene.cameras.push_back(
        makeCamera("CamHollow", shot4Eye, shot4Target, cameraFrames(frameAt(33), frameAt(44), step, 2)));

    PathClearance clear;
    for (float f = 0.0f; f <= frameOf(44.0f) + 90.0f; f += 4.0f) {
        for (const CameraDef& c : scene.cameras) {
            Vec3 e, t;
            if (!cameraAt(c, f, e, t))
                continue;
            if (e.y - terrainHeight(e.x, e.z) < 160.0f)
                clear.samples.push_back(e);
        }
    }
    return clear;
}

// Hero trees by the trail (these cast shadows).
void addHeroTrees(SceneDef& scene, Rng& rng)
{
    for (int i = 0; i < 9; ++i) {
        float s = 0.05f + 0.11f * static_cast<float>(i);
        Vec3 p = trail(s);
        float side = (i % 2 == 0) ? 1.0f : -1.0f;
        Vec3 dir = normalize(trail(s + 0.01f) - p);
        Vec3 normal{-dir.z, 0.0f, dir.x};
        Vec3 at = p + normal * (side * rng.range(85.0f, 120.0f));
        MeshDef trunk = newMesh(numbered("Oak", i), "maps/tex/bark.jpg");
        // Only the trunks cast shadows: cheaper to light.
        MeshDef crown = newMesh(numbered("c*crown", i), "maps/tex/leaves.jpg");
        addBroadleaf(trunk, crown, onGround(at.x, at.z), rng.range(150.0f, 190.0f), rng.range(0.0f, 6.28f));
        setRestPosition(trunk, onGround(at.x, at.z));
        scene.meshes.push_back(trunk);
        scene.meshes.push_back(crown);
    }
}

// Rocks along the way, off the flight paths.
void addRocks(SceneDef& scene, Rng& rng, const PathClearance& clear)
{
    MeshDef rocks = newMesh("r*rocks", "maps/tex/rock.jpg");
    for (int i = 0; i < 40; ++i) {
        float x = rng.range(-kHalf + 60.0f, kHalf - 60.0f), z = rng.range(-kHalf + 60.0f, kHalf - 60.0f);
        if (clear.distance(x, z) < 40.0f)
            continue;
        float r = rng.range(8.0f, 22.0f);
        size_t first = rocks.vertices.size();
        addEllipsoid(rocks, onGround(x, z, r * 0.2f), Vec3{r, r * 0.6f, r * 0.8f}, 3, 6, 1.0f, 1.0f);
        rotateY(rocks, first, rng.range(0.0f, 6.28f), onGround(x, z));
    }
    scene.meshes.push_back(rocks);
}

// Lantern posts along the trail; returns where each lamp's light sits.
std::vector<Vec3> addLanterns(SceneDef& scene)
{
    MeshDef posts = newMesh("l*posts", "maps/tex/bark.jpg");
    MeshDef lamps = newMesh("^*lamps", "maps/tex/lamp.jpg");  // unlit: the lamp glass shows its own glow
    std::vector<Vec3> lanternLights;
    for (int i = 0; i < 8; ++i) {
        float s = 0.02f + 0.125f * static_cast<float>(i);
        Vec3 p = trail(s);
        Vec3 dir = normalize(trail(s + 0.01f) - p);
        Vec3 normal{-dir.z, 0.0f, dir.x};
        float side = (i % 2 == 0) ? -1.0f : 1.0f;
        Vec3 at = onGround(p.x + normal.x * side * 34.0f, p.z + normal.z * side * 34.0f);
        addBox(posts, at + Vec3{0.0f, 20.0f, 0.0f}, Vec3{3.0f, 44.0f, 3.0f}, 30.0f, false);
        addBox(posts, at + Vec3{-side * normal.x * 5.0f, 41.0f, -side * normal.z * 5.0f}, Vec3{10.0f, 2.0f, 2.0f},
               30.0f, false);
        Vec3 lampAt = at + Vec3{-side * normal.x * 9.0f, 33.0f, -side * normal.z * 9.0f};
        addFrustum(lamps, lampAt, 3.5f, 2.5f, 8.0f, 6, 1.0f, 8.0f, true, true);
        lanternLights.push_back(lampAt + Vec3{-side * normal.x * 6.0f, 2.0f, -side * normal.z * 6.0f});
    }
    scene.meshes.push_back(posts);
    scene.meshes.push_back(lamps);
    return lanternLights;
}

// The wood itself: pines and broadleaf trees, grouped per block of 4 x 4 cells, off the flight
// paths, the glade and the hollow.
void addWoodland(SceneDef& scene, Rng& rng, const PathClearance& clear)
{
    const float block = 800.0f;
    for (int bz = 0; bz < 4; ++bz) {
        for (int bx = 0; bx < 4; ++bx) {
            MeshDef trunks = newMesh("t*trunks" + std::to_string(bz * 4 + bx), "maps/tex/bark.jpg");
            MeshDef pines = newMesh("t*pines" + std::to_string(bz * 4 + bx), "maps/tex/needles.jpg");
            MeshDef crowns = newMesh("t*crowns" + std::to_string(bz * 4 + bx), "maps/tex/leaves.jpg");
            float x0 = -kHalf + block * static_cast<float>(bx), z0 = -kHalf + block * static_cast<float>(bz);
            const float spacing = 118.0f;
            for (float z = z0 + spacing * 0.5f; z < z0 + block; z += spacing) {
                for (float x = x0 + spacing * 0.5f; x < x0 + block; x += spacing) {
                    float px = x + rng.range(-0.45f, 0.45f) * spacing, pz = z + rng.range(-0.45f, 0.45f) * spacing;
                    float kind = rng.uniform(), height = rng.range(0.75f, 1.25f), angle = rng.range(0.0f, 6.28f);
                    if (std::fabs(px) > kHalf - 20.0f || std::fabs(pz) > kHalf - 20.0f)
                        continue;
                    if (clear.distance(px, pz) < 55.0f)
                        continue;
                    Vec3 p{px, 0.0f, pz};
                    if (flatDistance(p, kGlade) < kGladeRadius || flatDistance(p, kHollow) < kHollowRadius)
                        continue;
                    if (kind < 0.6f)
                        addPine(trunks, pines, onGround(px, pz), 150.0f * height, angle);
                    else
                        addBroadleaf(trunks, crowns, onGround(px, pz), 120.0f * height, angle);
                }
            }
            if (!trunks.faces.empty())
                scene.meshes.push_back(trunks);
            if (!pines.faces.empty())
                scene.meshes.push_back(pines);
            if (!crowns.faces.empty())
                scene.meshes.push_back(crowns);
        }
    }
}

// Particle emitters: a pulsing halo at each lamp (shrinking particles keep the fill small when the
// camera passes close by), fireflies, steady blue glows over every other mushroom cluster, spores
// rising all over the glade and wisps over the stone ring.
void addEmitters(SceneDef& scene, Rng& rng, const PathClearance& clear, const std::vector<Vec3>& lanternLights,
                 const std::vector<Vec3>& mushroomSpots)
{
    for (size_t i = 0; i < lanternLights.size(); ++i) {
        scene.meshes.push_back(
            pointEmitter(numbered("*2halo", static_cast<int>(i)), "maps/tex/sparkr.jpg", lanternLights[i]));
    }
    // Fireflies drifting on looping paths; their particles rise behind them as trails.
    const uint32_t lastFrame = frameAt(44.0f) + 30;
    for (int i = 0; i < 7; ++i) {
        // Each loop keeps well away from the flight paths, so no swarm of particles fills the view.
        Vec3 centre;
        float radius = rng.range(35.0f, 60.0f);
        for (int attempt = 0; attempt < 200; ++attempt) {
            if (i < 4) {
                Vec3 p = trail(0.12f + 0.22f * static_cast<float>(i));
                centre = onGround(p.x + rng.range(-220.0f, 220.0f), p.z + rng.range(-220.0f, 220.0f), 30.0f);
            } else {
                float a = static_cast<float>(i) * 2.1f + rng.range(-0.5f, 0.5f);
                float r = rng.range(60.0f, 130.0f);
                centre = onGround(kGlade.x + r * std::cos(a), kGlade.z + r * std::sin(a), 45.0f);
            }
            if (clear.distance(centre.x, centre.z) > radius + 70.0f)
                break;
        }
        float phase = rng.range(0.0f, 6.28f), speed = rng.range(0.006f, 0.01f);
        PathFn loop = [=](float f) {
            float a = phase + f * speed;
            return centre + Vec3{radius * std::cos(a), 14.0f * std::sin(a * 2.3f), radius * 0.7f * std::sin(a)};
        };
        MeshDef fly = newMesh(numbered("*1firefly", i), i % 3 == 2 ? "maps/tex/spark.jpg" : "maps/tex/sparkg.jpg");
        addMarker(fly, centre, 2.0f);
        fly.positionKeys = bezierChain(loop, 0, lastFrame, 12);
        scene.meshes.push_back(fly);
    }
    for (size_t i = 0; i < mushroomSpots.size(); i += 2) {
        scene.meshes.push_back(
            pointEmitter(numbered("*0puff", static_cast<int>(i / 2)), "maps/tex/sparkb.jpg", mushroomSpots[i]));
    }
    // Spores and wisps scatter their particles over the box between their markers.
    scene.meshes.push_back(boxEmitter("*3spores", "maps/tex/sparkg.jpg", kGlade + Vec3{-160.0f, 10.0f, -160.0f},
                                      kGlade + Vec3{160.0f, 70.0f, 160.0f}, onGround(kGlade.x, kGlade.z, 30.0f)));
    Vec3 hollow = onGround(kHollow.x, kHollow.z);
    scene.meshes.push_back(boxEmitter("*3wisps", "maps/tex/sparkb.jpg", hollow + Vec3{-130.0f, 5.0f, -130.0f},
                                      hollow + Vec3{130.0f, 60.0f, 130.0f}, hollow + Vec3{0.0f, 30.0f, 0.0f}));
}

// Moonlight over the four landmarks, the lanterns, the glade's glow and the runes' light.
void addLights(SceneDef& scene, const std::vector<Vec3>& lanternLights)
{
    const Vec3 moon{0.55f, 0.62f, 0.95f};
    const Vec3 skySpots[4] = {
        {-700.0f, 0.0f, 350.0f}, {-120.0f, 0.0f, -150.0f}, {350.0f, 0.0f, 350.0f}, {820.0f, 0.0f, 640.0f}};
    for (int i = 0; i < 4; ++i) {
        scene.lights.push_back(
            makeLight(numbered("Moon", i), skySpots[i] + Vec3{150.0f, 650.0f, -100.0f}, moon, 1000.0f));
    }
    for (size_t i = 0; i < lanternLights.size(); ++i) {
        scene.lights.push_back(
            makeLight(numbered("Lantern", static_cast<int>(i)), lanternLights[i], Vec3{1.0f, 0.62f, 0.28f}, 190.0f));
    }
    for (int i = 0; i < 4; ++i) {
        float a = static_cast<float>(i) * kPi * 0.5f + 0.2f;
        Vec3 at = onGround(kGlade.x + 130.0f * std::cos(a), kGlade.z + 130.0f * std::sin(a), 22.0f);
        scene.lights.push_back(makeLight(numbered("GladeGlow", i), at, Vec3{0.25f, 0.85f, 0.75f}, 230.0f));
    }
    Vec3 hollow = onGround(kHollow.x, kHollow.z);
    for (int i = 0; i < 4; ++i) {
        float a = static_cast<float>(i) * kPi * 0.5f + 0.9f;
        Vec3 at = hollow + Vec3{60.0f * std::cos(a), 45.0f, 60.0f * std::sin(a)};
        scene.lights.push_back(makeLight(numbered("RuneLight", i), at, Vec3{0.45f, 0.65f, 1.0f}, 260.0f));
    }
}

}  // namespace
}  // namespace wood

SceneDef buildWood()
{
    using namespace wood;
    SceneDef scene;
    scene.path = "maps/wood.3ds";
    scene.frameCount = frameAt(44.0f) + 60;
    // One random source through the whole wood, drawn from in this order.
    Rng rng(1001u);
    // The cameras come first: the trees keep clear of their paths.
    PathClearance clear = addCameras(scene);
    MeshDef ground = newMesh("g*ground", "maps/tex/moss.jpg");
    addTerrain(ground, -kHalf, -kHalf, kHalf, kHalf, 64, 64, terrainHeight, 90.0f);
    scene.meshes.push_back(ground);
    addGiantTree(scene);
    addHeroTrees(scene, rng);
    addRocks(scene, rng, clear);
    addStoneRing(scene, rng);
    std::vector<Vec3> lanternLights = addLanterns(scene);
    std::vector<Vec3> mushroomSpots = addMushrooms(scene, rng);
    addLightShafts(scene);
    addMist(scene, rng);
    addWoodland(scene, rng, clear);
    addEmitters(scene, rng, clear, lanternLights, mushroomSpots);
    scene.meshes.push_back(gridAnchor(-kHalf - 200.0f, -kHalf - 200.0f, "maps/tex/moss.jpg"));
    addLights(scene, lanternLights);
    return scene;
}

}  // namespace ag
