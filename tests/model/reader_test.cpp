// The 3DS reader and the model's list operations, on small files written with the content
// generator's writer: axis swap, tracks and their flags, pivots, chunks stepped over, shared
// materials, keyframer nodes, the finishing pass and the frame range.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "fixtures.h"

using namespace fixtures;

namespace {

// A mesh, a light and a camera with a few keys each: a model every list test can walk.
tds::Scene smallScene()
{
    tds::Scene scene;
    scene.objects.push_back(boxMesh("box", 0, 0, 0, 10, 10, 10, "pict/a.jpg"));
    scene.objects.push_back(spotLight("lamp", {0, 50, 0}, 100.0f));
    tds::Camera camera;
    camera.name = "cam";
    camera.position = up(0, 0, 100);
    camera.target = up(0, 0, 0);
    scene.objects.push_back(camera);
    scene.objects.push_back(boxMesh("box", 20, 0, 0, 30, 10, 10, "pict/a.jpg"));
    return scene;
}

tds::Node cameraNode(const std::string& name, std::vector<uint32_t> frames)
{
    tds::Node node;
    node.id = tds::CHUNK_CAMERAINFOBLOCK;
    node.name = name;
    node.hasPosition = true;
    for (uint32_t f : frames)
        node.position.keys.push_back(tds::positionKey(f, up(float(f), 0, 0)));
    return node;
}

TEST(ModelList, CursorOperations)
{
    Model model;
    ASSERT_TRUE(loadScene(model, smallScene()));
    ASSERT_EQ(model.objectCount, 4);
    EXPECT_EQ(model.cursor, &model);
    EXPECT_EQ(model.prev, nullptr);

    model.seekObject(2);
    EXPECT_STREQ(model.cursor->name, "cam");
    EXPECT_EQ(model.cursor->prev, objectAt(model, 1));
    model.seekObject(3);
    SceneObject* last = model.cursor;
    EXPECT_EQ(last->next, nullptr);
    model.advance();
    EXPECT_EQ(model.cursor, last);
    model.seekObject(100);
    EXPECT_EQ(model.cursor, last);
    model.rewind();
    EXPECT_EQ(model.cursor, static_cast<SceneObject*>(&model));

    // Two objects named "box": the earlier one is found; an unknown name finds nothing.
    EXPECT_EQ(model.findObject("box"), static_cast<SceneObject*>(&model));
    EXPECT_EQ(model.findObject("lamp"), objectAt(model, 1));
    EXPECT_EQ(model.findObject("Lamp"), nullptr);
    EXPECT_EQ(model.findObject("nothing"), nullptr);
}

TEST(ModelReader, PointSwapBoundsAndCrossQuads)
{
    tds::Scene scene;
    tds::Mesh mesh;
    mesh.name = "m";
    mesh.vertices = {{1, 2, 3}, {-4, 5, -6}};  // file frame, no conversion
    mesh.faces = {tds::Face{0, 1, 1}};
    scene.objects.push_back(mesh);
    Model model;
    ASSERT_TRUE(loadScene(model, scene));
    EXPECT_EQ(model.kind, ObjectKind::Mesh);
    ASSERT_EQ(model.vertexCount, 2);
    EXPECT_EQ(model.vertices[0].x, 1.0);
    EXPECT_EQ(model.vertices[0].y, 3.0);
    EXPECT_EQ(model.vertices[0].z, -2.0);
    EXPECT_EQ(model.boundsMin.x, -4.0f);
    EXPECT_EQ(model.boundsMin.y, -6.0f);
    EXPECT_EQ(model.boundsMin.z, -5.0f);
    EXPECT_EQ(model.boundsMax.x, 1.0f);
    EXPECT_EQ(model.boundsMax.y, 3.0f);
    EXPECT_EQ(model.boundsMax.z, -2.0f);
    // z section first, then x, then y, each with its corners in the documented order.
    const Vec3f(&q)[3][4] = model.crossQuads;
    EXPECT_EQ(q[0][0].z, -3.5f);
    EXPECT_EQ(q[0][2].x, 1.0f);
    EXPECT_EQ(q[0][2].y, 3.0f);
    EXPECT_EQ(q[1][1].x, -1.5f);
    EXPECT_EQ(q[1][1].z, -2.0f);
    EXPECT_EQ(q[1][3].z, -5.0f);
    EXPECT_EQ(q[2][2].y, -1.5f);
    EXPECT_EQ(q[2][3].x, -4.0f);
    EXPECT_EQ(q[2][3].z, -2.0f);
    // Not lit by anything: white.
    EXPECT_EQ(model.vertexColours[1].x, 1.0f);
}

TEST(ModelReader, RotationTrackAccumulatesDegreesAndPivot)
{
    const float halfPi = 1.5707963705062866f;
    tds::Scene scene;
    scene.objects.push_back(boxMesh("spin", 0, 0, 0, 1, 1, 1));
    scene.objects.push_back(boxMesh("still", 0, 0, 0, 1, 1, 1));
    tds::Node spin;
    spin.name = "spin";
    spin.hasPivot = true;
    spin.pivot = {10, 20, 30};
    spin.hasRotation = true;
    spin.rotation.keys = {tds::rotationKey(0, halfPi, {0, 0, 1}), tds::rotationKey(10, halfPi, {0, 0, 1}),
                          tds::rotationKey(20, halfPi, {1, 0, 0})};
    tds::Node still = spin;
    still.name = "still";
    still.rotation.keys.resize(1);
    scene.nodes = {spin, still};

    Model model;
    ASSERT_TRUE(loadScene(model, scene));
    SceneObject* a = model.findObject("spin");
    ASSERT_EQ(a->rotationKeyCount, 3u);
    // A quarter turn through 180 / 3.1415 rather than 180 / pi: 90.00266 degrees.
    const double degrees = 90.00266;
    EXPECT_EQ(a->rotationKeys[0].x, 0.0);
    EXPECT_EQ(a->rotationKeys[0].y, 0.0);
    EXPECT_EQ(a->rotationKeys[0].z, 0.0);
    EXPECT_NEAR(a->rotationKeys[1].x, 0.0, 1e-9);
    EXPECT_NEAR(a->rotationKeys[1].y, degrees, 1e-5);
    EXPECT_NEAR(a->rotationKeys[1].z, 0.0, 1e-9);
    EXPECT_NEAR(a->rotationKeys[2].x, degrees, 1e-5);
    EXPECT_NEAR(a->rotationKeys[2].y, degrees, 1e-5);
    EXPECT_EQ(a->rotationFrames[2], 20);
    // More than one rotation key: the finishing pass puts rotation back to (0, 0, 0).
    EXPECT_EQ(a->rotation.x, 0.0);
    EXPECT_EQ(a->rotation.y, 0.0);
    EXPECT_EQ(a->rotation.z, 0.0);
    EXPECT_EQ(a->rotationKeyIndex, 3u);

    // One key: the pivot (10, 20, 30) stays, axis-swapped.
    SceneObject* b = model.findObject("still");
    ASSERT_EQ(b->rotationKeyCount, 1u);
    EXPECT_EQ(b->rotation.x, 10.0);
    EXPECT_EQ(b->rotation.y, 30.0);
    EXPECT_EQ(b->rotation.z, -20.0);
    EXPECT_EQ(b->rotationKeyIndex, 0u);
}

TEST(ModelReader, KeyFlagsExtraFloatsAndFrameLowBits)
{
    tds::Scene scene;
    scene.objects.push_back(boxMesh("mover", 0, 0, 0, 1, 1, 1));
    tds::Node node;
    node.name = "mover";
    node.hasPosition = true;
    const uint16_t flags[4] = {0x0003, 0x0000, 0x001F, 0x0010};
    for (int i = 0; i < 4; ++i) {
        tds::Key key = tds::positionKey(i == 3 ? 70000u : uint32_t(i * 5), {float(i), 2.0f * i, 3.0f});
        key.flags = flags[i];
        // Extras that would read as a plausible point if a flag were miscounted.
        for (float& e : key.extras)
            e = 1234.5f;
        node.position.keys.push_back(key);
    }
    scene.nodes = {node};
    Model model;
    ASSERT_TRUE(loadScene(model, scene));
    ASSERT_EQ(model.positionKeyCount, 4u);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(model.positionKeys[i].x, double(i)) << i;
        EXPECT_EQ(model.positionKeys[i].y, 3.0) << i;
        EXPECT_EQ(model.positionKeys[i].z, -2.0 * i) << i;
    }
    EXPECT_EQ(model.positionFrames[2], 10);
    EXPECT_EQ(model.positionFrames[3], 4464);  // 70000 & 0xFFFF
    // A mesh starts at its first key.
    EXPECT_EQ(model.basePosition.x, 0.0);
    EXPECT_EQ(model.position.y, 3.0);
    EXPECT_EQ(model.positionKeyIndex, 3u);
}

