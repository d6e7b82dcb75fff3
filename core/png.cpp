// One libpng writer for the whole house: frames, icons, previews and test dumps.
#include "core/png.h"

#include <png.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "core/files.h"

namespace {

// The libpng calls, apart so that nothing of the caller's lives across the longjmp of a failure.
bool writeImage(png_structp png, png_infop info, FILE* file, int width, int height, int colourType, png_bytep* rows)
{
    if (setjmp(png_jmpbuf(png)) != 0) {
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8, colourType,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    png_write_image(png, rows);
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool writePng(const std::string& path, int width, int height, int channels, const std::vector<uint8_t>& pixels,
              RowOrder order, std::string* error)
{
    std::string ignored;
    std::string& why = error != nullptr ? *error : ignored;
    if (!pngPictureFits(width, height, channels, pixels)) {
        why = "no picture to write to " + path;
        return false;
    }
    // Written beside the target and renamed over it when whole: a failure leaves what was there.
    const std::string temporary = makeFileBeside(path, ".png", &why);
    if (temporary.empty()) {
        why = "cannot write " + path + ": " + why;
        return false;
    }
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (file == nullptr) {
        why = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    const size_t stride = static_cast<size_t>(width) * static_cast<size_t>(channels);
    std::vector<png_bytep> rows(static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const int source = order == RowOrder::BottomUp ? height - 1 - y : y;
        rows[static_cast<size_t>(y)] = const_cast<png_bytep>(pixels.data()) + static_cast<size_t>(source) * stride;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    bool ok = png != nullptr && info != nullptr &&
              writeImage(png, info, file, width, height, channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                         rows.data());
    png_destroy_write_struct(png != nullptr ? &png : nullptr, info != nullptr ? &info : nullptr);
    if (std::fclose(file) != 0) {
        ok = false;
    }
    if (!ok) {
        std::remove(temporary.c_str());
        why = "cannot write " + path + " (disk full?)";
        return false;
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        why = "cannot write " + path + ": " + std::strerror(errno);
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}
