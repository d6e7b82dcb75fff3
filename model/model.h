// One 3D scene in memory: a list of objects (meshes, lights, cameras) read from a 3DS file, with
// the model's own cursor, its material, light, camera, emitter and bolt tables, the animation
// frame range and, for gridded models, the face grid the renderer culls with.
// The asset loader owns the models from their load to releaseAssets; scenes, the animation and the
// renderers read and change the fields directly but never create or free them.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "core/geometry.h"
#include "core/gl.h"

class ParticleSystem;

// Kind of a SceneObject, set by the chunk that describes it; None for an object block with none.
enum class ObjectKind : uint16_t {
    None = 0,
    Mesh = 0x1000,
    Camera = 0x2000,
    Light = 0x3000,
};

// One triangle: indices into the object's vertices, vertexColours and mapping; flags kept unused.
struct Face {
    uint16_t a = 0;
    uint16_t b = 0;
    uint16_t c = 0;
    uint16_t flags = 0;
};

struct TexCoord {
    float u = 0.0f;
    float v = 0.0f;
};

// The light part of a light object. range is how far it reaches (distance to the spot target, or
// omniLightRange for a light without a spotlight chunk).
struct LightRecord {
    Vec3d position;
    Vec3f colour{1.0f, 1.0f, 1.0f};
    Vec3d spotTarget;
    float range = 0.0f;
    float hotspot = 0.0f;
    float falloff = 0.0f;
};

// How far a light without a spotlight chunk reaches: a little beyond what the fog leaves visible.
constexpr float omniLightRange = 1000.0f;

// A material is a texture: name is the picture's path as the face-material chunk gives it.
struct Material {
    char name[256] = {};
    GLuint texture = 0;
};

// The faces of one object that lie in one grid cell.
struct GridEntry {
    int32_t object = 0;              // index of the object in list order
    int32_t* faceIndices = nullptr;  // owned, faceCount entries
    int32_t faceCount = 0;
    GLuint list = 0;  // owned GL display list of these faces (compileGridLists); 0: none
};

// One cell of the grid: one entry per object of the model, in list order.
struct GridCell {
    GridEntry* entries = nullptr;  // owned, entryCount entries
    int32_t entryCount = 0;
};

class SceneObject {
public:
    SceneObject* prev = nullptr;
    Face* faces = nullptr;           // mesh: faceCount entries
    Vec3d* vertices = nullptr;       // mesh: vertexCount entries, Y-up rest pose
    Vec3f* vertexColours = nullptr;  // mesh: vertexCount entries, filled by the lighting pass
    TexCoord* mapping = nullptr;     // mesh: at least vertexCount entries; missing ones are (0, 0)
    Vec3f boundsMin;
    Vec3f boundsMax;
    Vec3f crossQuads[3][4] = {};  // z, x and y middle sections of the bounding box
    int32_t material = -1;        // index into materials; -1: none (drawn untextured)
    bool translucent = false;
    uint16_t mappingCount = 0;  // coordinates the file gave (at most vertexCount)
    uint16_t faceCount = 0;
    uint16_t vertexCount = 0;
    char name[80] = {};
    ObjectKind kind = ObjectKind::None;
    Vec3d cameraPosition;
    Vec3d cameraTarget;
    float cameraBank = 0.0f;
    float cameraLens = 0.0f;
    LightRecord light;
    Vec3d rotation;  // degrees about x, y, z (camera: pitch, yaw, roll)
    Vec3d position;
    Vec3d basePosition;
    uint32_t positionKeyCount = 0;
    uint32_t rotationKeyCount = 0;  // camera: number of target keys
    uint16_t* positionFrames = nullptr;
    uint32_t positionKeyIndex = 0;
    Vec3d* positionKeys = nullptr;
    uint16_t* rotationFrames = nullptr;
    uint32_t rotationKeyIndex = 0;
    Vec3d* rotationKeys = nullptr;  // accumulated degrees; camera: target positions
    SceneObject* next = nullptr;
};

// What playing changes in a model, kept so that it can be put back: every object's own fields
// (positions, rotations, camera eye and target, the key indices) and the model's cursor, camera,
// frame and arc settings. The arrays the fields point to are never changed by playing.
struct ModelPose {
    std::vector<SceneObject> objects;  // in list order, the model's own node first
    SceneObject* cursor = nullptr;
    int32_t currentCamera = 0;
    double currentFrame = 0.0;
    int32_t startFrame = 0;
    int32_t endFrame = 0;
    int32_t boltJitter = 0;
    int32_t boltSegments = 0;
    int32_t boltCount = 0;
    float boltColour[3] = {};
};

class Model : public SceneObject {
public:
    static constexpr int maxLights = 100;
    static constexpr int maxEmitters = 100;
    static constexpr int maxBoltObjects = 20;
    static constexpr int maxCameras = 50;
    static constexpr int maxMaterials = 60;
    static constexpr float gridCellSize = 200.0f;
    // Work budget of one lighting pass. A shadow test of a segment against an occluder costs one
    // unit for the bounding-box rejection and exactTestCost more when the exact test of its three
    // sections follows (it takes about that much longer). The largest shipped scene uses under a
    // quarter of the budget; past it the remaining vertices are lit without shadows, so that no
    // file can hold loading for long.
    static constexpr long long shadowWorkBudget = 4000000;
    // Size limits of one scene, ten times the largest shipped one (wood.3ds: 132 meshes, 46,739
    // faces), so that no file can make a frame take seconds: meshes past maxMeshObjects are left
    // out, and faces past maxFaces (counted over the whole file, in its order) are cut.
    static constexpr int maxMeshObjects = 1320;
    static constexpr long long maxFaces = 467390;
    static constexpr long long exactTestCost = 12;

