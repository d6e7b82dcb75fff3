// JPEG texture loader: decodes a picture file to packed RGB rows with libjpeg (6b API) and uploads
// it as a mipmapped GL texture through GLU. Also owns the table of the eight stand-alone pictures.
// Depends on libjpeg-turbo, GL/GLU and the platform's message box; a bad file never ends the run,
// and a damaged one is shown as far as it decodes, with one warning line. In the browser the page
// has already decoded every picture while preloading the data, so only the decoding differs there;
// the upload is the same.
#include "media/texture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>

#include "core/clock.h"
#include "core/files.h"
#include "platform/platform.h"

GLuint TextureTable[Slot::Count] = {};

namespace {
// Real path of the file to texture name, for loadSharedTexture; valid while the GL context lives.
std::map<std::string, GLuint> sharedTextures;
// Decoded pixels granted so far this run, against pictureBudgetPixels.
long long pixelsGranted = 0;
}  // namespace

bool grantPicturePixels(const char* name, long long width, long long height)
{
    const long long pixels = width * height;
    if (pixelsGranted + pixels > pictureBudgetPixels) {
        std::fprintf(
            stderr,
            "%s: picture of %lld x %lld pixels refused: the run's pictures may decode to %lld M pixels in all, "
            "%lld M are taken\n",
            name, width, height, pictureBudgetPixels >> 20, (pixelsGranted + (1 << 20) - 1) >> 20);
        return false;
    }
    pixelsGranted += pixels;
    return true;
}

#ifdef __EMSCRIPTEN__
// The browser build has no JPEG decoder: the page decoded every picture while preloading the data.
DecodedPicture* readJpegFile(const char* name, bool* unopened)
{
    if (unopened)
        *unopened = true;
    if (!name)
        return nullptr;
    FILE* file = std::fopen(name, "rb");
    if (!file)
        return nullptr;
    std::fclose(file);
    if (unopened)
        *unopened = false;
    int width = 0;
    int height = 0;
    uint8_t* pixels = sysPreloadedPictureRgb(name, &width, &height);
    if (!pixels) {
        std::fprintf(stderr, "%s: the browser could not decode this picture\n", name);
        return nullptr;
    }
    if (!grantPicturePixels(name, width, height)) {
        std::free(pixels);
        return nullptr;
    }
    DecodedPicture* picture = new DecodedPicture;
    picture->width = width;
    picture->height = height;
    picture->rowBytes = width * 3;
    picture->pixels = pixels;
    return picture;
}

#else
#include <csetjmp>

#include <jerror.h>
#include <jpeglib.h>

namespace {

// Larger sides are refused before decoding starts: the program's pictures are a screen in size, and
// a damaged header must not make the decoder ask for gigabytes.
constexpr int MAX_PICTURE_SIDE = 8192;

// The decompressor's error manager extended with a way back into readJpegFile: the library's own
// error_exit would end the process.
struct JpegErrorManager {
    jpeg_error_mgr base;
    jmp_buf escape;
    const char* fileName;
    char firstWarning[JMSG_LENGTH_MAX];  // said only when the picture is kept
};

// Everything that must be released whether decoding finishes or jumps out. It lives in
// readJpegFile's frame, not in the frame holding setjmp, so its fields keep their values.
struct DecodeState {
    jpeg_decompress_struct cinfo;
    JpegErrorManager error;
    FILE* file = nullptr;
    bool created = false;
    DecodedPicture* picture = nullptr;
    JSAMPROW* rows = nullptr;
    JSAMPLE* cmykRows = nullptr;
};

void printJpegMessage(j_common_ptr cinfo)
{
    const JpegErrorManager* error = reinterpret_cast<const JpegErrorManager*>(cinfo->err);
    char text[JMSG_LENGTH_MAX] = {};
    (*cinfo->err->format_message)(cinfo, text);
    std::fprintf(stderr, "%s: %s\n", error->fileName, text);
}

[[noreturn]] void jpegErrorExit(j_common_ptr cinfo)
{
    printJpegMessage(cinfo);
    std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->escape, 1);
}

// A warning (a truncated file, damaged scan data, an unknown JFIF revision) keeps the picture with
// what the library made of it, as other viewers show it; only errors refuse a picture. The first
// warning is kept and said once the picture is, so a refused picture gets its error alone.
void jpegEmitMessage(j_common_ptr cinfo, int msgLevel)
{
    if (msgLevel >= 0)
        return;  // trace output
    if (cinfo->err->num_warnings++ == 0)
        (*cinfo->err->format_message)(cinfo, reinterpret_cast<JpegErrorManager*>(cinfo->err)->firstWarning);
}

