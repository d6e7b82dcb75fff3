// The Model's list operations, its finishing pass after the file walk, the animation frame range
// and its teardown. The file walk itself is in model/tds_reader.cpp, lighting in
// model/lighting.cpp, the face grid in model/grid.cpp. Attached particle systems are torn down
// through the teardown the particle module leaves with them.
#include "model/model.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

#include "media/texture.h"

Model::Model()
{
    materialLoader = loadTexture;
}

Model::~Model()
{
    destroy();
}

void Model::rewind()
{
    cursor = this;
}

void Model::advance()
{
    if (cursor != nullptr && cursor->next != nullptr)
        cursor = cursor->next;
}

ModelPose Model::pose()
{
    ModelPose saved;
    for (SceneObject* object = this; object != nullptr; object = object->next) {
        saved.objects.push_back(*object);
    }
    saved.cursor = cursor;
    saved.currentCamera = currentCamera;
    saved.currentFrame = currentFrame;
    saved.startFrame = startFrame;
    saved.endFrame = endFrame;
    saved.boltJitter = boltJitter;
    saved.boltSegments = boltSegments;
    saved.boltCount = boltCount;
    std::copy(std::begin(boltColour), std::end(boltColour), std::begin(saved.boltColour));
    return saved;
}

void Model::setPose(const ModelPose& saved)
{
    size_t count = 0;
    for (const SceneObject* object = this; object != nullptr; object = object->next) {
        ++count;
    }
    if (count != saved.objects.size()) {
        return;
    }
    // Each node keeps its own links; only what playing changes is put back.
    size_t i = 0;
    for (SceneObject* object = this; object != nullptr; object = object->next, ++i) {
        SceneObject* const prev = object->prev;
        SceneObject* const next = object->next;
        *object = saved.objects[i];
        object->prev = prev;
        object->next = next;
    }
    cursor = saved.cursor;
    currentCamera = saved.currentCamera;
    currentFrame = saved.currentFrame;
    startFrame = saved.startFrame;
    endFrame = saved.endFrame;
    boltJitter = saved.boltJitter;
    boltSegments = saved.boltSegments;
    boltCount = saved.boltCount;
    std::copy(std::begin(saved.boltColour), std::end(saved.boltColour), std::begin(boltColour));
}

void Model::seekObject(int n)
{
    rewind();
    for (int i = 0; i < n; ++i)
        advance();
}

SceneObject* Model::findObject(const char* name)
{
    // Walks with its own pointer so that a lookup never moves the cursor of a walk in progress.
    SceneObject* object = this;
    for (int i = 0; i < objectCount && object != nullptr; ++i, object = object->next) {
        if (std::strncmp(object->name, name, sizeof(object->name)) == 0)
            return object;
    }
    return nullptr;
}

const Material* Model::materialOf(const SceneObject* object) const
{
    if (object == nullptr || object->material < 0 || object->material >= materialCount)
        return nullptr;
    return &materials[object->material];
}

GLuint Model::textureOf(const SceneObject* object) const
{
    const Material* material = materialOf(object);
    return material != nullptr ? material->texture : 0;
}

void Model::setLoadDefaults()
{
    materialCount = 0;
    lightCount = 0;
    emitterCount = 0;
    cameraCount = 0;
    boltObjectCount = 0;
    boltJitter = 10;
    boltSegments = 30;
    boltCount = 30;
    boltColour[0] = 1.0f;
    boltColour[1] = 0.6f;
    boltColour[2] = 0.1f;
}

namespace {

void releaseObjectArrays(SceneObject* object)
{
    delete[] object->positionKeys;
    delete[] object->positionFrames;
    delete[] object->rotationKeys;
    delete[] object->rotationFrames;
    delete[] object->vertexColours;
    delete[] object->faces;
    delete[] object->mapping;
    delete[] object->vertices;
    object->positionKeys = nullptr;
    object->positionFrames = nullptr;
    object->rotationKeys = nullptr;
    object->rotationFrames = nullptr;
    object->vertexColours = nullptr;
    object->faces = nullptr;
    object->mapping = nullptr;
    object->vertices = nullptr;
    object->positionKeyCount = 0;
    object->rotationKeyCount = 0;
    object->vertexCount = 0;
    object->faceCount = 0;
    object->mappingCount = 0;
}

}  // namespace

void Model::releaseGrid()
{
    if (grid != nullptr) {
        for (int32_t cell = 0; cell < columns * rows; ++cell) {
            for (int32_t e = 0; e < grid[cell].entryCount; ++e) {
                delete[] grid[cell].entries[e].faceIndices;
                if (grid[cell].entries[e].list != 0)
                    glDeleteLists(grid[cell].entries[e].list, 1);
            }
            delete[] grid[cell].entries;
        }
        delete[] grid;
        grid = nullptr;
    }
    columns = 0;
    rows = 0;
}

