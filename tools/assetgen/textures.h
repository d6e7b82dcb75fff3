// The model textures named by the scenes' materials (maps/tex/*.jpg): tileable, 256 or 512 pixels.
#pragma once
#include <string>
#include <vector>

#include "tools/assetgen/image.h"

namespace ag {

struct TextureSpec {
    std::string path;  // relative to the data folder
    int size;
    void (*paint)(Image& img);
    bool tiles;  // meant to repeat across a surface: its opposite edges join seamlessly
};

const std::vector<TextureSpec>& textureSpecs();

// Paints the texture of that path; false when no texture has that path.
bool paintTexture(const std::string& path, Image& out);

// Writes every texture of textureSpecs() under dataDir. Returns false when one cannot be written.
bool writeTextures(const std::string& dataDir);

}  // namespace ag
