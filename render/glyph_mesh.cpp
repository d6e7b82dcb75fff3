// The solid letter of one glyph as GL calls, and its display list: shared by the desktop font
// builder, which makes the geometry from the font file, and the browser build, which reads it
// from the data folder.
#include "render/outline_font.h"

#include <cmath>

void emitGlyphGeometry(const GlyphGeometry& geometry, float extrusion)
{
    const std::vector<OutlinePoint>& tri = geometry.triangles;
    if (!tri.empty()) {
        glBegin(GL_TRIANGLES);
        glNormal3f(0.0f, 0.0f, 1.0f);
        for (const OutlinePoint& p : tri)
            glVertex3f(p.x, p.y, 0.0f);
        // The back face turns the other way so that it is counter-clockwise seen from -z.
        glNormal3f(0.0f, 0.0f, -1.0f);
        for (size_t i = 0; i + 2 < tri.size(); i += 3) {
            glVertex3f(tri[i].x, tri[i].y, -extrusion);
            glVertex3f(tri[i + 2].x, tri[i + 2].y, -extrusion);
            glVertex3f(tri[i + 1].x, tri[i + 1].y, -extrusion);
        }
        glEnd();
    }
    if (geometry.boundary.empty())
        return;
    // Every boundary loop has the filled region on its left, so outward is to the right of the
    // direction of travel for outer loops and holes alike.
    glBegin(GL_QUADS);
    for (const OutlineContour& loop : geometry.boundary) {
        size_t n = loop.size();
        for (size_t i = 0; i < n; ++i) {
            const OutlinePoint& a = loop[i];
            const OutlinePoint& b = loop[(i + 1) % n];
            float dx = b.x - a.x;
            float dy = b.y - a.y;
            float len = std::sqrt(dx * dx + dy * dy);
            if (len == 0.0f)
                continue;
            glNormal3f(dy / len, -dx / len, 0.0f);
            glVertex3f(a.x, a.y, 0.0f);
            glVertex3f(a.x, a.y, -extrusion);
            glVertex3f(b.x, b.y, -extrusion);
            glVertex3f(b.x, b.y, 0.0f);
        }
    }
    glEnd();
}

void compileGlyphList(GLuint list, const GlyphGeometry& geometry, const GlyphMetricsFloat& metrics, float extrusion)
{
    glNewList(list, GL_COMPILE);
    emitGlyphGeometry(geometry, extrusion);
    glTranslatef(metrics.cellIncX, metrics.cellIncY, 0.0f);
    glEndList();
}
