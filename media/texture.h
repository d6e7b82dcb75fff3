// JPEG pictures decoded into mipmapped GL textures, and the table of the eight stand-alone pictures.
#pragma once
#include <cstdint>

#include "core/gl.h"

// One decoded picture: rows top first, 3 bytes (R, G, B) per pixel, packed with no gap.
struct DecodedPicture {
    int32_t rowBytes = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* pixels = nullptr;
};

// The slots of the eight stand-alone pictures in TextureTable, in loading order.
namespace Slot {
enum : int {
    White,    // pict/white.jpg: what arcs and letters are drawn with
    Loading,  // pict/load.jpg: the loading screen
    Title,    // pict/title.jpg
    Title2,   // pict/title2.jpg: the Title scene's background
    Dorn,     // pict/dorn.jpg: the First verse scene's background
    Varrick,  // pict/varrick.jpg: the Third verse scene's background
    Fond,     // pict/fond.jpg: the closing scene's background
    White2,   // pict/white2.jpg: flashes, fades and the loading bar
    Count
};
}  // namespace Slot

// The eight stand-alone pictures, read as TextureTable[Slot::White] and so on. Filled by the asset
// loader; 0 where a picture could not be loaded. Names live until the GL context goes.
extern GLuint TextureTable[Slot::Count];

// Decodes a JPEG file to RGB (grayscale and CMYK files are converted). Returns null when the file
// cannot be opened, is not a regular file or lies outside the data folder, when the decoder reports
// an error, when the picture is over 8192 pixels a side or past the run's pixel budget (the message
// then goes to stderr with the file name), or when the run is stopped while it decodes. A
// truncated or damaged picture the decoder only warns about is kept, with one warning line naming
// the file. unopened, when given, tells whether the file could not be opened at all (the only
// failure without a line on stderr). The caller frees with freeDecodedPicture.
DecodedPicture* readJpegFile(const char* name, bool* unopened = nullptr);
// The decoded pixels all of a run's pictures may take together. A picture whose header would take
// the total past it is refused before it is decoded, with one line naming it.
// 40 M pixels: about four times what the presentation's own pictures take (10.25 M), and far
// below what would cost a gigabyte.
constexpr long long pictureBudgetPixels = 40LL << 20;
// Takes width x height pixels from the budget; false (with the line on stderr) when they are not
// left. forgetSharedTextures gives the whole budget back.
bool grantPicturePixels(const char* name, long long width, long long height);
void freeDecodedPicture(DecodedPicture* picture);

// Loads the picture into textures[slot] as a mipmapped texture. A null name does nothing; a file
// that cannot be opened shows the "-=(Status)=-" box with its name, one that cannot be decoded or
// is refused gets its one line on stderr; either leaves the slot as it was. Nothing is loaded once
// the run is to stop.
void loadTexture(GLuint* textures, const char* name, int slot);

// loadTexture through a table of the pictures loaded so far: a file already loaded this way gets
// the same texture name again instead of a second copy of the same pixels (the asset loader's models
// share their common pictures so). The table is keyed by the file's real path, so one file is one
// texture however it is named. A file that is there but cannot be loaded is remembered as such (one
// line for it, however often it is named); a name that finds no file is tried again each time.
void loadSharedTexture(GLuint* textures, const char* name, int slot);
// Empties that table and gives back the pixel budget; called when the GL context that holds the
// textures goes.
void forgetSharedTextures();
