// The GL compatibility unit of the web build: what the browser's fixed-function emulation lacks,
// built from the calls it has. Display lists record the immediate-mode calls made between
// glNewList and glEndList and replay them on glCallList; the mipmap builder follows GLU (nearest
// power-of-two sides, box filters); the rest turns calls WebGL refuses into their nearest
// equivalent or into nothing.
#define VELMORA_GL_COMPAT_IMPL
#include "platform/web/gl_compat.h"

#include "platform/platform.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>
#include <vector>

namespace {

enum class Op : uint8_t { Begin, End, Vertex, Normal, Color, TexCoord, Translate, Rotate };

struct Command {
    Op op;
    GLfloat a, b, c, d;
};

std::map<GLuint, std::vector<Command>> lists;
GLuint nextListName = 1;
std::vector<Command>* recording = nullptr;
bool executeWhileRecording = false;
GLuint listBase = 0;
unsigned long replayedVertices = 0;

GLfloat currentNormal[3] = {0.0f, 0.0f, 1.0f};
GLfloat currentColour[3] = {1.0f, 1.0f, 1.0f};
GLfloat currentTexCoord[2] = {0.0f, 0.0f};
GLfloat lineWidth = 1.0f;

// A wide-line block collected until glEnd.
struct LineVertex {
    GLfloat position[3];
    GLfloat colour[3];
    GLfloat texCoord[2];
};
// The emulation gathers a block in a 2 MB buffer with 16-bit indices and silently loses what does
// not fit; blocks of independent primitives are therefore cut into pieces of this many vertices.
const int blockPieceVertices = 12000;
GLenum blockMode = GL_TRIANGLES;
int blockVertices = 0;
bool collectingLines = false;
GLenum lineMode = GL_LINES;
std::vector<LineVertex> lineVertices;
bool normalInBlock = false;
bool inBlock = false;  // between a glBegin sent to the browser and its glEnd
bool hidden = false;  // sysSetFramesHidden: nothing drawn can be seen

struct SavedAttributes {
    GLbitfield mask;
    GLuint listBase;
};
std::vector<SavedAttributes> attributeStack;

// While a list is being recorded the call is stored; true when it must not also run now.
bool record(Op op, GLfloat a = 0.0f, GLfloat b = 0.0f, GLfloat c = 0.0f, GLfloat d = 0.0f)
{
    if (recording == nullptr) {
        return false;
    }
    recording->push_back(Command{op, a, b, c, d});
    return !executeWhileRecording;
}

void replay(const std::vector<Command>& commands)
{
    for (const Command& command : commands) {
        switch (command.op) {
        case Op::Begin:
            compatBegin(static_cast<GLenum>(command.a));
            break;
        case Op::End:
            compatEnd();
            break;
        case Op::Vertex:
            compatVertex3f(command.a, command.b, command.c);
            ++replayedVertices;
            break;
        case Op::Normal:
            // Letters are drawn unlit (nothing enables lighting), so their normals are left out:
            // the emulation would take one per vertex.
            break;
        case Op::Color:
            compatColor3f(command.a, command.b, command.c);
            break;
        case Op::TexCoord:
            compatTexCoord2f(command.a, command.b);
            break;
        case Op::Translate:
            glTranslatef(command.a, command.b, command.c);
            break;
        case Op::Rotate:
            glRotatef(command.a, command.b, command.c, command.d);
            break;
        }
    }
}

// GLU's choice of side: halving until 1 or 3 is left, where 3 rounds up (768 -> 1024, 640 -> 512).
GLint nearestPowerOfTwo(GLint value)
{
    GLint power = 1;
    for (unsigned rest = static_cast<unsigned>(value); rest > 1; rest >>= 1) {
        if (rest == 3) {
            return power * 4;
        }
        power *= 2;
    }
    return power;
}

// Weights of a box filter that maps size source samples onto target samples: for each target
// sample, the source samples its footprint covers and by how much.
struct Tap {
    int source;
    float weight;
};
std::vector<std::vector<Tap>> boxTaps(int size, int target)
{
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(target));
    const double scale = static_cast<double>(size) / target;
    for (int i = 0; i < target; ++i) {
        const double from = i * scale;
        const double to = (i + 1) * scale;
        for (int s = static_cast<int>(std::floor(from)); s < size && s < to; ++s) {
            const double cover = std::fmin(to, s + 1.0) - std::fmax(from, static_cast<double>(s));
            if (cover > 0.0) {
                taps[static_cast<size_t>(i)].push_back(Tap{s, static_cast<float>(cover / scale)});
            }
        }
    }
    return taps;
}

