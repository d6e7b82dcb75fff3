// The timelines of the Title, Credits and First verse scenes at the edge times that the eye sees:
// flashes, fades, emission limits, the blobs lighting up, and the texts' fixed lengths.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "scenes/credits.h"
#include "scenes/first_verse.h"
#include "scenes/texts.h"
#include "scenes/title.h"

// GL clamps colours to 0..1; the timelines rely on it, so compare what is drawn.
static float drawn(float brightness)
{
    return std::fmin(1.0f, std::fmax(0.0f, brightness));
}

TEST(TitleTimeline, OpeningFlashFallsFromFullWhiteOverTheFirstSecond)
{
    EXPECT_TRUE(titleFlashShown(0.0f));
    EXPECT_FLOAT_EQ(titleFlashBrightness(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(titleFlashBrightness(0.5f), 0.5f);
    EXPECT_TRUE(titleFlashShown(1.0f));
    EXPECT_FLOAT_EQ(drawn(titleFlashBrightness(1.0f)), 0.0f);
    EXPECT_FALSE(titleFlashShown(1.01f));
}

TEST(TitleTimeline, StreaksDimOverTheLastTwoSeconds)
{
    EXPECT_FLOAT_EQ(titleStreakBrightness(0.0f), 1.0f);
    EXPECT_FLOAT_EQ(titleStreakBrightness(23.0f), 1.0f);
    EXPECT_FLOAT_EQ(titleStreakBrightness(24.0f), 0.5f);
    EXPECT_FLOAT_EQ(0.2f * titleStreakBrightness(24.0f), 0.1f);  // the glowing corners' colour
    EXPECT_FLOAT_EQ(titleStreakBrightness(25.0f), 0.0f);
}

TEST(TitleTimeline, EachStreamStopsEmittingAtItsOwnLimit)
{
    EXPECT_TRUE(titleStreamEmits(TitleRed, 15.99f));
    EXPECT_FALSE(titleStreamEmits(TitleRed, 16.0f));
    EXPECT_TRUE(titleStreamEmits(TitleBlue, 17.99f));
    EXPECT_FALSE(titleStreamEmits(TitleBlue, 18.0f));
    EXPECT_TRUE(titleStreamEmits(TitleGreen, 19.99f));
    EXPECT_FALSE(titleStreamEmits(TitleGreen, 20.0f));
    for (TitleStream stream : {TitleRed, TitleGreen, TitleBlue}) {
        EXPECT_TRUE(titleStreamEmits(stream, 0.0f));
        EXPECT_FALSE(titleStreamEmits(stream, titleDuration));
    }
}

TEST(CreditsTimeline, BackgroundShootsAwayWithinTheFirstSecond)
{
    EXPECT_TRUE(creditsSlideShown(0.0f));
    EXPECT_FLOAT_EQ(creditsSlideOffset(0.0f), 0.0f);
    EXPECT_FLOAT_EQ(creditsSlideOffset(0.5f), 1.5f);
    EXPECT_FALSE(creditsSlideShown(1.0f));
}

TEST(CreditsTimeline, WhiteOverlayComesUpOverTheLastSecondAndAHalf)
{
    EXPECT_FALSE(creditsWhiteShown(33.0f));
    EXPECT_TRUE(creditsWhiteShown(33.25f));
    EXPECT_FLOAT_EQ(creditsWhiteBrightness(33.5f), 0.5f);
    EXPECT_FLOAT_EQ(drawn(creditsWhiteBrightness(34.0f)), 1.0f);
    EXPECT_FLOAT_EQ(drawn(creditsWhiteBrightness(creditsDuration)), 1.0f);
}

TEST(CreditsTimeline, LinesFollowEachOtherWithNoTextAfterTwentySeven)
{
    for (int i = 0; i < 3; ++i) {
        // A 12 s window and a 6 s transition: in and straight out again.
        EXPECT_FLOAT_EQ(creditWindows[i].end - creditWindows[i].start, 2.0f * creditFade);
        EXPECT_FLOAT_EQ(creditWindows[i].start, 5.0f + 5.0f * i);
    }
    EXPECT_FLOAT_EQ(creditWindows[2].end, 27.0f);
}

TEST(FirstVerseTimeline, OverlaysOpenOutOfWhiteFlashAtTenAndEndInWhite)
{
    // t = 0: the whole picture covered.
    EXPECT_TRUE(firstVerseOpeningShown(0.0f));
    EXPECT_FLOAT_EQ(firstVerseOpeningBrightness(0.0f), 1.0f);
    EXPECT_FALSE(firstVerseOpeningShown(1.0f));
    // 9..10: rising from nothing to full.
    EXPECT_FALSE(firstVerseRisingShown(9.0f));
    EXPECT_FLOAT_EQ(firstVerseRisingBrightness(9.5f), 0.5f);
    EXPECT_TRUE(firstVerseRisingShown(9.99f));
    // Exactly 10: the rising one is gone, the falling one starts at full white.
    EXPECT_FALSE(firstVerseRisingShown(10.0f));
    EXPECT_TRUE(firstVerseFallingShown(10.0f));
    EXPECT_FLOAT_EQ(firstVerseFallingBrightness(10.0f), 1.0f);
    EXPECT_FLOAT_EQ(firstVerseFallingBrightness(10.25f), 0.5f);
    EXPECT_FALSE(firstVerseFallingShown(10.5f));
    // The end: full white on the last frame, nothing from the other overlays.
    EXPECT_FALSE(firstVerseEndShown(17.5f));
    EXPECT_FLOAT_EQ(drawn(firstVerseEndBrightness(firstVerseDuration)), 1.0f);
    EXPECT_FALSE(firstVerseOpeningShown(firstVerseDuration));
    EXPECT_FALSE(firstVerseRisingShown(firstVerseDuration));
    EXPECT_FALSE(firstVerseFallingShown(firstVerseDuration));
}

TEST(FirstVerseTimeline, BlobsLightUpAndParticlesStopJustAfterTheFlash)
{
    EXPECT_FALSE(blobsLitAt(0.0f));
    EXPECT_FALSE(blobsLitAt(10.0f));
    EXPECT_TRUE(blobsLitAt(std::nextafter(10.0f, 11.0f)));
    EXPECT_TRUE(firstVerseParticlesEmit(9.99f));
    EXPECT_FALSE(firstVerseParticlesEmit(10.0f));
}

TEST(FirstVerseTimeline, VerseLinesOverlapByOneSecondAndAreGoneBeforeTheEnd)
{
    for (int i = 0; i + 1 < 5; ++i) {
        EXPECT_FLOAT_EQ(firstVerseWindows[i].end - firstVerseWindows[i + 1].start, 1.0f);
    }
    EXPECT_FLOAT_EQ(firstVerseWindows[0].start, 2.0f);
    EXPECT_FLOAT_EQ(firstVerseWindows[4].end, 18.0f);
    EXPECT_LT(firstVerseWindows[4].end, firstVerseDuration);
}

// The layouts were made for these lengths: a line edited to another length breaks its timing.
TEST(Texts, TitleCreditsAndFirstVerseKeepTheirLengths)
{
    EXPECT_STREQ(titleText, "Velmora");
    const size_t creditLengths[3] = {18, 18, 20};
    for (int i = 0; i < 3; ++i) {
        ASSERT_NE(creditLines[i], nullptr);
        EXPECT_EQ(std::strlen(creditLines[i]), creditLengths[i]) << "credit line " << i + 1;
    }
    const size_t verseLengths[5] = {19, 23, 20, 17, 40};
    for (int i = 0; i < 5; ++i) {
        ASSERT_NE(firstVerseLines[i], nullptr);
        EXPECT_EQ(std::strlen(firstVerseLines[i]), verseLengths[i]) << "verse line " << i + 1;
    }
}

// The printers take each line as a format and draw 7-bit ASCII only.
TEST(Texts, LinesArePlainAsciiWithoutFormatDirectives)
{
    std::vector<const char*> lines = {titleText};
    lines.insert(lines.end(), creditLines, creditLines + 3);
    lines.insert(lines.end(), firstVerseLines, firstVerseLines + 5);
    for (const char* line : lines) {
        for (const char* c = line; *c != '\0'; ++c) {
            EXPECT_TRUE(*c >= 32 && *c < 127 && *c != '%') << "in \"" << line << "\"";
        }
    }
}
