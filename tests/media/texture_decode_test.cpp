// Decoding JPEG files to RGB rows, and what happens to damaged pictures: one the decoder only warns
// about (cut short, damaged scan data) is kept with one warning line naming it; one it cannot decode
// is refused with one line naming it, and one that cannot be opened shows the status box with its
// name; either leaves its slot alone and lets the next picture load. No GL context is needed: a
// failed load returns before any GL call.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "jpeg_fixtures.h"
#include "media/texture.h"
#include "platform/platform.h"

namespace {

struct PictureDeleter {
    void operator()(DecodedPicture* picture) const { freeDecodedPicture(picture); }
};
using PicturePtr = std::unique_ptr<DecodedPicture, PictureDeleter>;

PicturePtr decode(const std::string& path)
{
    return PicturePtr(readJpegFile(path.c_str()));
}

// Largest difference between a decoded RGB pixel and the expected colour.
int colourError(const DecodedPicture& picture, int x, int y, int r, int g, int b)
{
    const uint8_t* p = picture.pixels + static_cast<size_t>(y) * picture.rowBytes + x * 3;
    return std::max({std::abs(p[0] - r), std::abs(p[1] - g), std::abs(p[2] - b)});
}

// Offset of the first occurrence of marker 0xFF code, or npos.
size_t findMarker(const std::vector<uint8_t>& bytes, uint8_t code)
{
    for (size_t i = 0; i + 1 < bytes.size(); ++i)
        if (bytes[i] == 0xFF && bytes[i + 1] == code)
            return i;
    return std::string::npos;
}

constexpr uint8_t MARKER_SOF0 = 0xC0;
constexpr uint8_t MARKER_DHT = 0xC4;
constexpr uint8_t MARKER_SOS = 0xDA;

// A small colour picture with detail everywhere, so that its scan data is a few hundred bytes.
RawPicture makeGradient(int width, int height)
{
    RawPicture picture = makePicture(width, height, 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = picture.at(x, y);
            p[0] = static_cast<uint8_t>(x * 255 / (width - 1));
            p[1] = static_cast<uint8_t>(y * 255 / (height - 1));
            p[2] = static_cast<uint8_t>((x + y) % 2 ? 200 : 40);
        }
    return picture;
}

// Lines of text that contain needle.
int linesNaming(const std::string& text, const std::string& needle)
{
    int count = 0;
    for (size_t start = 0; start < text.size();) {
        const size_t end = std::min(text.find('\n', start), text.size());
        count += text.substr(start, end - start).find(needle) != std::string::npos ? 1 : 0;
        start = end + 1;
    }
    return count;
}

class TextureFailures : public ::testing::Test {
protected:
    void SetUp() override { sysSetBatchMode(true); }

    // Loads the file into slot 1 of a table whose slots hold sentinels; returns what went to stderr
    // and checks that the slot was left as it was and that the file was named in one line: the
    // status box's when it could not be opened, the decoder's reason otherwise.
    std::string loadExpectingRefusal(const std::string& path, bool box = false)
    {
        GLuint slots[3] = {11, 22, 33};
        StderrCapture capture;
        loadTexture(slots, path.c_str(), 1);
        const std::string text = capture.text();
        EXPECT_EQ(slots[0], 11u);
        EXPECT_EQ(slots[1], 22u) << "the slot of a failed picture must stay as it was";
        EXPECT_EQ(slots[2], 33u);
        EXPECT_EQ(text.find("-=(Status)=-") != std::string::npos, box) << text;
        EXPECT_EQ(linesNaming(text, path), 1) << "one line must name the file: " << text;
        // The next picture still decodes: the failure left no state behind.
        EXPECT_TRUE(decode(goodPath_)) << "a good picture after " << path;
        return text;
    }

    ScratchDir dir_;
    std::vector<uint8_t> good_ = encodeJpeg(makeGradient(24, 16), 90);
    std::string goodPath_ = dir_.write("good.jpg", good_);
};

}  // namespace