TEST(ModelReader, UnknownChunksAtEveryLevelAreSteppedOver)
{
    // An unknown chunk whose content would read as an object block if the walk looked inside.
    tds::ChunkWriter decoy;
    decoy.begin(0x7777);
    decoy.begin(tds::CHUNK_OBJETBLOCK);
    decoy.string("decoy");
    decoy.end();
    decoy.end();
    const std::vector<uint8_t> unknown = decoy.bytes();

    tds::Scene scene = smallScene();
    std::get<tds::Mesh>(scene.objects[0]).extraChunks = unknown;
    std::get<tds::Light>(scene.objects[1]).extraChunks = unknown;
    std::get<tds::Camera>(scene.objects[2]).extraChunks = unknown;
    scene.extraEditorChunks = unknown;
    scene.extraKeyframerChunks = unknown;
    scene.extraMainChunks = unknown;
    tds::Node node = cameraNode("cam", {0, 10, 20, 30});
    node.extraChunks = unknown;
    scene.nodes = {node};
    Model model;
    ASSERT_TRUE(loadScene(model, scene));
    EXPECT_EQ(model.objectCount, 4);
    EXPECT_EQ(model.findObject("decoy"), nullptr);
    EXPECT_EQ(model.lightCount, 1);
    EXPECT_EQ(model.cameraCount, 1);
    EXPECT_EQ(model.cameras[0]->positionKeyCount, 4u);
    EXPECT_EQ(model.vertexCount, 8);
    EXPECT_EQ(model.faceCount, 12);
    EXPECT_EQ(model.materialCount, 1);

    // An unknown chunk inside a face list, before its material, built by hand.
    tds::ChunkWriter w;
    w.begin(tds::CHUNK_MAIN);
    w.begin(tds::CHUNK_3DEDITORCHUNK);
    w.begin(tds::CHUNK_OBJETBLOCK);
    w.string("tri");
    w.begin(tds::CHUNK_TRIANGULARMESH);
    w.begin(tds::CHUNK_VERTICELIST);
    w.u16(3);
    for (int i = 0; i < 9; ++i)
        w.f32(float(i));
    w.end();
    w.begin(tds::CHUNK_FACELIST);
    w.u16(1);
    w.u16(0), w.u16(1), w.u16(2), w.u16(7);
    w.raw(unknown);
    w.begin(tds::CHUNK_SMOOTHGROUPLIST);
    w.u32(1);
    w.end();
    w.begin(tds::CHUNK_FACEMATERIALLIST);
    w.string("pict/tri.jpg");
    w.u16(1), w.u16(0);
    w.end();
    w.end();
    w.end();
    w.end();
    w.end();
    w.end();
    Model tri;
    ASSERT_TRUE(loadBytes(tri, w.bytes()));
    EXPECT_EQ(tri.objectCount, 1);
    EXPECT_EQ(tri.faceCount, 1);
    EXPECT_EQ(tri.faces[0].flags, 7);
    ASSERT_EQ(tri.materialCount, 1);
    EXPECT_STREQ(tri.materials[0].name, "pict/tri.jpg");
    EXPECT_EQ(tri.material, 0);
}

