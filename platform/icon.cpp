// Decodes the icon kept in resources/ as XPM text (one character per pixel, "#RRGGBB" or None).
// Used by the launch dialog and the render window.
#include "platform/icon.h"

#include <cstdio>
#include <cstring>

#include "resources/velmora_icon.xpm"

IconPixels decodeXpm(const char* const* xpm, int lineCount)
{
    IconPixels icon;
    int width = 0, height = 0, colours = 0, perPixel = 0;
    if (lineCount < 1 || std::sscanf(xpm[0], "%d %d %d %d", &width, &height, &colours, &perPixel) != 4 ||
        perPixel != 1 || width <= 0 || height <= 0 || colours <= 0 || lineCount < 1 + colours + height) {
        return icon;
    }
    uint32_t table[256] = {};
    bool known[256] = {};
    for (int i = 0; i < colours; ++i) {
        const char* line = xpm[1 + i];
        const unsigned char key = static_cast<unsigned char>(line[0]);
        const char* colour = std::strstr(line, " c ");
        if (colour == nullptr) {
            return icon;
        }
        colour += 3;
        unsigned rgb = 0;
        if (colour[0] == '#' && std::sscanf(colour + 1, "%6x", &rgb) == 1) {
            table[key] = (rgb << 8) | 0xFFu;
        } else {
            table[key] = 0;  // None: transparent
        }
        known[key] = true;
    }
    icon.width = width;
    icon.height = height;
    icon.rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    for (int y = 0; y < height; ++y) {
        const char* row = xpm[1 + colours + y];
        const size_t length = std::strlen(row);
        for (int x = 0; x < width && static_cast<size_t>(x) < length; ++x) {
            const unsigned char key = static_cast<unsigned char>(row[x]);
            const uint32_t c = known[key] ? table[key] : 0;
            uint8_t* p = &icon.rgba[(static_cast<size_t>(y) * width + x) * 4];
            p[0] = static_cast<uint8_t>(c >> 24);
            p[1] = static_cast<uint8_t>(c >> 16);
            p[2] = static_cast<uint8_t>(c >> 8);
            p[3] = static_cast<uint8_t>(c);
        }
    }
    return icon;
}

IconPixels decodeIcon()
{
    return decodeXpm(velmora_icon_xpm, static_cast<int>(sizeof(velmora_icon_xpm) / sizeof(velmora_icon_xpm[0])));
}