TEST(JpegDecode, ColourPictureGivesPackedRgbRowsTopFirst)
{
    ScratchDir dir;
    // 301 pixels: 903 bytes a row, deliberately not a multiple of four.
    const RawPicture source = makeGradient(301, 9);
    const std::string path = dir.write("colour.jpg", encodeJpeg(source, 100));
    PicturePtr picture = decode(path);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 301);
    EXPECT_EQ(picture->height, 9);
    EXPECT_EQ(picture->rowBytes, 903);
    RawPicture copy = source;
    int worst = 0;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 301; ++x) {
            const uint8_t* s = copy.at(x, y);
            worst = std::max(worst, colourError(*picture, x, y, s[0], s[1], s[2]));
        }
    EXPECT_LE(worst, 8);
}

TEST(JpegDecode, GrayscalePictureComesOutAsRgb)
{
    ScratchDir dir;
    RawPicture gray = makePicture(37, 20, 1);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 37; ++x)
            *gray.at(x, y) = static_cast<uint8_t>(y < 10 ? 30 : 220);
    PicturePtr picture = decode(dir.write("gray.jpg", encodeJpeg(gray, 100)));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->rowBytes, 37 * 3);
    EXPECT_LE(colourError(*picture, 5, 2, 30, 30, 30), 2);
    EXPECT_LE(colourError(*picture, 30, 17, 220, 220, 220), 2);
}

TEST(JpegDecode, RgbAndCmykStoredPicturesComeOutAsRgb)
{
    ScratchDir dir;
    PicturePtr rgb = decode(dir.write("rgb.jpg", encodeJpeg(makeUniform(16, 16, {250, 10, 120}), 100, true)));
    ASSERT_TRUE(rgb);
    EXPECT_EQ(rgb->rowBytes, 48);
    EXPECT_LE(colourError(*rgb, 8, 8, 250, 10, 120), 3);

    // The compressor marks CMYK files as Adobe's, whose samples are inverted: 255 = no ink.
    RawPicture cmyk = makePicture(32, 16, 4);
    const uint8_t inks[4][4] = {
        {255, 0, 0, 255},      // magenta + yellow: red
        {0, 255, 0, 255},      // cyan + yellow: green
        {255, 255, 255, 0},    // black only
        {255, 255, 255, 127},  // half black: mid gray
    };
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 32; ++x)
            std::copy(inks[x / 8], inks[x / 8] + 4, cmyk.at(x, y));
    PicturePtr converted = decode(dir.write("cmyk.jpg", encodeJpeg(cmyk, 100)));
    ASSERT_TRUE(converted);
    EXPECT_EQ(converted->rowBytes, 96);
    EXPECT_LE(colourError(*converted, 4, 8, 255, 0, 0), 4);
    EXPECT_LE(colourError(*converted, 12, 8, 0, 255, 0), 4);
    EXPECT_LE(colourError(*converted, 20, 8, 0, 0, 0), 4);
    EXPECT_LE(colourError(*converted, 28, 8, 127, 127, 127), 4);
}

TEST(JpegDecode, MissingFileOrNullNameGivesNull)
{
    EXPECT_EQ(readJpegFile(nullptr), nullptr);
    EXPECT_EQ(readJpegFile("no/such/picture.jpg"), nullptr);
    freeDecodedPicture(nullptr);
}

TEST_F(TextureFailures, NullNameDoesNothing)
{
    GLuint slots[1] = {7};
    StderrCapture capture;
    loadTexture(slots, nullptr, 0);
    EXPECT_EQ(capture.text(), "");
    EXPECT_EQ(slots[0], 7u);
}

TEST_F(TextureFailures, MissingFileShowsBoxWithItsName)
{
    loadExpectingRefusal(dir_.path("fond.jpg"), true);
}

TEST_F(TextureFailures, EmptyFileIsRefusedInOneLine)
{
    const std::string text = loadExpectingRefusal(dir_.write("empty.jpg", {}));
    EXPECT_NE(text.find("Empty input file"), std::string::npos) << text;
}

