// FreeType rendering of the title lettering into masks for the picture generator. Uses the
// anti-aliased glyph bitmaps of the title font, placed on a common baseline with kerning.
#include "tools/assetgen/font.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include <ft2build.h>
#include FT_FREETYPE_H

#ifndef VELMORA_TITLE_FONT
#define VELMORA_TITLE_FONT "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Black.ttf"
#endif

namespace ag {

const char* titleFontPath()
{
    return VELMORA_TITLE_FONT;
}

namespace {

struct Glyph {
    int left = 0;
    int top = 0;
    int width = 0;
    int rows = 0;
    std::vector<unsigned char> bits;
    int penX = 0;
};

}  // namespace

Mask renderText(const std::string& text, int pixelHeight, int margin, int letterSpacing)
{
    FT_Library lib = nullptr;
    if (FT_Init_FreeType(&lib) != 0) {
        std::fprintf(stderr, "FreeType cannot start\n");
        return Mask();
    }
    FT_Face face = nullptr;
    if (FT_New_Face(lib, titleFontPath(), 0, &face) != 0) {
        std::fprintf(stderr, "%s: cannot load the title font\n", titleFontPath());
        FT_Done_FreeType(lib);
        return Mask();
    }
    FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelHeight));

    std::vector<Glyph> glyphs;
    int pen = 0;
    FT_UInt previous = 0;
    int minX = 1 << 30, maxX = -(1 << 30), minY = 1 << 30, maxY = -(1 << 30);
    for (unsigned char ch : text) {
        FT_UInt index = FT_Get_Char_Index(face, ch);
        if (previous && index && FT_HAS_KERNING(face)) {
            FT_Vector kern;
            FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kern);
            pen += static_cast<int>(kern.x >> 6);
        }
        if (FT_Load_Glyph(face, index, FT_LOAD_RENDER) != 0)
            continue;
        FT_GlyphSlot slot = face->glyph;
        Glyph g;
        g.left = slot->bitmap_left;
        g.top = slot->bitmap_top;
        g.width = static_cast<int>(slot->bitmap.width);
        g.rows = static_cast<int>(slot->bitmap.rows);
        g.penX = pen;
        for (int y = 0; y < g.rows; ++y) {
            const unsigned char* row = slot->bitmap.buffer + y * slot->bitmap.pitch;
            g.bits.insert(g.bits.end(), row, row + g.width);
        }
        if (g.width > 0 && g.rows > 0) {
            minX = std::min(minX, pen + g.left);
            maxX = std::max(maxX, pen + g.left + g.width);
            minY = std::min(minY, -g.top);
            maxY = std::max(maxY, -g.top + g.rows);
        }
        glyphs.push_back(std::move(g));
        pen += static_cast<int>(slot->advance.x >> 6) + letterSpacing;
        previous = index;
    }
    FT_Done_Face(face);
    FT_Done_FreeType(lib);
    if (minX > maxX)
        return Mask();

    Mask m(maxX - minX + 2 * margin, maxY - minY + 2 * margin);
    for (const Glyph& g : glyphs) {
        int ox = g.penX + g.left - minX + margin;
        int oy = -g.top - minY + margin;
        for (int y = 0; y < g.rows; ++y) {
            for (int x = 0; x < g.width; ++x) {
                float v = static_cast<float>(g.bits[static_cast<size_t>(y) * g.width + x]) / 255.0f;
                float& dst = m.at(ox + x, oy + y);
                dst = std::max(dst, v);
            }
        }
    }
    return m;
}

}  // namespace ag
