// Writer of 3DS chunk files: the content generator builds its scenes with it and the tests use it to
// craft fixture files, well-formed or deliberately broken. Everything is written little-endian into
// a byte vector; nothing here knows about the program's model classes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "core/geometry.h"
#include "model/tds_chunks.h"

namespace tds {

// Points, axes and colours: the program's three floats, shared with the content generator.
using Vec3 = ::Vec3f;

// A Y-up scene point in the file's Z-up frame: (x, y, z) -> (x, -z, y), the inverse of the reader's
// (x, y, z) -> (x, z, -y).
Vec3 sceneToFile(const Vec3& p);
std::vector<Vec3> sceneToFile(const std::vector<Vec3>& points);

// Low-level chunk stream. begin() opens a chunk whose length end() patches in; the raw writers put
// arbitrary bytes anywhere, so a test can build any file, broken ones included.
class ChunkWriter {
public:
    void begin(uint16_t id);
    // Closes the innermost open chunk with its true length.
    void end();
    // Closes the innermost open chunk but records the given length instead (a deliberately bad file).
    void endWithLength(uint32_t length);
    // A complete chunk of the given id holding exactly the given bytes.
    void rawChunk(uint16_t id, const std::vector<uint8_t>& content);
    // A chunk header with any length, nothing else; the caller writes (or omits) what follows.
    void header(uint16_t id, uint32_t length);

    void u8(uint8_t v);
    void u16(uint16_t v);
    void u32(uint32_t v);
    void f32(float v);
    void point(const Vec3& p);  // three floats as given, no axis change
    void colour(const Vec3& rgb);
    // The string's bytes and a NUL; an over-long name is written whole.
    void string(const std::string& s);
    // The bytes as given: no NUL added.
    void raw(const std::vector<uint8_t>& bytes);
    void raw(const void* data, size_t size);

    size_t size() const { return bytes_.size(); }
    size_t openChunks() const { return open_.size(); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }
    // Direct access, for truncating or patching a finished stream.
    std::vector<uint8_t>& mutableBytes() { return bytes_; }

private:
    std::vector<uint8_t> bytes_;
    std::vector<size_t> open_;
};

struct Face {
    uint16_t a = 0;
    uint16_t b = 0;
    uint16_t c = 0;
    uint16_t flags = 0x0007;  // all three edges visible, as modelling packages write it
};

struct TexCoord {
    float u = 0.0f;
    float v = 0.0f;
};

// A triangle mesh object. Points are in the file's frame (use sceneToFile). An empty material
// writes no face-material list.
struct Mesh {
    std::string name;
    std::vector<Vec3> vertices;
    std::vector<Face> faces;
    std::vector<TexCoord> mapping;
    std::string material;
    bool writeMatrix = true;           // identity local frame (0x4160) for peer readers
    std::vector<uint8_t> extraChunks;  // raw bytes appended inside the mesh chunk
};

struct Light {
    std::string name;
    Vec3 position;
    bool hasColour = true;
    Vec3 colour{1.0f, 1.0f, 1.0f};
    bool isSpot = false;
    Vec3 target;
    float hotspot = 30.0f;
    float falloff = 45.0f;
    std::vector<uint8_t> extraChunks;  // raw bytes appended inside the light chunk
};

struct Camera {
    std::string name;
    Vec3 position;
    Vec3 target;
    float bank = 0.0f;
    float lens = 35.0f;
    std::vector<uint8_t> extraChunks;  // raw bytes appended inside the object block
};

// An editor object block holding exactly the given raw content after its name (or nothing at all).
struct EmptyObject {
    std::string name;
    std::vector<uint8_t> content;
};

using Object = std::variant<Mesh, Light, Camera, EmptyObject>;

// One track key. Each of the five low bits of flags that is set writes the matching entry of
// extras (tension, continuity, bias, ease to, ease from) before the value.
struct Key {
    uint32_t frame = 0;
    uint16_t flags = 0;
    float extras[5] = {0.0f, 0.0f, 0.0f, 0.0f, 0.0f};
    float angle = 0.0f;  // rotation keys only: radians
    Vec3 value;          // position: the point; rotation: the axis
};

Key positionKey(uint32_t frame, const Vec3& point);
Key rotationKey(uint32_t frame, float angle, const Vec3& axis);

struct Track {
    uint16_t flags = 0;
    std::vector<Key> keys;
};

// A keyframer node: its block id (CHUNK_OBJETINFOBLOCK, CHUNK_CAMERAINFOBLOCK, ...), the name of the
// object it drives, an optional pivot and optional tracks.
struct Node {
    uint16_t id = CHUNK_OBJETINFOBLOCK;
    std::string name;
    uint16_t parent = 0xFFFF;
    bool hasPivot = false;
    Vec3 pivot;
    bool hasPosition = false;
    Track position;
    bool hasRotation = false;
    Track rotation;
    bool writeNodeId = true;           // 0xB030 chunk, numbered in list order
    std::vector<uint8_t> extraChunks;  // raw bytes appended inside the node block
};

struct MaterialDef {
    std::string name;
    std::string textureMap;
    Vec3 diffuse{0.8f, 0.8f, 0.8f};
};

// A whole file: material blocks (one per distinct mesh material unless writeMaterials is off), the
// objects in order, and, when there are nodes or writeKeyframerHeader is set, a keyframer section.
// Peer readers want a node for every light and camera (assimp refuses a file without them) and
// merge keys of equal frame (lib3ds), so complete scenes give each track strictly rising frames.
struct Scene {
    std::vector<Object> objects;
    std::vector<Node> nodes;
    std::vector<MaterialDef> extraMaterials;
    uint32_t frameCount = 100;
    bool writeMaterials = true;
    bool writeKeyframerHeader = true;
    std::vector<uint8_t> extraEditorChunks;     // raw bytes at the end of the editor section
    std::vector<uint8_t> extraKeyframerChunks;  // raw bytes at the end of the keyframer section
    std::vector<uint8_t> extraMainChunks;       // raw bytes at the end of the main chunk
};

void writeMaterial(ChunkWriter& w, const MaterialDef& material);
void writeMeshObject(ChunkWriter& w, const Mesh& mesh);
void writeLightObject(ChunkWriter& w, const Light& light);
void writeCameraObject(ChunkWriter& w, const Camera& camera);
void writeObject(ChunkWriter& w, const Object& object);
// chunkId CHUNK_ROTATIONTRACK writes angle and axis per key; every other id writes the point.
void writeTrack(ChunkWriter& w, uint16_t chunkId, const Track& track);
void writeNode(ChunkWriter& w, const Node& node, uint16_t nodeId);

// The complete file as bytes.
std::vector<uint8_t> writeScene(const Scene& scene);
// Writes the scene to path. Returns false, with the reason on stderr, when the file cannot be written.
bool saveScene(const Scene& scene, const std::string& path);
// Writes bytes to path, creating no folders. Returns false, with the reason on stderr, on failure.
bool saveBytes(const std::vector<uint8_t>& bytes, const std::string& path);

}  // namespace tds