TEST(ModelReader, HandlersThatReadLessStayAligned)
{
    tds::Scene scene;
    tds::Mesh mesh = boxMesh("padded", 0, 0, 0, 1, 1, 1, "pict/p.jpg");
    scene.objects.push_back(mesh);
    // A vertex list and a camera chunk with trailing bytes their handlers never read, followed by
    // chunks that must still be found.
    tds::ChunkWriter extra;
    extra.begin(tds::CHUNK_VERTICELIST);
    extra.u16(1);
    extra.f32(7), extra.f32(8), extra.f32(9);
    extra.u32(0xDEADBEEF);
    extra.end();
    std::get<tds::Mesh>(scene.objects[0]).extraChunks = extra.bytes();
    tds::Camera camera;
    camera.name = "cam";
    tds::ChunkWriter ranges;
    ranges.begin(0x4720);
    ranges.f32(1), ranges.f32(1000);
    ranges.end();
    camera.extraChunks = ranges.bytes();
    scene.objects.push_back(camera);
    scene.objects.push_back(spotLight("lamp", {0, 0, 0}, 10.0f, {-0.5f, 0.25f, 2.0f}));
    Model model;
    ASSERT_TRUE(loadScene(model, scene));
    EXPECT_EQ(model.objectCount, 3);
    // The later vertex list replaced the first.
    ASSERT_EQ(model.vertexCount, 1);
    EXPECT_EQ(model.vertices[0].y, 9.0);
    // Faces that pointed at the replaced vertices are dropped, not clamped.
    EXPECT_EQ(model.faceCount, 0);
    SceneObject* lamp = model.findObject("lamp");
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(lamp->kind, ObjectKind::Light);
    EXPECT_EQ(lamp->light.colour.x, 0.5f);  // absolute value
    EXPECT_EQ(lamp->light.colour.z, 2.0f);
    EXPECT_FLOAT_EQ(lamp->light.range, 10.0f);
    EXPECT_EQ(model.lights[0], &lamp->light);
}

