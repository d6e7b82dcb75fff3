// 3DS chunk writer: lengths are patched in when a chunk closes, so callers only nest begin/end.
// Used by the content generator and by tests that need small or malformed 3DS files. Depends on
// nothing but the standard library.
#include "tools/assetgen/tds_writer.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>

namespace tds {

Vec3 sceneToFile(const Vec3& p)
{
    return Vec3{p.x, -p.z, p.y};
}

std::vector<Vec3> sceneToFile(const std::vector<Vec3>& points)
{
    std::vector<Vec3> out;
    out.reserve(points.size());
    for (const Vec3& p : points)
        out.push_back(sceneToFile(p));
    return out;
}

void ChunkWriter::begin(uint16_t id)
{
    open_.push_back(bytes_.size());
    u16(id);
    u32(0);
}

void ChunkWriter::end()
{
    if (open_.empty())
        return;
    endWithLength(static_cast<uint32_t>(bytes_.size() - open_.back()));
}

void ChunkWriter::endWithLength(uint32_t length)
{
    if (open_.empty())
        return;
    size_t at = open_.back() + 2;
    open_.pop_back();
    for (int i = 0; i < 4; ++i)
        bytes_[at + i] = static_cast<uint8_t>(length >> (8 * i));
}

void ChunkWriter::rawChunk(uint16_t id, const std::vector<uint8_t>& content)
{
    begin(id);
    raw(content);
    end();
}

void ChunkWriter::header(uint16_t id, uint32_t length)
{
    u16(id);
    u32(length);
}

void ChunkWriter::u8(uint8_t v)
{
    bytes_.push_back(v);
}

void ChunkWriter::u16(uint16_t v)
{
    bytes_.push_back(static_cast<uint8_t>(v));
    bytes_.push_back(static_cast<uint8_t>(v >> 8));
}

void ChunkWriter::u32(uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        bytes_.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void ChunkWriter::f32(float v)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &v, sizeof bits);
    u32(bits);
}

void ChunkWriter::point(const Vec3& p)
{
    f32(p.x);
    f32(p.y);
    f32(p.z);
}

void ChunkWriter::colour(const Vec3& rgb)
{
    point(rgb);
}

void ChunkWriter::string(const std::string& s)
{
    raw(s.data(), s.size());
    u8(0);
}

