// Tests of the 3DS chunk writer: byte layout of values and chunks, nested lengths, the axis swap,
// track keys with their extra floats, whole scenes in the order the reader walks them, and the
// deliberately broken chunks that reader tests rely on.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <unistd.h>

#include <gtest/gtest.h>

#include "tools/assetgen/tds_writer.h"

namespace {

uint16_t u16At(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint16_t>(b[at] | (b[at + 1] << 8));
}
uint32_t u32At(const std::vector<uint8_t>& b, size_t at)
{
    return static_cast<uint32_t>(b[at]) | (static_cast<uint32_t>(b[at + 1]) << 8) |
           (static_cast<uint32_t>(b[at + 2]) << 16) | (static_cast<uint32_t>(b[at + 3]) << 24);
}
float f32At(const std::vector<uint8_t>& b, size_t at)
{
    uint32_t bits = u32At(b, at);
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

// A chunk as found by walking a finished file.
struct Chunk {
    uint16_t id = 0;
    size_t start = 0;
    uint32_t length = 0;
    size_t dataStart = 0;  // where the sub-chunks begin (after the chunk's own data)
    std::vector<Chunk> children;
};

// Bytes of a chunk's own data before its sub-chunks, for the container chunks the writer emits.
size_t ownDataSize(const std::vector<uint8_t>& b, const Chunk& c)
{
    size_t p = c.start + 6;
    auto skipString = [&](size_t at) {
        while (at < b.size() && b[at] != 0)
            ++at;
        return at + 1 - p;
    };
    switch (c.id) {
    case tds::CHUNK_OBJETBLOCK:
        return skipString(p);
    case tds::CHUNK_LIGHT:
        return 12;
    case tds::CHUNK_FACELIST:
        return 2 + 8 * static_cast<size_t>(u16At(b, p));
    default:
        return 0;
    }
}

bool isContainer(uint16_t id)
{
    switch (id) {
    case tds::CHUNK_MAIN:
    case tds::CHUNK_3DEDITORCHUNK:
    case tds::CHUNK_OBJETBLOCK:
    case tds::CHUNK_TRIANGULARMESH:
    case tds::CHUNK_FACELIST:
    case tds::CHUNK_LIGHT:
    case tds::CHUNK_KEYFRAMER:
    case tds::CHUNK_OBJETINFOBLOCK:
    case tds::CHUNK_CAMERAINFOBLOCK:
    case tds::CHUNK_CAMERATARGETINFOBLOCK:
    case tds::CHUNK_SPOTLIGHTINFOBLOCK:
    case tds::CHUNK_MATERIAL:
    case tds::CHUNK_MATDIFFUSE:
    case tds::CHUNK_TEXTUREMAP:
        return true;
    default:
        return false;
    }
}

// Walks the chunks between from and to; fails the test when a length does not fit its parent.
std::vector<Chunk> walk(const std::vector<uint8_t>& b, size_t from, size_t to)
{
    std::vector<Chunk> out;
    size_t p = from;
    while (p < to) {
        EXPECT_LE(p + 6, to) << "chunk header cut at " << p;
        if (p + 6 > to)
            break;
        Chunk c;
        c.id = u16At(b, p);
        c.start = p;
        c.length = u32At(b, p + 2);
        EXPECT_GE(c.length, 6u) << "chunk 0x" << std::hex << c.id;
        EXPECT_LE(p + c.length, to) << "chunk 0x" << std::hex << c.id << " overruns its parent";
        if (c.length < 6 || p + c.length > to)
            break;
        if (isContainer(c.id)) {
            c.dataStart = p + 6 + ownDataSize(b, c);
            c.children = walk(b, c.dataStart, p + c.length);
        }
        out.push_back(c);
        p += c.length;
    }
    EXPECT_EQ(p, to) << "sub-chunks do not end exactly at their parent's end";
    return out;
}

std::vector<uint16_t> ids(const std::vector<Chunk>& chunks)
{
    std::vector<uint16_t> v;
    for (const Chunk& c : chunks)
        v.push_back(c.id);
    return v;
}

std::string stringAt(const std::vector<uint8_t>& b, size_t at)
{
    return std::string(reinterpret_cast<const char*>(&b[at]));
}

tds::Mesh triangleMesh(const std::string& name, const std::string& material)
{
    tds::Mesh m;
    m.name = name;
    m.vertices = {{0, 0, 0}, {10, 0, 0}, {0, 10, 0}};
    tds::Face f;
    f.a = 0;
    f.b = 1;
    f.c = 2;
    m.faces = {f};
    m.mapping = {{0, 0}, {1, 0}, {0, 1}};
    m.material = material;
    return m;
}

}  // namespace

TEST(TdsWriter, ValuesAreLittleEndianAndStringsEndInNul)
{
    tds::ChunkWriter w;
    w.u16(0x1234);
    w.u32(0xA1B2C3D4u);
    w.f32(1.0f);
    w.string("ab");
    w.raw(std::vector<uint8_t>{7, 8});
    const std::vector<uint8_t> expected = {0x34, 0x12, 0xD4, 0xC3, 0xB2, 0xA1, 0x00, 0x00,
                                           0x80, 0x3F, 'a',  'b',  0,    7,    8};
    EXPECT_EQ(w.bytes(), expected);
}

TEST(TdsWriter, NestedChunksGetTheirTrueLengths)
{
    tds::ChunkWriter w;
    w.begin(tds::CHUNK_MAIN);
    w.begin(tds::CHUNK_3DEDITORCHUNK);
    w.rawChunk(0x1111, {1, 2, 3});
    w.end();
    w.begin(tds::CHUNK_KEYFRAMER);
    w.end();
    w.end();
    const std::vector<uint8_t>& b = w.bytes();
    ASSERT_EQ(b.size(), 6u + 6u + 9u + 6u);
    EXPECT_EQ(w.openChunks(), 0u);
    EXPECT_EQ(u32At(b, 2), b.size());
    EXPECT_EQ(u32At(b, 8), 15u);  // editor: its header and the 9-byte raw chunk
    EXPECT_EQ(u32At(b, 14), 9u);
    EXPECT_EQ(u16At(b, 21), tds::CHUNK_KEYFRAMER);
    EXPECT_EQ(u32At(b, 23), 6u);
}

TEST(TdsWriter, BrokenChunksForReaderTests)
{
    tds::ChunkWriter w;
    w.begin(tds::CHUNK_MAIN);
    w.begin(tds::CHUNK_3DEDITORCHUNK);
    w.endWithLength(0xFFFFFFF0u);  // a length far past the end of the file
    w.header(0xBEEF, 3);           // a header whose length is shorter than a header
    w.end();
    const std::vector<uint8_t>& b = w.bytes();
    EXPECT_EQ(u32At(b, 8), 0xFFFFFFF0u);
    EXPECT_EQ(u16At(b, 12), 0xBEEF);
    EXPECT_EQ(u32At(b, 14), 3u);
    EXPECT_EQ(u32At(b, 2), b.size());
    // end() with nothing open changes nothing; the bytes can be cut short by hand.
    w.end();
    EXPECT_EQ(w.size(), 18u);
    w.mutableBytes().resize(10);
    EXPECT_EQ(w.size(), 10u);
}

TEST(TdsWriter, SceneToFileIsUndoneByTheReadersSwap)
{
    tds::Vec3 f = tds::sceneToFile(tds::Vec3{1.0f, 2.0f, 3.0f});
    EXPECT_EQ(f.x, 1.0f);
    EXPECT_EQ(f.y, -3.0f);
    EXPECT_EQ(f.z, 2.0f);
    // The reader stores (f1, f3, -f2).
    EXPECT_EQ(f.x, 1.0f);
    EXPECT_EQ(f.z, 2.0f);
    EXPECT_EQ(-f.y, 3.0f);
    std::vector<tds::Vec3> many = tds::sceneToFile(std::vector<tds::Vec3>{{0, 1, 0}, {0, 0, 1}});
    ASSERT_EQ(many.size(), 2u);
    EXPECT_EQ(many[0].z, 1.0f);  // up becomes the file's z
    EXPECT_EQ(many[1].y, -1.0f);
}

TEST(TdsWriter, TrackKeysCarryOneExtraFloatPerFlagBit)
{
    tds::Track t;
    t.keys.push_back(tds::positionKey(70000, {1, 2, 3}));
    t.keys.push_back(tds::positionKey(5, {4, 5, 6}));
    t.keys[1].flags = 0x0003;
    t.keys[1].extras[0] = 0.25f;
    t.keys[1].extras[1] = 0.5f;
    tds::ChunkWriter w;
    tds::writeTrack(w, tds::CHUNK_POSITIONTRACK, t);
    const std::vector<uint8_t>& b = w.bytes();
    // header 6, track header 10, count 4, key 0: 4 + 2 + 12, key 1: 4 + 2 + 8 + 12.
    ASSERT_EQ(b.size(), 6u + 10u + 4u + 18u + 26u);
    EXPECT_EQ(u32At(b, 16), 2u);
    EXPECT_EQ(u32At(b, 20), 70000u);  // written whole; the reader keeps the low 16 bits
    EXPECT_EQ(u16At(b, 24), 0u);
    EXPECT_EQ(f32At(b, 26), 1.0f);
    EXPECT_EQ(u32At(b, 38), 5u);
    EXPECT_EQ(u16At(b, 42), 3u);
    EXPECT_EQ(f32At(b, 44), 0.25f);
    EXPECT_EQ(f32At(b, 48), 0.5f);
    EXPECT_EQ(f32At(b, 52), 4.0f);

    tds::Track all;
    all.keys.push_back(tds::positionKey(0, {}));
    all.keys[0].flags = 0x001F;
    tds::ChunkWriter w2;
    tds::writeTrack(w2, tds::CHUNK_POSITIONTRACK, all);
    EXPECT_EQ(w2.size(), 6u + 10u + 4u + 6u + 5u * 4u + 12u);
}

TEST(TdsWriter, RotationKeysWriteTheAngleBeforeTheAxis)
{
    tds::Track t;
    t.keys.push_back(tds::rotationKey(3, 1.5f, {0, 0, 1}));
    tds::ChunkWriter w;
    tds::writeTrack(w, tds::CHUNK_ROTATIONTRACK, t);
    const std::vector<uint8_t>& b = w.bytes();
    ASSERT_EQ(b.size(), 6u + 10u + 4u + 6u + 16u);
    EXPECT_EQ(f32At(b, 26), 1.5f);
    EXPECT_EQ(f32At(b, 30), 0.0f);
    EXPECT_EQ(f32At(b, 38), 1.0f);
}

TEST(TdsWriter, SceneHoldsObjectsAndNodesInOrder)
{
    tds::Scene s;
    s.objects.push_back(triangleMesh("box", "maps/tex/a.jpg"));
    s.objects.push_back(triangleMesh("%glass", "maps/tex/a.jpg"));
    tds::Light l;
    l.name = "lamp";
    l.isSpot = true;
    l.position = {1, 2, 3};
    l.target = {1, 2, 0};
    s.objects.push_back(l);
    tds::Camera c;
    c.name = "cam";
    s.objects.push_back(c);
    tds::Node n;
    n.name = "box";
    n.hasPosition = true;
    n.position.keys = {tds::positionKey(0, {}), tds::positionKey(10, {1, 0, 0})};
    s.nodes.push_back(n);
    tds::Node cn;
    cn.id = tds::CHUNK_CAMERAINFOBLOCK;
    cn.name = "cam";
    s.nodes.push_back(cn);

    std::vector<uint8_t> b = tds::writeScene(s);
    std::vector<Chunk> top = walk(b, 0, b.size());
    ASSERT_EQ(top.size(), 1u);
    ASSERT_EQ(top[0].id, tds::CHUNK_MAIN);
    ASSERT_EQ(ids(top[0].children),
              (std::vector<uint16_t>{tds::CHUNK_VERSION, tds::CHUNK_3DEDITORCHUNK, tds::CHUNK_KEYFRAMER}));

    const Chunk& editor = top[0].children[1];
    // One material block for the one distinct material, then the scale, then the four objects.
    ASSERT_EQ(ids(editor.children),
              (std::vector<uint16_t>{tds::CHUNK_MESHVERSION, tds::CHUNK_MATERIAL, tds::CHUNK_MASTERSCALE,
                                     tds::CHUNK_OBJETBLOCK, tds::CHUNK_OBJETBLOCK, tds::CHUNK_OBJETBLOCK,
                                     tds::CHUNK_OBJETBLOCK}));
    EXPECT_EQ(stringAt(b, editor.children[3].start + 6), "box");
    EXPECT_EQ(stringAt(b, editor.children[4].start + 6), "%glass");
    EXPECT_EQ(stringAt(b, editor.children[5].start + 6), "lamp");
    EXPECT_EQ(stringAt(b, editor.children[6].start + 6), "cam");

    const Chunk& mesh = editor.children[3].children.at(0);
    ASSERT_EQ(mesh.id, tds::CHUNK_TRIANGULARMESH);
    ASSERT_EQ(ids(mesh.children), (std::vector<uint16_t>{tds::CHUNK_VERTICELIST, tds::CHUNK_MAPPINGCOORDINATELIST,
                                                         tds::CHUNK_MESHMATRIX, tds::CHUNK_FACELIST}));
    const Chunk& faces = mesh.children[3];
    ASSERT_EQ(ids(faces.children), (std::vector<uint16_t>{tds::CHUNK_FACEMATERIALLIST}));
    EXPECT_EQ(stringAt(b, faces.children[0].start + 6), "maps/tex/a.jpg");
    EXPECT_EQ(u16At(b, mesh.children[0].start + 6), 3u);

    const Chunk& light = editor.children[5].children.at(0);
    ASSERT_EQ(ids(light.children), (std::vector<uint16_t>{tds::CHUNK_COLORFLOAT, tds::CHUNK_SPOTLIGHT}));
    EXPECT_EQ(f32At(b, light.start + 6 + 8), 3.0f);

    const Chunk& keyframer = top[0].children[2];
    ASSERT_EQ(ids(keyframer.children),
              (std::vector<uint16_t>{tds::CHUNK_KEYFRAMEHEADER, tds::CHUNK_KEYFRAMESEGMENT, tds::CHUNK_KEYFRAMECURRENT,
                                     tds::CHUNK_OBJETINFOBLOCK, tds::CHUNK_CAMERAINFOBLOCK}));
    const Chunk& node = keyframer.children[3];
    ASSERT_EQ(ids(node.children),
              (std::vector<uint16_t>{tds::CHUNK_NODEID, tds::CHUNK_OBJETNAME, tds::CHUNK_POSITIONTRACK}));
    EXPECT_EQ(stringAt(b, node.children[1].start + 6), "box");
    EXPECT_EQ(u16At(b, node.children[1].start + 6 + 4 + 4), 0xFFFFu);      // no parent
    EXPECT_EQ(u16At(b, keyframer.children[4].children[0].start + 6), 1u);  // node ids count in list order
}

TEST(TdsWriter, MaterialsCanBeLeftOutOrAddedAndRawChunksLandInTheirSection)
{
    tds::Scene s;
    s.objects.push_back(triangleMesh("a", "maps/tex/x.jpg"));
    s.objects.push_back(triangleMesh("b", "maps/tex/x.jpg"));
    s.writeMaterials = false;
    s.writeKeyframerHeader = false;
    s.extraMaterials.push_back(tds::MaterialDef{"only", "only.jpg", {}});
    tds::ChunkWriter unknown;
    unknown.rawChunk(0x7777, {9, 9});
    s.extraEditorChunks = unknown.bytes();
    s.extraMainChunks = unknown.bytes();
    std::vector<uint8_t> b = tds::writeScene(s);
    std::vector<Chunk> top = walk(b, 0, b.size());
    ASSERT_EQ(top.size(), 1u);
    // No keyframer at all without nodes and without the header.
    ASSERT_EQ(ids(top[0].children), (std::vector<uint16_t>{tds::CHUNK_VERSION, tds::CHUNK_3DEDITORCHUNK, 0x7777}));
    EXPECT_EQ(ids(top[0].children[1].children),
              (std::vector<uint16_t>{tds::CHUNK_MESHVERSION, tds::CHUNK_MATERIAL, tds::CHUNK_MASTERSCALE,
                                     tds::CHUNK_OBJETBLOCK, tds::CHUNK_OBJETBLOCK, 0x7777}));
}

TEST(TdsWriter, OverLongNamesAreWrittenWhole)
{
    tds::Scene s;
    std::string longName(300, 'n');
    s.objects.push_back(triangleMesh(longName, std::string(400, 'm')));
    std::vector<uint8_t> b = tds::writeScene(s);
    std::vector<Chunk> top = walk(b, 0, b.size());
    const Chunk& editor = top.at(0).children.at(1);
    const Chunk& object = editor.children.back();
    EXPECT_EQ(stringAt(b, object.start + 6), longName);
}

TEST(TdsWriter, SavingWritesTheSameBytesAndReportsFailure)
{
    tds::Scene s;
    s.objects.push_back(triangleMesh("a", "maps/tex/x.jpg"));
    std::string path = testing::TempDir() + "/writer_test_" + std::to_string(getpid()) + ".3ds";
    ASSERT_TRUE(tds::saveScene(s, path));
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::vector<uint8_t> read(1 << 16);
    read.resize(std::fread(read.data(), 1, read.size(), f));
    std::fclose(f);
    std::remove(path.c_str());
    EXPECT_EQ(read, tds::writeScene(s));
    EXPECT_FALSE(tds::saveBytes({1, 2, 3}, "/nonexistent-folder/x.3ds"));
}
