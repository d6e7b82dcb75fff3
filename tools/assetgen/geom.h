// Small vector maths on the program's Vec3f and a seeded random source for the content generator.
// Header only; every scene and picture module builds on it. Nothing here reads the clock: the same
// seed gives the same numbers on every run.
#pragma once
#include <cmath>
#include <cstdint>

#include "core/geometry.h"

// Vector arithmetic on the program's Vec3f. The operators stand beside the type, in the global
// namespace, so that argument lookup finds them from the generator, its tests and the writer alike.
inline Vec3f operator+(Vec3f a, Vec3f b)
{
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}
inline Vec3f operator-(Vec3f a, Vec3f b)
{
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
inline Vec3f operator-(Vec3f a)
{
    return {-a.x, -a.y, -a.z};
}
inline Vec3f operator*(Vec3f a, float s)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline Vec3f operator*(float s, Vec3f a)
{
    return {a.x * s, a.y * s, a.z * s};
}
inline Vec3f operator*(Vec3f a, Vec3f b)
{
    return {a.x * b.x, a.y * b.y, a.z * b.z};
}
inline Vec3f operator/(Vec3f a, float s)
{
    return {a.x / s, a.y / s, a.z / s};
}
inline Vec3f& operator+=(Vec3f& a, Vec3f b)
{
    a = a + b;
    return a;
}
inline Vec3f& operator-=(Vec3f& a, Vec3f b)
{
    a = a - b;
    return a;
}
inline Vec3f& operator*=(Vec3f& a, float s)
{
    a = a * s;
    return a;
}

namespace ag {

constexpr float kPi = 3.14159265358979f;

// The generator's points, directions and colours: the same three floats as the program's.
using Vec3 = ::Vec3f;

inline float dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline Vec3 cross(Vec3 a, Vec3 b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
inline float length(Vec3 a)
{
    return std::sqrt(dot(a, a));
}
inline Vec3 normalize(Vec3 a)
{
    float l = length(a);
    return l > 0.0f ? a / l : Vec3{0.0f, 0.0f, 0.0f};
}
inline Vec3 lerp(Vec3 a, Vec3 b, float t)
{
    return a + (b - a) * t;
}
inline float lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}
inline float clamp01(float v)
{
    return v < 0.0f ? 0.0f : (v > 1.0f ? 1.0f : v);
}
inline float smoothstep(float e0, float e1, float x)
{
    float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3.0f - 2.0f * t);
}
// Horizontal distance (x, z) between two points.
inline float flatDistance(Vec3 a, Vec3 b)
{
    return std::hypot(a.x - b.x, a.z - b.z);
}

// A small deterministic generator (xorshift32 after a mixing step), one per use with its own seed,
// so that adding random draws to one scene does not shift another.
class Rng {
public:
    explicit Rng(uint32_t seed) : state_(seed * 2654435761u + 0x9E3779B9u)
    {
        if (state_ == 0)
            state_ = 1;
        for (int i = 0; i < 4; ++i)
            next();
    }
    uint32_t next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_;
    }
    // Uniform in [0, 1).
    float uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }
    float range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
    int below(int n) { return n > 0 ? static_cast<int>(next() % static_cast<uint32_t>(n)) : 0; }

private:
    uint32_t state_;
};

}  // namespace ag
