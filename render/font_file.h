// The text font as a data file: per byte code its metrics, the triangles of its front face and the
// boundary loops its side walls follow, exactly as the desktop font builder makes them. The desktop
// build writes it into the data folder (text/font.bin); the browser build, which has no FreeType or
// tessellator, draws its letters from it through the same list compiler.
#pragma once
#include <string>
#include <vector>

#include "render/outline_font.h"

// Where the data folder keeps the font file.
extern const char* const fontFilePath;

struct FontFileGlyph {
    GlyphMetricsFloat metrics;
    std::vector<OutlinePoint> triangles;   // front face, 3 points each, counter-clockwise from +z
    std::vector<OutlineContour> boundary;  // side-wall loops, filled region on the left
};

struct FontFile {
    float deviation = 0.0f;             // the chordal deviation the outlines were flattened with (em)
    std::vector<FontFileGlyph> glyphs;  // 256, by byte code
};

// Desktop build only: the font file of every byte code of face, built as the program builds its
// letters at start-up (code 255 stays empty).
FontFile fontFileFromFace(OutlineFace* face, float deviation);

// Writes the file (little-endian floats and counts). False with error naming the file.
bool writeFontFile(const std::string& path, const FontFile& font, std::string* error);
// Reads a file written by writeFontFile. False with error naming the file when it is missing,
// truncated or not a font file; font is then left empty.
bool readFontFile(const std::string& path, FontFile* font, std::string* error);
