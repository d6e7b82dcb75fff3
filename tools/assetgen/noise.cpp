// Noise functions for the content generator's pictures and textures. Lattice values come from an
// integer hash, so results are identical on every run and every machine with IEEE floats.
#include "tools/assetgen/noise.h"

#include <cmath>

namespace ag {

namespace {

uint32_t hash3(int x, int y, uint32_t seed)
{
    uint32_t h = seed * 0x27d4eb2du;
    h ^= static_cast<uint32_t>(x) * 0x85ebca6bu;
    h = (h << 13) | (h >> 19);
    h ^= static_cast<uint32_t>(y) * 0xc2b2ae35u;
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

int wrap(int v, int period)
{
    int m = v % period;
    return m < 0 ? m + period : m;
}

float fade(float t)
{
    return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f);
}

// 256 unit gradients evenly spread round the circle, computed once.
struct GradientTable {
    float x[256];
    float y[256];
    GradientTable()
    {
        for (int i = 0; i < 256; ++i) {
            float angle = static_cast<float>(i) * (6.2831853f / 256.0f);
            x[i] = std::cos(angle);
            y[i] = std::sin(angle);
        }
    }
};

const GradientTable& gradients()
{
    static const GradientTable table;
    return table;
}

float gradDot(int ix, int iy, float dx, float dy, int period, uint32_t seed)
{
    uint32_t h = hash3(wrap(ix, period), wrap(iy, period), seed) & 255u;
    const GradientTable& g = gradients();
    return g.x[h] * dx + g.y[h] * dy;
}

}  // namespace

float hash01(int x, int y, uint32_t seed)
{
    return static_cast<float>(hash3(x, y, seed) >> 8) * (1.0f / 16777216.0f);
}

float perlin(float x, float y, int period, uint32_t seed)
{
    if (period < 1)
        period = 1;
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float dx = x - fx, dy = y - fy;
    float n00 = gradDot(ix, iy, dx, dy, period, seed);
    float n10 = gradDot(ix + 1, iy, dx - 1.0f, dy, period, seed);
    float n01 = gradDot(ix, iy + 1, dx, dy - 1.0f, period, seed);
    float n11 = gradDot(ix + 1, iy + 1, dx - 1.0f, dy - 1.0f, period, seed);
    float u = fade(dx), v = fade(dy);
    float a = n00 + (n10 - n00) * u;
    float b = n01 + (n11 - n01) * u;
    return 1.41421356f * (a + (b - a) * v);
}

float fbm(float x, float y, int period, int octaves, uint32_t seed, float gain)
{
    float sum = 0.0f, amp = 1.0f, norm = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        sum += amp * perlin(x, y, period, seed + static_cast<uint32_t>(i) * 101u);
        norm += amp;
        amp *= gain;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
    }
    return sum / norm;
}

float ridged(float x, float y, int period, int octaves, uint32_t seed)
{
    float sum = 0.0f, amp = 1.0f, norm = 0.0f;
    for (int i = 0; i < octaves; ++i) {
        float n = 1.0f - std::fabs(perlin(x, y, period, seed + static_cast<uint32_t>(i) * 131u));
        sum += amp * n * n;
        norm += amp;
        amp *= 0.5f;
        x *= 2.0f;
        y *= 2.0f;
        period *= 2;
    }
    return sum / norm;
}

CellSample cellular(float x, float y, int period, uint32_t seed)
{
    if (period < 1)
        period = 1;
    int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
    CellSample s;
    s.nearest = 1e9f;
    s.second = 1e9f;
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            int gx = cx + i, gy = cy + j;
            int wx = wrap(gx, period), wy = wrap(gy, period);
            float px = static_cast<float>(gx) + hash01(wx, wy, seed);
            float py = static_cast<float>(gy) + hash01(wx, wy, seed + 7u);
            float d = std::hypot(px - x, py - y);
            if (d < s.nearest) {
                s.second = s.nearest;
                s.nearest = d;
                s.id = hash3(wx, wy, seed + 13u);
            } else if (d < s.second) {
                s.second = d;
            }
        }
    }
    return s;
}

}  // namespace ag
