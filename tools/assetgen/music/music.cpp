// The soundtrack "music/velmora.mp3": plays the score through the instruments, adds echo and
// reverb, masters to broadcast loudness and encodes with libmp3lame (128 kbps CBR, LAME/Info tag so
// players trim the encoder delay). Everything is seeded, so every run writes the same bytes.
// Depends on score, instruments, effects, lame/lame.h and std::thread.
#include "music.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

#include "tools/assetgen/music/effects.h"
#include "tools/assetgen/music/instruments.h"
#include "tools/assetgen/music/score.h"
#include "tools/assetgen/music/synth.h"

namespace {

constexpr double kTargetLufs = -14.0;
// At 128 kbps the encoder's quantisation takes about 0.45 dB of energy out of this mix, evenly
// over the spectrum (measured on the decoded file against the mastered signal; at 320 kbps the
// loss is nil), so the master aims that much higher for the file to measure -14 LUFS.
constexpr double kEncoderLossDb = 0.45;
// Encoding also adds to the peaks: a -2.3 dBFS ceiling here measures about -1.5 dBFS true peak in
// the decoded file, safely below -1.
constexpr float kCeilingDb = -2.3f;
constexpr double kTailFadeSeconds = 4.0;

struct Track {
    std::vector<float> left, right;
};

Track renderTrack()
{
    using namespace music;
    const Score score = composeScore();
    Bus bus(static_cast<size_t>(beatToFrame(score.lengthBeats)), true);
    const Orchestra orchestra(score, bus.frames());
    std::vector<uint32_t> seeds(score.notes.size());
    uint32_t seed = 0x2545f491u;
    for (uint32_t& s : seeds)
        s = seed = seed * 747796405u + 2891336453u;
    // Two halves of the track on two threads; each frame still sums its notes in score order, so
    // the result does not depend on the split.
    auto renderWindow = [&](size_t first, size_t last) {
        for (size_t k = 0; k < score.notes.size(); ++k)
            orchestra.play(score.notes[k], seeds[k], bus, first, last);
    };
    const size_t middle = bus.frames() / 2;
    std::thread secondHalf;
    try {
        secondHalf = std::thread(renderWindow, middle, bus.frames());
    } catch (const std::system_error&) {
        renderWindow(middle, bus.frames());  // no second thread to be had: same result, slower
    }
    renderWindow(0, middle);
    if (secondHalf.joinable())
        secondHalf.join();
    orchestra.mixPads(bus);
    applyEcho(bus, 0.75 * kSecondsPerBeat, 0.42f);  // dotted eighth
    applyReverb(bus, 2.8f, 0.32f);

    Track t{std::move(bus.left), std::move(bus.right)};
    std::vector<float>().swap(bus.echoSend);
    std::vector<float>().swap(bus.reverbSend);
    // Rumble below the bass only costs headroom. Above 16 kHz the encoder keeps nothing at this
    // bit rate, so the band is cut here (fourth order) for the loudness to be measured on what
    // the listener gets. The tail fades so the file never ends on a cut.
    Svf rumbleL, rumbleR, airL1, airL2, airR1, airR2;
    rumbleL.set(24.0f, 0.7f);
    rumbleR.set(24.0f, 0.7f);
    airL1.set(16000.0f, 0.5412f);
    airL2.set(16000.0f, 1.3066f);
    airR1.set(16000.0f, 0.5412f);
    airR2.set(16000.0f, 1.3066f);
    const size_t n = t.left.size();
    const size_t fadeStart = n - static_cast<size_t>(kTailFadeSeconds * kSampleRate);
    for (size_t i = 0; i < n; ++i) {
        float g = 1.0f;
        if (i >= fadeStart) {
            const double x = static_cast<double>(i - fadeStart) / static_cast<double>(n - fadeStart);
            g = static_cast<float>(0.5 + 0.5 * std::cos(kPi * x));
        }
        t.left[i] = airL2.lowpass(airL1.lowpass(rumbleL.highpass(t.left[i]))) * g;
        t.right[i] = airR2.lowpass(airR1.lowpass(rumbleR.highpass(t.right[i]))) * g;
    }
    masterToLoudness(t.left, t.right, kTargetLufs + kEncoderLossDb, kCeilingDb);
    return t;
}

bool writeAll(FILE* f, const unsigned char* data, int bytes)
{
    return bytes <= 0 || std::fwrite(data, 1, static_cast<size_t>(bytes), f) == static_cast<size_t>(bytes);
}

// Encodes into `path`; on failure says why on stderr and leaves no file behind.
bool encodeMp3(const Track& track, const std::string& path)
{
    lame_global_flags* gf = lame_init();
    if (!gf) {
        std::fprintf(stderr, "%s: cannot start the MP3 encoder\n", path.c_str());
        return false;
    }
    lame_set_num_channels(gf, 2);
    lame_set_in_samplerate(gf, music::kSampleRate);
    lame_set_out_samplerate(gf, music::kSampleRate);
    lame_set_VBR(gf, vbr_off);
    lame_set_brate(gf, 128);
    lame_set_mode(gf, JOINT_STEREO);
    lame_set_quality(gf, 5);
    lame_set_bWriteVbrTag(gf, 1);
    if (lame_init_params(gf) < 0) {
        std::fprintf(stderr, "%s: the MP3 encoder rejected its settings\n", path.c_str());
        lame_close(gf);
        return false;
    }
    // "w+b": the encoder reads the start of the file back when it writes the Info tag.
    FILE* f = std::fopen(path.c_str(), "w+b");
    if (!f) {
        std::fprintf(stderr, "%s: cannot create the file\n", path.c_str());
        lame_close(gf);
        return false;
    }
    constexpr int kChunk = 8192;
    std::vector<unsigned char> out(kChunk + kChunk / 4 + 7200);
    bool ok = true;
    const size_t frames = track.left.size();
    for (size_t at = 0; ok && at < frames; at += kChunk) {
        const int count = static_cast<int>(std::min<size_t>(kChunk, frames - at));
        const int bytes = lame_encode_buffer_ieee_float(gf, &track.left[at], &track.right[at], count, out.data(),
                                                        static_cast<int>(out.size()));
        ok = bytes >= 0 && writeAll(f, out.data(), bytes);
    }
    if (ok) {
        const int bytes = lame_encode_flush(gf, out.data(), static_cast<int>(out.size()));
        ok = bytes >= 0 && writeAll(f, out.data(), bytes);
    }
    if (ok) {
        lame_mp3_tags_fid(gf, f);
        ok = std::fflush(f) == 0 && !std::ferror(f);
    }
    ok = (std::fclose(f) == 0) && ok;
    lame_close(gf);
    if (!ok) {
        std::fprintf(stderr, "%s: writing the encoded music failed\n", path.c_str());
        std::remove(path.c_str());
    }
    return ok;
}

}  // namespace

bool writeMusic(const std::string& dataDir)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(dataDir) / "music";
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        std::fprintf(stderr, "%s: cannot create the folder: %s\n", folder.string().c_str(), ec.message().c_str());
        return false;
    }
    const fs::path file = folder / "velmora.mp3";
    // Written aside and renamed, so an interrupted build never leaves a truncated track in place.
    const fs::path partial = folder / "velmora.mp3.part";
    const Track track = renderTrack();
    if (!encodeMp3(track, partial.string()))
        return false;
    fs::rename(partial, file, ec);
    if (ec) {
        std::fprintf(stderr, "%s: cannot move the finished file into place: %s\n", file.string().c_str(),
                     ec.message().c_str());
        fs::remove(partial, ec);
        return false;
    }
    return true;
}
