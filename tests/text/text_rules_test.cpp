// The printers' rules without GL: time window, phase order, letter motion, line formatting and
// centred layout.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "render/text.h"

namespace {

const TextPrinter allPrinters[] = {TextPrinter::Credit, TextPrinter::Greeting, TextPrinter::Verse};

int formatLine(char* buffer, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    int length = formatTextLine(buffer, format, args);
    va_end(args);
    return length;
}

}  // namespace

TEST(TextWindow, DrawnAtBothEndsDarkThereAndNotOutside)
{
    EXPECT_TRUE(lineShownAt(5.0f, 5.0f, 17.0f));
    EXPECT_TRUE(lineShownAt(17.0f, 5.0f, 17.0f));
    EXPECT_FALSE(lineShownAt(4.999f, 5.0f, 17.0f));
    EXPECT_FALSE(lineShownAt(17.001f, 5.0f, 17.0f));
    for (TextPrinter printer : allPrinters) {
        LetterPose first = placeLetter(printer, 5.0f, 5.0f, 17.0f, 2.0f, -3.0f);
        EXPECT_EQ(first.phase, TextPhase::In);
        EXPECT_FLOAT_EQ(first.brightness, 0.0f);
        // At the start every letter sits at the eye, turned half a revolution.
        EXPECT_FLOAT_EQ(first.x, 0.0f);
        EXPECT_FLOAT_EQ(first.z, 0.0f);
        EXPECT_TRUE(first.spins);
        EXPECT_FLOAT_EQ(first.spin, 180.0f);

        LetterPose last = placeLetter(printer, 17.0f, 5.0f, 17.0f, 2.0f, -3.0f);
        EXPECT_EQ(last.phase, TextPhase::Out);
        EXPECT_FLOAT_EQ(last.brightness, 0.0f);
    }
}

TEST(TextPhases, CreditLineWithLongFadeFliesInThenOutWithoutHold)
{
    for (float t = 5.0f; t <= 17.0f; t += 0.01f) {
        TextPhase phase = textPhaseAt(t, 5.0f, 17.0f, 6.0f);
        EXPECT_NE(phase, TextPhase::Hold) << "t = " << t;
        EXPECT_EQ(phase, t < 11.0f ? TextPhase::In : TextPhase::Out) << "t = " << t;
    }
    LetterPose flying = placeLetter(TextPrinter::Credit, 8.0f, 5.0f, 17.0f, 6.0f, 2.0f);
    EXPECT_FLOAT_EQ(flying.brightness, 0.5f);
    EXPECT_FLOAT_EQ(flying.x, 1.0f);
    EXPECT_FLOAT_EQ(flying.z, -7.5f);
    EXPECT_FLOAT_EQ(flying.spin, 90.0f);

    // Leaving: receding to 30 units, converging on the centre line, turning and darkening.
    LetterPose leaving = placeLetter(TextPrinter::Credit, 14.0f, 5.0f, 17.0f, 6.0f, 2.0f);
    EXPECT_EQ(leaving.phase, TextPhase::Out);
    EXPECT_FLOAT_EQ(leaving.brightness, 0.5f);
    EXPECT_FLOAT_EQ(leaving.x, 1.0f);
    EXPECT_FLOAT_EQ(leaving.y, -2.0f);
    EXPECT_FLOAT_EQ(leaving.z, -22.5f);
    EXPECT_FLOAT_EQ(leaving.spin, 90.0f);
    LetterPose gone = placeLetter(TextPrinter::Credit, 17.0f, 5.0f, 17.0f, 6.0f, 2.0f);
    EXPECT_FLOAT_EQ(gone.x, 0.0f);
    EXPECT_FLOAT_EQ(gone.z, -30.0f);
}

TEST(TextPhases, CreditLineWithShortFadeHoldsStillAndBright)
{
    EXPECT_EQ(textPhaseAt(5.999f, 5.0f, 17.0f, 1.0f), TextPhase::In);
    EXPECT_EQ(textPhaseAt(16.0f, 5.0f, 17.0f, 1.0f), TextPhase::Out);
    for (float t = 6.0f; t < 16.0f; t += 0.05f) {
        LetterPose pose = placeLetter(TextPrinter::Credit, t, 5.0f, 17.0f, 1.0f, -1.5f);
        ASSERT_EQ(pose.phase, TextPhase::Hold) << "t = " << t;
        EXPECT_FLOAT_EQ(pose.brightness, 1.0f);
        EXPECT_FLOAT_EQ(pose.x, -1.5f);
        EXPECT_FLOAT_EQ(pose.y, -2.0f);
        EXPECT_FLOAT_EQ(pose.z, -15.0f);
        EXPECT_FALSE(pose.spins);
    }
}

TEST(TextPhases, FadeOverHalfTheWindowJumpsStraightToTheOutPhase)
{
    // Window 0..10 with fade 6: in-phase until 6, then the out-phase is already a third done.
    LetterPose before = placeLetter(TextPrinter::Verse, 5.999f, 0.0f, 10.0f, 6.0f, 0.0f);
    LetterPose after = placeLetter(TextPrinter::Verse, 6.0f, 0.0f, 10.0f, 6.0f, 0.0f);
    EXPECT_EQ(before.phase, TextPhase::In);
    EXPECT_NEAR(before.brightness, 1.0f, 1e-3f);
    EXPECT_EQ(after.phase, TextPhase::Out);
    EXPECT_NEAR(after.brightness, 2.0f / 3.0f, 1e-5f);
}

