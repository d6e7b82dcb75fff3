// Pictures on screen: textures built by loadTexture drawn with the picture quads in a real GL
// context (Xvfb + Mesa under the test runner), read back and checked pixel by pixel. Skipped when
// there is no display to open a window on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "jpeg_fixtures.h"
#include "media/texture.h"
#include "platform/platform.h"
#include "render/quads.h"
#include "shell/window.h"
#include "tests/support/gl_window.h"

namespace {

constexpr int WINDOW_WIDTH = 1152;
constexpr int WINDOW_HEIGHT = 864;

struct Rgb {
    int r = 0, g = 0, b = 0;
};

class PictureOnScreen : public GlWindowSuite<WINDOW_WIDTH, WINDOW_HEIGHT> {
protected:
    void SetUp() override
    {
        VELMORA_NEED_WINDOW(windowReady_, whyNoWindow_);
        int width = 0, height = 0;
        sysClientSize(&width, &height);
        ASSERT_GE(width, WINDOW_WIDTH);
        ASSERT_GE(height, WINDOW_HEIGHT);
        setView(WINDOW_WIDTH, WINDOW_HEIGHT);
    }

    // The window module's view and fixed state, which every drawing step expects.
    static void setView(int width, int height)
    {
        resizeView(width, height);
        setFixedGLState();
        glDisable(GL_BLEND);
    }

    static void clear(float r, float g, float b)
    {
        glClearColor(r, g, b, 0.0f);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    GLuint texture(const std::string& name, const RawPicture& picture)
    {
        GLuint slot[1] = {0};
        const std::string path = dir_.write(name, encodeJpeg(picture, 100));
        loadTexture(slot, path.c_str(), 0);
        EXPECT_NE(slot[0], 0u) << "no texture for " << name;
        return slot[0];
    }

    // Rows bottom first, as GL reads them.
    static std::vector<uint8_t> readPixels(int width, int height)
    {
        glFinish();
        std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadBuffer(GL_BACK);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
        return pixels;
    }

    static Rgb pixelAt(int x, int y)
    {
        glFinish();
        uint8_t p[3] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
        return {p[0], p[1], p[2]};
    }

    ScratchDir dir_;
};

}  // namespace

TEST_F(PictureOnScreen, LoadedPictureIsCompleteMipmappedTexture)
{
    const GLuint name = texture("photo.jpg", makeUniform(640, 480, {90, 160, 30}));
    glBindTexture(GL_TEXTURE_2D, name);
    GLint minFilter = 0, magFilter = 0, wrapS = 0, wrapT = 0, width = 0, height = 0, lastWidth = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, &magFilter);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, &wrapS);
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, &wrapT);
    EXPECT_EQ(minFilter, GL_LINEAR_MIPMAP_NEAREST);
    EXPECT_EQ(magFilter, GL_LINEAR);
    EXPECT_EQ(wrapS, GL_REPEAT);
    EXPECT_EQ(wrapT, GL_REPEAT);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &width);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &height);
    EXPECT_GT(width, 0);
    EXPECT_EQ(width & (width - 1), 0) << "sides are scaled to powers of two";
    EXPECT_EQ(height & (height - 1), 0);
    int levels = 0;
    while ((1 << levels) < std::max(width, height))
        ++levels;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, levels, GL_TEXTURE_WIDTH, &lastWidth);
    EXPECT_EQ(lastWidth, 1) << "the chain must reach 1 x 1 at level " << levels;

    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "the upload leaves the unpack alignment as it found it";
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(PictureOnScreen, SharedPicturesAreLoadedOnceUntilForgotten)
{
    const std::string path = dir_.write("bark.jpg", encodeJpeg(makeUniform(64, 64, {120, 80, 40}), 100));
    const std::string missing = dir_.path("gone.jpg");
    GLuint first[2] = {0, 0};
    GLuint second[1] = {0};
    loadSharedTexture(first, path.c_str(), 1);
    loadSharedTexture(second, path.c_str(), 0);
    ASSERT_NE(first[1], 0u);
    EXPECT_EQ(second[0], first[1]) << "the same file gets the same texture";
    EXPECT_EQ(first[0], 0u);

    // A picture that could not be read is tried (and reported) again each time.
    GLuint none[1] = {0};
    StderrCapture capture;
    loadSharedTexture(none, missing.c_str(), 0);
    loadSharedTexture(none, missing.c_str(), 0);
    const std::string boxes = capture.text();
    EXPECT_EQ(none[0], 0u);
    EXPECT_NE(boxes.find(missing), boxes.rfind(missing)) << boxes;

    // Once forgotten (the GL context went), the file is loaded anew.
    forgetSharedTextures();
    GLuint fresh[1] = {0};
    loadSharedTexture(fresh, path.c_str(), 0);
    EXPECT_NE(fresh[0], 0u);
    EXPECT_NE(fresh[0], first[1]);
    forgetSharedTextures();
}

