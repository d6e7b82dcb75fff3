// Painters of the model textures. Every texture tiles: its noise repeats with the picture (the
// noise period equals the number of noise cells across it) and patterns such as bricks or planks
// are laid out in whole repeats. Depends on image and noise.
#include "tools/assetgen/textures.h"

#include <algorithm>
#include <cmath>

#include "tools/assetgen/noise.h"

namespace ag {

namespace {

Vec3 rgb(int r, int g, int b)
{
    return {static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f, static_cast<float>(b) / 255.0f};
}

// Runs f(u, v) over every pixel, u and v in [0, 1).
template <typename F>
void each(Image& img, F f)
{
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            float u = (static_cast<float>(x) + 0.5f) / static_cast<float>(img.width);
            float v = (static_cast<float>(y) + 0.5f) / static_cast<float>(img.height);
            img.at(x, y) = f(u, v);
        }
    }
}

// Tileable fractal noise over the unit square with `cells` noise cells across, in [0, 1].
float tn(float u, float v, int cells, int octaves, uint32_t seed, float gain = 0.5f)
{
    return 0.5f + 0.5f * fbm(u * static_cast<float>(cells), v * static_cast<float>(cells), cells, octaves, seed, gain);
}

float tridge(float u, float v, int cells, int octaves, uint32_t seed)
{
    return ridged(u * static_cast<float>(cells), v * static_cast<float>(cells), cells, octaves, seed);
}

// Bricks or blocks: returns mortar factor (0 in mortar, 1 on a block) and a per-block id.
float bricks(float u, float v, int columns, int rows, float mortar, uint32_t& id)
{
    float y = v * static_cast<float>(rows);
    int row = static_cast<int>(std::floor(y));
    float x = u * static_cast<float>(columns) + ((row % 2) ? 0.5f : 0.0f);
    int col = static_cast<int>(std::floor(x));
    float fx = x - std::floor(x), fy = y - std::floor(y);
    id = static_cast<uint32_t>((col % columns + columns) % columns) * 131u + static_cast<uint32_t>(row) * 17u;
    float ex = std::min(fx, 1.0f - fx) * static_cast<float>(rows) / static_cast<float>(columns) * 2.0f;
    float ey = std::min(fy, 1.0f - fy);
    float e = std::min(ex, ey);
    return smoothstep(mortar * 0.5f, mortar, e);
}

void paintMoss(Image& img)
{
    each(img, [](float u, float v) {
        float n = tn(u, v, 8, 6, 201u);
        float patches = tn(u, v, 3, 3, 202u);
        float leavesN = tn(u, v, 24, 3, 203u);
        Vec3 c = lerp(rgb(34, 44, 20), rgb(74, 92, 38), n);
        c = lerp(c, rgb(82, 60, 34), smoothstep(0.55f, 0.7f, patches) * 0.7f);
        c = lerp(c, rgb(120, 84, 40), smoothstep(0.72f, 0.8f, leavesN) * 0.6f);
        return c * (1.1f + 0.7f * tn(u, v, 32, 2, 204u));  // albedo: lighting darkens it
    });
}

void paintBark(Image& img)
{
    each(img, [](float u, float v) {
        float grooves = tridge(u, v * 0.25f, 8, 4, 211u);
        float n = tn(u, v, 8, 5, 212u);
        Vec3 c = lerp(rgb(30, 22, 16), rgb(104, 82, 60), grooves * 0.8f + n * 0.3f);
        return c * (1.05f + 0.4f * tn(u, v, 32, 2, 213u));
    });
}

void paintNeedles(Image& img)
{
    each(img, [](float u, float v) {
        float strands = tn(u * 1.0f, v, 32, 3, 221u);
        float n = tn(u, v, 6, 4, 222u);
        Vec3 c = lerp(rgb(14, 34, 22), rgb(52, 96, 56), strands * 0.7f + n * 0.4f);
        return c * (1.3f + 0.9f * smoothstep(0.3f, 0.8f, tn(u, v, 16, 3, 223u)));
    });
}

