// The PNG encoder of the desktop and Windows builds: libpng, at its default compression.
#include <png.h>

#include "platform/platform.h"

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

bool sysWritePngStream(FILE* file, int width, int height, int channels, const uint8_t* const* rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const bool ok =
        png != nullptr && info != nullptr &&
        writeImage(png, info, file, width, height, channels == 4 ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB,
                   const_cast<png_bytep*>(rows));
    png_destroy_write_struct(png != nullptr ? &png : nullptr, info != nullptr ? &info : nullptr);
    return ok;
}