void Model::destroy()
{
    releaseGrid();

    for (int32_t i = 0; i < emitterCount; ++i) {
        if (particleSystems[i] != nullptr && particleTeardown != nullptr)
            particleTeardown(particleSystems[i]);
        particleSystems[i] = nullptr;
        emitters[i] = nullptr;
    }
    emitterCount = 0;

    // Arrays are released whatever the object's kind: a damaged file may leave arrays on an object
    // whose kind was never settled.
    SceneObject* object = next;
    releaseObjectArrays(this);
    while (object != nullptr) {
        SceneObject* following = object->next;
        releaseObjectArrays(object);
        delete object;
        object = following;
    }

    static_cast<SceneObject&>(*this) = SceneObject();
    cursor = this;
    objectCount = 0;
    setLoadDefaults();
    currentCamera = 0;
    currentFrame = 0.0;
    startFrame = 0;
    endFrame = 0;
}

void Model::finishObjects()
{
    int boltsLeftOut = 0;
    int camerasLeftOut = 0;
    rewind();
    for (int i = 0; i < objectCount; ++i) {
        SceneObject* object = cursor;
        if (object->kind == ObjectKind::Mesh) {
            object->position = Vec3d();
            object->basePosition = Vec3d();
            if (object->positionKeyCount >= 1) {
                object->positionKeyIndex = 3;
                object->position = object->positionKeys[0];
                object->basePosition = object->positionKeys[0];
            }
            object->translucent = object->name[0] == '%';
            if (object->name[0] == '#') {
                if (boltObjectCount < maxBoltObjects)
                    boltObjects[boltObjectCount++] = object;
                else
                    ++boltsLeftOut;
            }
            checkMesh(object);
        }
        if (object->kind == ObjectKind::Mesh || object->kind == ObjectKind::Light) {
            if (object->positionKeyCount > 1) {
                object->positionKeyIndex = 3;
                object->position = object->positionKeys[0];
                object->basePosition = object->positionKeys[0];
            }
            if (object->rotationKeyCount > 1) {
                object->rotationKeyIndex = 3;
                object->rotation = object->rotationKeys[0];
            }
        }
        if (object->kind == ObjectKind::Camera) {
            if (cameraCount < maxCameras)
                cameras[cameraCount++] = object;
            else
                ++camerasLeftOut;
            object->positionKeyIndex = 3;
            object->rotationKeyIndex = 3;
            // A camera without tracks keeps the eye and target of its camera chunk.
            if (object->positionKeyCount >= 1)
                object->cameraPosition = object->positionKeys[0];
            if (object->rotationKeyCount >= 1)
                object->cameraTarget = object->rotationKeys[0];
        }
        advance();
    }
    rewind();
    if (boltsLeftOut > 0)
        std::fprintf(stderr, "%s: more than %d bolt objects; %d left out\n", sourceName.c_str(), maxBoltObjects,
                     boltsLeftOut);
    if (camerasLeftOut > 0)
        std::fprintf(stderr, "%s: more than %d cameras; %d left out\n", sourceName.c_str(), maxCameras, camerasLeftOut);
}

void Model::checkMesh(SceneObject* object)
{
    // Faces that point past the vertices are dropped rather than clamped, so that no later pass
    // (lighting, grid, renderer) reads outside the vertex arrays.
    uint16_t kept = 0;
    for (uint16_t f = 0; f < object->faceCount; ++f) {
        const Face& face = object->faces[f];
        if (face.a < object->vertexCount && face.b < object->vertexCount && face.c < object->vertexCount)
            object->faces[kept++] = face;
    }
    if (kept != object->faceCount) {
        std::fprintf(stderr, "%s: mesh \"%s\": %d faces point past its %d vertices; dropped\n", sourceName.c_str(),
                     object->name, object->faceCount - kept, object->vertexCount);
        object->faceCount = kept;
    }

    // The renderer reads a mapping coordinate for every vertex; the ones the file lacks are (0, 0).
    if (object->mappingCount < object->vertexCount) {
        TexCoord* mapping = new (std::nothrow) TexCoord[object->vertexCount]();
        if (mapping == nullptr) {
            // Without room for the padding the mesh cannot be drawn safely: keep it faceless.
            object->faceCount = 0;
            return;
        }
        for (uint16_t v = 0; v < object->mappingCount; ++v)
            mapping[v] = object->mapping[v];
        delete[] object->mapping;
        object->mapping = mapping;
    }
}

void Model::setFrameRange()
{
    startFrame = 0;
    endFrame = 0;
    if (cameraCount > 0) {
        const SceneObject* first = cameras[0];
        const SceneObject* last = cameras[cameraCount - 1];
        if (first->positionKeyCount >= 2 && last->positionKeyCount >= 3) {
            endFrame = last->positionFrames[last->positionKeyCount - 3];
            startFrame = first->positionFrames[1];
        } else {
            std::fprintf(stderr,
                         "%s: cameras have too few position keys for an animation "
                         "(first %u, last %u); frame range 0..0\n",
                         sourceName.c_str(), first->positionKeyCount, last->positionKeyCount);
        }
    }
    currentFrame = 0.0;
    currentCamera = 0;
}

bool Model::loadWithGrid(const char* fileName)
{
    load(fileName);
    buildGrid();
    return true;
}

bool isTranslucentPassName(const char* name)
{
    return name[0] == '%' || (name[0] != '\0' && name[1] == '%');
}

bool castsNoShadow(const char* name)
{
    return name[0] == '*' || (name[0] != '\0' && name[1] == '*');
}
