// A second opinion on the 3DS reader: Debian's lib3ds reads the same files, and both must agree on
// the meshes (names, vertex, face and mapping counts, every vertex through the axis swap), the
// cameras and lights, and the key counts of every track. Run on a fixture written here and on every
// file of the generated data set (the build generates it).
#include <gtest/gtest.h>

#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/light.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>

#include <algorithm>
#include <dirent.h>
#include <map>
#include <string>
#include <vector>

#include "fixtures.h"

using namespace fixtures;

namespace {

struct MeshSummary {
    std::string name;
    unsigned vertices = 0;
    unsigned faces = 0;
    unsigned mapping = 0;
    std::vector<float> points;  // x, y, z of each vertex in the file's frame
    bool operator<(const MeshSummary& o) const { return name < o.name; }
};

struct Summary {
    std::vector<MeshSummary> meshes;
    std::vector<std::string> cameras;
    std::vector<std::string> lights;
    // "kind:name" -> key counts (mesh: position, rotation; camera: position, target; light: position)
    std::map<std::string, std::vector<unsigned>> keys;
};

template <typename Key>
unsigned countKeys(const Key* key)
{
    unsigned n = 0;
    for (; key != nullptr; key = key->next)
        ++n;
    return n;
}

void collectNodes(const Lib3dsNode* node, std::map<std::string, const Lib3dsNode*> (&byType)[7])
{
    for (; node != nullptr; node = node->next) {
        if (node->type >= 0 && node->type < 7)
            byType[node->type][node->name] = node;
        collectNodes(node->childs, byType);
    }
}

Summary peerSummary(const std::string& path)
{
    Summary s;
    Lib3dsFile* file = lib3ds_file_load(path.c_str());
    if (file == nullptr) {
        ADD_FAILURE() << "lib3ds cannot read " << path;
        return s;
    }
    std::map<std::string, const Lib3dsNode*> nodes[7];
    collectNodes(file->nodes, nodes);
    for (Lib3dsMesh* m = file->meshes; m != nullptr; m = m->next) {
        MeshSummary mesh;
        mesh.name = m->name;
        mesh.vertices = m->points;
        mesh.faces = m->faces;
        mesh.mapping = m->texels;
        for (unsigned i = 0; i < m->points; ++i)
            mesh.points.insert(mesh.points.end(), m->pointL[i].pos, m->pointL[i].pos + 3);
        s.meshes.push_back(mesh);
        auto node = nodes[LIB3DS_OBJECT_NODE].find(m->name);
        if (node != nodes[LIB3DS_OBJECT_NODE].end())
            s.keys["mesh:" + mesh.name] = {countKeys(node->second->data.object.pos_track.keyL),
                                           countKeys(node->second->data.object.rot_track.keyL)};
        else
            s.keys["mesh:" + mesh.name] = {0, 0};
    }
    for (Lib3dsCamera* c = file->cameras; c != nullptr; c = c->next) {
        s.cameras.push_back(c->name);
        auto eye = nodes[LIB3DS_CAMERA_NODE].find(c->name);
        auto target = nodes[LIB3DS_TARGET_NODE].find(c->name);
        s.keys["camera:" + std::string(c->name)] = {
            eye != nodes[LIB3DS_CAMERA_NODE].end() ? countKeys(eye->second->data.camera.pos_track.keyL) : 0,
            target != nodes[LIB3DS_TARGET_NODE].end() ? countKeys(target->second->data.target.pos_track.keyL) : 0};
    }
    for (Lib3dsLight* l = file->lights; l != nullptr; l = l->next) {
        s.lights.push_back(l->name);
        auto node = nodes[LIB3DS_LIGHT_NODE].find(l->name);
        s.keys["light:" + std::string(l->name)] = {
            node != nodes[LIB3DS_LIGHT_NODE].end() ? countKeys(node->second->data.light.pos_track.keyL) : 0};
    }
    lib3ds_file_free(file);
    return s;
}

Summary ourSummary(const std::string& path)
{
    Summary s;
    Model model;
    model.materialLoader = nullptr;
    if (!model.load(path.c_str())) {
        ADD_FAILURE() << "our reader cannot read " << path;
        return s;
    }
    model.rewind();
    for (int i = 0; i < model.objectCount; ++i, model.advance()) {
        const SceneObject* o = model.cursor;
        std::string name = o->name;
        if (o->kind == ObjectKind::Mesh) {
            MeshSummary mesh;
            mesh.name = name;
            mesh.vertices = o->vertexCount;
            mesh.faces = o->faceCount;
            mesh.mapping = o->mappingCount;
            for (int v = 0; v < o->vertexCount; ++v) {
                // Back from the model's (x, z, -y) to the file's (x, y, z).
                mesh.points.push_back(static_cast<float>(o->vertices[v].x));
                mesh.points.push_back(static_cast<float>(-o->vertices[v].z));
                mesh.points.push_back(static_cast<float>(o->vertices[v].y));
            }
            s.meshes.push_back(mesh);
            s.keys["mesh:" + name] = {o->positionKeyCount, o->rotationKeyCount};
        } else if (o->kind == ObjectKind::Camera) {
            s.cameras.push_back(name);
            s.keys["camera:" + name] = {o->positionKeyCount, o->rotationKeyCount};
        } else if (o->kind == ObjectKind::Light) {
            s.lights.push_back(name);
            s.keys["light:" + name] = {o->positionKeyCount};
        }
    }
    model.rewind();
    return s;
}

void expectAgreement(const std::string& path)
{
    SCOPED_TRACE(path);
    Summary peer = peerSummary(path);
    Summary ours = ourSummary(path);
    // lib3ds keeps its lists in an order of its own; compare them sorted by name.
    std::stable_sort(peer.meshes.begin(), peer.meshes.end());
    std::stable_sort(ours.meshes.begin(), ours.meshes.end());
    std::sort(peer.cameras.begin(), peer.cameras.end());
    std::sort(ours.cameras.begin(), ours.cameras.end());
    std::sort(peer.lights.begin(), peer.lights.end());
    std::sort(ours.lights.begin(), ours.lights.end());
    EXPECT_EQ(ours.cameras, peer.cameras);
    EXPECT_EQ(ours.lights, peer.lights);
    ASSERT_EQ(ours.meshes.size(), peer.meshes.size());
    for (size_t i = 0; i < ours.meshes.size(); ++i) {
        const MeshSummary& a = ours.meshes[i];
        const MeshSummary& b = peer.meshes[i];
        EXPECT_EQ(a.name, b.name);
        EXPECT_EQ(a.vertices, b.vertices) << a.name;
        EXPECT_EQ(a.faces, b.faces) << a.name;
        EXPECT_EQ(a.mapping, b.mapping) << a.name;
        EXPECT_TRUE(a.points == b.points) << a.name << ": vertices differ";
    }
    EXPECT_EQ(ours.keys, peer.keys);
}

tds::Scene peerFixture()
{
    tds::Scene scene;
    scene.objects.push_back(boxMesh("floor", -100, -1, -100, 100, 0, 100, "pict/floor.jpg"));
    scene.objects.push_back(boxMesh("%glass", 0, 0, 0, 10, 10, 10, "pict/glass.jpg"));
    scene.objects.push_back(boxMesh("*1spark", 5, 5, 5, 6, 6, 6, "text/part.jpg"));
    scene.objects.push_back(spotLight("lamp", {0, 50, 0}, 200.0f, {1.0f, 0.5f, 0.25f}));
    tds::Camera camera;
    camera.name = "cam";
    camera.position = up(0, 10, 200);
    scene.objects.push_back(camera);

    tds::Node eye;
    eye.id = tds::CHUNK_CAMERAINFOBLOCK;
    eye.name = "cam";
    eye.hasPosition = true;
    tds::Node target = eye;
    target.id = tds::CHUNK_CAMERATARGETINFOBLOCK;
    for (uint32_t f = 0; f < 5; ++f) {
        eye.position.keys.push_back(tds::positionKey(f * 10, up(float(f), 10, 200)));
        target.position.keys.push_back(tds::positionKey(f * 10, up(0, 0, float(f))));
    }
    target.position.keys.pop_back();
    tds::Node glass;
    glass.name = "%glass";
    glass.hasPosition = true;
    glass.hasRotation = true;
    for (uint32_t f = 0; f < 7; ++f) {
        glass.position.keys.push_back(tds::positionKey(f * 5, up(0, float(f), 0)));
        glass.rotation.keys.push_back(tds::rotationKey(f * 5, 0.1f * float(f), {0, 0, 1}));
    }
    glass.rotation.keys.resize(4);
    tds::Node lamp;
    lamp.id = tds::CHUNK_SPOTLIGHTINFOBLOCK;
    lamp.name = "lamp";
    lamp.hasPosition = true;
    lamp.position.keys = {tds::positionKey(0, up(0, 50, 0)), tds::positionKey(20, up(10, 50, 0))};
    scene.nodes = {eye, target, glass, lamp};
    return scene;
}

TEST(ModelPeer, AgreesWithLib3dsOnAFixture)
{
    std::string path = writeTempFile("peer.3ds", tds::writeScene(peerFixture()));
    expectAgreement(path);
    // The fixture does reach every kind of track.
    Summary ours = ourSummary(path);
    EXPECT_EQ(ours.keys["mesh:%glass"], (std::vector<unsigned>{7, 4}));
    EXPECT_EQ(ours.keys["camera:cam"], (std::vector<unsigned>{5, 4}));
    EXPECT_EQ(ours.keys["light:lamp"], (std::vector<unsigned>{2}));
}

// The generated scenes of the data folder, sorted; empty before the data is generated.
std::vector<std::string> generatedScenes()
{
    std::string folder = std::string(VELMORA_DATA_DIR) + "/maps";
    std::vector<std::string> files;
    if (DIR* dir = opendir(folder.c_str())) {
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name.size() > 4 && name.compare(name.size() - 4, 4, ".3ds") == 0)
                files.push_back(folder + "/" + name);
        }
        closedir(dir);
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST(ModelPeer, AgreesWithLib3dsOnTheGeneratedScenes)
{
    const std::vector<std::string> files = generatedScenes();
    ASSERT_FALSE(files.empty()) << "no generated scenes in " << VELMORA_DATA_DIR << "/maps";
    for (const std::string& path : files)
        expectAgreement(path);
}

// The lighting's work budget is there for hostile files: every shipped scene is lit with all its
// shadows and leaves three quarters of the budget unused.
TEST(GeneratedScenes, LightingUsesAtMostAQuarterOfTheShadowBudget)
{
    const std::vector<std::string> files = generatedScenes();
    ASSERT_FALSE(files.empty()) << "no generated scenes in " << VELMORA_DATA_DIR << "/maps";
    for (const std::string& path : files) {
        Model model;
        model.materialLoader = nullptr;
        ASSERT_TRUE(model.load(path.c_str())) << path;
        EXPECT_LE(model.shadowWorkUsed * 4, Model::shadowWorkBudget) << path;
    }
}

}  // namespace
