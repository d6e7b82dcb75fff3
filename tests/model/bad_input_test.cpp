// Damaged and hostile 3DS files, crafted here byte by byte: every one loads or fails cleanly,
// within bounds (the suite runs under AddressSanitizer and UndefinedBehaviorSanitizer) and without
// hanging (an alarm ends the program if a single load stalls).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "core/files.h"
#include "fixtures.h"
#include "media/texture.h"
#include "platform/platform.h"

using namespace fixtures;

namespace {

const char* currentCase = "";

void onAlarm(int)
{
    const char text[] = "\nA 3DS load hung: ";
    (void)!write(2, text, sizeof(text) - 1);
    (void)!write(2, currentCase, std::strlen(currentCase));
    (void)!write(2, "\n", 1);
    _exit(3);
}

// Loads the bytes into a fresh model with grid and lighting, guarded against hangs. A stall of
// several seconds is a hang, not slowness: every one of these files is tiny.
bool guardedLoad(Model& model, const std::vector<uint8_t>& bytes, const char* name)
{
    currentCase = name;
    std::signal(SIGALRM, onAlarm);
    alarm(10);
    bool loaded = loadBytes(model, bytes, name);
    model.buildGrid();
    alarm(0);
    // Whatever was loaded is consistent: every face points at existing vertices.
    SceneObject* object = &model;
    for (int i = 0; i < model.objectCount; ++i, object = object->next) {
        EXPECT_NE(object, nullptr);
        for (int f = 0; f < object->faceCount; ++f) {
            EXPECT_LT(object->faces[f].a, object->vertexCount);
            EXPECT_LT(object->faces[f].b, object->vertexCount);
            EXPECT_LT(object->faces[f].c, object->vertexCount);
        }
    }
    return loaded;
}

tds::Scene richScene()
{
    tds::Scene scene;
    scene.objects.push_back(boxMesh("floor", -100, -1, -100, 100, 0, 100, "pict/floor.jpg"));
    scene.objects.push_back(boxMesh("%glass", 0, 0, 0, 10, 10, 10, "pict/glass.jpg"));
    scene.objects.push_back(spotLight("lamp", {0, 50, 0}, 200.0f, {1.0f, 0.5f, 0.25f}));
    tds::Camera camera;
    camera.name = "cam";
    scene.objects.push_back(camera);
    tds::Node node;
    node.id = tds::CHUNK_CAMERAINFOBLOCK;
    node.name = "cam";
    node.hasPosition = true;
    for (uint32_t f = 0; f < 4; ++f)
        node.position.keys.push_back(tds::positionKey(f * 10, up(float(f), 0, 0)));
    scene.nodes.push_back(node);
    tds::Node spin;
    spin.name = "%glass";
    spin.hasRotation = true;
    spin.rotation.keys = {tds::rotationKey(0, 1.0f, {0, 0, 1}), tds::rotationKey(5, 1.0f, {0, 1, 0})};
    spin.rotation.keys[1].flags = 0x1F;
    scene.nodes.push_back(spin);
    return scene;
}

// main > editor > object "name" > content, with every length true.
std::vector<uint8_t> objectFile(const std::string& name, const std::vector<uint8_t>& content)
{
    tds::ChunkWriter w;
    w.begin(tds::CHUNK_MAIN);
    w.begin(tds::CHUNK_3DEDITORCHUNK);
    w.begin(tds::CHUNK_OBJETBLOCK);
    w.string(name);
    w.raw(content);
    w.end();
    w.end();
    w.end();
    return w.bytes();
}

std::vector<uint8_t> chunk(uint16_t id, const std::vector<uint8_t>& content)
{
    tds::ChunkWriter w;
    w.rawChunk(id, content);
    return w.bytes();
}

std::vector<uint8_t> le16(uint16_t v)
{
    return {uint8_t(v), uint8_t(v >> 8)};
}

std::vector<uint8_t> cat(std::vector<uint8_t> a, const std::vector<uint8_t>& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(ModelBadInput, TooShortOrNotA3dsFile)
{
    Model model;
    EXPECT_FALSE(guardedLoad(model, {}, "empty"));
    EXPECT_FALSE(guardedLoad(model, {0x4D, 0x4D, 0x20, 0, 0}, "five bytes"));
    EXPECT_FALSE(guardedLoad(model, {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F'}, "jpeg"));
    EXPECT_EQ(model.objectCount, 0);
    // A bare main header, and one whose length is below a header's size.
    EXPECT_TRUE(guardedLoad(model, {0x4D, 0x4D, 6, 0, 0, 0}, "bare main"));
    EXPECT_TRUE(guardedLoad(model, {0x4D, 0x4D, 0, 0, 0, 0, 0x3D, 0x3D, 6, 0, 0, 0}, "main length 0"));
    EXPECT_EQ(model.objectCount, 0);
}

TEST(ModelBadInput, LengthsPastTheirParentOrTheFile)
{
    std::vector<uint8_t> good = tds::writeScene(richScene());
    Model reference;
    ASSERT_TRUE(guardedLoad(reference, good, "reference"));
    ASSERT_EQ(reference.objectCount, 4);

    // Main length 0xFFFFFFFF: cut at the end of the file, everything still read.
    std::vector<uint8_t> bytes = good;
    bytes[2] = bytes[3] = bytes[4] = bytes[5] = 0xFF;
    Model model;
    ASSERT_TRUE(guardedLoad(model, bytes, "main length 0xFFFFFFFF"));
    EXPECT_EQ(model.objectCount, 4);
    EXPECT_EQ(model.cameras[0]->positionKeyCount, 4u);

    // A vertex list claiming far more than its mesh holds reads only inside the mesh.
    tds::ChunkWriter w;
    w.begin(tds::CHUNK_TRIANGULARMESH);
    w.header(tds::CHUNK_VERTICELIST, 0x7FFFFFFF);
    w.u16(2);
    for (int i = 0; i < 6; ++i)
        w.f32(1.0f);
    w.end();
    Model past;
    ASSERT_TRUE(guardedLoad(past, objectFile("past", w.bytes()), "child past its parent"));
    EXPECT_EQ(past.vertexCount, 2);
}

TEST(ModelBadInput, ChildLengthsBelowAHeader)
{
    for (uint32_t length = 0; length < 6; ++length) {
        // A short chunk ahead of a good object, at the editor level and inside an object.
        tds::ChunkWriter w;
        w.begin(tds::CHUNK_MAIN);
        w.begin(tds::CHUNK_3DEDITORCHUNK);
        w.begin(tds::CHUNK_OBJETBLOCK);
        w.string("first");
        w.header(0x4100, length);
        w.end();
        w.header(0x1234, length);
        w.begin(tds::CHUNK_OBJETBLOCK);
        w.string("second");
        w.end();
        w.end();
        w.end();
        Model model;
        std::string name = "child length " + std::to_string(length);
        ASSERT_TRUE(guardedLoad(model, w.bytes(), name.c_str()));
        EXPECT_EQ(model.objectCount, 1) << name;
        EXPECT_STREQ(model.name, "first");
    }
}

TEST(ModelBadInput, TruncatedAtEveryByte)
{
    std::vector<uint8_t> good = tds::writeScene(richScene());
    for (size_t size = 0; size < good.size(); ++size) {
        std::vector<uint8_t> bytes(good.begin(), good.begin() + static_cast<long>(size));
        Model model;
        std::string name = "truncated at " + std::to_string(size);
        bool loaded = guardedLoad(model, bytes, name.c_str());
        EXPECT_EQ(loaded, size >= 6) << name;
        EXPECT_LE(model.objectCount, 4);
        EXPECT_LE(model.lightCount, 1);
        EXPECT_LE(model.materialCount, 2);
    }
}

TEST(ModelBadInput, CountsLargerThanTheData)
{
    const std::vector<uint8_t> full = le16(0xFFFF);
    for (uint16_t id : {uint16_t(0x4110), uint16_t(0x4120), uint16_t(0x4140)}) {
        std::vector<uint8_t> mesh = chunk(0x4100, chunk(id, full));
        Model model;
        ASSERT_TRUE(guardedLoad(model, objectFile("m", mesh), "count 0xFFFF"));
        EXPECT_EQ(model.vertexCount, 0);
        EXPECT_EQ(model.faceCount, 0);
        EXPECT_EQ(model.mappingCount, 0);
    }

    // A track announcing 0xFFFFFFFF keys holds one: that one is read.
    tds::Scene scene;
    scene.objects.push_back(boxMesh("box", 0, 0, 0, 1, 1, 1));
    tds::Node node;
    node.name = "box";
    node.hasPosition = true;
    node.position.keys = {tds::positionKey(7, up(3, 4, 5))};
    scene.nodes = {node};
    std::vector<uint8_t> bytes = tds::writeScene(scene);
    // The key count follows the track's 6-byte header and 10-byte track header.
    const uint8_t track[2] = {0x20, 0xB0};
    auto at = std::search(bytes.begin(), bytes.end(), track, track + 2);
    ASSERT_NE(at, bytes.end());
    size_t countAt = static_cast<size_t>(at - bytes.begin()) + 6 + 10;
    ASSERT_EQ(bytes[countAt], 1);
    bytes[countAt] = bytes[countAt + 1] = bytes[countAt + 2] = bytes[countAt + 3] = 0xFF;
    Model model;
    ASSERT_TRUE(guardedLoad(model, bytes, "key count 0xFFFFFFFF"));
    ASSERT_EQ(model.positionKeyCount, 1u);
    EXPECT_EQ(model.positionFrames[0], 7);
    EXPECT_EQ(model.position.y, 4.0);
}

TEST(ModelBadInput, FacesPastTheVerticesAreDropped)
{
    tds::Scene scene;
    tds::Mesh mesh = triangleMesh("tri", {0, 0, 0}, {1, 0, 0}, {0, 0, 1});
    mesh.faces = {tds::Face{0, 1, 2}, tds::Face{0, 1, 3}, tds::Face{2, 1, 0}, tds::Face{65535, 0, 0}};
    mesh.mapping.resize(1);  // fewer coordinates than vertices
    mesh.mapping[0] = {0.5f, 0.25f};
    scene.objects.push_back(mesh);
    scene.objects.push_back(spotLight("lamp", {0, 10, 0}, 100.0f));
    Model model;
    ASSERT_TRUE(guardedLoad(model, tds::writeScene(scene), "faces past vertices"));
    ASSERT_EQ(model.faceCount, 2);
    EXPECT_EQ(model.faces[0].c, 2);
    EXPECT_EQ(model.faces[1].a, 2);
    EXPECT_EQ(model.mappingCount, 1);
    EXPECT_EQ(model.mapping[0].u, 0.5f);
    EXPECT_EQ(model.mapping[2].u, 0.0f);
    EXPECT_EQ(model.mapping[2].v, 0.0f);
}

TEST(ModelBadInput, NamesWithoutEndOrTooLong)
{
    const std::string longName(300, 'n');
    // An over-long object name keeps 79 characters, and the mesh after it is still found.
    std::vector<uint8_t> mesh = chunk(0x4100, chunk(0x4110, cat(le16(1), std::vector<uint8_t>(12, 0))));
    Model model;
    ASSERT_TRUE(guardedLoad(model, objectFile(longName, mesh), "300-character name"));
    EXPECT_EQ(std::strlen(model.name), 79u);
    EXPECT_EQ(model.kind, ObjectKind::Mesh);
    EXPECT_EQ(model.vertexCount, 1);

    // A name that runs to the end of its chunk without a NUL.
    std::vector<uint8_t> unterminated = chunk(0x4D4D, chunk(0x3D3D, chunk(0x4000, {'a', 'b', 'c'})));
    Model cut;
    ASSERT_TRUE(guardedLoad(cut, unterminated, "name without NUL"));
    EXPECT_STREQ(cut.name, "abc");

    // Material names: cut at 255 characters; one without a NUL.
    tds::Scene scene;
    scene.objects.push_back(boxMesh("box", 0, 0, 0, 1, 1, 1, std::string(300, 'm')));
    Model material;
    ASSERT_TRUE(guardedLoad(material, tds::writeScene(scene), "300-character material"));
    ASSERT_EQ(material.materialCount, 1);
    EXPECT_EQ(std::strlen(material.materials[0].name), 255u);
    std::vector<uint8_t> faces = cat(le16(0), chunk(0x4130, std::vector<uint8_t>(400, 'q')));
    Model open;
    ASSERT_TRUE(guardedLoad(open, objectFile("m", chunk(0x4100, chunk(0x4120, faces))), "material without NUL"));
    EXPECT_EQ(std::strlen(open.materials[0].name), 255u);

    // A keyframer name without a NUL selects nothing and harms nothing.
    std::vector<uint8_t> node = chunk(0xB002, chunk(0xB010, std::vector<uint8_t>(90, 'k')));
    Model keys;
    ASSERT_TRUE(guardedLoad(keys, chunk(0x4D4D, chunk(0xB000, node)), "node name without NUL"));
}

TEST(ModelBadInput, TablesNeverOverrun)
{
    tds::Scene scene;
    for (int i = 0; i < 105; ++i)
        scene.objects.push_back(spotLight("l" + std::to_string(i), {float(i), 0, 0}, 10.0f));
    for (int i = 0; i < 65; ++i) {
        scene.objects.push_back(triangleMesh("#m" + std::to_string(i), {0, 0, 0}, {1, 0, 0}, {0, 0, 1}));
        std::get<tds::Mesh>(scene.objects.back()).material = "pict/" + std::to_string(i) + ".jpg";
    }
    for (int i = 0; i < 55; ++i) {
        tds::Camera camera;
        camera.name = "c" + std::to_string(i);
        scene.objects.push_back(camera);
    }
    Model model;
    ASSERT_TRUE(guardedLoad(model, tds::writeScene(scene), "full tables"));
    EXPECT_EQ(model.objectCount, 105 + 65 + 55);
    EXPECT_EQ(model.lightCount, Model::maxLights);
    EXPECT_EQ(model.materialCount, Model::maxMaterials);
    EXPECT_EQ(model.cameraCount, Model::maxCameras);
    EXPECT_EQ(model.boltObjectCount, Model::maxBoltObjects);
    // The meshes past the material table draw untextured.
    EXPECT_EQ(model.findObject("#m64")->material, -1);
    EXPECT_EQ(model.findObject("#m59")->material, 59);
}

TEST(ModelBadInput, MixedKindsAndTooManyObjects)
{
    // A mesh chunk, then a light chunk in the same object: the first kind holds.
    std::vector<uint8_t> mixed = cat(chunk(0x4100, chunk(0x4110, cat(le16(1), std::vector<uint8_t>(12, 0)))),
                                     chunk(0x4600, std::vector<uint8_t>(12, 0)));
    Model model;
    ASSERT_TRUE(guardedLoad(model, objectFile("both", mixed), "mesh and light"));
    EXPECT_EQ(model.kind, ObjectKind::Mesh);
    EXPECT_EQ(model.lightCount, 0);

    // More objects than a 16-bit count holds: the rest are left out.
    tds::ChunkWriter w;
    w.begin(tds::CHUNK_MAIN);
    w.begin(tds::CHUNK_3DEDITORCHUNK);
    for (int i = 0; i < 65540; ++i)
        w.rawChunk(tds::CHUNK_OBJETBLOCK, {'o', 0});
    w.end();
    w.end();
    Model many;
    ASSERT_TRUE(guardedLoad(many, w.bytes(), "65540 objects"));
    EXPECT_EQ(many.objectCount, 65535);
}

// Loads a file from disk with the given picture loader and returns what went to stderr.
std::string loadFileReporting(Model& model, const std::string& path, Model::MaterialLoader loader)
{
    currentCase = path.c_str();
    std::signal(SIGALRM, onAlarm);
    alarm(10);
    model.materialLoader = loader;
    ::testing::internal::CaptureStderr();
    model.load(path.c_str());
    alarm(0);
    return ::testing::internal::GetCapturedStderr();
}

// Lines of text that name needle.
int linesNaming(const std::string& text, const std::string& needle)
{
    int count = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        if (text.substr(start, end - start).find(needle) != std::string::npos)
            ++count;
        start = end + 1;
    }
    return count;
}

// A file larger than any scene may be: meshes past the limit are left out (a light after them is
// still read), faces past the limit cut, and one line says so.
TEST(ModelBadInput, ScenesPastTheSizeLimitsAreCutWithOneLine)
{
    tds::Scene scene;
    for (int i = 0; i < Model::maxMeshObjects + 10; ++i)
        scene.objects.push_back(triangleMesh("t" + std::to_string(i), {0, 0, 0}, {1, 0, 0}, {0, 1, 0}));
    scene.objects.push_back(spotLight("lamp", {10000, 0, 0}, 1.0f));  // reaching no mesh
    Model many;
    const std::string path = writeTempFile("many-meshes.3ds", tds::writeScene(scene));
    std::string text = loadFileReporting(many, path, nullptr);
    EXPECT_EQ(many.objectCount, Model::maxMeshObjects + 1);
    EXPECT_EQ(many.lightCount, 1);
    EXPECT_EQ(linesNaming(text, path), 1) << text;
    EXPECT_NE(text.find("10 meshes and 0 faces past that left out"), std::string::npos) << text;

    // Eight meshes of 60,000 faces: the limit falls inside the eighth, the rest of it is cut.
    tds::Scene heavy;
    for (int i = 0; i < 8; ++i) {
        tds::Mesh mesh = triangleMesh("h" + std::to_string(i), {0, 0, 0}, {1, 0, 0}, {0, 1, 0});
        mesh.faces.assign(60000, tds::Face{0, 1, 2});
        heavy.objects.push_back(mesh);
    }
    Model cut;
    const std::string heavyPath = writeTempFile("many-faces.3ds", tds::writeScene(heavy));
    text = loadFileReporting(cut, heavyPath, nullptr);
    long long faces = 0;
    for (int i = 0; i < cut.objectCount; ++i)
        faces += objectAt(cut, i)->faceCount;
    EXPECT_EQ(cut.objectCount, 8);
    EXPECT_EQ(faces, Model::maxFaces);
    EXPECT_EQ(linesNaming(text, heavyPath), 1) << text;
    std::remove(path.c_str());
    std::remove(heavyPath.c_str());
}

// A damaged file is told in one line, however many problems it has; --verbose lists them all.
TEST(ModelBadInput, OneLinePerDamagedFileUnlessVerbose)
{
    // Twenty objects, each with a face list announcing more faces than it holds.
    tds::ChunkWriter w;
    w.begin(tds::CHUNK_MAIN);
    w.begin(tds::CHUNK_3DEDITORCHUNK);
    for (int i = 0; i < 20; ++i) {
        w.begin(tds::CHUNK_OBJETBLOCK);
        w.string("o" + std::to_string(i));
        w.raw(chunk(0x4100, chunk(0x4120, le16(500))));
        w.end();
    }
    w.end();
    w.end();
    const std::string path = writeTempFile("many-problems.3ds", w.bytes());
    Model quiet;
    std::string text = loadFileReporting(quiet, path, nullptr);
    EXPECT_EQ(linesNaming(text, path), 1) << text;
    EXPECT_NE(text.find("and 19 more problems; --verbose lists them"), std::string::npos) << text;

    verboseDataReports = true;
    Model verbose;
    text = loadFileReporting(verbose, path, nullptr);
    verboseDataReports = false;
    EXPECT_GE(linesNaming(text, path), 12) << text;
    std::remove(path.c_str());
}

TEST(ModelBadInput, EveryUnreadableFileIsNamedWithItsReason)
{
    std::vector<uint8_t> good = tds::writeScene(richScene());
    // Cut inside the first mesh's vertex list: deep in a sub-chunk.
    std::vector<uint8_t> cut(good.begin(), good.begin() + 60);
    const std::string folder = writeTempFile("folder.3ds", {});
    std::remove(folder.c_str());
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    struct Case {
        std::string path;
        const char* reason;
    };
    const Case cases[] = {
        {"/nonexistent/velmora/none.3ds", "cannot be opened"},
        {folder, "cannot be opened"},
        {writeTempFile("empty.3ds", {}), "too short"},
        {writeTempFile("three.3ds", {0x4D, 0x4D, 0x10}), "too short"},
        {writeTempFile("picture.3ds", {0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10, 'J', 'F', 'I', 'F'}), "not a 3DS file"},
        {writeTempFile("cut.3ds", cut), "cut off"},
    };
    for (const Case& c : cases) {
        Model model;
        const std::string text = loadFileReporting(model, c.path, nullptr);
        EXPECT_EQ(linesNaming(text, c.path), 1) << c.path << ":\n" << text;
        EXPECT_NE(text.find(c.reason), std::string::npos) << c.path << ":\n" << text;
    }
    rmdir(folder.c_str());
}

TEST(ModelBadInput, MaterialPathsLeavingTheDataFolderAreNeverOpened)
{
    tds::Scene scene;
    const char* names[] = {"/etc/passwd", "../x.jpg", "maps/../../x.jpg",
                           "maps/tex/..", "..x.jpg",  "maps/tex/a..b.jpg"};
    for (int i = 0; i < 6; ++i)
        scene.objects.push_back(boxMesh("m" + std::to_string(i), float(i), 0, 0, float(i) + 1, 1, 1, names[i]));
    const std::string path = writeTempFile("paths.3ds", tds::writeScene(scene));
    Model model;
    PictureLog::names.clear();
    const std::string text = loadFileReporting(model, path, PictureLog::load);
    // Only the two names without a ".." part are handed to the picture loader.
    EXPECT_EQ(PictureLog::names, (std::vector<std::string>{"..x.jpg", "maps/tex/a..b.jpg"}));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(linesNaming(text, "\"" + std::string(names[i]) + "\""), 1) << names[i] << ":\n" << text;
        EXPECT_EQ(model.textureOf(model.findObject(("m" + std::to_string(i)).c_str())), 0u) << names[i];
    }
}

#ifdef _WIN32
TEST(ModelBadInput, MaterialPathsWindowsTakesAsAbsoluteAreNeverOpened)
{
    tds::Scene scene;
    const char* names[] = {"C:\\Windows\\win.ini", "C:x.jpg",         "\\\\server\\share\\x.jpg", "\\x.jpg",
                           "maps\\..\\..\\x.jpg",  "maps\\tex\\a.jpg"};
    for (int i = 0; i < 6; ++i)
        scene.objects.push_back(boxMesh("m" + std::to_string(i), float(i), 0, 0, float(i) + 1, 1, 1, names[i]));
    const std::string path = writeTempFile("windows-paths.3ds", tds::writeScene(scene));
    Model model;
    PictureLog::names.clear();
    const std::string text = loadFileReporting(model, path, PictureLog::load);
    EXPECT_EQ(PictureLog::names, (std::vector<std::string>{"maps\\tex\\a.jpg"}));
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(linesNaming(text, "\"" + std::string(names[i]) + "\""), 1) << names[i] << ":\n" << text;
        EXPECT_EQ(model.textureOf(model.findObject(("m" + std::to_string(i)).c_str())), 0u) << names[i];
    }
}
#else
// (Windows has no FIFOs.)
TEST(ModelBadInput, MaterialPicturesThatAreNoRegularFileGetNoTextureAndNeverBlock)
{
    // In the picture folder: a FIFO no one writes to, a folder, and no file of the third name.
    const std::string folder = writeTempFile("pictures", {});
    std::remove(folder.c_str());
    ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
    const std::string fifo = folder + "/pipe.jpg";
    const std::string subfolder = folder + "/folder.jpg";
    const std::string missing = folder + "/missing.jpg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    ASSERT_EQ(mkdir(subfolder.c_str(), 0700), 0);
    tds::Scene scene;
    const std::string names[] = {fifo.substr(1), subfolder.substr(1), missing.substr(1)};
    for (int i = 0; i < 3; ++i)
        scene.objects.push_back(boxMesh("m" + std::to_string(i), float(i), 0, 0, float(i) + 1, 1, 1, names[i]));
    const std::string path = writeTempFile("pictures.3ds", tds::writeScene(scene));
    // The names are relative to the root folder, as a data folder's are to it.
    char previous[4096];
    ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
    ASSERT_EQ(chdir("/"), 0);
    sysSetBatchMode(true);
    Model model;
    const std::string text = loadFileReporting(model, path, loadTexture);
    ASSERT_EQ(chdir(previous), 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(linesNaming(text, names[i]), 1) << names[i] << ":\n" << text;
        EXPECT_EQ(model.textureOf(model.findObject(("m" + std::to_string(i)).c_str())), 0u) << names[i];
    }
    std::remove(fifo.c_str());
    rmdir(subfolder.c_str());
    rmdir(folder.c_str());
}
#endif

// One mesh of vertexCount vertices lit by 100 spotlights, with 1000 small unlit '^' boxes beside
// every light ray: close enough that the bounding-box rejection lets each through to the exact
// test, which then misses. Far from the origin, so that the rejection's margin is wide.
std::vector<uint8_t> lightingBomb(int vertexCount)
{
    const float o = 1000.0f;
    tds::Scene scene;
    tds::Mesh lit;
    lit.name = "lit";
    for (int i = 0; i < vertexCount; ++i)
        lit.vertices.push_back(up(o + i * 1e-4f, o, o));
    scene.objects.push_back(lit);
    for (int k = 0; k < 1000; ++k) {
        tds::Mesh box;
        box.name = "^o" + std::to_string(k);
        const float x = o + 1.0f + k * 0.098f;
        box.vertices = {up(x, o + 5.0f, o - 0.5f), up(x + 0.5f, o + 5.5f, o + 0.5f)};
        scene.objects.push_back(box);
    }
    for (int k = 0; k < 100; ++k)
        scene.objects.push_back(spotLight("l" + std::to_string(k), {o + 100.0f, o, o + k * 0.01f}, 500.0f));
    return tds::writeScene(scene);
}

TEST(ModelBadInput, LightingBombLoadsWithinItsWorkBudget)
{
    // 6000 vertices x 100 lights x 1001 occluders: 600 million shadow tests, minutes of work.
    const std::vector<uint8_t> bytes = lightingBomb(6000);
    const std::string path = writeTempFile("bomb.3ds", bytes);
    currentCase = "lighting bomb";
    std::signal(SIGALRM, onAlarm);
    alarm(60);
    Model model;
    model.materialLoader = nullptr;
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(model.load(path.c_str()));
    const std::string text = ::testing::internal::GetCapturedStderr();
    alarm(0);
    EXPECT_EQ(linesNaming(text, path), 1) << text;
    EXPECT_NE(text.find("without shadows"), std::string::npos) << text;
    EXPECT_LE(model.shadowWorkUsed, Model::shadowWorkBudget + 1001 * (1 + Model::exactTestCost));
}

}  // namespace
