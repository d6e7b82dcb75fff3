// Paints the full-screen pictures (loading screen, title, scene backgrounds, white flash pictures)
// and the particle sprites. Each picture has its own palette and is built from gradients, noise,
// glows and silhouettes; the "Velmora" lettering comes from font.h. Depends on image, noise, font.
#include "tools/assetgen/pictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "tools/assetgen/font.h"
#include "tools/assetgen/noise.h"

namespace ag {

namespace {

constexpr int kWidth = 1024;
constexpr int kHeight = 768;

Vec3 rgb(int r, int g, int b)
{
    return {static_cast<float>(r) / 255.0f, static_cast<float>(g) / 255.0f, static_cast<float>(b) / 255.0f};
}

// Piecewise-linear colour ramp over t in [0, 1] through evenly spaced stops.
Vec3 ramp(const std::vector<Vec3>& stops, float t)
{
    t = clamp01(t) * static_cast<float>(stops.size() - 1);
    size_t i = std::min(static_cast<size_t>(t), stops.size() - 2);
    return lerp(stops[i], stops[i + 1], t - static_cast<float>(i));
}

void verticalGradient(Image& img, const std::vector<Vec3>& stops)
{
    for (int y = 0; y < img.height; ++y) {
        Vec3 c = ramp(stops, static_cast<float>(y) / static_cast<float>(img.height - 1));
        for (int x = 0; x < img.width; ++x)
            img.at(x, y) = c;
    }
}

// Drifting cloud banks: noise thresholded into soft wisps, tinted and added.
void addClouds(Image& img, Vec3 tint, float strength, float scale, float yFrom, float yTo, uint32_t seed)
{
    for (int y = 0; y < img.height; ++y) {
        float fy = static_cast<float>(y) / static_cast<float>(img.height);
        float band = smoothstep(yFrom, yFrom + 0.1f, fy) * (1.0f - smoothstep(yTo - 0.1f, yTo, fy));
        if (band <= 0.0f)
            continue;
        for (int x = 0; x < img.width; ++x) {
            float n = fbm(static_cast<float>(x) / scale, static_cast<float>(y) / (scale * 0.45f), 4096, 5, seed);
            float w = smoothstep(0.0f, 0.6f, n) * band;
            img.at(x, y) += tint * (w * strength);
        }
    }
}

void addStars(Image& img, int count, float yMax, uint32_t seed)
{
    Rng rng(seed);
    for (int i = 0; i < count; ++i) {
        float x = rng.range(0.0f, static_cast<float>(img.width));
        float y = rng.range(0.0f, yMax * static_cast<float>(img.height));
        float b = rng.uniform();
        b = b * b * b;
        Vec3 tint = lerp(Vec3{0.7f, 0.8f, 1.0f}, Vec3{1.0f, 0.9f, 0.75f}, rng.uniform());
        addGlow(img, x, y, 1.5f + 3.0f * b, tint, 0.35f + 1.2f * b, 2.0f);
    }
}

// A row of conifer silhouettes: height in pixels above the bottom edge at each column.
std::vector<float> forestProfile(int width, float baseHeight, float treeHeight, float spacing, uint32_t seed)
{
    std::vector<float> h(static_cast<size_t>(width), baseHeight);
    Rng rng(seed);
    for (float cx = -spacing; cx < static_cast<float>(width) + spacing; cx += spacing * rng.range(0.35f, 1.5f)) {
        float th = treeHeight * rng.range(0.5f, 1.3f);
        float halfWidth = th * rng.range(0.15f, 0.27f);
        float lean = rng.range(-0.15f, 0.15f);
        float phase = rng.range(0.0f, 6.28f);
        for (int x = static_cast<int>(cx - halfWidth); x <= static_cast<int>(cx + halfWidth); ++x) {
            if (x < 0 || x >= width)
                continue;
            float d = (static_cast<float>(x) - cx) / halfWidth;
            d = std::fabs(d + lean * (1.0f - std::fabs(d)));
            // Tiers of branches: drooping steps along the cone's edge, different on every tree.
            float tiers = 0.05f * std::fabs(std::sin((1.0f - d) * 7.0f + phase));
            float top = baseHeight + th * std::max(0.0f, 1.0f - d - tiers);
            h[static_cast<size_t>(x)] = std::max(h[static_cast<size_t>(x)], top);
        }
    }
    for (int x = 0; x < width; ++x)
        h[static_cast<size_t>(x)] += 6.0f * fbm(static_cast<float>(x) / 40.0f, 0.5f, 4096, 3, seed + 5u);
    return h;
}

void fillBelowProfile(Image& img, const std::vector<float>& profile, Vec3 colour, Vec3 rimColour)
{
    for (int x = 0; x < img.width; ++x) {
        float top = static_cast<float>(img.height) - profile[static_cast<size_t>(x)];
        for (int y = std::max(0, static_cast<int>(top) - 1); y < img.height; ++y) {
            float cover = clamp01(static_cast<float>(y) + 1.0f - top);
            float rim = std::exp(-(static_cast<float>(y) - top) / 3.0f);
            Vec3 c = lerp(colour, rimColour, rim * 0.6f);
            img.at(x, y) = lerp(img.at(x, y), c, cover);
        }
    }
}

Mask lettering(const std::string& text, int pixelHeight, int margin, int spacing)
{
    Mask m = renderText(text, pixelHeight, margin, spacing);
    if (m.width == 0)
        std::fprintf(stderr, "lettering \"%s\" could not be rendered\n", text.c_str());
    return m;
}

Image paintWhite()
{
    return Image(kWidth, kHeight, Vec3{1.0f, 1.0f, 1.0f});
}

Image paintLoad()
{
    Image img(kWidth, kHeight);
    verticalGradient(img, {rgb(4, 6, 18), rgb(10, 16, 40), rgb(28, 40, 72), rgb(54, 66, 96)});
    addStars(img, 700, 0.7f, 11u);
    addClouds(img, rgb(60, 80, 130), 0.35f, 260.0f, 0.05f, 0.6f, 12u);
    // The moon and its halo.
    addGlow(img, 760.0f, 190.0f, 420.0f, rgb(70, 90, 140), 0.45f, 2.5f);
    addGlow(img, 760.0f, 190.0f, 120.0f, rgb(160, 180, 220), 0.5f, 1.5f);
    for (int y = 130; y < 250; ++y) {
        for (int x = 700; x < 820; ++x) {
            float d = std::hypot(static_cast<float>(x) - 760.0f, static_cast<float>(y) - 190.0f);
            float disc = clamp01(56.0f - d);
            float crater = 0.12f * fbm(static_cast<float>(x) / 18.0f, static_cast<float>(y) / 18.0f, 4096, 3, 13u);
            img.at(x, y) = lerp(img.at(x, y), rgb(236, 238, 228) * (0.92f + crater), disc);
        }
    }
    // Three ranks of forest, paler with distance, with a mist band between them.
    fillBelowProfile(img, forestProfile(kWidth, 150.0f, 150.0f, 38.0f, 21u), rgb(30, 40, 66), rgb(60, 76, 110));
    addClouds(img, rgb(90, 110, 150), 0.45f, 180.0f, 0.62f, 0.86f, 22u);
    fillBelowProfile(img, forestProfile(kWidth, 90.0f, 210.0f, 55.0f, 23u), rgb(14, 20, 36), rgb(40, 54, 84));
    fillBelowProfile(img, forestProfile(kWidth, 30.0f, 300.0f, 90.0f, 24u), rgb(3, 5, 10), rgb(22, 30, 50));
    // The left edge stays calm and dark where the loading bar rises.
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < 200; ++x)
            img.at(x, y) *= 0.45f + 0.55f * smoothstep(20.0f, 200.0f, static_cast<float>(x));
    }
    Mask word = lettering("VELMORA", 54, 24, 14);
    Mask glow = blur(word, 10);
    int ox = kWidth - word.width - 40, oy = kHeight - word.height - 30;
    addMask(img, glow, ox, oy, rgb(90, 140, 255), 0.8f);
    paintMask(img, word, ox, oy, rgb(214, 226, 255), 1.0f);
    vignette(img, 0.35f);
    addGrain(img, 0.012f, 25u);
    return img;
}

