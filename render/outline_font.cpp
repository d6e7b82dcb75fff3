// Outline font: turns a TrueType font into one display list of solid 3D geometry per byte code,
// the portable counterpart of wglUseFontOutlines. FreeType reads the outlines unscaled and
// unhinted, curves are flattened to a chordal-deviation bound, the GLU tessellator fills the
// faces (non-zero winding) and traces the filled region's edge for the side walls.
// Fontconfig is only asked when the font is not at its usual Debian path.
#include "render/outline_font.h"

#include "render/font_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

const char* const textFontName = "Roboto Black";

namespace {

const char* const robotoBlackPath = "/usr/share/fonts/truetype/roboto/unhinted/RobotoTTF/Roboto-Black.ttf";

// A curve is never cut into more pieces than this, whatever the bound asks for.
const int maxCurvePieces = 64;

// How many equal parameter steps keep a curve within deviation of its chords, given the error
// bound of one chord over the whole curve.
int curvePieces(float wholeCurveError, float deviation)
{
    if (!(wholeCurveError > 0.0f))
        return 1;
    if (!(deviation > 0.0f))
        return maxCurvePieces;
    float pieces = std::ceil(std::sqrt(wholeCurveError / deviation));
    return static_cast<int>(std::clamp(pieces, 1.0f, static_cast<float>(maxCurvePieces)));
}

float length(float x, float y)
{
    return std::sqrt(x * x + y * y);
}

// Drops repeated points and the closing copy of the first point: the tessellator and the side
// walls want each corner once.
void tidyContour(OutlineContour* contour)
{
    OutlineContour kept;
    kept.reserve(contour->size());
    for (const OutlinePoint& p : *contour) {
        if (kept.empty() || p.x != kept.back().x || p.y != kept.back().y)
            kept.push_back(p);
    }
    while (kept.size() > 1 && kept.back().x == kept.front().x && kept.back().y == kept.front().y)
        kept.pop_back();
    *contour = std::move(kept);
}

// ---- GLU tessellation ------------------------------------------------------------------------

struct TessVertex {
    GLdouble xyz[3] = {0.0, 0.0, 0.0};
};

struct TessRun {
    std::deque<TessVertex> vertices;  // a deque keeps the addresses handed to GLU stable
    GLenum primitive = GL_TRIANGLES;
    std::vector<OutlinePoint> current;
    bool boundaryOnly = false;
    GlyphGeometry* geometry = nullptr;
};

void addTriangle(std::vector<OutlinePoint>* triangles, OutlinePoint a, OutlinePoint b, OutlinePoint c)
{
    float area2 = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (area2 == 0.0f)
        return;
    if (area2 < 0.0f)
        std::swap(b, c);
    triangles->push_back(a);
    triangles->push_back(b);
    triangles->push_back(c);
}

void GLAPIENTRY tessBegin(GLenum type, void* data)
{
    TessRun* run = static_cast<TessRun*>(data);
    run->primitive = type;
    run->current.clear();
}

void GLAPIENTRY tessVertex(void* vertex, void* data)
{
    const TessVertex* v = static_cast<const TessVertex*>(vertex);
    OutlinePoint p;
    p.x = static_cast<float>(v->xyz[0]);
    p.y = static_cast<float>(v->xyz[1]);
    static_cast<TessRun*>(data)->current.push_back(p);
}

void GLAPIENTRY tessEnd(void* data)
{
    TessRun* run = static_cast<TessRun*>(data);
    const std::vector<OutlinePoint>& v = run->current;
    if (run->boundaryOnly) {
        if (v.size() >= 3)
            run->geometry->boundary.push_back(v);
        return;
    }
    std::vector<OutlinePoint>* out = &run->geometry->triangles;
    // With an edge-flag callback GLU sends separate triangles; fans and strips are unpacked in
    // case a tessellator sends them anyway.
    switch (run->primitive) {
    case GL_TRIANGLES:
        for (size_t i = 0; i + 2 < v.size(); i += 3)
            addTriangle(out, v[i], v[i + 1], v[i + 2]);
        break;
    case GL_TRIANGLE_FAN:
        for (size_t i = 1; i + 1 < v.size(); ++i)
            addTriangle(out, v[0], v[i], v[i + 1]);
        break;
    case GL_TRIANGLE_STRIP:
        for (size_t i = 0; i + 2 < v.size(); ++i)
            addTriangle(out, v[i], v[i + 1], v[i + 2]);
        break;
    default:
        break;
    }
}

void GLAPIENTRY tessEdgeFlag(GLboolean, void*) {}

void GLAPIENTRY tessCombine(GLdouble coords[3], void* [4], GLfloat[4], void** outData, void* data)
{
    TessRun* run = static_cast<TessRun*>(data);
    run->vertices.emplace_back();
    TessVertex& v = run->vertices.back();
    v.xyz[0] = coords[0];
    v.xyz[1] = coords[1];
    v.xyz[2] = coords[2];
    *outData = &v;
}

void GLAPIENTRY tessError(GLenum error, void* data)
{
    GlyphGeometry* geometry = static_cast<TessRun*>(data)->geometry;
    geometry->tessError = true;
    if (geometry->tessErrorText.empty()) {
        const GLubyte* text = gluErrorString(error);
        geometry->tessErrorText = text ? reinterpret_cast<const char*>(text) : "GLU error";
    }
}

// One pass of the tessellator over the contours: triangles, or only the boundary loops.
void runTessellator(GlyphGeometry* geometry, bool boundaryOnly)
{
    GLUtesselator* tess = gluNewTess();
    if (!tess) {
        geometry->tessError = true;
        geometry->tessErrorText = "out of memory";
        return;
    }
    TessRun run;
    run.boundaryOnly = boundaryOnly;
    run.geometry = geometry;
    gluTessCallback(tess, GLU_TESS_BEGIN_DATA, reinterpret_cast<_GLUfuncptr>(tessBegin));
    gluTessCallback(tess, GLU_TESS_VERTEX_DATA, reinterpret_cast<_GLUfuncptr>(tessVertex));
    gluTessCallback(tess, GLU_TESS_END_DATA, reinterpret_cast<_GLUfuncptr>(tessEnd));
    gluTessCallback(tess, GLU_TESS_COMBINE_DATA, reinterpret_cast<_GLUfuncptr>(tessCombine));
    gluTessCallback(tess, GLU_TESS_ERROR_DATA, reinterpret_cast<_GLUfuncptr>(tessError));
    if (!boundaryOnly)
        gluTessCallback(tess, GLU_TESS_EDGE_FLAG_DATA, reinterpret_cast<_GLUfuncptr>(tessEdgeFlag));
    // Non-zero, not odd: overlapping contours of one letter must not punch holes into each other.
    gluTessProperty(tess, GLU_TESS_WINDING_RULE, GLU_TESS_WINDING_NONZERO);
    gluTessProperty(tess, GLU_TESS_BOUNDARY_ONLY, boundaryOnly ? GL_TRUE : GL_FALSE);
    // A fixed normal makes "counter-clockwise" mean as seen from +z for the boundary loops.
    gluTessNormal(tess, 0.0, 0.0, 1.0);

    gluTessBeginPolygon(tess, &run);
    for (const OutlineContour& contour : geometry->contours) {
        if (contour.size() < 3)
            continue;
        gluTessBeginContour(tess);
        for (const OutlinePoint& p : contour) {
            run.vertices.emplace_back();
            TessVertex& v = run.vertices.back();
            v.xyz[0] = p.x;
            v.xyz[1] = p.y;
            gluTessVertex(tess, v.xyz, &v);
        }
        gluTessEndContour(tess);
    }
    gluTessEndPolygon(tess);
    gluDeleteTess(tess);
}

// ---- FreeType outline walk -------------------------------------------------------------------

struct OutlineWalk {
    std::vector<OutlineContour>* contours = nullptr;
    float scale = 1.0f;  // font units to em units
    float deviation = 0.1f;
};

OutlinePoint toEm(const OutlineWalk* walk, const FT_Vector* v)
{
    OutlinePoint p;
    p.x = static_cast<float>(v->x) * walk->scale;
    p.y = static_cast<float>(v->y) * walk->scale;
    return p;
}

// FreeType hands each contour's start point to moveTo; a contour without one is not walked.
int walkMoveTo(const FT_Vector* to, void* user)
{
    OutlineWalk* walk = static_cast<OutlineWalk*>(user);
    walk->contours->emplace_back();
    walk->contours->back().push_back(toEm(walk, to));
    return 0;
}

int walkLineTo(const FT_Vector* to, void* user)
{
    OutlineWalk* walk = static_cast<OutlineWalk*>(user);
    if (walk->contours->empty())
        return 1;
    walk->contours->back().push_back(toEm(walk, to));
    return 0;
}

int walkConicTo(const FT_Vector* control, const FT_Vector* to, void* user)
{
    OutlineWalk* walk = static_cast<OutlineWalk*>(user);
    if (walk->contours->empty())
        return 1;
    OutlineContour* contour = &walk->contours->back();
    flattenQuadratic(contour->back(), toEm(walk, control), toEm(walk, to), walk->deviation, contour);
    return 0;
}

int walkCubicTo(const FT_Vector* control1, const FT_Vector* control2, const FT_Vector* to, void* user)
{
    OutlineWalk* walk = static_cast<OutlineWalk*>(user);
    if (walk->contours->empty())
        return 1;
    OutlineContour* contour = &walk->contours->back();
    flattenCubic(contour->back(), toEm(walk, control1), toEm(walk, control2), toEm(walk, to), walk->deviation, contour);
    return 0;
}

const FT_Int32 outlineLoadFlags = FT_LOAD_NO_SCALE | FT_LOAD_NO_HINTING | FT_LOAD_NO_BITMAP;

}  // namespace

