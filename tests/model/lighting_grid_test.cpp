// Load-time preparation: vertex lighting with its fall-off, clamping and shadow factors, and the
// face grid's extent and cell boundaries.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "core/switches.h"
#include "fixtures.h"

using namespace fixtures;

namespace {

class ModelLighting : public ::testing::Test {
protected:
    void SetUp() override { setRenderDefaults(); }
    void TearDown() override { setRenderDefaults(); }

    // A small triangle with its first vertex at the origin, lit by what the test adds.
    static tds::Scene litScene(const std::string& name = "lit")
    {
        tds::Scene scene;
        scene.objects.push_back(triangleMesh(name, {0, 0, 0}, {1, 0, 0}, {0, 0, 1}));
        return scene;
    }

    static Vec3f originColour(tds::Scene scene)
    {
        Model model;
        EXPECT_TRUE(loadScene(model, scene));
        SceneObject* lit = &model;
        return lit->vertexColours[0];
    }
};

void expectColour(Vec3f c, float r, float g, float b)
{
    EXPECT_FLOAT_EQ(c.x, r);
    EXPECT_FLOAT_EQ(c.y, g);
    EXPECT_FLOAT_EQ(c.z, b);
}

TEST_F(ModelLighting, NoLightsOrCaretGiveWhite)
{
    expectColour(originColour(litScene()), 1.0f, 1.0f, 1.0f);
    tds::Scene scene = litScene("^unlit");
    scene.objects.push_back(spotLight("red", {0, 25, 0}, 100.0f, {1.0f, 0.0f, 0.0f}));
    expectColour(originColour(scene), 1.0f, 1.0f, 1.0f);
}

TEST_F(ModelLighting, LinearFallOffAndShadowFactors)
{
    tds::Scene scene = litScene();
    scene.objects.push_back(spotLight("lamp", {0, 25, 0}, 100.0f, {1.0f, 0.5f, 0.0f}));
    expectColour(originColour(scene), 0.75f, 0.375f, 0.0f);

    // An opaque slab between vertex and light leaves 20 %, a translucent one 40 %.
    tds::Scene opaque = scene;
    opaque.objects.push_back(boxMesh("slab", -5, 10, -5, 5, 12, 5));
    expectColour(originColour(opaque), 0.15f, 0.075f, 0.0f);
    tds::Scene translucent = scene;
    translucent.objects.push_back(boxMesh("%glass", -5, 10, -5, 5, 12, 5));
    expectColour(originColour(translucent), 0.3f, 0.15f, 0.0f);

    // Emitter-like names never block, whether the '*' is first or second.
    for (const char* name : {"*0spark", "a*", "**"}) {
        tds::Scene open = scene;
        open.objects.push_back(boxMesh(name, -5, 10, -5, 5, 12, 5));
        expectColour(originColour(open), 0.75f, 0.375f, 0.0f);
    }

    // With the shadow switch off the slab changes nothing.
    shadowsEnabled = false;
    expectColour(originColour(opaque), 0.75f, 0.375f, 0.0f);
}

TEST_F(ModelLighting, FirstOccluderInListOrderDecides)
{
    tds::Scene scene = litScene();
    scene.objects.push_back(spotLight("lamp", {0, 25, 0}, 100.0f, {1.0f, 0.5f, 0.0f}));
    scene.objects.push_back(boxMesh("%high", -5, 20, -5, 5, 22, 5));
    scene.objects.push_back(boxMesh("low", -5, 10, -5, 5, 12, 5));
    expectColour(originColour(scene), 0.3f, 0.15f, 0.0f);

    Model model;
    ASSERT_TRUE(loadScene(model, scene));
    bool occluders[4] = {true, false, true, true};
    model.rewind();
    EXPECT_EQ(model.shadowFactorAt(0, 0, 0, occluders), 1);
    EXPECT_EQ(model.cursor, static_cast<SceneObject*>(&model));
    occluders[2] = false;
    model.seekObject(0);
    EXPECT_EQ(model.shadowFactorAt(0, 0, 0, occluders), 2);
    // The slab's top corner (2) lies beyond its middle section: nothing blocks it.
    model.seekObject(3);
    EXPECT_EQ(model.shadowFactorAt(2, 3, 0, occluders), 0);
    EXPECT_EQ(model.cursor, model.findObject("low"));
}

TEST_F(ModelLighting, RangeEndsClampingAndSelfShadow)
{
    // At exactly the range: nothing. At the light itself: full colour.
    tds::Scene edge = litScene();
    edge.objects.push_back(spotLight("far", {0, 64, 0}, 64.0f, {1.0f, 1.0f, 1.0f}));
    edge.objects.push_back(spotLight("near", {1, 0, 0}, 10.0f, {0.0f, 0.0f, 0.5f}));
    Model model;
    ASSERT_TRUE(loadScene(model, edge));
    expectColour(model.vertexColours[0], 0.0f, 0.0f, 0.45f);
    expectColour(model.vertexColours[1], 0.0f, 0.0f, 0.5f);

    // Two lights adding 0.7 each: clamped to 1.
    tds::Scene two = litScene();
    two.objects.push_back(spotLight("a", {0, 30, 0}, 100.0f, {1.0f, 0.0f, 0.0f}));
    two.objects.push_back(spotLight("b", {0, -30, 0}, 100.0f, {1.0f, 0.0f, 0.0f}));
    expectColour(originColour(two), 1.0f, 0.0f, 0.0f);

    // A box shadows its own far side: the bottom corner sees the light through the box's middle.
    tds::Scene self;
    self.objects.push_back(boxMesh("cube", 0, 0, 0, 10, 10, 10));
    self.objects.push_back(spotLight("sun", {5, 50, 5}, 200.0f));
    Model cube;
    ASSERT_TRUE(loadScene(cube, self));
    // Corner 0 is (0, 0, 0), corner 2 is (0, 10, 0) (see boxMesh).
    float top = 1.0f - std::sqrt(25.0f + 1600.0f + 25.0f) / 200.0f;
    float bottom = 1.0f - std::sqrt(25.0f + 2500.0f + 25.0f) / 200.0f;
    EXPECT_NEAR(cube.vertexColours[2].x, top, 1e-6f);
    EXPECT_NEAR(cube.vertexColours[0].x, bottom * 0.2f, 1e-6f);
}

// The shadow test as written out plainly: every occluder, every section, no shortcuts.
int referenceShadow(Model& model, int vertexIndex, int objectIndex, int lightIndex, const bool* occluders)
{
    SceneObject* lit = objectAt(model, objectIndex);
    const Vec3d& v = lit->vertices[vertexIndex];
    const Vec3d& l = model.lights[lightIndex]->position;
    Segment ray{Vec3f{float(v.x), float(v.y), float(v.z)}, Vec3f{float(l.x), float(l.y), float(l.z)}};
    SceneObject* o = &model;
    for (int i = 0; i < model.objectCount; ++i, o = o->next) {
        if (!occluders[i])
            continue;
        for (int q = 0; q < 3; ++q)
            if (segmentHitsPolygon(o->crossQuads[q], ray, 4))
                return o->translucent ? 1 : 2;
    }
    return 0;
}

TEST_F(ModelLighting, QuickRejectionNeverChangesTheShadowTest)
{
    // Boxes of all proportions (flat, thin, tiny) near the origin and far from it, where float
    // rounding is coarse, with lights among them and on their faces' planes.
    uint32_t seed = 12345u;
    auto next = [&seed](float lo, float hi) {
        seed = seed * 1664525u + 1013904223u;
        return lo + (hi - lo) * float(seed >> 8) / float(1u << 24);
    };
    tds::Scene scene;
    for (float base : {0.0f, 100000.0f}) {
        for (int i = 0; i < 14; ++i) {
            float x = base + next(-200, 200), y = next(-50, 50), z = base + next(-200, 200);
            float sx = i % 3 == 0 ? 0.0f : next(0.01f, 80), sy = i % 4 == 0 ? 0.0f : next(0.01f, 80);
            float sz = next(0.01f, 80);
            std::string name = (i % 5 == 0 ? "%b" : "b") + std::to_string(i);
            scene.objects.push_back(boxMesh(name, x, y, z, x + sx, y + sy, z + sz));
        }
        scene.objects.push_back(spotLight("l", {base, 0, base}, 1e6f));
        scene.objects.push_back(spotLight("l", {base + 50, 90, base - 30}, 1e6f));
        tds::Mesh first = std::get<tds::Mesh>(scene.objects[scene.objects.size() - 16]);
        tds::Vec3 corner = first.vertices[0];
        scene.objects.push_back(spotLight("l", {corner.x, corner.z, -corner.y + 40}, 1e6f));
    }
    Model model;
    ASSERT_TRUE(loadScene(model, scene));
    std::unique_ptr<bool[]> flags(new bool[model.objectCount]);
    SceneObject* o = &model;
    for (int i = 0; i < model.objectCount; ++i, o = o->next)
        flags[i] = o->kind == ObjectKind::Mesh;
    const bool* occluders = flags.get();
    int blocked = 0;
    o = &model;
    for (int i = 0; i < model.objectCount; ++i, o = o->next) {
        for (int j = 0; j < o->vertexCount; ++j) {
            for (int k = 0; k < model.lightCount; ++k) {
                int expected = referenceShadow(model, j, i, k, occluders);
                ASSERT_EQ(model.shadowFactorAt(j, i, k, occluders), expected) << i << " " << j << " " << k;
                blocked += expected != 0;
            }
        }
    }
    // The scene does exercise both outcomes.
    EXPECT_GT(blocked, 20);
}

TEST(ModelGrid, ExtentCellsAndBoundaries)
{
    tds::Scene scene;
    tds::Mesh mesh;
    mesh.name = "ground";
    const float v[10][2] = {{100, 150},  {150, 200}, {200, 250},  // A: centroid (150, 200)
                            {-50, 100},  {-50, 200}, {-50, 300},  // B: centroid x on gridMinX
                            {450, 300},  {250, 200}, {200, 250},  // C: centroid (300, 250)
                            {5000, 5000}};                        // used by no face
    for (const auto& p : v)
        mesh.vertices.push_back(up(p[0], 0, p[1]));
    mesh.faces = {tds::Face{0, 1, 2}, tds::Face{3, 4, 5}, tds::Face{6, 7, 8}, tds::Face{2, 1, 0}};
    scene.objects.push_back(mesh);
    scene.objects.push_back(spotLight("lamp", {0, 100, 0}, 10.0f));
    scene.objects.push_back(triangleMesh("rock", {250, 5, 210}, {260, 5, 210}, {250, 5, 220}));

    Model model;
    model.materialLoader = nullptr;
    std::string path = writeTempFile("grid.3ds", tds::writeScene(scene));
    ASSERT_TRUE(model.loadWithGrid(path.c_str()));
    EXPECT_EQ(model.gridMinX, -50.0f);
    EXPECT_EQ(model.gridMaxX, 450.0f);
    EXPECT_EQ(model.gridMinZ, 0.0f);
    EXPECT_EQ(model.gridMaxZ, 300.0f);
    EXPECT_EQ(model.columns, 3);
    EXPECT_EQ(model.rows, 2);
    EXPECT_EQ(model.cellWidth, 200.0f);
    EXPECT_EQ(model.cellDepth, 200.0f);
    ASSERT_NE(model.grid, nullptr);

    for (int cell = 0; cell < 6; ++cell) {
        ASSERT_EQ(model.grid[cell].entryCount, 3);
        for (int e = 0; e < 3; ++e)
            EXPECT_EQ(model.grid[cell].entries[e].object, e);
        EXPECT_EQ(model.grid[cell].entries[1].faceCount, 0);  // the light
    }
    // A and its twin D lie on the boundary x = 150, z = 200: the lower cell (0, 0), in face order.
    const GridEntry& first = model.grid[0].entries[0];
    ASSERT_EQ(first.faceCount, 2);
    EXPECT_EQ(first.faceIndices[0], 0);
    EXPECT_EQ(first.faceIndices[1], 3);
    // C at (300, 250) and the rock at (253.3, 213.3) are in column 1, row 1: cell 1 + 1 * 3.
    ASSERT_EQ(model.grid[4].entries[0].faceCount, 1);
    EXPECT_EQ(model.grid[4].entries[0].faceIndices[0], 2);
    ASSERT_EQ(model.grid[4].entries[2].faceCount, 1);
    // B, on the grid's lower x edge, is in no cell.
    int filed = 0;
    for (int cell = 0; cell < 6; ++cell)
        filed += model.grid[cell].entries[0].faceCount;
    EXPECT_EQ(filed, 3);
}

TEST(ModelGrid, FarFlungVerticesGetNoGrid)
{
    tds::Scene scene;
    scene.objects.push_back(triangleMesh("huge", {-3e7f, 0, -3e7f}, {3e7f, 0, 3e7f}, {0, 0, 1}));
    Model model;
    ASSERT_TRUE(loadScene(model, scene));
    model.buildGrid();
    EXPECT_EQ(model.grid, nullptr);
    EXPECT_EQ(model.columns, 0);
    EXPECT_EQ(model.rows, 0);
}

}  // namespace
