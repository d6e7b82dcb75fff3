// Playing from a later point: scenes before it run their set-up and their frames unpresented (on
// the fixed-step clock every frame of a full run, on the wall clock a coarse step), the first
// presented frame lies exactly at the start point, and the clock never runs backwards.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include <unistd.h>

#include <cstdlib>

#include "core/clock.h"
#include "media/music.h"
#include "platform/platform.h"
#include "scenes/kit.h"
#include "scenes/scenes.h"
#include "shell/frames.h"
#include "shell/sequencer.h"
#include "shell/start_at.h"
#include "shell/window.h"

namespace {

struct Frame {
    int scene;
    float sceneTime;
    bool presented;
    uint32_t tick;
};

std::vector<Frame> frames;
int setUps[8];
int presentedBeforeStop = 0;  // presented frames after which Escape is pressed (0: never)
int escapeAfterSkipped = 0;   // Escape while skipping, after this many unpresented frames (0: never)
int presentedCount = 0;
double musicAtFirstPresent = -1.0;  // where the music played when the first frame was shown
uint32_t lastTick = 0;
bool clockWentBack = false;
std::vector<Message> pendingMessages;

bool peekPending(Message* message)
{
    if (pendingMessages.empty()) {
        return false;
    }
    *message = pendingMessages.front();
    pendingMessages.erase(pendingMessages.begin());
    return true;
}
void clearNothing() {}
void present()
{
    frames.back().presented = true;
    if (++presentedCount == 1 && musicStream != nullptr) {
        musicAtFirstPresent = sndStreamPosition(musicStream);
    }
    if (presentedBeforeStop > 0 && presentedCount >= presentedBeforeStop) {
        escapeFlag = true;
    }
    sysSwapBuffers();  // no window: only the fixed-step clock moves
}
void hideNothing(bool) {}

void recordFrame()
{
    const uint32_t now = sysTickCount();
    if (now < lastTick) {
        clockWentBack = true;
    }
    lastTick = now;
    frames.push_back({currentSceneIndex, sceneTime, false, now});
    if (escapeAfterSkipped > 0 && static_cast<int>(frames.size()) == escapeAfterSkipped) {
        escapeFlag = true;
    }
}

template <int I>
void scene()
{
    ++setUps[I];
    runSceneLoop(sceneTable[I].duration, recordFrame);
}
void nothing() {}

const SequenceSteps fakeSteps = {
    nothing, {scene<0>, scene<1>, scene<2>, scene<3>, scene<4>, scene<5>, scene<6>, scene<7>}, nothing};

class StartAt : public ::testing::Test {
protected:
    void SetUp() override
    {
        frames.clear();
        for (int& n : setUps) {
            n = 0;
        }
        presentedBeforeStop = 3;
        escapeAfterSkipped = 0;
        presentedCount = 0;
        musicAtFirstPresent = -1.0;
        lastTick = 0;
        clockWentBack = false;
        pendingMessages.clear();
        escapeFlag = false;
        Services table = shellServices();
        table.sequence = &fakeSteps;
        table.peekMessage = peekPending;
        table.clear = clearNothing;
        table.present = present;
        table.hideFrames = hideNothing;
        handDownServices(table);
    }
    void TearDown() override
    {
        handDownServices(Services{});
        setStartTime(-1);
        sysSetFixedStep(0);
        escapeFlag = false;
    }
    // Frames of a scene, split into unpresented and presented.
    static int count(int sceneIndex, bool presented)
    {
        int n = 0;
        for (const Frame& f : frames) {
            n += f.scene == sceneIndex && f.presented == presented ? 1 : 0;
        }
        return n;
    }
    static const Frame* firstPresented()
    {
        for (const Frame& f : frames) {
            if (f.presented) {
                return &f;
            }
        }
        return nullptr;
    }
};

}  // namespace

