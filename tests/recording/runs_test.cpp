// The program itself, run as a user would: frames written twice are identical, and identical from
// display lists and immediate mode; a benchmark of a short range; a capture without a
// display holds video of the asked size and rate and the music, a missing or failing ffmpeg is
// reported and leaves no file, a later start shows the later scene and, on the fixed-step clock,
// the very frames of a whole run, and an installed program finds its data from any folder.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "media/texture.h"

#include "tests/support/png_reader.h"

namespace {

struct RunResult {
    int status = -1;  // exit status; -1 for a crash or a timeout
    std::string errors;
};

struct RunSetup {
    std::string folder = ".";                              // working folder
    std::vector<std::string> unset;                        // environment variables removed
    std::vector<std::pair<std::string, std::string>> set;  // and set
    int timeoutSeconds = 240;
};

std::string readFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

bool exists(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

RunResult run(const std::vector<std::string>& arguments, const RunSetup& setup)
{
    char log[] = "/tmp/velmora-run-XXXXXX";
    const int fd = mkstemp(log);
    RunResult result;
    if (fd < 0) {
        return result;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(fd, STDERR_FILENO);
        dup2(fd, STDOUT_FILENO);
        if (chdir(setup.folder.c_str()) != 0) {
            _exit(126);
        }
        // Every run here draws headless (SDL's offscreen driver), which also keeps its leak checks
        // reliable: LeakSanitizer's tracer has crashed at the exit of runs drawn under a display.
        unsetenv("DISPLAY");
        unsetenv("WAYLAND_DISPLAY");
        for (const std::string& name : setup.unset) {
            unsetenv(name.c_str());
        }
        for (const auto& [name, value] : setup.set) {
            setenv(name.c_str(), value.c_str(), 1);
        }
        std::vector<char*> argv;
        for (const std::string& a : arguments) {
            argv.push_back(const_cast<char*>(a.c_str()));
        }
        argv.push_back(nullptr);
        execv(argv[0], argv.data());
        _exit(127);
    }
    close(fd);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(setup.timeoutSeconds);
    int status = 0;
    for (;;) {
        if (waitpid(pid, &status, WNOHANG) == pid) {
            result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
            break;
        }
        if (std::chrono::steady_clock::now() > deadline) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    result.errors = readFile(log);
    std::remove(log);
    return result;
}

// Output of a shell command.
std::string capture(const std::string& command)
{
    std::string text;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return text;
    }
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr) {
        text += buffer;
    }
    pclose(pipe);
    return text;
}

bool generatedDataPresent()
{
    struct stat info {};
    return stat(VELMORA_DATA_DIR "/pict", &info) == 0 && S_ISDIR(info.st_mode);
}

class ProgramRuns : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/velmora-runs-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        work_ = pattern;
    }
    void TearDown() override
    {
        const std::string command = "rm -rf '" + work_ + "'";
        EXPECT_EQ(std::system(command.c_str()), 0);
    }
    // The generated data when it is built; otherwise a bare folder.
    std::string data() { return generatedDataPresent() ? std::string(VELMORA_DATA_DIR) : bareData(); }
    // A folder with only a music file and an empty maps/ (so that it counts as the data): the
    // presentation plays through it with its pictures and scenes missing, and loads at once.
    std::string bareData()
    {
        const std::string bare = work_ + "/bare";
        if (!exists(bare + "/music/velmora.mp3")) {
            mkdir(bare.c_str(), 0777);
            mkdir((bare + "/maps").c_str(), 0777);
            mkdir((bare + "/music").c_str(), 0777);
            const std::string command = "ffmpeg -loglevel error -y -f lavfi -i sine=frequency=330:duration=60 "
                                        "-c:a libmp3lame '" +
                                        bare + "/music/velmora.mp3'";
            EXPECT_EQ(std::system(command.c_str()), 0);
        }
        return bare;
    }
    std::string work_;
};

const char* const velmora = VELMORA_EXECUTABLE;

// The program for the long comparisons that replay minutes of frames: the optimised build of the
// same sources where the test run names one (scripts/test builds it first), else this build's.
std::string fastVelmora()
{
    const char* release = std::getenv("VELMORA_RELEASE_PROGRAM");
    return release != nullptr && release[0] != '\0' ? std::string(release) : std::string(velmora);
}

}  // namespace