TEST(ModelReader, SharedMaterialLoadsOnce)
{
    tds::Scene scene;
    scene.objects.push_back(boxMesh("a", 0, 0, 0, 1, 1, 1, "pict/wall.jpg"));
    scene.objects.push_back(boxMesh("b", 2, 0, 0, 3, 1, 1, "pict/floor.jpg"));
    scene.objects.push_back(boxMesh("c", 4, 0, 0, 5, 1, 1, "pict/wall.jpg"));
    scene.objects.push_back(boxMesh("d", 6, 0, 0, 7, 1, 1));
    Model model;
    PictureLog::names.clear();
    std::vector<uint8_t> bytes = tds::writeScene(scene);
    std::string path = writeTempFile("shared.3ds", bytes);
    model.materialLoader = PictureLog::load;
    ASSERT_TRUE(model.load(path.c_str()));
    ASSERT_EQ(PictureLog::names.size(), 2u);
    EXPECT_EQ(PictureLog::names[0], "pict/wall.jpg");
    EXPECT_EQ(PictureLog::names[1], "pict/floor.jpg");
    ASSERT_EQ(model.materialCount, 2);
    EXPECT_EQ(model.material, 0);
    EXPECT_EQ(model.findObject("b")->material, 1);
    EXPECT_EQ(model.findObject("c")->material, 0);
    EXPECT_EQ(model.textureOf(model.findObject("c")), 101u);
    // A mesh without a face-material chunk has no material and draws untextured.
    SceneObject* d = model.findObject("d");
    EXPECT_EQ(d->material, -1);
    EXPECT_EQ(model.materialOf(d), nullptr);
    EXPECT_EQ(model.textureOf(d), 0u);
}

