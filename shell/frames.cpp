// The presentation time capture and frame export label frames with, and the read-back of a
// finished frame. Reads the scene clock, the scene table and the sequencer's current scene.
#include "shell/frames.h"

#include <cstddef>

#include "core/gl.h"
#include "core/clock.h"
#include "scenes/scenes.h"
#include "shell/sequencer.h"

double presentationTime()
{
    if (currentSceneIndex < 0 || currentSceneIndex >= sceneCount) {
        return -1.0;
    }
    return static_cast<double>(sceneTable[currentSceneIndex].start) + static_cast<double>(sceneTime);
}

const char* sceneName(int sceneIndex)
{
    return sceneIndex >= 0 && sceneIndex < sceneCount ? sceneTable[sceneIndex].name : "Loading";
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
