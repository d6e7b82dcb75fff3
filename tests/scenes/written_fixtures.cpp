// Scenes for the later scenes' tests: written to bytes with the 3DS writer, read through a memory
// stream by Model::loadFromStream with no picture loader.
#include "written_fixtures.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace fixb {

tds::Vec3 fileFrame(const Vec3d& p)
{
    return tds::sceneToFile(tds::Vec3{static_cast<float>(p.x), static_cast<float>(p.y), static_cast<float>(p.z)});
}

void addTriangles(tds::Scene& scene, const std::string& name, int faceCount, const Vec3d& corner)
{
    tds::Mesh mesh;
    mesh.name = name;
    for (int i = 0; i < faceCount; ++i) {
        const uint16_t first = static_cast<uint16_t>(mesh.vertices.size());
        mesh.vertices.push_back(fileFrame(Vec3d{corner.x + i, corner.y, corner.z}));
        mesh.vertices.push_back(fileFrame(Vec3d{corner.x + i + 1.0, corner.y, corner.z}));
        mesh.vertices.push_back(fileFrame(Vec3d{corner.x + i, corner.y + 1.0, corner.z}));
        mesh.faces.push_back(tds::Face{first, static_cast<uint16_t>(first + 1), static_cast<uint16_t>(first + 2)});
    }
    mesh.mapping.resize(mesh.vertices.size());
    scene.objects.push_back(mesh);
}

void addFace(tds::Scene& scene, const std::string& name, const Vec3d& a, const Vec3d& b, const Vec3d& c)
{
    tds::Mesh mesh;
    mesh.name = name;
    mesh.vertices = {fileFrame(a), fileFrame(b), fileFrame(c)};
    mesh.faces = {tds::Face{0, 1, 2}};
    mesh.mapping.resize(3);
    scene.objects.push_back(mesh);
}

void addPositionTrack(tds::Scene& scene, const std::string& name, const std::vector<Vec3d>& keys)
{
    tds::Node node;
    node.name = name;
    node.hasPosition = true;
    for (size_t i = 0; i < keys.size(); ++i) {
        node.position.keys.push_back(tds::positionKey(static_cast<uint32_t>(10 * i), fileFrame(keys[i])));
    }
    scene.nodes.push_back(node);
}

void load(Model& model, const tds::Scene& scene)
{
    std::vector<uint8_t> bytes = tds::writeScene(scene);
    model.materialLoader = nullptr;
    FILE* stream = fmemopen(bytes.data(), bytes.size(), "rb");
    ASSERT_NE(stream, nullptr);
    const bool loaded = model.loadFromStream(stream, "fixture.3ds");
    std::fclose(stream);
    ASSERT_TRUE(loaded);
}

}  // namespace fixb
