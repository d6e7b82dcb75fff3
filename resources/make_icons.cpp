// Build-time tool: writes the desktop icons as PNG files, the 32x32 window icon as it is and a
// 128x128 version of the same design drawn from shapes (a glowing ring around a V fading from
// violet to gold, with a blue gem at its heart), four by four samples per pixel.
// Usage: velmora_icons OUTPUT-FOLDER   (writes 32x32/velmora.png and 128x128/velmora.png)
#include <sys/stat.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/png.h"
#include "platform/icon.h"

namespace {

struct Colour {
    float r, g, b;
};

Colour hex(unsigned rgb)
{
    return {((rgb >> 16) & 0xFFu) / 255.0f, ((rgb >> 8) & 0xFFu) / 255.0f, (rgb & 0xFFu) / 255.0f};
}

Colour mix(Colour a, Colour b, float t)
{
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

// Distance from p to the segment a-b.
float segmentDistance(float px, float py, float ax, float ay, float bx, float by)
{
    const float dx = bx - ax, dy = by - ay;
    const float t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0f, 1.0f);
    return std::hypot(px - (ax + t * dx), py - (ay + t * dy));
}

// The V's colour at height y: violet at the top through pink and orange to gold at the point.
Colour vColour(float y)
{
    static const float stops[] = {0.27f, 0.38f, 0.50f, 0.61f, 0.72f, 0.84f};
    static const unsigned colours[] = {0x8A34A8, 0xC046B0, 0xE8609A, 0xF58A6E, 0xFBB454, 0xFFE08A};
    if (y <= stops[0]) {
        return hex(colours[0]);
    }
    for (int i = 1; i < 6; ++i) {
        if (y <= stops[i]) {
            return mix(hex(colours[i - 1]), hex(colours[i]), (y - stops[i - 1]) / (stops[i] - stops[i - 1]));
        }
    }
    return hex(colours[5]);
}

// One sample of the design at (x, y) in 0..1: its colour and whether it is inside the icon.
bool sample(float x, float y, Colour* out)
{
    const float cx = x - 0.5f, cy = y - 0.5f;
    const float r = std::hypot(cx, cy);
    if (r > 0.495f) {
        return false;
    }
    if (r > 0.47f) {
        *out = hex(0x0E1838);  // dark rim
        return true;
    }
    if (r > 0.425f) {
        // The ring shimmers between light and deeper blue around the circle.
        const float angle = std::atan2(cy, cx);
        const float shimmer = 0.5f + 0.5f * std::sin(6.0f * angle + 0.6f);
        *out = mix(hex(0x3A6AD0), hex(0x6FD3FF), shimmer);
        return true;
    }
    Colour colour = mix(hex(0x1E3278), hex(0x0B0F2A), std::min(1.0f, r / 0.425f));
    const float stroke = 0.065f;
    const float dv =
        std::min(segmentDistance(x, y, 0.20f, 0.27f, 0.5f, 0.84f), segmentDistance(x, y, 0.80f, 0.27f, 0.5f, 0.84f));
    if (dv < stroke) {
        colour = vColour(y);
    }
    // The gem: a blue diamond with a white glint.
    const float gx = std::fabs(x - 0.5f), gy = std::fabs(y - 0.43f);
    if (gx / 0.085f + gy / 0.11f <= 1.0f) {
        colour = hex(0x2C4AA0);
        if (std::hypot(x - 0.5f, y - 0.40f) < 0.032f) {
            colour = hex(0xFFFFFF);
        }
    }
    *out = colour;
    return true;
}

std::vector<unsigned char> drawLarge(int size)
{
    std::vector<unsigned char> rgba(static_cast<size_t>(size) * size * 4, 0);
    const int n = 4;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            float r = 0.0f, g = 0.0f, b = 0.0f;
            int inside = 0;
            for (int sy = 0; sy < n; ++sy) {
                for (int sx = 0; sx < n; ++sx) {
                    Colour c{};
                    const float x = (px + (sx + 0.5f) / n) / size;
                    const float y = (py + (sy + 0.5f) / n) / size;
                    if (sample(x, y, &c)) {
                        r += c.r;
                        g += c.g;
                        b += c.b;
                        ++inside;
                    }
                }
            }
            unsigned char* p = &rgba[(static_cast<size_t>(py) * size + px) * 4];
            if (inside > 0) {
                p[0] = static_cast<unsigned char>(std::lround(255.0f * r / inside));
                p[1] = static_cast<unsigned char>(std::lround(255.0f * g / inside));
                p[2] = static_cast<unsigned char>(std::lround(255.0f * b / inside));
                p[3] = static_cast<unsigned char>(std::lround(255.0f * inside / (n * n)));
            }
        }
    }
    return rgba;
}

bool writeRgbaPng(const std::string& path, int width, int height, const std::vector<unsigned char>& rgba)
{
    std::string error;
    if (!writePng(path, width, height, 4, rgba, RowOrder::TopDown, &error)) {
        std::fprintf(stderr, "velmora_icons: %s\n", error.c_str());
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora_icons OUTPUT-FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    mkdir(folder.c_str(), 0777);
    mkdir((folder + "/32x32").c_str(), 0777);
    mkdir((folder + "/128x128").c_str(), 0777);
    const IconPixels small = decodeIcon();
    if (small.rgba.empty()) {
        std::fprintf(stderr, "velmora_icons: the window icon does not decode\n");
        return 1;
    }
    const std::vector<unsigned char> smallRgba(small.rgba.begin(), small.rgba.end());
    const std::vector<unsigned char> large = drawLarge(128);
    const bool ok = writeRgbaPng(folder + "/32x32/velmora.png", small.width, small.height, smallRgba) &&
                    writeRgbaPng(folder + "/128x128/velmora.png", 128, 128, large);
    return ok ? 0 : 1;
}
