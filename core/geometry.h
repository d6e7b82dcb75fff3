// Geometry: 3-component vectors, the segment-against-polygon test that the load-time shadow test
// uses, and the cubic Bezier and Catmull-Rom evaluators that move cameras and objects.
// Pure functions on values: no state, no allocation.
#pragma once

struct Vec3f {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
};

struct Vec3d {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

struct Segment {
    Vec3f start;
    Vec3f end;
};

// a - b, component-wise.
Vec3f vecSub(Vec3f a, Vec3f b);
// The right-handed cross product a x b.
Vec3f vecCross(Vec3f a, Vec3f b);
float vecDot(Vec3f a, Vec3f b);
float vecLength(Vec3f a);
// a / |a|; a zero vector gives NaN components.
Vec3f vecNormalize(Vec3f a);
// The angle between a and b in radians; 0 when it is undefined (a zero-length argument).
double vecAngle(Vec3f a, Vec3f b);

// Unit normal of the plane through the polygon's first three vertices; NaN when they are collinear.
Vec3f polygonNormal(const Vec3f* vertices);
// The d of the plane n.x + d = 0 through p.
float planeConstant(Vec3f n, Vec3f p);
// True when the segment's ends lie strictly on opposite sides of the polygon's plane (an end on the
// plane never counts). The plane's normal and constant are written to normal and d in every case.
bool segmentCrossesPlane(const Vec3f* vertices, Segment s, Vec3f& normal, float& d);
// Where the line through s meets the plane n.x + d = 0; s.start when the line is parallel to it.
Vec3f linePlaneIntersection(Vec3f n, Segment s, double d);
// Whether p, a point already in the plane of a convex polygon, lies inside it (angle-sum test).
bool pointInPolygon(Vec3f p, const Vec3f* vertices, int count);
// Whether the segment passes through the convex polygon; false for a degenerate polygon.
bool segmentHitsPolygon(const Vec3f* vertices, Segment s, int count);

// Cubic Bezier from p0 (t = 0) to p3 (t = 1) with control points p1, p2; weights in single precision.
Vec3d bezierPoint(Vec3d p0, Vec3d p1, Vec3d p2, Vec3d p3, float t);
// Uniform Catmull-Rom through p1 (t = 0) and p2 (t = 1), with p0 and p3 as neighbours.
Vec3d catmullRomPoint(Vec3d p0, Vec3d p1, Vec3d p2, Vec3d p3, double t);
