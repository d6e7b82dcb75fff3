// The timelines of the Second, Third and Fourth verse and the closing scene at their edge times
// (their flashes and fades are checked on drawn frames), their pass rules by object name, the
// sway, and the lengths and form of their texts.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "render/text.h"
#include "scenes/closing.h"
#include "scenes/fourth_verse.h"
#include "scenes/second_verse.h"
#include "scenes/texts.h"
#include "scenes/third_verse.h"

namespace {

// The name buffer a loaded object has: 80 bytes, zero-filled past the text.
struct Name {
    char text[80] = {};
    explicit Name(const char* s) { std::strncpy(text, s, sizeof(text) - 1); }
};

}  // namespace

TEST(SecondVerseTimeline, PassesByName)
{
    EXPECT_TRUE(wholeModelOpaque(Name("wall").text));
    EXPECT_FALSE(wholeModelAdditive(Name("wall").text));
    // '*' first and '%' second: additive only.
    EXPECT_FALSE(wholeModelOpaque(Name("*%glow").text));
    EXPECT_TRUE(wholeModelAdditive(Name("*%glow").text));
    // An emitter without '%' is drawn by neither pass.
    EXPECT_FALSE(wholeModelOpaque(Name("*1spark").text));
    EXPECT_FALSE(wholeModelAdditive(Name("*1spark").text));
    EXPECT_TRUE(wholeModelAdditive(Name("%glass").text));
    EXPECT_TRUE(wholeModelAdditive(Name("#%arc").text));
    EXPECT_FALSE(wholeModelOpaque(Name("#%arc").text));
    // A bolt object without marks is an ordinary opaque mesh here.
    EXPECT_TRUE(wholeModelOpaque(Name("#bolt").text));
    // Short names never read past their end.
    EXPECT_TRUE(wholeModelOpaque(""));
    EXPECT_TRUE(wholeModelAdditive("%"));
    EXPECT_FALSE(wholeModelOpaque("*"));
}

TEST(SecondVerseTimeline, OnlyRealTracksMoveAnObject)
{
    SceneObject object;
    object.positionKeyCount = 1;
    object.rotationKeyCount = 1;
    EXPECT_FALSE(followsItsTracks(object));
    object.rotationKeyCount = 4;
    EXPECT_TRUE(followsItsTracks(object));
    object.rotationKeyCount = 0;
    object.positionKeyCount = 2;
    EXPECT_TRUE(followsItsTracks(object));
}

TEST(ThirdVerseTimeline, ShellAndEmission)
{
    // At 0 the shells collapse their outer edge onto the origin; they swing between -5 and 5.
    EXPECT_EQ(metaShellFactor(0.0f), 0.0f);
    EXPECT_NEAR(metaShellFactor(static_cast<float>(0.75 * 3.14159265)), 5.0f, 1e-4f);
    EXPECT_NEAR(metaShellFactor(static_cast<float>(2.25 * 3.14159265)), -5.0f, 1e-4f);

    EXPECT_TRUE(blueStreamEmits(9.99f));
    EXPECT_FALSE(blueStreamEmits(10.0f));
    EXPECT_TRUE(greenStreamEmits(10.0f));
    EXPECT_TRUE(greenStreamEmits(14.99f));
    EXPECT_FALSE(greenStreamEmits(15.0f));
}

TEST(FourthVerseTimeline, LinesOverlapByHalfASecond)
{
    // The first line is alone from 2 to 4.5 s, overlapping the second only in its exit.
    EXPECT_FLOAT_EQ(fourthVerseWindows[0][0], 2.0f);
    EXPECT_FLOAT_EQ(fourthVerseWindows[1][0], fourthVerseWindows[0][1] - 0.5f);
    EXPECT_FLOAT_EQ(fourthVerseWindows[4][1], 16.0f);
}

TEST(FourthVerseTimeline, PassesByName)
{
    EXPECT_TRUE(roomSolidPass(Name("floor").text));
    EXPECT_FALSE(roomGlowPass(Name("floor").text));
    EXPECT_FALSE(roomSwayPass(Name("floor").text));
    // '%' in both places: glow and sway, never solid.
    EXPECT_FALSE(roomSolidPass(Name("%%flame").text));
    EXPECT_TRUE(roomGlowPass(Name("%%flame").text));
    EXPECT_TRUE(roomSwayPass(Name("%%flame").text));
    EXPECT_TRUE(roomSwayPass(Name("%flame").text));
    EXPECT_FALSE(roomGlowPass(Name("%flame").text));
    // An emitter is drawn only when its second character is '%', and then only as a glow.
    EXPECT_FALSE(roomSolidPass(Name("*1candle").text));
    EXPECT_FALSE(roomGlowPass(Name("*1candle").text));
    EXPECT_FALSE(roomSwayPass(Name("*1candle").text));
    EXPECT_TRUE(roomGlowPass(Name("*%candle").text));
    EXPECT_FALSE(roomSwayPass(Name("*%candle").text));
}

TEST(FourthVerseSway, NeverChangesHeight)
{
    const Vec3d rest{10.0, -4.0, -30.0};
    for (float t : {0.0f, 0.3f, 4.2f, 16.9f}) {
        for (double y : {-50.0, -3.0, 0.0, 7.5, 120.0}) {
            const Vec3d v{25.0, y, -12.0};
            const double k = swayFactor(t, y);
            EXPECT_GE(k, 0.1 - 1e-12);
            EXPECT_LE(k, 0.9 + 1e-12);
            EXPECT_EQ(swayVertex(v, rest, k).y, y) << "t " << t << " y " << y;
        }
    }
}

