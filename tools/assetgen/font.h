// Lettering for the generated pictures: text rendered with FreeType into a coverage mask.
#pragma once
#include <string>

#include "tools/assetgen/image.h"

namespace ag {

// The typeface of the title lettering (Roboto Black); its path is fixed at build time.
const char* titleFontPath();

// Renders text at the given pixel height (em size) with kerning into a mask just large enough to
// hold it plus `margin` pixels on every side. letterSpacing adds pixels between letters. Returns
// an empty mask, with the reason on stderr, when the font cannot be loaded.
Mask renderText(const std::string& text, int pixelHeight, int margin, int letterSpacing = 0);

}  // namespace ag
