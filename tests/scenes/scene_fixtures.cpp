// Hand-built models for the scene tests; arrays are allocated as the reader allocates them so that
// Model::destroy releases them.
#include "scene_fixtures.h"

#include <cstring>

namespace scenefix {

SceneObject* addObject(Model& model, ObjectKind kind, const char* name)
{
    SceneObject* object = &model;
    if (model.objectCount > 0) {
        SceneObject* last = &model;
        while (last->next != nullptr) {
            last = last->next;
        }
        object = new SceneObject();
        object->prev = last;
        last->next = object;
    }
    object->kind = kind;
    std::strncpy(object->name, name, sizeof(object->name) - 1);
    ++model.objectCount;
    if (kind == ObjectKind::Camera && model.cameraCount < Model::maxCameras) {
        model.cameras[model.cameraCount++] = object;
    }
    model.rewind();
    return object;
}

void setMesh(SceneObject* object, const std::vector<Vec3d>& vertices, const std::vector<Face>& faces)
{
    object->vertexCount = static_cast<uint16_t>(vertices.size());
    object->vertices = new Vec3d[vertices.size()];
    for (size_t i = 0; i < vertices.size(); ++i) {
        object->vertices[i] = vertices[i];
    }
    object->faceCount = static_cast<uint16_t>(faces.size());
    object->faces = new Face[faces.size()];
    for (size_t i = 0; i < faces.size(); ++i) {
        object->faces[i] = faces[i];
    }
}

void setPositionTrack(SceneObject* object, const std::vector<uint16_t>& frames, const std::vector<Vec3d>& keys)
{
    object->positionKeyCount = static_cast<uint32_t>(keys.size());
    object->positionFrames = new uint16_t[frames.size()];
    object->positionKeys = new Vec3d[keys.size()];
    for (size_t i = 0; i < keys.size(); ++i) {
        object->positionFrames[i] = frames[i];
        object->positionKeys[i] = keys[i];
    }
    if (!keys.empty()) {
        object->positionKeyIndex = 3;
        object->position = keys[0];
        object->basePosition = keys[0];
    }
}

void setRotationTrack(SceneObject* object, const std::vector<uint16_t>& frames, const std::vector<Vec3d>& keys)
{
    object->rotationKeyCount = static_cast<uint32_t>(keys.size());
    object->rotationFrames = new uint16_t[frames.size()];
    object->rotationKeys = new Vec3d[keys.size()];
    for (size_t i = 0; i < keys.size(); ++i) {
        object->rotationFrames[i] = frames[i];
        object->rotationKeys[i] = keys[i];
    }
    if (!keys.empty()) {
        object->rotationKeyIndex = 3;
        object->rotation = keys[0];
    }
}

void setTriangles(SceneObject* object, int faceCount)
{
    std::vector<Vec3d> vertices;
    std::vector<Face> faces;
    for (int f = 0; f < faceCount; ++f) {
        const double x = 10.0 * f;
        vertices.push_back(Vec3d{x, 0.0, 0.0});
        vertices.push_back(Vec3d{x + 5.0, 0.0, 0.0});
        vertices.push_back(Vec3d{x, 5.0, 0.0});
        Face face;
        face.a = static_cast<uint16_t>(3 * f);
        face.b = static_cast<uint16_t>(3 * f + 1);
        face.c = static_cast<uint16_t>(3 * f + 2);
        faces.push_back(face);
    }
    setMesh(object, vertices, faces);
}

}  // namespace scenefix
