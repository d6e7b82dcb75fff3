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
// cannot be opened or is not a regular file, when the decoder reports an error, or when the picture
// is over 8192 pixels a side (the decoder's message then goes to stderr with the file name). A
// truncated or damaged picture the decoder only warns about is kept, with one warning line naming
// the file. The caller frees with freeDecodedPicture.
DecodedPicture* readJpegFile(const char* name);
void freeDecodedPicture(DecodedPicture* picture);

// Loads the picture into textures[slot] as a mipmapped texture. A null name does nothing; a file
// that cannot be read shows the "-=(Status)=-" box with its name and leaves the slot as it was.
void loadTexture(GLuint* textures, const char* name, int slot);

// loadTexture through a table of the pictures loaded so far: a file already loaded this way gets
// the same texture name again instead of a second copy of the same pixels (the asset loader's models
// share their common pictures so). A failed load is not remembered.
void loadSharedTexture(GLuint* textures, const char* name, int slot);
// Empties that table; called when the GL context that holds the textures goes.
void forgetSharedTextures();
