// Solid 3D letters from a TrueType font: each character becomes one display list holding its front
// and back faces and the side walls between them. FreeType reads the outlines, the GLU tessellator
// fills them. All coordinates are in em units (the font's em height is 1). The browser and
// Windows builds have neither: there an OutlineFace is the font file of the data folder
// (render/font_file.h, read by outline_font_file.cpp), made by the Linux build from the same
// geometry.
#pragma once
#include "core/gl.h"
#include <cstdint>
#include <string>
#include <vector>

// Per-character metrics in em units, laid out like the Windows GLYPHMETRICSFLOAT record.
struct GlyphMetricsFloat {
    float blackBoxX = 0.0f;  // width of the smallest box around the glyph's ink
    float blackBoxY = 0.0f;  // height of that box
    float originX = 0.0f;    // upper-left corner of that box, relative to the glyph origin
    float originY = 0.0f;
    float cellIncX = 0.0f;  // advance from this glyph's origin to the next one's
    float cellIncY = 0.0f;
};

struct OutlinePoint {
    float x = 0.0f;
    float y = 0.0f;
};
using OutlineContour = std::vector<OutlinePoint>;

// One glyph as geometry, ready to be compiled into a display list.
struct GlyphGeometry {
    std::vector<OutlineContour> contours;  // the flattened outline, as the font orders its points
    std::vector<OutlinePoint> triangles;   // the filled face, 3 points each, counter-clockwise from +z
    std::vector<OutlineContour> boundary;  // edge of the filled region: outer loops CCW, holes CW
    bool tessError = false;                // the GLU tessellator reported an error
    std::string tessErrorText;             // its text, for the message
};

// The character a byte stands for: Windows-1252 (Latin-1 with the 0x80-0x9F block of punctuation
// and extra letters). Returns 0 for the five bytes that code page leaves undefined.
uint32_t windows1252ToUnicode(uint8_t code);

// Appends the points that replace the quadratic curve p0-p1-p2 by chords no farther than
// deviation from it (p0 itself is not appended, p2 always is).
void flattenQuadratic(OutlinePoint p0, OutlinePoint p1, OutlinePoint p2, float deviation, OutlineContour* out);
// Same for the cubic curve p0-p1-p2-p3.
void flattenCubic(OutlinePoint p0, OutlinePoint p1, OutlinePoint p2, OutlinePoint p3, float deviation,
                  OutlineContour* out);

// Fills geometry->triangles and geometry->boundary from geometry->contours with the non-zero
// winding rule, whichever way the contours turn. On a GLU error tessError is set and the
// results are whatever the tessellator produced.
void tessellateOutline(GlyphGeometry* geometry);

// Issues the GL calls of one solid letter: front face at z = 0 facing +z, back face at
// z = -extrusion facing -z, side quads facing outward. Called inside glNewList.
void emitGlyphGeometry(const GlyphGeometry& geometry, float extrusion);

// An open font file. Opaque: FreeType stays inside this module.
struct OutlineFace;

// Opens a scalable font file unscaled and unhinted. Null when the file is missing or holds no
// outline font.
OutlineFace* openOutlineFace(const char* path);
void closeOutlineFace(OutlineFace* face);
// "Family Style" of the open face, for messages.
std::string outlineFaceName(const OutlineFace* face);

// Flattens the glyph of a byte code (through Windows-1252) and fills its metrics. Returns false
// when the font has no glyph for it: contours then stay empty and the metrics hold only the
// advance of the font's missing-glyph shape.
bool loadGlyphOutline(OutlineFace* face, uint8_t code, float deviation, GlyphGeometry* geometry,
                      GlyphMetricsFloat* metrics);

// Records the list of one letter: its solid geometry, then a move of the origin by its advance.
void compileGlyphList(GLuint list, const GlyphGeometry& geometry, const GlyphMetricsFloat& metrics, float extrusion);

// The geometry and metrics of one byte code as the text uses them: flattened, then filled. A glyph
// the tessellator fails on keeps its advance but no geometry, is named on stderr and returns false.
bool buildGlyph(OutlineFace* face, int code, float deviation, GlyphGeometry* geometry, GlyphMetricsFloat* metrics);

// Stand-in for wglUseFontOutlines: compiles the lists listBase + 0 .. count - 1 for the codes
// first .. first + count - 1, each ending with a move of the origin by the glyph's advance, and
// fills metrics[0 .. count - 1]. Returns the number of glyphs the tessellator failed on (their
// lists hold only the advance); each one is also named on stderr.
int useFontOutlines(OutlineFace* face, int first, int count, GLuint listBase, float deviation, float extrusion,
                    GlyphMetricsFloat* metrics);

// The face the text is meant to use, for messages.
extern const char* const textFontName;
// The file fontconfig offers for Roboto Black (preferring TrueType outlines); empty when none.
std::string askFontconfigForTextFont();
// Opens Roboto Black at its Debian path, else the face fontconfig offers for it (saying so on
// stderr). Null when neither can be opened.
OutlineFace* openTextFace();
