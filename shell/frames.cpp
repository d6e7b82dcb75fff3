// The frame and music-start observer slots used by capture and frame export, the presentation
// time they label frames with, and the read-back of a finished frame. Reads the scene clock and
// the sequencer's scene table.
#include "shell/frames.h"

#include <cstddef>

#include "render/gl.h"
#include "shell/clock.h"
#include "shell/sequencer.h"

namespace {
FrameObserver frameObserver = nullptr;
MusicStartObserver musicStartObserver = nullptr;
}  // namespace

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

double presentationTime()
{
    if (currentSceneIndex < 0 || currentSceneIndex > 7) {
        return -1.0;
    }
    return static_cast<double>(sceneStartTimes[currentSceneIndex]) + static_cast<double>(sceneTime);
}

const char* sceneName(int sceneIndex)
{
    static const char* const names[8] = {"Opening",      "Title",       "Credits",      "First verse",
                                         "Second verse", "Third verse", "Fourth verse", "Greetings"};
    return sceneIndex >= 0 && sceneIndex < 8 ? names[sceneIndex] : "Loading";
}

void readFramePixels(int width, int height, PixelLayout layout, std::vector<uint8_t>* pixels)
{
    const bool bgra = layout == PixelLayout::Bgra;
    pixels->resize(static_cast<size_t>(width) * height * (bgra ? 4u : 3u));
    GLint alignment = 4;
    GLint readBuffer = GL_BACK;
    GLint drawBuffer = GL_BACK;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    // A single-buffered offscreen surface draws to the front buffer: read wherever drawing went.
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glReadBuffer(static_cast<GLenum>(drawBuffer));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, bgra ? GL_BGRA : GL_RGB, GL_UNSIGNED_BYTE, pixels->data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glReadBuffer(static_cast<GLenum>(readBuffer));
}