// Adobe writers store CMYK inverted (0 = full ink); plain CMYK files store ink directly. The picture
// is converted with the usual naive formula, no colour profile.
void cmykRowToRgb(const JSAMPLE* cmyk, uint8_t* rgb, int width, bool inverted)
{
    for (int x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        int c = cmyk[0], m = cmyk[1], y = cmyk[2], k = cmyk[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        rgb[0] = static_cast<uint8_t>((c * k + 127) / 255);
        rgb[1] = static_cast<uint8_t>((m * k + 127) / 255);
        rgb[2] = static_cast<uint8_t>((y * k + 127) / 255);
    }
}

// Reads the header and every scanline into state->picture. Returns false when the library reported
// an error (its message is already on stderr); the caller releases what was set up.
bool decodeJpeg(DecodeState* state, const char* name)
{
    jpeg_decompress_struct* cinfo = &state->cinfo;
    cinfo->err = jpeg_std_error(&state->error.base);
    state->error.base.error_exit = jpegErrorExit;
    state->error.base.emit_message = jpegEmitMessage;
    state->error.fileName = name;
    state->error.firstWarning[0] = '\0';
    if (setjmp(state->error.escape))
        return false;

    state->created = true;  // destroying a half-created decompressor is safe
    jpeg_create_decompress(cinfo);
    jpeg_stdio_src(cinfo, state->file);
    jpeg_read_header(cinfo, TRUE);
    if (cinfo->image_width > MAX_PICTURE_SIDE || cinfo->image_height > MAX_PICTURE_SIDE) {
        std::fprintf(stderr, "%s: picture of %u x %u pixels is too large (at most %d a side)\n", name,
                     cinfo->image_width, cinfo->image_height, MAX_PICTURE_SIDE);
        return false;
    }
    // The header's size is what decoding will cost: checked against the run's budget first.
    if (!grantPicturePixels(name, cinfo->image_width, cinfo->image_height)) {
        return false;
    }

    // Grayscale and colour files both come out as RGB; the library cannot turn CMYK or YCCK into
    // RGB, so those are read as CMYK and converted here.
    const bool cmyk = cinfo->jpeg_color_space == JCS_CMYK || cinfo->jpeg_color_space == JCS_YCCK;
    cinfo->out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(cinfo);

    const int width = static_cast<int>(cinfo->output_width);
    const int height = static_cast<int>(cinfo->output_height);
    const int components = cinfo->output_components;
    if (components != (cmyk ? 4 : 3)) {
        std::fprintf(stderr, "%s: decoder delivered %d components\n", name, components);
        return false;
    }

    DecodedPicture* picture = new DecodedPicture;
    state->picture = picture;
    picture->width = width;
    picture->height = height;
    picture->rowBytes = width * 3;
    const size_t pixelCount = static_cast<size_t>(width) * static_cast<size_t>(height);
    // GLU's scaling of a picture whose sides are not powers of two reads a pixel or so past its
    // last one; a zeroed row and pixel beyond the picture keep those reads inside the buffer.
    const size_t padding = static_cast<size_t>(width) * 3u + 3u;
    picture->pixels = static_cast<uint8_t*>(std::malloc(pixelCount * 3u + padding));
    if (picture->pixels)
        std::memset(picture->pixels + pixelCount * 3u, 0, padding);
    state->rows = static_cast<JSAMPROW*>(std::malloc(sizeof(JSAMPROW) * static_cast<size_t>(height)));
    if (cmyk)
        state->cmykRows = static_cast<JSAMPLE*>(std::malloc(pixelCount * 4u));
    if (!picture->pixels || !state->rows || (cmyk && !state->cmykRows)) {
        std::fprintf(stderr, "%s: out of memory for a picture of %d x %d pixels\n", name, width, height);
        return false;
    }

    const size_t decodedRowBytes = static_cast<size_t>(width) * static_cast<size_t>(components);
    JSAMPLE* target = cmyk ? state->cmykRows : picture->pixels;
    for (int i = 0; i < height; ++i)
        state->rows[i] = target + static_cast<size_t>(i) * decodedRowBytes;
    // A few rows at a time, so that an interrupt is heard inside a long decode.
    while (cinfo->output_scanline < cinfo->output_height) {
        if (stopRequested()) {
            return false;
        }
        const JDIMENSION line = cinfo->output_scanline;
        jpeg_read_scanlines(cinfo, state->rows + line, std::min<JDIMENSION>(64, cinfo->output_height - line));
    }
    if (cmyk) {
        for (int i = 0; i < height; ++i)
            cmykRowToRgb(state->rows[i], picture->pixels + static_cast<size_t>(i) * picture->rowBytes, width,
                         cinfo->saw_Adobe_marker);
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

}  // namespace

DecodedPicture* readJpegFile(const char* name, bool* unopened)
{
    if (unopened)
        *unopened = true;
    if (!name)
        return nullptr;
    std::string why;
    bool refused = false;
    FILE* file = openDataFile(name, &why, &refused);
    if (!file) {
        // A file that is there but may not be read (a FIFO, a link out of the data folder) is
        // not a missing picture: it gets its reason instead of the box.
        if (refused) {
            std::fprintf(stderr, "%s: not opened (%s)\n", name, why.c_str());
            if (unopened)
                *unopened = false;
        }
        return nullptr;
    }
    if (unopened)
        *unopened = false;

    DecodeState state;
    std::memset(&state.cinfo, 0, sizeof(state.cinfo));
    state.file = file;
    const bool decoded = decodeJpeg(&state, name);

    if (state.created)
        jpeg_destroy_decompress(&state.cinfo);
    std::fclose(state.file);
    std::free(state.rows);
    std::free(state.cmykRows);
    if (!decoded) {
        freeDecodedPicture(state.picture);
        return nullptr;
    }
    if (state.error.firstWarning[0] != '\0')
        std::fprintf(stderr, "%s: %s\n", name, state.error.firstWarning);
    return state.picture;
}
#endif

// Releases a picture from readJpegFile; null is allowed.
void freeDecodedPicture(DecodedPicture* picture)
{
    if (!picture)
        return;
    std::free(picture->pixels);
    delete picture;
}

void loadTexture(GLuint* textures, const char* name, int slot)
{
    if (!name || !textures || slot < 0)
        return;
    // Once the run is to end, the pictures still to come are not worth a decode or a box.
    if (stopRequested())
        return;
    // A file that cannot be opened gets the box with its name; one that opens but is refused (not
    // a picture, damaged, too large, past the budget) has had its one line on stderr already.
    bool unopened = false;
    DecodedPicture* picture = readJpegFile(name, &unopened);
    if (!picture) {
        if (unopened && !stopRequested())
            sysMessageBox("-=(Status)=-", name);
        return;
    }

    glGenTextures(1, &textures[slot]);
    glBindTexture(GL_TEXTURE_2D, textures[slot]);
    // The filters are set before the upload, not after: with the default minification filter in
    // place while the levels arrive, Mesa stores each picture about half again over (42 MB for the
    // presentation's pictures). The texture ends up the same either way.
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    // Rows are packed (903 bytes for a 301-pixel row); with the default 4-byte alignment the
    // mipmap builder would skip a byte per row and shear the picture.
    GLint previousAlignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &previousAlignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, picture->width, picture->height, GL_RGB, GL_UNSIGNED_BYTE, picture->pixels);
    glPixelStorei(GL_UNPACK_ALIGNMENT, previousAlignment);

    freeDecodedPicture(picture);
}

void loadSharedTexture(GLuint* textures, const char* name, int slot)
{
    if (!name || !textures || slot < 0)
        return;
    // One file is one texture however it is named ("x.jpg", "./x.jpg", a link to it). A file that
    // is there but could not be made a texture (damaged, past the budget) is remembered as such, so
    // it is read and reported once; a name that finds no file is tried again each time.
    const std::string real = resolvedDataPath(name);
    const std::string key = real.empty() ? std::string(name) : real;
    const auto known = sharedTextures.find(key);
    if (known != sharedTextures.end()) {
        if (known->second != 0)
            textures[slot] = known->second;
        return;
    }
    GLuint texture = 0;
    loadTexture(&texture, name, 0);
    if (texture == 0 && (real.empty() || stopRequested()))
        return;
    sharedTextures.emplace(key, texture);
    if (texture != 0)
        textures[slot] = texture;
}

void forgetSharedTextures()
{
    sharedTextures.clear();
    pixelsGranted = 0;
}