// One file is one texture however it is named: the key is the file's real path, not the name.
TEST_F(PictureOnScreen, SharedPicturesAreKeyedByTheirRealPath)
{
    const std::string path = dir_.write("moss.jpg", encodeJpeg(makeUniform(64, 64, {40, 120, 40}), 100));
    const std::string link = dir_.path("moss-link.jpg");
    ASSERT_EQ(symlink(path.c_str(), link.c_str()), 0);
    const size_t slash = path.rfind('/');
    const std::string names[] = {path, path.substr(0, slash) + "/./moss.jpg", path.substr(0, slash) + "/././/moss.jpg",
                                 link};
    GLuint textures[4] = {};
    for (int i = 0; i < 4; ++i)
        loadSharedTexture(textures, names[i].c_str(), i);
    ASSERT_NE(textures[0], 0u);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(textures[i], textures[0]) << names[i];

    // A damaged file is read and reported once, however many names it goes by.
    const std::string text = "not a picture";
    const std::string rot = dir_.write("rot.jpg", {text.begin(), text.end()});
    GLuint none[2] = {};
    StderrCapture capture;
    loadSharedTexture(none, rot.c_str(), 0);
    loadSharedTexture(none, (path.substr(0, slash) + "/./rot.jpg").c_str(), 1);
    const std::string said = capture.text();
    EXPECT_EQ(said.find("rot.jpg"), said.rfind("rot.jpg")) << said;
    EXPECT_EQ(none[0] + none[1], 0u);
    std::remove(link.c_str());
    forgetSharedTextures();
}

TEST_F(PictureOnScreen, BrightnessIsClampedToZeroToOne)
{
    // A mid-gray picture: a brightness of 1.5 taken unclamped would brighten it to about 190.
    const GLuint gray = texture("gray.jpg", makeUniform(64, 48, {128, 128, 128}));
    const int cx = WINDOW_WIDTH / 2, cy = WINDOW_HEIGHT / 2;

    clear(0.0f, 0.0f, 0.0f);
    drawAdditivePicture(gray, 1.0f);
    const Rgb atOne = pixelAt(cx, cy);
    EXPECT_NEAR(atOne.g, 128, 3);

    clear(0.0f, 0.0f, 0.0f);
    drawAdditivePicture(gray, 1.5f);
    const Rgb atOneAndHalf = pixelAt(cx, cy);
    EXPECT_EQ(atOneAndHalf.r, atOne.r);
    EXPECT_EQ(atOneAndHalf.g, atOne.g);
    EXPECT_EQ(atOneAndHalf.b, atOne.b);

    // A negative brightness adds nothing to what is there: it neither darkens nor brightens.
    const GLuint white = texture("white.jpg", makeUniform(64, 48, {255, 255, 255}));
    clear(0.5f, 0.25f, 0.75f);
    const std::vector<uint8_t> before = readPixels(WINDOW_WIDTH, WINDOW_HEIGHT);
    drawAdditivePicture(white, -0.2f);
    EXPECT_TRUE(readPixels(WINDOW_WIDTH, WINDOW_HEIGHT) == before);
}

TEST_F(PictureOnScreen, FirstRowOfPictureIsAtTopOfScreen)
{
    // Quadrants: red top left, green top right, blue bottom left, white bottom right.
    RawPicture picture = makePicture(64, 64, 3);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            uint8_t* p = picture.at(x, y);
            const bool top = y < 32, left = x < 32;
            p[0] = (top && left) || (!top && !left) ? 255 : 0;
            p[1] = (top && !left) || (!top && !left) ? 255 : 0;
            p[2] = (!top && left) || (!top && !left) ? 255 : 0;
        }
    const GLuint name = texture("quadrants.jpg", picture);
    clear(0.0f, 0.0f, 0.0f);
    drawOpaquePicture(name);
    // GL rows count from the bottom of the window.
    const int left = WINDOW_WIDTH / 4, right = 3 * WINDOW_WIDTH / 4;
    const int top = 3 * WINDOW_HEIGHT / 4, bottom = WINDOW_HEIGHT / 4;
    const Rgb topLeft = pixelAt(left, top), topRight = pixelAt(right, top);
    const Rgb bottomLeft = pixelAt(left, bottom), bottomRight = pixelAt(right, bottom);
    EXPECT_TRUE(topLeft.r > 200 && topLeft.g < 50 && topLeft.b < 50) << "top left should be red";
    EXPECT_TRUE(topRight.g > 200 && topRight.r < 50 && topRight.b < 50) << "top right should be green";
    EXPECT_TRUE(bottomLeft.b > 200 && bottomLeft.r < 50 && bottomLeft.g < 50) << "bottom left should be blue";
    EXPECT_TRUE(bottomRight.r > 200 && bottomRight.g > 200 && bottomRight.b > 200) << "bottom right should be white";
}