// Area-averaging scale of packed rows (channels bytes a pixel) to width x height.
std::vector<uint8_t> scalePicture(const std::vector<uint8_t>& in, int inWidth, int inHeight, int channels, int width,
                                  int height)
{
    const auto across = boxTaps(inWidth, width);
    const auto down = boxTaps(inHeight, height);
    std::vector<float> rows(static_cast<size_t>(inHeight) * width * channels);
    for (int y = 0; y < inHeight; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                float sum = 0.0f;
                for (const Tap& tap : across[static_cast<size_t>(x)]) {
                    sum += tap.weight * in[(static_cast<size_t>(y) * inWidth + tap.source) * channels + c];
                }
                rows[(static_cast<size_t>(y) * width + x) * channels + c] = sum;
            }
        }
    }
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * channels);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (int c = 0; c < channels; ++c) {
                float sum = 0.0f;
                for (const Tap& tap : down[static_cast<size_t>(y)]) {
                    sum += tap.weight * rows[(static_cast<size_t>(tap.source) * width + x) * channels + c];
                }
                out[(static_cast<size_t>(y) * width + x) * channels + c] =
                    static_cast<uint8_t>(std::fmin(255.0f, std::fmax(0.0f, sum + 0.5f)));
            }
        }
    }
    return out;
}

// The next mipmap level: the rounded average of each 2 x 2 block (or pair, once a side is 1).
std::vector<uint8_t> halvePicture(const std::vector<uint8_t>& in, int width, int height, int channels)
{
    const int outWidth = width > 1 ? width / 2 : 1;
    const int outHeight = height > 1 ? height / 2 : 1;
    const int stepX = width > 1 ? 1 : 0;
    const int stepY = height > 1 ? 1 : 0;
    std::vector<uint8_t> out(static_cast<size_t>(outWidth) * outHeight * channels);
    for (int y = 0; y < outHeight; ++y) {
        for (int x = 0; x < outWidth; ++x) {
            const int sx = x * (stepX + 1);
            const int sy = y * (stepY + 1);
            for (int c = 0; c < channels; ++c) {
                auto at = [&](int px, int py) {
                    return static_cast<int>(in[(static_cast<size_t>(py) * width + px) * channels + c]);
                };
                const int sum = at(sx, sy) + at(sx + stepX, sy) + at(sx, sy + stepY) + at(sx + stepX, sy + stepY);
                out[(static_cast<size_t>(y) * outWidth + x) * channels + c] = static_cast<uint8_t>((sum + 2) / 4);
            }
        }
    }
    return out;
}

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
    glGetIntegerv(GL_VIEWPORT, viewport);
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
        glColor3f(v.colour[0], v.colour[1], v.colour[2]);
        glTexCoord2f(v.texCoord[0], v.texCoord[1]);
        glVertex3f(e.x + dx, e.y + dy, e.z);
    };
    glPushMatrix();
    glLoadIdentity();
    if (separable) {
        glBegin(GL_QUADS);
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
        glEnd();
    } else {
        glBegin(GL_LINES);
        for (const auto& segment : segments) {
            emit(segment.first, 0.0f, 0.0f);
            emit(segment.second, 0.0f, 0.0f);
        }
        glEnd();
    }
    glPopMatrix();
}

int channelsOf(GLenum format)
{
    switch (format) {
    case GL_RGB:
        return 3;
    case GL_RGBA:
        return 4;
    case GL_LUMINANCE:
    case GL_ALPHA:
        return 1;
    case GL_LUMINANCE_ALPHA:
        return 2;
    default:
        return 0;
    }
}

}  // namespace

GLuint compatGenLists(GLsizei range)
{
    if (range <= 0) {
        return 0;
    }
    const GLuint first = nextListName;
    for (GLsizei i = 0; i < range; ++i) {
        lists[first + static_cast<GLuint>(i)];
    }
    nextListName += static_cast<GLuint>(range);
    return first;
}

void compatNewList(GLuint list, GLenum mode)
{
    if (list == 0 || recording != nullptr) {
        return;
    }
    recording = &lists[list];
    recording->clear();
    executeWhileRecording = mode == GL_COMPILE_AND_EXECUTE;
}

void compatEndList()
{
    recording = nullptr;
    executeWhileRecording = false;
}

void compatCallList(GLuint list)
{
    if (hidden) {
        return;
    }
    const auto found = lists.find(list);
    if (found != lists.end()) {
        replay(found->second);
    }
}

