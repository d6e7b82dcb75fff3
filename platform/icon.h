// The program's 32x32, 16-colour icon, decoded from its XPM text into RGBA pixels.
#pragma once
#include <cstdint>
#include <vector>

struct IconPixels {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;  // rows top first, 4 bytes per pixel
};

// Decodes the built-in icon. Never fails for the icon that ships; returns an empty picture for a
// malformed XPM.
IconPixels decodeIcon();
// Decodes any single-character-per-pixel XPM given as its string array.
IconPixels decodeXpm(const char* const* xpm, int lineCount);
