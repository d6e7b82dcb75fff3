// The 3DS chunk reader: Model::load walks a 3DS file's chunk tree into the model (objects of the
// editor section, tracks of the keyframer section), then runs the finishing and lighting passes.
// The file is read whole into memory and every read is bounded by the chunk being handled, which
// never extends past its parent or the file. Depends on the platform's message box and on the
// model's material loader (the JPEG texture loader by default).
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/files.h"
#include "model/model.h"
#include "model/tds_chunks.h"
#include "platform/platform.h"

namespace {

using namespace tds;

constexpr uint32_t chunkHeaderSize = 6;
constexpr size_t objectNameLimit = 80;
constexpr size_t materialNameLimit = 256;
// Larger files are refused: chunk offsets are 32-bit and no scene comes near this.
constexpr size_t maxFileSize = 512u * 1024u * 1024u;
// Problems reported per file before the rest are only counted.
constexpr int maxReportedProblems = 12;

// The trace hook: every handler hands it a fixed text on entry. It keeps nothing.
void traceChunk(const char* text)
{
    (void)text;
}

// Why the picture a material names is not opened, or null when it may be: a data file names files
// inside the data folder only, by a relative path without "..", so that a hostile file cannot read
// elsewhere. (The texture loader itself opens regular files only, never waiting on a FIFO or a
// device.)
const char* pictureRefusal(const char* name)
{
    if (name[0] == '\0')
        return "names no picture";
    if (name[0] == '/')
        return "names an absolute path";
#ifdef _WIN32
    // Windows also takes a backslash between folders, one first for the drive's root, two for a
    // server's share, and a drive letter and colon ("C:" alone is that drive's current folder).
    if (name[0] == '\\' || (name[0] != '\0' && name[1] == ':'))
        return "names an absolute path";
    const char* const separators = "/\\";
#else
    const char* const separators = "/";
#endif
    for (const char* part = name; part != nullptr;) {
        const char* slash = std::strpbrk(part, separators);
        const size_t length = slash != nullptr ? static_cast<size_t>(slash - part) : std::strlen(part);
        if (length == 2 && part[0] == '.' && part[1] == '.')
            return "names a path leaving the data folder";
        part = slash != nullptr ? slash + 1 : nullptr;
    }
    return nullptr;
}

// The chunk being handled: header position, id, recorded length and end (start + length, cut to
// the parent's end).
struct ChunkRecord {
    uint32_t start = 0;
    uint16_t id = 0;
    uint32_t length = 0;
    uint32_t end = 0;
};

enum class NodeKind { Object, Camera, CameraTarget };

class TdsReader {
public:
    TdsReader(Model& model, std::vector<uint8_t>& bytes, const char* fileName)
        : model_(model), bytes_(bytes), fileName_(fileName), fileSize_(static_cast<uint32_t>(bytes.size())),
          limit_(fileSize_)
    {}

    // Walks the whole file. False when it does not begin with the main chunk.
    bool readFile();
    void finishReport();

private:
    // ---- Bounded reads: each fails, reading nothing, when it would pass limit_. ----
    bool have(uint32_t n) const { return n <= limit_ - pos_; }
    uint32_t bytesLeft() const { return limit_ - pos_; }
    bool readU8(uint8_t& v);
    bool readU16(uint16_t& v);
    bool readU32(uint32_t& v);
    bool readFloat(float& v);
    bool readPoint(Vec3d& v);
    bool readColour(Vec3f& v);
    bool skip(uint32_t n);
    void readName(char* name, size_t limit);
    bool readChunkHeader(ChunkRecord& chunk);

    template <typename Handler>
    void walk(const ChunkRecord& parent, Handler handler);

