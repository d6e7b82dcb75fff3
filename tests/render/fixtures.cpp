// Fixture models for the render tests: written scenes loaded through a memory stream, and models
// put together field by field.
#include "fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>

namespace rfix {

bool loadScene(Model& model, const tds::Scene& scene)
{
    std::vector<uint8_t> bytes = tds::writeScene(scene);
    model.materialLoader = nullptr;
    FILE* stream = fmemopen(bytes.data(), bytes.size(), "rb");
    if (stream == nullptr) {
        ADD_FAILURE() << "fmemopen failed";
        return false;
    }
    const bool loaded = model.loadFromStream(stream, "fixture.3ds");
    std::fclose(stream);
    return loaded;
}

tds::Vec3 up(double x, double y, double z)
{
    return tds::sceneToFile(tds::Vec3{static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});
}

namespace {

tds::Track positionTrack(const std::vector<Key>& keys)
{
    tds::Track track;
    for (const Key& key : keys)
        track.keys.push_back(tds::positionKey(key.frame, up(key.value.x, key.value.y, key.value.z)));
    return track;
}

}  // namespace

void addCamera(tds::Scene& scene, const std::string& name, const std::vector<Key>& eye, const std::vector<Key>& target)
{
    tds::Camera camera;
    camera.name = name;
    camera.position = up(0, 0, 0);
    camera.target = up(0, 0, -100);
    scene.objects.push_back(camera);

    tds::Node eyeNode;
    eyeNode.id = tds::CHUNK_CAMERAINFOBLOCK;
    eyeNode.name = name;
    eyeNode.hasPosition = !eye.empty();
    eyeNode.position = positionTrack(eye);
    scene.nodes.push_back(eyeNode);
    if (!target.empty()) {
        tds::Node targetNode;
        targetNode.id = tds::CHUNK_CAMERATARGETINFOBLOCK;
        targetNode.name = name;
        targetNode.hasPosition = true;
        targetNode.position = positionTrack(target);
        scene.nodes.push_back(targetNode);
    }
}

void addMovingMesh(tds::Scene& scene, const std::string& name, const std::vector<Key>& positions)
{
    tds::Mesh mesh;
    mesh.name = name;
    mesh.vertices = {up(0, 0, 0), up(1, 0, 0), up(0, 1, 0)};
    mesh.faces = {tds::Face{0, 1, 2}};
    mesh.mapping.resize(3);
    scene.objects.push_back(mesh);
    if (positions.empty())
        return;
    tds::Node node;
    node.name = name;
    node.hasPosition = true;
    node.position = positionTrack(positions);
    scene.nodes.push_back(node);
}

SceneObject* appendObject(Model& model, const char* name, ObjectKind kind)
{
    SceneObject* object = &model;
    if (model.objectCount > 0) {
        SceneObject* last = &model;
        while (last->next != nullptr)
            last = last->next;
        object = new SceneObject();
        object->prev = last;
        last->next = object;
    }
    std::snprintf(object->name, sizeof(object->name), "%s", name);
    object->kind = kind;
    ++model.objectCount;
    model.rewind();
    return object;
}

namespace {

void fillTrack(const std::vector<Key>& keys, uint32_t& count, uint16_t*& frames, Vec3d*& values)
{
    delete[] frames;
    delete[] values;
    count = static_cast<uint32_t>(keys.size());
    frames = keys.empty() ? nullptr : new uint16_t[keys.size()];
    values = keys.empty() ? nullptr : new Vec3d[keys.size()];
    for (size_t i = 0; i < keys.size(); ++i) {
        frames[i] = static_cast<uint16_t>(keys[i].frame);
        values[i] = keys[i].value;
    }
}

}  // namespace

void setPositionTrack(SceneObject& object, const std::vector<Key>& keys)
{
    fillTrack(keys, object.positionKeyCount, object.positionFrames, object.positionKeys);
    object.positionKeyIndex = 3;
    if (!keys.empty()) {
        object.position = keys[0].value;
        object.basePosition = keys[0].value;
    }
}

void setRotationTrack(SceneObject& object, const std::vector<Key>& keys)
{
    fillTrack(keys, object.rotationKeyCount, object.rotationFrames, object.rotationKeys);
    object.rotationKeyIndex = 3;
}

void setMesh(SceneObject& object, const std::vector<Vec3d>& vertices, const std::vector<Face>& faces, Vec3f colour)
{
    object.kind = ObjectKind::Mesh;
    object.vertexCount = static_cast<uint16_t>(vertices.size());
    object.vertices = new Vec3d[vertices.size()];
    object.vertexColours = new Vec3f[vertices.size()];
    object.mapping = new TexCoord[vertices.size()];
    object.mappingCount = object.vertexCount;
    for (size_t i = 0; i < vertices.size(); ++i) {
        object.vertices[i] = vertices[i];
        object.vertexColours[i] = colour;
    }
    object.faceCount = static_cast<uint16_t>(faces.size());
    object.faces = new Face[faces.size()];
    for (size_t i = 0; i < faces.size(); ++i)
        object.faces[i] = faces[i];
}

SceneObject* appendCamera(Model& model, const char* name, Vec3d eye, Vec3d target)
{
    SceneObject* camera = appendObject(model, name, ObjectKind::Camera);
    camera->cameraPosition = eye;
    camera->cameraTarget = target;
    model.cameras[model.cameraCount++] = camera;
    return camera;
}

void placeInCell(Model& model, int32_t object, int32_t cell)
{
    SceneObject* o = &model;
    for (int32_t i = 0; i < object; ++i)
        o = o->next;
    GridEntry& entry = model.grid[cell].entries[object];
    delete[] entry.faceIndices;
    entry.faceCount = o->faceCount;
    entry.faceIndices = new int32_t[o->faceCount];
    for (int32_t f = 0; f < o->faceCount; ++f)
        entry.faceIndices[f] = f;
}

void buildTestGrid(Model& model, int32_t columns, int32_t rows, float minX, float minZ, float cellSize, bool placeFaces)
{
    model.columns = columns;
    model.rows = rows;
    model.gridMinX = minX;
    model.gridMinZ = minZ;
    model.gridMaxX = minX + columns * cellSize;
    model.gridMaxZ = minZ + rows * cellSize;
    model.cellWidth = cellSize;
    model.cellDepth = cellSize;
    model.grid = new GridCell[columns * rows];
    for (int32_t c = 0; c < columns * rows; ++c) {
        model.grid[c].entryCount = model.objectCount;
        model.grid[c].entries = new GridEntry[model.objectCount];
    }
    SceneObject* object = &model;
    for (int32_t i = 0; i < model.objectCount; ++i, object = object->next) {
        for (int32_t c = 0; c < columns * rows; ++c)
            model.grid[c].entries[i].object = i;
        if (!placeFaces || object->kind != ObjectKind::Mesh || object->faceCount == 0)
            continue;
        const Vec3d& first = object->vertices[object->faces[0].a];
        const int32_t column = static_cast<int32_t>(std::floor((first.x - minX) / cellSize));
        const int32_t row = static_cast<int32_t>(std::floor((first.z - minZ) / cellSize));
        if (column < 0 || column >= columns || row < 0 || row >= rows)
            continue;
        placeInCell(model, i, row * columns + column);
    }
}

}  // namespace rfix
