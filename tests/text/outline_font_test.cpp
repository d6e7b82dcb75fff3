// The outline font builder without GL: code page, curve flattening, tessellation with the
// non-zero rule and outward side walls, and the glyphs of the real text face.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "outline_checks.h"
#include "render/outline_font.h"

namespace {

// Sum of the triangle areas; fails the test on a triangle that is not counter-clockwise.
float triangleArea(const std::vector<OutlinePoint>& tri)
{
    double area = 0.0;
    for (size_t i = 0; i + 2 < tri.size(); i += 3) {
        float twice = cross(tri[i], tri[i + 1], tri[i + 2]);
        EXPECT_GT(twice, 0.0f) << "triangle " << i / 3 << " is not counter-clockwise from +z";
        area += twice / 2.0f;
    }
    return static_cast<float>(area);
}

int holeCount(const GlyphGeometry& g)
{
    return static_cast<int>(std::count_if(g.boundary.begin(), g.boundary.end(),
                                          [](const OutlineContour& c) { return signedArea(c) < 0.0f; }));
}

// Every side wall must face away from the filled region: just outside its edge the outline has
// winding 0, just inside it does not. Returns how many edges break that.
int wallsFacingInward(const GlyphGeometry& g)
{
    int wrong = 0;
    for (const OutlineContour& loop : g.boundary) {
        for (size_t i = 0; i < loop.size(); ++i) {
            OutlinePoint a = loop[i];
            OutlinePoint b = loop[(i + 1) % loop.size()];
            float dx = b.x - a.x;
            float dy = b.y - a.y;
            float len = std::sqrt(dx * dx + dy * dy);
            if (len < 0.01f)
                continue;  // too short to probe reliably next to its corners
            // The wall's normal as the list draws it: to the right of the direction of travel.
            OutlinePoint mid = pt((a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f);
            const float step = 2e-4f;
            OutlinePoint outside = pt(mid.x + dy / len * step, mid.y - dx / len * step);
            OutlinePoint inside = pt(mid.x - dy / len * step, mid.y + dx / len * step);
            if (windingAt(g.contours, outside) != 0 || windingAt(g.contours, inside) == 0)
                ++wrong;
        }
    }
    return wrong;
}

// Largest distance from points along the true curve to the polyline that replaces it.
template <typename Curve>
float worstDistance(Curve curve, const OutlineContour& polyline)
{
    float worst = 0.0f;
    for (int s = 0; s <= 1000; ++s)
        worst = std::max(worst, distanceToPolyline(polyline, curve(static_cast<float>(s) / 1000.0f), false));
    return worst;
}

OutlineContour square(float x0, float y0, float x1, float y1, bool clockwise)
{
    OutlineContour c = {pt(x0, y0), pt(x1, y0), pt(x1, y1), pt(x0, y1)};
    if (clockwise)
        std::reverse(c.begin(), c.end());
    return c;
}

}  // namespace

TEST(OutlineCodePage, Windows1252)
{
    EXPECT_EQ(windows1252ToUnicode('A'), 0x41u);
    EXPECT_EQ(windows1252ToUnicode(0x80), 0x20ACu);  // euro sign
    EXPECT_EQ(windows1252ToUnicode(0x92), 0x2019u);  // right single quotation mark
    EXPECT_EQ(windows1252ToUnicode(0x9F), 0x0178u);
    EXPECT_EQ(windows1252ToUnicode(0x81), 0u);  // undefined in the code page
    EXPECT_EQ(windows1252ToUnicode(0xA0), 0xA0u);
    EXPECT_EQ(windows1252ToUnicode(0xFF), 0xFFu);
}

TEST(OutlineFlattening, ChordsStayWithinTheDeviation)
{
    OutlinePoint q0 = pt(0.0f, 0.0f), q1 = pt(1.0f, 2.0f), q2 = pt(2.0f, 0.0f);
    auto quadratic = [&](float t) {
        float s = 1.0f - t;
        return pt(s * s * q0.x + 2 * s * t * q1.x + t * t * q2.x, s * s * q0.y + 2 * s * t * q1.y + t * t * q2.y);
    };
    OutlinePoint c0 = pt(0.0f, 0.0f), c1 = pt(0.0f, 1.0f), c2 = pt(1.0f, 1.0f), c3 = pt(1.0f, 0.0f);
    auto cubic = [&](float t) {
        float s = 1.0f - t;
        float a = s * s * s, b = 3 * s * s * t, c = 3 * s * t * t, d = t * t * t;
        return pt(a * c0.x + b * c1.x + c * c2.x + d * c3.x, a * c0.y + b * c1.y + c * c2.y + d * c3.y);
    };
    for (float deviation : {0.1f, 0.01f}) {
        OutlineContour q = {q0};
        flattenQuadratic(q0, q1, q2, deviation, &q);
        EXPECT_LE(worstDistance(quadratic, q), deviation * 1.001f);
        EXPECT_FLOAT_EQ(q.back().x, q2.x);
        OutlineContour c = {c0};
        flattenCubic(c0, c1, c2, c3, deviation, &c);
        EXPECT_LE(worstDistance(cubic, c), deviation * 1.001f);
        EXPECT_FLOAT_EQ(c.back().x, c3.x);
        EXPECT_GT(c.size(), 3u);
    }
    // A curve that strays 0.08 from its chord stays one chord.
    OutlineContour flat = {q0};
    flattenQuadratic(q0, pt(1.0f, 0.16f), q2, 0.1f, &flat);
    EXPECT_EQ(flat.size(), 2u);
}

TEST(OutlineTessellation, HolesAndWallsWhicheverWayTheContoursTurn)
{
    for (bool clockwiseOuter : {true, false}) {
        SCOPED_TRACE(clockwiseOuter ? "TrueType orientation" : "PostScript orientation");
        GlyphGeometry g;
        g.contours.push_back(square(0.0f, 0.0f, 1.0f, 1.0f, clockwiseOuter));
        g.contours.push_back(square(0.25f, 0.25f, 0.75f, 0.75f, !clockwiseOuter));
        tessellateOutline(&g);
        EXPECT_FALSE(g.tessError) << g.tessErrorText;
        EXPECT_NEAR(triangleArea(g.triangles), 0.75f, 1e-5f);
        ASSERT_EQ(g.boundary.size(), 2u);
        EXPECT_EQ(holeCount(g), 1);
        EXPECT_EQ(wallsFacingInward(g), 0);
    }
}

TEST(OutlineTessellation, OverlappingContoursJoinInsteadOfPunchingHoles)
{
    GlyphGeometry g;
    g.contours.push_back(square(0.0f, 0.0f, 2.0f, 2.0f, true));
    g.contours.push_back(square(1.0f, 1.0f, 3.0f, 3.0f, true));
    tessellateOutline(&g);
    EXPECT_FALSE(g.tessError);
    // The union (7), not the odd-rule area (6) with a hole where the squares overlap.
    EXPECT_NEAR(triangleArea(g.triangles), 7.0f, 1e-5f);
    ASSERT_EQ(g.boundary.size(), 1u);
    EXPECT_NEAR(signedArea(g.boundary[0]), 7.0f, 1e-5f);
    EXPECT_EQ(wallsFacingInward(g), 0);
}

class TextFace : public ::testing::Test {
protected:
    static void SetUpTestSuite() { face = openTextFace(); }
    static void TearDownTestSuite()
    {
        closeOutlineFace(face);
        face = nullptr;
    }
    void SetUp() override { ASSERT_NE(face, nullptr) << textFontName << " cannot be opened"; }