void ChunkWriter::raw(const std::vector<uint8_t>& bytes)
{
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void ChunkWriter::raw(const void* data, size_t size)
{
    const uint8_t* p = static_cast<const uint8_t*>(data);
    bytes_.insert(bytes_.end(), p, p + size);
}

Key positionKey(uint32_t frame, const Vec3& point)
{
    Key k;
    k.frame = frame;
    k.value = point;
    return k;
}

Key rotationKey(uint32_t frame, float angle, const Vec3& axis)
{
    Key k;
    k.frame = frame;
    k.angle = angle;
    k.value = axis;
    return k;
}

void writeMaterial(ChunkWriter& w, const MaterialDef& material)
{
    w.begin(CHUNK_MATERIAL);
    w.begin(CHUNK_MATNAME);
    w.string(material.name);
    w.end();
    w.begin(CHUNK_MATDIFFUSE);
    w.begin(CHUNK_COLORFLOAT);
    w.colour(material.diffuse);
    w.end();
    w.end();
    if (!material.textureMap.empty()) {
        w.begin(CHUNK_TEXTUREMAP);
        w.begin(CHUNK_MAPFILENAME);
        w.string(material.textureMap);
        w.end();
        w.end();
    }
    w.end();
}

void writeMeshObject(ChunkWriter& w, const Mesh& mesh)
{
    w.begin(CHUNK_OBJETBLOCK);
    w.string(mesh.name);
    w.begin(CHUNK_TRIANGULARMESH);

    w.begin(CHUNK_VERTICELIST);
    w.u16(static_cast<uint16_t>(mesh.vertices.size()));
    for (const Vec3& v : mesh.vertices)
        w.point(v);
    w.end();

    if (!mesh.mapping.empty()) {
        w.begin(CHUNK_MAPPINGCOORDINATELIST);
        w.u16(static_cast<uint16_t>(mesh.mapping.size()));
        for (const TexCoord& t : mesh.mapping) {
            w.f32(t.u);
            w.f32(t.v);
        }
        w.end();
    }

    if (mesh.writeMatrix) {
        w.begin(CHUNK_MESHMATRIX);
        const float identity[12] = {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0};
        for (float f : identity)
            w.f32(f);
        w.end();
    }

    w.begin(CHUNK_FACELIST);
    w.u16(static_cast<uint16_t>(mesh.faces.size()));
    for (const Face& f : mesh.faces) {
        w.u16(f.a);
        w.u16(f.b);
        w.u16(f.c);
        w.u16(f.flags);
    }
    if (!mesh.material.empty()) {
        w.begin(CHUNK_FACEMATERIALLIST);
        w.string(mesh.material);
        w.u16(static_cast<uint16_t>(mesh.faces.size()));
        for (size_t i = 0; i < mesh.faces.size(); ++i)
            w.u16(static_cast<uint16_t>(i));
        w.end();
    }
    w.end();

    w.raw(mesh.extraChunks);
    w.end();
    w.end();
}

void writeLightObject(ChunkWriter& w, const Light& light)
{
    w.begin(CHUNK_OBJETBLOCK);
    w.string(light.name);
    w.begin(CHUNK_LIGHT);
    w.point(light.position);
    if (light.hasColour) {
        w.begin(CHUNK_COLORFLOAT);
        w.colour(light.colour);
        w.end();
    }
    if (light.isSpot) {
        w.begin(CHUNK_SPOTLIGHT);
        w.point(light.target);
        w.f32(light.hotspot);
        w.f32(light.falloff);
        w.end();
    }
    w.raw(light.extraChunks);
    w.end();
    w.end();
}

void writeCameraObject(ChunkWriter& w, const Camera& camera)
{
    w.begin(CHUNK_OBJETBLOCK);
    w.string(camera.name);
    w.begin(CHUNK_CAMERA);
    w.point(camera.position);
    w.point(camera.target);
    w.f32(camera.bank);
    w.f32(camera.lens);
    w.end();
    w.raw(camera.extraChunks);
    w.end();
}

namespace {

void writeEmptyObject(ChunkWriter& w, const EmptyObject& object)
{
    w.begin(CHUNK_OBJETBLOCK);
    w.string(object.name);
    w.raw(object.content);
    w.end();
}

struct ObjectWriter {
    ChunkWriter& w;
    void operator()(const Mesh& m) const { writeMeshObject(w, m); }
    void operator()(const Light& l) const { writeLightObject(w, l); }
    void operator()(const Camera& c) const { writeCameraObject(w, c); }
    void operator()(const EmptyObject& e) const { writeEmptyObject(w, e); }
};

}  // namespace

void writeObject(ChunkWriter& w, const Object& object)
{
    std::visit(ObjectWriter{w}, object);
}

void writeTrack(ChunkWriter& w, uint16_t chunkId, const Track& track)
{
    w.begin(chunkId);
    w.u16(track.flags);
    for (int i = 0; i < 4; ++i)
        w.u16(0);
    w.u32(static_cast<uint32_t>(track.keys.size()));
    for (const Key& k : track.keys) {
        w.u32(k.frame);
        w.u16(k.flags);
        for (int bit = 0; bit < 5; ++bit) {
            if (k.flags & (1u << bit))
                w.f32(k.extras[bit]);
        }
        if (chunkId == CHUNK_ROTATIONTRACK)
            w.f32(k.angle);
        w.point(k.value);
    }
    w.end();
}

void writeNode(ChunkWriter& w, const Node& node, uint16_t nodeId)
{
    w.begin(node.id);
    if (node.writeNodeId) {
        w.begin(CHUNK_NODEID);
        w.u16(nodeId);
        w.end();
    }
    w.begin(CHUNK_OBJETNAME);
    w.string(node.name);
    w.u16(0x4000);  // flags1, as modelling packages write them
    w.u16(0);
    w.u16(node.parent);
    w.end();
    if (node.hasPivot) {
        w.begin(CHUNK_OBJETPIVOTPOINT);
        w.point(node.pivot);
        w.end();
    }
    if (node.hasPosition)
        writeTrack(w, CHUNK_POSITIONTRACK, node.position);
    if (node.hasRotation)
        writeTrack(w, CHUNK_ROTATIONTRACK, node.rotation);
    w.raw(node.extraChunks);
    w.end();
}

namespace {

void writeMaterials(ChunkWriter& w, const Scene& scene)
{
    std::set<std::string> written;
    for (const MaterialDef& m : scene.extraMaterials) {
        if (written.insert(m.name).second)
            writeMaterial(w, m);
    }
    if (!scene.writeMaterials)
        return;
    for (const Object& o : scene.objects) {
        const Mesh* mesh = std::get_if<Mesh>(&o);
        if (!mesh || mesh->material.empty() || !written.insert(mesh->material).second)
            continue;
        MaterialDef def;
        def.name = mesh->material;
        def.textureMap = mesh->material;
        writeMaterial(w, def);
    }
}

void writeKeyframer(ChunkWriter& w, const Scene& scene)
{
    w.begin(CHUNK_KEYFRAMER);
    if (scene.writeKeyframerHeader) {
        w.begin(CHUNK_KEYFRAMEHEADER);
        w.u16(5);
        w.string("");
        w.u32(scene.frameCount);
        w.end();
        w.begin(CHUNK_KEYFRAMESEGMENT);
        w.u32(0);
        w.u32(scene.frameCount);
        w.end();
        w.begin(CHUNK_KEYFRAMECURRENT);
        w.u32(0);
        w.end();
    }
    for (size_t i = 0; i < scene.nodes.size(); ++i) {
        writeNode(w, scene.nodes[i], static_cast<uint16_t>(i));
    }
    w.raw(scene.extraKeyframerChunks);
    w.end();
}

}  // namespace

std::vector<uint8_t> writeScene(const Scene& scene)
{
    ChunkWriter w;
    w.begin(CHUNK_MAIN);
    w.begin(CHUNK_VERSION);
    w.u32(3);
    w.end();

    w.begin(CHUNK_3DEDITORCHUNK);
    w.begin(CHUNK_MESHVERSION);
    w.u32(3);
    w.end();
    writeMaterials(w, scene);
    w.begin(CHUNK_MASTERSCALE);
    w.f32(1.0f);
    w.end();
    for (const Object& o : scene.objects)
        writeObject(w, o);
    w.raw(scene.extraEditorChunks);
    w.end();

    if (!scene.nodes.empty() || scene.writeKeyframerHeader)
        writeKeyframer(w, scene);
    w.raw(scene.extraMainChunks);
    w.end();
    return w.bytes();
}

bool saveScene(const Scene& scene, const std::string& path)
{
    return saveBytes(writeScene(scene), path);
}

bool saveBytes(const std::vector<uint8_t>& bytes, const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        std::fprintf(stderr, "%s: cannot open for writing: %s\n", path.c_str(), std::strerror(errno));
        return false;
    }
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    if (std::fclose(f) != 0)
        ok = false;
    if (!ok)
        std::fprintf(stderr, "%s: write failed: %s\n", path.c_str(), std::strerror(errno));
    return ok;
}

}  // namespace tds