TEST_F(ProgramRuns, FramesAtTheSameTimesTwiceAreByteIdentical)
{
    // Each picture is named by the time it was asked for: four digits, a point and the milliseconds.
    const std::vector<std::string> names = {"0020.500.png", "0021.001.png"};
    for (const char* run_ : {"a", "b"}) {
        // A coarse step: every frame before the start point runs, unseen.
        const RunResult r = run({velmora, "--data", data(), "--resolution", "640x480", "--fps", "10", "--frames",
                                 work_ + "/" + run_, "--start-at", "20", "--at", "20.5,21.001"},
                                RunSetup{});
        ASSERT_EQ(r.status, 0) << r.errors;
    }
    for (const std::string& name : names) {
        const std::string a = readFile(work_ + "/a/" + name);
        ASSERT_FALSE(a.empty()) << name << " missing";
        EXPECT_TRUE(a == readFile(work_ + "/b/" + name)) << name << " differs between two runs";
        int width = 0, height = 0;
        EXPECT_FALSE(readPng(work_ + "/a/" + name, &width, &height).empty());
        EXPECT_EQ(width, 640);
        EXPECT_EQ(height, 480);
    }
}

TEST_F(ProgramRuns, CaptureWithoutADisplayHasVideoOfTheAskedSizeAndRateAndTheMusic)
{
    RunSetup setup;
    const std::string video = work_ + "/short.mp4";
    const RunResult r = run(
        {velmora, "--data", data(), "--capture", video, "--start-at", "40", "--fps", "10", "--end-at", "41.5"}, setup);
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_NE(r.errors.find("fps"), std::string::npos) << "no progress line: " << r.errors;
    EXPECT_EQ(capture("ls -A '" + work_ + "' | grep '^\\.'"), "") << "files of the encoding passes are left";
    const std::string streams = capture(
        "ffprobe -v error -show_entries stream=codec_type,width,height,r_frame_rate -of compact '" + video + "'");
    EXPECT_NE(streams.find("codec_type=video|width=800|height=600|r_frame_rate=10/1"), std::string::npos) << streams;
    EXPECT_NE(streams.find("codec_type=audio"), std::string::npos) << streams;
    // 40.0 to 41.5 s at 10 frames a second, 41.5 itself left out.
    const std::string frames = capture("ffprobe -v error -count_frames -select_streams v:0 -show_entries "
                                       "stream=nb_read_frames -of csv=p=0 '" +
                                       video + "'");
    EXPECT_EQ(std::atoi(frames.c_str()), 15) << frames;
}

TEST_F(ProgramRuns, AMissingOrFailingFfmpegIsReportedAndLeavesNoFile)
{
    const std::string video = work_ + "/out.mkv";
    RunSetup noFfmpeg;
    noFfmpeg.set = {{"PATH", work_ + "/nowhere"}};
    RunResult r = run({velmora, "--data", data(), "--capture", video}, noFfmpeg);
    EXPECT_EQ(r.status, 1) << r.errors;
    EXPECT_NE(r.errors.find("ffmpeg"), std::string::npos) << r.errors;
    EXPECT_FALSE(exists(video));

    // An encoder that refuses its input: the run stops, says why, and removes what it began.
    const std::string bin = work_ + "/bin";
    mkdir(bin.c_str(), 0777);
    {
        std::ofstream fake(bin + "/ffmpeg");
        fake << "#!/bin/sh\necho 'fake encoder refuses its input' >&2\nexit 1\n";
    }
    chmod((bin + "/ffmpeg").c_str(), 0755);
    RunSetup failing = noFfmpeg;
    failing.set = {{"PATH", bin + ":/usr/bin:/bin"}};
    r = run({velmora, "--data", bareData(), "--capture", video, "--start-at", "40", "--fps", "10"}, failing);
    EXPECT_EQ(r.status, 1) << r.errors;
    EXPECT_NE(r.errors.find("fake encoder refuses its input"), std::string::npos) << r.errors;
    EXPECT_FALSE(exists(video));
    EXPECT_EQ(capture("ls -A '" + work_ + "' | grep '^\\.'"), "") << "files of the encoding passes are left";
}

