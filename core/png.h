// PNG output for every part of the house that writes pictures: frame export, the icon tool, the
// content generator's previews and the tests' frame dumps. Depends on libpng only.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

enum class RowOrder { TopDown, BottomUp };

// Writes 8-bit RGB (channels 3) or RGBA (channels 4) pixels, rows packed without padding, as a PNG
// file. BottomUp takes the rows as GL reads them back (the last row first in the picture). False
// when pixels holds fewer than width x height pixels or the file cannot be written; then no partial
// file is left behind and error (when given) says why, naming the file.
bool writePng(const std::string& path, int width, int height, int channels, const std::vector<uint8_t>& pixels,
              RowOrder order, std::string* error = nullptr);
