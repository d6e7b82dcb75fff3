// Helpers shared by the model tests: in-memory loading and small scene builders.
#include "fixtures.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fixtures {

namespace {

// What writeTempFile wrote (or a test later put in its place) goes when the test program ends.
struct WrittenFiles {
    std::vector<std::string> paths;
    ~WrittenFiles()
    {
        for (const std::string& path : paths) {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    }
};

WrittenFiles& writtenFiles()
{
    static WrittenFiles files;
    return files;
}

}  // namespace

std::vector<std::string> PictureLog::names;

void PictureLog::load(GLuint* textures, const char* name, int slot)
{
    names.push_back(name);
    textures[slot] = static_cast<GLuint>(100 + names.size());
}

bool loadBytes(Model& model, const std::vector<uint8_t>& bytes, const char* name)
{
    model.materialLoader = nullptr;
    // fmemopen refuses a zero-sized buffer; an empty file is an empty temp file instead.
    if (bytes.empty()) {
        std::string path = writeTempFile("empty.3ds", bytes);
        return model.load(path.c_str());
    }
    FILE* stream = fmemopen(const_cast<uint8_t*>(bytes.data()), bytes.size(), "rb");
    if (stream == nullptr) {
        ADD_FAILURE() << "fmemopen failed";
        return false;
    }
    bool loaded = model.loadFromStream(stream, name);
    std::fclose(stream);
    return loaded;
}

bool loadScene(Model& model, const tds::Scene& scene)
{
    return loadBytes(model, tds::writeScene(scene));
}

std::string writeTempFile(const std::string& name, const std::vector<uint8_t>& bytes)
{
    std::string path = ::testing::TempDir() + "velmora_model_" + std::to_string(getpid()) + "_" + name;
    writtenFiles().paths.push_back(path);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) {
        ADD_FAILURE() << "cannot write " << path;
        return path;
    }
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

tds::Vec3 up(float x, float y, float z)
{
    return tds::sceneToFile(tds::Vec3{x, y, z});
}

tds::Mesh boxMesh(const std::string& name, float x0, float y0, float z0, float x1, float y1, float z1,
                  const std::string& material)
{
    tds::Mesh mesh;
    mesh.name = name;
    for (int i = 0; i < 8; ++i)
        mesh.vertices.push_back(up(i & 1 ? x1 : x0, i & 2 ? y1 : y0, i & 4 ? z1 : z0));
    const uint16_t quads[6][4] = {{0, 1, 3, 2}, {4, 6, 7, 5}, {0, 4, 5, 1}, {2, 3, 7, 6}, {0, 2, 6, 4}, {1, 5, 7, 3}};
    for (const auto& q : quads) {
        mesh.faces.push_back(tds::Face{q[0], q[1], q[2]});
        mesh.faces.push_back(tds::Face{q[0], q[2], q[3]});
    }
    mesh.mapping.resize(8);
    mesh.material = material;
    return mesh;
}

tds::Mesh triangleMesh(const std::string& name, tds::Vec3 a, tds::Vec3 b, tds::Vec3 c)
{
    tds::Mesh mesh;
    mesh.name = name;
    mesh.vertices = {up(a.x, a.y, a.z), up(b.x, b.y, b.z), up(c.x, c.y, c.z)};
    mesh.faces = {tds::Face{0, 1, 2}};
    mesh.mapping.resize(3);
    return mesh;
}

tds::Light spotLight(const std::string& name, tds::Vec3 position, float range, tds::Vec3 colour)
{
    tds::Light light;
    light.name = name;
    light.position = up(position.x, position.y, position.z);
    light.colour = colour;
    light.isSpot = true;
    light.target = up(position.x + range, position.y, position.z);
    return light;
}

SceneObject* objectAt(Model& model, int n)
{
    SceneObject* object = &model;
    for (int i = 0; i < n && object != nullptr; ++i)
        object = object->next;
    return object;
}

}  // namespace fixtures
