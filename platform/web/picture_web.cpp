// The pictures of the data folder, which the page decoded while preloading it (the browser build
// has no JPEG decoder of its own).
#include "platform/platform.h"

#include <emscripten.h>

#include <cstddef>
#include <cstdio>
#include <cstdlib>

uint8_t* sysPreloadedPictureRgb(const char* path, int* width, int* height)
{
    *width = 0;
    *height = 0;
    int w = 0;
    int h = 0;
    uint8_t* rgba = reinterpret_cast<uint8_t*>(emscripten_get_preloaded_image_data(path, &w, &h));
    if (!rgba || w <= 0 || h <= 0) {
        std::free(rgba);
        return nullptr;
    }
    const size_t pixelCount = static_cast<size_t>(w) * static_cast<size_t>(h);
    uint8_t* rgb = static_cast<uint8_t*>(std::malloc(pixelCount * 3u));
    if (!rgb) {
        std::fprintf(stderr, "%s: out of memory for a picture of %d x %d pixels\n", path, w, h);
        std::free(rgba);
        return nullptr;
    }
    for (size_t i = 0; i < pixelCount; ++i) {
        rgb[i * 3] = rgba[i * 4];
        rgb[i * 3 + 1] = rgba[i * 4 + 1];
        rgb[i * 3 + 2] = rgba[i * 4 + 2];
    }
    std::free(rgba);
    *width = w;
    *height = h;
    return rgb;
}
