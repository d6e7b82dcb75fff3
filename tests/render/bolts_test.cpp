// Electric arcs: the order of the random draws of one arc, the jitter and colour of its points,
// and the objects and parameters that can throw no arc at all.
#include <gtest/gtest.h>

#include "core/clock.h"
#include "fixtures.h"
#include "render/bolts.h"

namespace {

// The scene clock's generator, replayed.
struct Lcg {
    uint32_t state = 1;
    int below(int n)
    {
        state = state * 214013u + 2531011u;
        return static_cast<int>((state >> 16) & 0x7FFFu) % n;
    }
};

class Bolt : public ::testing::Test {
protected:
    void SetUp() override
    {
        resetRandom();
        bolt = rfix::appendObject(model, "#spark", ObjectKind::Mesh);
        rfix::setMesh(*bolt, {{10, 0, 0}, {0, 20, 0}, {0, 0, 30}, {-40, -40, -40}}, {Face{0, 1, 2, 0}});
        bolt->basePosition = Vec3d{100, 200, 300};
        model.boltObjects[0] = bolt;
        model.boltObjectCount = 1;
    }

    Model model;
    SceneObject* bolt = nullptr;
};

TEST_F(Bolt, DrawsBrightnessWidthVertexThenXYZOfEachPoint)
{
    BoltArc arc;
    ASSERT_TRUE(buildBoltArc(model, *bolt, arc));

    Lcg lcg;
    const float brightness = static_cast<float>(lcg.below(100) / 100.0);
    const float width = static_cast<float>(lcg.below(10) + 1.0);
    const Vec3d v = bolt->vertices[lcg.below(3)];
    EXPECT_EQ(arc.brightness, brightness);
    EXPECT_EQ(arc.lineWidth, width);
    ASSERT_EQ(arc.points.size(), 30u);
    const Vec3d& b = bolt->basePosition;
    for (int k = 0; k < 30; ++k) {
        const double x = b.x + k * (b.x - v.x) / 30 + 5.0 - lcg.below(10);
        const double y = b.y + k * (b.y - v.y) / 30 + 5.0 - lcg.below(10);
        const double z = b.z + k * (b.z - v.z) / 30 + 5.0 - lcg.below(10);
        EXPECT_EQ(arc.points[k].position.x, x) << k;
        EXPECT_EQ(arc.points[k].position.y, y) << k;
        EXPECT_EQ(arc.points[k].position.z, z) << k;
        EXPECT_FLOAT_EQ(arc.points[k].colour[0], brightness * 1.0f * k / 30);
        EXPECT_FLOAT_EQ(arc.points[k].colour[1], brightness * 0.6f * k / 30);
        EXPECT_FLOAT_EQ(arc.points[k].colour[2], brightness * 0.1f * k / 30);
    }
    // The next arc goes on with the same generator.
    EXPECT_EQ(randomBelow(1000), lcg.below(1000));
}

TEST_F(Bolt, EveryArcStartsBlackAtTheRestPosition)
{
    model.boltJitter = 1;
    BoltArc arc;
    for (int j = 0; j < 20; ++j) {
        ASSERT_TRUE(buildBoltArc(model, *bolt, arc));
        EXPECT_EQ(arc.points[0].colour[0], 0.0f);
        EXPECT_EQ(arc.points[0].colour[1], 0.0f);
        EXPECT_EQ(arc.points[0].colour[2], 0.0f);
        EXPECT_EQ(arc.points[0].position.x, 100.5);
        EXPECT_EQ(arc.points[0].position.y, 200.5);
        EXPECT_EQ(arc.points[0].position.z, 300.5);
    }
}

TEST_F(Bolt, JitterOneIsAConstantHalfUnitAndOnePixel)
{
    model.boltJitter = 1;
    model.boltSegments = 10;
    BoltArc arc;
    for (int j = 0; j < 10; ++j) {
        ASSERT_TRUE(buildBoltArc(model, *bolt, arc));
        EXPECT_EQ(arc.lineWidth, 1.0f);
        // Which vertex the arc runs from is still random; find it from the second point.
        const Vec3d& b = bolt->basePosition;
        const Vec3d away{b.x - (arc.points[1].position.x - 0.5 - b.x) * 10,
                         b.y - (arc.points[1].position.y - 0.5 - b.y) * 10,
                         b.z - (arc.points[1].position.z - 0.5 - b.z) * 10};
        for (int k = 0; k < 10; ++k) {
            EXPECT_NEAR(arc.points[k].position.x, b.x + k * (b.x - away.x) / 10 + 0.5, 1e-9);
            EXPECT_NEAR(arc.points[k].position.y, b.y + k * (b.y - away.y) / 10 + 0.5, 1e-9);
            EXPECT_NEAR(arc.points[k].position.z, b.z + k * (b.z - away.z) / 10 + 0.5, 1e-9);
        }
    }
}

TEST_F(Bolt, FiveSegmentsEndFourFifthsOfTheWay)
{
    model.boltJitter = 1;
    model.boltSegments = 5;
    // Only vertex 0 can be picked from a two-vertex mesh.
    bolt->vertexCount = 2;
    BoltArc arc;
    ASSERT_TRUE(buildBoltArc(model, *bolt, arc));
    ASSERT_EQ(arc.points.size(), 5u);
    const Vec3d& b = bolt->basePosition;
    const Vec3d far{2 * b.x - 10, 2 * b.y - 0, 2 * b.z - 0};  // 2 base - v
    const ArcPoint& last = arc.points[4];
    EXPECT_DOUBLE_EQ(last.position.x, b.x + 0.8 * (far.x - b.x) + 0.5);
    EXPECT_DOUBLE_EQ(last.position.y, b.y + 0.8 * (far.y - b.y) + 0.5);
    EXPECT_DOUBLE_EQ(last.position.z, b.z + 0.8 * (far.z - b.z) + 0.5);
    EXPECT_FLOAT_EQ(last.colour[0], arc.brightness * 0.8f);
}

TEST_F(Bolt, TooFewVerticesOrNoJitterThrowNoArcAndDrawNothingRandom)
{
    BoltArc arc;
    bolt->vertexCount = 1;
    EXPECT_FALSE(canThrowArcs(model, *bolt));
    EXPECT_FALSE(buildBoltArc(model, *bolt, arc));
    EXPECT_TRUE(arc.points.empty());
    bolt->vertexCount = 4;
    model.boltJitter = 0;
    EXPECT_FALSE(buildBoltArc(model, *bolt, arc));
    model.boltJitter = -3;
    EXPECT_FALSE(buildBoltArc(model, *bolt, arc));
    // No value of the generator was used.
    Lcg lcg;
    EXPECT_EQ(randomBelow(32768), lcg.below(32768));
}

}  // namespace
