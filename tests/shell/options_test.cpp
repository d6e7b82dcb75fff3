// The recording options on the command line: what they imply, how times are read and which
// combinations are refused before anything starts.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

#include "shell/options.h"

namespace {

// Parses the given arguments (without the program name).
bool parse(std::initializer_list<const char*> arguments, Options* options, std::string* error)
{
    std::vector<char*> argv = {const_cast<char*>("velmora")};
    for (const char* argument : arguments) {
        argv.push_back(const_cast<char*>(argument));
    }
    return parseOptions(static_cast<int>(argv.size()), argv.data(), options, error);
}

}  // namespace

TEST(RecordingOptions, CaptureAndFramesImplyAnUnattendedWindowedFixedStepRun)
{
    Options capture;
    std::string error;
    ASSERT_TRUE(parse({"--capture", "out.mp4"}, &capture, &error)) << error;
    EXPECT_TRUE(capture.noDialog);
    EXPECT_TRUE(capture.batch);
    EXPECT_TRUE(capture.windowed);
    EXPECT_EQ(capture.fps, 60);
    EXPECT_TRUE(isRecording(capture));

    Options frames;
    ASSERT_TRUE(parse({"--fps", "25", "--frames", "dir", "--at", "3", "--resolution", "640x480"}, &frames, &error))
        << error;
    EXPECT_EQ(frames.fps, 25);  // an explicit rate is kept
    EXPECT_TRUE(frames.noDialog);
    EXPECT_EQ(frames.width, 640);

    Options end;
    ASSERT_TRUE(parse({"--start-at", "232"}, &end, &error)) << error;  // the help's "0 to 232"
    EXPECT_EQ(end.startAtMs, 232000);

    Options plain;
    ASSERT_TRUE(parse({"--start-at", "138"}, &plain, &error)) << error;
    EXPECT_FALSE(plain.noDialog);  // starting later alone keeps the dialog and the wall clock
    EXPECT_EQ(plain.fps, 0);
    EXPECT_EQ(plain.startAtMs, 138000);
    EXPECT_FALSE(isRecording(plain));
}

TEST(RecordingOptions, BenchmarkIsAnUnattendedFixedStepRunHeadlessUnlessWindowed)
{
    Options options;
    std::string error;
    ASSERT_TRUE(parse(
        {"--benchmark", "--start-at", "44", "--end-at", "46", "--benchmark-out", "b.json", "--resolution", "1024x768"},
        &options, &error))
        << error;
    EXPECT_TRUE(options.benchmark);
    EXPECT_TRUE(options.noDialog);
    EXPECT_TRUE(options.batch);
    EXPECT_FALSE(options.windowed);
    EXPECT_EQ(options.fps, 60);
    EXPECT_EQ(options.startAtMs, 44000);
    EXPECT_EQ(options.endAtMs, 46000);
    EXPECT_EQ(options.benchmarkOut, "b.json");
    EXPECT_EQ(options.width, 1024);
    EXPECT_FALSE(isRecording(options));

    Options windowed;
    ASSERT_TRUE(parse({"--windowed", "--fps", "30", "--benchmark"}, &windowed, &error)) << error;
    EXPECT_TRUE(windowed.windowed);
    EXPECT_EQ(windowed.fps, 30);
    EXPECT_NE(std::string(usageText()).find("--end-at"), std::string::npos);
    EXPECT_NE(std::string(usageText()).find("--benchmark-out"), std::string::npos);
}

TEST(RecordingOptions, SizeAndSupersampleSetTheRecordedFrames)
{
    Options sized;
    std::string error;
    ASSERT_TRUE(parse({"--frames", "d", "--at", "70", "--size", "3840x2160", "--supersample", "4"}, &sized, &error))
        << error;
    EXPECT_EQ(sized.recordWidth, 3840);
    EXPECT_EQ(sized.recordHeight, 2160);
    EXPECT_EQ(sized.supersample, 4);

    Options smallest;
    ASSERT_TRUE(parse({"--capture", "a.mkv", "--size", "320x240"}, &smallest, &error)) << error;
    EXPECT_EQ(smallest.recordWidth, 320);
    EXPECT_EQ(smallest.supersample, 1);

    Options smooth;  // supersampling alone keeps the resolution's size
    ASSERT_TRUE(parse({"--capture", "a.mkv", "--resolution", "640x480", "--supersample", "2"}, &smooth, &error))
        << error;
    EXPECT_EQ(smooth.recordWidth, 640);
    EXPECT_EQ(smooth.recordHeight, 480);

    Options plain;  // without them a recording is drawn as it always was
    ASSERT_TRUE(parse({"--capture", "a.mkv"}, &plain, &error)) << error;
    EXPECT_EQ(plain.recordWidth, 0);
}

TEST(RecordingOptions, TimesAreMillisecondsSortedWithoutDuplicatesAndEveryCountsFromTheStart)
{
    Options options;
    std::string error;
    ASSERT_TRUE(parse({"--frames", "d", "--at", "44.5,1,44.5,0.0004,232"}, &options, &error)) << error;
    EXPECT_EQ(options.atMs, (std::vector<int>{0, 1000, 44500, 232000}));

    Options every;
    ASSERT_TRUE(parse({"--frames", "d", "--start-at", "100", "--end-at", "111", "--every", "5", "--at", "107.25"},
                      &every, &error))
        << error;
    EXPECT_EQ(every.atMs, (std::vector<int>{100000, 105000, 107250, 110000}));

    Options whole;
    ASSERT_TRUE(parse({"--frames", "d", "--every", "58"}, &whole, &error)) << error;
    EXPECT_EQ(whole.atMs, (std::vector<int>{0, 58000, 116000, 174000, 232000}));
}

