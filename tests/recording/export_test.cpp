// Frame export and capture bookkeeping without a window: which frame stands for which requested
// time, the PNG files (upright, exact pixels, nothing left behind on failure), where the music
// goes in a video, the reduction of supersampled frames, and the progress line.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <string>
#include <vector>

#include "core/png.h"
#include "shell/capture.h"
#include "shell/export_frames.h"
#include "shell/frames.h"
#include "shell/progress.h"

#include "tests/support/png_reader.h"

namespace {}  // namespace

TEST(FrameSchedule, EachTimeGetsTheFirstFrameDrawnAtOrAfterIt)
{
    FrameSchedule schedule({1000, 1010, 1050, 2000});
    EXPECT_TRUE(schedule.takeDue(0.95).empty());
    // Exactly on the time, even with the clock's single-precision rounding just below it.
    EXPECT_EQ(schedule.takeDue(0.9999996), (std::vector<int>{1000}));
    // Two times between two frames are both served by the later frame.
    EXPECT_EQ(schedule.takeDue(1.0666), (std::vector<int>{1010, 1050}));
    EXPECT_TRUE(schedule.takeDue(1.5).empty());
    EXPECT_FALSE(schedule.done());
    EXPECT_EQ(schedule.takeDue(2.5), (std::vector<int>{2000}));
    EXPECT_TRUE(schedule.done());
}

TEST(FrameExportPng, PicturesAreUprightWithExactPixelsAndFailuresLeaveNoFile)
{
    // A 3x2 frame as GL gives it: bottom row first.
    const int width = 3, height = 2;
    const std::vector<uint8_t> bottomUp = {10,  20, 30, 40, 50,  60, 70, 80, 90,    // bottom row
                                           255, 0,  0,  0,  255, 0,  0,  0,  255};  // top row
    char folder[] = "/tmp/velmora-png-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string path = std::string(folder) + "/0001.000.png";
    std::string error;
    ASSERT_TRUE(writePng(path, width, height, 3, bottomUp, RowOrder::BottomUp, &error)) << error;
    int w = 0, h = 0;
    const std::vector<uint8_t> topDown = readPng(path, &w, &h);
    ASSERT_EQ(w, width);
    ASSERT_EQ(h, height);
    const std::vector<uint8_t> expected = {255, 0, 0, 0, 255, 0, 0, 0, 255, 10, 20, 30, 40, 50, 60, 70, 80, 90};
    EXPECT_EQ(topDown, expected);

    // Too few pixels, or a folder that is not there: false, a reason, no file.
    const std::string shortPath = std::string(folder) + "/short.png";
    EXPECT_FALSE(writePng(shortPath, 4, 4, 3, bottomUp, RowOrder::BottomUp, &error));
    EXPECT_NE(access(shortPath.c_str(), F_OK), 0);
    EXPECT_FALSE(
        writePng(std::string(folder) + "/missing/x.png", width, height, 3, bottomUp, RowOrder::BottomUp, &error));
    EXPECT_NE(error.find("missing/x.png"), std::string::npos);

    std::remove(path.c_str());
    rmdir(folder);
}

TEST(CaptureMusic, SoundIsDelayedAfterLoadingFramesOrStartsInsideTheMusicWhenStartingLater)
{
    // Whole run: 18 loading frames at 60 fps come before the music.
    const MusicPlacement whole = placeMusic(0, 300);
    EXPECT_DOUBLE_EQ(whole.seekSeconds, 0.0);
    EXPECT_DOUBLE_EQ(whole.delaySeconds, 0.3);
    // From 40 s: the first recorded frame comes 40 s of clock after the music started.
    const MusicPlacement later = placeMusic(40300, 300);
    EXPECT_DOUBLE_EQ(later.seekSeconds, 40.0);
    EXPECT_DOUBLE_EQ(later.delaySeconds, 0.0);
}

TEST(CaptureProcess, ProgramsAreFoundOnThePathAndTheirStatusComesBack)
{
    EXPECT_FALSE(findOnPath("sh").empty());
    EXPECT_TRUE(findOnPath("velmora-no-such-program").empty());
    char log[] = "/tmp/velmora-log-XXXXXX";
    const int fd = mkstemp(log);
    ASSERT_GE(fd, 0);
    close(fd);
    EXPECT_EQ(waitProgram(spawnProgram({"sh", "-c", "echo oops >&2; exit 3"}, -1, log)), 3);
    EXPECT_EQ(waitProgram(spawnProgram({"velmora-no-such-program"}, -1, log)), -1);
    FILE* f = std::fopen(log, "r");
    ASSERT_NE(f, nullptr);
    char line[32] = {};
    EXPECT_NE(std::fgets(line, sizeof line, f), nullptr);
    std::fclose(f);
    EXPECT_STREQ(line, "oops\n");
    std::remove(log);
}

TEST(Supersampling, EachPixelIsTheRoundedMeanOfItsBlockPerChannel)
{
    // Two 2x2 blocks side by side, two channels: a hard edge inside the first block (0 | 255)
    // becomes its middle grey; means of 1.5 and 0.25 round to 2 and 0.
    const std::vector<uint8_t> large = {
        0, 1, 255, 1, 10, 0, 10, 0,  // bottom row
        0, 2, 255, 2, 10, 1, 10, 0,  // top row
    };
    std::vector<uint8_t> small;
    boxFilter(large, 2, 1, 2, 2, &small);
    EXPECT_EQ(small, (std::vector<uint8_t>{128, 2, 10, 0}));
}

TEST(Progress, LineShowsSizeSceneTimeSpeedAndTimeLeft)
{
    ProgressState state;
    state.width = 1920;
    state.height = 1080;
    state.sceneIndex = 2;
    state.time = 81.25;
    state.from = 0.0;
    state.to = 232.0;
    state.framesPerSecond = 47.5;
    state.secondsLeft = 191.0;
    const std::string line = formatProgress(state);
    EXPECT_NE(line.find("1920x1080"), std::string::npos) << line;
    EXPECT_NE(line.find("Credits"), std::string::npos) << line;
    EXPECT_NE(line.find("81.25 s / 232 s"), std::string::npos) << line;
    EXPECT_NE(line.find("47.5 fps"), std::string::npos) << line;
    EXPECT_NE(line.find("3:11 left"), std::string::npos) << line;
    EXPECT_NE(line.find(" 35%"), std::string::npos) << line;

    state.sceneIndex = -1;  // loading: no progress yet, time left unknown
    state.secondsLeft = -1.0;
    const std::string loading = formatProgress(state);
    EXPECT_NE(loading.find("Loading"), std::string::npos) << loading;
    EXPECT_NE(loading.find("  0%"), std::string::npos) << loading;
    EXPECT_NE(loading.find("--:-- left"), std::string::npos) << loading;
}
