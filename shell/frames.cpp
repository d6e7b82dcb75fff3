// The presentation time capture and frame export label frames with, and the read-back of a
// finished frame. Reads the scene clock, the scene table and the sequencer's current scene.
#include "shell/frames.h"

#include <algorithm>
#include <cstddef>

#include "core/clock.h"
#include "core/gl.h"
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

void boxFilter(const std::vector<uint8_t>& large, int width, int height, int channels, int factor,
               std::vector<uint8_t>* small)
{
    const size_t w = static_cast<size_t>(width);
    const size_t c = static_cast<size_t>(channels);
    const size_t n = static_cast<size_t>(factor);
    const size_t largeRow = w * n * c;
    const unsigned area = static_cast<unsigned>(factor * factor);
    small->resize(w * static_cast<size_t>(height) * c);
    std::vector<unsigned> sums(w * c);
    for (size_t y = 0; y < static_cast<size_t>(height); ++y) {
        std::fill(sums.begin(), sums.end(), 0u);
        for (size_t row = y * n; row < (y + 1) * n; ++row) {
            const uint8_t* in = large.data() + row * largeRow;
            for (size_t x = 0; x < w; ++x) {
                for (size_t k = 0; k < n; ++k) {
                    for (size_t i = 0; i < c; ++i) {
                        sums[x * c + i] += in[(x * n + k) * c + i];
                    }
                }
            }
        }
        uint8_t* out = small->data() + y * w * c;
        for (size_t i = 0; i < w * c; ++i) {
            out[i] = static_cast<uint8_t>((sums[i] + area / 2) / area);
        }
    }
}

void readFramePixels(int width, int height, int supersample, PixelLayout layout, std::vector<uint8_t>* pixels)
{
    if (supersample > 1) {
        static std::vector<uint8_t> large;
        readFramePixels(width * supersample, height * supersample, 1, layout, &large);
        boxFilter(large, width, height, layout == PixelLayout::Bgra ? 4 : 3, supersample, pixels);
        return;
    }
    readPixelRect(PixelRect{0, 0, width, height}, layout, pixels);
}

void readPixelRect(const PixelRect& rect, PixelLayout layout, std::vector<uint8_t>* pixels)
{
    const bool bgra = layout == PixelLayout::Bgra;
    pixels->resize(static_cast<size_t>(rect.width) * rect.height * (bgra ? 4u : 3u));
    GLint alignment = 4;
    GLint readBuffer = GL_BACK;
    GLint drawBuffer = GL_BACK;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glGetIntegerv(GL_READ_BUFFER, &readBuffer);
    // A single-buffered offscreen surface draws to the front buffer: read wherever drawing went.
    glGetIntegerv(GL_DRAW_BUFFER, &drawBuffer);
    glReadBuffer(static_cast<GLenum>(drawBuffer));
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(rect.x, rect.y, rect.width, rect.height, bgra ? GL_BGRA : GL_RGB, GL_UNSIGNED_BYTE, pixels->data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    glReadBuffer(static_cast<GLenum>(readBuffer));
}
