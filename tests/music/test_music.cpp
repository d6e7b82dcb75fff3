// Checks of the soundtrack generator: the file it writes is decoded with libmpg123 and checked for
// what the presentation and a listener rely on (format, length, headroom, a sounding section per
// scene, the title hit, a real ending, loudness, byte-identical reruns), plus the loudness meter
// and the limiter that master it. The track is generated once into a folder of these tests and
// shared by every case (each case runs in its own process under ctest).
#include <fcntl.h>
#include <gtest/gtest.h>
#include <mpg123.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "music.h"
#include "tools/assetgen/music/effects.h"
#include "tools/assetgen/music/score.h"

namespace fs = std::filesystem;

namespace {

// Scene start times in seconds from the first scene, and the end of the last one.
const double kSceneStarts[] = {0.0, 44.0, 69.0, 103.5, 122.0, 138.0, 155.0, 172.0};
const double kScenesEnd = 232.0;

struct Decoded {
    long rate = 0;
    int channels = 0;
    std::vector<float> left, right;
    std::string error;
    double seconds() const { return rate ? static_cast<double>(left.size()) / static_cast<double>(rate) : 0.0; }
};

Decoded decodeMp3(const fs::path& file)
{
    Decoded d;
    int err = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh) {
        d.error = "mpg123_new failed";
        return d;
    }
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_FORCE_FLOAT | MPG123_QUIET, 0.0);
    int encoding = 0;
    if (mpg123_open(mh, file.string().c_str()) != MPG123_OK ||
        mpg123_getformat(mh, &d.rate, &d.channels, &encoding) != MPG123_OK) {
        d.error = std::string("cannot open: ") + mpg123_strerror(mh);
        mpg123_delete(mh);
        return d;
    }
    if (encoding != MPG123_ENC_FLOAT_32 || d.channels < 1 || d.channels > 2) {
        d.error = "unexpected decoder output format";
        mpg123_delete(mh);
        return d;
    }
    const off_t expected = mpg123_length(mh);
    if (expected > 0) {
        d.left.reserve(static_cast<size_t>(expected));
        d.right.reserve(static_cast<size_t>(expected));
    }
    std::vector<float> buffer(16384);
    for (;;) {
        size_t bytes = 0;
        const int rc =
            mpg123_read(mh, reinterpret_cast<unsigned char*>(buffer.data()), buffer.size() * sizeof(float), &bytes);
        const size_t count = bytes / sizeof(float);
        for (size_t i = 0; i + static_cast<size_t>(d.channels) <= count; i += static_cast<size_t>(d.channels)) {
            d.left.push_back(buffer[i]);
            d.right.push_back(buffer[i + static_cast<size_t>(d.channels) - 1]);
        }
        if (rc == MPG123_DONE)
            break;
        if (rc != MPG123_OK && rc != MPG123_NEW_FORMAT) {
            d.error = std::string("decode error: ") + mpg123_strerror(mh);
            break;
        }
    }
    mpg123_close(mh);
    mpg123_delete(mh);
    return d;
}

std::vector<char> readBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The track shared by the cases: generated under the build folder once, and again whenever this
// test program was rebuilt after it (a change to the generator relinks the program). A lock keeps
// cases that ctest runs in parallel from generating it twice or reading it half written.
fs::path sharedTrack()
{
    const fs::path dir = fs::path(VELMORA_BINARY_DIR) / "tests" / "music" / "generated";
    const fs::path file = dir / "music" / "velmora.mp3";
    std::error_code ec;
    fs::create_directories(dir, ec);
    const int lock = ::open((dir / ".lock").c_str(), O_CREAT | O_RDWR, 0644);
    if (lock >= 0)
        ::flock(lock, LOCK_EX);
    const fs::file_time_type built = fs::last_write_time("/proc/self/exe", ec);
    if (!fs::exists(file) || ec || fs::last_write_time(file) < built) {
        if (!writeMusic(dir.string()))
            fs::remove(file, ec);
    }
    if (lock >= 0) {
        ::flock(lock, LOCK_UN);
        ::close(lock);
    }
    return file;
}