namespace {

double boxMean(const uint8_t* pixels, int rowBytes, int width, int height, int cx, int cy, int half, int channel)
{
    double sum = 0.0;
    int n = 0;
    for (int y = std::max(0, cy - half); y <= std::min(height - 1, cy + half); ++y) {
        for (int x = std::max(0, cx - half); x <= std::min(width - 1, cx + half); ++x) {
            sum += pixels[static_cast<size_t>(y) * rowBytes + x * 3 + channel];
            ++n;
        }
    }
    return n > 0 ? sum / n : 0.0;
}

// Share of spots along the frame's border (where the model in the middle rarely reaches) whose
// colour is the Third verse backdrop's there: a quad 300.6 units away and 400 x 300 large, which
// shows the middle 83 % of the picture.
double backdropShare(const std::vector<uint8_t>& frame, int width, int height, const DecodedPicture& picture)
{
    const double visible = 300.6 * std::tan(22.5 * 3.14159265358979 / 180.0) / 150.0;
    const double edge = 0.5 - 0.5 * visible;
    const int pictureHalf = std::max(1, static_cast<int>(8.0 * visible * picture.width / width));
    int points = 0, matching = 0;
    for (int i = 0; i < 12; ++i) {
        const double along = (i + 0.5) / 12.0;
        const double spots[4][2] = {{along, 0.06}, {along, 0.94}, {0.05, along}, {0.95, along}};
        for (const auto& spot : spots) {
            const int fx = static_cast<int>(spot[0] * width), fy = static_cast<int>(spot[1] * height);
            const int px = static_cast<int>((edge + spot[0] * visible) * picture.width);
            const int py = static_cast<int>((edge + spot[1] * visible) * picture.height);
            bool same = true;
            for (int c = 0; c < 3; ++c) {
                const double a = boxMean(frame.data(), width * 3, width, height, fx, fy, 8, c);
                const double b =
                    boxMean(picture.pixels, picture.rowBytes, picture.width, picture.height, px, py, pictureHalf, c);
                same = same && std::fabs(a - b) < 32.0;
            }
            ++points;
            matching += same ? 1 : 0;
        }
    }
    return static_cast<double>(matching) / points;
}

}  // namespace

TEST_F(ProgramRuns, StartingAt139ShowsTheThirdVerseBackdropNotTheSecondVerseTunnel)
{
    if (!generatedDataPresent()) {
        GTEST_SKIP() << "no generated data in " VELMORA_DATA_DIR;
    }
    // A coarse step: the frames before the start point all run, unseen.
    const RunResult r = run({velmora, "--data", VELMORA_DATA_DIR, "--frames", work_ + "/f", "--fps", "10", "--start-at",
                             "139", "--at", "139.5"},
                            RunSetup{});
    ASSERT_EQ(r.status, 0) << r.errors;
    // For comparison, the Second verse scene a second before its end, before its fade is strong.
    const RunResult tunnel = run({velmora, "--data", VELMORA_DATA_DIR, "--frames", work_ + "/f", "--fps", "10",
                                  "--start-at", "135", "--at", "135"},
                                 RunSetup{});
    ASSERT_EQ(tunnel.status, 0) << tunnel.errors;
    DecodedPicture* backdrop = readJpegFile(VELMORA_DATA_DIR "/pict/varrick.jpg");
    ASSERT_NE(backdrop, nullptr);
    int width = 0, height = 0;
    const std::vector<uint8_t> third = readPng(work_ + "/f/0139.500.png", &width, &height);
    ASSERT_EQ(width, 800);
    ASSERT_EQ(height, 600);
    const std::vector<uint8_t> second = readPng(work_ + "/f/0135.000.png", &width, &height);
    ASSERT_EQ(width, 800);
    const double thirdShare = backdropShare(third, 800, 600, *backdrop);
    const double secondShare = backdropShare(second, 800, 600, *backdrop);
    freeDecodedPicture(backdrop);
    std::printf("border spots showing the backdrop: %.0f %% at 139.5 s, %.0f %% at 135 s\n", 100.0 * thirdShare,
                100.0 * secondShare);
    EXPECT_GE(thirdShare, 0.6) << "of the border spots at 139.5 s show the backdrop";
    EXPECT_LE(secondShare, 0.3) << "of the border spots at 135 s (the tunnel) look like the backdrop";
}

TEST_F(ProgramRuns, InstalledProgramFindsItsDataFromAnotherFolder)
{
    if (!generatedDataPresent()) {
        GTEST_SKIP() << "no generated data in " VELMORA_DATA_DIR " to install";
    }
    const std::string prefix = work_ + "/prefix";
    RunSetup quiet;
    quiet.timeoutSeconds = 120;
    RunResult r = run({VELMORA_CMAKE, "--install", VELMORA_BINARY_DIR, "--prefix", prefix}, quiet);
    ASSERT_EQ(r.status, 0) << r.errors;
    for (const char* installed : {"/bin/velmora", "/share/velmora/pict", "/share/applications/velmora.desktop",
                                  "/share/icons/hicolor/32x32/apps/velmora.png",
                                  "/share/icons/hicolor/128x128/apps/velmora.png", "/share/man/man6/velmora.6.gz"}) {
        EXPECT_TRUE(exists(prefix + installed)) << installed;
    }
    const std::string elsewhere = work_ + "/elsewhere";
    mkdir(elsewhere.c_str(), 0777);
    RunSetup there;
    there.folder = elsewhere;
    r = run({prefix + "/bin/velmora", "--frames", "shots", "--fps", "10", "--start-at", "10", "--at", "10"}, there);
    ASSERT_EQ(r.status, 0) << r.errors;
    EXPECT_TRUE(exists(elsewhere + "/shots/0010.000.png")) << r.errors;
}

