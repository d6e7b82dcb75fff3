// The benchmark's figures: per-scene summaries of frame times (median, 99th percentile by nearest
// rank, worst frame and where it was), the printed table and the JSON document.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <sstream>
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

namespace {

// The figures of one printed table row, read from after its 14-character name.
struct TableRow {
    long frames = 0;
    double meanFps = 0.0, medianMs = 0.0, lowFps = 0.0, worstMs = 0.0, worstAt = 0.0;
};
bool findRow(const std::string& table, const std::string& name, TableRow* row)
{
    const size_t at = table.find("\n" + name + " ");
    if (at == std::string::npos) {
        return false;
    }
    std::istringstream line(table.substr(at + 15, table.find('\n', at + 1) - at - 15));
    return static_cast<bool>(line >> row->frames >> row->meanFps >> row->medianMs >> row->lowFps >> row->worstMs >>
                             row->worstAt);
}

}  // namespace

// A shuffled run of known frame times in two scenes. Worked out by hand, nearest rank:
//   Opening, 10 frames 16 16 16 16 17 17 18 20 33 50 (219 ms): median the 5th, 17; the 1 % low
//     is the 10th, 50 ms, 20.0 fps; worst 50 ms at 7.25 s; 10 000 / 219 = 45.7 fps.
//   Title, 4 frames 10 20 30 40 (100 ms): median the 2nd, 20; 1 % low the 4th, 40 ms, 25.0 fps;
//     worst 40 at 45.5 s; 40.0 fps.
//   Whole run, 14 frames 10 16 16 16 16 17 17 18 20 20 30 33 40 50 (319 ms): median the 7th, 17;
//     1 % low the 14th, 50 ms, 20.0 fps; 43.9 fps.
TEST(Benchmark, TableAndJsonOfAShuffledRunShowTheFiguresWorkedOutByHand)
{
    const std::vector<FrameTiming> frames = {
        {3.00, 0, 17.0}, {45.25, 1, 30.0}, {1.00, 0, 16.0}, {7.25, 0, 50.0},  {45.00, 1, 10.0},
        {2.00, 0, 16.0}, {5.00, 0, 33.0},  {4.00, 0, 18.0}, {45.50, 1, 40.0}, {6.00, 0, 16.0},
        {8.00, 0, 17.0}, {44.50, 1, 20.0}, {9.00, 0, 20.0}, {10.00, 0, 16.0},
    };
    RunFacts facts;
    BenchmarkSettings settings;
    const std::string table = formatBenchmarkReport(frames, facts, settings);
    TableRow opening, title, whole;
    ASSERT_TRUE(findRow(table, "Opening", &opening)) << table;
    ASSERT_TRUE(findRow(table, "Title", &title)) << table;
    ASSERT_TRUE(findRow(table, "whole run", &whole)) << table;
    EXPECT_EQ(opening.frames, 10);
    EXPECT_DOUBLE_EQ(opening.meanFps, 45.7);
    EXPECT_DOUBLE_EQ(opening.medianMs, 17.0);
    EXPECT_DOUBLE_EQ(opening.lowFps, 20.0);
    EXPECT_DOUBLE_EQ(opening.worstMs, 50.0);
    EXPECT_DOUBLE_EQ(opening.worstAt, 7.25);
    EXPECT_EQ(title.frames, 4);
    EXPECT_DOUBLE_EQ(title.meanFps, 40.0);
    EXPECT_DOUBLE_EQ(title.medianMs, 20.0);
    EXPECT_DOUBLE_EQ(title.lowFps, 25.0);
    EXPECT_DOUBLE_EQ(title.worstMs, 40.0);
    EXPECT_DOUBLE_EQ(title.worstAt, 45.5);
    EXPECT_EQ(whole.frames, 14);
    EXPECT_DOUBLE_EQ(whole.meanFps, 43.9);
    EXPECT_DOUBLE_EQ(whole.medianMs, 17.0);
    EXPECT_DOUBLE_EQ(whole.lowFps, 20.0);
    EXPECT_DOUBLE_EQ(whole.worstMs, 50.0);

    // The JSON document, read by a real parser: the same figures, and its summaries agree with the
    // frames it lists.
    facts.glRenderer = "llvmpipe \"quoted\" \\ and\ttab";
    const nlohmann::json doc = nlohmann::json::parse(benchmarkJson(frames, facts, settings));
    EXPECT_EQ(doc["machine"]["gl_renderer"], facts.glRenderer);
    const nlohmann::json& listed = doc["frames"];
    ASSERT_EQ(listed.size(), frames.size());
    std::vector<double> ms;
    double total = 0.0;
    for (const nlohmann::json& frame : listed) {
        ms.push_back(frame["ms"].get<double>());
        total += frame["ms"].get<double>();
    }
    std::sort(ms.begin(), ms.end());
    const nlohmann::json& summary = doc["whole"];
    EXPECT_EQ(summary["frames"].get<long>(), static_cast<long>(listed.size()));
    EXPECT_DOUBLE_EQ(summary["total_ms"].get<double>(), total);
    EXPECT_DOUBLE_EQ(summary["median_ms"].get<double>(), ms[6]);
    EXPECT_DOUBLE_EQ(summary["worst_ms"].get<double>(), ms.back());
    EXPECT_DOUBLE_EQ(summary["p99_ms"].get<double>(), 50.0);
    EXPECT_DOUBLE_EQ(summary["low_fps"].get<double>(), 20.0);
    ASSERT_EQ(doc["scenes"].size(), 2u);
    EXPECT_EQ(doc["scenes"][0]["scene"], "Opening");
    EXPECT_EQ(doc["scenes"][0]["frames"].get<long>(), 10);
    EXPECT_DOUBLE_EQ(doc["scenes"][0]["median_ms"].get<double>(), 17.0);
    EXPECT_DOUBLE_EQ(doc["scenes"][0]["worst_at"].get<double>(), 7.25);
    EXPECT_EQ(doc["scenes"][1]["scene"], "Title");
    EXPECT_EQ(doc["scenes"][1]["frames"].get<long>(), 4);
    EXPECT_DOUBLE_EQ(doc["scenes"][1]["median_ms"].get<double>(), 20.0);
}
