// maps/wood.3ds, the Opening scene: a wood at night flown through by four cameras. A lantern-lit
// trail leads to a glade around a giant tree, the view climbs over the moonlit canopy and sinks
// into a misty hollow with a ring of standing stones. Drawn through the face grid (cells of 200)
// with fog, so trees are spread over 16 x 16 cells and kept off the flight paths.
#include <algorithm>
#include <cmath>

#include "tools/assetgen/noise.h"
#include "tools/assetgen/scenekit.h"

namespace ag {

namespace {

constexpr float kHalf = 1600.0f;     // the ground spans -kHalf .. kHalf on x and z
const Vec3 kGlade{-120.0f, 0.0f, -150.0f};
const Vec3 kHollow{820.0f, 0.0f, 640.0f};
constexpr float kGladeRadius = 270.0f;
constexpr float kHollowRadius = 330.0f;

// Scene time (seconds) to animation frame: the first camera's key 1 sits at frame 30.
float frameOf(float seconds) { return 30.0f + seconds * kFramesPerSecond; }
uint32_t frameAt(float seconds) { return static_cast<uint32_t>(frameOf(seconds) + 0.5f); }

float terrainHeight(float x, float z) {
    float h = 16.0f * fbm(x / 430.0f, z / 430.0f, 4096, 3, 101u) + 5.0f * fbm(x / 120.0f, z / 120.0f, 4096, 2, 102u);
    float gd = flatDistance(Vec3{x, 0.0f, z}, kGlade) / kGladeRadius;
    h *= smoothstep(0.5f, 1.3f, gd);  // the glade is level
    float hd = flatDistance(Vec3{x, 0.0f, z}, kHollow) / (kHollowRadius * 1.25f);
    h -= 38.0f * (1.0f - smoothstep(0.2f, 1.0f, hd));
    return h;
}

Vec3 onGround(float x, float z, float lift = 0.0f) { return Vec3{x, terrainHeight(x, z) + lift, z}; }

// The trail walked by the first camera, s from 0 (deep in the wood) to 1 (the glade's edge).
Vec3 trail(float s) {
    float x = -1000.0f + 800.0f * s;
    float z = 600.0f - 520.0f * s + 90.0f * std::sin(2.5f * kPi * s);
    return Vec3{x, 0.0f, z};
}

// Shot 1 (0 - 12 s): low along the trail.
Vec3 shot1Eye(float f) {
    float s = (f - frameOf(0.0f)) / (frameOf(12.0f) - frameOf(0.0f));
    Vec3 p = trail(s);
    return onGround(p.x, p.z, 24.0f + 4.0f * std::sin(s * 9.0f));
}
Vec3 shot1Target(float f) {
    float s = (f - frameOf(0.0f)) / (frameOf(12.0f) - frameOf(0.0f));
    Vec3 p = trail(s + 0.12f);
    return onGround(p.x, p.z, 18.0f);
}

// Shot 2 (12 - 22 s): half a turn around the giant tree, climbing.
float shot2Angle(float f) {
    float s = (f - frameOf(12.0f)) / (frameOf(22.0f) - frameOf(12.0f));
    return 1.9f + 3.3f * s;
}
Vec3 shot2Eye(float f) {
    float s = (f - frameOf(12.0f)) / (frameOf(22.0f) - frameOf(12.0f));
    float a = shot2Angle(f);
    float r = 200.0f - 25.0f * s;
    return Vec3{kGlade.x + r * std::cos(a), 30.0f + 55.0f * s, kGlade.z + r * std::sin(a)};
}
Vec3 shot2Target(float f) {
    float s = (f - frameOf(12.0f)) / (frameOf(22.0f) - frameOf(12.0f));
    return Vec3{kGlade.x, 55.0f + 40.0f * s, kGlade.z};
}

// Shot 3 (22 - 33 s): up over the canopy towards the hollow.
Vec3 shot3Eye(float f) {
    float s = (f - frameOf(22.0f)) / (frameOf(33.0f) - frameOf(22.0f));
    Vec3 from{kGlade.x + 120.0f, 120.0f, kGlade.z + 260.0f};
    Vec3 to{kHollow.x - 520.0f, 300.0f, kHollow.z - 260.0f};
    Vec3 p = lerp(from, to, s);
    p.y = from.y + (to.y - from.y) * std::sqrt(std::max(0.0f, s)) + 20.0f * std::sin(s * 5.0f);
    p.x += 90.0f * std::sin(s * kPi);
    return p;
}
Vec3 shot3Target(float f) {
    float s = (f - frameOf(22.0f)) / (frameOf(33.0f) - frameOf(22.0f));
    Vec3 e = shot3Eye(f);
    Vec3 ahead = lerp(Vec3{kGlade.x + 600.0f, 40.0f, kGlade.z + 700.0f}, kHollow, s);
    return lerp(ahead, e, 0.0f);
}

// Shot 4 (33 - 44 s): down into the hollow, pushing in on the stone ring.
Vec3 shot4Eye(float f) {
    float s = (f - frameOf(33.0f)) / (frameOf(44.0f) - frameOf(33.0f));
    float e = 1.0f - (1.0f - s) * (1.0f - s);
    Vec3 from{kHollow.x - 470.0f, 230.0f, kHollow.z - 300.0f};
    Vec3 to{kHollow.x - 150.0f, terrainHeight(kHollow.x - 150.0f, kHollow.z - 95.0f) + 40.0f, kHollow.z - 95.0f};
    return lerp(from, to, e);
}
Vec3 shot4Target(float f) {
    float s = (f - frameOf(33.0f)) / (frameOf(44.0f) - frameOf(33.0f));
    return Vec3{kHollow.x, terrainHeight(kHollow.x, kHollow.z) + 30.0f + 40.0f * (1.0f - s), kHollow.z};
}

// Horizontal distance from (x, z) to the nearest low flight path sample.
struct PathClearance {
    std::vector<Vec3> samples;
    float distance(float x, float z) const {
        float best = 1e9f;
        for (const Vec3& p : samples) best = std::min(best, std::hypot(p.x - x, p.z - z));
        return best;
    }
};

void addStandingStone(MeshDef& m, Vec3 base, Vec3 size, float angle, float lean) {
    size_t first = m.vertices.size();
    addBox(m, base + Vec3{0.0f, size.y * 0.5f - 6.0f, 0.0f}, size, 60.0f, false);
    // Taper the top and lean the stone a little.
    for (size_t i = first; i < m.vertices.size(); ++i) {
        Vec3& v = m.vertices[i];
        float t = (v.y - base.y) / size.y;
        v.x = base.x + (v.x - base.x) * (1.0f - 0.25f * t);
        v.z = base.z + (v.z - base.z) * (1.0f - 0.25f * t);
        v.x += lean * t * size.y;
    }
    rotateY(m, first, angle, base);
}

}  // namespace

SceneDef buildWood() {
    SceneDef scene;
    scene.path = "maps/wood.3ds";
    scene.frameCount = frameAt(44.0f) + 60;
    Rng rng(1001u);

    // --- Cameras (built first: the trees keep clear of their paths) ---
    const uint32_t step = 45;
    scene.cameras.push_back(makeCamera("CamTrail", shot1Eye, shot1Target, cameraFrames(frameAt(0), frameAt(12), step, 1)));
    scene.cameras.push_back(makeCamera("CamGlade", shot2Eye, shot2Target, cameraFrames(frameAt(12), frameAt(22), step, 1)));
    scene.cameras.push_back(makeCamera("CamCanopy", shot3Eye, shot3Target, cameraFrames(frameAt(22), frameAt(33), step, 1)));
    scene.cameras.push_back(makeCamera("CamHollow", shot4Eye, shot4Target, cameraFrames(frameAt(33), frameAt(44), step, 2)));

    PathClearance clear;
    for (float f = 0.0f; f <= frameOf(44.0f) + 90.0f; f += 4.0f) {
        for (const CameraDef& c : scene.cameras) {
            Vec3 e, t;
            if (!cameraAt(c, f, e, t)) continue;
            if (e.y - terrainHeight(e.x, e.z) < 160.0f) clear.samples.push_back(e);
        }
    }

    // --- Ground ---
    const std::string moss = "maps/tex/moss.jpg", bark = "maps/tex/bark.jpg", needles = "maps/tex/needles.jpg";
    const std::string leaves = "maps/tex/leaves.jpg", rock = "maps/tex/rock.jpg";
    MeshDef ground;
    ground.name = "g*ground";
    ground.material = moss;
    addTerrain(ground, -kHalf, -kHalf, kHalf, kHalf, 64, 64, terrainHeight, 90.0f);
    scene.meshes.push_back(ground);

    // --- The giant tree of the glade ---
    MeshDef giant;
    giant.name = "GiantTrunk";
    giant.material = bark;
    Vec3 gBase = onGround(kGlade.x, kGlade.z);
    addFrustum(giant, gBase - Vec3{0.0f, 4.0f, 0.0f}, 30.0f, 17.0f, 150.0f, 10, 3.0f, 60.0f);
    for (int i = 0; i < 5; ++i) {  // roots: slanted slabs spreading out
        float a = static_cast<float>(i) * 2.0f * kPi / 5.0f + 0.4f;
        size_t first = giant.vertices.size();
        addBox(giant, gBase + Vec3{38.0f, 4.0f, 0.0f}, Vec3{60.0f, 16.0f, 10.0f}, 40.0f, false);
        for (size_t v = first; v < giant.vertices.size(); ++v) {
            float t = (giant.vertices[v].x - gBase.x - 8.0f) / 60.0f;
            giant.vertices[v].y -= 14.0f * t;
        }
        rotateY(giant, first, a, gBase);
    }
    setRestPosition(giant, gBase);
    scene.meshes.push_back(giant);
    MeshDef giantCrown;
    giantCrown.name = "GiantCrown";
    giantCrown.material = leaves;
    addEllipsoid(giantCrown, gBase + Vec3{0.0f, 185.0f, 0.0f}, Vec3{115.0f, 60.0f, 105.0f}, 6, 12, 4.0f, 2.0f);
    addEllipsoid(giantCrown, gBase + Vec3{60.0f, 150.0f, 40.0f}, Vec3{70.0f, 45.0f, 70.0f}, 5, 9, 3.0f, 1.0f);
    addEllipsoid(giantCrown, gBase + Vec3{-65.0f, 160.0f, -30.0f}, Vec3{75.0f, 45.0f, 70.0f}, 5, 9, 3.0f, 1.0f);
    scene.meshes.push_back(giantCrown);

    // --- Hero trees by the trail (these cast shadows) ---
    int heroCount = 0;
    for (int i = 0; i < 9; ++i) {
        float s = 0.05f + 0.11f * static_cast<float>(i);
        Vec3 p = trail(s);
        float side = (i % 2 == 0) ? 1.0f : -1.0f;
        Vec3 dir = normalize(trail(s + 0.01f) - p);
        Vec3 normal{-dir.z, 0.0f, dir.x};
        Vec3 at = p + normal * (side * rng.range(85.0f, 120.0f));
        MeshDef trunk, crown;
        trunk.name = numbered("Oak", heroCount);
        trunk.material = bark;
        crown.name = numbered("c*crown", heroCount);  // only the trunks cast shadows: cheaper to light
        crown.material = leaves;
        addBroadleaf(trunk, crown, onGround(at.x, at.z), rng.range(150.0f, 190.0f), rng.range(0.0f, 6.28f));
        setRestPosition(trunk, onGround(at.x, at.z));
        scene.meshes.push_back(trunk);
        scene.meshes.push_back(crown);
        ++heroCount;
    }

    // --- Rocks along the way ---
    MeshDef rocks;
    rocks.name = "r*rocks";
    rocks.material = rock;
    for (int i = 0; i < 40; ++i) {
        float x = rng.range(-kHalf + 60.0f, kHalf - 60.0f), z = rng.range(-kHalf + 60.0f, kHalf - 60.0f);
        if (clear.distance(x, z) < 40.0f) continue;
        float r = rng.range(8.0f, 22.0f);
        size_t first = rocks.vertices.size();
        addEllipsoid(rocks, onGround(x, z, r * 0.2f), Vec3{r, r * 0.6f, r * 0.8f}, 3, 6, 1.0f, 1.0f);
        rotateY(rocks, first, rng.range(0.0f, 6.28f), onGround(x, z));
    }
    scene.meshes.push_back(rocks);

    // --- The stone ring in the hollow ---
    Vec3 hBase = onGround(kHollow.x, kHollow.z);
    for (int i = 0; i < 7; ++i) {
        float a = static_cast<float>(i) * 2.0f * kPi / 7.0f + 0.3f;
        Vec3 at = onGround(kHollow.x + 115.0f * std::cos(a), kHollow.z + 115.0f * std::sin(a));
        MeshDef stone;
        stone.name = numbered("Stone", i);
        stone.material = rock;
        addStandingStone(stone, at, Vec3{rng.range(16.0f, 24.0f), rng.range(55.0f, 80.0f), 10.0f}, -a, rng.range(-0.08f, 0.08f));
        setRestPosition(stone, at);
        scene.meshes.push_back(stone);
    }
    MeshDef monolith;
    monolith.name = "Monolith";
    monolith.material = rock;
    addStandingStone(monolith, hBase, Vec3{26.0f, 120.0f, 14.0f}, 0.6f, 0.0f);
    setRestPosition(monolith, hBase);
    scene.meshes.push_back(monolith);
    MeshDef runes;  // unlit glyphs glowing on the monolith's faces, drawn additively
    runes.name = "^%runes";
    runes.material = "maps/tex/runes.jpg";
    {
        size_t first = runes.vertices.size();
        Vec3 c = hBase + Vec3{0.0f, 50.0f, 0.0f};
        addQuad(runes, c + Vec3{-10.0f, -40.0f, 7.6f}, c + Vec3{10.0f, -40.0f, 7.6f}, c + Vec3{8.0f, 45.0f, 7.6f},
                c + Vec3{-8.0f, 45.0f, 7.6f});
        addQuad(runes, c + Vec3{10.0f, -40.0f, -7.6f}, c + Vec3{-10.0f, -40.0f, -7.6f}, c + Vec3{-8.0f, 45.0f, -7.6f},
                c + Vec3{8.0f, 45.0f, -7.6f});
        rotateY(runes, first, 0.6f, hBase);
    }
    scene.meshes.push_back(runes);

    // --- Lantern posts along the trail ---
    MeshDef posts, lamps;
    posts.name = "l*posts";
    posts.material = bark;
    lamps.name = "^*lamps";  // unlit: the lamp glass shows its own glow
    lamps.material = "maps/tex/lamp.jpg";
    std::vector<Vec3> lanternLights;
    for (int i = 0; i < 8; ++i) {
        float s = 0.02f + 0.125f * static_cast<float>(i);
        Vec3 p = trail(s);
        Vec3 dir = normalize(trail(s + 0.01f) - p);
        Vec3 normal{-dir.z, 0.0f, dir.x};
        float side = (i % 2 == 0) ? -1.0f : 1.0f;
        Vec3 at = onGround(p.x + normal.x * side * 34.0f, p.z + normal.z * side * 34.0f);
        addBox(posts, at + Vec3{0.0f, 20.0f, 0.0f}, Vec3{3.0f, 44.0f, 3.0f}, 30.0f, false);
        addBox(posts, at + Vec3{-side * normal.x * 5.0f, 41.0f, -side * normal.z * 5.0f}, Vec3{10.0f, 2.0f, 2.0f}, 30.0f, false);
        Vec3 lampAt = at + Vec3{-side * normal.x * 9.0f, 33.0f, -side * normal.z * 9.0f};
        addFrustum(lamps, lampAt, 3.5f, 2.5f, 8.0f, 6, 1.0f, 8.0f, true, true);
        lanternLights.push_back(lampAt + Vec3{-side * normal.x * 6.0f, 2.0f, -side * normal.z * 6.0f});
    }
    scene.meshes.push_back(posts);
    scene.meshes.push_back(lamps);

    // --- Glowing mushrooms in the glade ---
    MeshDef stems, caps;
    stems.name = "m*stems";
    stems.material = "maps/tex/mushroom.jpg";
    caps.name = "^*caps";
    caps.material = "maps/tex/mushroom.jpg";
    std::vector<Vec3> mushroomSpots;
    for (int cluster = 0; cluster < 6; ++cluster) {
        float a = static_cast<float>(cluster) * 1.05f + 0.5f;
        Vec3 c{kGlade.x + 85.0f * std::cos(a), 0.0f, kGlade.z + 85.0f * std::sin(a)};
        mushroomSpots.push_back(onGround(c.x, c.z, 6.0f));
        for (int k = 0; k < 5; ++k) {
            Vec3 at = onGround(c.x + rng.range(-14.0f, 14.0f), c.z + rng.range(-14.0f, 14.0f));
            float h = rng.range(4.0f, 11.0f);
            addFrustum(stems, at - Vec3{0.0f, 1.0f, 0.0f}, 1.2f, 0.9f, h, 5, 1.0f, 10.0f);
            addFrustum(caps, at + Vec3{0.0f, h, 0.0f}, h * 0.55f, 0.0f, h * 0.35f, 7, 1.0f, 10.0f, false, true);
        }
    }
    scene.meshes.push_back(stems);
    scene.meshes.push_back(caps);

    // --- Light shafts falling into the glade ---
    MeshDef shafts;
    shafts.name = "%*shafts";  // additive, lit by the moon and the glade, casting no shadow
    shafts.material = "maps/tex/shaft.jpg";
    for (int i = 0; i < 2; ++i) {
        float a = 4.2f + 1.3f * static_cast<float>(i);
        Vec3 foot = onGround(kGlade.x + 190.0f * std::cos(a), kGlade.z + 190.0f * std::sin(a));
        Vec3 top = foot + Vec3{-40.0f, 230.0f, 30.0f};
        for (int q = 0; q < 2; ++q) {
            Vec3 side = q == 0 ? Vec3{16.0f, 0.0f, 0.0f} : Vec3{0.0f, 0.0f, 16.0f};
            addQuad(shafts, foot - side, foot + side, top + side * 1.6f, top - side * 1.6f);
        }
    }
    scene.meshes.push_back(shafts);

    // --- Mist: translucent sheets in the hollow, along the trail and around the glade ---
    const char* mistNames[3] = {"%*mistHollow", "%*mistTrail", "%*mistGlade"};
    for (int area = 0; area < 3; ++area) {
        MeshDef mist;
        mist.name = mistNames[area];
        mist.material = "maps/tex/mist.jpg";
        int count = area == 0 ? 10 : 8;
        for (int i = 0; i < count; ++i) {
            Vec3 c;
            if (area == 0) {
                float a = rng.range(0.0f, 6.28f), r = rng.range(0.0f, kHollowRadius);
                c = Vec3{kHollow.x + r * std::cos(a), 0.0f, kHollow.z + r * std::sin(a)};
            } else if (area == 1) {
                Vec3 p = trail(rng.range(0.0f, 1.0f));
                c = p + Vec3{rng.range(-90.0f, 90.0f), 0.0f, rng.range(-90.0f, 90.0f)};
            } else {
                float a = rng.range(0.0f, 6.28f);
                c = Vec3{kGlade.x + (kGladeRadius + 40.0f) * std::cos(a), 0.0f, kGlade.z + (kGladeRadius + 40.0f) * std::sin(a)};
            }
            float h = terrainHeight(c.x, c.z) + rng.range(7.0f, 14.0f);
            float half = rng.range(50.0f, 80.0f);
            size_t first = mist.vertices.size();
            addQuad(mist, Vec3{c.x - half, h, c.z + half}, Vec3{c.x + half, h, c.z + half}, Vec3{c.x + half, h, c.z - half},
                    Vec3{c.x - half, h, c.z - half});
            rotateY(mist, first, rng.range(0.0f, 6.28f), Vec3{c.x, h, c.z});
        }
        scene.meshes.push_back(mist);
    }

    // --- The wood itself: pines and broadleaf trees, grouped per block of 4 x 4 cells ---
    const float block = 800.0f;
    for (int bz = 0; bz < 4; ++bz) {
        for (int bx = 0; bx < 4; ++bx) {
            MeshDef trunks, pines, crowns;
            trunks.name = "t*trunks" + std::to_string(bz * 4 + bx);
            trunks.material = bark;
            pines.name = "t*pines" + std::to_string(bz * 4 + bx);
            pines.material = needles;
            crowns.name = "t*crowns" + std::to_string(bz * 4 + bx);
            crowns.material = leaves;
            float x0 = -kHalf + block * static_cast<float>(bx), z0 = -kHalf + block * static_cast<float>(bz);
            const float spacing = 118.0f;
            for (float z = z0 + spacing * 0.5f; z < z0 + block; z += spacing) {
                for (float x = x0 + spacing * 0.5f; x < x0 + block; x += spacing) {
                    float px = x + rng.range(-0.45f, 0.45f) * spacing, pz = z + rng.range(-0.45f, 0.45f) * spacing;
                    float kind = rng.uniform(), height = rng.range(0.75f, 1.25f), angle = rng.range(0.0f, 6.28f);
                    if (std::fabs(px) > kHalf - 20.0f || std::fabs(pz) > kHalf - 20.0f) continue;
                    if (clear.distance(px, pz) < 55.0f) continue;
                    Vec3 p{px, 0.0f, pz};
                    if (flatDistance(p, kGlade) < kGladeRadius || flatDistance(p, kHollow) < kHollowRadius) continue;
                    if (kind < 0.6f) addPine(trunks, pines, onGround(px, pz), 150.0f * height, angle);
                    else addBroadleaf(trunks, crowns, onGround(px, pz), 120.0f * height, angle);
                }
            }
            if (!trunks.faces.empty()) scene.meshes.push_back(trunks);
            if (!pines.faces.empty()) scene.meshes.push_back(pines);
            if (!crowns.faces.empty()) scene.meshes.push_back(crowns);
        }
    }

    // --- Particle emitters ---
    int emitterCount = 0;
    // Lantern halos: a pulsing glow at each lamp (shrinking particles keep the fill small when the
    // camera passes close by).
    for (size_t i = 0; i < lanternLights.size(); ++i) {
        MeshDef halo;
        halo.name = numbered("*2halo", static_cast<int>(i));
        halo.material = "maps/tex/sparkr.jpg";
        addMarker(halo, lanternLights[i], 2.0f);
        setRestPosition(halo, lanternLights[i]);
        scene.meshes.push_back(halo);
        ++emitterCount;
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
            if (clear.distance(centre.x, centre.z) > radius + 70.0f) break;
        }
        float phase = rng.range(0.0f, 6.28f), speed = rng.range(0.006f, 0.01f);
        PathFn loop = [=](float f) {
            float a = phase + f * speed;
            return centre + Vec3{radius * std::cos(a), 14.0f * std::sin(a * 2.3f), radius * 0.7f * std::sin(a)};
        };
        MeshDef fly;
        fly.name = numbered("*1firefly", i);
        fly.material = i % 3 == 2 ? "maps/tex/spark.jpg" : "maps/tex/sparkg.jpg";
        addMarker(fly, centre, 2.0f);
        fly.positionKeys = bezierChain(loop, 0, lastFrame, 12);
        scene.meshes.push_back(fly);
        ++emitterCount;
    }
    // Mushroom glows: steady blue sparks over every other cluster.
    for (size_t i = 0; i < mushroomSpots.size(); i += 2) {
        MeshDef puff;
        puff.name = numbered("*0puff", static_cast<int>(i / 2));
        puff.material = "maps/tex/sparkb.jpg";
        addMarker(puff, mushroomSpots[i], 2.0f);
        setRestPosition(puff, mushroomSpots[i]);
        scene.meshes.push_back(puff);
        ++emitterCount;
    }
    // Spores rising all over the glade, and wisps over the stone ring: scattered over the box of
    // their vertices.
    {
        MeshDef spores;
        spores.name = "*3spores";
        spores.material = "maps/tex/sparkg.jpg";
        addMarker(spores, kGlade + Vec3{-160.0f, 10.0f, -160.0f}, 3.0f);
        addMarker(spores, kGlade + Vec3{160.0f, 70.0f, 160.0f}, 3.0f);
        setRestPosition(spores, onGround(kGlade.x, kGlade.z, 30.0f));
        scene.meshes.push_back(spores);
        MeshDef wisps;
        wisps.name = "*3wisps";
        wisps.material = "maps/tex/sparkb.jpg";
        addMarker(wisps, hBase + Vec3{-130.0f, 5.0f, -130.0f}, 3.0f);
        addMarker(wisps, hBase + Vec3{130.0f, 60.0f, 130.0f}, 3.0f);
        setRestPosition(wisps, hBase + Vec3{0.0f, 30.0f, 0.0f});
        scene.meshes.push_back(wisps);
        emitterCount += 2;
    }

