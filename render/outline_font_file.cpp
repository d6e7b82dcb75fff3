// The outline font of the builds without FreeType or a tessellator (the browser and Windows): an
// OutlineFace is the font file the Linux build wrote into the data folder, and the letter lists are
// compiled from its glyphs with the same list compiler as on Linux. Their build files put this in
// place of outline_font.cpp.
#include <cstdio>
#include <string>

#include "render/font_file.h"
#include "render/outline_font.h"

const char* const textFontName = "Roboto Black (text/font.bin)";

struct OutlineFace {
    FontFile file;
    std::string path;
};

OutlineFace* openOutlineFace(const char* path)
{
    if (!path || !*path)
        return nullptr;
    OutlineFace* face = new OutlineFace;
    std::string error;
    if (!readFontFile(path, &face->file, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        delete face;
        return nullptr;
    }
    face->path = path;
    return face;
}

void closeOutlineFace(OutlineFace* face)
{
    delete face;
}

std::string outlineFaceName(const OutlineFace* face)
{
    return face ? face->path : std::string();
}

OutlineFace* openTextFace()
{
    return openOutlineFace(fontFilePath);
}

int useFontOutlines(OutlineFace* face, int first, int count, GLuint listBase, float deviation, float extrusion,
                    GlyphMetricsFloat* metrics)
{
    if (face && face->file.deviation != deviation)
        std::fprintf(stderr, "%s: made with a chordal deviation of %g, not %g; letters may look coarser or finer\n",
                     face->path.c_str(), face->file.deviation, deviation);
    for (int i = 0; i < count; ++i) {
        const int code = first + i;
        GlyphGeometry geometry;
        metrics[i] = GlyphMetricsFloat();
        if (face && code >= 0 && code < static_cast<int>(face->file.glyphs.size())) {
            const FontFileGlyph& glyph = face->file.glyphs[static_cast<size_t>(code)];
            geometry.triangles = glyph.triangles;
            geometry.boundary = glyph.boundary;
            metrics[i] = glyph.metrics;
        }
        compileGlyphList(listBase + static_cast<GLuint>(i), geometry, metrics[i], extrusion);
    }
    return 0;
}