void paintLeaves(Image& img)
{
    each(img, [](float u, float v) {
        CellSample cs = cellular(u * 12.0f, v * 12.0f, 12, 231u);
        float leaf = 1.0f - smoothstep(0.25f, 0.55f, cs.nearest);
        float hue = static_cast<float>(cs.id % 97u) / 97.0f;
        Vec3 c = lerp(rgb(40, 80, 26), rgb(96, 128, 40), hue);
        c = lerp(rgb(12, 24, 10), c, 0.35f + 0.65f * leaf);
        return c * (1.3f + 0.6f * tn(u, v, 4, 3, 232u));
    });
}

void paintRock(Image& img)
{
    each(img, [](float u, float v) {
        float n = tn(u, v, 6, 6, 241u);
        float cracks = tridge(u, v, 5, 4, 242u);
        float lichen = smoothstep(0.62f, 0.75f, tn(u, v, 9, 4, 243u));
        Vec3 c = lerp(rgb(70, 70, 74), rgb(150, 146, 140), n);
        c = c * (0.55f + 0.45f * (1.0f - std::pow(cracks, 6.0f)));
        return lerp(c, rgb(120, 140, 70), lichen * 0.5f);
    });
}

void paintLamp(Image& img)
{
    each(img, [](float u, float v) {
        float frame = std::min(std::fabs(std::fmod(u * 6.0f, 1.0f) - 0.5f), 0.5f);
        float bars = smoothstep(0.38f, 0.45f, frame);
        float glow = 1.0f - 0.5f * std::fabs(v - 0.5f);
        Vec3 c = rgb(255, 214, 140) * glow;
        return lerp(c, rgb(40, 26, 14), bars);
    });
}

void paintMushroom(Image& img)
{
    each(img, [](float u, float v) {
        CellSample cs = cellular(u * 6.0f, v * 6.0f, 6, 251u);
        float spot = 1.0f - smoothstep(0.15f, 0.3f, cs.nearest);
        Vec3 c = lerp(rgb(40, 200, 190), rgb(120, 255, 220), tn(u, v, 4, 3, 252u));
        return lerp(c, rgb(230, 255, 250), spot);
    });
}

void paintRunes(Image& img)
{
    // Glyphs: short strokes on a grid, bright cyan on black, faint glow around them.
    Mask strokes(img.width, img.height);
    Rng rng(261u);
    int cols = 4, rows = 10;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < cols; ++c) {
            float cx = (static_cast<float>(c) + 0.5f) * img.width / cols;
            float cy = (static_cast<float>(r) + 0.5f) * img.height / rows;
            for (int s = 0; s < 3; ++s) {
                float x0 = cx + rng.range(-18.0f, 18.0f), y0 = cy + rng.range(-8.0f, 8.0f);
                float x1 = cx + rng.range(-18.0f, 18.0f), y1 = cy + rng.range(-8.0f, 8.0f);
                for (float t = 0.0f; t <= 1.0f; t += 0.01f) {
                    int x = static_cast<int>(lerp(x0, x1, t)), y = static_cast<int>(lerp(y0, y1, t));
                    for (int dy = -1; dy <= 1; ++dy)
                        for (int dx = -1; dx <= 1; ++dx)
                            if (x + dx >= 0 && y + dy >= 0 && x + dx < img.width && y + dy < img.height)
                                strokes.at(x + dx, y + dy) = 1.0f;
                }
            }
        }
    }
    Mask glow = blur(strokes, 5);
    for (int y = 0; y < img.height; ++y) {
        for (int x = 0; x < img.width; ++x) {
            img.at(x, y) = rgb(60, 160, 255) * (glow.at(x, y) * 1.6f) + rgb(200, 240, 255) * strokes.at(x, y);
        }
    }
}