std::string askFontconfigForTextFont()
{
    std::string path;
    FcConfig* config = FcInitLoadConfigAndFonts();
    if (!config)
        return path;
    FcPattern* pattern = FcPatternCreate();
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>("Roboto"));
    FcPatternAddInteger(pattern, FC_WEIGHT, FC_WEIGHT_BLACK);
    FcPatternAddBool(pattern, FC_OUTLINE, FcTrue);
    // Quadratic outlines stay smooth at the coarse deviation; prefer them to CFF faces.
    FcPatternAddString(pattern, FC_FONTFORMAT, reinterpret_cast<const FcChar8*>("TrueType"));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    if (match) {
        FcChar8* file = nullptr;
        if (FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch && file)
            path = reinterpret_cast<const char*>(file);
        FcPatternDestroy(match);
    }
    FcPatternDestroy(pattern);
    FcConfigDestroy(config);
    return path;
}

struct OutlineFace {
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    float scale = 1.0f;  // 1 / units per em
};

uint32_t windows1252ToUnicode(uint8_t code)
{
    // 0x80-0x9F of Windows-1252; zero marks the bytes the code page leaves undefined.
    static const uint16_t block80[32] = {
        0x20AC, 0x0000, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x0000, 0x017D, 0x0000, 0x0000, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x0000, 0x017E, 0x0178,
    };
    if (code >= 0x80 && code <= 0x9F)
        return block80[code - 0x80];
    return code;
}