TEST_F(TextureFailures, NonJpegFileIsRefusedInOneLine)
{
    const std::string note = "this is a text file, not a picture\n";
    const std::string text = loadExpectingRefusal(dir_.write("note.jpg", {note.begin(), note.end()}));
    EXPECT_NE(text.find("Not a JPEG file"), std::string::npos) << text;
    // A PNG signature is refused the same way.
    loadExpectingRefusal(dir_.write("png.jpg", {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 13}));
}

TEST_F(TextureFailures, PicturesCutShortAreKeptWithOneWarningLine)
{
    // Without its 2-byte end marker every pixel is there: the picture is the whole picture.
    const std::string noEnd = dir_.write("no-end.jpg", {good_.begin(), good_.end() - 2});
    StderrCapture capture;
    PicturePtr whole = decode(noEnd);
    PicturePtr reference = decode(goodPath_);
    const std::string text = capture.text();
    ASSERT_TRUE(whole);
    ASSERT_TRUE(reference);
    EXPECT_EQ(std::vector<uint8_t>(whole->pixels, whole->pixels + whole->rowBytes * whole->height),
              std::vector<uint8_t>(reference->pixels, reference->pixels + reference->rowBytes * reference->height));
    EXPECT_EQ(linesNaming(text, noEnd), 1) << text;
    EXPECT_NE(text.find("Premature end of JPEG file"), std::string::npos) << text;

    // Cut half-way through its scan data: the picture keeps its size, the missing rows filled in by
    // the decoder.
    const size_t sos = findMarker(good_, MARKER_SOS);
    ASSERT_NE(sos, std::string::npos);
    const size_t middle = (sos + good_.size()) / 2;
    const std::string half = dir_.write("half.jpg", {good_.begin(), good_.begin() + middle});
    StderrCapture halfCapture;
    PicturePtr halfPicture = decode(half);
    const std::string halfText = halfCapture.text();
    ASSERT_TRUE(halfPicture);
    EXPECT_EQ(halfPicture->width, 24);
    EXPECT_EQ(halfPicture->height, 16);
    EXPECT_EQ(linesNaming(halfText, half), 1) << halfText;
}

TEST_F(TextureFailures, TruncationAtEveryByteIsKeptWithAWarningOrRefused)
{
    const size_t sos = findMarker(good_, MARKER_SOS);
    ASSERT_NE(sos, std::string::npos);
    const size_t scanData = sos + 2 + (good_[sos + 2] << 8 | good_[sos + 3]);
    for (size_t length = 0; length < good_.size(); ++length) {
        const std::string path = dir_.write("cut.jpg", {good_.begin(), good_.begin() + length});
        StderrCapture capture;
        PicturePtr picture = decode(path);
        const std::string text = capture.text();
        // Either way the file is named once: with the warning, or with the error that refused it.
        EXPECT_EQ(linesNaming(text, path), 1) << "cut after " << length << " bytes: " << text;
        // Every cut inside the scan data keeps the picture; cuts before the scan header refuse it.
        if (length >= scanData || length <= sos) {
            EXPECT_EQ(picture != nullptr, length >= scanData) << "cut after " << length << " bytes: " << text;
        }
        if (picture) {
            EXPECT_EQ(picture->width, 24);
            EXPECT_EQ(picture->height, 16);
        }
    }
    EXPECT_TRUE(decode(goodPath_));
}