    void problem(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // ---- Chunk handlers ----
    void editor(const ChunkRecord& chunk);
    void keyframer(const ChunkRecord& chunk);
    void objectBlock(const ChunkRecord& chunk);
    bool claimKind(SceneObject* object, ObjectKind kind, const ChunkRecord& chunk);
    void mesh(SceneObject* object, const ChunkRecord& chunk);
    void vertexList(SceneObject* object);
    void faceList(SceneObject* object, const ChunkRecord& chunk);
    void faceMaterialList(SceneObject* object);
    void mappingList(SceneObject* object);
    void light(SceneObject* object, const ChunkRecord& chunk);
    void spotlight(SceneObject* object);
    void camera(SceneObject* object, const ChunkRecord& chunk);
    void node(NodeKind kind, const ChunkRecord& chunk);
    void readTrack(const ChunkRecord& chunk, bool rotation, uint32_t& count, uint16_t*& frames, Vec3d*& keys);
    SceneObject* findObject(const char* name);
    bool blockHoldsMesh(const ChunkRecord& chunk) const;

    Model& model_;
    std::vector<uint8_t>& bytes_;
    const char* fileName_;
    uint32_t fileSize_;
    uint32_t pos_ = 0;
    uint32_t limit_;
    SceneObject* last_ = nullptr;  // the last object of the list: new objects go behind it
    int problems_ = 0;
    std::string firstProblem_;  // said by finishReport unless verboseDataReports
    bool cutOff_ = false;       // the file ends before its main chunk does
    // The first object of each name, for the keyframer's nodes: a lookup per node down the whole
    // list would make a file of many objects and nodes take minutes.
    std::unordered_map<std::string, SceneObject*> names_;
    SceneObject* lastNamed_ = nullptr;  // the last object entered in names_
    // Against the model's size limits: meshes and faces kept, and what was left out past them.
    int meshes_ = 0;
    long long faces_ = 0;
    int meshesLeftOut_ = 0;
    long long facesLeftOut_ = 0;
};

SceneObject* TdsReader::findObject(const char* name)
{
    // Objects are only ever appended: enter the ones read since the last lookup.
    SceneObject* next = lastNamed_ != nullptr ? lastNamed_->next : model_.objectCount > 0 ? &model_ : nullptr;
    for (; next != nullptr; next = next->next) {
        names_.emplace(next->name, next);
        lastNamed_ = next;
    }
    auto found = names_.find(name);
    return found != names_.end() ? found->second : nullptr;
}

void TdsReader::problem(const char* format, ...)
{
    // A file cut off has been reported as such; what the cut does to its chunks follows from that.
    if (cutOff_)
        return;
    ++problems_;
    if (problems_ > 1 && (!verboseDataReports || problems_ > maxReportedProblems))
        return;
    char text[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(text, sizeof(text), format, args);
    va_end(args);
    // Said at the end, in one line with the count of the others, unless every one is wanted.
    if (verboseDataReports)
        std::fprintf(stderr, "%s: %s\n", fileName_, text);
    else
        firstProblem_ = text;
}

void TdsReader::finishReport()
{
    if (verboseDataReports && problems_ > maxReportedProblems)
        std::fprintf(stderr, "%s: %d more problems not shown\n", fileName_, problems_ - maxReportedProblems);
    if (!verboseDataReports && problems_ == 1)
        std::fprintf(stderr, "%s: %s\n", fileName_, firstProblem_.c_str());
    if (!verboseDataReports && problems_ > 1)
        std::fprintf(stderr, "%s: %s (and %d more problems; --verbose lists them)\n", fileName_, firstProblem_.c_str(),
                     problems_ - 1);
    if (meshesLeftOut_ > 0 || facesLeftOut_ > 0)
        std::fprintf(stderr,
                     "%s: larger than a scene may be (%d meshes, %lld faces); %d meshes and %lld faces past that "
                     "left out\n",
                     fileName_, Model::maxMeshObjects, Model::maxFaces, meshesLeftOut_, facesLeftOut_);
}

// Whether an object block (read position at its name) holds a mesh chunk; reads nothing.
bool TdsReader::blockHoldsMesh(const ChunkRecord& chunk) const
{
    uint32_t at = pos_;
    while (at < chunk.end && bytes_[at] != 0)
        ++at;
    ++at;
    while (at + chunkHeaderSize <= chunk.end) {
        const uint16_t id = static_cast<uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
        const uint32_t length = static_cast<uint32_t>(bytes_[at + 2]) | static_cast<uint32_t>(bytes_[at + 3]) << 8 |
                                static_cast<uint32_t>(bytes_[at + 4]) << 16 |
                                static_cast<uint32_t>(bytes_[at + 5]) << 24;
        if (id == CHUNK_TRIANGULARMESH)
            return true;
        if (length < chunkHeaderSize || length > chunk.end - at)
            return false;
        at += length;
    }
    return false;
}

bool TdsReader::readU8(uint8_t& v)
{
    if (!have(1))
        return false;
    v = bytes_[pos_++];
    return true;
}

bool TdsReader::readU16(uint16_t& v)
{
    if (!have(2))
        return false;
    v = static_cast<uint16_t>(bytes_[pos_] | bytes_[pos_ + 1] << 8);
    pos_ += 2;
    return true;
}

bool TdsReader::readU32(uint32_t& v)
{
    if (!have(4))
        return false;
    v = static_cast<uint32_t>(bytes_[pos_]) | static_cast<uint32_t>(bytes_[pos_ + 1]) << 8 |
        static_cast<uint32_t>(bytes_[pos_ + 2]) << 16 | static_cast<uint32_t>(bytes_[pos_ + 3]) << 24;
    pos_ += 4;
    return true;
}

bool TdsReader::readFloat(float& v)
{
    uint32_t bits = 0;
    if (!readU32(bits))
        return false;
    std::memcpy(&v, &bits, sizeof(v));
    return true;
}

bool TdsReader::readPoint(Vec3d& v)
{
    if (!have(12))
        return false;
    float f1 = 0.0f, f2 = 0.0f, f3 = 0.0f;
    readFloat(f1);
    readFloat(f2);
    readFloat(f3);
    // The file is Z-up; the model is Y-up.
    v = Vec3d{f1, f3, -static_cast<double>(f2)};
    return true;
}

bool TdsReader::readColour(Vec3f& v)
{
    if (!have(12))
        return false;
    readFloat(v.x);
    readFloat(v.y);
    readFloat(v.z);
    return true;
}

bool TdsReader::skip(uint32_t n)
{
    if (!have(n))
        return false;
    pos_ += n;
    return true;
}

void TdsReader::readName(char* name, size_t limit)
{
    // One byte at a time up to the NUL. A name longer than its field keeps what fits (and is
    // terminated); the rest is read past so that what follows the name stays aligned.
    size_t length = 0;
    bool terminated = false;
    uint8_t c = 0;
    while (readU8(c)) {
        if (c == 0) {
            terminated = true;
            break;
        }
        if (length + 1 < limit)
            name[length] = static_cast<char>(c);
        ++length;
    }
    name[length + 1 < limit ? length : limit - 1] = '\0';
    if (!terminated)
        problem("name \"%s\" at %u has no end; cut at its chunk's end", name, pos_);
    else if (length + 1 > limit)
        problem("name \"%s...\" is %zu characters long; cut at %zu", name, length, limit - 1);
}

bool TdsReader::readChunkHeader(ChunkRecord& chunk)
{
    chunk.start = pos_;
    return readU16(chunk.id) && readU32(chunk.length);
}

template <typename Handler>
void TdsReader::walk(const ChunkRecord& parent, Handler handler)
{
    // Every turn starts past the previous child's header, so the walk always moves forward.
    limit_ = parent.end;
    while (pos_ < parent.end) {
        if (parent.end - pos_ < chunkHeaderSize) {
            problem("%u stray bytes at the end of chunk 0x%04X at %u", parent.end - pos_, parent.id, parent.start);
            break;
        }
        ChunkRecord child;
        readChunkHeader(child);
        if (child.length < chunkHeaderSize) {
            // A length this short cannot be stepped over; nothing after it can be found.
            problem("chunk 0x%04X at %u has length %u; rest of chunk 0x%04X skipped", child.id, child.start,
                    child.length, parent.id);
            break;
        }
        if (child.length > parent.end - child.start) {
            problem("chunk 0x%04X at %u (length %u) runs past %s at %u; cut there", child.id, child.start, child.length,
                    parent.end == fileSize_ ? "the end of the file" : "its parent's end", parent.end);
            child.end = parent.end;
        } else {
            child.end = child.start + child.length;
        }
        limit_ = child.end;
        handler(child);
        limit_ = parent.end;
        pos_ = child.end;
    }
    pos_ = parent.end;
}

bool TdsReader::readFile()
{
    ChunkRecord main;
    if (!readChunkHeader(main)) {
        std::fprintf(stderr, "%s: too short for a 3DS file (%u bytes); nothing read\n", fileName_, fileSize_);
        return false;
    }
    if (main.id != CHUNK_MAIN) {
        std::fprintf(stderr, "%s: not a 3DS file (it begins with 0x%04X, not the main chunk 0x%04X); nothing read\n",
                     fileName_, main.id, CHUNK_MAIN);
        return false;
    }
    if (main.length < chunkHeaderSize) {
        problem("main chunk has length %u; nothing read", main.length);
        return true;
    }
    if (main.length > fileSize_) {
        problem("cut off: the file ends at %u, before its main chunk's end at %u; what it holds is used", fileSize_,
                main.length);
        cutOff_ = true;
        main.end = fileSize_;
    } else {
        main.end = main.length;
    }
    walk(main, [this](const ChunkRecord& chunk) {
        if (chunk.id == CHUNK_3DEDITORCHUNK)
            editor(chunk);
        else if (chunk.id == CHUNK_KEYFRAMER)
            keyframer(chunk);
    });
    return true;
}

void TdsReader::editor(const ChunkRecord& chunk)
{
    traceChunk("CHUNK_3DEDITORCHUNK\n");
    walk(chunk, [this](const ChunkRecord& child) {
        if (child.id == CHUNK_OBJETBLOCK)
            objectBlock(child);
    });
}

void TdsReader::objectBlock(const ChunkRecord& chunk)
{
    traceChunk("+--CHUNK_OBJETBLOCK\n");
    // Past the mesh limit a mesh is left out whole, but lights and cameras are still read.
    if (meshes_ >= Model::maxMeshObjects && blockHoldsMesh(chunk)) {
        ++meshesLeftOut_;
        return;
    }
    SceneObject* object = nullptr;
    if (model_.objectCount == 0) {
        object = &model_;
        object->prev = nullptr;
    } else {
        if (model_.objectCount == UINT16_MAX) {
            problem("more than %u objects; object at %u left out", UINT16_MAX, chunk.start);
            return;
        }
        object = new (std::nothrow) SceneObject;
        if (object == nullptr) {
            problem("out of memory for the object at %u", chunk.start);
            return;
        }
        object->prev = last_;
        last_->next = object;
    }
    object->next = nullptr;
    last_ = object;
    model_.cursor = object;
    model_.objectCount++;

    readName(object->name, objectNameLimit);
    object->faceCount = 0;
    object->vertexCount = 0;
    object->position = Vec3d();
    object->rotation = Vec3d();
    object->positionKeyCount = 0;
    object->rotationKeyCount = 0;
    object->material = -1;

    walk(chunk, [this, object](const ChunkRecord& child) {
        if (child.id == CHUNK_TRIANGULARMESH)
            mesh(object, child);
        else if (child.id == CHUNK_LIGHT)
            light(object, child);
        else if (child.id == CHUNK_CAMERA)
            camera(object, child);
    });
}

bool TdsReader::claimKind(SceneObject* object, ObjectKind kind, const ChunkRecord& chunk)
{
    // One object is one thing: a second mesh, light or camera chunk in the same block would mix
    // arrays and tables of different kinds, so only the first one counts.
    if (object->kind != ObjectKind::None) {
        problem("object \"%s\" has a second kind chunk 0x%04X at %u; skipped", object->name, chunk.id, chunk.start);
        return false;
    }
    object->kind = kind;
    return true;
}

void TdsReader::mesh(SceneObject* object, const ChunkRecord& chunk)
{
    traceChunk("   +--CHUNK_TRIANGULARMESH\n");
    if (!claimKind(object, ObjectKind::Mesh, chunk))
        return;
    ++meshes_;
    walk(chunk, [this, object](const ChunkRecord& child) {
        if (child.id == CHUNK_VERTICELIST)
            vertexList(object);
        else if (child.id == CHUNK_FACELIST)
            faceList(object, child);
        else if (child.id == CHUNK_MAPPINGCOORDINATELIST)
            mappingList(object);
    });
}

void TdsReader::vertexList(SceneObject* object)
{
    traceChunk("      +--CHUNK_VERTICELIST\n");
    uint16_t count = 0;
    if (!readU16(count))
        return;
    if (count > bytesLeft() / 12) {
        problem("mesh \"%s\": %u vertices announced, room for %u", object->name, count, bytesLeft() / 12);
        count = static_cast<uint16_t>(bytesLeft() / 12);
    }
    delete[] object->vertices;
    delete[] object->vertexColours;
    object->vertices = nullptr;
    object->vertexColours = nullptr;
    object->vertexCount = 0;
    object->boundsMin = Vec3f();
    object->boundsMax = Vec3f();
    std::memset(object->crossQuads, 0, sizeof(object->crossQuads));
    if (count == 0)
        return;

    Vec3d* vertices = new (std::nothrow) Vec3d[count];
    Vec3f* colours = new (std::nothrow) Vec3f[count];
    if (vertices == nullptr || colours == nullptr) {
        delete[] vertices;
        delete[] colours;
        sysMessageBox("-=(ERROR)=-", "Cannot alloc memory for vertex");
        return;
    }
    object->vertices = vertices;
    object->vertexColours = colours;
    object->vertexCount = count;
    for (uint16_t i = 0; i < count; ++i) {
        readPoint(vertices[i]);
        colours[i] = Vec3f{1.0f, 1.0f, 1.0f};
    }

    Vec3f& lo = object->boundsMin;
    Vec3f& hi = object->boundsMax;
    lo = hi =
        Vec3f{static_cast<float>(vertices[0].x), static_cast<float>(vertices[0].y), static_cast<float>(vertices[0].z)};
    for (uint16_t i = 1; i < count; ++i) {
        float x = static_cast<float>(vertices[i].x);
        float y = static_cast<float>(vertices[i].y);
        float z = static_cast<float>(vertices[i].z);
        lo = Vec3f{x < lo.x ? x : lo.x, y < lo.y ? y : lo.y, z < lo.z ? z : lo.z};
        hi = Vec3f{x > hi.x ? x : hi.x, y > hi.y ? y : hi.y, z > hi.z ? z : hi.z};
    }
    float mx = lo.x + (hi.x - lo.x) / 2.0f;
    float my = lo.y + (hi.y - lo.y) / 2.0f;
    float mz = lo.z + (hi.z - lo.z) / 2.0f;
    Vec3f(&q)[3][4] = object->crossQuads;
    q[0][0] = {lo.x, lo.y, mz};
    q[0][1] = {hi.x, lo.y, mz};
    q[0][2] = {hi.x, hi.y, mz};
    q[0][3] = {lo.x, hi.y, mz};
    q[1][0] = {mx, lo.y, lo.z};
    q[1][1] = {mx, lo.y, hi.z};
    q[1][2] = {mx, hi.y, hi.z};
    q[1][3] = {mx, hi.y, lo.z};
    q[2][0] = {lo.x, my, lo.z};
    q[2][1] = {hi.x, my, lo.z};
    q[2][2] = {hi.x, my, hi.z};
    q[2][3] = {lo.x, my, hi.z};
}

void TdsReader::faceList(SceneObject* object, const ChunkRecord& chunk)
{
    traceChunk("      +--CHUNK_FACELIST\n");
    uint16_t count = 0;
    if (!readU16(count))
        return;
    if (count > bytesLeft() / 8) {
        problem("mesh \"%s\": %u faces announced, room for %u", object->name, count, bytesLeft() / 8);
        count = static_cast<uint16_t>(bytesLeft() / 8);
    }
    uint32_t passedOver = 0;  // faces past the limit: read past, not kept
    if (faces_ + count > Model::maxFaces) {
        const long long kept = Model::maxFaces - faces_;
        passedOver = count - static_cast<uint32_t>(kept);
        facesLeftOut_ += passedOver;
        count = static_cast<uint16_t>(kept);
    }
    faces_ += count;
    delete[] object->faces;
    object->faces = nullptr;
    object->faceCount = 0;
    if (count > 0) {
        Face* faces = new (std::nothrow) Face[count];
        if (faces == nullptr) {
            problem("mesh \"%s\": out of memory for %u faces", object->name, count);
            return;
        }
        for (uint16_t i = 0; i < count; ++i) {
            readU16(faces[i].a);
            readU16(faces[i].b);
            readU16(faces[i].c);
            readU16(faces[i].flags);
        }
        object->faces = faces;
        object->faceCount = count;
    }
    skip(passedOver * 8);
    // The sub-chunks follow the faces.
    walk(chunk, [this, object](const ChunkRecord& child) {
        if (child.id == CHUNK_FACEMATERIALLIST)
            faceMaterialList(object);
    });
}

void TdsReader::faceMaterialList(SceneObject* object)
{
    traceChunk("         +--CHUNK_FACEMATERIALLIST\n");
    char name[materialNameLimit] = {};
    readName(name, materialNameLimit);
    for (int32_t i = 0; i < model_.materialCount; ++i) {
        if (std::strcmp(model_.materials[i].name, name) == 0) {
            object->material = i;
            return;
        }
    }
    if (model_.materialCount >= Model::maxMaterials) {
        problem("more than %d materials; \"%s\" left out (mesh \"%s\" drawn untextured)", Model::maxMaterials, name,
                object->name);
        object->material = -1;
        return;
    }
    Material& material = model_.materials[model_.materialCount];
    material.texture = 0;
    if (model_.materialLoader != nullptr) {
        const char* refusal = pictureRefusal(name);
        if (refusal == nullptr)
            model_.materialLoader(&material.texture, name, 0);
        else
            std::fprintf(stderr, "%s: material \"%s\" (mesh \"%s\") %s; drawn untextured\n", fileName_, name,
                         object->name, refusal);
    }
    std::memcpy(material.name, name, sizeof(material.name));
    object->material = model_.materialCount;
    model_.materialCount++;
}

void TdsReader::mappingList(SceneObject* object)
{
    traceChunk("      +--CHUNK_MAPPINGCOORDINATELIST\n");
    uint16_t count = 0;
    if (!readU16(count))
        return;
    if (count > bytesLeft() / 8) {
        problem("mesh \"%s\": %u mapping coordinates announced, room for %u", object->name, count, bytesLeft() / 8);
        count = static_cast<uint16_t>(bytesLeft() / 8);
    }
    delete[] object->mapping;
    object->mapping = nullptr;
    object->mappingCount = 0;
    if (count == 0)
        return;
    TexCoord* mapping = new (std::nothrow) TexCoord[count];
    if (mapping == nullptr) {
        sysMessageBox("-=(ERROR)=-", "Cannot alloc memory for mapping coordinate");
        return;
    }
    for (uint16_t i = 0; i < count; ++i) {
        readFloat(mapping[i].u);
        readFloat(mapping[i].v);
    }
    object->mapping = mapping;
    object->mappingCount = count;
}

void TdsReader::light(SceneObject* object, const ChunkRecord& chunk)
{
    traceChunk("   +--CHUNK_LIGHT\n");
    if (!claimKind(object, ObjectKind::Light, chunk))
        return;
    LightRecord& record = object->light;
    readPoint(object->position);
    record.position = object->position;
    // Without a colour chunk the light is white; without a spotlight chunk it is an omni light
    // reaching omniLightRange.
    record.colour = Vec3f{1.0f, 1.0f, 1.0f};
    record.spotTarget = record.position;
    record.range = omniLightRange;
    walk(chunk, [this, object](const ChunkRecord& child) {
        if (child.id == CHUNK_COLORFLOAT) {
            Vec3f colour;
            if (readColour(colour))
                object->light.colour = Vec3f{std::fabs(colour.x), std::fabs(colour.y), std::fabs(colour.z)};
        } else if (child.id == CHUNK_SPOTLIGHT) {
            spotlight(object);
        }
    });
    if (model_.lightCount >= Model::maxLights) {
        problem("more than %d lights; \"%s\" left out", Model::maxLights, object->name);
        return;
    }
    model_.lights[model_.lightCount++] = &object->light;
}

void TdsReader::spotlight(SceneObject* object)
{
    traceChunk("      +--CHUNK_SPOTLIGHT\n");
    LightRecord& record = object->light;
    if (!readPoint(record.spotTarget))
        return;
    double dx = record.spotTarget.x - record.position.x;
    double dy = record.spotTarget.y - record.position.y;
    double dz = record.spotTarget.z - record.position.z;
    record.range = static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
    readFloat(record.hotspot);
    readFloat(record.falloff);
}

void TdsReader::camera(SceneObject* object, const ChunkRecord& chunk)
{
    traceChunk("   +--CHUNK_CAMERA\n");
    if (!claimKind(object, ObjectKind::Camera, chunk))
        return;
    readPoint(object->cameraPosition);
    readPoint(object->cameraTarget);
    readFloat(object->cameraBank);
    readFloat(object->cameraLens);
}

void TdsReader::keyframer(const ChunkRecord& chunk)
{
    traceChunk("CHUNK_KEYFRAMER\n");
    walk(chunk, [this](const ChunkRecord& child) {
        if (child.id == CHUNK_OBJETINFOBLOCK || child.id == CHUNK_SPOTLIGHTINFOBLOCK)
            node(NodeKind::Object, child);
        else if (child.id == CHUNK_CAMERAINFOBLOCK)
            node(NodeKind::Camera, child);
        else if (child.id == CHUNK_CAMERATARGETINFOBLOCK)
            node(NodeKind::CameraTarget, child);
    });
}

void releaseTrack(uint32_t& count, uint16_t*& frames, Vec3d*& keys)
{
    delete[] frames;
    delete[] keys;
    frames = nullptr;
    keys = nullptr;
    count = 0;
}

void TdsReader::node(NodeKind kind, const ChunkRecord& chunk)
{
    if (kind == NodeKind::Object)
        traceChunk("+--CHUNK_OBJETINFOBLOCK\n");
    else if (kind == NodeKind::Camera)
        traceChunk("+--CHUNK_CAMERAINFOBLOCK\n");
    else
        traceChunk("+--CHUNK_CAMERATARGETINFOBLOCK\n");

    SceneObject* selected = nullptr;
    walk(chunk, [this, kind, &selected](const ChunkRecord& child) {
        if (child.id == CHUNK_OBJETNAME) {
            traceChunk("   +--CHUNK_OBJETNAME\n");
            char name[objectNameLimit] = {};
            readName(name, objectNameLimit);
            selected = findObject(name);
            if (selected != nullptr && kind == NodeKind::Object) {
                // A second node for the same object replaces its tracks; the old ones are freed.
                releaseTrack(selected->positionKeyCount, selected->positionFrames, selected->positionKeys);
                releaseTrack(selected->rotationKeyCount, selected->rotationFrames, selected->rotationKeys);
            }
            return;
        }
        if (selected == nullptr)
            return;
        if (child.id == CHUNK_OBJETPIVOTPOINT) {
            traceChunk("   +--CHUNK_OBJETPIVOTPOINT\n");
            readPoint(selected->rotation);
        } else if (child.id == CHUNK_POSITIONTRACK) {
            traceChunk("   +--CHUNK_POSITIONTRACK\n");
            if (kind == NodeKind::CameraTarget) {
                readTrack(child, false, selected->rotationKeyCount, selected->rotationFrames, selected->rotationKeys);
                selected->rotationKeyIndex = 1;
            } else {
                readTrack(child, false, selected->positionKeyCount, selected->positionFrames, selected->positionKeys);
                selected->positionKeyIndex = 1;
            }
        } else if (child.id == CHUNK_ROTATIONTRACK && kind == NodeKind::Object) {
            traceChunk("   +--CHUNK_ROTATIONTRACK\n");
            readTrack(child, true, selected->rotationKeyCount, selected->rotationFrames, selected->rotationKeys);
            selected->rotationKeyIndex = 0;
        }
    });
}

void TdsReader::readTrack(const ChunkRecord& chunk, bool rotation, uint32_t& count, uint16_t*& frames, Vec3d*& keys)
{
    releaseTrack(count, frames, keys);
    uint32_t n = 0;
    if (!skip(10) || !readU32(n))
        return;
    // Every key holds at least its frame, flags and value.
    const uint32_t smallestKey = 4 + 2 + (rotation ? 16 : 12);
    if (n > bytesLeft() / smallestKey) {
        problem("track at %u: %u keys announced, room for at most %u", chunk.start, n, bytesLeft() / smallestKey);
        n = bytesLeft() / smallestKey;
    }
    if (n == 0)
        return;
    uint16_t* newFrames = new (std::nothrow) uint16_t[n];
    Vec3d* newKeys = new (std::nothrow) Vec3d[n];
    if (newFrames == nullptr || newKeys == nullptr) {
        delete[] newFrames;
        delete[] newKeys;
        problem("track at %u: out of memory for %u keys", chunk.start, n);
        return;
    }

    uint32_t read = 0;
    for (; read < n; ++read) {
        uint32_t frame = 0;
        uint16_t flags = 0;
        if (!readU32(frame) || !readU16(flags))
            break;
        newFrames[read] = static_cast<uint16_t>(frame);
        bool ok = true;
        for (int bit = 0; bit < 5 && ok; ++bit) {
            if (flags & (1u << bit))
                ok = skip(4);
        }
        if (!ok)
            break;
        if (!rotation) {
            if (!readPoint(newKeys[read]))
                break;
            continue;
        }
        float angle = 0.0f;
        Vec3d axis;
        if (!readFloat(angle) || !readPoint(axis))
            break;
        double degrees = angle * 180.0 / 3.1415;
        if (read == 0) {
            newKeys[read] = Vec3d();
        } else {
            const Vec3d& previous = newKeys[read - 1];
            newKeys[read] =
                Vec3d{axis.x * degrees + previous.x, axis.y * degrees + previous.y, axis.z * degrees + previous.z};
        }
    }
    if (read < n)
        problem("track at %u ends after %u of its %u keys", chunk.start, read, n);
    if (read == 0) {
        delete[] newFrames;
        delete[] newKeys;
        return;
    }
    count = read;
    frames = newFrames;
    keys = newKeys;
}

// Reads a whole stream into memory. False when it cannot be read or is too large.
bool readWholeStream(FILE* stream, std::vector<uint8_t>& bytes)
{
    uint8_t block[65536];
    size_t got = 0;
    while ((got = std::fread(block, 1, sizeof(block), stream)) > 0) {
        if (bytes.size() + got > maxFileSize)
            return false;
        bytes.insert(bytes.end(), block, block + got);
    }
    return !std::ferror(stream);
}

}  // namespace

bool Model::load(const char* fileName)
{
    std::string why;
    FILE* stream = openDataFile(fileName, &why);
    if (stream == nullptr) {
        std::fprintf(stderr, "%s: cannot be opened (%s); the scene stays empty\n", fileName, why.c_str());
        destroy();
        setLoadDefaults();
        sourceName = fileName;
        return false;
    }
    bool loaded = loadFromStream(stream, fileName);
    std::fclose(stream);
    return loaded;
}

bool Model::loadFromStream(FILE* stream, const char* name)
{
    destroy();
    setLoadDefaults();
    sourceName = name;
    file = stream;

    std::vector<uint8_t> bytes;
    bool readable = readWholeStream(stream, bytes);
    if (!readable)
        std::fprintf(stderr, "%s: cannot be read whole (read error or larger than %zu bytes)\n", name, maxFileSize);
    TdsReader reader(*this, bytes, name);
    bool loaded = readable && reader.readFile();
    reader.finishReport();
    file = nullptr;
    if (!loaded) {
        destroy();
        setLoadDefaults();
        return false;
    }

    rewind();
    finishObjects();
    computeVertexLighting();
    setFrameRange();
    rewind();
    return true;
}