Image paintTitle()
{
    // Drawn additively over the forest: black stays invisible, only the light of the word shows.
    Image img(kWidth, kHeight);
    Mask word = lettering("Velmora", 210, 90, 4);
    int ox = (kWidth - word.width) / 2, oy = (kHeight - word.height) / 2 - 20;
    addMask(img, blur(word, 60), ox, oy, rgb(255, 120, 30), 0.9f);
    addMask(img, blur(word, 18), ox, oy, rgb(255, 190, 90), 0.9f);
    // A horizontal flare through the word.
    float cy = static_cast<float>(oy + word.height / 2);
    for (int y = 0; y < kHeight; ++y) {
        float dy = std::fabs(static_cast<float>(y) - cy);
        float line = std::exp(-dy * dy / 18.0f);
        for (int x = 0; x < kWidth; ++x) {
            float dx = std::fabs(static_cast<float>(x) - kWidth * 0.5f) / (kWidth * 0.5f);
            img.at(x, y) += rgb(255, 170, 90) * (line * 0.6f * (1.0f - dx * dx));
        }
    }
    // The letters themselves: white hot in the middle, gold towards the edges.
    Mask soft = blur(word, 2);
    for (int y = 0; y < word.height; ++y) {
        for (int x = 0; x < word.width; ++x) {
            float core = word.at(x, y);
            if (core <= 0.0f)
                continue;
            float edge = clamp01(core - 0.6f * soft.get(x, y - 6));
            Vec3 c = lerp(rgb(255, 250, 235), rgb(255, 176, 60), edge);
            Vec3& p = img.at(ox + x, oy + y);
            p = lerp(p, c, core);
        }
    }
    Rng rng(31u);
    for (int i = 0; i < 40; ++i) {
        float x = static_cast<float>(ox) + rng.range(0.0f, static_cast<float>(word.width));
        float y = static_cast<float>(oy) + rng.range(0.0f, static_cast<float>(word.height));
        addGlow(img, x, y, rng.range(4.0f, 16.0f), rgb(255, 220, 160), rng.range(0.3f, 0.9f), 3.0f);
    }
    Mask line = lettering("a tale of light and wood", 30, 10, 6);
    addMask(img, line, (kWidth - line.width) / 2, oy + word.height - 40, rgb(230, 170, 110), 0.85f);
    return img;
}