void compatCallLists(GLsizei n, GLenum type, const GLvoid* names)
{
    for (GLsizei i = 0; i < n; ++i) {
        GLuint offset = 0;
        switch (type) {
        case GL_UNSIGNED_BYTE:
            offset = static_cast<const GLubyte*>(names)[i];
            break;
        case GL_BYTE:
            offset = static_cast<GLuint>(static_cast<const GLbyte*>(names)[i]);
            break;
        case GL_UNSIGNED_SHORT:
            offset = static_cast<const GLushort*>(names)[i];
            break;
        case GL_UNSIGNED_INT:
            offset = static_cast<const GLuint*>(names)[i];
            break;
        case GL_INT:
            offset = static_cast<GLuint>(static_cast<const GLint*>(names)[i]);
            break;
        default:
            return;
        }
        compatCallList(listBase + offset);
    }
}

void compatListBase(GLuint base)
{
    listBase = base;
}

void compatDeleteLists(GLuint list, GLsizei range)
{
    for (GLsizei i = 0; i < range; ++i) {
        lists.erase(list + static_cast<GLuint>(i));
    }
}

GLboolean compatIsList(GLuint list)
{
    return lists.count(list) != 0 ? GL_TRUE : GL_FALSE;
}

void compatPushAttrib(GLbitfield mask)
{
    attributeStack.push_back(SavedAttributes{mask, listBase});
}

void compatPopAttrib()
{
    if (attributeStack.empty()) {
        return;
    }
    const SavedAttributes saved = attributeStack.back();
    attributeStack.pop_back();
    if ((saved.mask & GL_LIST_BIT) != 0) {
        listBase = saved.listBase;
    }
}

void compatBegin(GLenum mode)
{
    if (!record(Op::Begin, static_cast<GLfloat>(mode)) && !hidden) {
        normalInBlock = false;
        collectingLines = lineWidth > 1.0f && (mode == GL_LINES || mode == GL_LINE_STRIP || mode == GL_LINE_LOOP);
        if (collectingLines) {
            lineMode = mode;
            lineVertices.clear();
            return;
        }
        blockMode = mode;
        blockVertices = 0;
        inBlock = true;
        glBegin(mode);
    }
}

void compatEnd()
{
    if (!record(Op::End) && !hidden) {
        if (collectingLines) {
            collectingLines = false;
            drawWideLines();
            return;
        }
        inBlock = false;
        glEnd();
    }
}

void compatVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (!record(Op::Vertex, x, y, z) && !hidden) {
        if (collectingLines) {
            lineVertices.push_back(LineVertex{{x, y, z},
                                              {currentColour[0], currentColour[1], currentColour[2]},
                                              {currentTexCoord[0], currentTexCoord[1]}});
            return;
        }
        glTexCoord2f(currentTexCoord[0], currentTexCoord[1]);
        glColor3f(currentColour[0], currentColour[1], currentColour[2]);
        if (normalInBlock) {
            glNormal3f(currentNormal[0], currentNormal[1], currentNormal[2]);
        }
        glVertex3f(x, y, z);
        if (++blockVertices == blockPieceVertices &&
            (blockMode == GL_QUADS || blockMode == GL_TRIANGLES || blockMode == GL_LINES || blockMode == GL_POINTS)) {
            glEnd();
            glBegin(blockMode);
            blockVertices = 0;
        }
    }
}

// The emulation stores a normal into the vertex stream at each call, so it must come once per
// vertex: the current normal is sent again before every vertex of a block that set one.
void compatNormal3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (!record(Op::Normal, x, y, z)) {
        currentNormal[0] = x;
        currentNormal[1] = y;
        currentNormal[2] = z;
        normalInBlock = true;
    }
}

// The emulation appends each attribute call to the block's vertex stream in the order it comes,
// so every vertex of a block must carry the same attributes in the same order. Inside a block the
// colour and texture coordinate are only remembered, and each vertex sends both before itself (a
// colour given once for a whole quad would otherwise land on its first corner only).
void compatColor3f(GLfloat r, GLfloat g, GLfloat b)
{
    if (!record(Op::Color, r, g, b)) {
        currentColour[0] = r;
        currentColour[1] = g;
        currentColour[2] = b;
        if (!collectingLines && !inBlock) {
            glColor3f(r, g, b);
        }
    }
}

void compatColor3d(GLdouble r, GLdouble g, GLdouble b)
{
    compatColor3f(static_cast<GLfloat>(r), static_cast<GLfloat>(g), static_cast<GLfloat>(b));
}