    GlyphGeometry glyph(char code, GlyphMetricsFloat* metrics = nullptr)
    {
        GlyphGeometry g;
        GlyphMetricsFloat m;
        EXPECT_TRUE(loadGlyphOutline(face, static_cast<uint8_t>(code), 0.1f, &g, &m)) << code;
        tessellateOutline(&g);
        if (metrics)
            *metrics = m;
        return g;
    }

    static OutlineFace* face;
};

OutlineFace* TextFace::face = nullptr;

TEST_F(TextFace, IsRobotoBlack)
{
    EXPECT_EQ(outlineFaceName(face), "Roboto Black");
}

TEST_F(TextFace, EveryPrintableAsciiGlyphIsSolidWithOutwardWalls)
{
    for (int code = 33; code <= 126; ++code) {
        SCOPED_TRACE(std::string("character ") + static_cast<char>(code));
        GlyphGeometry g = glyph(static_cast<char>(code));
        EXPECT_FALSE(g.tessError) << g.tessErrorText;
        ASSERT_FALSE(g.contours.empty());
        float area = triangleArea(g.triangles);
        EXPECT_GT(area, 0.001f);
        // The walls enclose exactly the area the faces fill.
        float enclosed = 0.0f;
        for (const OutlineContour& loop : g.boundary)
            enclosed += signedArea(loop);
        EXPECT_NEAR(enclosed, area, area * 0.01f);
        EXPECT_EQ(wallsFacingInward(g), 0);
    }
}

TEST_F(TextFace, LettersWithCountersHaveHoles)
{
    EXPECT_EQ(holeCount(glyph('O')), 1);
    EXPECT_EQ(holeCount(glyph('B')), 2);
    EXPECT_EQ(holeCount(glyph('8')), 2);
    EXPECT_GE(holeCount(glyph('@')), 1);
    EXPECT_EQ(holeCount(glyph('T')), 0);
}

TEST_F(TextFace, MetricsAreInEmUnits)
{
    GlyphMetricsFloat w, i, h, space;
    glyph('W', &w);
    glyph('i', &i);
    glyph('H', &h);
    GlyphGeometry blank;
    EXPECT_TRUE(loadGlyphOutline(face, ' ', 0.1f, &blank, &space));
    EXPECT_GT(w.cellIncX, i.cellIncX);
    EXPECT_GT(h.blackBoxY, 0.6f);  // a capital is about 0.7 em tall
    EXPECT_LT(h.blackBoxY, 0.8f);
    EXPECT_NEAR(h.originY, h.blackBoxY, 0.01f);  // capitals stand on the baseline
    EXPECT_FLOAT_EQ(h.cellIncY, 0.0f);
    EXPECT_TRUE(blank.contours.empty());
    EXPECT_GT(space.cellIncX, 0.1f);
}

TEST_F(TextFace, MissingGlyphDrawsNothingButAdvances)
{
    GlyphGeometry g;
    GlyphMetricsFloat undefinedByte, privateUse;
    EXPECT_FALSE(loadGlyphOutline(face, 0x81, 0.1f, &g, &undefinedByte));
    EXPECT_TRUE(g.contours.empty());
    EXPECT_GT(undefinedByte.cellIncX, 0.1f);
    EXPECT_FLOAT_EQ(undefinedByte.blackBoxX, 0.0f);
    // Code 0x90 is undefined too: both get the same missing-glyph advance.
    EXPECT_FALSE(loadGlyphOutline(face, 0x90, 0.1f, &g, &privateUse));
    EXPECT_FLOAT_EQ(privateUse.cellIncX, undefinedByte.cellIncX);
}

TEST(OutlineFaceOpening, MissingOrBrokenFilesGiveNoFace)
{
    EXPECT_EQ(openOutlineFace(nullptr), nullptr);
    EXPECT_EQ(openOutlineFace(""), nullptr);
    EXPECT_EQ(openOutlineFace("/nonexistent/font.ttf"), nullptr);
    // A file that is not a font at all.
    EXPECT_EQ(openOutlineFace(VELMORA_SOURCE_DIR "/tests/text/outline_font_test.cpp"), nullptr);
}

TEST(OutlineFaceOpening, FontconfigOffersALoadableRobotoFace)
{
    std::string path = askFontconfigForTextFont();
    ASSERT_FALSE(path.empty());
    OutlineFace* face = openOutlineFace(path.c_str());
    ASSERT_NE(face, nullptr) << path;
    EXPECT_EQ(outlineFaceName(face).rfind("Roboto", 0), 0u) << outlineFaceName(face);
    closeOutlineFace(face);
}
