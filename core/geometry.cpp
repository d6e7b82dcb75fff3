// Geometry: vectors, the segment-against-polygon test and the two cubic curves.
// Single-precision values are combined in float and each Vec3f result is stored as float; the
// curve evaluators work on doubles. Depends on nothing but <cmath>.
#include "core/geometry.h"

#include <cmath>

namespace {

// A full turn less one ten-thousandth: the angle sum that counts as "inside".
constexpr double fullTurnThreshold = 0.9999 * 6.283185307179586;

}  // namespace

Vec3f vecSub(Vec3f a, Vec3f b)
{
    return Vec3f{a.x - b.x, a.y - b.y, a.z - b.z};
}

Vec3f vecCross(Vec3f a, Vec3f b)
{
    return Vec3f{a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

float vecDot(Vec3f a, Vec3f b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

float vecLength(Vec3f a)
{
    return std::sqrt(a.x * a.x + a.y * a.y + a.z * a.z);
}

Vec3f vecNormalize(Vec3f a)
{
    float length = vecLength(a);
    return Vec3f{a.x / length, a.y / length, a.z / length};
}

double vecAngle(Vec3f a, Vec3f b)
{
    // The quotient is formed in float; rounding can push it just past +-1, which acos turns into
    // NaN and hence 0, like the 0/0 of a zero-length argument.
    float quotient = vecDot(a, b) / (vecLength(b) * vecLength(a));
    double angle = std::acos(static_cast<double>(quotient));
    return std::isnan(angle) ? 0.0 : angle;
}

Vec3f polygonNormal(const Vec3f* vertices)
{
    Vec3f e1 = vecSub(vertices[2], vertices[0]);
    Vec3f e2 = vecSub(vertices[1], vertices[0]);
    return vecNormalize(vecCross(e1, e2));
}

float planeConstant(Vec3f n, Vec3f p)
{
    return -vecDot(n, p);
}

bool segmentCrossesPlane(const Vec3f* vertices, Segment s, Vec3f& normal, float& d)
{
    normal = polygonNormal(vertices);
    d = planeConstant(normal, vertices[0]);
    float e = vecDot(normal, s.start) + d;
    if (e == 0.0f || std::isnan(e))
        return false;
    float f = vecDot(normal, s.end) + d;
    // Compared by sign rather than by e * f < 0, whose float product could underflow to zero.
    return (e < 0.0f && f > 0.0f) || (e > 0.0f && f < 0.0f);
}

Vec3f linePlaneIntersection(Vec3f n, Segment s, double d)
{
    Vec3f dir = vecNormalize(vecSub(s.end, s.start));
    double num = -(static_cast<double>(vecDot(n, s.start)) + d);
    double den = static_cast<double>(vecDot(n, dir));
    if (den == 0.0)
        return s.start;
    double t = num / den;
    return Vec3f{static_cast<float>(s.start.x + t * dir.x), static_cast<float>(s.start.y + t * dir.y),
                 static_cast<float>(s.start.z + t * dir.z)};
}

bool pointInPolygon(Vec3f p, const Vec3f* vertices, int count)
{
    double sum = 0.0;
    for (int i = 0; i < count; ++i) {
        Vec3f a = vecSub(vertices[i], p);
        Vec3f b = vecSub(vertices[(i + 1) % count], p);
        sum += vecAngle(a, b);
    }
    return sum >= fullTurnThreshold;
}

bool segmentHitsPolygon(const Vec3f* vertices, Segment s, int count)
{
    Vec3f n;
    float d = 0.0f;
    if (!segmentCrossesPlane(vertices, s, n, d))
        return false;
    Vec3f q = linePlaneIntersection(n, s, static_cast<double>(d));
    return pointInPolygon(q, vertices, count);
}

Vec3d bezierPoint(Vec3d p0, Vec3d p1, Vec3d p2, Vec3d p3, float t)
{
    float u = 1.0f - t;
    float w0 = u * u * u;
    float w1 = 3.0f * t * u * u;
    float w2 = 3.0f * t * t * u;
    float w3 = t * t * t;
    return Vec3d{w0 * p0.x + w1 * p1.x + w2 * p2.x + w3 * p3.x, w0 * p0.y + w1 * p1.y + w2 * p2.y + w3 * p3.y,
                 w0 * p0.z + w1 * p1.z + w2 * p2.z + w3 * p3.z};
}

namespace {

double catmullRom(double p0, double p1, double p2, double p3, double t)
{
    return 0.5 * (2.0 * p1 + (p2 - p0) * t + (2.0 * p0 - 5.0 * p1 + 4.0 * p2 - p3) * t * t +
                  (-p0 + 3.0 * p1 - 3.0 * p2 + p3) * t * t * t);
}

}  // namespace

Vec3d catmullRomPoint(Vec3d p0, Vec3d p1, Vec3d p2, Vec3d p3, double t)
{
    return Vec3d{catmullRom(p0.x, p1.x, p2.x, p3.x, t), catmullRom(p0.y, p1.y, p2.y, p3.y, t),
                 catmullRom(p0.z, p1.z, p2.z, p3.z, t)};
}
