// Plane geometry the text tests use to judge glyph outlines: winding numbers, areas, distances.
#pragma once
#include <algorithm>
#include <cmath>
#include <vector>

#include "render/outline_font.h"

inline OutlinePoint pt(float x, float y)
{
    OutlinePoint p;
    p.x = x;
    p.y = y;
    return p;
}

// Twice the signed area of the triangle a, b, p: positive when p lies left of a -> b.
inline float cross(OutlinePoint a, OutlinePoint b, OutlinePoint p)
{
    return (b.x - a.x) * (p.y - a.y) - (b.y - a.y) * (p.x - a.x);
}

// Winding number of p around all contours: non-zero means inside under the non-zero rule.
inline int windingAt(const std::vector<OutlineContour>& contours, OutlinePoint p)
{
    int winding = 0;
    for (const OutlineContour& c : contours) {
        for (size_t i = 0; i < c.size(); ++i) {
            OutlinePoint a = c[i];
            OutlinePoint b = c[(i + 1) % c.size()];
            if (a.y <= p.y) {
                if (b.y > p.y && cross(a, b, p) > 0.0f)
                    ++winding;
            } else if (b.y <= p.y && cross(a, b, p) < 0.0f) {
                --winding;
            }
        }
    }
    return winding;
}

// Positive for a counter-clockwise loop.
inline float signedArea(const OutlineContour& c)
{
    double area = 0.0;
    for (size_t i = 0; i < c.size(); ++i) {
        const OutlinePoint& a = c[i];
        const OutlinePoint& b = c[(i + 1) % c.size()];
        area += static_cast<double>(a.x) * b.y - static_cast<double>(b.x) * a.y;
    }
    return static_cast<float>(area / 2.0);
}

// Distance from p to the nearest segment of a polyline (closed when closed is true).
inline float distanceToPolyline(const OutlineContour& line, OutlinePoint p, bool closed)
{
    float best = 1e9f;
    size_t segments = closed ? line.size() : line.size() - 1;
    for (size_t i = 0; i < segments; ++i) {
        OutlinePoint a = line[i];
        OutlinePoint b = line[(i + 1) % line.size()];
        float dx = b.x - a.x;
        float dy = b.y - a.y;
        float t = std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / (dx * dx + dy * dy + 1e-12f), 0.0f, 1.0f);
        best = std::min(best, std::hypot(a.x + t * dx - p.x, a.y + t * dy - p.y));
    }
    return best;
}