void paintShaft(Image& img)
{
    each(img, [](float u, float v) {
        float edge = std::sin(u * kPi);
        float streak = 0.6f + 0.4f * tn(u, 0.0f, 8, 3, 271u);
        float fall = 0.25f + 0.75f * (1.0f - v);
        float a = edge * edge * streak * fall;
        return rgb(225, 238, 255) * a;
    });
}

void paintMist(Image& img)
{
    each(img, [](float u, float v) {
        float n = tn(u, v, 4, 5, 281u);
        float dx = u - 0.5f, dy = v - 0.5f;
        float round = 1.0f - smoothstep(0.2f, 0.5f, std::sqrt(dx * dx + dy * dy));
        float a = smoothstep(0.35f, 0.8f, n) * round * 0.8f;
        return rgb(200, 215, 235) * a;
    });
}

void paintStone(Image& img)
{
    each(img, [](float u, float v) {
        uint32_t id = 0;
        float block = bricks(u, v, 4, 8, 0.06f, id);
        float shade = 0.75f + 0.25f * hash01(static_cast<int>(id), 3, 291u);
        float n = tn(u, v, 8, 5, 292u);
        Vec3 c = lerp(rgb(110, 102, 92), rgb(170, 160, 140), n) * shade;
        return lerp(rgb(50, 46, 42), c, block);
    });
}

void paintRoof(Image& img)
{
    each(img, [](float u, float v) {
        float row = v * 12.0f;
        float fy = row - std::floor(row);
        float x = u * 10.0f + (static_cast<int>(row) % 2 ? 0.5f : 0.0f);
        float fx = x - std::floor(x);
        float tile =
            smoothstep(0.0f, 0.15f, fy) * (1.0f - 0.5f * fy) * smoothstep(0.0f, 0.08f, std::min(fx, 1.0f - fx));
        float n = tn(u, v, 8, 4, 301u);
        Vec3 c = lerp(rgb(60, 30, 30), rgb(130, 60, 48), n);
        return c * (0.35f + 0.65f * tile);
    });
}

void paintGrass(Image& img)
{
    each(img, [](float u, float v) {
        float n = tn(u, v, 8, 6, 311u);
        float blades = tn(u, v, 64, 2, 312u);
        Vec3 c = lerp(rgb(36, 60, 24), rgb(90, 120, 50), n);
        return c * (0.7f + 0.5f * blades);
    });
}

void paintCobble(Image& img)
{
    each(img, [](float u, float v) {
        CellSample cs = cellular(u * 10.0f, v * 10.0f, 10, 321u);
        float gap = smoothstep(0.03f, 0.12f, cs.second - cs.nearest);
        float shade = 0.7f + 0.3f * static_cast<float>(cs.id % 53u) / 53.0f;
        Vec3 c = lerp(rgb(90, 84, 78), rgb(140, 132, 120), tn(u, v, 8, 3, 322u)) * shade;
        return lerp(rgb(30, 28, 24), c, gap);
    });
}

void paintPlanks(Image& img)
{
    each(img, [](float u, float v) {
        float x = u * 6.0f;
        int plank = static_cast<int>(std::floor(x));
        float fx = x - static_cast<float>(plank);
        float offset = hash01(plank, 0, 331u);
        float grain = tn(u * 0.2f + offset, v + offset, 8, 4, 332u);
        float rings = 0.5f + 0.5f * std::sin((v + offset) * 40.0f + grain * 12.0f);
        float seam = smoothstep(0.0f, 0.04f, std::min(fx, 1.0f - fx));
        float endSeam = smoothstep(0.0f, 0.01f, std::fabs(std::fmod(v + offset * 3.0f, 1.0f) - 0.5f));
        Vec3 c = lerp(rgb(96, 58, 30), rgb(160, 108, 60), 0.6f * grain + 0.4f * rings) * (0.85f + 0.3f * offset);
        return c * (0.3f + 0.7f * seam * endSeam);
    });
}

