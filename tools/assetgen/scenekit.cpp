// Helpers shared by the scene builders: trees, emitters and their markers, the grid anchor, names,
// and the list of all scenes. Depends on meshkit and tracks.
#include "tools/assetgen/scenekit.h"

#include <cmath>
#include <cstdio>

namespace ag {

std::vector<SceneDef> buildAllScenes()
{
    std::vector<SceneDef> scenes;
    scenes.push_back(buildWood());
    scenes.push_back(buildTruc());
    scenes.push_back(buildCastel());
    scenes.push_back(buildChose());
    scenes.push_back(buildTunnel());
    scenes.push_back(buildMeta());
    scenes.push_back(buildRoom());
    return scenes;
}

std::string numbered(const std::string& stem, int n)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%02d", n);
    return stem + buf;
}

MeshDef gridAnchor(float minX, float minZ, const std::string& material)
{
    MeshDef m;
    m.name = "g*anchor";
    m.material = material;
    addTriangle(m, Vec3{minX, -400.0f, minZ}, Vec3{minX + 3.0f, -400.0f, minZ + 1.0f},
                Vec3{minX + 1.0f, -400.0f, minZ + 3.0f}, {0.0f, 0.0f}, {0.1f, 0.0f}, {0.0f, 0.1f});
    return m;
}

void addPine(MeshDef& trunks, MeshDef& crowns, Vec3 base, float height, float angle)
{
    size_t t0 = trunks.vertices.size(), c0 = crowns.vertices.size();
    addFrustum(trunks, base - Vec3{0.0f, 3.0f, 0.0f}, height * 0.035f, height * 0.018f, height * 0.35f, 5, 1.0f, 40.0f);
    // Three tiers of needles, each narrower and higher.
    float bottom = height * 0.22f;
    for (int tier = 0; tier < 3; ++tier) {
        float r = height * (0.30f - 0.075f * static_cast<float>(tier));
        float tierBase = bottom + height * 0.22f * static_cast<float>(tier);
        float tierHeight = height - tierBase - height * 0.12f * static_cast<float>(2 - tier);
        addFrustum(crowns, base + Vec3{0.0f, tierBase, 0.0f}, r, 0.0f, tierHeight, 7, 2.0f, 60.0f, false, true);
    }
    rotateY(trunks, t0, angle, base);
    rotateY(crowns, c0, angle, base);
}

void addBroadleaf(MeshDef& trunks, MeshDef& crowns, Vec3 base, float height, float angle)
{
    size_t t0 = trunks.vertices.size(), c0 = crowns.vertices.size();
    float trunkHeight = height * 0.55f;
    addFrustum(trunks, base - Vec3{0.0f, 3.0f, 0.0f}, height * 0.05f, height * 0.03f, trunkHeight + 8.0f, 6, 1.0f,
               40.0f);
    float r = height * 0.33f;
    addEllipsoid(crowns, base + Vec3{height * 0.04f, trunkHeight + r * 0.55f, 0.0f}, Vec3{r, r * 0.8f, r * 0.9f}, 4, 7,
                 2.0f, 1.0f);
    rotateY(trunks, t0, angle, base);
    rotateY(crowns, c0, angle, base);
}

void addMarker(MeshDef& m, Vec3 c, float r)
{
    Vec3 a = c + Vec3{r, -r * 0.3f, 0.0f};
    Vec3 b = c + Vec3{-r * 0.5f, -r * 0.3f, r * 0.87f};
    Vec3 d = c + Vec3{-r * 0.5f, -r * 0.3f, -r * 0.87f};
    Vec3 top = c + Vec3{0.0f, r * 0.6f, 0.0f};
    addTriangle(m, a, b, top, {0.0f, 1.0f}, {1.0f, 1.0f}, {0.5f, 0.0f});
    addTriangle(m, b, d, top, {0.0f, 1.0f}, {1.0f, 1.0f}, {0.5f, 0.0f});
    addTriangle(m, d, a, top, {0.0f, 1.0f}, {1.0f, 1.0f}, {0.5f, 0.0f});
    addTriangle(m, a, d, b, {0.0f, 1.0f}, {1.0f, 1.0f}, {0.5f, 0.0f});
}

MeshDef newMesh(const std::string& name, const std::string& material)
{
    MeshDef m;
    m.name = name;
    m.material = material;
    return m;
}

MeshDef pointEmitter(const std::string& name, const std::string& material, Vec3 at, float r)
{
    MeshDef m = newMesh(name, material);
    addMarker(m, at, r);
    setRestPosition(m, at);
    return m;
}