Image paintTitle2()
{
    Image img(kWidth, kHeight);
    float cx = kWidth * 0.5f, cy = kHeight * 0.5f;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            float dx = static_cast<float>(x) - cx, dy = static_cast<float>(y) - cy;
            float r = std::hypot(dx, dy) / 640.0f;
            float angle = std::atan2(dy, dx);
            float n = fbm(static_cast<float>(x) / 220.0f, static_cast<float>(y) / 220.0f, 4096, 6, 41u);
            float swirl = fbm(angle * 3.0f + r * 6.0f, r * 4.0f, 4096, 4, 42u);
            Vec3 c = ramp({rgb(110, 24, 60), rgb(60, 10, 48), rgb(22, 4, 26), rgb(6, 2, 10)}, r + 0.15f * n);
            c += rgb(150, 40, 80) * (0.25f * smoothstep(0.1f, 0.7f, swirl) * (1.0f - r));
            // Fine concentric rings, like ripples around the middle.
            float ring = 0.5f + 0.5f * std::cos(r * 140.0f + 4.0f * n);
            c += rgb(255, 120, 120) * (0.05f * std::pow(ring, 12.0f) * smoothstep(0.05f, 0.3f, r) * (1.0f - r));
            img.at(x, y) = c;
        }
    }
    addStars(img, 300, 1.0f, 43u);
    addGlow(img, cx, cy, 300.0f, rgb(255, 90, 70), 0.25f, 2.0f);
    Mask word = lettering("VELMORA", 150, 40, 30);
    addMask(img, blur(word, 3), (kWidth - word.width) / 2, kHeight - word.height - 30, rgb(255, 120, 140), 0.07f);
    vignette(img, 0.5f);
    addGrain(img, 0.015f, 44u);
    return img;
}

