// Conversion of the generator's Y-up scenes to 3DS documents, and the checks every generated scene
// must pass (table sizes, names, frame rules). Depends on tds_writer.
#include "tools/assetgen/scene.h"

#include <algorithm>
#include <set>

namespace ag {

namespace {

tds::Track positionTrack(const std::vector<TrackKey>& keys)
{
    tds::Track t;
    for (const TrackKey& k : keys)
        t.keys.push_back(tds::positionKey(k.frame, tds::sceneToFile(k.value)));
    return t;
}

tds::Track rotationTrack(const std::vector<TrackKey>& keys)
{
    tds::Track t;
    for (const TrackKey& k : keys)
        t.keys.push_back(tds::rotationKey(k.frame, k.angle, tds::sceneToFile(k.value)));
    return t;
}

// A keyframer node of the given block id that moves the object `name` along a position track.
tds::Node positionNode(uint16_t id, const std::string& name, const std::vector<TrackKey>& keys)
{
    tds::Node node;
    node.id = id;
    node.name = name;
    node.hasPosition = true;
    node.position = positionTrack(keys);
    return node;
}

bool strictlyRising(const std::vector<TrackKey>& keys)
{
    for (size_t i = 1; i < keys.size(); ++i) {
        if (keys[i].frame <= keys[i - 1].frame)
            return false;
    }
    return true;
}

}  // namespace

LightDef makeLight(const std::string& name, Vec3 position, Vec3 colour, float range)
{
    LightDef l;
    l.name = name;
    l.position = position;
    l.colour = colour;
    l.target = position - Vec3{0.0f, range, 0.0f};
    return l;
}

void setRestPosition(MeshDef& mesh, Vec3 position)
{
    mesh.positionKeys.clear();
    mesh.positionKeys.push_back(TrackKey{0, position, 0.0f});
}

tds::Scene toFileScene(const SceneDef& scene)
{
    tds::Scene out;
    // The keyframer's animation length covers every key, the cameras' trailing neighbours included.
    out.frameCount = scene.frameCount;
    for (const MeshDef& m : scene.meshes) {
        for (const TrackKey& k : m.positionKeys)
            out.frameCount = std::max(out.frameCount, k.frame);
        for (const TrackKey& k : m.rotationKeys)
            out.frameCount = std::max(out.frameCount, k.frame);
    }
    for (const CameraDef& c : scene.cameras) {
        for (const TrackKey& k : c.eye)
            out.frameCount = std::max(out.frameCount, k.frame);
    }
    for (const MeshDef& m : scene.meshes) {
        tds::Mesh mesh;
        mesh.name = m.name;
        mesh.vertices = tds::sceneToFile(m.vertices);
        mesh.faces = m.faces;
        mesh.mapping = m.mapping;
        mesh.material = m.material;
        out.objects.push_back(mesh);

        tds::Node node = positionNode(tds::CHUNK_OBJETINFOBLOCK, m.name, m.positionKeys);
        node.hasPosition = !m.positionKeys.empty();
        node.hasRotation = !m.rotationKeys.empty();
        node.rotation = rotationTrack(m.rotationKeys);
        out.nodes.push_back(node);
    }
    for (const LightDef& l : scene.lights) {
        tds::Light light;
        light.name = l.name;
        light.position = tds::sceneToFile(l.position);
        light.colour = l.colour;
        light.isSpot = true;
        light.target = tds::sceneToFile(l.target);
        light.hotspot = l.hotspot;
        light.falloff = l.falloff;
        out.objects.push_back(light);

        // A spotlight node holding the light's one position key: peers want a node per light, and
        // a single key leaves the light where its own chunk puts it.
        out.nodes.push_back(positionNode(tds::CHUNK_SPOTLIGHTINFOBLOCK, l.name, {TrackKey{0, l.position}}));
    }
    for (const CameraDef& c : scene.cameras) {
        tds::Camera cam;
        cam.name = c.name;
        cam.position = c.eye.empty() ? Vec3{} : tds::sceneToFile(c.eye.front().value);
        cam.target = c.target.empty() ? Vec3{} : tds::sceneToFile(c.target.front().value);
        cam.lens = c.lens;
        out.objects.push_back(cam);

        out.nodes.push_back(positionNode(tds::CHUNK_CAMERAINFOBLOCK, c.name, c.eye));
        out.nodes.push_back(positionNode(tds::CHUNK_CAMERATARGETINFOBLOCK, c.name, c.target));
    }
    return out;
}

std::vector<std::string> checkSceneLimits(const SceneDef& scene)
{
    std::vector<std::string> problems;
    auto fail = [&](const std::string& what) { problems.push_back(scene.path + ": " + what); };
    std::set<std::string> names;
    size_t emitters = 0, bolts = 0;
    for (const MeshDef& m : scene.meshes) {
        if (m.name.empty() || m.name.size() > 63)
            fail("mesh name length out of range: " + m.name);
        if (!names.insert(m.name).second)
            fail("duplicate object name " + m.name);
        if (m.vertices.size() > 65535 || m.faces.size() > 65535)
            fail(m.name + " has too many vertices or faces");
        if (m.vertices.empty() || m.faces.empty())
            fail(m.name + " is empty");
        if (m.mapping.size() != m.vertices.size())
            fail(m.name + " needs one mapping coordinate per vertex");
        if (m.material.empty() || m.material.size() > 255)
            fail(m.name + " has no usable material name");
        for (const tds::Face& f : m.faces) {
            if (f.a >= m.vertices.size() || f.b >= m.vertices.size() || f.c >= m.vertices.size()) {
                fail(m.name + " has a face index out of range");
                break;
            }
        }
        if (!strictlyRising(m.positionKeys) || !strictlyRising(m.rotationKeys))
            fail(m.name + " has keys out of order");
        if (m.name[0] == '*') {
            ++emitters;
            if (m.name.size() < 2 || m.name[1] < '0' || m.name[1] > '3')
                fail(m.name + " emitter without a mode digit");
            if (m.positionKeys.empty())
                fail(m.name + " emitter without a rest position");
        }
        if (m.name[0] == '#') {
            ++bolts;
            if (m.vertices.size() < 2)
                fail(m.name + " bolt object needs two vertices");
            if (m.positionKeys.empty())
                fail(m.name + " bolt object without a rest position");
        }
        if (m.positionKeys.size() > 1 && (m.positionKeys.size() - 1) % 3 != 0)
            fail(m.name + " position track is not 3m + 1 keys");
        if (m.rotationKeys.size() > 1 && (m.rotationKeys.size() - 1) % 3 != 0)
            fail(m.name + " rotation track is not 3m + 1 keys");
    }
    for (const LightDef& l : scene.lights) {
        if (!names.insert(l.name).second)
            fail("duplicate object name " + l.name);
    }
    for (const CameraDef& c : scene.cameras) {
        if (!names.insert(c.name).second)
            fail("duplicate object name " + c.name);
        if (c.eye.size() != c.target.size())
            fail(c.name + " eye and target tracks differ in length");
        if (!strictlyRising(c.eye) || !strictlyRising(c.target))
            fail(c.name + " has keys out of order");
    }
    if (scene.lights.size() > 100)
        fail("more than 100 lights");
    if (scene.cameras.size() > 50)
        fail("more than 50 cameras");
    if (scene.cameras.empty())
        fail("no camera");
    else {
        if (scene.cameras.front().eye.size() < 4)
            fail("first camera needs at least 4 position keys");
        if (scene.cameras.back().eye.size() < 3)
            fail("last camera needs at least 3 position keys");
    }
    if (materialNames(scene).size() > 60)
        fail("more than 60 materials");
    if (emitters > 100)
        fail("more than 100 emitters");
    if (bolts > 20)
        fail("more than 20 bolt objects");
    if (scene.meshes.size() + scene.lights.size() + scene.cameras.size() > 65535)
        fail("too many objects");
    return problems;
}

size_t totalFaces(const SceneDef& scene)
{
    size_t n = 0;
    for (const MeshDef& m : scene.meshes)
        n += m.faces.size();
    return n;
}

std::vector<std::string> materialNames(const SceneDef& scene)
{
    std::vector<std::string> names;
    for (const MeshDef& m : scene.meshes) {
        if (std::find(names.begin(), names.end(), m.material) == names.end())
            names.push_back(m.material);
    }
    return names;
}

}  // namespace ag
