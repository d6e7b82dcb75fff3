// maps/tunnel.3ds, the Second verse: a winding service tunnel flown through by two cameras. Every
// mesh is drawn each frame (no grid, no fog), so the tunnel is one long bend that hides its far
// end. Wall electrodes ('#' bolt objects) throw arcs inward, glow strips run along the ceiling
// ('%' additive) and coloured lamps light the way.
#include <cmath>

#include "tools/assetgen/scenekit.h"

namespace ag {

namespace {

constexpr float kLength = 2100.0f;
constexpr float kRadius = 70.0f;
constexpr float kRing = 25.0f;  // distance between rings of the tube

Vec3 centre(float s)
{
    return Vec3{180.0f * std::sin(s / 420.0f) + 60.0f * std::sin(s / 170.0f), 60.0f * std::sin(s / 350.0f), -s};
}

// A frame across the tunnel at s: side points right, lift points up, both unit length.
void frameAt(float s, Vec3& forward, Vec3& side, Vec3& lift)
{
    forward = normalize(centre(s + 1.0f) - centre(s - 1.0f));
    side = normalize(cross(forward, Vec3{0.0f, 1.0f, 0.0f}));
    lift = normalize(cross(side, forward));
}

// A point on the circle of radius r across the tunnel at s, at angle a (0 = right, pi/2 = up).
Vec3 around(float s, float a, float r)
{
    Vec3 f, sd, l;
    frameAt(s, f, sd, l);
    return centre(s) + sd * (std::cos(a) * r) + l * (std::sin(a) * r);
}

// Distance along the tunnel at a frame: steady flight from s = 60 to s = 1930.
float travelAt(float f)
{
    return 60.0f + (f - frameOf(0.0f)) * (1870.0f / (16.0f * kFramesPerSecond));
}

}  // namespace

SceneDef buildTunnel()
{
    SceneDef scene;
    scene.path = "maps/tunnel.3ds";
    scene.frameCount = static_cast<uint32_t>(frameOf(16.0f)) + 90;
    const int rings = static_cast<int>(kLength / kRing);

    // Wall sections of 14 rings each: they take light but cast no shadow.
    for (int section = 0; section * 14 < rings; ++section) {
        std::vector<Vec3> path;
        for (int i = section * 14; i <= std::min(rings, section * 14 + 14); ++i)
            path.push_back(centre(static_cast<float>(i) * kRing));
        MeshDef wall = newMesh(numbered("w*wall", section), "maps/tex/panel.jpg");
        addTube(wall, path, kRadius, 14, 4.0f, 110.0f, true);
        scene.meshes.push_back(wall);
    }

    // Ribs every 100 units: small square tubes around the inside of the wall.
    MeshDef ribs = newMesh("r*ribs", "maps/tex/grate.jpg");
    for (float s = 50.0f; s < kLength; s += 100.0f) {
        std::vector<Vec3> hoop;
        for (int i = 0; i <= 14; ++i)
            hoop.push_back(around(s, 2.0f * kPi * static_cast<float>(i) / 14.0f, kRadius - 5.0f));
        addTube(ribs, hoop, 5.0f, 4, 1.0f, 20.0f, false);
    }
    scene.meshes.push_back(ribs);

    // Two pipes along the lower walls, a walkway grate along the floor, glow strips on the ceiling.
    MeshDef pipes = newMesh("p*pipes", "maps/tex/cable.jpg");
    for (float a : {-0.45f, kPi + 0.45f}) {
        std::vector<Vec3> line;
        for (float s = 0.0f; s <= kLength; s += kRing * 2.0f)
            line.push_back(around(s, a, kRadius - 12.0f));
        addTube(pipes, line, 5.0f, 6, 1.0f, 30.0f, false);
    }
    scene.meshes.push_back(pipes);
    MeshDef grate, strips;
    grate.name = "f*grate";
    grate.material = "maps/tex/grate.jpg";
    strips.name = "%*strips";
    strips.material = "maps/tex/glowstrip.jpg";
    for (float s = 0.0f; s < kLength; s += kRing * 2.0f) {
        float s1 = s + kRing * 2.0f;
        float floorA = -kPi * 0.5f;
        addQuad(grate, around(s, floorA - 0.42f, kRadius - 3.0f), around(s, floorA + 0.42f, kRadius - 3.0f),
                around(s1, floorA + 0.42f, kRadius - 3.0f), around(s1, floorA - 0.42f, kRadius - 3.0f), 2.0f, 2.0f);
        float topA = kPi * 0.5f;
        addQuad(strips, around(s, topA - 0.07f, kRadius - 2.0f), around(s, topA + 0.07f, kRadius - 2.0f),
                around(s1, topA + 0.07f, kRadius - 2.0f), around(s1, topA - 0.07f, kRadius - 2.0f), 1.0f, 1.0f);
    }
    scene.meshes.push_back(grate);
    scene.meshes.push_back(strips);

    // Electrodes: cones whose base sits outside the wall and whose tip (the last vertex, the rest
    // position) points into the tunnel; the arcs leap from the tip away from the base.
    for (int i = 0; i < 8; ++i) {
        float s = 260.0f + 215.0f * static_cast<float>(i);
        float a = (i % 2 == 0) ? 0.25f : kPi - 0.25f;
        Vec3 f, sd, l;
        frameAt(s, f, sd, l);
        Vec3 outward = normalize(around(s, a, 1.0f) - centre(s));
        Vec3 tip = centre(s) + outward * 44.0f;
        Vec3 base = centre(s) + outward * 108.0f;
        MeshDef electrode = newMesh(numbered("#coil", i), "maps/tex/coil.jpg");
        addFrustum(electrode, Vec3{}, 9.0f, 0.0f, 64.0f, 6, 1.0f, 20.0f);
        Vec3 ax = normalize(cross(-outward, f));
        placeLocal(electrode, 0, base, ax, -outward, f);
        setRestPosition(electrode, tip);
        scene.meshes.push_back(electrode);
    }

    // The far end: a bright portal closing the tube, unlit so it shines whatever the lamps do.
    MeshDef portal = newMesh("^portal", "maps/tex/portal.jpg");
    {
        Vec3 f, sd, l;
        frameAt(kLength, f, sd, l);
        Vec3 c = centre(kLength);
        addQuad(portal, c - sd * kRadius - l * kRadius, c + sd * kRadius - l * kRadius, c + sd * kRadius + l * kRadius,
                c - sd * kRadius + l * kRadius);
    }
    scene.meshes.push_back(portal);

    // Lamps every 150 units, alternating cyan, magenta and amber.
    const Vec3 colours[3] = {{0.35f, 0.85f, 1.0f}, {1.0f, 0.35f, 0.8f}, {1.0f, 0.72f, 0.32f}};
    int n = 0;
    for (float s = 40.0f; s < kLength; s += 150.0f, ++n) {
        scene.lights.push_back(makeLight(numbered("Lamp", n), around(s, kPi * 0.5f, 40.0f), colours[n % 3], 240.0f));
    }

    // Two cameras flying the tunnel, handing over half way.
    PathFn eye = [](float f) { return centre(travelAt(f)) + Vec3{0.0f, -8.0f, 0.0f}; };
    PathFn target = [](float f) { return centre(travelAt(f) + 150.0f) + Vec3{0.0f, -12.0f, 0.0f}; };
    uint32_t mid = static_cast<uint32_t>(frameOf(8.0f)), end = static_cast<uint32_t>(frameOf(16.0f));
    scene.cameras.push_back(
        makeCamera("CamIn", eye, target, cameraFrames(static_cast<uint32_t>(frameOf(0.0f)), mid, 24, 1)));
    scene.cameras.push_back(makeCamera("CamOut", eye, target, cameraFrames(mid, end, 24, 2)));
    return scene;
}

}  // namespace ag
