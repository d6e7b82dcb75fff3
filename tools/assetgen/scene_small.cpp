// The three scenes drawn by their own routines rather than as lit surfaces:
//  - maps/truc.3ds (Title): a knot that turns, drawn as streaks from every second face;
//  - maps/chose.3ds (First verse, closing): three blobs on looping paths around a core, drawn as
//    glowing spikes pushed out by the blobs' nearness, no camera used;
//  - maps/meta.3ds (Third verse): a moving orb and seed swelling a tiled floor and four pillars.
// Their frame bounds come from key counts, so the tracks are laid out on those counts.
#include <cmath>

#include "tools/assetgen/scenekit.h"

namespace ag {

namespace {

// Trefoil knot centre line, radius about 1.
Vec3 trefoil(float t)
{
    return Vec3{std::sin(t) + 2.0f * std::sin(2.0f * t), std::cos(t) - 2.0f * std::cos(2.0f * t), -std::sin(3.0f * t)} /
           3.0f;
}

// An ellipsoid roughened by a few bumps so that the blobs look organic.
void addBlob(MeshDef& m, Vec3 centre, float radius, int rings, int segments, uint32_t seed)
{
    size_t first = m.vertices.size();
    addEllipsoid(m, centre, Vec3{radius, radius * 0.9f, radius}, rings, segments, 2.0f, 1.0f);
    Rng rng(seed);
    float a = rng.range(0.0f, 6.28f), b = rng.range(0.0f, 6.28f);
    for (size_t i = first; i < m.vertices.size(); ++i) {
        Vec3 d = m.vertices[i] - centre;
        float bump = 1.0f + 0.18f * std::sin(3.0f * d.x / radius + a) * std::cos(2.0f * d.y / radius + b);
        m.vertices[i] = centre + d * bump;
    }
}

}  // namespace

SceneDef buildTruc()
{
    SceneDef scene;
    scene.path = "maps/truc.3ds";
    const uint32_t first = 30, last = 30 + static_cast<uint32_t>(25.0f * kFramesPerSecond);
    scene.frameCount = last + 90;

    // The knot turns about a tilted axis: its x and y angles drive the streaks' stretch.
    MeshDef knot = newMesh("Knot", "maps/tex/chrome.jpg");
    std::vector<Vec3> path;
    // Few faces on purpose: every second one becomes a streak of several hundred units.
    const int segments = 18;
    for (int i = 0; i <= segments; ++i)
        path.push_back(trefoil(2.0f * kPi * static_cast<float>(i) / segments) * 70.0f);
    addTube(knot, path, 12.0f, 4, 1.0f, 40.0f, false);
    setRestPosition(knot, Vec3{});
    Vec3 axis = normalize(Vec3{2.0f, 3.0f, 0.6f});
    knot.rotationKeys = steadyRotation(axis, 2.0f * kPi * 3.2f, 0, scene.frameCount, 10);
    scene.meshes.push_back(knot);

    MeshDef halo = newMesh("Halo", "maps/tex/chrome.jpg");
    std::vector<Vec3> ring;
    for (int i = 0; i <= 12; ++i) {
        float a = 2.0f * kPi * static_cast<float>(i) / 12.0f;
        ring.push_back(Vec3{105.0f * std::cos(a), 0.0f, 105.0f * std::sin(a)});
    }
    addTube(halo, ring, 4.0f, 3, 1.0f, 40.0f, false);
    scene.meshes.push_back(halo);

    // One camera drifting slowly around the knot at a distance that keeps the streaks on screen.
    PathFn eye = [](float f) {
        float a = 0.4f + f * 0.0012f;
        return Vec3{1150.0f * std::sin(a), 200.0f + 60.0f * std::sin(f * 0.004f), 1150.0f * std::cos(a)};
    };
    PathFn target = [](float) { return Vec3{0.0f, 40.0f, 0.0f}; };
    scene.cameras.push_back(makeCamera("CamTitle", eye, target, cameraFrames(first, last, 75, 2)));
    return scene;
}

SceneDef buildChose()
{
    SceneDef scene;
    scene.path = "maps/chose.3ds";
    // The scenes bound their frames by the first blob's key count - 1: 8 Bezier segments over
    // frames 0 .. 24, one frame per key.
    const int segments = 8;
    const uint32_t lastFrame = 3 * segments;
    scene.frameCount = lastFrame + 1;
    const std::string material = "maps/tex/blob.jpg";

    struct Orbit {
        const char* name;
        Vec3 radius;
        Vec3 speed;
        Vec3 phase;
        float size;
    };
    const Orbit orbits[3] = {
        {"BlobAmber", {140.0f, 60.0f, 90.0f}, {1.0f, 2.0f, 1.0f}, {0.0f, 0.5f, 1.6f}, 22.0f},
        {"BlobEmber", {120.0f, 90.0f, 70.0f}, {-1.0f, 1.0f, 2.0f}, {2.1f, 0.0f, 0.4f}, 18.0f},
        {"BlobSpark", {160.0f, 50.0f, 110.0f}, {2.0f, -1.0f, 1.0f}, {4.2f, 1.2f, 2.9f}, 16.0f},
    };
    for (int i = 0; i < 3; ++i) {
        const Orbit& o = orbits[i];
        PathFn path = [o, lastFrame](float f) {
            float a = 2.0f * kPi * f / static_cast<float>(lastFrame);
            return Vec3{o.radius.x * std::sin(o.speed.x * a + o.phase.x),
                        o.radius.y * std::sin(o.speed.y * a + o.phase.y),
                        o.radius.z * std::cos(o.speed.z * a + o.phase.z)};
        };
        MeshDef blob = newMesh(o.name, material);
        Vec3 start = path(0.0f);
        // Every face becomes a spike across the screen, so the blobs keep few, small faces.
        addBlob(blob, start, o.size, 4, 6, 600u + static_cast<uint32_t>(i));
        blob.positionKeys = bezierChain(path, 0, lastFrame, segments);
        scene.meshes.push_back(blob);
    }

    MeshDef core = newMesh("Core", material);
    addBlob(core, Vec3{}, 24.0f, 4, 6, 610u);
    scene.meshes.push_back(core);

    // The scenes draw this model without a camera; this one, 500 units out, gives it a frame
    // range like every other model and shows peers the intended view.
    PathFn eye = [](float) { return Vec3{0.0f, 0.0f, 500.0f}; };
    PathFn target = [](float) { return Vec3{}; };
    scene.cameras.push_back(makeCamera("CamFront", eye, target, {0, 1, 12, 24, 25, 26}));
    return scene;
}

SceneDef buildMeta()
{
    SceneDef scene;
    scene.path = "maps/meta.3ds";
    // The Third verse plays frames up to the orb's key count - 1 = 60.
    const int segments = 20;
    const uint32_t lastFrame = 3 * segments;
    scene.frameCount = lastFrame + 1;
    const std::string material = "maps/tex/ice.jpg";

    PathFn orbPath = [lastFrame](float f) {
        float a = 2.0f * kPi * f / static_cast<float>(lastFrame);
        return Vec3{195.0f * std::cos(a), 45.0f + 55.0f * std::sin(2.0f * a), 185.0f * std::sin(a)};
    };
    PathFn seedPath = [lastFrame](float f) {
        float a = 2.0f * kPi * f / static_cast<float>(lastFrame);
        return Vec3{-165.0f * std::cos(a), 80.0f + 40.0f * std::sin(3.0f * a), -175.0f * std::sin(a)};
    };
    MeshDef orb = newMesh("Orb", material);
    addBlob(orb, orbPath(0.0f), 20.0f, 6, 11, 700u);
    orb.positionKeys = bezierChain(orbPath, 0, lastFrame, segments);
    scene.meshes.push_back(orb);

    MeshDef seed = newMesh("Seed", material);
    addBlob(seed, seedPath(0.0f), 9.0f, 4, 6, 701u);
    seed.positionKeys = bezierChain(seedPath, 0, lastFrame, segments);
    scene.meshes.push_back(seed);

    // The shells scale every face up to five times about the origin and the swell grows as
    // 7500 / distance squared, so the orbs circle outside a small centre piece (never nearer than
    // about 80 units to it) and the camera keeps well back. The floor bulges up where the orbs
    // pass: its pivot lies below it, so the push lifts the floor rather than stretching it.
    MeshDef floor = newMesh("Floor", material);
    addTerrain(
        floor, -75.0f, -75.0f, 75.0f, 75.0f, 4, 4, [](float, float) { return 0.0f; }, 70.0f);
    setRestPosition(floor, Vec3{0.0f, -50.0f, 0.0f});
    scene.meshes.push_back(floor);

    for (int i = 0; i < 4; ++i) {
        float a = kPi * 0.25f + static_cast<float>(i) * kPi * 0.5f;
        Vec3 base{45.0f * std::cos(a), 0.0f, 45.0f * std::sin(a)};
        MeshDef pillar = newMesh(numbered("Pillar", i), material);
        addFrustum(pillar, base, 8.0f, 5.0f, 100.0f, 4, 1.0f, 40.0f);
        setRestPosition(pillar, base);
        scene.meshes.push_back(pillar);
    }

    // The camera circles the floor; its keys lie in frames 0 .. 60 with the last two at 59 and
    // 60 so that playback never runs past them.
    PathFn eye = [lastFrame](float f) {
        float a = 0.3f + 2.0f * kPi * 0.55f * f / static_cast<float>(lastFrame);
        return Vec3{950.0f * std::sin(a), 380.0f - 80.0f * std::sin(a * 1.5f), 950.0f * std::cos(a)};
    };
    PathFn target = [](float f) { return Vec3{0.0f, 40.0f + 10.0f * std::sin(f * 0.1f), 0.0f}; };
    std::vector<uint32_t> frames = {0};
    for (uint32_t f = 2; f <= 58; f += 4)
        frames.push_back(f);
    frames.push_back(59);
    frames.push_back(60);
    scene.cameras.push_back(makeCamera("CamOrbit", eye, target, frames));
    return scene;
}

}  // namespace ag
