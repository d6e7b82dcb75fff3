// The scene clock and the scene loop protocol, driven by a fake tick source and a scripted message
// queue, and the sequencer's order of calls.
#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "core/clock.h"
#include "platform/platform.h"
#include "scenes/kit.h"
#include "scenes/scenes.h"
#include "shell/sequencer.h"
#include "shell/window.h"
#include "tests/support/fake_ticks.h"

namespace {

struct ScriptedMessage {
    Message message;
    uint32_t ticksWhenTaken;  // the clock moves on by this much while the message is handled
};
std::deque<ScriptedMessage> queue;
std::vector<float> framesDrawnAt;
uint32_t ticksPerFrame = 100;

bool peekScripted(Message* message)
{
    if (queue.empty()) {
        return false;
    }
    *message = queue.front().message;
    fakeTicks += queue.front().ticksWhenTaken;
    queue.pop_front();
    return true;
}
void clearNothing() {}
void presentAndAdvance()
{
    fakeTicks += ticksPerFrame;
}
void recordFrame()
{
    framesDrawnAt.push_back(sceneTime);
}

class SceneLoop : public ::testing::Test {
protected:
    void SetUp() override
    {
        fakeTicks = 5000;
        ticksPerFrame = 100;
        queue.clear();
        framesDrawnAt.clear();
        escapeFlag = false;
        Services table = fakeTickServices();
        table.peekMessage = peekScripted;
        table.clear = clearNothing;
        table.present = presentAndAdvance;
        table.handleMessage = mainWindowProc;
        handDownServices(table);
    }
    void TearDown() override
    {
        handDownServices(Services{});
        escapeFlag = false;
    }
};

Message otherMessage()
{
    Message m;
    m.kind = MessageKind::Other;
    return m;
}

}  // namespace

TEST_F(SceneLoop, ClockStartsAtZeroAndCountsFromTheTickCount)
{
    startSceneClock(2.0f);
    EXPECT_EQ(sceneTime, 0.0f);
    EXPECT_EQ(sceneDuration, 2.0f);
    fakeTicks += 1500;
    EXPECT_TRUE(tickSceneClock());
    EXPECT_NEAR(sceneTime, 1.5f, 1e-3f);
    fakeTicks += 600;
    EXPECT_FALSE(tickSceneClock());
}

TEST_F(SceneLoop, FrameAtExactlyTheDurationIsDrawn)
{
    // Ticks chosen so that the last frame falls exactly on the duration in float arithmetic.
    fakeTicks = 0;
    ticksPerFrame = 250;
    runSceneLoop(1.0f, recordFrame);
    ASSERT_EQ(framesDrawnAt.size(), 5u);
    EXPECT_EQ(framesDrawnAt.front(), 0.0f);
    EXPECT_EQ(framesDrawnAt.back(), 1.0f);
}

TEST_F(SceneLoop, MessagesAreHandledOneAtATimeWithTheClockCheckedBetween)
{
    // After the first frame three messages arrive, each taking 0.1 s: the first takes the clock to
    // 0.2, the second past the end at 0.25, so the third is never handled and no frame is drawn
    // in between.
    runSceneLoop(0.25f, [] {
        recordFrame();
        if (framesDrawnAt.size() == 1) {
            for (int i = 0; i < 3; ++i) {
                queue.push_back({otherMessage(), 100});
            }
        }
    });
    EXPECT_EQ(framesDrawnAt.size(), 1u);
    EXPECT_EQ(queue.size(), 1u);
}

TEST_F(SceneLoop, CloseMessageSetsEscapeAndEndsTheScene)
{
    Message close;
    close.kind = MessageKind::Close;
    runSceneLoop(10.0f, [] {
        recordFrame();
        if (framesDrawnAt.size() == 3) {
            Message m;
            m.kind = MessageKind::Close;
            queue.push_back({m, 0});
        }
    });
    EXPECT_TRUE(escapeFlag);
    EXPECT_EQ(framesDrawnAt.size(), 3u);
}

namespace {

std::vector<std::string> calls;
int framesInScene[8];
int currentScene = 0;

void countFrame()
{
    ++framesInScene[currentScene];
}
template <int I>
void fakeScene()
{
    calls.push_back("scene" + std::to_string(I));
    currentScene = I;
    // Escape reaches the window during the third scene's second frame.
    runSceneLoop(0.5f, [] {
        countFrame();
        if (currentScene == 2 && framesInScene[2] == 2) {
            escapeFlag = true;
        }
    });
}
void fakeLoad()
{
    calls.push_back("load");
}
void fakeRelease()
{
    calls.push_back("release");
}

}  // namespace

TEST_F(SceneLoop, SequenceRunsLoaderEightScenesAndTeardownOnceEachAndEscapeSkipsLaterFrames)
{
    calls.clear();
    for (int& n : framesInScene) {
        n = 0;
    }
    const SequenceSteps steps = {fakeLoad,
                                 {fakeScene<0>, fakeScene<1>, fakeScene<2>, fakeScene<3>, fakeScene<4>, fakeScene<5>,
                                  fakeScene<6>, fakeScene<7>},
                                 fakeRelease};
    Services table = services();
    table.sequence = &steps;
    handDownServices(table);
    runSequence();
    const std::vector<std::string> expected = {"load",   "scene0", "scene1", "scene2", "scene3",
                                               "scene4", "scene5", "scene6", "scene7", "release"};
    EXPECT_EQ(calls, expected);
    EXPECT_GE(framesInScene[0], 5);  // about 0.0 .. 0.5 in steps of 0.1
    EXPECT_EQ(framesInScene[2], 2);
    for (int i = 3; i < 8; ++i) {
        EXPECT_EQ(framesInScene[i], 0) << "scene " << i << " drew after Escape";
    }
}

TEST(Random, FirstValuesFromTheInitialStateFollowTheGenerator)
{
    // state = state * 214013 + 2531011 from 1; bits 16..30 of each new state.
    resetRandom();
    const int expected[] = {41, 18467, 6334, 26500, 19169, 15724};
    for (int value : expected) {
        EXPECT_EQ(randomBelow(32768), value);
    }
    resetRandom();
    EXPECT_EQ(randomBelow(10), 1);    // 41 % 10
    EXPECT_EQ(randomBelow(100), 67);  // 18467 % 100
    resetRandom();
}

TEST(TickCount, FixedStepAdvancesExactlyPerFrame)
{
    sysSetFixedStep(60);
    EXPECT_EQ(sysTickCount(), 0u);
    for (int i = 0; i < 60; ++i) {
        sysSwapBuffers();  // no window: only the clock moves
    }
    EXPECT_EQ(sysTickCount(), 1000u);
    sysAdvanceFixedClock(500.0);
    EXPECT_EQ(sysTickCount(), 1500u);
    sysSetFixedStep(0);
    EXPECT_LT(sysTickCount(), 60u * 1000u);  // counted from program start, not machine boot
}
