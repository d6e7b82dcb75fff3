// The sound layer in a browser page: the music file streams through an audio element that the page
// serves beside the program's data (data/<path>); the browser decodes and plays it on its own.
// Starting and moving the music wait, with the tick count held, until the browser plays it from
// there, so that pictures and music begin together however long the network takes.
// Silent, as on the desktop, when SDL_AUDIODRIVER is "dummy" (recordings set it).
#include "platform/platform.h"

#include <emscripten.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

bool audioOpen = false;
bool silent = false;

int handleOf(SoundStream stream)
{
    return static_cast<int>(reinterpret_cast<intptr_t>(stream));
}

EM_JS(void, waitForMusicStart, (int handle, int tick), {
    Asyncify.handleSleep(function(wakeUp) { window.velmora.startMusic(handle, tick, wakeUp); });
});

EM_JS(void, waitForMusicSeek, (int handle, double seconds, int tick), {
    Asyncify.handleSleep(function(wakeUp) { window.velmora.seekMusic(handle, seconds, tick, wakeUp); });
});

}  // namespace

bool sndInit(int, int, unsigned)
{
    const char* driver = std::getenv("SDL_AUDIODRIVER");
    silent = driver != nullptr && std::strcmp(driver, "dummy") == 0;
    audioOpen = true;
    return true;
}

void sndSetSpectrumActive(bool)
{
}

SoundStream sndStreamOpen(const char* path, unsigned, int)
{
    if (!audioOpen || silent || path == nullptr) {
        return nullptr;
    }
    const int handle = EM_ASM_INT({ return window.velmora.openMusic(UTF8ToString($0)); }, path);
    return reinterpret_cast<SoundStream>(static_cast<intptr_t>(handle));
}

bool sndStreamPlay(int, SoundStream stream)
{
    if (!audioOpen || stream == nullptr) {
        return false;
    }
    sysHoldClock(true);
    waitForMusicStart(handleOf(stream), static_cast<int>(sysTickCount()));
    sysHoldClock(false);
    return true;
}

void sndStreamStop(SoundStream stream)
{
    if (audioOpen && stream != nullptr) {
        EM_ASM({
            var audio = window.velmora.audio[$0 - 1];
            if (audio) audio.pause();
        }, handleOf(stream));
    }
}

// The audio element streams the file, so its length is not known when it opens.
double sndStreamSeconds(SoundStream)
{
    return -1.0;
}

double sndStreamPosition(SoundStream stream)
{
    if (!audioOpen || stream == nullptr) {
        return -1.0;
    }
    return EM_ASM_DOUBLE({
        var audio = window.velmora.audio[$0 - 1];
        return audio ? audio.currentTime : -1.0;
    }, handleOf(stream));
}

void sndStreamSeek(SoundStream stream, double seconds)
{
    if (audioOpen && stream != nullptr && seconds >= 0.0) {
        sysHoldClock(true);
        waitForMusicSeek(handleOf(stream), seconds, static_cast<int>(sysTickCount()));
        sysHoldClock(false);
    }
}

void sndStreamPause(SoundStream stream, bool paused)
{
    if (audioOpen && stream != nullptr) {
        EM_ASM({
            var audio = window.velmora.audio[$0 - 1];
            if (!audio) return;
            audio.held = !!$1;
            if ($1) audio.pause(); else audio.play().catch(function() {});
        }, handleOf(stream), paused ? 1 : 0);
    }
}

void sndClose()
{
    if (!audioOpen) {
        return;
    }
    EM_ASM({
        for (var i = 0; i < window.velmora.audio.length; ++i) {
            var audio = window.velmora.audio[i];
            audio.pause();
            audio.removeAttribute('src');
            audio.load();
            audio.remove();
        }
        window.velmora.audio = [];
    });
    audioOpen = false;
}
