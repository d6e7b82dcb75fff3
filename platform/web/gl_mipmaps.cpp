// GLU's mipmap builder for the browser, which has no GLU: the picture is scaled to power-of-two
// sides as GLU does (nearest power, box filter) and every level down to 1 x 1 is the rounded 2 x 2
// box average of the one above.
#include "platform/web/gl_compat.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

// GLU's choice of side: halving until 1 or 3 is left, where 3 rounds up (768 -> 1024, 640 -> 512).
GLint nearestPowerOfTwo(GLint value)
{
    GLint power = 1;
    for (unsigned rest = static_cast<unsigned>(value); rest > 1; rest >>= 1) {
        if (rest == 3) {
            return power * 4;
        }
        power *= 2;
    }
    return power;
}

// Weights of a box filter that maps size source samples onto target samples: for each target
// sample, the source samples its footprint covers and by how much.
struct Tap {
    int source;
    float weight;
};
std::vector<std::vector<Tap>> boxTaps(int size, int target)
{
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(target));
    const double scale = static_cast<double>(size) / target;
    for (int i = 0; i < target; ++i) {
        const double from = i * scale;
        const double to = (i + 1) * scale;
        for (int s = static_cast<int>(std::floor(from)); s < size && s < to; ++s) {
            const double cover = std::fmin(to, s + 1.0) - std::fmax(from, static_cast<double>(s));
            if (cover > 0.0) {
                taps[static_cast<size_t>(i)].push_back(Tap{s, static_cast<float>(cover / scale)});
            }
        }
    }
    return taps;
}

// Area-averaging scale of packed rows (channels bytes a pixel) to width x height.
std::vector<uint8_t> scalePicture(const std::vector<uint8_t>& in, int inWidth, int inHeight, int channels, int width,
                                  int height)
{
    const auto across = boxTaps(inWidth, width);
    const auto down = boxTaps(inHeight, height);
    std::vector<float> rows(static_cast<size_t>(inHeight) * width * channels);
    for (int y = 0; y < inHeight; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                float sum = 0.0f;
                for (const Tap& tap : across[static_cast<size_t>(x)]) {
                    sum += tap.weight * in[(static_cast<size_t>(y) * inWidth + tap.source) * channels + c];
                }
                rows[(static_cast<size_t>(y) * width + x) * channels + c] = sum;
            }
        }
    }
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * channels);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                float sum = 0.0f;
                for (const Tap& tap : down[static_cast<size_t>(y)]) {
                    sum += tap.weight * rows[(static_cast<size_t>(tap.source) * width + x) * channels + c];
                }
                out[(static_cast<size_t>(y) * width + x) * channels + c] =
                    static_cast<uint8_t>(std::fmin(255.0f, std::fmax(0.0f, sum + 0.5f)));
            }
        }
    }
    return out;
}

// The next mipmap level: the rounded average of each 2 x 2 block (or pair, once a side is 1).
std::vector<uint8_t> halvePicture(const std::vector<uint8_t>& in, int width, int height, int channels)
{
    const int outWidth = width > 1 ? width / 2 : 1;
    const int outHeight = height > 1 ? height / 2 : 1;
    const int stepX = width > 1 ? 1 : 0;
    const int stepY = height > 1 ? 1 : 0;
    std::vector<uint8_t> out(static_cast<size_t>(outWidth) * outHeight * channels);
    for (int y = 0; y < outHeight; ++y) {
        for (int x = 0; x < outWidth; ++x) {
            const int sx = x * (stepX + 1);
            const int sy = y * (stepY + 1);
            for (int c = 0; c < channels; ++c) {
                auto at = [&](int px, int py) {
                    return static_cast<int>(in[(static_cast<size_t>(py) * width + px) * channels + c]);
                };
                const int sum = at(sx, sy) + at(sx + stepX, sy) + at(sx, sy + stepY) + at(sx + stepX, sy + stepY);
                out[(static_cast<size_t>(y) * outWidth + x) * channels + c] = static_cast<uint8_t>((sum + 2) / 4);
            }
        }
    }
    return out;
}

int channelsOf(GLenum format)
{
    switch (format) {
    case GL_RGB:
        return 3;
    case GL_RGBA:
        return 4;
    case GL_LUMINANCE:
    case GL_ALPHA:
        return 1;
    case GL_LUMINANCE_ALPHA:
        return 2;
    default:
        return 0;
    }
}

}  // namespace

GLint __wrap_gluBuild2DMipmaps(GLenum target, GLint components, GLint width, GLint height, GLenum format, GLenum type,
                               const void* data)
{
    const int channels = channelsOf(format);
    if (type != GL_UNSIGNED_BYTE || channels == 0 || channels != components || data == nullptr) {
        return GLU_INVALID_ENUM;
    }
    if (width <= 0 || height <= 0) {
        return GLU_INVALID_VALUE;
    }
    // Source rows follow the unpack alignment; the levels are uploaded packed.
    GLint alignment = 4;
    __real_glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    const size_t rowBytes = static_cast<size_t>(width) * channels;
    const size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
    std::vector<uint8_t> level(rowBytes * height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(data) + stride * y;
        std::copy(row, row + rowBytes, level.begin() + static_cast<long>(rowBytes * y));
    }
    int levelWidth = nearestPowerOfTwo(width);
    int levelHeight = nearestPowerOfTwo(height);
    GLint maxSize = 2048;
    __real_glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    while (levelWidth > maxSize || levelHeight > maxSize) {
        levelWidth = levelWidth > 1 ? levelWidth / 2 : 1;
        levelHeight = levelHeight > 1 ? levelHeight / 2 : 1;
    }
    if (levelWidth != width || levelHeight != height) {
        level = scalePicture(level, width, height, channels, levelWidth, levelHeight);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (GLint index = 0;; ++index) {
        __real_glTexImage2D(target, index, static_cast<GLint>(format), levelWidth, levelHeight, 0, format, type, level.data());
        if (levelWidth == 1 && levelHeight == 1) {
            break;
        }
        level = halvePicture(level, levelWidth, levelHeight, channels);
        levelWidth = levelWidth > 1 ? levelWidth / 2 : 1;
        levelHeight = levelHeight > 1 ? levelHeight / 2 : 1;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return 0;
}
