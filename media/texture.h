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

// The eight stand-alone pictures, slot order: white, load, title, title2, dorn, varrick, fond,
// white2. Filled by the asset loader; 0 where a picture could not be loaded. Names live until the
// GL context goes.
extern GLuint TextureTable[8];

// Decodes a JPEG file to RGB (grayscale and CMYK files are converted). Returns null when the file
// cannot be opened, is not a readable JPEG, is truncated or damaged, or is over 8192 pixels a side
// (the decoder's own message then goes to stderr with the file name). The caller frees with
// freeDecodedPicture.
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