TEST_F(ProgramRuns, WithoutDataAnywhereTheProgramSaysWhereItLookedAndFails)
{
    if (exists(VELMORA_INSTALLED_DATA_DIR)) {
        GTEST_SKIP() << "an installed copy in " VELMORA_INSTALLED_DATA_DIR " would be found";
    }
    // The program alone, away from any data, started from an empty folder.
    const std::string bin = work_ + "/lonely/bin";
    ASSERT_EQ(std::system(("mkdir -p '" + bin + "' && cp '" + velmora + "' '" + bin + "/'").c_str()), 0);
    const std::string empty = work_ + "/empty";
    mkdir(empty.c_str(), 0777);
    RunSetup there;
    there.folder = empty;
    const RunResult r = run({bin + "/velmora", "--frames", "shots", "--at", "1"}, there);
    EXPECT_EQ(r.status, 1) << r.errors;
    for (const std::string& place : {empty, work_ + "/lonely/share/velmora", std::string(VELMORA_INSTALLED_DATA_DIR)}) {
        EXPECT_NE(r.errors.find(place), std::string::npos) << "does not name " << place << ": " << r.errors;
    }
    EXPECT_NE(r.errors.find("--data"), std::string::npos) << r.errors;
    EXPECT_FALSE(exists(empty + "/shots"));
}

// Occurrences of text in a string.
static size_t countOf(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + what.size())) {
        ++n;
    }
    return n;
}

TEST_F(ProgramRuns, BenchmarkOfTwoSecondsWritesEveryFrameAndATableRowPerSceneCovered)
{
    if (!generatedDataPresent()) {
        GTEST_SKIP() << "the generated data is not built";
    }
    RunSetup setup;
    const std::string json = work_ + "/two.json";
    const RunResult r = run({velmora, "--data", data(), "--benchmark", "--start-at", "44", "--end-at", "46", "--fps",
                             "30", "--benchmark-out", json},
                            setup);
    ASSERT_EQ(r.status, 0) << r.errors;
    const std::string text = readFile(json);
    // 44 s to 46 s at 30 frames a second, both ends drawn: 60 steps and the frame at 44 itself, all
    // in the Title scene.
    EXPECT_EQ(countOf(text, "{\"t\": "), 61u) << text.substr(0, 2000);
    EXPECT_EQ(countOf(text, "\"scene\": \"Title\", \"ms\": "), 61u);
    EXPECT_NE(text.find("{\"t\": 44.0000, "), std::string::npos);
    EXPECT_NE(text.find("{\"t\": 46.0000, "), std::string::npos);
    EXPECT_NE(text.find("\"gl_renderer\": "), std::string::npos);
    EXPECT_NE(text.find("\"scene\": \"Title\", \"start\": 44.000, \"end\": 69.000, \"frames\": 61,"),
              std::string::npos);
    EXPECT_NE(r.errors.find("\nTitle               61 "), std::string::npos) << r.errors;
    EXPECT_EQ(r.errors.find("\nOpening "), std::string::npos) << r.errors;

    // Across the first scene change: one row for each of the two scenes.
    const RunResult across =
        run({velmora, "--data", data(), "--benchmark", "--start-at", "43.5", "--end-at", "44.5", "--fps", "10"}, setup);
    ASSERT_EQ(across.status, 0) << across.errors;
    EXPECT_NE(across.errors.find("\nOpening "), std::string::npos) << across.errors;
    EXPECT_NE(across.errors.find("\nTitle "), std::string::npos) << across.errors;
    EXPECT_EQ(across.errors.find("\nCredits "), std::string::npos) << across.errors;
}