TEST(TextPhases, ZeroFadeHoldsThenEndsDarkWithoutDividingByZero)
{
    LetterPose hold = placeLetter(TextPrinter::Greeting, 5.0f, 5.0f, 17.0f, 0.0f, 1.0f);
    EXPECT_EQ(hold.phase, TextPhase::Hold);
    EXPECT_FLOAT_EQ(hold.y, -3.0f);
    for (TextPrinter printer : allPrinters) {
        LetterPose end = placeLetter(printer, 17.0f, 5.0f, 17.0f, 0.0f, 1.0f);
        EXPECT_EQ(end.phase, TextPhase::Out);
        EXPECT_FLOAT_EQ(end.brightness, 0.0f);
        EXPECT_TRUE(std::isfinite(end.x) && std::isfinite(end.y) && std::isfinite(end.z));
    }
}

TEST(TextMotion, GreetingLineScrollsUpThroughItsHold)
{
    EXPECT_FLOAT_EQ(placeLetter(TextPrinter::Greeting, 11.0f, 10.0f, 20.0f, 2.0f, 0.0f).y, -3.0f);
    LetterPose at12 = placeLetter(TextPrinter::Greeting, 12.0f, 10.0f, 20.0f, 2.0f, 0.0f);
    LetterPose at15 = placeLetter(TextPrinter::Greeting, 15.0f, 10.0f, 20.0f, 2.0f, 0.0f);
    LetterPose at18 = placeLetter(TextPrinter::Greeting, 18.0f, 10.0f, 20.0f, 2.0f, 0.0f);
    EXPECT_EQ(at12.phase, TextPhase::Hold);
    EXPECT_FLOAT_EQ(at12.y, -3.0f);
    EXPECT_FLOAT_EQ(at15.y, 0.0f);
    EXPECT_EQ(at18.phase, TextPhase::Out);
    EXPECT_FLOAT_EQ(at18.y, 3.0f);
    EXPECT_FLOAT_EQ(at18.z, -15.0f);
    // It leaves towards the viewer, converging and turning.
    LetterPose at19 = placeLetter(TextPrinter::Greeting, 19.0f, 10.0f, 20.0f, 2.0f, 4.0f);
    EXPECT_FLOAT_EQ(at19.x, 2.0f);
    EXPECT_FLOAT_EQ(at19.z, -7.5f);
    EXPECT_TRUE(at19.spins);
    EXPECT_FLOAT_EQ(at19.spin, 90.0f);
}

TEST(TextMotion, VerseLineRisesTowardsTheViewerWithoutTurning)
{
    LetterPose pose = placeLetter(TextPrinter::Verse, 9.5f, 0.0f, 10.0f, 1.0f, -4.0f);
    EXPECT_EQ(pose.phase, TextPhase::Out);
    EXPECT_FALSE(pose.spins);
    EXPECT_FLOAT_EQ(pose.x, -4.0f);
    EXPECT_FLOAT_EQ(pose.y, -0.5f);
    EXPECT_FLOAT_EQ(pose.z, -7.5f);
    EXPECT_FLOAT_EQ(pose.brightness, 0.5f);
}

TEST(TextLine, FormatsArgumentsAndCutsLongLinesInsideTheBuffer)
{
    char buffer[textLineBufferSize + 16];
    std::memset(buffer, '#', sizeof buffer);
    EXPECT_EQ(formatLine(buffer, "%s %d", "verse", 4), 7);
    EXPECT_STREQ(buffer, "verse 4");

    std::memset(buffer, '#', sizeof buffer);
    std::string longLine(400, 'x');
    EXPECT_EQ(formatLine(buffer, "%s", longLine.c_str()), textLineBufferSize - 1);
    EXPECT_EQ(std::strlen(buffer), static_cast<size_t>(textLineBufferSize - 1));
    // Nothing past the 256-byte buffer is touched.
    for (size_t i = textLineBufferSize; i < sizeof buffer; ++i)
        EXPECT_EQ(buffer[i], '#');
}

TEST(TextLine, CentresBySummedAdvancesAndSkipsSpaces)
{
    GlyphMetricsFloat metrics[256];
    metrics[static_cast<unsigned char>('A')].cellIncX = 0.75f;
    metrics[static_cast<unsigned char>(' ')].cellIncX = 0.25f;
    metrics[static_cast<unsigned char>('i')].cellIncX = 0.25f;
    metrics[0xE9].cellIncX = 0.5f;  // a byte above 127 reads its own record, not a negative index

    LetterSlot slots[8];
    float width = 0.0f;
    const char text[] = "A i\xE9 ";
    int count = layoutTextLine(text, metrics, slots, &width);
    ASSERT_EQ(count, 3);
    EXPECT_FLOAT_EQ(width, 2.0f);
    EXPECT_EQ(slots[0].code, 'A');
    EXPECT_FLOAT_EQ(slots[0].m, -1.0f);
    EXPECT_EQ(slots[1].code, 'i');
    EXPECT_FLOAT_EQ(slots[1].m, 0.0f);  // after A and the space
    EXPECT_EQ(slots[2].code, 0xE9);
    EXPECT_FLOAT_EQ(slots[2].m, 0.25f);

    EXPECT_EQ(layoutTextLine("    ", metrics, slots, &width), 0);
    EXPECT_FLOAT_EQ(width, 1.0f);
    EXPECT_EQ(layoutTextLine("", metrics, slots, &width), 0);
}
