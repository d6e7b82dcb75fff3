// The four music operations over the platform's sound layer. Failures leave the presentation
// silent; the layer says why on stderr.
#include "media/music.h"

#include <cstdio>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/files.h"
#include "core/services.h"
#include "core/switches.h"

SoundStream musicStream = nullptr;

namespace {
uint32_t musicStartTick = 0;
bool musicOff = false;
}  // namespace

void setMusicOff(bool off)
{
    musicOff = off;
}

long long declaredMp3Bytes(const unsigned char* head, size_t size, size_t* streamStart)
{
    const auto bigEndian = [head](size_t at) {
        return (static_cast<uint32_t>(head[at]) << 24) | (static_cast<uint32_t>(head[at + 1]) << 16) |
               (static_cast<uint32_t>(head[at + 2]) << 8) | static_cast<uint32_t>(head[at + 3]);
    };
    size_t frame = 0;
    if (size >= 10 && head[0] == 'I' && head[1] == 'D' && head[2] == '3') {
        // The tag's size is four 7-bit bytes, not counting its 10-byte header (nor a footer).
        frame = 10 + ((head[6] & 0x7Fu) << 21 | (head[7] & 0x7Fu) << 14 | (head[8] & 0x7Fu) << 7 | (head[9] & 0x7Fu));
        if ((head[5] & 0x10u) != 0) {
            frame += 10;
        }
    }
    if (frame + 4 > size || head[frame] != 0xFF || (head[frame + 1] & 0xE0u) != 0xE0u) {
        return -1;
    }
    // The tag follows the side information, whose length depends on the MPEG version and on mono.
    const bool mpeg1 = ((head[frame + 1] >> 3) & 3u) == 3u;
    const bool mono = ((head[frame + 3] >> 6) & 3u) == 3u;
    const size_t tag = frame + 4 + (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
    if (tag + 16 > size) {
        return -1;
    }
    const bool named = (head[tag] == 'X' && head[tag + 1] == 'i' && head[tag + 2] == 'n' && head[tag + 3] == 'g') ||
                       (head[tag] == 'I' && head[tag + 1] == 'n' && head[tag + 2] == 'f' && head[tag + 3] == 'o');
    const uint32_t flags = bigEndian(tag + 4);
    if (!named || (flags & 2u) == 0) {
        return -1;
    }
    const size_t bytesField = tag + 8 + ((flags & 1u) != 0 ? 4 : 0);
    if (bytesField + 4 > size) {
        return -1;
    }
    if (streamStart != nullptr) {
        *streamStart = frame;
    }
    return bigEndian(bytesField);
}

namespace {

// A file cut short keeps the length its tag declares, so the decoder's duration does not show it:
// the tag's byte count against the file's own size does. True when it said so on stderr.
bool reportCutMp3(std::FILE* file, const char* fileName)
{
    std::vector<unsigned char> head(64 * 1024);
    const size_t got = std::fread(head.data(), 1, head.size(), file);
    long long fileSize = -1;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        fileSize = std::ftell(file);
    }
    size_t start = 0;
    const long long declared = declaredMp3Bytes(head.data(), got, &start);
    const long long present = fileSize - static_cast<long long>(start);
    if (declared > 0 && fileSize >= 0 && present < declared) {
        std::fprintf(stderr, "velmora: %s is cut short (%lld of its %lld bytes); the music stops early\n", fileName,
                     present, declared);
        return true;
    }
    return false;
}

}  // namespace

void startSound()
{
    if (!musicOff) {
        sndInit(44100, 32, 0);
        sndSetSpectrumActive(true);
    }
    musicEnabled = true;
}

void playMusic(const char* fileName, float secondsNeeded)
{
    if (!musicEnabled || musicOff) {
        return;
    }
    // The one check of every data file first: the decoder's own open would wait forever on a FIFO.
    // A file that cannot be opened is left to the sound layer, which says so (and which, in the
    // browser, fetches the music rather than reading it from the file system).
    std::string why;
    bool refused = false;
    std::FILE* file = openDataFile(fileName, &why, &refused);
    if (refused) {
        std::fprintf(stderr, "velmora: cannot play %s (%s); playing in silence\n", fileName, why.c_str());
    }
    musicStream = refused ? nullptr : sndStreamOpen(fileName, 0x2000, 0);
    // One line for a damaged file: a cut one is said to be cut, not also to be short.
    bool cut = false;
    if (file != nullptr) {
        cut = musicStream != nullptr && reportCutMp3(file, fileName);
        std::fclose(file);
    }
    const double seconds = sndStreamSeconds(musicStream);
    if (musicStream != nullptr && !cut && seconds >= 0.0 && seconds < secondsNeeded) {
        std::fprintf(stderr, "velmora: %s lasts %.1f s, less than the presentation's %.0f s; the rest is silent\n",
                     fileName, seconds, secondsNeeded);
    }
    sndStreamPlay(0, musicStream);
    musicStartTick = tickCount();
    if (musicStream != nullptr && services().musicStarted != nullptr) {
        services().musicStarted(fileName);
    }
}

void stopMusic()
{
    if (!musicEnabled) {
        return;
    }
    sndStreamStop(musicStream);
}

void catchUpMusic()
{
    if (musicEnabled && musicStream != nullptr) {
        sndStreamSeek(musicStream, static_cast<double>(tickCount() - musicStartTick) / 1000.0);
    }
}

void stopSound()
{
    sndSetSpectrumActive(false);
    sndClose();
    musicStream = nullptr;
}
