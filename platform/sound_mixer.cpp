// The sound layer on SDL2_mixer: output at the requested rate, one music stream decoded and played
// in the background by the mixer's own thread, stop and close. When no device can be opened it
// falls back to SDL's dummy driver so the presentation runs in silence.
#include "platform/platform.h"

#include <SDL2/SDL.h>
#include <SDL2/SDL_mixer.h>

#include <cstdio>
#include <vector>

namespace {

bool audioOpen = false;
bool spectrumActive = false;
std::vector<Mix_Music*> streams;

bool openDevice(int mixRate)
{
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        return false;
    }
    if (Mix_OpenAudio(mixRate, MIX_DEFAULT_FORMAT, 2, 2048) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    return true;
}

}  // namespace

bool sndInit(int mixRate, int /*channels*/, unsigned /*flags*/)
{
    if (audioOpen) {
        return true;
    }
    // Audio starts on its own, so a failing audio driver never takes the video with it.
    if (!openDevice(mixRate)) {
        std::fprintf(stderr, "velmora: no audio device (%s); playing in silence\n", SDL_GetError());
        // Overriding: a driver named in SDL_AUDIODRIVER would otherwise win over a plain hint.
        SDL_SetHintWithPriority(SDL_HINT_AUDIODRIVER, "dummy", SDL_HINT_OVERRIDE);
        if (!openDevice(mixRate)) {
            std::fprintf(stderr, "velmora: cannot start silent audio either (%s)\n", SDL_GetError());
            return false;
        }
    }
    Mix_Init(MIX_INIT_MP3);
    audioOpen = true;
    return true;
}

void sndSetSpectrumActive(bool active)
{
    spectrumActive = active;
}

SoundStream sndStreamOpen(const char* path, unsigned /*mode*/, int /*length*/)
{
    if (!audioOpen) {
        return nullptr;
    }
    Mix_Music* music = Mix_LoadMUS(path);
    if (music == nullptr) {
        std::fprintf(stderr, "velmora: cannot play %s (%s); playing in silence\n", path, Mix_GetError());
        return nullptr;
    }
    streams.push_back(music);
    return music;
}

double sndStreamSeconds(SoundStream stream)
{
    return stream != nullptr ? Mix_MusicDuration(static_cast<Mix_Music*>(stream)) : -1.0;
}

bool sndStreamPlay(int /*channel*/, SoundStream stream)
{
    if (!audioOpen || stream == nullptr) {
        return false;
    }
    return Mix_PlayMusic(static_cast<Mix_Music*>(stream), 0) == 0;
}

void sndStreamStop(SoundStream stream)
{
    if (audioOpen && stream != nullptr) {
        Mix_HaltMusic();
    }
}

void sndStreamSeek(SoundStream stream, double seconds)
{
    if (audioOpen && stream != nullptr && seconds >= 0.0) {
        Mix_SetMusicPosition(seconds);
    }
}

void sndStreamPause(SoundStream stream, bool paused)
{
    if (!audioOpen || stream == nullptr) {
        return;
    }
    if (paused) {
        Mix_PauseMusic();
    } else {
        Mix_ResumeMusic();
    }
}

double sndStreamPosition(SoundStream stream)
{
    return audioOpen && stream != nullptr ? Mix_GetMusicPosition(static_cast<Mix_Music*>(stream)) : -1.0;
}

void sndClose()
{
    if (!audioOpen) {
        return;
    }
    Mix_HaltMusic();
    for (Mix_Music* music : streams) {
        Mix_FreeMusic(music);
    }
    streams.clear();
    Mix_CloseAudio();
    Mix_Quit();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    audioOpen = false;
    spectrumActive = false;
}
