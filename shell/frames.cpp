// The single frame observer slot used by capture and frame export.
#include "shell/frames.h"

namespace {
FrameObserver frameObserver = nullptr;
}

void setFrameObserver(FrameObserver observer)
{
    frameObserver = observer;
}

void notifyFramePresenting()
{
    if (frameObserver != nullptr) {
        frameObserver();
    }
}

namespace {
MusicStartObserver musicStartObserver = nullptr;
}

void setMusicStartObserver(MusicStartObserver observer)
{
    musicStartObserver = observer;
}

void notifyMusicStarted(const char* musicFile)
{
    if (musicStartObserver != nullptr) {
        musicStartObserver(musicFile);
    }
}