// A thorny branch: a wandering stroke that forks and carries short spikes.
void drawBranch(Mask& m, float x, float y, float angle, float length, float width, Rng& rng, int depth)
{
    float step = 2.0f;
    int steps = static_cast<int>(length / step);
    for (int i = 0; i < steps; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(steps);
        float w = width * (1.0f - 0.8f * t);
        for (int yy = static_cast<int>(y - w - 1); yy <= static_cast<int>(y + w + 1); ++yy) {
            for (int xx = static_cast<int>(x - w - 1); xx <= static_cast<int>(x + w + 1); ++xx) {
                if (xx < 0 || yy < 0 || xx >= m.width || yy >= m.height)
                    continue;
                float d = std::hypot(static_cast<float>(xx) - x, static_cast<float>(yy) - y);
                m.at(xx, yy) = std::max(m.at(xx, yy), clamp01(w + 0.5f - d));
            }
        }
        if (rng.uniform() < 0.06f && w > 1.2f) {
            float side = rng.uniform() < 0.5f ? -1.0f : 1.0f;
            float ta = angle + side * rng.range(0.7f, 1.2f);
            float tl = w * rng.range(3.0f, 5.0f);
            for (float s = 0.0f; s < tl; s += 0.7f) {
                float tw = w * 0.7f * (1.0f - s / tl);
                int px = static_cast<int>(x + std::cos(ta) * s), py = static_cast<int>(y + std::sin(ta) * s);
                for (int yy = py - 2; yy <= py + 2; ++yy)
                    for (int xx = px - 2; xx <= px + 2; ++xx) {
                        if (xx < 0 || yy < 0 || xx >= m.width || yy >= m.height)
                            continue;
                        float d = std::hypot(static_cast<float>(xx - px), static_cast<float>(yy - py));
                        m.at(xx, yy) = std::max(m.at(xx, yy), clamp01(tw + 0.5f - d));
                    }
            }
        }
        if (depth > 0 && rng.uniform() < 0.018f) {
            float side = rng.uniform() < 0.5f ? -1.0f : 1.0f;
            drawBranch(m, x, y, angle + side * rng.range(0.4f, 0.9f), length * (1.0f - t) * rng.range(0.4f, 0.7f),
                       w * 0.7f, rng, depth - 1);
        }
        angle += rng.range(-0.12f, 0.12f);
        x += std::cos(angle) * step;
        y += std::sin(angle) * step;
    }
}

Image paintDorn()
{
    Image img(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            float fx = static_cast<float>(x) / kWidth, fy = static_cast<float>(y) / kHeight;
            float n = fbm(fx * 4.0f, fy * 3.0f, 4096, 6, 51u);
            float r = std::hypot(fx - 0.5f, (fy - 0.5f) * 0.75f);
            Vec3 c = ramp({rgb(20, 86, 96), rgb(8, 44, 58), rgb(3, 16, 24), rgb(1, 5, 8)}, r * 1.6f + 0.12f * n);
            c += rgb(40, 140, 130) * (0.12f * smoothstep(0.2f, 0.8f, ridged(fx * 3.0f, fy * 3.0f, 4096, 5, 52u)));
            img.at(x, y) = c;
        }
    }
    // Spores drifting in the light.
    Rng rng(53u);
    for (int i = 0; i < 160; ++i) {
        float x = rng.range(0.0f, kWidth), y = rng.range(0.0f, kHeight);
        addGlow(img, x, y, rng.range(3.0f, 22.0f), rgb(120, 255, 220), rng.range(0.05f, 0.35f), 2.0f);
    }
    // Thorn branches reaching in from the corners, with a faint cyan rim light.
    Mask thorns(kWidth, kHeight);
    Rng br(54u);
    drawBranch(thorns, -10.0f, 760.0f, -0.6f, 900.0f, 11.0f, br, 3);
    drawBranch(thorns, 1034.0f, 700.0f, -2.6f, 820.0f, 10.0f, br, 3);
    drawBranch(thorns, 980.0f, -10.0f, 2.2f, 600.0f, 8.0f, br, 3);
    drawBranch(thorns, -10.0f, 60.0f, 0.35f, 520.0f, 7.0f, br, 2);
    addMask(img, blur(thorns, 6), 0, 0, rgb(60, 220, 200), 0.35f);
    paintMask(img, thorns, 0, 0, rgb(2, 8, 10), 1.0f);
    vignette(img, 0.45f);
    addGrain(img, 0.014f, 55u);
    return img;
}