void paintWindow(Image& img)
{
    each(img, [](float u, float v) {
        float fx = std::fmod(u * 3.0f, 1.0f), fy = std::fmod(v * 4.0f, 1.0f);
        float lead = smoothstep(0.02f, 0.06f, std::min(std::min(fx, 1.0f - fx), std::min(fy, 1.0f - fy)));
        float glow = 0.6f + 0.4f * tn(u, v, 4, 3, 341u);
        Vec3 glass = lerp(rgb(255, 170, 70), rgb(255, 220, 140), glow) * glow;
        return lerp(rgb(10, 8, 6), glass, lead);
    });
}

void paintBanner(Image& img)
{
    each(img, [](float u, float v) {
        float n = tn(u, v, 16, 3, 351u);
        Vec3 c = lerp(rgb(110, 14, 20), rgb(170, 30, 34), n);
        float border = smoothstep(0.06f, 0.08f, std::min(u, 1.0f - u));
        float emblem = 1.0f - smoothstep(0.18f, 0.2f, std::hypot(u - 0.5f, v - 0.45f));
        c = lerp(rgb(220, 170, 60), c, border);
        return lerp(c, rgb(230, 180, 70), emblem * (0.5f + 0.5f * std::sin(v * 60.0f)));
    });
}

void paintPanel(Image& img)
{
    each(img, [](float u, float v) {
        float fx = std::fmod(u * 2.0f, 1.0f), fy = std::fmod(v * 2.0f, 1.0f);
        float seam = smoothstep(0.01f, 0.03f, std::min(std::min(fx, 1.0f - fx), std::min(fy, 1.0f - fy)));
        float rivet = 0.0f;
        for (float ry : {0.07f, 0.93f}) {
            for (float rx : {0.07f, 0.93f})
                rivet = std::max(rivet, 1.0f - smoothstep(0.015f, 0.025f, std::hypot(fx - rx, fy - ry)));
        }
        float n = tn(u, v, 8, 5, 361u);
        float rust = smoothstep(0.6f, 0.8f, tn(u, v, 6, 5, 362u));
        Vec3 c = lerp(rgb(80, 86, 94), rgb(140, 146, 152), n);
        c = lerp(c, rgb(120, 60, 30), rust * 0.7f);
        c = c * (0.35f + 0.65f * seam);
        return lerp(c, rgb(190, 190, 180), rivet);
    });
}

void paintGrate(Image& img)
{
    each(img, [](float u, float v) {
        float fx = std::fmod(u * 16.0f, 1.0f), fy = std::fmod(v * 16.0f, 1.0f);
        float bar = std::max(smoothstep(0.3f, 0.2f, std::fabs(fx - 0.5f) - 0.2f),
                             smoothstep(0.3f, 0.2f, std::fabs(fy - 0.5f) - 0.2f));
        Vec3 metal = lerp(rgb(60, 60, 64), rgb(120, 116, 110), tn(u, v, 8, 4, 371u));
        return lerp(rgb(8, 8, 10), metal, bar);
    });
}

void paintGlowStrip(Image& img)
{
    each(img, [](float u, float v) {
        float across = std::sin(u * kPi);
        float segments = smoothstep(0.05f, 0.12f, std::fabs(std::fmod(v * 8.0f, 1.0f) - 0.5f) * 2.0f);
        return lerp(rgb(30, 120, 255), rgb(210, 240, 255), across * across) * (across * (0.3f + 0.7f * segments));
    });
}

void paintCable(Image& img)
{
    each(img, [](float u, float v) {
        float twist = 0.5f + 0.5f * std::sin((u * 2.0f + v * 8.0f) * 2.0f * kPi);
        return lerp(rgb(20, 20, 24), rgb(70, 60, 50), twist) * (0.8f + 0.4f * tn(u, v, 8, 2, 381u));
    });
}

void paintEmitterMetal(Image& img)
{
    each(img, [](float u, float v) {
        float bands = 0.5f + 0.5f * std::sin(v * 5.0f * 2.0f * kPi);
        return lerp(rgb(80, 60, 40), rgb(220, 170, 90), bands * tn(u, v, 4, 3, 391u));
    });
}

