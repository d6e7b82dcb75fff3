// PNG read-back through libpng's simplified API.
#include "tests/support/png_reader.h"

#include <png.h>

std::vector<uint8_t> readPng(const std::string& path, int* width, int* height)
{
    std::vector<uint8_t> pixels;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&image, path.c_str()) == 0) {
        return pixels;
    }
    image.format = PNG_FORMAT_RGB;
    pixels.resize(PNG_IMAGE_SIZE(image));
    if (png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr) == 0) {
        pixels.clear();
    }
    *width = static_cast<int>(image.width);
    *height = static_cast<int>(image.height);
    return pixels;
}
