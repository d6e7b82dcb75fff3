// The font lists and the printers drawing real frames in an 800 x 600 window (run under Xvfb):
// holes in the letters, advances, where a held line lands, what draws nothing, and the GL state
// left behind.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>

#include "core/clock.h"
#include "core/services.h"
#include "media/texture.h"
#include "outline_checks.h"
#include "platform/platform.h"
#include "render/text.h"
#include "tests/support/gl_window.h"
#include "tests/support/text_gl.h"

namespace {

// Window pixels per unit at distance d in front of the eye with the 45-degree projection.
float pixelsPerUnit(float d)
{
    return (frameHeight / 2.0f) / (d * std::tan(22.5f * 3.14159265f / 180.0f));
}

// The point of a hole loop farthest from its walls, found on a grid over the loop's box.
OutlinePoint deepestPoint(const OutlineContour& hole, float* depth)
{
    float x0 = 1e9f, y0 = 1e9f, x1 = -1e9f, y1 = -1e9f;
    for (const OutlinePoint& p : hole) {
        x0 = std::min(x0, p.x), y0 = std::min(y0, p.y);
        x1 = std::max(x1, p.x), y1 = std::max(y1, p.y);
    }
    OutlinePoint best;
    *depth = 0.0f;
    for (int i = 1; i < 40; ++i) {
        for (int j = 1; j < 40; ++j) {
            OutlinePoint p;
            p.x = x0 + (x1 - x0) * static_cast<float>(i) / 40.0f;
            p.y = y0 + (y1 - y0) * static_cast<float>(j) / 40.0f;
            float d = windingAt({hole}, p) != 0 ? distanceToPolyline(hole, p, true) : 0.0f;
            if (d > *depth) {
                *depth = d;
                best = p;
            }
        }
    }
    return best;
}

// Window position (top-left origin) of an object-space point under the current matrices.
void project(float x, float y, float z, int* px, int* py)
{
    GLdouble model[16], proj[16];
    GLint view[4];
    glGetDoublev(GL_MODELVIEW_MATRIX, model);
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    glGetIntegerv(GL_VIEWPORT, view);
    GLdouble wx = 0.0, wy = 0.0, wz = 0.0;
    gluProject(x, y, z, model, proj, view, &wx, &wy, &wz);
    *px = static_cast<int>(std::floor(wx));
    *py = frameHeight - 1 - static_cast<int>(std::floor(wy));
}

int brightestChannel(const Frame& frame)
{
    int best = 0;
    for (uint8_t v : frame.rgb)
        best = std::max(best, static_cast<int>(v));
    return best;
}

}  // namespace

class TextFrames : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (!std::getenv("DISPLAY"))
            return;
        windowOpen = openTextWindow(&why);
        if (windowOpen)
            createOutlineFont();
    }
    void SetUp() override
    {
        VELMORA_NEED_WINDOW(windowOpen, why);
        ASSERT_NE(fontListBase, 0u);
        glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
        clearTextFrame();
    }
    // The fixed state every drawing step must leave behind.
    void expectStateRestored()
    {
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_S));
        EXPECT_FALSE(glIsEnabled(GL_TEXTURE_GEN_T));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    static bool windowOpen;
    static std::string why;
};

bool TextFrames::windowOpen = false;
std::string TextFrames::why;