void flattenQuadratic(OutlinePoint p0, OutlinePoint p1, OutlinePoint p2, float deviation, OutlineContour* out)
{
    // A quadratic strays from its chord by at most |p0 - 2 p1 + p2| / 4, and by a quarter of
    // that for each halving of the parameter step.
    float bend = length(p0.x - 2.0f * p1.x + p2.x, p0.y - 2.0f * p1.y + p2.y);
    int pieces = curvePieces(bend / 4.0f, deviation);
    for (int i = 1; i < pieces; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(pieces);
        float s = 1.0f - t;
        OutlinePoint p;
        p.x = s * s * p0.x + 2.0f * s * t * p1.x + t * t * p2.x;
        p.y = s * s * p0.y + 2.0f * s * t * p1.y + t * t * p2.y;
        out->push_back(p);
    }
    out->push_back(p2);
}

void flattenCubic(OutlinePoint p0, OutlinePoint p1, OutlinePoint p2, OutlinePoint p3, float deviation,
                  OutlineContour* out)
{
    // The second derivative is at most 6 times the larger second difference of the control
    // points, and a chord strays by at most an eighth of that.
    float bend = std::max(length(p0.x - 2.0f * p1.x + p2.x, p0.y - 2.0f * p1.y + p2.y),
                          length(p1.x - 2.0f * p2.x + p3.x, p1.y - 2.0f * p2.y + p3.y));
    int pieces = curvePieces(0.75f * bend, deviation);
    for (int i = 1; i < pieces; ++i) {
        float t = static_cast<float>(i) / static_cast<float>(pieces);
        float s = 1.0f - t;
        OutlinePoint p;
        p.x = s * s * s * p0.x + 3.0f * s * s * t * p1.x + 3.0f * s * t * t * p2.x + t * t * t * p3.x;
        p.y = s * s * s * p0.y + 3.0f * s * s * t * p1.y + 3.0f * s * t * t * p2.y + t * t * t * p3.y;
        out->push_back(p);
    }
    out->push_back(p3);
}