TEST_F(ProgramRuns, BenchmarkWithARecordingOrItsFileAloneIsRefusedWithExitStatus2)
{
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{velmora, "--benchmark", "--capture", work_ + "/a.mp4"},
          std::vector<std::string>{velmora, "--benchmark", "--frames", work_, "--at", "3"},
          std::vector<std::string>{velmora, "--benchmark-out", work_ + "/b.json"}}) {
        const RunResult r = run(arguments, RunSetup{});
        EXPECT_EQ(r.status, 2) << arguments[1] << ": " << r.errors;
        EXPECT_NE(r.errors.find("--benchmark"), std::string::npos) << r.errors;
    }
    EXPECT_FALSE(exists(work_ + "/b.json"));
}

TEST_F(ProgramRuns, DisplayListsAndImmediateModeDrawByteIdenticalFrames)
{
    if (!generatedDataPresent()) {
        GTEST_SKIP() << "the generated data is not built";
    }
    // One or two moments in every scene; the Opening and the Credits draw their gridded models.
    const std::string times = "10,40,50,85,100,112,130,146,164,200";
    for (const char* path : {"lists", "immediate"}) {
        RunSetup setup;
        setup.timeoutSeconds = 500;
        if (std::string(path) == "immediate") {
            setup.set = {{"VELMORA_IMMEDIATE", "1"}};
        } else {
            setup.unset = {"VELMORA_IMMEDIATE"};
        }
        const RunResult r = run({velmora, "--data", data(), "--resolution", "640x480", "--fps", "2", "--frames",
                                 work_ + "/" + path, "--at", times},
                                setup);
        ASSERT_EQ(r.status, 0) << path << ": " << r.errors;
    }
    for (const char* name : {"0010.000", "0040.000", "0050.000", "0085.000", "0100.000", "0112.000", "0130.000",
                             "0146.000", "0164.000", "0200.000"}) {
        const std::string lists = readFile(work_ + "/lists/" + name + ".png");
        ASSERT_FALSE(lists.empty()) << name;
        EXPECT_TRUE(lists == readFile(work_ + "/immediate/" + name + ".png")) << name << " differs between the paths";
    }
}

TEST_F(ProgramRuns, OnTheFixedStepClockALaterStartDrawsTheVeryFramesOfAWholeRun)
{
    if (!generatedDataPresent()) {
        GTEST_SKIP() << "the generated data is not built";
    }
    // One moment in each scene, each from a start shortly before it: the particle streams, the
    // picture swing, the wood, the blobs, the Second verse's arcs (from 125, a few seconds of
    // random draws before them), the Third verse's particle trails, the white particles, the
    // closing streaks. Small frames: what differs shows all the same.
    struct Moment {
        const char* start;
        const char* at;
    };
    const Moment moments[] = {{"39.5", "40"}, {"59.5", "60"},   {"84.5", "85"},   {"111.5", "112"},
                              {"125", "130"}, {"149.5", "150"}, {"163.5", "164"}, {"199.5", "200"}};
    const std::vector<std::string> common = {fastVelmora(), "--data", data(), "--size", "320x240", "--fps", "10"};
    RunSetup setup;
    setup.timeoutSeconds = 280;
    std::string all;
    for (const Moment& m : moments) {
        all += (all.empty() ? "" : ",") + std::string(m.at);
    }
    std::vector<std::string> whole = common;
    whole.insert(whole.end(), {"--frames", work_ + "/whole", "--at", all});
    RunResult r = run(whole, setup);
    ASSERT_EQ(r.status, 0) << r.errors;
    // Two runs at a time: each replays everything before its start.
    std::vector<RunResult> results(std::size(moments));
    for (size_t i = 0; i < std::size(moments); i += 2) {
        std::vector<std::thread> pair;
        for (size_t j = i; j < std::min(i + 2, std::size(moments)); ++j) {
            std::vector<std::string> later = common;
            later.insert(later.end(), {"--frames", work_ + "/later" + std::to_string(j), "--start-at", moments[j].start,
                                       "--at", moments[j].at});
            pair.emplace_back([&results, j, later, setup] { results[j] = run(later, setup); });
        }
        for (std::thread& t : pair) {
            t.join();
        }
    }
    for (size_t i = 0; i < std::size(moments); ++i) {
        const Moment& m = moments[i];
        ASSERT_EQ(results[i].status, 0) << results[i].errors;
        char name[32];
        std::snprintf(name, sizeof name, "/%08.3f.png", std::atof(m.at));
        const std::string expected = readFile(work_ + "/whole" + name);
        ASSERT_FALSE(expected.empty()) << name;
        EXPECT_TRUE(expected == readFile(work_ + "/later" + std::to_string(i) + name))
            << "at " << m.at << " s from --start-at " << m.start << " against a whole run";
    }
}