void paintChrome(Image& img)
{
    each(img, [](float u, float v) {
        float n = fbm(u * 4.0f, v * 4.0f, 4, 5, 401u);
        float warp = tn(u + 0.3f * n, v - 0.3f * n, 3, 4, 402u);
        float bands = 0.5f + 0.5f * std::sin(warp * 18.0f);
        Vec3 c = lerp(rgb(40, 20, 90), rgb(120, 220, 255), bands);
        return lerp(c, rgb(255, 255, 255), std::pow(bands, 12.0f) * 0.8f);
    });
}

// A dark, cold ice for the swelling meshes: their additive shells sum many layers, so the picture
// keeps most of its area deep blue and saves the light for thin veins.
void paintIce(Image& img)
{
    each(img, [](float u, float v) {
        float n = fbm(u * 4.0f, v * 4.0f, 4, 5, 431u);
        float warp = tn(u - 0.25f * n, v + 0.25f * n, 3, 4, 432u);
        float bands = 0.5f + 0.5f * std::sin(warp * 14.0f);
        Vec3 c = lerp(rgb(10, 10, 40), rgb(40, 80, 150), bands * bands);
        return lerp(c, rgb(200, 235, 255), std::pow(bands, 24.0f) * 0.7f);
    });
}

void paintBlob(Image& img)
{
    each(img, [](float u, float v) {
        float n = tn(u, v, 4, 5, 421u);
        float veins = tridge(u, v, 6, 4, 422u);
        Vec3 c = lerp(rgb(120, 40, 10), rgb(255, 170, 60), n);
        return lerp(c, rgb(255, 240, 200), std::pow(veins, 8.0f) * 0.9f);
    });
}

void paintPlaster(Image& img)
{
    each(img, [](float u, float v) {
        float n = tn(u, v, 8, 6, 431u);
        float stripes = 0.5f + 0.5f * std::sin(u * 8.0f * 2.0f * kPi);
        Vec3 c = lerp(rgb(120, 70, 56), rgb(150, 92, 70), stripes * 0.5f + n * 0.5f);
        return c * (0.85f + 0.15f * tn(u, v, 32, 2, 432u));
    });
}

void paintBrick(Image& img)
{
    each(img, [](float u, float v) {
        uint32_t id = 0;
        float b = bricks(u, v, 4, 12, 0.08f, id);
        float shade = 0.7f + 0.3f * hash01(static_cast<int>(id), 7, 441u);
        Vec3 c = lerp(rgb(110, 40, 28), rgb(160, 70, 44), tn(u, v, 16, 3, 442u)) * shade;
        float soot = 0.4f * smoothstep(0.45f, 0.8f, tn(u, v, 3, 3, 443u));
        return lerp(rgb(60, 56, 50), c, b) * (1.0f - soot);
    });
}

void paintCarpet(Image& img)
{
    each(img, [](float u, float v) {
        float du = std::fabs(u - 0.5f), dv = std::fabs(v - 0.5f);
        float diamond = std::fmod((du + dv) * 8.0f, 1.0f);
        float border = smoothstep(0.40f, 0.42f, std::max(du, dv));
        Vec3 c = lerp(rgb(90, 16, 24), rgb(140, 40, 40), smoothstep(0.4f, 0.6f, diamond));
        c = lerp(c, rgb(180, 130, 60), border * (0.5f + 0.5f * std::sin(u * 120.0f)));
        return c * (0.85f + 0.3f * tn(u, v, 64, 2, 451u));
    });
}

void paintFabric(Image& img)
{
    each(img, [](float u, float v) {
        float weave = 0.5f + 0.25f * std::sin(u * 256.0f) + 0.25f * std::sin(v * 256.0f);
        float folds = 0.5f + 0.5f * std::sin(u * 6.0f * 2.0f * kPi + tn(u, v, 4, 3, 461u) * 3.0f);
        return lerp(rgb(40, 20, 60), rgb(110, 60, 140), folds) * (0.85f + 0.2f * weave);
    });
}

