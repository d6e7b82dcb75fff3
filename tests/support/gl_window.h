// The one window of the tests that draw: made under the test display through the platform layer,
// with the tests' own GL context or with the one the window module's initGL makes as a run starts. A test that
// cannot get it skips, or fails when VELMORA_REQUIRE_GL=1 (scripts/test sets it, so that a broken
// display never passes for a green run).
#pragma once
#include <gtest/gtest.h>

#include <string>

// Opens the video layer and a width x height window (and its GL context when withContext), in
// batch mode. False with why when any step fails.
bool openTestWindow(const char* title, int width, int height, bool withContext, std::string* why);

// Releases the GL context of the window openTestWindow made.
void closeTestWindow();

// How a suite's window gets its GL context: its own (projection and state are the test's business),
// or the program's: initGL's context, projection, fixed state, frame layout and outline font.
enum class SuiteGl { Own, Program };

// openTestWindow without a context, then initGL. closeProgramWindow undoes it.
bool openProgramWindow(const char* title, int width, int height, std::string* why);
void closeProgramWindow();

// Whether a missing window is a failure rather than a skip.
bool glRequired();

// A suite of tests that draw into one Width x Height window with its GL context, opened before the
// suite's first test and released after its last. Each test's SetUp begins with
// VELMORA_NEED_WINDOW(windowReady_, whyNoWindow_).
template <int Width, int Height, SuiteGl Gl = SuiteGl::Own>
class GlWindowSuite : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        windowReady_ = Gl == SuiteGl::Own ? openTestWindow("test window", Width, Height, true, &whyNoWindow_)
                                          : openProgramWindow("test window", Width, Height, &whyNoWindow_);
    }
    static void TearDownTestSuite()
    {
        if (windowReady_) {
            Gl == SuiteGl::Own ? closeTestWindow() : closeProgramWindow();
            windowReady_ = false;
        }
    }
    static inline bool windowReady_ = false;
    static inline std::string whyNoWindow_;
};

// In a test or SetUp: ends the test when ready is false, as a failure or a skip (see above).
#define VELMORA_NEED_WINDOW(ready, why)                                                                                \
    do {                                                                                                               \
        if (!(ready)) {                                                                                                \
            if (glRequired())                                                                                          \
                GTEST_FAIL() << "no GL window (VELMORA_REQUIRE_GL=1): " << (why);                                      \
            else                                                                                                       \
                GTEST_SKIP() << "no GL window: " << (why);                                                             \
        }                                                                                                              \
    } while (0)