Image paintVarrick()
{
    Image img(kWidth, kHeight);
    float horizon = 0.62f * kHeight;
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            float fx = static_cast<float>(x) / kWidth, fy = static_cast<float>(y) / kHeight;
            Vec3 c = ramp({rgb(8, 4, 30), rgb(30, 12, 70), rgb(86, 34, 120), rgb(150, 70, 140)}, fy / 0.62f);
            // Aurora: vertical curtains along a wavy band.
            float bandY = 0.25f + 0.08f * std::sin(fx * 7.0f + 1.3f) + 0.05f * fbm(fx * 3.0f, 0.3f, 4096, 3, 61u);
            float band = std::exp(-std::pow((fy - bandY) / 0.09f, 2.0f));
            float curtain = 0.5f + 0.5f * fbm(fx * 40.0f, fy * 2.0f, 4096, 3, 62u);
            c += lerp(rgb(40, 255, 170), rgb(120, 110, 255), fy * 2.0f) * (0.55f * band * curtain);
            img.at(x, y) = c;
        }
    }
    addStars(img, 500, 0.6f, 63u);
    // Two mountain ranges, then a still lake mirroring the sky.
    for (int layer = 0; layer < 2; ++layer) {
        Vec3 col = layer == 0 ? rgb(44, 22, 80) : rgb(14, 6, 30);
        for (int x = 0; x < kWidth; ++x) {
            float fx = static_cast<float>(x) / kWidth;
            float h = (layer == 0 ? 150.0f : 90.0f) * ridged(fx * (layer == 0 ? 3.0f : 5.0f), 0.5f + layer, 4096, 6,
                                                             64u + static_cast<uint32_t>(layer));
            int top = static_cast<int>(horizon - h - (layer == 0 ? 40.0f : 0.0f));
            for (int y = std::max(0, top); y < static_cast<int>(horizon); ++y) {
                float rim = std::exp(-static_cast<float>(y - top) / 4.0f) * (layer == 0 ? 0.6f : 0.3f);
                img.at(x, y) = lerp(col, rgb(160, 120, 255), rim);
            }
        }
    }
    for (int y = static_cast<int>(horizon); y < kHeight; ++y) {
        int my = static_cast<int>(2.0f * horizon) - y;
        float depth = (static_cast<float>(y) - horizon) / (kHeight - horizon);
        for (int x = 0; x < kWidth; ++x) {
            float ripple = 6.0f * fbm(static_cast<float>(x) / 90.0f, static_cast<float>(y) / 8.0f, 4096, 3, 65u);
            int sx = std::clamp(x + static_cast<int>(ripple * (1.0f + 3.0f * depth)), 0, kWidth - 1);
            Vec3 refl = img.at(sx, std::clamp(my, 0, kHeight - 1));
            img.at(x, y) = refl * (0.55f - 0.3f * depth) + rgb(6, 2, 14);
        }
    }
    vignette(img, 0.4f);
    addGrain(img, 0.012f, 66u);
    return img;
}

Image paintFond()
{
    Image img(kWidth, kHeight);
    float horizon = 0.66f * kHeight;
    verticalGradient(img, {rgb(24, 10, 44), rgb(80, 24, 70), rgb(170, 60, 60), rgb(240, 130, 60), rgb(255, 190, 110)});
    addClouds(img, rgb(255, 120, 90), 0.35f, 300.0f, 0.1f, 0.6f, 71u);
    addGlow(img, 512.0f, horizon - 20.0f, 520.0f, rgb(255, 140, 60), 0.45f, 2.0f);
    addGlow(img, 512.0f, horizon - 20.0f, 70.0f, rgb(255, 230, 170), 0.9f, 0.8f);
    // Bokeh: soft discs of light drifting across the sky.
    Rng rng(72u);
    for (int i = 0; i < 70; ++i) {
        float x = rng.range(0.0f, kWidth), y = rng.range(0.0f, horizon);
        float r = rng.range(8.0f, 46.0f);
        addGlow(img, x, y, r, lerp(rgb(255, 160, 120), rgb(255, 220, 180), rng.uniform()), rng.range(0.05f, 0.2f),
                0.4f);
    }
    // The sea: darker, with a glitter road under the sun.
    for (int y = static_cast<int>(horizon); y < kHeight; ++y) {
        float depth = (static_cast<float>(y) - horizon) / (kHeight - horizon);
        for (int x = 0; x < kWidth; ++x) {
            float wave =
                fbm(static_cast<float>(x) / 60.0f, static_cast<float>(y) / (4.0f + 20.0f * depth), 4096, 4, 73u);
            Vec3 c = lerp(rgb(120, 50, 60), rgb(20, 8, 26), std::sqrt(depth));
            float road = std::exp(-std::pow((static_cast<float>(x) - 512.0f) / (40.0f + 260.0f * depth), 2.0f));
            c += rgb(255, 190, 120) * (road * smoothstep(0.1f, 0.6f, wave) * (1.2f - depth));
            img.at(x, y) = c;
        }
    }
    for (int x = 0; x < kWidth; ++x)
        img.at(x, static_cast<int>(horizon)) += rgb(255, 200, 140) * 0.4f;
    vignette(img, 0.5f);
    addGrain(img, 0.012f, 74u);
    return img;
}

