// Display lists and immediate mode for the browser: the calls made between glNewList and glEndList
// are recorded and replayed on glCallList; immediate-mode blocks are fed to the emulation the way
// it can take them (every vertex with the same attributes, long blocks cut into pieces); the
// frames the skip ahead hides send nothing but their state changes.
#include "platform/web/gl_compat.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <vector>

#include "platform/platform.h"

namespace {

bool framesHidden = false;  // sysSetFramesHidden: nothing drawn can be seen

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

GLfloat currentNormal[3] = {0.0f, 0.0f, 1.0f};
GLfloat currentColour[4] = {1.0f, 1.0f, 1.0f, 1.0f};
GLfloat currentTexCoord[2] = {0.0f, 0.0f};

// The emulation gathers a block in a 2 MB buffer with 16-bit indices and silently loses what does
// not fit; blocks of independent primitives are therefore cut into pieces of this many vertices.
const int blockPieceVertices = 12000;
GLenum blockMode = GL_TRIANGLES;
int blockVertices = 0;
bool collectingLines = false;  // a wide-line block, handed to gl_wide_lines.cpp
bool normalInBlock = false;
bool inBlock = false;  // between a glBegin sent to the browser and its glEnd

struct SavedAttributes {
    GLbitfield mask;
    GLuint listBase;
    KeptState state;
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
            __wrap_glBegin(static_cast<GLenum>(command.a));
            break;
        case Op::End:
            __wrap_glEnd();
            break;
        case Op::Vertex:
            __wrap_glVertex3f(command.a, command.b, command.c);
            break;
        case Op::Normal:
            // Letters are drawn unlit (nothing enables lighting), so their normals are left out:
            // the emulation would take one per vertex.
            break;
        case Op::Color:
            __wrap_glColor4f(command.a, command.b, command.c, command.d);
            break;
        case Op::TexCoord:
            __wrap_glTexCoord2f(command.a, command.b);
            break;
        case Op::Translate:
            __real_glTranslatef(command.a, command.b, command.c);
            break;
        case Op::Rotate:
            __real_glRotatef(command.a, command.b, command.c, command.d);
            break;
        }
    }
}

}  // namespace

GLuint __wrap_glGenLists(GLsizei range)
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

void __wrap_glNewList(GLuint list, GLenum mode)
{
    if (list == 0 || recording != nullptr) {
        return;
    }
    recording = &lists[list];
    recording->clear();
    executeWhileRecording = mode == GL_COMPILE_AND_EXECUTE;
}

void __wrap_glEndList()
{
    recording = nullptr;
    executeWhileRecording = false;
}

void __wrap_glCallList(GLuint list)
{
    if (framesHidden) {
        return;
    }
    const auto found = lists.find(list);
    if (found != lists.end()) {
        replay(found->second);
    }
}

void __wrap_glCallLists(GLsizei n, GLenum type, const GLvoid* names)
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
        __wrap_glCallList(listBase + offset);
    }
}

void __wrap_glListBase(GLuint base)
{
    listBase = base;
}

void __wrap_glDeleteLists(GLuint list, GLsizei range)
{
    for (GLsizei i = 0; i < range; ++i) {
        lists.erase(list + static_cast<GLuint>(i));
    }
}

GLboolean __wrap_glIsList(GLuint list)
{
    return lists.count(list) != 0 ? GL_TRUE : GL_FALSE;
}

void __wrap_glPushAttrib(GLbitfield mask)
{
    attributeStack.push_back(SavedAttributes{mask, listBase, keepState()});
}

void __wrap_glPopAttrib()
{
    if (attributeStack.empty()) {
        return;
    }
    const SavedAttributes saved = attributeStack.back();
    attributeStack.pop_back();
    if ((saved.mask & GL_LIST_BIT) != 0) {
        listBase = saved.listBase;
    }
    restoreState(saved.mask, saved.state);
}

void __wrap_glBegin(GLenum mode)
{
    if (!record(Op::Begin, static_cast<GLfloat>(mode)) && !framesHidden) {
        normalInBlock = false;
        collectingLines = wideLineBlock(mode);
        if (collectingLines) {
            beginWideLines(mode);
            return;
        }
        blockMode = mode;
        blockVertices = 0;
        inBlock = true;
        __real_glBegin(mode);
    }
}

void __wrap_glEnd()
{
    if (!record(Op::End) && !framesHidden) {
        if (collectingLines) {
            collectingLines = false;
            endWideLines();
            return;
        }
        inBlock = false;
        __real_glEnd();
    }
}

void __wrap_glVertex3f(GLfloat x, GLfloat y, GLfloat z)
{
    if (!record(Op::Vertex, x, y, z) && !framesHidden) {
        if (collectingLines) {
            addWideLineVertex(x, y, z, currentColour, currentTexCoord);
            return;
        }
        __real_glTexCoord2f(currentTexCoord[0], currentTexCoord[1]);
        __real_glColor4f(currentColour[0], currentColour[1], currentColour[2], currentColour[3]);
        if (normalInBlock) {
            __real_glNormal3f(currentNormal[0], currentNormal[1], currentNormal[2]);
        }
        __real_glVertex3f(x, y, z);
        if (++blockVertices == blockPieceVertices &&
            (blockMode == GL_QUADS || blockMode == GL_TRIANGLES || blockMode == GL_LINES || blockMode == GL_POINTS)) {
            __real_glEnd();
            __real_glBegin(blockMode);
            blockVertices = 0;
        }
    }
}

void __wrap_glVertex2f(GLfloat x, GLfloat y)
{
    __wrap_glVertex3f(x, y, 0.0f);
}

// The emulation stores a normal into the vertex stream at each call, so it must come once per
// vertex: the current normal is sent again before every vertex of a block that set one.
void __wrap_glNormal3f(GLfloat x, GLfloat y, GLfloat z)
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
void __wrap_glColor4f(GLfloat r, GLfloat g, GLfloat b, GLfloat a)
{
    if (!record(Op::Color, r, g, b, a)) {
        currentColour[0] = r;
        currentColour[1] = g;
        currentColour[2] = b;
        currentColour[3] = a;
        if (!collectingLines && !inBlock) {
            __real_glColor4f(r, g, b, a);
        }
    }
}

void __wrap_glColor3f(GLfloat r, GLfloat g, GLfloat b)
{
    __wrap_glColor4f(r, g, b, 1.0f);
}

void __wrap_glColor3d(GLdouble r, GLdouble g, GLdouble b)
{
    __wrap_glColor3f(static_cast<GLfloat>(r), static_cast<GLfloat>(g), static_cast<GLfloat>(b));
}

void __wrap_glTexCoord2f(GLfloat s, GLfloat t)
{
    if (!record(Op::TexCoord, s, t)) {
        currentTexCoord[0] = s;
        currentTexCoord[1] = t;
        if (!collectingLines && !inBlock) {
            __real_glTexCoord2f(s, t);
        }
    }
}

void __wrap_glTranslatef(GLfloat x, GLfloat y, GLfloat z)
{
    if (!record(Op::Translate, x, y, z)) {
        __real_glTranslatef(x, y, z);
    }
}

void __wrap_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z)
{
    if (!record(Op::Rotate, angle, x, y, z)) {
        __real_glRotatef(angle, x, y, z);
    }
}

void sysSetFramesHidden(bool hide)
{
    framesHidden = hide;
}

void __wrap_glClear(GLbitfield mask)
{
    if (!framesHidden) {
        __real_glClear(mask);
    }
}