TEST_F(TextFrames, CountersOfLettersAreHolesAndInkIsLit)
{
    OutlineFace* face = openTextFace();
    ASSERT_NE(face, nullptr);
    for (char code : {'O', 'B', '8', '@'}) {
        SCOPED_TRACE(std::string("character ") + code);
        GlyphGeometry g;
        GlyphMetricsFloat m;
        ASSERT_TRUE(loadGlyphOutline(face, static_cast<uint8_t>(code), 0.1f, &g, &m));
        tessellateOutline(&g);

        clearTextFrame();
        glBindTexture(GL_TEXTURE_2D, TextureTable[Slot::White]);
        glColor3f(1.0f, 1.0f, 1.0f);
        // The glyph's box centred 3 units in front of the eye: about 240 pixels per em.
        glTranslatef(-(m.originX + m.blackBoxX / 2.0f), -(m.originY - m.blackBoxY / 2.0f), -3.0f);
        glCallList(fontListBase + static_cast<unsigned char>(code));
        glTranslatef(-m.cellIncX, 0.0f, 0.0f);  // undo the list's advance for project()
        Frame frame = readFrame();

        int holes = 0;
        for (const OutlineContour& loop : g.boundary) {
            if (signedArea(loop) >= 0.0f)
                continue;
            ++holes;
            float depth = 0.0f;
            OutlinePoint centre = deepestPoint(loop, &depth);
            ASSERT_GT(depth, 0.02f) << "hole too thin to probe";
            int px = 0, py = 0;
            project(centre.x, centre.y, 0.0f, &px, &py);
            EXPECT_FALSE(frame.lit(px, py)) << "hole at pixel " << px << ", " << py << " is lit";
        }
        EXPECT_GE(holes, 1);
        // The front face's largest triangle is ink.
        size_t largest = 0;
        float largestArea = 0.0f;
        for (size_t i = 0; i + 2 < g.triangles.size(); i += 3) {
            float a = cross(g.triangles[i], g.triangles[i + 1], g.triangles[i + 2]);
            if (a > largestArea) {
                largestArea = a;
                largest = i;
            }
        }
        int px = 0, py = 0;
        project((g.triangles[largest].x + g.triangles[largest + 1].x + g.triangles[largest + 2].x) / 3.0f,
                (g.triangles[largest].y + g.triangles[largest + 1].y + g.triangles[largest + 2].y) / 3.0f, 0.0f, &px,
                &py);
        EXPECT_TRUE(frame.lit(px, py)) << "ink at pixel " << px << ", " << py << " is dark";
    }
    closeOutlineFace(face);
}

TEST_F(TextFrames, EachListMovesTheOriginByItsAdvanceAndCode255IsEmpty)
{
    GLfloat matrix[16];
    for (unsigned char code :
         {static_cast<unsigned char>('W'), static_cast<unsigned char>(' '), static_cast<unsigned char>(0x81)}) {
        glLoadIdentity();
        glCallList(fontListBase + code);
        glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
        EXPECT_FLOAT_EQ(matrix[12], glyphMetrics[code].cellIncX) << "code " << int(code);
        EXPECT_FLOAT_EQ(matrix[13], 0.0f);
    }
    EXPECT_GT(glyphMetrics[0x81].cellIncX, 0.0f);  // no glyph, but the missing-glyph advance

    const GlyphMetricsFloat& last = glyphMetrics[255];
    EXPECT_EQ(last.cellIncX, 0.0f);
    EXPECT_EQ(last.blackBoxX, 0.0f);
    EXPECT_EQ(last.blackBoxY, 0.0f);
    clearTextFrame();
    glTranslatef(0.0f, 0.0f, -3.0f);
    glCallList(fontListBase + 255);
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_FLOAT_EQ(matrix[12], 0.0f);
    glCallList(fontListBase + 0x81);
    glCallList(fontListBase + ' ');
    EXPECT_EQ(readFrame().litCount(), 0);
}

TEST_F(TextFrames, HeldVerseLineIsACentredBandBelowTheMiddle)
{
    const char* text = "VELMORA VERSE";
    sceneTime = 5.0f;
    printVerseLine(0.0f, 10.0f, 1.0f, "%s %s", "VELMORA", "VERSE");
    expectStateRestored();
    Frame frame = readFrame();
    int left = 0, top = 0, right = 0, bottom = 0;
    ASSERT_TRUE(frame.litBox(&left, &top, &right, &bottom));
    EXPECT_GT(top, frameHeight / 2);
    EXPECT_LE(std::abs((left + right) - (frameWidth - 1)), 6) << left << " .. " << right;

    // Where the ink should be: front faces 15 units away, letters dropped by 2.2 units.
    LetterSlot slots[32];
    float width = 0.0f;
    int n = layoutTextLine(text, glyphMetrics, slots, &width);
    ASSERT_EQ(n, 12);
    const GlyphMetricsFloat& first = glyphMetrics[slots[0].code];
    const GlyphMetricsFloat& lastLetter = glyphMetrics[slots[n - 1].code];
    float inkLeft = slots[0].m + first.originX;
    float inkRight = slots[n - 1].m + lastLetter.originX + lastLetter.blackBoxX;
    float capTop = -2.2f + glyphMetrics['V'].originY;
    float scale = pixelsPerUnit(15.0f);
    EXPECT_NEAR(left, frameWidth / 2.0f + inkLeft * scale, 3.0f);
    EXPECT_NEAR(right, frameWidth / 2.0f + inkRight * scale, 3.0f);
    EXPECT_NEAR(top, frameHeight / 2.0f - capTop * scale, 3.0f);
}