TEST_F(StartAt, OnTheWallClockEarlierScenesArePassedOverAndOnlyTheLastSecondsRunUnpresented)
{
    sysSetFixedStep(0);
    setStartTime(139500);
    runSequence();
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(setUps[i], 1) << "scene " << i;  // every set-up runs, after Escape too
    }
    const Frame* first = firstPresented();
    ASSERT_NE(first, nullptr);
    // Scenes 0..4 lie wholly before 139.5: each draws its first frame unseen and is passed over.
    // The Third verse scene (138 s) runs its 1.5 s before the start point at the fine step, unseen.
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(count(i, false), 1) << "scene " << i;
        EXPECT_EQ(count(i, true), 0) << "scene " << i;
    }
    double previous = -1.0;
    for (const Frame& f : frames) {
        if (&f == first) {
            break;
        }
        ASSERT_FALSE(f.presented);
        if (f.scene == 5) {
            if (previous >= 0.0) {
                EXPECT_GT(f.sceneTime, previous);
                EXPECT_LE(f.sceneTime - previous, skipFineStepMs / 1000.0 + 0.002) << "at " << f.sceneTime;
            }
            previous = f.sceneTime;
        }
    }
    EXPECT_NEAR(count(5, false), 1500 / skipFineStepMs, 1);
    // Then normal play, from the first millisecond at or after 139.5.
    EXPECT_EQ(first->scene, 5);
    EXPECT_GE(first->sceneTime, 1.5f - 0.0005f);
    EXPECT_LT(first->sceneTime, 1.5f + 0.0015f);
    EXPECT_EQ(count(5, true), 3);
    EXPECT_FALSE(clockWentBack);
    EXPECT_FALSE(startPending());
}

TEST_F(StartAt, OnTheFixedStepClockEveryFrameOfAFullRunRunsAndPlayGoesOnFromTheStartPoint)
{
    // The full run, nothing skipped: every frame presented, to the end.
    sysSetFixedStep(60);
    presentedBeforeStop = 0;
    runSequence();
    const std::vector<Frame> full = frames;
    ASSERT_FALSE(full.empty());
    EXPECT_NEAR(sceneTable[full.back().scene].start + full.back().sceneTime, 232.0, 1.0 / 60.0);

    // From 139.5: the very frames of the full run, on the same ticks with the same scene times,
    // unpresented before the first at or after 139.5 and presented from it.
    frames.clear();
    presentedCount = 0;
    presentedBeforeStop = 200;
    escapeFlag = false;
    sysSetFixedStep(60);
    setStartTime(139500);
    runSequence();
    ASSERT_EQ(presentedCount, 200);
    ASSERT_LT(frames.size(), full.size());
    for (size_t i = 0; i < frames.size(); ++i) {
        const Frame& a = full[i];
        const Frame& b = frames[i];
        ASSERT_EQ(a.scene, b.scene) << "frame " << i;
        ASSERT_EQ(a.tick, b.tick) << "frame " << i;
        ASSERT_EQ(a.sceneTime, b.sceneTime) << "frame " << i;
        ASSERT_EQ(b.presented, sceneTable[b.scene].start + b.sceneTime >= 139.5 - 0.0005) << "frame " << i;
    }
}

TEST_F(StartAt, AStartOnASceneBoundaryBeginsWithThatScenesFirstFrame)
{
    sysSetFixedStep(10);
    setStartTime(44000);  // the Title scene's start: the Opening scene is skipped whole
    runSequence();
    EXPECT_EQ(count(0, true), 0);
    const Frame* first = firstPresented();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->scene, 1);
    EXPECT_EQ(first->sceneTime, 0.0f);
    EXPECT_EQ(count(1, false), 0);

    // From the very beginning nothing is skipped at all.
    frames.clear();
    presentedCount = 0;
    escapeFlag = false;
    sysSetFixedStep(10);
    setStartTime(0);
    runSequence();
    ASSERT_FALSE(frames.empty());
    EXPECT_TRUE(frames.front().presented);
    EXPECT_EQ(frames.front().sceneTime, 0.0f);
}