    scene.meshes.push_back(gridAnchor(-kHalf - 200.0f, -kHalf - 200.0f, moss));

    // --- Lights ---
    const Vec3 moon{0.55f, 0.62f, 0.95f};
    const Vec3 skySpots[4] = {{-700.0f, 0.0f, 350.0f}, {-120.0f, 0.0f, -150.0f}, {350.0f, 0.0f, 350.0f}, {820.0f, 0.0f, 640.0f}};
    for (int i = 0; i < 4; ++i) {
        scene.lights.push_back(makeLight(numbered("Moon", i), skySpots[i] + Vec3{150.0f, 650.0f, -100.0f}, moon, 1000.0f));
    }
    for (size_t i = 0; i < lanternLights.size(); ++i) {
        scene.lights.push_back(makeLight(numbered("Lantern", static_cast<int>(i)), lanternLights[i],
                                         Vec3{1.0f, 0.62f, 0.28f}, 190.0f));
    }
    for (int i = 0; i < 4; ++i) {
        float a = static_cast<float>(i) * kPi * 0.5f + 0.2f;
        Vec3 at = onGround(kGlade.x + 130.0f * std::cos(a), kGlade.z + 130.0f * std::sin(a), 22.0f);
        scene.lights.push_back(makeLight(numbered("GladeGlow", i), at, Vec3{0.25f, 0.85f, 0.75f}, 230.0f));
    }
    for (int i = 0; i < 4; ++i) {
        float a = static_cast<float>(i) * kPi * 0.5f + 0.9f;
        Vec3 at = hBase + Vec3{60.0f * std::cos(a), 45.0f, 60.0f * std::sin(a)};
        scene.lights.push_back(makeLight(numbered("RuneLight", i), at, Vec3{0.45f, 0.65f, 1.0f}, 260.0f));
    }
    return scene;
}

}  // namespace ag