TEST(ModelReader, KeyframerNodes)
{
    tds::Scene scene = smallScene();
    tds::Node target;
    target.id = tds::CHUNK_CAMERATARGETINFOBLOCK;
    target.name = "cam";
    target.hasPosition = true;
    target.position.keys = {tds::positionKey(0, up(1, 2, 3)), tds::positionKey(10, up(4, 5, 6))};
    tds::Node orphan = target;
    orphan.name = "nobody";
    orphan.hasPivot = true;
    tds::Node nameless;
    nameless.hasPosition = true;
    nameless.position.keys = {tds::positionKey(0, up(9, 9, 9))};
    tds::Node light;
    light.id = tds::CHUNK_SPOTLIGHTINFOBLOCK;
    light.name = "lamp";
    light.hasPosition = true;
    light.position.keys = {tds::positionKey(0, up(1, 1, 1)), tds::positionKey(5, up(2, 2, 2))};
    light.hasRotation = true;
    light.rotation.keys = {tds::rotationKey(0, 1.0f, {0, 0, 1})};
    tds::Node cameraRotation = cameraNode("cam", {0, 10, 20, 30, 40});
    cameraRotation.hasRotation = true;
    cameraRotation.rotation.keys = {tds::rotationKey(0, 1.0f, {0, 0, 1})};
    scene.nodes = {cameraRotation, target, orphan, nameless, light};
    Model model;
    ASSERT_TRUE(loadScene(model, scene));
    SceneObject* cam = model.findObject("cam");
    // The target track lands in the camera's second track; a camera node's rotation is skipped.
    ASSERT_EQ(cam->rotationKeyCount, 2u);
    EXPECT_EQ(cam->rotationKeys[1].x, 4.0);
    EXPECT_EQ(cam->rotationKeys[1].y, 5.0);
    EXPECT_EQ(cam->rotationKeys[1].z, 6.0);
    EXPECT_EQ(cam->positionKeyCount, 5u);
    // Finishing: the eye and target start at their first keys.
    EXPECT_EQ(cam->cameraPosition.x, 0.0);
    EXPECT_EQ(cam->cameraTarget.x, 1.0);
    EXPECT_EQ(cam->cameraTarget.y, 2.0);
    EXPECT_EQ(cam->positionKeyIndex, 3u);
    EXPECT_EQ(cam->rotationKeyIndex, 3u);
    // A light node (0xB007) moves its light: position from the first key.
    SceneObject* lamp = model.findObject("lamp");
    ASSERT_EQ(lamp->positionKeyCount, 2u);
    EXPECT_EQ(lamp->position.x, 1.0);
    EXPECT_EQ(lamp->basePosition.y, 1.0);
    EXPECT_EQ(lamp->rotationKeyCount, 1u);
    // Nodes without a matching name changed nothing else.
    EXPECT_EQ(model.positionKeyCount, 0u);
    EXPECT_EQ(objectAt(model, 3)->positionKeyCount, 0u);
    // Frame range: from the first camera's key 1 to its key n - 3.
    EXPECT_EQ(model.startFrame, 10);
    EXPECT_EQ(model.endFrame, 20);
}

TEST(ModelReader, SecondObjectNodeReplacesTracks)
{
    tds::Scene scene;
    scene.objects.push_back(boxMesh("box", 0, 0, 0, 1, 1, 1));
    tds::Node first;
    first.name = "box";
    first.hasPosition = true;
    first.position.keys = {tds::positionKey(0, up(1, 0, 0)), tds::positionKey(1, up(2, 0, 0))};
    first.hasRotation = true;
    first.rotation.keys = first.position.keys;
    tds::Node second;
    second.name = "box";
    second.hasPosition = true;
    second.position.keys = {tds::positionKey(0, up(5, 0, 0))};
    scene.nodes = {first, second};
    Model model;
    ASSERT_TRUE(loadScene(model, scene));
    EXPECT_EQ(model.positionKeyCount, 1u);
    EXPECT_EQ(model.positionKeys[0].x, 5.0);
    EXPECT_EQ(model.rotationKeyCount, 0u);
}