TEST_F(StartAt, OnTheWallClockSkippingTakesNoWallTimeAndTimeGoesOnFromTheStartPoint)
{
    sysSetFixedStep(0);
    setStartTime(45000);
    const auto before = std::chrono::steady_clock::now();
    runSequence();
    const double wallSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
    // 45 s of presentation skipped, not waited for (a limit far from both, for a busy machine).
    EXPECT_LT(wallSeconds, 30.0);
    const Frame* first = firstPresented();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->scene, 1);
    EXPECT_GE(first->sceneTime, 1.0f);
    EXPECT_LT(first->sceneTime, 1.25f);
    EXPECT_FALSE(clockWentBack);
    // The hold is over: the tick count follows the wall clock again.
    const uint32_t a = sysTickCount();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_GE(sysTickCount() - a, 20u);
}

TEST_F(StartAt, EscapeOrCloseWhileSkippingEndsEverySceneWithoutPresentingAFrame)
{
    sysSetFixedStep(30);
    setStartTime(200000);
    escapeAfterSkipped = 100;  // during the Opening scene
    runSequence();
    EXPECT_EQ(presentedCount, 0);
    EXPECT_EQ(frames.size(), 100u);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(setUps[i], 1);
    }
    EXPECT_FALSE(startPending());

    // A close message is handled between unpresented frames just as between presented ones.
    frames.clear();
    escapeFlag = false;
    escapeAfterSkipped = 0;
    setStartTime(200000);
    Message close;
    close.kind = MessageKind::Close;
    pendingMessages.push_back(close);
    runSequence();
    EXPECT_TRUE(escapeFlag);
    EXPECT_TRUE(frames.empty());
    EXPECT_EQ(presentedCount, 0);
}

TEST_F(StartAt, PresentationTimeIsTheScenesStartPlusSceneTime)
{
    currentSceneIndex = 5;
    sceneTime = 1.5f;
    EXPECT_DOUBLE_EQ(presentationTime(), 139.5);
    currentSceneIndex = -1;
    EXPECT_LT(presentationTime(), 0.0);
    EXPECT_STREQ(sceneName(-1), "Loading");
    EXPECT_STREQ(sceneName(5), "Third verse");
}

namespace {

const char* const musicFile = VELMORA_DATA_DIR "/music/velmora.mp3";
void startMusic()
{
    startSound();
    playMusic(musicFile);
}
void endMusic()
{
    stopMusic();
    stopSound();
}

}  // namespace

// The music after a later start: it plays from the start point, where a full run's music would be
// when that frame is shown, not from its beginning nor from the scene's own start.
TEST_F(StartAt, TheMusicPlaysFromTheStartPoint)
{
    if (access(musicFile, R_OK) != 0) {
        GTEST_SKIP() << "no generated music at " << musicFile;
    }
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    const SequenceSteps withMusic = {
        startMusic, {scene<0>, scene<1>, scene<2>, scene<3>, scene<4>, scene<5>, scene<6>, scene<7>}, endMusic};
    Services table = services();
    table.sequence = &withMusic;
    for (const int fps : {60, 0}) {  // the fixed-step clock and the wall clock
        handDownServices(table);
        frames.clear();
        presentedCount = 0;
        musicAtFirstPresent = -1.0;
        escapeFlag = false;
        sysSetFixedStep(fps);
        setStartTime(139500);
        runSequence();
        ASSERT_NE(firstPresented(), nullptr) << fps << " fps";
        // The mixer plays on by itself between the move and the first frame: a little later is fine.
        EXPECT_GE(musicAtFirstPresent, 139.5 - 0.05) << fps << " fps";
        EXPECT_LT(musicAtFirstPresent, 139.5 + 2.0) << fps << " fps";
    }
}