void paintBrass(Image& img)
{
    each(img, [](float u, float v) {
        float n = tn(u, v, 4, 5, 471u);
        float streak = tn(u, v * 0.1f, 32, 2, 472u);
        return lerp(rgb(140, 100, 40), rgb(255, 220, 120), 0.6f * n + 0.4f * streak);
    });
}

void paintFlame(Image& img)
{
    each(img, [](float u, float v) {
        float across = std::sin(u * kPi);
        float flicker = tn(u, v, 4, 4, 481u);
        float heat = across * across * (0.4f + 0.6f * v) * (0.6f + 0.6f * flicker);
        Vec3 c = lerp(rgb(180, 40, 0), rgb(255, 200, 80), clamp01(heat * 1.3f));
        return c * clamp01(heat * 1.4f);
    });
}

void paintBooks(Image& img)
{
    each(img, [](float u, float v) {
        float shelf = std::fmod(v * 2.0f, 1.0f);
        int row = static_cast<int>(v * 2.0f);
        float x = u * 24.0f;
        int book = static_cast<int>(std::floor(x));
        float fx = x - static_cast<float>(book);
        float h = 0.65f + 0.3f * hash01(book, row, 491u);
        float hue = hash01(book, row, 492u);
        Vec3 c = hue < 0.33f ? rgb(110, 30, 24) : (hue < 0.66f ? rgb(30, 60, 40) : rgb(40, 40, 90));
        c = c * (0.6f + 0.4f * hash01(book, row, 493u));
        float spine = smoothstep(0.0f, 0.1f, std::min(fx, 1.0f - fx));
        float inBook = shelf > (1.0f - h) && shelf < 0.94f ? 1.0f : 0.0f;
        Vec3 wood = rgb(60, 36, 20);
        Vec3 band = rgb(200, 160, 80) * (std::fabs(shelf - (1.0f - h * 0.5f)) < 0.02f ? 0.6f : 0.0f);
        return inBook > 0.0f ? c * spine + band : wood * (shelf >= 0.94f ? 1.2f : 0.25f);
    });
}

void paintPainting(Image& img)
{
    each(img, [](float u, float v) {
        float frame = std::min(std::min(u, 1.0f - u), std::min(v, 1.0f - v));
        if (frame < 0.07f)
            return rgb(150, 110, 40) * (0.6f + 0.4f * tn(u, v, 16, 2, 501u));
        float horizon = 0.6f + 0.05f * std::sin(u * 9.0f);
        Vec3 sky = lerp(rgb(230, 150, 80), rgb(60, 70, 120), (horizon - v) / horizon);
        Vec3 land = lerp(rgb(40, 60, 30), rgb(20, 30, 16), (v - horizon) * 2.0f);
        Vec3 c = v < horizon ? sky : land;
        return c * (0.85f + 0.3f * tn(u, v, 16, 3, 502u));
    });
}

void paintWax(Image& img)
{
    each(img, [](float u, float v) { return lerp(rgb(220, 200, 160), rgb(250, 240, 210), tn(u, v, 4, 3, 511u)); });
}

void paintWallpaper(Image& img)
{
    each(img, [](float u, float v) {
        float fx = std::fmod(u * 4.0f, 1.0f) - 0.5f, fy = std::fmod(v * 4.0f, 1.0f) - 0.5f;
        float motif = 1.0f - smoothstep(0.12f, 0.16f, std::fabs(std::hypot(fx, fy * 1.6f) - 0.25f));
        Vec3 c = lerp(rgb(46, 60, 50), rgb(60, 76, 62), tn(u, v, 8, 3, 521u));
        return lerp(c, rgb(160, 140, 80), motif * 0.5f);
    });
}