    // Loads the material pictures of a model (loadTexture's signature); null loads none.
    using MaterialLoader = void (*)(GLuint* textures, const char* name, int slot);

    SceneObject* cursor = nullptr;
    uint16_t objectCount = 0;
    GridCell* grid = nullptr;  // columns x rows cells, only after buildGrid
    float gridMinX = 0.0f;
    float gridMaxX = 0.0f;
    float gridMinZ = 0.0f;
    float gridMaxZ = 0.0f;
    float cellDepth = 0.0f;
    float cellWidth = 0.0f;
    int32_t columns = 0;
    int32_t rows = 0;
    LightRecord* lights[maxLights] = {};
    int32_t lightCount = 0;
    ParticleSystem* particleSystems[maxEmitters] = {};
    // Tears down an attached particle system and frees it; set by attachEmitters (the particle
    // module) and called by destroy for every attached system.
    void (*particleTeardown)(ParticleSystem* system) = nullptr;
    SceneObject* emitters[maxEmitters] = {};
    int32_t emitterCount = 0;
    SceneObject* boltObjects[maxBoltObjects] = {};
    int32_t boltObjectCount = 0;
    int32_t boltJitter = 10;
    int32_t boltSegments = 30;
    int32_t boltCount = 30;
    float boltColour[3] = {1.0f, 0.6f, 0.1f};
    SceneObject* cameras[maxCameras] = {};
    int32_t cameraCount = 0;
    int32_t currentCamera = 0;
    Material materials[maxMaterials] = {};
    int32_t materialCount = 0;
    double currentFrame = 0.0;
    int32_t endFrame = 0;
    int32_t startFrame = 0;
    FILE* file = nullptr;            // the 3DS file, open only while loading
    long long shadowWorkUsed = 0;    // work of the last lighting pass, in budget units
    long long exactShadowTests = 0;  // exact tests made by the last lighting pass

    // How material pictures are loaded; set to null before load to read a file without a GL
    // context (tools, tests).
    MaterialLoader materialLoader = nullptr;

    // An empty model (objectCount 0) whose materials will be loaded as GL textures.
    Model();
    ~Model();
    Model(const Model&) = delete;
    Model& operator=(const Model&) = delete;

    // Reads a 3DS file, finishes and lights the model. False (and no objects) when the file cannot
    // be opened or does not begin with the main chunk; a damaged file loads what can be read and
    // says on stderr what was left out.
    bool load(const char* fileName);
    // load from an open stream (the caller closes it); name is used in messages only.
    bool loadFromStream(FILE* stream, const char* name);
    // load, whatever its result, then buildGrid. Always true.
    bool loadWithGrid(const char* fileName);
    // cursor on the first object (the model itself).
    void rewind();
    // cursor on the next object; stays on the last one.
    void advance();
    // rewind, then advance n times.
    void seekObject(int n);
    // The first object in list order named exactly name, or null.
    SceneObject* findObject(const char* name);
    // Releases the grid, the attached particle systems, every array and every object node but the
    // model's own; the model is left empty. Safe to call twice.
    void destroy();
    // The pose as it is now, and back to a pose taken from this model since it was loaded (one
    // taken before a load or destroy, whose object count no longer matches, is ignored).
    ModelPose pose();
    void setPose(const ModelPose& saved);

    // Fills vertexColours of every mesh from the lights, with the shadow test when shadowsEnabled.
    void computeVertexLighting();
    // 0 when nothing blocks the segment from vertex vertexIndex of object objectIndex to light
    // lightIndex, 1 when a translucent occluder blocks it first, 2 for any other occluder. Leaves
    // the cursor on the lit object.
    int shadowFactorAt(int vertexIndex, int objectIndex, int lightIndex, const bool* occluders);
    // Sorts the faces of all meshes into the 200 x 200 cells over the x-z plane.
    void buildGrid();

    // The material of an object, or null when it has none (a mesh without a face-material chunk).
    const Material* materialOf(const SceneObject* object) const;
    // The GL texture to bind for an object: 0 when it has no material.
    GLuint textureOf(const SceneObject* object) const;

    // Animation and drawing, provided by the render modules.
    void animate();
    void drawMeshes();
    // Compiles each grid entry's faces into a display list that drawMeshes replays: the vertex
    // colours are fixed after lighting and objects move by matrix only. Needs the GL context.
    void compileGridLists();
    void renderModel();
    void attachEmitters(int32_t capacity, float lifetime, int32_t emitRate, float size, float rise);
    void drawEmitters();
    void drawBolts();

private:
    void setLoadDefaults();
    void finishObjects();
    void checkMesh(SceneObject* object);
    void setFrameRange();
    void releaseGrid();
    int shadowFactorFor(const SceneObject* lit, int vertexIndex, int lightIndex,
                        const std::vector<const SceneObject*>& occluders);

    std::string sourceName;  // the file last loaded, for messages
};

// True when the name marks a mesh drawn in the translucent pass ('%' first or second).
bool isTranslucentPassName(const char* name);
// True when the name marks an object that casts no shadow ('*' first or second).
bool castsNoShadow(const char* name);