void tessellateOutline(GlyphGeometry* geometry)
{
    geometry->triangles.clear();
    geometry->boundary.clear();
    geometry->tessError = false;
    geometry->tessErrorText.clear();
    runTessellator(geometry, false);
    runTessellator(geometry, true);
}

OutlineFace* openOutlineFace(const char* path)
{
    if (!path || !*path)
        return nullptr;
    OutlineFace* face = new OutlineFace;
    if (FT_Init_FreeType(&face->library) != 0) {
        delete face;
        return nullptr;
    }
    if (FT_New_Face(face->library, path, 0, &face->face) != 0 || !FT_IS_SCALABLE(face->face) ||
        face->face->units_per_EM == 0) {
        closeOutlineFace(face);
        return nullptr;
    }
    FT_Select_Charmap(face->face, FT_ENCODING_UNICODE);
    face->scale = 1.0f / static_cast<float>(face->face->units_per_EM);
    return face;
}

void closeOutlineFace(OutlineFace* face)
{
    if (!face)
        return;
    if (face->face)
        FT_Done_Face(face->face);
    if (face->library)
        FT_Done_FreeType(face->library);
    delete face;
}

std::string outlineFaceName(const OutlineFace* face)
{
    if (!face || !face->face)
        return std::string();
    std::string name = face->face->family_name ? face->face->family_name : "?";
    if (face->face->style_name)
        name += std::string(" ") + face->face->style_name;
    return name;
}

