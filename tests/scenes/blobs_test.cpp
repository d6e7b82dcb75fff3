// The push of the First verse blobs: 6000 over the distance for the first corner, over the squared
// distance for the other two, applied attractor after attractor, and no unbounded corner when one
// lands exactly on an attractor.
#include <gtest/gtest.h>

#include <cmath>

#include "scenes/first_verse.h"

namespace {

const Vec3d origin{0.0, 0.0, 0.0};

bool finite(const Vec3d& v)
{
    return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.z);
}

}  // namespace

TEST(BlobPush, FirstCornerFliesFartherThanTheOthers)
{
    Vec3d w[3] = {{10, 0, 0}, {10, 0, 0}, {0, 10, 0}};
    const Vec3d q[1] = {origin};
    pushBlobCorners(w, origin, origin, q, 1);
    // d = 10: f = 600 for the first corner, 60 for the others.
    EXPECT_DOUBLE_EQ(w[0].x, 10.0 + 10.0 * 600.0);
    EXPECT_DOUBLE_EQ(w[1].x, 10.0 + 10.0 * 60.0);
    EXPECT_DOUBLE_EQ(w[2].y, 10.0 + 10.0 * 60.0);
    EXPECT_DOUBLE_EQ(w[0].y, 0.0);
    EXPECT_DOUBLE_EQ(w[2].x, 0.0);
}

TEST(BlobPush, DistanceIsMeasuredFromTheBlobsCurrentPlace)
{
    // The blob has moved by p - r = (0, 0, 20); the corner is seen at (10, 0, 20), 10 from q.
    Vec3d w[3] = {{10, 0, 0}, {10, 0, 0}, {10, 0, 0}};
    const Vec3d r{0, 0, 0};
    const Vec3d p{0, 0, 20};
    const Vec3d q[1] = {{0, 0, 20}};
    pushBlobCorners(w, r, p, q, 1);
    EXPECT_DOUBLE_EQ(w[0].x, 6010.0);
    EXPECT_DOUBLE_EQ(w[0].z, 20.0);
    EXPECT_DOUBLE_EQ(w[1].x, 610.0);
    EXPECT_DOUBLE_EQ(w[1].z, 20.0);
}

TEST(BlobPush, EachAttractorStartsFromTheCornerAsThePreviousLeftIt)
{
    // Far attractors barely push, but each one carries the corner by p - r once more.
    Vec3d w[3] = {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}};
    const Vec3d r{100, 0, 0};
    const Vec3d p{110, 0, 0};
    const Vec3d q[3] = {{1e9, 0, 0}, {0, 1e9, 0}, {0, 0, 1e9}};
    pushBlobCorners(w, r, p, q, 3);
    for (const Vec3d& corner : w) {
        EXPECT_NEAR(corner.x, 31.0, 0.01);
        EXPECT_NEAR(corner.y, 2.0, 0.01);
        EXPECT_NEAR(corner.z, 3.0, 0.01);
    }
    // With two attractors the shift is added twice.
    Vec3d two[3] = {{1, 2, 3}, {1, 2, 3}, {1, 2, 3}};
    pushBlobCorners(two, r, p, q, 2);
    EXPECT_NEAR(two[0].x, 21.0, 0.01);
}

TEST(BlobPush, SecondPushUsesTheFirstPushsResult)
{
    Vec3d w[3] = {{10, 0, 0}, {10, 0, 0}, {10, 0, 0}};
    const Vec3d q[2] = {origin, {6010, 0, 1000}};
    pushBlobCorners(w, origin, origin, q, 2);
    // After the first push the first corner is at (6010, 0, 0), 1000 from the second attractor:
    // f = 6, so it moves on to 6010 + 6010 * 6.
    EXPECT_NEAR(w[0].x, 6010.0 * 7.0, 1e-6);
}

TEST(BlobPush, CornerExactlyOnAnAttractorIsLeftWhereItIs)
{
    Vec3d w[3] = {{5, 5, 5}, {5, 5, 5}, {5, 5, 5}};
    const Vec3d q[1] = {{5, 5, 5}};
    pushBlobCorners(w, origin, origin, q, 1);
    for (const Vec3d& corner : w) {
        EXPECT_TRUE(finite(corner));
        EXPECT_DOUBLE_EQ(corner.x, 5.0);
    }
    // The other attractors still apply to it.
    Vec3d v[3] = {{5, 0, 0}, {5, 0, 0}, {5, 0, 0}};
    const Vec3d both[2] = {{5, 0, 0}, origin};
    pushBlobCorners(v, origin, origin, both, 2);
    EXPECT_DOUBLE_EQ(v[0].x, 5.0 + 5.0 * 1200.0);
    EXPECT_DOUBLE_EQ(v[1].x, 5.0 + 5.0 * 240.0);
}

TEST(BlobPush, PushBeyondSinglePrecisionIsLeftOut)
{
    // The blob has moved so that its corners are seen 1e-17 from the attractor: the squared-distance
    // push would carry them past what a float holds, the first corner's push still fits.
    Vec3d w[3] = {{1e6, 0, 0}, {1e6, 0, 0}, {1e6, 0, 0}};
    const Vec3d p{-1e6, 0, 0};
    const Vec3d q[1] = {{0, 1e-17, 0}};
    pushBlobCorners(w, origin, p, q, 1);
    EXPECT_NEAR(w[0].x, 6e26, 1e21);
    EXPECT_DOUBLE_EQ(w[1].x, 1e6);
    EXPECT_DOUBLE_EQ(w[2].x, 1e6);
    for (const Vec3d& corner : w) {
        EXPECT_TRUE(finite(corner));
    }
}
