// Reading and writing the text font's data file: a tag, the flattening bound, then 256 glyphs of
// metrics, front-face triangles and side-wall loops. Every count is checked against what is left
// of the file, so a damaged file is refused instead of read past its end.
#include "render/font_file.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>

const char* const fontFilePath = "text/font.bin";

namespace {

const char fontTag[8] = {'V', 'E', 'L', 'F', 'O', 'N', 'T', '1'};
const uint32_t glyphCount = 256;

void putU32(std::vector<uint8_t>* out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8) {
        out->push_back(static_cast<uint8_t>(value >> shift));
    }
}

void putFloat(std::vector<uint8_t>* out, float value)
{
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    putU32(out, bits);
}

void putPoints(std::vector<uint8_t>* out, const std::vector<OutlinePoint>& points)
{
    putU32(out, static_cast<uint32_t>(points.size()));
    for (const OutlinePoint& p : points) {
        putFloat(out, p.x);
        putFloat(out, p.y);
    }
}

struct Reader {
    const std::vector<uint8_t>& bytes;
    size_t at = 0;
    bool ok = true;

    uint32_t u32()
    {
        if (bytes.size() - at < 4) {
            ok = false;
            return 0;
        }
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) {
            value |= static_cast<uint32_t>(bytes[at + i]) << (8 * i);
        }
        at += 4;
        return value;
    }
    float f32()
    {
        const uint32_t bits = u32();
        float value = 0.0f;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }
    // A count of items of itemBytes each that must fit in the rest of the file.
    uint32_t count(size_t itemBytes)
    {
        const uint32_t n = u32();
        if (ok && n > (bytes.size() - at) / itemBytes) {
            ok = false;
        }
        return ok ? n : 0;
    }
    void points(std::vector<OutlinePoint>* out)
    {
        const uint32_t n = count(8);
        out->resize(n);
        for (OutlinePoint& p : *out) {
            p.x = f32();
            p.y = f32();
        }
    }
};

}  // namespace

bool writeFontFile(const std::string& path, const FontFile& font, std::string* error)
{
    if (font.glyphs.size() != glyphCount) {
        *error = "a font file holds 256 glyphs, not " + std::to_string(font.glyphs.size());
        return false;
    }
    std::vector<uint8_t> out(fontTag, fontTag + sizeof fontTag);
    putFloat(&out, font.deviation);
    for (const FontFileGlyph& glyph : font.glyphs) {
        const GlyphMetricsFloat& m = glyph.metrics;
        for (float value : {m.blackBoxX, m.blackBoxY, m.originX, m.originY, m.cellIncX, m.cellIncY}) {
            putFloat(&out, value);
        }
        putPoints(&out, glyph.triangles);
        putU32(&out, static_cast<uint32_t>(glyph.boundary.size()));
        for (const OutlineContour& loop : glyph.boundary) {
            putPoints(&out, loop);
        }
    }
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) {
        *error = "cannot write " + path + ": " + std::strerror(errno);
        return false;
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    if (std::fclose(file) != 0 || !written) {
        std::remove(path.c_str());
        *error = "cannot write " + path + " (disk full?)";
        return false;
    }
    return true;
}

bool readFontFile(const std::string& path, FontFile* font, std::string* error)
{
    *font = FontFile();
    FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        *error = "cannot read " + path + ": " + std::strerror(errno);
        return false;
    }
    std::vector<uint8_t> bytes;
    uint8_t block[65536];
    for (size_t got; (got = std::fread(block, 1, sizeof block, file)) > 0;) {
        bytes.insert(bytes.end(), block, block + got);
    }
    std::fclose(file);
    if (bytes.size() < sizeof fontTag || std::memcmp(bytes.data(), fontTag, sizeof fontTag) != 0) {
        *error = path + " is not a Velmora font file";
        return false;
    }
    Reader in{bytes, sizeof fontTag};
    font->deviation = in.f32();
    font->glyphs.resize(glyphCount);
    for (FontFileGlyph& glyph : font->glyphs) {
        GlyphMetricsFloat& m = glyph.metrics;
        for (float* value : {&m.blackBoxX, &m.blackBoxY, &m.originX, &m.originY, &m.cellIncX, &m.cellIncY}) {
            *value = in.f32();
        }
        in.points(&glyph.triangles);
        glyph.boundary.resize(in.count(4));
        for (OutlineContour& loop : glyph.boundary) {
            in.points(&loop);
        }
        if (!in.ok) {
            break;
        }
    }
    if (!in.ok || in.at != bytes.size()) {
        *font = FontFile();
        *error = path + " is damaged (" + (in.ok ? "bytes after the last glyph" : "it ends inside a glyph") + ")";
        return false;
    }
    return true;
}
