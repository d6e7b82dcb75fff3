// The GL state calls and queries the browser's WebGL refuses or lacks, turned into their nearest
// equivalent or into nothing: texture-coordinate generation, hints, shading model, read buffers,
// glGetDoublev, RGB or BGRA read-back through WebGL's RGBA, textures in the formats WebGL takes, and
// the enables and texture state glPushAttrib keeps.
#include "platform/web/gl_compat.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

void __wrap_glGetDoublev(GLenum pname, GLdouble* params)
{
    int count = 1;
    switch (pname) {
    case GL_MODELVIEW_MATRIX:
    case GL_PROJECTION_MATRIX:
    case GL_TEXTURE_MATRIX:
        count = 16;
        break;
    case GL_VIEWPORT:
    case GL_COLOR_CLEAR_VALUE:
    case GL_CURRENT_COLOR:
    case GL_FOG_COLOR:
    case GL_SCISSOR_BOX:
        count = 4;
        break;
    case GL_DEPTH_RANGE:
        count = 2;
        break;
    default:
        break;
    }
    GLfloat values[16] = {};
    glGetFloatv(pname, values);
    for (int i = 0; i < count; ++i) {
        params[i] = values[i];
    }
}

void __wrap_glTexGeni(GLenum, GLenum, GLint) {}

static bool isTexGen(GLenum cap)
{
    return cap == GL_TEXTURE_GEN_S || cap == GL_TEXTURE_GEN_T || cap == GL_TEXTURE_GEN_R || cap == GL_TEXTURE_GEN_Q;
}

namespace {

std::map<GLenum, bool> enabledCaps;  // every capability the program has switched, as it left it
GLint environmentMode = GL_MODULATE;

}  // namespace

void __wrap_glEnable(GLenum cap)
{
    if (!isTexGen(cap)) {
        __real_glEnable(cap);
        enabledCaps[cap] = true;
    }
}

void __wrap_glDisable(GLenum cap)
{
    if (!isTexGen(cap)) {
        __real_glDisable(cap);
        enabledCaps[cap] = false;
    }
}

void __wrap_glTexEnvi(GLenum target, GLenum pname, GLint param)
{
    __real_glTexEnvi(target, pname, param);
    if (target == GL_TEXTURE_ENV && pname == GL_TEXTURE_ENV_MODE) {
        environmentMode = param;
    }
}

KeptState keepState()
{
    KeptState kept;
    kept.enabled = enabledCaps;
    kept.environmentMode = environmentMode;
    __real_glGetIntegerv(GL_TEXTURE_BINDING_2D, &kept.texture);
    return kept;
}

// A capability switched since the push goes back to what it was then (off, as GL starts, where
// it had never been switched).
void restoreState(GLbitfield mask, const KeptState& kept)
{
    if ((mask & GL_ENABLE_BIT) != 0) {
        for (auto& [cap, on] : enabledCaps) {
            const auto then = kept.enabled.find(cap);
            const bool wanted = then != kept.enabled.end() && then->second;
            if (on != wanted) {
                wanted ? __real_glEnable(cap) : __real_glDisable(cap);
                on = wanted;
            }
        }
    }
    if ((mask & GL_TEXTURE_BIT) != 0) {
        if (environmentMode != kept.environmentMode) {
            __wrap_glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, kept.environmentMode);
        }
        glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(kept.texture));
    }
}

void __wrap_glHint(GLenum target, GLenum mode)
{
    if (target == GL_GENERATE_MIPMAP_HINT) {
        __real_glHint(target, mode);
    }
}

void __wrap_glShadeModel(GLenum) {}

void __wrap_glReadBuffer(GLenum) {}

void __wrap_glGetIntegerv(GLenum pname, GLint* params)
{
    if (pname == GL_READ_BUFFER || pname == GL_DRAW_BUFFER) {
        *params = GL_BACK;
        return;
    }
    __real_glGetIntegerv(pname, params);
}

void __wrap_glReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels)
{
    if (type != GL_UNSIGNED_BYTE || (format != GL_RGB && format != GL_BGRA) || width <= 0 || height <= 0) {
        __real_glReadPixels(x, y, width, height, format, type, pixels);
        return;
    }
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    GLint alignment = 4;
    __real_glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    __real_glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    const int channels = format == GL_RGB ? 3 : 4;
    const size_t rowBytes = static_cast<size_t>(width) * channels;
    const size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
    for (GLsizei row = 0; row < height; ++row) {
        uint8_t* out = static_cast<uint8_t*>(pixels) + stride * row;
        const uint8_t* in = rgba.data() + static_cast<size_t>(row) * width * 4;
        for (GLsizei i = 0; i < width; ++i, in += 4, out += channels) {
            out[0] = format == GL_RGB ? in[0] : in[2];
            out[1] = in[1];
            out[2] = format == GL_RGB ? in[2] : in[0];
            if (channels == 4) {
                out[3] = in[3];
            }
        }
    }
}

void __wrap_glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                         GLint border, GLenum format, GLenum type, const GLvoid* pixels)
{
    if (pixels == nullptr) {
        __real_glTexImage2D(target, level, GL_RGB, width, height, border, GL_RGB, GL_UNSIGNED_BYTE, nullptr);
        return;
    }
    const GLint unsized = internalFormat == GL_RGBA8 ? GL_RGBA : internalFormat == GL_RGB8 ? GL_RGB : internalFormat;
    __real_glTexImage2D(target, level, unsized, width, height, border, format, type, pixels);
}
