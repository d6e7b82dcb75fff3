// Geometry library: the plane and polygon tests on their edge cases, and the two curves at their
// end points and under reversal.
#include <gtest/gtest.h>

#include <cmath>

#include "core/geometry.h"

namespace {

// The unit square in the plane z = 0, corners counter-clockwise.
const Vec3f unitSquare[4] = {{0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {1.0f, 1.0f, 0.0f}, {0.0f, 1.0f, 0.0f}};

Segment seg(Vec3f a, Vec3f b)
{
    Segment s;
    s.start = a;
    s.end = b;
    return s;
}

void expectNear(Vec3d a, Vec3d b, double tolerance = 1e-12)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

TEST(GeometryVectors, BasicsAndAngle)
{
    Vec3f c = vecCross({1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f});
    EXPECT_EQ(c.z, 1.0f);
    EXPECT_EQ(vecDot({1.0f, 2.0f, 3.0f}, {4.0f, -5.0f, 6.0f}), 12.0f);
    EXPECT_EQ(vecLength({3.0f, 4.0f, 0.0f}), 5.0f);
    EXPECT_NEAR(vecAngle({1.0f, 0.0f, 0.0f}, {0.0f, 2.0f, 0.0f}), M_PI / 2.0, 1e-6);
    // 0/0 from a zero-length vector is caught and reads 0.
    EXPECT_EQ(vecAngle({0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}), 0.0);
    // Parallel vectors whose float quotient may round past 1 still give a number.
    double a = vecAngle({0.1f, 0.1f, 0.1f}, {0.3f, 0.3f, 0.3f});
    EXPECT_FALSE(std::isnan(a));
    EXPECT_NEAR(a, 0.0, 1e-3);
    Vec3f n = vecNormalize({0.0f, 0.0f, 0.0f});
    EXPECT_TRUE(std::isnan(n.x));
}

TEST(GeometryPlane, EndsOnThePlaneNeverCross)
{
    Vec3f n;
    float d = 0.0f;
    EXPECT_TRUE(segmentCrossesPlane(unitSquare, seg({0.5f, 0.5f, 1.0f}, {0.5f, 0.5f, -1.0f}), n, d));
    EXPECT_EQ(std::fabs(n.z), 1.0f);
    EXPECT_EQ(d, 0.0f);
    // Start exactly on the plane, end exactly on the plane, both ends on one side.
    EXPECT_FALSE(segmentCrossesPlane(unitSquare, seg({0.5f, 0.5f, 0.0f}, {0.5f, 0.5f, -1.0f}), n, d));
    EXPECT_FALSE(segmentCrossesPlane(unitSquare, seg({0.5f, 0.5f, 1.0f}, {0.5f, 0.5f, 0.0f}), n, d));
    EXPECT_FALSE(segmentCrossesPlane(unitSquare, seg({0.5f, 0.5f, 1.0f}, {0.5f, 0.5f, 2.0f}), n, d));
    // Tiny distances on opposite sides still cross: the sign test does not underflow.
    EXPECT_TRUE(segmentCrossesPlane(unitSquare, seg({0.5f, 0.5f, 1e-30f}, {0.5f, 0.5f, -1e-30f}), n, d));
}

TEST(GeometryPlane, CollinearPolygonHitsNothing)
{
    const Vec3f line[4] = {{0.0f, 0.0f, 0.0f}, {1.0f, 0.0f, 0.0f}, {2.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}};
    EXPECT_TRUE(std::isnan(polygonNormal(line).x));
    EXPECT_FALSE(segmentHitsPolygon(line, seg({0.5f, 0.5f, 1.0f}, {0.5f, 0.5f, -1.0f}), 4));
    EXPECT_FALSE(segmentHitsPolygon(line, seg({0.1f, 0.0f, 1.0f}, {0.1f, 0.0f, -1.0f}), 4));
}

TEST(GeometryPlane, LineIntersection)
{
    Vec3f n{0.0f, 0.0f, 1.0f};
    Vec3f q = linePlaneIntersection(n, seg({0.25f, 0.75f, 2.0f}, {0.25f, 0.75f, -2.0f}), 0.0);
    EXPECT_FLOAT_EQ(q.x, 0.25f);
    EXPECT_FLOAT_EQ(q.y, 0.75f);
    EXPECT_FLOAT_EQ(q.z, 0.0f);
    // A line parallel to the plane returns its start unchanged.
    Segment parallel = seg({3.0f, 4.0f, 5.0f}, {6.0f, 7.0f, 5.0f});
    Vec3f p = linePlaneIntersection(n, parallel, 0.0);
    EXPECT_EQ(p.x, 3.0f);
    EXPECT_EQ(p.y, 4.0f);
    EXPECT_EQ(p.z, 5.0f);
}

TEST(GeometryPolygon, PointInsideOutsideAndOnAVertex)
{
    EXPECT_TRUE(pointInPolygon({0.5f, 0.5f, 0.0f}, unitSquare, 4));
    EXPECT_FALSE(pointInPolygon({1.5f, 0.5f, 0.0f}, unitSquare, 4));
    EXPECT_FALSE(pointInPolygon({-0.01f, 0.5f, 0.0f}, unitSquare, 4));
    // On a vertex the two angles at it are 0/0 and count 0; the rest make only a quarter turn.
    EXPECT_FALSE(pointInPolygon({0.0f, 0.0f, 0.0f}, unitSquare, 4));

    EXPECT_TRUE(segmentHitsPolygon(unitSquare, seg({0.5f, 0.5f, 1.0f}, {0.5f, 0.5f, -1.0f}), 4));
    EXPECT_FALSE(segmentHitsPolygon(unitSquare, seg({1.5f, 0.5f, 1.0f}, {1.5f, 0.5f, -1.0f}), 4));
    // Slanted through the middle.
    EXPECT_TRUE(segmentHitsPolygon(unitSquare, seg({0.0f, 0.0f, 1.0f}, {1.0f, 1.0f, -1.0f}), 4));
}

TEST(GeometryCurves, EndPointsAndSymmetry)
{
    Vec3d p0{1.0, 2.0, 3.0}, p1{-4.0, 5.5, 0.25}, p2{7.0, -8.0, 9.0}, p3{0.5, 0.0, -10.0};
    Vec3d b0 = bezierPoint(p0, p1, p2, p3, 0.0f);
    Vec3d b1 = bezierPoint(p0, p1, p2, p3, 1.0f);
    EXPECT_EQ(b0.x, p0.x);
    EXPECT_EQ(b0.y, p0.y);
    EXPECT_EQ(b0.z, p0.z);
    EXPECT_EQ(b1.x, p3.x);
    EXPECT_EQ(b1.y, p3.y);
    EXPECT_EQ(b1.z, p3.z);

    expectNear(catmullRomPoint(p0, p1, p2, p3, 0.0), p1, 0.0);
    expectNear(catmullRomPoint(p0, p1, p2, p3, 1.0), p2, 1e-12);
    for (double t : {0.0, 0.2, 0.5, 0.77, 1.0})
        expectNear(catmullRomPoint(p3, p2, p1, p0, 1.0 - t), catmullRomPoint(p0, p1, p2, p3, t));
}

}  // namespace
