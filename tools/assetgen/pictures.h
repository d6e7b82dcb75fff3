// The stand-alone pictures (pict/) and the particle sprites (text/) of the data folder.
#pragma once
#include <string>
#include <vector>

#include "tools/assetgen/image.h"

namespace ag {

// One picture file: its path relative to the data folder and how to paint it.
struct PictureSpec {
    std::string path;
    Image (*paint)();
};

// The eight pictures of pict/ and the four particle sprites of text/, in a fixed order.
const std::vector<PictureSpec>& pictureSpecs();

// Paints and writes every picture under dataDir. Returns false when one cannot be written.
bool writePictures(const std::string& dataDir);

}  // namespace ag