const Decoded& track()
{
    static const Decoded decoded = decodeMp3(sharedTrack());
    return decoded;
}

// RMS level in dBFS of both channels between two times in seconds.
double levelDb(const Decoded& d, double from, double to)
{
    const size_t a = std::min(d.left.size(), static_cast<size_t>(from * static_cast<double>(d.rate)));
    const size_t b = std::min(d.left.size(), static_cast<size_t>(to * static_cast<double>(d.rate)));
    if (b <= a)
        return -200.0;
    double sum = 0.0;
    for (size_t i = a; i < b; ++i)
        sum += static_cast<double>(d.left[i]) * d.left[i] + static_cast<double>(d.right[i]) * d.right[i];
    return 10.0 * std::log10(std::max(sum / (2.0 * static_cast<double>(b - a)), 1e-20));
}

class Track : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(track().error.empty()) << track().error;
        ASSERT_FALSE(track().left.empty());
    }
};

TEST_F(Track, IsStereo44100AndLongEnoughForScenesAndLoading)
{
    const Decoded& d = track();
    EXPECT_EQ(d.rate, 44100);
    EXPECT_EQ(d.channels, 2);
    EXPECT_GE(d.seconds(), 236.0);
    EXPECT_LE(d.seconds(), 250.0);
}

TEST_F(Track, NoSampleReachesMinusOneDbfs)
{
    const Decoded& d = track();
    float peak = 0.0f;
    for (size_t i = 0; i < d.left.size(); ++i)
        peak = std::max({peak, std::fabs(d.left[i]), std::fabs(d.right[i])});
    EXPECT_LT(peak, std::pow(10.0f, -1.0f / 20.0f)) << "peak " << 20.0 * std::log10(peak) << " dBFS";
    EXPECT_GT(peak, std::pow(10.0f, -6.0f / 20.0f)) << "the master should use its headroom";
}

TEST_F(Track, EverySceneSoundsWithoutDropouts)
{
    const Decoded& d = track();
    for (size_t k = 0; k < std::size(kSceneStarts); ++k) {
        const double end = k + 1 < std::size(kSceneStarts) ? kSceneStarts[k + 1] : kScenesEnd;
        EXPECT_GT(levelDb(d, kSceneStarts[k], end), -32.0) << "scene " << k + 1;
    }
    // The opening fades in over its first seconds; from then on no second may fall silent.
    for (double t = 3.0; t + 1.0 <= kScenesEnd; t += 0.5) {
        EXPECT_GT(levelDb(d, t, t + 1.0), -45.0) << "second from " << t << " s";
    }
}

TEST_F(Track, OpeningBuildsUpAndTheTitleHitLandsAt44Seconds)
{
    const Decoded& d = track();
    EXPECT_LT(levelDb(d, 2.0, 10.0) + 6.0, levelDb(d, 20.0, 30.0));
    EXPECT_LT(levelDb(d, 20.0, 30.0) + 3.0, levelDb(d, 34.0, 43.0));
    const double before = levelDb(d, 43.0, 44.0);
    const double after = levelDb(d, 44.0, 45.0);
    EXPECT_GT(after, before + 1.0) << "before " << before << " dB, after " << after << " dB";
}

TEST_F(Track, EndsByDyingAwayNotByACut)
{
    const Decoded& d = track();
    EXPECT_GT(levelDb(d, 228.0, 232.0), -30.0) << "the last chord rings while the last scene ends";
    EXPECT_LT(levelDb(d, d.seconds() - 1.0, d.seconds()), -60.0);
    double previous = levelDb(d, 232.0, 233.0);
    for (double t = 233.0; t + 1.0 <= d.seconds(); t += 1.0) {
        const double level = levelDb(d, t, t + 1.0);
        EXPECT_LT(level, previous + 1.0) << "the ring-out rises again at " << t << " s";
        previous = level;
    }
}

TEST_F(Track, IntegratedLoudnessIsNearMinus14Lufs)
{
    const double lufs = music::integratedLoudness(track().left, track().right);
    EXPECT_NEAR(lufs, -14.0, 0.5);
}