Image paintSprite(Vec3 colour, int size = 128)
{
    const float half = 0.5f * static_cast<float>(size);
    Image img(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            float dx = (static_cast<float>(x) + 0.5f - half) / half, dy = (static_cast<float>(y) + 0.5f - half) / half;
            float r = std::hypot(dx, dy);
            float halo = std::exp(-r * r * 6.0f) * (1.0f - smoothstep(0.75f, 1.0f, r));
            float core = std::exp(-r * r * 60.0f);
            img.at(x, y) = colour * halo + lerp(colour, Vec3{1.0f, 1.0f, 1.0f}, 0.6f) * (core * 0.8f);
        }
    }
    return img;
}

Image paintPartR()
{
    return paintSprite(rgb(255, 70, 30));
}
Image paintPartG()
{
    return paintSprite(rgb(60, 255, 90));
}
Image paintPartB()
{
    return paintSprite(rgb(50, 110, 255));
}
Image paintPartW()
{
    return paintSprite(rgb(255, 250, 240));
}
// The emitters' copies are model textures, made at a model texture's size.
Image paintSparkR()
{
    return paintSprite(rgb(255, 70, 30), 256);
}
Image paintSparkG()
{
    return paintSprite(rgb(60, 255, 90), 256);
}
Image paintSparkB()
{
    return paintSprite(rgb(50, 110, 255), 256);
}
Image paintSparkW()
{
    return paintSprite(rgb(255, 250, 240), 256);
}

}  // namespace

const std::vector<PictureSpec>& pictureSpecs()
{
    static const std::vector<PictureSpec> specs = {
        {"pict/white.jpg", paintWhite},
        {"pict/load.jpg", paintLoad},
        {"pict/title.jpg", paintTitle},
        {"pict/title2.jpg", paintTitle2},
        {"pict/dorn.jpg", paintDorn},
        {"pict/varrick.jpg", paintVarrick},
        {"pict/fond.jpg", paintFond},
        {"pict/white2.jpg", paintWhite},
        {"text/partr.jpg", paintPartR},
        {"text/partg.jpg", paintPartG},
        {"text/partb.jpg", paintPartB},
        {"text/part.jpg", paintPartW},
        // The emitter meshes of the scenes name their own copies of the glows, so that each scene
        // file depends only on maps/ and the free-standing particles only on text/.
        {"maps/tex/sparkr.jpg", paintSparkR},
        {"maps/tex/sparkg.jpg", paintSparkG},
        {"maps/tex/sparkb.jpg", paintSparkB},
        {"maps/tex/spark.jpg", paintSparkW},
    };
    return specs;
}

bool writePictures(const std::string& dataDir)
{
    if (!makeFolders(dataDir + "/pict") || !makeFolders(dataDir + "/text") || !makeFolders(dataDir + "/maps/tex"))
        return false;
    const std::vector<PictureSpec>& specs = pictureSpecs();
    return runJobs(specs.size(),
                   [&](size_t i) { return writeJpeg(specs[i].paint(), dataDir + "/" + specs[i].path, 90); });
}

}  // namespace ag
