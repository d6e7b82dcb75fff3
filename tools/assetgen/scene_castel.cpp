// maps/castel.3ds, the Credits scene: a walled castle on a hill in a forest at night, flown around
// by three cameras and drawn through the face grid with a short view range. Torches on the walls
// are particle emitters with firelight beside them; a spiked crown on the keep tower and a rod on
// the gatehouse are bolt objects ('#') that throw orange arcs.
#include <cmath>

#include "tools/assetgen/noise.h"
#include "tools/assetgen/scenekit.h"

namespace ag {

namespace {

constexpr float kHalf = 1200.0f;
constexpr float kWall = 180.0f;  // the walls stand at x, z = +-kWall
constexpr float kWallHeight = 70.0f;
constexpr float kPlateau = 60.0f;  // height of the hill top the castle stands on
const std::string kStone = "maps/tex/stone.jpg", kRoof = "maps/tex/roof.jpg";
// The wall corners, north-west first, clockwise seen from above.
const Vec3 kCorners[4] = {
    {-kWall, kPlateau, -kWall}, {kWall, kPlateau, -kWall}, {kWall, kPlateau, kWall}, {-kWall, kPlateau, kWall}};
const Vec3 kKeepAt{-40.0f, kPlateau, -50.0f};
const Vec3 kSpireAt = kKeepAt + Vec3{35.0f, 0.0f, 28.0f};  // the keep tower, with the crown on top

float terrainHeight(float x, float z)
{
    float r = std::hypot(x, z);
    float hill = kPlateau * (1.0f - smoothstep(260.0f, 620.0f, r));
    float rough = 14.0f * fbm(x / 300.0f, z / 300.0f, 4096, 3, 901u) * smoothstep(200.0f, 500.0f, r);
    // The road runs down from the gate towards +z.
    float road = std::exp(-x * x / (2.0f * 40.0f * 40.0f)) * smoothstep(200.0f, 300.0f, z);
    return hill + rough * (1.0f - 0.8f * road);
}

Vec3 onGround(float x, float z, float lift = 0.0f)
{
    return Vec3{x, terrainHeight(x, z) + lift, z};
}

void addBattlement(MeshDef& m, Vec3 from, Vec3 to, float y)
{
    Vec3 d = to - from;
    float len = length(d);
    int count = static_cast<int>(len / 30.0f);
    Vec3 dir = d / len;
    for (int i = 0; i < count; ++i) {
        Vec3 c = from + dir * ((static_cast<float>(i) + 0.5f) * len / static_cast<float>(count));
        Vec3 size = std::fabs(dir.x) > 0.5f ? Vec3{14.0f, 12.0f, 18.0f} : Vec3{18.0f, 12.0f, 14.0f};
        addBox(m, Vec3{c.x, y + 6.0f, c.z}, size, 30.0f, false);
    }
}

// A round tower with a conical roof; returns the height of its top.
float addTower(MeshDef& body, MeshDef& roof, Vec3 base, float radius, float height, float roofHeight)
{
    addFrustum(body, base - Vec3{0.0f, 10.0f, 0.0f}, radius * 1.08f, radius, height + 10.0f, 10, 3.0f, 60.0f, true,
               false);
    addFrustum(roof, base + Vec3{0.0f, height, 0.0f}, radius * 1.25f, 0.0f, roofHeight, 10, 2.0f, 60.0f, false, true);
    return base.y + height;
}

void addHouse(MeshDef& walls, MeshDef& roof, Vec3 base, Vec3 size, float angle)
{
    size_t w0 = walls.vertices.size(), r0 = roof.vertices.size();
    addBox(walls, base + Vec3{0.0f, size.y * 0.5f - 4.0f, 0.0f}, size + Vec3{0.0f, 8.0f, 0.0f}, 60.0f, false);
    float h = size.y, rx = size.x * 0.5f + 4.0f, rz = size.z * 0.5f + 4.0f, ridge = size.x * 0.45f;
    Vec3 a{base.x - rx, base.y + h, base.z - rz}, b{base.x + rx, base.y + h, base.z - rz};
    Vec3 c{base.x + rx, base.y + h, base.z + rz}, d{base.x - rx, base.y + h, base.z + rz};
    Vec3 t0{base.x - rx, base.y + h + ridge, base.z}, t1{base.x + rx, base.y + h + ridge, base.z};
    addQuad(roof, d, c, t1, t0, 3.0f, 2.0f);
    addQuad(roof, b, a, t0, t1, 3.0f, 2.0f);
    addTriangle(roof, a, d, t0, {0.0f, 0.0f}, {1.0f, 0.0f}, {0.5f, 1.0f});
    addTriangle(roof, c, b, t1, {0.0f, 0.0f}, {1.0f, 0.0f}, {0.5f, 1.0f});
    rotateY(walls, w0, angle, base);
    rotateY(roof, r0, angle, base);
}

// Prongs hanging down and out from a hub; the arcs leap away from the prong tips, up and outward.
MeshDef boltCrown(const std::string& name, Vec3 hub, int prongs, float reach, float drop)
{
    MeshDef m = newMesh(name, "maps/tex/coil.jpg");
    for (int i = 0; i < prongs; ++i) {
        float a = 2.0f * kPi * static_cast<float>(i) / static_cast<float>(prongs);
        Vec3 dir{std::cos(a), 0.0f, std::sin(a)};
        Vec3 side{-dir.z, 0.0f, dir.x};
        Vec3 tip = hub + dir * reach - Vec3{0.0f, drop, 0.0f};
        addTriangle(m, hub + side * 3.0f, hub - side * 3.0f, tip, {0.0f, 0.0f}, {1.0f, 0.0f}, {0.5f, 1.0f});
    }
    // A short spike up the middle; its top is the last vertex, the one the arcs never pick.
    addTriangle(m, hub - Vec3{2.0f, 0.0f, 0.0f}, hub + Vec3{2.0f, 0.0f, 0.0f}, hub + Vec3{0.0f, 12.0f, 0.0f},
                {0.0f, 0.0f}, {1.0f, 0.0f}, {0.5f, 1.0f});
    setRestPosition(m, hub);
    return m;
}

// Grass over the hill and cobbles in the yard.
void addGround(SceneDef& scene)
{
    MeshDef ground = newMesh("g*ground", "maps/tex/grass.jpg");
    addTerrain(ground, -kHalf, -kHalf, kHalf, kHalf, 48, 48, terrainHeight, 110.0f);
    scene.meshes.push_back(ground);
    MeshDef yard = newMesh("y*yard", "maps/tex/cobble.jpg");
    addPanel(yard, Vec3{-kWall, kPlateau + 0.5f, kWall}, Vec3{2.0f * kWall, 0.0f, 0.0f},
             Vec3{0.0f, 0.0f, -2.0f * kWall}, 8, 8, 90.0f);
    scene.meshes.push_back(yard);
}

// Curtain walls, one mesh per side so that each casts its own shadow.
void addCurtainWalls(SceneDef& scene)
{
    const char* wallNames[4] = {"WallNorth", "WallEast", "WallSouth", "WallWest"};
    for (int i = 0; i < 4; ++i) {
        Vec3 a = kCorners[i], b = kCorners[(i + 1) % 4];
        Vec3 mid = (a + b) * 0.5f;
        bool alongX = std::fabs(a.x - b.x) > 1.0f;
        MeshDef wall = newMesh(wallNames[i], kStone);
        float len = alongX ? std::fabs(a.x - b.x) : std::fabs(a.z - b.z);
        if (i == 2) {
            // The south wall leaves room for the gate.
            for (float sgn : {-1.0f, 1.0f}) {
                Vec3 c{sgn * (kWall + 40.0f) * 0.5f, kPlateau + kWallHeight * 0.5f - 10.0f, kWall};
                addBox(wall, c, Vec3{kWall - 40.0f, kWallHeight + 20.0f, 16.0f}, 60.0f, false);
            }
        } else {
            Vec3 size = alongX ? Vec3{len, kWallHeight + 20.0f, 16.0f} : Vec3{16.0f, kWallHeight + 20.0f, len};
            addBox(wall, Vec3{mid.x, kPlateau + kWallHeight * 0.5f - 10.0f, mid.z}, size, 60.0f, false);
        }
        addBattlement(wall, a, b, kPlateau + kWallHeight);
        scene.meshes.push_back(wall);
    }
}

// The tops that later landmarks stand on: the keep tower's and the gatehouse's.
struct Tops {
    float spire = 0.0f;
    float gate = 0.0f;
};

// Corner towers, the gatehouse with its door, the keep and its tower; all their roofs in one mesh.
Tops addTowersAndKeep(SceneDef& scene)
{
    Tops tops;
    MeshDef roofs = newMesh("RoofsTowers", kRoof);
    for (int i = 0; i < 4; ++i) {
        MeshDef tower = newMesh(numbered("Tower", i), kStone);
        addTower(tower, roofs, kCorners[i], 30.0f, 115.0f, 55.0f);
        scene.meshes.push_back(tower);
    }
    MeshDef gate = newMesh("Gatehouse", kStone);
    for (float sgn : {-1.0f, 1.0f})
        tops.gate = addTower(gate, roofs, Vec3{sgn * 34.0f, kPlateau, kWall + 6.0f}, 20.0f, 100.0f, 40.0f);
    addBox(gate, Vec3{0.0f, kPlateau + 80.0f, kWall + 6.0f}, Vec3{56.0f, 40.0f, 26.0f}, 60.0f, true);
    scene.meshes.push_back(gate);
    MeshDef door = newMesh("d*door", "maps/tex/planks.jpg");
    addQuad(door, Vec3{-22.0f, kPlateau, kWall + 19.5f}, Vec3{22.0f, kPlateau, kWall + 19.5f},
            Vec3{22.0f, kPlateau + 60.0f, kWall + 19.5f}, Vec3{-22.0f, kPlateau + 60.0f, kWall + 19.5f}, 1.0f, 1.0f);
    scene.meshes.push_back(door);

    MeshDef keep = newMesh("Keep", kStone);
    addBox(keep, kKeepAt + Vec3{0.0f, 60.0f, 0.0f}, Vec3{100.0f, 140.0f, 84.0f}, 60.0f, false);
    addBattlement(keep, kKeepAt + Vec3{-50.0f, 0.0f, -42.0f}, kKeepAt + Vec3{50.0f, 0.0f, -42.0f}, kPlateau + 130.0f);
    addBattlement(keep, kKeepAt + Vec3{-50.0f, 0.0f, 42.0f}, kKeepAt + Vec3{50.0f, 0.0f, 42.0f}, kPlateau + 130.0f);
    scene.meshes.push_back(keep);
    MeshDef spire = newMesh("KeepTower", kStone);
    tops.spire = addTower(spire, roofs, kSpireAt, 22.0f, 235.0f, 0.0f);
    scene.meshes.push_back(spire);
    scene.meshes.push_back(roofs);
    return tops;
}

// Lit windows in the keep and up its tower, banners on the north and south walls.
void addWindowsAndBanners(SceneDef& scene)
{
    MeshDef windows = newMesh("^*windows", "maps/tex/window.jpg");  // lit from inside: unlit, full colour
    for (int i = 0; i < 3; ++i) {
        float y = kKeepAt.y + 40.0f + 35.0f * static_cast<float>(i);
        for (float x : {-25.0f, 10.0f}) {
            addQuad(windows, kKeepAt + Vec3{x - 7.0f, y - kKeepAt.y, 42.5f},
                    kKeepAt + Vec3{x + 7.0f, y - kKeepAt.y, 42.5f},
                    kKeepAt + Vec3{x + 7.0f, y + 20.0f - kKeepAt.y, 42.5f},
                    kKeepAt + Vec3{x - 7.0f, y + 20.0f - kKeepAt.y, 42.5f});
        }
    }
    for (int i = 0; i < 4; ++i) {
        float y = kSpireAt.y + 150.0f + 24.0f * static_cast<float>(i);
        float a = 1.2f + static_cast<float>(i) * 1.7f;
        Vec3 n{std::cos(a), 0.0f, std::sin(a)};
        Vec3 t{-n.z, 0.0f, n.x};
        Vec3 c = Vec3{kSpireAt.x, y, kSpireAt.z} + n * 22.8f;
        addQuad(windows, c - t * 5.0f, c + t * 5.0f, c + t * 5.0f + Vec3{0.0f, 14.0f, 0.0f},
                c - t * 5.0f + Vec3{0.0f, 14.0f, 0.0f});
    }
    scene.meshes.push_back(windows);
    MeshDef banner = newMesh("b*banners", "maps/tex/banner.jpg");
    for (float x : {-25.0f, 25.0f}) {
        addQuad(banner, Vec3{x - 12.0f, kPlateau + 20.0f, -kWall - 9.0f},
                Vec3{x + 12.0f, kPlateau + 20.0f, -kWall - 9.0f}, Vec3{x + 12.0f, kPlateau + 65.0f, -kWall - 9.0f},
                Vec3{x - 12.0f, kPlateau + 65.0f, -kWall - 9.0f});
        addQuad(banner, Vec3{x + 12.0f, kPlateau + 20.0f, kWall - 9.0f},
                Vec3{x - 12.0f, kPlateau + 20.0f, kWall - 9.0f}, Vec3{x - 12.0f, kPlateau + 65.0f, kWall - 9.0f},
                Vec3{x + 12.0f, kPlateau + 65.0f, kWall - 9.0f});
    }
    scene.meshes.push_back(banner);
}

// Houses in the yard.
void addHouses(SceneDef& scene)
{
    MeshDef houses = newMesh("Houses", "maps/tex/planks.jpg");
    MeshDef houseRoofs = newMesh("r*houseRoofs", kRoof);
    addHouse(houses, houseRoofs, Vec3{100.0f, kPlateau, -90.0f}, Vec3{60.0f, 36.0f, 44.0f}, 0.1f);
    addHouse(houses, houseRoofs, Vec3{110.0f, kPlateau, 60.0f}, Vec3{50.0f, 32.0f, 40.0f}, -0.2f);
    addHouse(houses, houseRoofs, Vec3{-110.0f, kPlateau, 100.0f}, Vec3{54.0f, 30.0f, 40.0f}, 0.3f);
    scene.meshes.push_back(houses);
    scene.meshes.push_back(houseRoofs);
}

// Bolt objects: the crown on the keep tower and a rod over the gate, each on a short mast.
void addBoltObjects(SceneDef& scene, Tops tops)
{
    scene.meshes.push_back(boltCrown("#crown", Vec3{kSpireAt.x, tops.spire + 18.0f, kSpireAt.z}, 8, 46.0f, 30.0f));
    scene.meshes.push_back(boltCrown("#rod", Vec3{0.0f, tops.gate + 30.0f, kWall + 6.0f}, 4, 24.0f, 22.0f));
    MeshDef mast = newMesh("m*mast", "maps/tex/coil.jpg");
    addFrustum(mast, Vec3{kSpireAt.x, tops.spire - 2.0f, kSpireAt.z}, 3.0f, 2.0f, 20.0f, 6, 1.0f, 20.0f, true, false);
    addFrustum(mast, Vec3{0.0f, tops.gate - 2.0f, kWall + 6.0f}, 2.5f, 1.5f, 32.0f, 6, 1.0f, 20.0f, true, false);
    scene.meshes.push_back(mast);
}

// Three cameras: up the road to the gate, once round the walls, then a climb to the crown.
void addCameras(SceneDef& scene, Tops tops)
{
    const float spireTop = tops.spire;
    PathFn eye1 = [](float f) {
        float s = (f - frameOf(0.0f)) / (frameOf(12.0f) - frameOf(0.0f));
        Vec3 from{60.0f, 0.0f, 1000.0f}, to{-30.0f, 0.0f, 430.0f};
        Vec3 p = lerp(from, to, s);
        return Vec3{p.x, terrainHeight(p.x, p.z) + 50.0f + 80.0f * s, p.z};
    };
    PathFn target1 = [](float f) {
        float s = (f - frameOf(0.0f)) / (frameOf(12.0f) - frameOf(0.0f));
        return lerp(Vec3{0.0f, kPlateau + 60.0f, kWall}, kKeepAt + Vec3{0.0f, 120.0f, 0.0f}, s);
    };
    PathFn eye2 = [](float f) {
        float s = (f - frameOf(12.0f)) / (frameOf(24.0f) - frameOf(12.0f));
        float a = kPi * 0.5f + 0.1f + 3.6f * s;
        return Vec3{430.0f * std::cos(a), kPlateau + 140.0f + 60.0f * s, 430.0f * std::sin(a)};
    };
    PathFn target2 = [](float) { return kKeepAt + Vec3{20.0f, 110.0f, 20.0f}; };
    PathFn eye3 = [spireTop](float f) {
        float s = (f - frameOf(24.0f)) / (frameOf(34.5f) - frameOf(24.0f));
        float a = 1.1f + 1.4f * s;
        float r = 300.0f - 150.0f * s;
        return Vec3{kSpireAt.x + r * std::cos(a), kPlateau + 130.0f + (spireTop - kPlateau - 80.0f) * s,
                    kSpireAt.z + r * std::sin(a)};
    };
    PathFn target3 = [spireTop](float f) {
        float s = (f - frameOf(24.0f)) / (frameOf(34.5f) - frameOf(24.0f));
        return Vec3{kSpireAt.x, spireTop - 100.0f + 120.0f * s, kSpireAt.z};
    };
    const uint32_t step = 45;
    uint32_t f0 = static_cast<uint32_t>(frameOf(0.0f)), f1 = static_cast<uint32_t>(frameOf(12.0f));
    uint32_t f2 = static_cast<uint32_t>(frameOf(24.0f)), f3 = static_cast<uint32_t>(frameOf(34.5f));
    scene.cameras.push_back(makeCamera("CamApproach", eye1, target1, cameraFrames(f0, f1, step, 1)));
    scene.cameras.push_back(makeCamera("CamCircle", eye2, target2, cameraFrames(f1, f2, step, 1)));
    scene.cameras.push_back(makeCamera("CamCrown", eye3, target3, cameraFrames(f2, f3, step, 2)));
}

// The forest around the hill, grouped per block of 3 x 3 cells, kept clear of the road and of the
// cameras' low flight.
void addForest(SceneDef& scene)
{
    Rng rng(2001u);
    std::vector<Vec3> flight;
    for (float f = 0.0f; f < frameOf(36.0f); f += 5.0f) {
        for (const CameraDef& c : scene.cameras) {
            Vec3 e, t;
            if (cameraAt(c, f, e, t))
                flight.push_back(e);
        }
    }
    auto avoid = [&](float x, float z) {
        for (const Vec3& p : flight) {
            if (std::hypot(p.x - x, p.z - z) < 70.0f && p.y - terrainHeight(x, z) < 200.0f)
                return true;
        }
        return false;
    };
    for (int bz = 0; bz < 4; ++bz) {
        for (int bx = 0; bx < 4; ++bx) {
            MeshDef trunks = newMesh("t*trunks" + std::to_string(bz * 4 + bx), "maps/tex/bark.jpg");
            MeshDef pines = newMesh("t*pines" + std::to_string(bz * 4 + bx), "maps/tex/needles.jpg");
            const float block = 600.0f, spacing = 105.0f;
            float x0 = -kHalf + block * static_cast<float>(bx), z0 = -kHalf + block * static_cast<float>(bz);
            for (float z = z0 + spacing * 0.5f; z < z0 + block; z += spacing) {
                for (float x = x0 + spacing * 0.5f; x < x0 + block; x += spacing) {
                    float px = x + rng.range(-0.45f, 0.45f) * spacing, pz = z + rng.range(-0.45f, 0.45f) * spacing;
                    float h = rng.range(100.0f, 170.0f), a = rng.range(0.0f, 6.28f);
                    if (std::hypot(px, pz) < 480.0f || std::fabs(px) > kHalf - 20.0f || std::fabs(pz) > kHalf - 20.0f)
                        continue;
                    if (std::fabs(px) < 60.0f && pz > 0.0f)
                        continue;  // the road
                    if (avoid(px, pz))
                        continue;
                    addPine(trunks, pines, onGround(px, pz), h, a);
                }
            }
            if (!trunks.faces.empty())
                scene.meshes.push_back(trunks);
            if (!pines.faces.empty())
                scene.meshes.push_back(pines);
        }
    }
}

// Torches on the walls and braziers at the gate, emitters with firelight beside them, and sparks
// over the crown.
void addFires(SceneDef& scene, Tops tops)
{
    MeshDef brackets = newMesh("k*brackets", "maps/tex/coil.jpg");
    std::vector<Vec3> torchAt;
    for (int i = 0; i < 4; ++i) {
        Vec3 a = kCorners[i], b = kCorners[(i + 1) % 4];
        Vec3 outward = normalize(Vec3{(a.x + b.x) * 0.5f, 0.0f, (a.z + b.z) * 0.5f});
        for (float t : {0.3f, 0.7f}) {
            if (i == 2)
                t = t < 0.5f ? 0.22f : 0.78f;
            Vec3 p = lerp(a, b, t) + outward * 14.0f + Vec3{0.0f, kWallHeight - 22.0f, 0.0f};
            addFrustum(brackets, p - Vec3{0.0f, 10.0f, 0.0f}, 1.5f, 3.5f, 10.0f, 5, 1.0f, 10.0f, true, false);
            torchAt.push_back(p + Vec3{0.0f, 3.0f, 0.0f});
        }
    }
    for (size_t i = 0; i < torchAt.size(); ++i) {
        scene.meshes.push_back(pointEmitter(numbered(i % 2 == 0 ? "*1torch" : "*2torch", static_cast<int>(i)),
                                            "maps/tex/sparkr.jpg", torchAt[i]));
        Vec3 out = normalize(Vec3{torchAt[i].x, 0.0f, torchAt[i].z});
        scene.lights.push_back(makeLight(numbered("Torch", static_cast<int>(i)),
                                         torchAt[i] + out * 8.0f + Vec3{0.0f, 6.0f, 0.0f}, Vec3{1.0f, 0.55f, 0.22f},
                                         190.0f));
    }
    MeshDef braziers = newMesh("Braziers", "maps/tex/coil.jpg");
    for (float sgn : {-1.0f, 1.0f}) {
        Vec3 at = onGround(sgn * 60.0f, kWall + 70.0f);
        addFrustum(braziers, at, 4.0f, 12.0f, 26.0f, 8, 1.0f, 20.0f, true, false);
        scene.meshes.push_back(boxEmitter(
            sgn < 0.0f ? "*3brazierWest" : "*3brazierEast", sgn < 0.0f ? "maps/tex/sparkr.jpg" : "maps/tex/spark.jpg",
            at + Vec3{-8.0f, 26.0f, -8.0f}, at + Vec3{8.0f, 40.0f, 8.0f}, at + Vec3{0.0f, 30.0f, 0.0f}, 2.0f));
        scene.lights.push_back(makeLight(sgn < 0.0f ? "BrazierWest" : "BrazierEast", at + Vec3{0.0f, 45.0f, 20.0f},
                                         Vec3{1.0f, 0.6f, 0.3f}, 260.0f));
    }
    scene.meshes.push_back(braziers);
    scene.meshes.push_back(brackets);
    scene.meshes.push_back(
        pointEmitter("*0sparks", "maps/tex/sparkb.jpg", Vec3{kSpireAt.x, tops.spire + 30.0f, kSpireAt.z}));
}

// Moonlight over the hill, the glow of the crown, light from the keep's windows.
void addSkyLights(SceneDef& scene, Tops tops)
{
    const Vec3 moon{0.50f, 0.58f, 0.90f};
    scene.lights.push_back(makeLight("MoonHigh", Vec3{-200.0f, 750.0f, 250.0f}, moon, 1150.0f));
    scene.lights.push_back(makeLight("MoonFar", Vec3{500.0f, 650.0f, 700.0f}, moon * 0.7f, 1050.0f));
    scene.lights.push_back(makeLight("CrownGlow", Vec3{kSpireAt.x + 40.0f, tops.spire + 20.0f, kSpireAt.z + 40.0f},
                                     Vec3{1.0f, 0.65f, 0.25f}, 260.0f));
    scene.lights.push_back(
        makeLight("KeepWindows", kKeepAt + Vec3{0.0f, 70.0f, 90.0f}, Vec3{0.9f, 0.6f, 0.3f}, 220.0f));
}

}  // namespace

SceneDef buildCastel()
{
    SceneDef scene;
    scene.path = "maps/castel.3ds";
    scene.frameCount = static_cast<uint32_t>(frameOf(34.5f)) + 90;
    addGround(scene);
    addCurtainWalls(scene);
    Tops tops = addTowersAndKeep(scene);
    addWindowsAndBanners(scene);
    addHouses(scene);
    addBoltObjects(scene, tops);
    addCameras(scene, tops);
    addForest(scene);
    addFires(scene, tops);
    scene.meshes.push_back(gridAnchor(-kHalf - 200.0f, -kHalf - 200.0f, "maps/tex/grass.jpg"));
    addSkyLights(scene, tops);
    return scene;
}

}  // namespace ag