TEST(Music, TwoRunsWriteIdenticalBytes)
{
    const fs::path shared = sharedTrack();
    const fs::path dir = fs::temp_directory_path() / ("velmora-music-rerun-" + std::to_string(::getpid()));
    std::error_code ec;
    fs::remove_all(dir, ec);
    ASSERT_TRUE(writeMusic(dir.string()));
    const std::vector<char> a = readBytes(shared);
    const std::vector<char> b = readBytes(dir / "music" / "velmora.mp3");
    EXPECT_FALSE(fs::exists(dir / "music" / "velmora.mp3.part"));
    fs::remove_all(dir, ec);
    ASSERT_GT(a.size(), 1000000u);
    EXPECT_TRUE(a == b) << "sizes " << a.size() << " and " << b.size();
}

TEST(Music, UnwritableFolderIsReportedAsFailure)
{
    const fs::path blocker = fs::temp_directory_path() / ("velmora-music-blocker-" + std::to_string(::getpid()));
    {
        std::ofstream(blocker) << "a file where the data folder should be";
    }
    EXPECT_FALSE(writeMusic(blocker.string()));
    std::error_code ec;
    fs::remove(blocker, ec);
}

TEST(Music, EverySceneChangeIsAHitOnTheBeat)
{
    const music::Score score = music::composeScore();
    for (size_t k = 0; k < std::size(kSceneStarts); ++k) {
        EXPECT_DOUBLE_EQ(music::beatToSeconds(music::kSceneBeats[k]), kSceneStarts[k]);
        if (k == 0)
            continue;  // the opening fades in
        const bool crash = std::any_of(score.notes.begin(), score.notes.end(), [&](const music::Note& n) {
            return n.instrument == music::Instrument::Crash && n.beat == music::kSceneBeats[k];
        });
        EXPECT_TRUE(crash) << "scene " << k + 1 << " at " << kSceneStarts[k] << " s";
    }
    EXPECT_DOUBLE_EQ(music::beatToSeconds(music::kScenesEndBeat), kScenesEnd);
}

// A 997 Hz sine at -20 dBFS in both channels reads -20 LUFS; silence around it is gated out.
TEST(Loudness, MeterReadsTheReferenceToneAndGatesSilence)
{
    const size_t n = 10 * 44100;
    std::vector<float> l(n), r(n);
    for (size_t i = 0; i < n; ++i)
        l[i] = r[i] = 0.1f * static_cast<float>(std::sin(2.0 * music::kPi * 997.0 * i / 44100.0));
    EXPECT_NEAR(music::integratedLoudness(l, r), -20.0, 0.1);
    l.insert(l.begin(), n, 0.0f);
    r.insert(r.begin(), n, 0.0f);
    EXPECT_NEAR(music::integratedLoudness(l, r), -20.0, 0.1);
    std::vector<float> silence(n, 0.0f);
    EXPECT_LE(music::integratedLoudness(silence, silence), -69.0);
}

// Loud spikes over a quiet bed: the limiter holds the ceiling on and between samples while the
// gain brings the whole to the target.
TEST(Loudness, MasterReachesTargetUnderTheCeiling)
{
    const size_t n = 6 * 44100;
    std::vector<float> l(n), r(n);
    for (size_t i = 0; i < n; ++i) {
        const float bed = 0.05f * static_cast<float>(std::sin(2.0 * music::kPi * 220.0 * i / 44100.0));
        const float spike =
            (i % 22050 < 300) ? 0.9f * static_cast<float>(std::sin(2.0 * music::kPi * 3000.0 * i / 44100.0)) : 0.0f;
        l[i] = bed + spike;
        r[i] = bed - spike;
    }
    const double reached = music::masterToLoudness(l, r, -14.0, -2.0f);
    EXPECT_NEAR(reached, -14.0, 0.05);
    EXPECT_NEAR(music::integratedLoudness(l, r), -14.0, 0.05);
    const float ceiling = std::pow(10.0f, -2.0f / 20.0f);
    for (size_t i = 0; i < n; ++i) {
        ASSERT_LE(std::fabs(l[i]), ceiling * 1.0001f) << i;
        ASSERT_LE(std::fabs(r[i]), ceiling * 1.0001f) << i;
    }
}

}  // namespace
