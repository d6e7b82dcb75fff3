// text_bench: prints what the outline font costs: the time to build the 255 letter lists, their
// size in triangles and wall quads, and the time of a frame that prints three 40-character lines
// (the most any scene shows at once). Needs a display (xvfb-run); figures depend on the GL driver.
#include <chrono>
#include <cstdio>
#include <string>

#include "core/clock.h"
#include "render/text.h"
#include "tests/support/text_gl.h"

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main()
{
    std::string why;
    if (!openTextWindow(&why)) {
        std::fprintf(stderr, "text_bench: %s\n", why.c_str());
        return 1;
    }

    const int builds = 5;
    auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < builds; ++i)
        createOutlineFont();
    glFinish();
    std::printf("font build (255 lists): %.1f ms\n", millisecondsSince(start) / builds);

    OutlineFace* face = openTextFace();
    size_t triangles = 0, quads = 0, glyphs = 0;
    for (int code = 0; code < 255; ++code) {
        GlyphGeometry g;
        GlyphMetricsFloat m;
        if (!face || !loadGlyphOutline(face, static_cast<uint8_t>(code), 0.1f, &g, &m) || g.contours.empty())
            continue;
        tessellateOutline(&g);
        ++glyphs;
        triangles += g.triangles.size() / 3;
        for (const OutlineContour& loop : g.boundary)
            quads += loop.size();
    }
    closeOutlineFace(face);
    std::printf("glyphs with ink: %zu, face triangles: %zu (x2 faces), wall quads: %zu\n", glyphs, triangles, quads);

    const char* line = "ABCDEFGHIJ abcdefghij KLMNOPQRST klmnopq";  // 40 characters
    const int frames = 200;
    sceneTime = 5.0f;
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
        clearTextFrame();
        printCreditLine(0.0f, 10.0f, 1.0f, "%s", line);
        printGreetingLine(0.0f, 10.0f, 1.0f, "%s", line);
        printVerseLine(0.0f, 10.0f, 1.0f, "%s", line);
        glFinish();
    }
    std::printf("frame with three 40-character lines (800 x 600): %.2f ms\n", millisecondsSince(start) / frames);
    deleteOutlineFont();
    return 0;
}
