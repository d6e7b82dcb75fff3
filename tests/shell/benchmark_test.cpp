// The benchmark's figures: per-scene summaries of frame times (median, 99th percentile by nearest
// rank, worst frame and where it was), the printed table and the JSON document.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/benchmark.h"

namespace {

// Frames of 1, 2, ... n ms at 0.01 s apart from start, all in one scene.
std::vector<FrameTiming> rampFrames(int scene, double start, int n)
{
    std::vector<FrameTiming> frames;
    for (int i = 1; i <= n; ++i) {
        frames.push_back(FrameTiming{start + 0.01 * i, scene, static_cast<double>(i)});
    }
    return frames;
}

}  // namespace

TEST(Benchmark, SummaryHasTheMedianThe99thPercentileAndTheWorstFrame)
{
    // 1 .. 100 ms: 5050 ms in all, so 100 frames make 19.80 frames per second.
    std::vector<FrameTiming> frames = rampFrames(2, 70.0, 100);
    std::swap(frames[10], frames[99]);  // order does not matter: the worst frame keeps its own time
    const TimingSummary s = summariseFrames(frames);
    EXPECT_EQ(s.frames, 100);
    EXPECT_NEAR(s.meanFps, 19.80, 0.005);
    EXPECT_EQ(s.medianMs, 50.0);
    EXPECT_EQ(s.p99Ms, 99.0);
    EXPECT_EQ(s.worstMs, 100.0);
    EXPECT_DOUBLE_EQ(s.worstTime, 71.0);

    // One frame: it is the median, the percentile and the worst.
    const TimingSummary one = summariseFrames({FrameTiming{3.0, 0, 8.0, 12.0}});
    EXPECT_EQ(one.meanCpuMs, 12.0);
    EXPECT_EQ(one.medianMs, 8.0);
    EXPECT_EQ(one.p99Ms, 8.0);
    EXPECT_EQ(one.meanFps, 125.0);
    EXPECT_EQ(summariseFrames({}).frames, 0);
}

TEST(Benchmark, ScenesAreSummedApartInSceneOrderAndOnlyWhenTheyHaveFrames)
{
    std::vector<FrameTiming> frames = rampFrames(5, 140.0, 4);  // Third verse first in the list
    const std::vector<FrameTiming> opening = rampFrames(0, 1.0, 2);
    frames.insert(frames.end(), opening.begin(), opening.end());
    const std::vector<TimingSummary> scenes = summariseScenes(frames);
    ASSERT_EQ(scenes.size(), 2u);
    EXPECT_EQ(scenes[0].scene, 0);
    EXPECT_EQ(scenes[0].frames, 2);
    EXPECT_EQ(scenes[0].worstMs, 2.0);
    EXPECT_EQ(scenes[1].scene, 5);
    EXPECT_EQ(scenes[1].frames, 4);
    EXPECT_EQ(scenes[1].totalMs, 10.0);

    RunFacts facts;
    facts.glRenderer = "llvmpipe \"test\"";
    facts.cpuModel = "cpu";
    facts.cpuCount = 2;
    BenchmarkSettings settings;
    const std::string table = formatBenchmarkReport(frames, facts, settings);
    EXPECT_NE(table.find("\nOpening "), std::string::npos) << table;
    EXPECT_NE(table.find("\nThird verse "), std::string::npos) << table;
    EXPECT_EQ(table.find("\nTitle "), std::string::npos) << table;
    EXPECT_NE(table.find("\nwhole run "), std::string::npos) << table;
    const std::string json = benchmarkJson(frames, facts, settings);
    EXPECT_NE(json.find("\"gl_renderer\": \"llvmpipe \\\"test\\\"\""), std::string::npos) << json;
    EXPECT_NE(json.find("{\"t\": 140.0100, \"scene\": \"Third verse\", \"ms\": 1.000, \"cpu_ms\": 0.000}"),
              std::string::npos)
        << json;
}