// Keyframer blocks find their object by its whole name, exactly as written: of several objects of
// one name the first is moved; case counts, and so does a difference at the 10th character (the
// length many 3DS writers cut names to).
TEST(ModelReader, EachKeyframerBlockMovesTheFirstObjectOfExactlyItsName)
{
    tds::Scene scene;
    const char* const names[] = {"Box", "box", "Box", "longname_X", "longname_Y", "longname_Xtail"};
    for (int i = 0; i < 6; ++i) {
        scene.objects.push_back(boxMesh(names[i], 2.0f * i, 0, 0, 2.0f * i + 1, 1, 1));
    }
    // Each block's keys start at its own x, so that the moved object tells which block moved it.
    const auto block = [](const std::string& name, float x) {
        tds::Node node;
        node.name = name;
        node.hasPosition = true;
        node.position.keys = {tds::positionKey(0, up(x, 0, 0)), tds::positionKey(10, up(x, 5, 0))};
        return node;
    };
    scene.nodes = {block("longname_Y", 40), block("box", 20), block("Box", 10),
                   block("longname_X", 30), block("BOX", 50), block("longname_Xtail", 60)};
    Model model;
    ASSERT_TRUE(loadScene(model, scene));
    const float movedBy[] = {10, 20, -1, 30, 40, 60};  // -1: no block moves it
    for (int i = 0; i < 6; ++i) {
        const SceneObject* object = objectAt(model, i);
        if (movedBy[i] < 0) {
            EXPECT_EQ(object->positionKeyCount, 0u) << "object " << i << " \"" << object->name << "\"";
            continue;
        }
        ASSERT_EQ(object->positionKeyCount, 2u) << "object " << i << " \"" << object->name << "\"";
        EXPECT_EQ(object->positionKeys[0].x, movedBy[i]) << "object " << i << " \"" << object->name << "\"";
    }
}

TEST(ModelFinishing, NameMarksTablesAndDefaults)
{
    tds::Scene scene;
    scene.objects.push_back(boxMesh("%glass", 0, 0, 0, 1, 1, 1));
    scene.objects.push_back(boxMesh("a%half", 0, 0, 0, 1, 1, 1));
    scene.objects.push_back(boxMesh("#coil", 0, 0, 0, 1, 1, 1));
    scene.objects.push_back(boxMesh("*1fire", 0, 0, 0, 1, 1, 1));
    tds::Light omni;
    omni.name = "omni";
    omni.hasColour = false;
    scene.objects.push_back(omni);
    tds::Mesh empty;
    empty.name = "empty";
    scene.objects.push_back(empty);
    tds::EmptyObject nothing;
    nothing.name = "nothing";
    scene.objects.push_back(nothing);
    Model model;
    ASSERT_TRUE(loadScene(model, scene));
    EXPECT_TRUE(model.translucent);
    EXPECT_FALSE(objectAt(model, 1)->translucent);
    EXPECT_TRUE(isTranslucentPassName(objectAt(model, 1)->name));
    EXPECT_FALSE(isTranslucentPassName("#coil"));
    EXPECT_TRUE(castsNoShadow("*1fire"));
    EXPECT_TRUE(castsNoShadow("x*"));
    EXPECT_FALSE(castsNoShadow("x"));
    ASSERT_EQ(model.boltObjectCount, 1);
    EXPECT_EQ(model.boltObjects[0], objectAt(model, 2));
    EXPECT_EQ(model.boltJitter, 10);
    EXPECT_EQ(model.boltSegments, 30);
    EXPECT_EQ(model.boltCount, 30);
    EXPECT_FLOAT_EQ(model.boltColour[1], 0.6f);
    // A light without colour or spotlight chunks: white, reaching the omni default.
    SceneObject* light = model.findObject("omni");
    EXPECT_EQ(light->light.colour.x, 1.0f);
    EXPECT_EQ(light->light.colour.z, 1.0f);
    EXPECT_EQ(light->light.range, omniLightRange);
    // An empty vertex list has zero bounds; an object block with no kind chunk has no kind.
    SceneObject* e = model.findObject("empty");
    EXPECT_EQ(e->kind, ObjectKind::Mesh);
    EXPECT_EQ(e->vertexCount, 0);
    EXPECT_EQ(e->boundsMax.x, 0.0f);
    EXPECT_EQ(model.findObject("nothing")->kind, ObjectKind::None);
    // No cameras: the frame range is 0..0.
    EXPECT_EQ(model.cameraCount, 0);
    EXPECT_EQ(model.startFrame, 0);
    EXPECT_EQ(model.endFrame, 0);
}