TEST(RecordingOptions, BadValuesAndCombinationsAreRefusedWithTheOptionNamed)
{
    struct Case {
        std::initializer_list<const char*> arguments;
        const char* named;
    };
    const Case cases[] = {
        {{"--capture", "a.mp4", "--frames", "d", "--at", "1"}, "--capture and --frames"},
        {{"--at", "1"}, "--at and --every need --frames"},
        {{"--frames", "d"}, "--frames needs --at or --every"},
        {{"--capture", "a.avi"}, "--capture"},
        {{"--capture", "mp4"}, "--capture"},
        {{"--frames", "d", "--at", "232.5"}, "--at"},
        {{"--frames", "d", "--at", "-1"}, "--at"},
        {{"--frames", "d", "--at", "1,,2"}, "--at"},
        {{"--frames", "d", "--at", "nan"}, "--at"},
        {{"--frames", "d", "--at", "12s"}, "--at"},
        {{"--frames", "d", "--every", "0"}, "--every"},
        {{"--start-at", "232.001"}, "--start-at"},
        {{"--start-at"}, "--start-at needs a value"},
        {{"--capture", "a.mkv", "--start-at", "50", "--end-at", "50"}, "--end-at"},
        {{"--frames", "d", "--start-at", "50", "--at", "10"}, "--at 0010.000 lies before --start-at 0050.000"},
        {{"--benchmark", "--capture", "a.mp4"}, "--benchmark cannot be used with --capture"},
        {{"--frames", "d", "--at", "1", "--benchmark"}, "--benchmark cannot be used with --frames"},
        {{"--benchmark-out", "b.json"}, "--benchmark-out needs --benchmark"},
        {{"--benchmark", "--benchmark-out", ""}, "--benchmark-out"},
        {{"--benchmark", "--at", "50"}, "--at and --every need --frames"},
        {{"--benchmark", "--start-at", "46", "--end-at", "44"}, "--end-at"},
        {{"--capture", "a.mp4", "--size", "100x100"}, "--size"},
        {{"--capture", "a.mp4", "--size", "5000x3000"}, "--size"},
        {{"--capture", "a.mp4", "--size", "801x600"}, "--size"},
        {{"--capture", "a.mp4", "--size", "800x601"}, "--size"},
        {{"--capture", "a.mp4", "--size", "800x"}, "--size"},
        {{"--capture", "a.mp4", "--size", "x600"}, "--size"},
        {{"--capture", "a.mp4", "--size", "800x+600"}, "--size"},
        {{"--capture", "a.mp4", "--size", "3842x2160"}, "--size"},
        {{"--capture", "a.mp4", "--supersample", "5"}, "--supersample"},
        {{"--capture", "a.mp4", "--supersample", "0"}, "--supersample"},
        {{"--size", "1920x1080"}, "--size and --supersample need --capture or --frames"},
    };
    for (const Case& c : cases) {
        Options options;
        std::string error;
        EXPECT_FALSE(parse(c.arguments, &options, &error)) << *c.arguments.begin();
        EXPECT_NE(error.find(c.named), std::string::npos) << "message: " << error;
    }
}

// Times and counts are plain decimals, and an option that would be taken and then ignored is refused.
TEST(StrictOptions, NumbersAreDecimalOnlyAndOptionsThatDoNothingAreRefused)
{
    struct Case {
        std::initializer_list<const char*> arguments;
        const char* named;
    };
    const Case cases[] = {
        {{"--start-at", "0x10"}, "--start-at"},
        {{"--start-at", "1e2"}, "--start-at"},
        {{"--start-at", "inf"}, "--start-at"},
        {{"--start-at", "44."}, "--start-at"},
        {{"--start-at", ".5"}, "--start-at"},
        {{"--fps", " 5"}, "--fps"},
        {{"--fps", "+5"}, "--fps"},
        {{"--fps", "5 "}, "--fps"},
        {{"--fps", "0x10"}, "--fps"},
        {{"--capture", "a.mp4", "--supersample", "+2"}, "--supersample"},
        {{"--frames", "d", "--every", "+5"}, "--every"},
        {{"--frames", "d", "--at", "1, 2"}, "--at"},
        {{"--no-dialog", "--end-at", "50"}, "--end-at needs --capture, --frames or --benchmark"},
        {{"--capture", "a.mp4", "--mode-change"}, "--mode-change does nothing with --capture"},
        {{"--benchmark", "--mode-change"}, "--mode-change does nothing with --benchmark"},
        {{"--no-dialog", "--windowed", "--mode-change"}, "--mode-change does nothing with --windowed"},
    };
    for (const Case& c : cases) {
        Options options;
        std::string error;
        EXPECT_FALSE(parse(c.arguments, &options, &error)) << *c.arguments.begin() << " " << *(c.arguments.begin() + 1);
        EXPECT_NE(error.find(c.named), std::string::npos) << "message: " << error;
    }
    Options fine;
    std::string error;
    EXPECT_TRUE(parse({"--start-at", "044.250", "--fps", "060", "--mode-change", "--verbose"}, &fine, &error)) << error;
    EXPECT_EQ(fine.startAtMs, 44250);
    EXPECT_EQ(fine.fps, 60);
    EXPECT_TRUE(fine.verbose);
}
