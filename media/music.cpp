// The four music operations over the platform's sound layer. Failures leave the presentation
// silent; the layer says why on stderr.
#include "media/music.h"

#include <cstdio>

#include "core/switches.h"

SoundStream musicStream = nullptr;

namespace {
uint32_t musicStartTick = 0;
MusicStartObserver musicStartObserver = nullptr;
bool musicOff = false;
}  // namespace

void setMusicStartObserver(MusicStartObserver observer)
{
    musicStartObserver = observer;
}

void setMusicOff(bool off)
{
    musicOff = off;
}

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
    musicStream = sndStreamOpen(fileName, 0x2000, 0);
    const double seconds = sndStreamSeconds(musicStream);
    if (musicStream != nullptr && seconds >= 0.0 && seconds < secondsNeeded) {
        std::fprintf(stderr, "velmora: %s lasts %.1f s, less than the presentation's %.0f s; the rest is silent\n",
                     fileName, seconds, secondsNeeded);
    }
    sndStreamPlay(0, musicStream);
    musicStartTick = sysTickCount();
    if (musicStream != nullptr && musicStartObserver != nullptr) {
        musicStartObserver(fileName);
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
        sndStreamSeek(musicStream, static_cast<double>(sysTickCount() - musicStartTick) / 1000.0);
    }
}

void stopSound()
{
    sndSetSpectrumActive(false);
    sndClose();
    musicStream = nullptr;
}