void compatTexCoord2f(GLfloat s, GLfloat t)
{
    if (!record(Op::TexCoord, s, t)) {
        currentTexCoord[0] = s;
        currentTexCoord[1] = t;
        if (!collectingLines && !inBlock) {
            glTexCoord2f(s, t);
        }
    }
}

void compatTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    if (!record(Op::Translate, x, y, z)) {
        glTranslatef(x, y, z);
    }
}

void compatRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    if (!record(Op::Rotate, angle, x, y, z)) {
        glRotatef(angle, x, y, z);
    }
}

GLint compatBuild2DMipmaps(GLenum target, GLint components, GLint width, GLint height, GLenum format, GLenum type,
                           const void* data)
{
    const int channels = channelsOf(format);
    if (type != GL_UNSIGNED_BYTE || channels == 0 || channels != components || data == nullptr) {
        return GLU_INVALID_ENUM;
    }
    if (width <= 0 || height <= 0) {
        return GLU_INVALID_VALUE;
    }
    // Source rows follow the unpack alignment; the levels are uploaded packed.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    const size_t rowBytes = static_cast<size_t>(width) * channels;
    const size_t stride = (rowBytes + alignment - 1) / alignment * alignment;
    std::vector<uint8_t> level(rowBytes * height);
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = static_cast<const uint8_t*>(data) + stride * y;
        std::copy(row, row + rowBytes, level.begin() + static_cast<long>(rowBytes * y));
    }
    int levelWidth = nearestPowerOfTwo(width);
    int levelHeight = nearestPowerOfTwo(height);
    GLint maxSize = 2048;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxSize);
    while (levelWidth > maxSize || levelHeight > maxSize) {
        levelWidth = levelWidth > 1 ? levelWidth / 2 : 1;
        levelHeight = levelHeight > 1 ? levelHeight / 2 : 1;
    }
    if (levelWidth != width || levelHeight != height) {
        level = scalePicture(level, width, height, channels, levelWidth, levelHeight);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (GLint index = 0;; ++index) {
        glTexImage2D(target, index, static_cast<GLint>(format), levelWidth, levelHeight, 0, format, type, level.data());
        if (levelWidth == 1 && levelHeight == 1) {
            break;
        }
        level = halvePicture(level, levelWidth, levelHeight, channels);
        levelWidth = levelWidth > 1 ? levelWidth / 2 : 1;
        levelHeight = levelHeight > 1 ? levelHeight / 2 : 1;
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return 0;
}

void compatGetDoublev(GLenum pname, GLdouble* params)
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

void compatTexGeni(GLenum, GLenum, GLint) {}

static bool isTexGen(GLenum cap)
{
    return cap == GL_TEXTURE_GEN_S || cap == GL_TEXTURE_GEN_T || cap == GL_TEXTURE_GEN_R || cap == GL_TEXTURE_GEN_Q;
}

void compatEnable(GLenum cap)
{
    if (!isTexGen(cap)) {
        glEnable(cap);
    }
}

void compatDisable(GLenum cap)
{
    if (!isTexGen(cap)) {
        glDisable(cap);
    }
}

void compatHint(GLenum target, GLenum mode)
{
    if (target == GL_GENERATE_MIPMAP_HINT) {
        glHint(target, mode);
    }
}

void compatLineWidth(GLfloat width)
{
    lineWidth = width;
    glLineWidth(width);
}

void sysSetFramesHidden(bool hide)
{
    hidden = hide;
}

void compatClear(GLbitfield mask)
{
    if (!hidden) {
        glClear(mask);
    }
}

void compatShadeModel(GLenum) {}

void compatReadBuffer(GLenum) {}

void compatGetIntegerv(GLenum pname, GLint* params)
{
    if (pname == GL_READ_BUFFER || pname == GL_DRAW_BUFFER) {
        *params = GL_BACK;
        return;
    }
    glGetIntegerv(pname, params);
}

void compatReadPixels(GLint x, GLint y, GLsizei width, GLsizei height, GLenum format, GLenum type, GLvoid* pixels)
{
    if (type != GL_UNSIGNED_BYTE || (format != GL_RGB && format != GL_BGRA) || width <= 0 || height <= 0) {
        glReadPixels(x, y, width, height, format, type, pixels);
        return;
    }
    std::vector<uint8_t> rgba(static_cast<size_t>(width) * height * 4);
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);
    glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
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

unsigned long compatTakeReplayedVertices()
{
    const unsigned long count = replayedVertices;
    replayedVertices = 0;
    return count;
}