TEST_F(PictureOnScreen, PictureWithOddRowLengthIsNotSheared)
{
    // 301 x 240: red left of column 150, blue from there on. Read with a 4-byte row alignment the
    // rows would drift by a byte each, tilting the edge and mixing the channels.
    RawPicture picture = makePicture(301, 240, 3);
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 301; ++x)
            picture.at(x, y)[x < 150 ? 0 : 2] = 255;
    const GLuint name = texture("odd.jpg", picture);
    clear(0.0f, 0.0f, 0.0f);
    drawOpaquePicture(name);
    const std::vector<uint8_t> pixels = readPixels(WINDOW_WIDTH, WINDOW_HEIGHT);

    std::vector<int> edges;
    for (int y = WINDOW_HEIGHT / 10; y < WINDOW_HEIGHT; y += WINDOW_HEIGHT / 10) {
        const uint8_t* row = &pixels[static_cast<size_t>(y) * WINDOW_WIDTH * 3];
        int edge = -1;
        for (int x = 0; x < WINDOW_WIDTH && edge < 0; ++x)
            if (row[x * 3 + 2] > row[x * 3])
                edge = x;
        edges.push_back(edge);
        // Away from the edge every pixel is pure red or pure blue, never a mix of channels.
        const uint8_t* red = &row[(WINDOW_WIDTH / 4) * 3];
        const uint8_t* blue = &row[(3 * WINDOW_WIDTH / 4) * 3];
        EXPECT_TRUE(red[0] > 200 && red[1] < 40 && red[2] < 40) << "row " << y;
        EXPECT_TRUE(blue[2] > 200 && blue[0] < 40 && blue[1] < 40) << "row " << y;
    }
    const auto [lowest, highest] = std::minmax_element(edges.begin(), edges.end());
    EXPECT_LE(*highest - *lowest, 3) << "the red/blue edge must be vertical";
    EXPECT_NEAR(*lowest, WINDOW_WIDTH / 2, 12);
}

TEST_F(PictureOnScreen, PictureFormsRestoreDepthTestAndBlending)
{
    const GLuint white = texture("white.jpg", makeUniform(16, 16, {255, 255, 255}));
    auto expectFixedState = [](const char* after) {
        GLint matrixMode = 0;
        glGetIntegerv(GL_MATRIX_MODE, &matrixMode);
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST)) << after;
        EXPECT_FALSE(glIsEnabled(GL_BLEND)) << after;
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D)) << after;
        EXPECT_EQ(matrixMode, GL_MODELVIEW) << after;
    };
    drawOpaquePicture(white);
    expectFixedState("opaque picture");
    drawAdditivePicture(white, 0.7f);
    expectFixedState("additive picture");
    drawOpaquePicture(white, 0.8f, -100.6f, 100.0f);
    expectFixedState("moved opaque picture");
    drawAdditivePicture(white, 2.0f, 0.0f, -3.0f, 1.0f);
    expectFixedState("moved additive picture");
}

TEST_F(PictureOnScreen, StandardQuadCoversEveryLaunchResolution)
{
    const GLuint white = texture("white.jpg", makeUniform(32, 24, {255, 255, 255}));
    const int sizes[4][2] = {{640, 480}, {800, 600}, {1024, 768}, {1152, 864}};
    for (const auto& size : sizes) {
        const int width = size[0], height = size[1];
        setView(width, height);
        clear(1.0f, 0.0f, 0.0f);
        drawOpaquePicture(white);
        const std::vector<uint8_t> pixels = readPixels(width, height);
        int uncovered = 0;
        for (size_t i = 0; i < pixels.size(); i += 3)
            if (pixels[i + 1] < 200)  // the red clear colour shows through
                ++uncovered;
        EXPECT_EQ(uncovered, 0) << width << " x " << height;
    }
    // A window with no height left (dragged flat) still gets a one-row view and a usable projection.
    setView(300, 0);
    GLint viewport[4] = {};
    GLfloat projection[16] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    EXPECT_EQ(viewport[2], 300);
    EXPECT_EQ(viewport[3], 1);
    for (GLfloat value : projection)
        EXPECT_TRUE(std::isfinite(value));
}