bool loadGlyphOutline(OutlineFace* face, uint8_t code, float deviation, GlyphGeometry* geometry,
                      GlyphMetricsFloat* metrics)
{
    *geometry = GlyphGeometry();
    *metrics = GlyphMetricsFloat();
    uint32_t character = windows1252ToUnicode(code);
    FT_UInt index = (character != 0 || code == 0) ? FT_Get_Char_Index(face->face, character) : 0;
    FT_GlyphSlot slot = face->face->glyph;
    if (index == 0 || FT_Load_Glyph(face->face, index, outlineLoadFlags) != 0 ||
        slot->format != FT_GLYPH_FORMAT_OUTLINE) {
        // No glyph: nothing is drawn, but the origin still moves as the missing-glyph box would.
        if (FT_Load_Glyph(face->face, 0, outlineLoadFlags) == 0)
            metrics->cellIncX = static_cast<float>(slot->metrics.horiAdvance) * face->scale;
        return false;
    }
    const FT_Glyph_Metrics& m = slot->metrics;
    metrics->blackBoxX = static_cast<float>(m.width) * face->scale;
    metrics->blackBoxY = static_cast<float>(m.height) * face->scale;
    metrics->originX = static_cast<float>(m.horiBearingX) * face->scale;
    metrics->originY = static_cast<float>(m.horiBearingY) * face->scale;
    metrics->cellIncX = static_cast<float>(m.horiAdvance) * face->scale;
    metrics->cellIncY = 0.0f;

    FT_Outline_Funcs funcs = {};
    funcs.move_to = walkMoveTo;
    funcs.line_to = walkLineTo;
    funcs.conic_to = walkConicTo;
    funcs.cubic_to = walkCubicTo;
    OutlineWalk walk;
    walk.contours = &geometry->contours;
    walk.scale = face->scale;
    walk.deviation = deviation;
    if (FT_Outline_Decompose(&slot->outline, &funcs, &walk) != 0) {
        std::fprintf(stderr, "%s: outline of character %u is damaged; it is left out\n", outlineFaceName(face).c_str(),
                     static_cast<unsigned>(code));
        geometry->contours.clear();
    }
    for (OutlineContour& contour : geometry->contours)
        tidyContour(&contour);
    geometry->contours.erase(std::remove_if(geometry->contours.begin(), geometry->contours.end(),
                                            [](const OutlineContour& c) { return c.size() < 3; }),
                             geometry->contours.end());
    return true;
}

bool buildGlyph(OutlineFace* face, int code, float deviation, GlyphGeometry* geometry, GlyphMetricsFloat* metrics)
{
    *geometry = GlyphGeometry();
    *metrics = GlyphMetricsFloat();
    if (!face || code < 0 || code > 255 ||
        !loadGlyphOutline(face, static_cast<uint8_t>(code), deviation, geometry, metrics) ||
        geometry->contours.empty()) {
        return true;
    }
    tessellateOutline(geometry);
    if (geometry->tessError) {
        std::fprintf(stderr, "%s: character %d cannot be filled (%s); it is left out\n", outlineFaceName(face).c_str(),
                     code, geometry->tessErrorText.c_str());
        geometry->triangles.clear();
        geometry->boundary.clear();
        return false;
    }
    return true;
}

int useFontOutlines(OutlineFace* face, int first, int count, GLuint listBase, float deviation, float extrusion,
                    GlyphMetricsFloat* metrics)
{
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        GlyphGeometry geometry;
        if (!buildGlyph(face, first + i, deviation, &geometry, &metrics[i]))
            ++failures;
        compileGlyphList(listBase + static_cast<GLuint>(i), geometry, metrics[i], extrusion);
    }
    return failures;
}

FontFile fontFileFromFace(OutlineFace* face, float deviation)
{
    FontFile font;
    font.deviation = deviation;
    font.glyphs.resize(256);
    for (int code = 0; code < 255; ++code) {
        FontFileGlyph& glyph = font.glyphs[static_cast<size_t>(code)];
        GlyphGeometry geometry;
        buildGlyph(face, code, deviation, &geometry, &glyph.metrics);
        glyph.triangles = std::move(geometry.triangles);
        glyph.boundary = std::move(geometry.boundary);
    }
    return font;
}

OutlineFace* openTextFace()
{
    if (OutlineFace* face = openOutlineFace(robotoBlackPath))
        return face;
    std::string path = askFontconfigForTextFont();
    OutlineFace* face = path == robotoBlackPath ? nullptr : openOutlineFace(path.c_str());
    if (face)
        std::fprintf(stderr, "%s is not at %s; using %s (%s)\n", textFontName, robotoBlackPath,
                     outlineFaceName(face).c_str(), path.c_str());
    return face;
}