TEST(ModelFinishing, FrameRangeNeedsEnoughCameraKeys)
{
    struct Case {
        std::vector<uint32_t> first;
        std::vector<uint32_t> last;
        int start;
        int end;
    };
    const Case cases[] = {
        {{0, 10, 20, 30}, {40, 50, 60, 70, 80}, 10, 60},
        {{0, 10}, {40, 50, 60}, 10, 40},
        {{0}, {40, 50, 60}, 0, 0},      // first camera with one key
        {{0, 10, 20}, {40, 50}, 0, 0},  // last camera with two keys
        {{}, {}, 0, 0},                 // no tracks at all
    };
    for (const Case& c : cases) {
        tds::Scene scene;
        tds::Camera one, two;
        one.name = "one";
        two.name = "two";
        two.position = up(1, 2, 3);
        scene.objects = {one, two};
        if (!c.first.empty())
            scene.nodes.push_back(cameraNode("one", c.first));
        if (!c.last.empty())
            scene.nodes.push_back(cameraNode("two", c.last));
        Model model;
        ASSERT_TRUE(loadScene(model, scene));
        ASSERT_EQ(model.cameraCount, 2);
        EXPECT_EQ(model.startFrame, c.start);
        EXPECT_EQ(model.endFrame, c.end);
        EXPECT_EQ(model.currentFrame, 0.0);
        EXPECT_EQ(model.currentCamera, 0);
        if (c.last.empty()) {
            // Without a track the camera keeps the eye of its chunk.
            EXPECT_EQ(model.cameras[1]->cameraPosition.y, 2.0);
        }
    }
}

TEST(ModelLoad, FailuresLeaveAnEmptyModel)
{
    Model model;
    model.materialLoader = nullptr;
    EXPECT_FALSE(model.load("/nonexistent/velmora/none.3ds"));
    EXPECT_EQ(model.objectCount, 0);
    EXPECT_FALSE(loadBytes(model, {0x3D, 0x3D, 6, 0, 0, 0}));
    EXPECT_EQ(model.objectCount, 0);
    // A model is reusable: a later load replaces everything.
    ASSERT_TRUE(loadScene(model, smallScene()));
    EXPECT_EQ(model.objectCount, 4);
    ASSERT_TRUE(loadScene(model, smallScene()));
    EXPECT_EQ(model.objectCount, 4);
    EXPECT_EQ(model.lightCount, 1);
    EXPECT_FALSE(loadBytes(model, {'J', 'F', 'I', 'F', 0, 0, 0}));
    EXPECT_EQ(model.objectCount, 0);
    EXPECT_EQ(model.lightCount, 0);
    model.destroy();
    model.destroy();
    EXPECT_EQ(model.objectCount, 0);
    // loadWithGrid always says yes and leaves a one-cell grid on an empty model.
    EXPECT_TRUE(model.loadWithGrid("/nonexistent/velmora/none.3ds"));
    EXPECT_EQ(model.columns, 1);
    EXPECT_EQ(model.rows, 1);
}

}  // namespace
