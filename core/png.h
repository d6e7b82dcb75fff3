// PNG output for every part of the house that writes pictures: frame export, the icon tool, the
// content generator's previews and the tests' frame dumps. The encoding is the platform's.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class RowOrder { TopDown, BottomUp };

// Writes 8-bit RGB (channels 3) or RGBA (channels 4) pixels, rows packed without padding, as a PNG
// file. BottomUp takes the rows as GL reads them back (the last row first in the picture). False
// when pixels holds fewer than width x height pixels or the file cannot be written; then no partial
// file is left behind and error (when given) says why, naming the file.
// Whether pixels hold a whole width x height picture of 3 or 4 channels: what writePng accepts.
inline bool pngPictureFits(int width, int height, int channels, const std::vector<uint8_t>& pixels)
{
    return width > 0 && height > 0 && (channels == 3 || channels == 4) &&
           pixels.size() >= static_cast<size_t>(width) * static_cast<size_t>(height) * static_cast<size_t>(channels);
}

bool writePng(const std::string& path, int width, int height, int channels, const std::vector<uint8_t>& pixels,
              RowOrder order, std::string* error = nullptr);