TEST_F(TextureFailures, CorruptHeadersAreRefusedInOneLine)
{
    const size_t sof = findMarker(good_, MARKER_SOF0);
    const size_t dht = findMarker(good_, MARKER_DHT);
    ASSERT_NE(sof, std::string::npos);
    ASSERT_NE(dht, std::string::npos);

    std::vector<uint8_t> zeroHeight = good_;
    zeroHeight[sof + 5] = 0;
    zeroHeight[sof + 6] = 0;
    loadExpectingRefusal(dir_.write("zero-height.jpg", zeroHeight));

    std::vector<uint8_t> badTable = good_;
    for (int i = 0; i < 16; ++i)
        badTable[dht + 5 + i] = 0xFF;  // code counts adding up to far more than 256
    loadExpectingRefusal(dir_.write("bad-table.jpg", badTable));

    std::vector<uint8_t> badPrecision = good_;
    badPrecision[sof + 4] = 3;
    loadExpectingRefusal(dir_.write("bad-precision.jpg", badPrecision));
}

TEST_F(TextureFailures, CorruptScanDataIsKeptWithAWarning)
{
    const size_t sos = findMarker(good_, MARKER_SOS);
    ASSERT_NE(sos, std::string::npos);
    const size_t data = sos + 2 + (good_[sos + 2] << 8 | good_[sos + 3]);
    ASSERT_LT(data + 8, good_.size());

    // A marker in the middle of the scan ends it early: the decoder fills in the rest and warns.
    std::vector<uint8_t> cut = good_;
    cut[data + 4] = 0xFF;
    cut[data + 5] = 0xD9;
    const std::string path = dir_.write("cut-scan.jpg", cut);
    StderrCapture capture;
    PicturePtr picture = decode(path);
    const std::string text = capture.text();
    ASSERT_TRUE(picture);
    EXPECT_EQ(linesNaming(text, path), 1) << text;
    EXPECT_NE(text.find("Corrupt JPEG data"), std::string::npos) << text;
}

TEST_F(TextureFailures, HugeDeclaredSizeIsRefusedBeforeDecoding)
{
    const size_t sof = findMarker(good_, MARKER_SOF0);
    ASSERT_NE(sof, std::string::npos);
    std::vector<uint8_t> huge = good_;
    huge[sof + 5] = 0xEA;  // 60000 rows
    huge[sof + 6] = 0x60;
    huge[sof + 7] = 0xEA;  // 60000 columns
    huge[sof + 8] = 0x60;
    const std::string text = loadExpectingRefusal(dir_.write("huge.jpg", huge));
    EXPECT_NE(text.find("too large"), std::string::npos) << text;
}

namespace {

// Pictures share one budget of decoded pixels a run, checked from each header before decoding: a
// 2 KB file whose header says 8192 x 8192 is refused outright, and once the budget is spent even a
// picture the decoder could read is refused, with one line naming it.
TEST_F(TextureFailures, PicturesPastTheRunsPixelBudgetAreRefusedFromTheirHeader)
{
    forgetSharedTextures();
    const size_t sof = findMarker(good_, MARKER_SOF0);
    ASSERT_NE(sof, std::string::npos);
    auto declaring = [&](const char* name, int side) {
        std::vector<uint8_t> bytes = good_;
        bytes[sof + 5] = static_cast<uint8_t>(side >> 8);
        bytes[sof + 6] = static_cast<uint8_t>(side & 0xFF);
        bytes[sof + 7] = static_cast<uint8_t>(side >> 8);
        bytes[sof + 8] = static_cast<uint8_t>(side & 0xFF);
        return dir_.write(name, bytes);
    };
    const std::string text = loadExpectingRefusal(declaring("8192.jpg", 8192));
    EXPECT_NE(text.find("refused"), std::string::npos) << text;

    // 4096 x 4096 is 16 M pixels: two fit in the budget, the third does not.
    const std::string big = declaring("4096.jpg", 4096);
    StderrCapture capture;
    PicturePtr first = decode(big);
    PicturePtr second = decode(big);
    first.reset();
    second.reset();
    const std::string taken = capture.text();
    EXPECT_EQ(linesNaming(taken, "refused"), 0) << taken;
    const std::string third = loadExpectingRefusal(big);
    EXPECT_NE(third.find("refused"), std::string::npos) << third;
    forgetSharedTextures();
}

}  // namespace