MeshDef boxEmitter(const std::string& name, const std::string& material, Vec3 low, Vec3 high, Vec3 rest, float r)
{
    MeshDef m = newMesh(name, material);
    addMarker(m, low, r);
    addMarker(m, high, r);
    setRestPosition(m, rest);
    return m;
}

}  // namespace ag

namespace ag {

namespace {

bool isTrack3m1(const std::vector<TrackKey>& keys)
{
    return keys.size() >= 4 && (keys.size() - 1) % 3 == 0;
}

size_t countNamed(const SceneDef& scene, bool (*test)(const std::string&))
{
    size_t n = 0;
    for (const MeshDef& m : scene.meshes)
        n += test(m.name) ? 1 : 0;
    return n;
}

bool emitterName(const std::string& n)
{
    return n[0] == '*';
}
bool boltName(const std::string& n)
{
    return n[0] == '#';
}
bool translucentName(const std::string& n)
{
    return n[0] == '%';
}
bool glowName(const std::string& n)
{
    return n.size() > 1 && n[1] == '%';
}

}  // namespace

std::vector<std::string> checkSceneRules(const SceneDef& scene)
{
    std::vector<std::string> problems = checkSceneLimits(scene);
    auto fail = [&](const std::string& what) { problems.push_back(scene.path + ": " + what); };
    if (scene.meshes.empty()) {
        fail("no meshes");
        return problems;
    }
    const MeshDef& first = scene.meshes.front();
    uint32_t firstBound = first.positionKeys.empty() ? 0 : static_cast<uint32_t>(first.positionKeys.size() - 1);

    if (scene.path == "maps/wood.3ds") {
        for (char mode : {'0', '1', '2', '3'}) {
            bool found = false;
            for (const MeshDef& m : scene.meshes)
                found = found || (m.name[0] == '*' && m.name[1] == mode);
            if (!found)
                fail(std::string("no emitter of mode ") + mode);
        }
        bool trail = false;
        for (const MeshDef& m : scene.meshes)
            trail = trail || (m.name.substr(0, 2) == "*1" && isTrack3m1(m.positionKeys));
        if (!trail)
            fail("no moving mode-1 emitter");
        if (countNamed(scene, translucentName) == 0)
            fail("no translucent mesh");
    } else if (scene.path == "maps/truc.3ds") {
        if (first.rotationKeys.size() < 2)
            fail("the first object needs more than one rotation key");
    } else if (scene.path == "maps/castel.3ds") {
        if (countNamed(scene, boltName) == 0)
            fail("no bolt object");
        if (countNamed(scene, emitterName) == 0)
            fail("no emitter");
    } else if (scene.path == "maps/chose.3ds") {
        if (scene.meshes.size() < 3)
            fail("fewer than three blobs");
        for (size_t i = 0; i < 3 && i < scene.meshes.size(); ++i) {
            const MeshDef& m = scene.meshes[i];
            if (!isTrack3m1(m.positionKeys))
                fail(m.name + " needs a position track of 3m + 1 keys");
            for (const TrackKey& k : m.positionKeys) {
                if (k.frame > firstBound)
                    fail(m.name + " has a key beyond the frame bound");
            }
        }
        bool big = false;
        for (const MeshDef& m : scene.meshes)
            big = big || m.faces.size() > 12;
        if (!big)
            fail("no mesh with more than 12 faces");
    } else if (scene.path == "maps/tunnel.3ds") {
        if (countNamed(scene, boltName) == 0)
            fail("no bolt object");
        if (countNamed(scene, translucentName) == 0)
            fail("no translucent mesh");
    } else if (scene.path == "maps/meta.3ds") {
        if (scene.meshes.size() < 3)
            fail("needs two attractors and something to swell");
        for (size_t i = 0; i < 2 && i < scene.meshes.size(); ++i) {
            if (!isTrack3m1(scene.meshes[i].positionKeys))
                fail(scene.meshes[i].name + " needs a position track");
        }
        if (first.faces.size() * 2 < totalFaces(scene))
            fail("the first object holds less than half the faces");
        for (const CameraDef& c : scene.cameras) {
            for (const TrackKey& k : c.eye) {
                if (k.frame > firstBound)
                    fail(c.name + " has a key beyond the frame bound");
            }
        }
    } else if (scene.path == "maps/room.3ds") {
        if (countNamed(scene, glowName) == 0)
            fail("no glow mesh");
        if (countNamed(scene, translucentName) == 0)
            fail("no swaying mesh");
        if (countNamed(scene, emitterName) == 0)
            fail("no emitter");
    }
    return problems;
}

}  // namespace ag
