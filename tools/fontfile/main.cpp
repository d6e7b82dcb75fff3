// Writes the text font's data file for the browser build, which has neither FreeType nor a
// tessellator: every letter as the program builds it at start-up, from the same font.
// Usage: velmora-fontfile FILE. Exit status 0 when written, 1 when the font or the file fails.
#include <cstdio>
#include <string>

#include "render/font_file.h"
#include "render/text.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: velmora-fontfile FILE\n");
        return 2;
    }
    OutlineFace* face = openTextFace();
    if (face == nullptr) {
        std::fprintf(stderr, "velmora-fontfile: font not found: %s (package fonts-roboto-unhinted)\n", textFontName);
        return 1;
    }
    const FontFile font = fontFileFromFace(face, fontDeviation);
    closeOutlineFace(face);
    std::string error;
    if (!writeFontFile(argv[1], font, &error)) {
        std::fprintf(stderr, "velmora-fontfile: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
