// Lines wider than one pixel for the browser, whose WebGL draws only thin ones: a wide-line block
// is collected until its glEnd and drawn as one quad per segment, widened across its major axis in
// window space as the desktop GL does.
#include "platform/web/gl_compat.h"

#include <cmath>
#include <utility>
#include <vector>

namespace {

GLfloat lineWidth = 1.0f;

// A wide-line block collected until glEnd.
struct LineVertex {
    GLfloat position[3];
    GLfloat colour[3];
    GLfloat texCoord[2];
};
GLenum lineMode = GL_LINES;
std::vector<LineVertex> lineVertices;

// Draws the collected wide-line block: each segment becomes a quad lineWidth pixels across its
// major axis. The quads are given in eye space (so that fog sees the same depth), which needs a
// projection that keeps x and y apart, as gluPerspective's does; with another, thin lines are drawn.
void drawWideLines()
{
    std::vector<std::pair<size_t, size_t>> segments;
    const size_t n = lineVertices.size();
    if (lineMode == GL_LINES) {
        for (size_t i = 0; i + 1 < n; i += 2)
            segments.emplace_back(i, i + 1);
    } else {
        for (size_t i = 0; i + 1 < n; ++i)
            segments.emplace_back(i, i + 1);
        if (lineMode == GL_LINE_LOOP && n > 2)
            segments.emplace_back(n - 1, 0);
    }
    GLfloat modelview[16], projection[16];
    GLint viewport[4] = {0, 0, 1, 1};
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);
    __real_glGetIntegerv(GL_VIEWPORT, viewport);
    const bool separable = projection[1] == 0.0f && projection[4] == 0.0f && projection[8] == 0.0f &&
                           projection[9] == 0.0f && projection[3] == 0.0f && projection[7] == 0.0f &&
                           projection[2] == 0.0f && projection[6] == 0.0f && projection[0] != 0.0f &&
                           projection[5] != 0.0f;
    struct Eye {
        GLfloat x, y, z, w, winX, winY;
    };
    std::vector<Eye> eye(n);
    for (size_t i = 0; i < n; ++i) {
        const GLfloat* p = lineVertices[i].position;
        Eye& e = eye[i];
        e.x = modelview[0] * p[0] + modelview[4] * p[1] + modelview[8] * p[2] + modelview[12];
        e.y = modelview[1] * p[0] + modelview[5] * p[1] + modelview[9] * p[2] + modelview[13];
        e.z = modelview[2] * p[0] + modelview[6] * p[1] + modelview[10] * p[2] + modelview[14];
        const GLfloat w = projection[11] * e.z + projection[15];
        e.w = w;
        e.winX = w != 0.0f ? (projection[0] * e.x / w) * 0.5f * viewport[2] : 0.0f;
        e.winY = w != 0.0f ? (projection[5] * e.y / w) * 0.5f * viewport[3] : 0.0f;
    }
    auto emit = [&](size_t index, GLfloat offsetX, GLfloat offsetY) {
        const LineVertex& v = lineVertices[index];
        const Eye& e = eye[index];
        // A window offset of one pixel is 2 / viewport in NDC, times w in clip space.
        const GLfloat dx = offsetX * 2.0f / viewport[2] * e.w / projection[0];
        const GLfloat dy = offsetY * 2.0f / viewport[3] * e.w / projection[5];
        __real_glColor3f(v.colour[0], v.colour[1], v.colour[2]);
        __real_glTexCoord2f(v.texCoord[0], v.texCoord[1]);
        __real_glVertex3f(e.x + dx, e.y + dy, e.z);
    };
    glPushMatrix();
    glLoadIdentity();
    if (separable) {
        __real_glBegin(GL_QUADS);
        const GLfloat half = lineWidth / 2.0f;
        for (const auto& segment : segments) {
            const Eye& a = eye[segment.first];
            const Eye& b = eye[segment.second];
            if (a.w <= 0.0f || b.w <= 0.0f) {
                continue;  // reaches behind the eye
            }
            const bool xMajor = std::fabs(b.winX - a.winX) >= std::fabs(b.winY - a.winY);
            const GLfloat ox = xMajor ? 0.0f : half;
            const GLfloat oy = xMajor ? half : 0.0f;
            emit(segment.first, -ox, -oy);
            emit(segment.first, ox, oy);
            emit(segment.second, ox, oy);
            emit(segment.second, -ox, -oy);
        }
        __real_glEnd();
    } else {
        __real_glBegin(GL_LINES);
        for (const auto& segment : segments) {
            emit(segment.first, 0.0f, 0.0f);
            emit(segment.second, 0.0f, 0.0f);
        }
        __real_glEnd();
    }
    glPopMatrix();
}

}  // namespace

bool wideLineBlock(GLenum mode)
{
    return lineWidth > 1.0f && (mode == GL_LINES || mode == GL_LINE_STRIP || mode == GL_LINE_LOOP);
}

void beginWideLines(GLenum mode)
{
    lineMode = mode;
    lineVertices.clear();
}

void addWideLineVertex(GLfloat x, GLfloat y, GLfloat z, const GLfloat colour[3], const GLfloat texCoord[2])
{
    lineVertices.push_back(LineVertex{{x, y, z}, {colour[0], colour[1], colour[2]}, {texCoord[0], texCoord[1]}});
}

void endWideLines()
{
    drawWideLines();
}

void __wrap_glLineWidth(GLfloat width)
{
    lineWidth = width;
    __real_glLineWidth(width);
}