TEST_F(TextFrames, SpacesNullFormatsAndTimesOutsideTheWindowDrawNothing)
{
    sceneTime = 5.0f;
    printVerseLine(0.0f, 10.0f, 1.0f, "        ");
    expectStateRestored();
    printCreditLine(0.0f, 10.0f, 1.0f, nullptr);
    printGreetingLine(5.5f, 10.0f, 1.0f, "TOO EARLY");
    printCreditLine(0.0f, 4.99f, 1.0f, "TOO LATE");
    // At both ends of the window a line is drawn but dark.
    printCreditLine(5.0f, 9.0f, 1.0f, "STARTING");
    printGreetingLine(1.0f, 5.0f, 1.0f, "ENDING");
    printVerseLine(1.0f, 5.0f, 1.0f, "ENDING");
    expectStateRestored();
    EXPECT_EQ(readFrame().litCount(), 0);
}

TEST_F(TextFrames, LettersAddLightOverWhatIsAlreadyThere)
{
    // A grey frame with a depth-writing black square right in front of the line.
    glClearColor(0.5f, 0.5f, 0.5f, 0.0f);
    clearTextFrame();
    glDisable(GL_TEXTURE_2D);
    glColor3f(0.0f, 0.0f, 0.0f);
    glBegin(GL_QUADS);
    glVertex3f(-1.0f, -1.5f, -2.0f);
    glVertex3f(1.0f, -1.5f, -2.0f);
    glVertex3f(1.0f, 0.0f, -2.0f);
    glVertex3f(-1.0f, 0.0f, -2.0f);
    glEnd();
    glEnable(GL_TEXTURE_2D);

    // Out-phase at u = 0.7: brightness 0.3, the letters receding and converging on the middle.
    sceneTime = 9.7f;
    printCreditLine(0.0f, 10.0f, 1.0f, "VELMORA");
    expectStateRestored();
    Frame frame = readFrame();
    // Grey 128 plus at least 0.3 of white where letters are: only blending by addition gets there.
    EXPECT_GE(brightestChannel(frame), 128 + 70);
    // Letters show on the black square too: the depth test does not hide them.
    int litOnSquare = 0;
    for (int y = frameHeight / 2 + 10; y < frameHeight; ++y)
        for (int x = frameWidth / 2 - 20; x < frameWidth / 2 + 20; ++x)
            litOnSquare += frame.lit(x, y) ? 1 : 0;
    EXPECT_GT(litOnSquare, 0);
}

TEST_F(TextFrames, WithoutAFaceAMessageNamesTheFontAndNothingIsDrawn)
{
    sysSetBatchMode(true);  // the box goes to stderr instead of waiting for a click
    Services noFace;
    noFace.openTextFace = []() -> OutlineFace* { return nullptr; };
    handDownServices(noFace);
    ::testing::internal::CaptureStderr();
    createOutlineFont();
    std::string message = ::testing::internal::GetCapturedStderr();
    handDownServices(Services{});
    EXPECT_NE(message.find("Error: "), std::string::npos) << message;
    EXPECT_NE(message.find("Roboto Black"), std::string::npos) << message;
    EXPECT_EQ(fontListBase, 0u);
    EXPECT_EQ(glyphMetrics['W'].cellIncX, 0.0f);
    sceneTime = 5.0f;
    printCreditLine(0.0f, 10.0f, 1.0f, "NO FONT");
    expectStateRestored();
    EXPECT_EQ(readFrame().litCount(), 0);

    createOutlineFont();
    ASSERT_NE(fontListBase, 0u);
    printCreditLine(0.0f, 10.0f, 1.0f, "FONT");
    EXPECT_GT(readFrame().litCount(), 100);
    deleteOutlineFont();
    EXPECT_EQ(fontListBase, 0u);
    createOutlineFont();
}
