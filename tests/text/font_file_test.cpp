// The text font's data file, which the browser build draws its letters from: the file the build
// wrote holds exactly the letters the desktop program builds at start-up, a file written and read
// back is the same, and damaged files are refused with a reason instead of read past their end.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "render/font_file.h"
#include "render/text.h"

namespace {

std::string scratchPath(const char* name)
{
    return std::string(VELMORA_BINARY_DIR) + "/tests/text/" + name;
}

std::vector<char> fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::vector<char>& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

bool samePoints(const std::vector<OutlinePoint>& a, const std::vector<OutlinePoint>& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].x != b[i].x || a[i].y != b[i].y)
            return false;
    }
    return true;
}

// The first difference between two glyphs, or "" when they are the same.
std::string glyphDifference(const FontFileGlyph& a, const FontFileGlyph& b)
{
    const GlyphMetricsFloat& m = a.metrics;
    const GlyphMetricsFloat& n = b.metrics;
    if (m.blackBoxX != n.blackBoxX || m.blackBoxY != n.blackBoxY || m.originX != n.originX || m.originY != n.originY ||
        m.cellIncX != n.cellIncX || m.cellIncY != n.cellIncY)
        return "metrics";
    if (!samePoints(a.triangles, b.triangles))
        return "front-face triangles (" + std::to_string(a.triangles.size()) + " and " +
               std::to_string(b.triangles.size()) + " points)";
    if (a.boundary.size() != b.boundary.size())
        return "number of side-wall loops";
    for (size_t i = 0; i < a.boundary.size(); ++i) {
        if (!samePoints(a.boundary[i], b.boundary[i]))
            return "side-wall loop " + std::to_string(i);
    }
    return "";
}

TEST(FontFile, TheDataFolderHoldsTheLettersTheProgramBuilds)
{
    FontFile stored;
    std::string error;
    ASSERT_TRUE(readFontFile(std::string(VELMORA_DATA_DIR) + "/" + fontFilePath, &stored, &error)) << error;
    OutlineFace* face = openTextFace();
    ASSERT_NE(face, nullptr) << "the text face is not installed";
    const FontFile built = fontFileFromFace(face, fontDeviation);
    closeOutlineFace(face);

    EXPECT_EQ(stored.deviation, fontDeviation);
    ASSERT_EQ(stored.glyphs.size(), 256u);
    int letters = 0;
    for (int code = 0; code < 256; ++code) {
        EXPECT_EQ(glyphDifference(stored.glyphs[code], built.glyphs[code]), "") << "character " << code;
        letters += stored.glyphs[code].triangles.empty() ? 0 : 1;
    }
    // Every printable ASCII letter has a solid face; space and code 255 have none.
    EXPECT_GT(letters, 94);
    EXPECT_TRUE(stored.glyphs[' '].triangles.empty());
    EXPECT_GT(stored.glyphs[' '].metrics.cellIncX, 0.0f);
    EXPECT_TRUE(stored.glyphs[255].triangles.empty());
    EXPECT_EQ(stored.glyphs[255].metrics.cellIncX, 0.0f);
    // 'O' has a hole: two wall loops.
    EXPECT_EQ(stored.glyphs['O'].boundary.size(), 2u);
}

TEST(FontFile, AFileWrittenAndReadBackIsTheSame)
{
    FontFile font;
    font.deviation = 0.25f;
    font.glyphs.resize(256);
    FontFileGlyph& a = font.glyphs['A'];
    a.metrics.cellIncX = 0.625f;
    a.metrics.blackBoxY = 0.75f;
    a.triangles = {{0.0f, 0.0f}, {0.5f, 0.0f}, {0.25f, 0.75f}};
    a.boundary = {{{0.0f, 0.0f}, {0.5f, 0.0f}, {0.25f, 0.75f}}, {{0.2f, 0.2f}, {0.25f, 0.4f}, {0.3f, 0.2f}}};
    const std::string path = scratchPath("round_trip.bin");
    std::string error;
    ASSERT_TRUE(writeFontFile(path, font, &error)) << error;
    FontFile back;
    ASSERT_TRUE(readFontFile(path, &back, &error)) << error;
    EXPECT_EQ(back.deviation, 0.25f);
    for (int code = 0; code < 256; ++code)
        EXPECT_EQ(glyphDifference(back.glyphs[code], font.glyphs[code]), "") << "character " << code;
    std::remove(path.c_str());
}

TEST(FontFile, DamagedFilesAreRefusedWithAReason)
{
    FontFile font;
    font.deviation = 0.1f;
    font.glyphs.resize(256);
    font.glyphs['I'].triangles = {{0.0f, 0.0f}, {0.1f, 0.0f}, {0.0f, 0.7f}};
    const std::string good = scratchPath("good.bin");
    std::string error;
    ASSERT_TRUE(writeFontFile(good, font, &error)) << error;
    const std::vector<char> bytes = fileBytes(good);
    const std::string bad = scratchPath("bad.bin");
    FontFile read;

    writeBytes(bad, std::vector<char>(bytes.begin(), bytes.end() - 5));
    EXPECT_FALSE(readFontFile(bad, &read, &error));
    EXPECT_NE(error.find("ends inside a glyph"), std::string::npos) << error;
    EXPECT_TRUE(read.glyphs.empty());

    std::vector<char> longer = bytes;
    longer.push_back('x');
    writeBytes(bad, longer);
    EXPECT_FALSE(readFontFile(bad, &read, &error));
    EXPECT_NE(error.find("after the last glyph"), std::string::npos) << error;

    std::vector<char> otherTag = bytes;
    otherTag[0] = 'X';
    writeBytes(bad, otherTag);
    EXPECT_FALSE(readFontFile(bad, &read, &error));
    EXPECT_NE(error.find("not a Velmora font file"), std::string::npos) << error;

    // A count of two billion points in glyph 0 must be refused, not allocated.
    std::vector<char> huge = bytes;
    const size_t firstCount = 8 + 4 + 6 * 4;
    huge[firstCount + 3] = 0x7f;
    writeBytes(bad, huge);
    EXPECT_FALSE(readFontFile(bad, &read, &error));

    EXPECT_FALSE(readFontFile(scratchPath("missing.bin"), &read, &error));
    EXPECT_NE(error.find("missing.bin"), std::string::npos) << error;

    FontFile tooFew;
    tooFew.glyphs.resize(3);
    EXPECT_FALSE(writeFontFile(bad, tooFew, &error));
    std::remove(good.c_str());
    std::remove(bad.c_str());
}

}  // namespace