void paintPortal(Image& img)
{
    each(img, [](float u, float v) {
        float r = std::hypot(u - 0.5f, v - 0.5f) * 2.0f;
        float rays = 0.5f + 0.5f * std::sin(std::atan2(v - 0.5f, u - 0.5f) * 9.0f);
        Vec3 c = lerp(rgb(255, 255, 255), rgb(90, 170, 255), smoothstep(0.0f, 0.8f, r));
        return c * (1.0f - 0.4f * smoothstep(0.3f, 1.0f, r) * rays);
    });
}

}  // namespace

const std::vector<TextureSpec>& textureSpecs()
{
    static const std::vector<TextureSpec> specs = {
        {"maps/tex/moss.jpg", 512, paintMoss, true},           {"maps/tex/bark.jpg", 256, paintBark, true},
        {"maps/tex/needles.jpg", 256, paintNeedles, true},     {"maps/tex/leaves.jpg", 256, paintLeaves, true},
        {"maps/tex/rock.jpg", 256, paintRock, true},           {"maps/tex/lamp.jpg", 256, paintLamp, false},
        {"maps/tex/mushroom.jpg", 256, paintMushroom, true},   {"maps/tex/runes.jpg", 256, paintRunes, false},
        {"maps/tex/shaft.jpg", 256, paintShaft, false},        {"maps/tex/mist.jpg", 256, paintMist, false},
        {"maps/tex/stone.jpg", 512, paintStone, true},         {"maps/tex/roof.jpg", 256, paintRoof, true},
        {"maps/tex/grass.jpg", 512, paintGrass, true},         {"maps/tex/cobble.jpg", 512, paintCobble, true},
        {"maps/tex/planks.jpg", 512, paintPlanks, true},       {"maps/tex/window.jpg", 256, paintWindow, false},
        {"maps/tex/banner.jpg", 256, paintBanner, false},      {"maps/tex/panel.jpg", 512, paintPanel, true},
        {"maps/tex/grate.jpg", 256, paintGrate, true},         {"maps/tex/glowstrip.jpg", 256, paintGlowStrip, false},
        {"maps/tex/cable.jpg", 256, paintCable, true},         {"maps/tex/coil.jpg", 256, paintEmitterMetal, true},
        {"maps/tex/chrome.jpg", 256, paintChrome, true},       {"maps/tex/ice.jpg", 256, paintIce, true},
        {"maps/tex/blob.jpg", 256, paintBlob, true},           {"maps/tex/plaster.jpg", 512, paintPlaster, true},
        {"maps/tex/brick.jpg", 512, paintBrick, true},         {"maps/tex/carpet.jpg", 512, paintCarpet, false},
        {"maps/tex/fabric.jpg", 256, paintFabric, true},       {"maps/tex/brass.jpg", 256, paintBrass, true},
        {"maps/tex/flame.jpg", 256, paintFlame, false},        {"maps/tex/books.jpg", 256, paintBooks, false},
        {"maps/tex/painting.jpg", 256, paintPainting, false},  {"maps/tex/wax.jpg", 256, paintWax, true},
        {"maps/tex/wallpaper.jpg", 256, paintWallpaper, true}, {"maps/tex/portal.jpg", 256, paintPortal, false},
    };
    return specs;
}

bool paintTexture(const std::string& path, Image& out)
{
    for (const TextureSpec& spec : textureSpecs()) {
        if (spec.path != path)
            continue;
        out = Image(spec.size, spec.size);
        spec.paint(out);
        return true;
    }
    return false;
}

bool writeTextures(const std::string& dataDir)
{
    if (!makeFolders(dataDir + "/maps/tex"))
        return false;
    const std::vector<TextureSpec>& specs = textureSpecs();
    return runJobs(specs.size(), [&](size_t i) {
        Image img(specs[i].size, specs[i].size);
        specs[i].paint(img);
        return writeJpeg(img, dataDir + "/" + specs[i].path, 90);
    });
}

}  // namespace ag