TEST(FourthVerseSway, HalfFactorGivesHalfWidthAboutTheRestPosition)
{
    // sin(2.5 t + y / 6) = 0 at t = 0 and y = 0.
    const double k = swayFactor(0.0f, 0.0);
    EXPECT_DOUBLE_EQ(k, 0.5);
    const Vec3d rest{100.0, 0.0, -40.0};
    const Vec3d left = swayVertex(Vec3d{80.0, 0.0, -40.0}, rest, k);
    const Vec3d right = swayVertex(Vec3d{120.0, 0.0, -40.0}, rest, k);
    const Vec3d back = swayVertex(Vec3d{100.0, 0.0, -60.0}, rest, k);
    EXPECT_DOUBLE_EQ(left.x, 90.0);
    EXPECT_DOUBLE_EQ(right.x, 110.0);
    EXPECT_DOUBLE_EQ(back.z, -50.0);
    // The wave runs down the object: what is at height y now is at y - 15 one second later.
    EXPECT_NEAR(swayFactor(1.0f, 30.0 - 15.0), swayFactor(0.0f, 30.0), 1e-12);
}

TEST(ClosingTimeline, ParticlesAndStreakFactor)
{
    EXPECT_FALSE(closingParticlesShown(21.5f));
    EXPECT_TRUE(closingParticlesShown(21.51f));
    EXPECT_TRUE(closingParticlesBorn(54.99f));
    EXPECT_FALSE(closingParticlesBorn(55.0f));
    EXPECT_TRUE(closingParticlesShown(59.5f));  // still drawn while they die out

    EXPECT_FLOAT_EQ(closingFadeBrightness(60.0f), 1.0f);

    EXPECT_FLOAT_EQ(streakStartFactor(0.0f), 4.0f);
    for (float t = 0.0f; t <= 60.0f; t += 0.37f) {
        EXPECT_GE(streakStartFactor(t), 1.0f);
        EXPECT_LE(streakStartFactor(t), 7.0f);
    }
}

TEST(ClosingTimeline, WhichLinesThePrinterDraws)
{
    auto shownAt = [](float t) {
        std::string shown;
        for (int line = 0; line < closingLineCount; ++line) {
            if (lineShownAt(t, closingWindows[line][0], closingWindows[line][1])) {
                shown += std::to_string(line + 1) + " ";
            }
        }
        return shown;
    };
    EXPECT_EQ(shownAt(30.0f), "10 11 12 13 14 15 ");
    EXPECT_EQ(shownAt(41.0f), "16 17 18 19 ");
    EXPECT_EQ(shownAt(56.0f), "21 ");
    EXPECT_EQ(shownAt(56.01f), "");
    EXPECT_EQ(shownAt(59.9f), "");

    // At 30 s line 10 ends its exit (brightness 0) and line 15 starts its entry (brightness 0).
    const LetterPose leaving = placeLetter(TextPrinter::Greeting, 30.0f, 19.0f, 30.0f, closingFade, 0.0f);
    EXPECT_EQ(leaving.phase, TextPhase::Out);
    EXPECT_FLOAT_EQ(leaving.brightness, 0.0f);
    const LetterPose entering = placeLetter(TextPrinter::Greeting, 30.0f, 29.0f, 40.0f, closingFade, 0.0f);
    EXPECT_EQ(entering.phase, TextPhase::In);
    EXPECT_FLOAT_EQ(entering.brightness, 0.5f);

    for (int line = 0; line < closingLineCount; ++line) {
        EXPECT_FLOAT_EQ(closingWindows[line][1] - closingWindows[line][0], 11.0f) << "line " << line + 1;
    }
}

namespace {

void expectLengths(const char* const* lines, std::initializer_list<size_t> lengths, const char* table)
{
    size_t i = 0;
    for (size_t length : lengths) {
        ASSERT_NE(lines[i], nullptr) << table << " line " << i + 1;
        EXPECT_EQ(std::strlen(lines[i]), length) << table << " line " << i + 1 << ": \"" << lines[i] << "\"";
        for (const char* c = lines[i]; *c != '\0'; ++c) {
            // Printable 7-bit ASCII, and never a format directive: the text is the printer's format.
            EXPECT_TRUE(*c >= 0x20 && *c < 0x7F) << table << " line " << i + 1;
            EXPECT_NE(*c, '%') << table << " line " << i + 1;
        }
        ++i;
    }
}

}  // namespace

TEST(LaterTexts, LengthsMatchTheLayouts)
{
    expectLengths(secondVerseLines, {24, 26, 23, 19}, "second verse");
    expectLengths(thirdVerseLines, {25, 17, 22, 18}, "third verse");
    expectLengths(fourthVerseLines, {29, 32, 31, 40, 32}, "fourth verse");
    expectLengths(closingLines, {15, 7, 9, 14, 8, 8, 7, 6, 4, 11, 13, 6, 14, 4, 5, 15, 28, 27, 27, 15, 33}, "closing");
    EXPECT_EQ(thirdVerseLines[1][16], ' ');
}

TEST(LaterTexts, ClosingRolesAreInPlace)
{
    for (int line : {15, 19}) {
        EXPECT_EQ(std::string(closingLines[line]), std::string(15, '=')) << "line " << line + 1;
    }
    // The fourteen greeted groups are names, not separators, and none repeats.
    for (int a = 1; a <= 14; ++a) {
        EXPECT_EQ(std::strchr(closingLines[a], '='), nullptr);
        for (int b = a + 1; b <= 14; ++b) {
            EXPECT_STRNE(closingLines[a], closingLines[b]);
        }
    }
    // The lines that sign the presentation name the makers the credits name.
    std::string signature;
    for (int line = 16; line <= 18; ++line) {
        signature += closingLines[line];
    }
    for (const char* credit : creditLines) {
        const std::string maker = std::strchr(credit, ':') + 2;
        EXPECT_NE(signature.find(maker), std::string::npos) << maker;
    }
}
