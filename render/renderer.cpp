// The gridded model renderer and the pass dispatcher: draws the grid cells around the current
// camera, opaque meshes with fog then '%' meshes additively without depth writes, and runs the
// model passes of one frame in order. Depends on the model's grid (model/grid.cpp), the animation
// (render/animation.cpp), the particle and arc passes and the render switches. GL lighting is
// never on: the vertex colours of the load-time lighting carry all the shading, so each grid entry's
// faces are compiled once into a display list (VELMORA_IMMEDIATE=1 sends them face by face instead).
#include "render/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "core/switches.h"
#include "render/quads.h"

const SceneObject* viewCamera(const Model& model)
{
    if (model.cameraCount <= 0)
        return nullptr;
    return model.cameras[std::clamp(model.currentCamera, 0, model.cameraCount - 1)];
}

CameraView cameraView(const Model& model)
{
    CameraView view;
    const SceneObject* camera = viewCamera(model);
    if (camera == nullptr)
        return view;
    view.eye = camera->cameraPosition;
    view.target = camera->cameraTarget;
    // The rotation camera is on for every model frame of the presentation; with it off the passes
    // draw from the identity view.
    view.rotating = rotationCamera;
    if (view.rotating)
        view.angles = camera->rotation;
    return view;
}

void loadCameraView(const CameraView& view)
{
    glLoadIdentity();
    applyCameraView(view);
}

void applyCameraView(const CameraView& view)
{
    if (!view.rotating)
        return;
    glRotatef(static_cast<float>(view.angles.x), 1.0f, 0.0f, 0.0f);
    glRotatef(static_cast<float>(view.angles.y), 0.0f, 1.0f, 0.0f);
    glRotatef(static_cast<float>(view.angles.z), 0.0f, 0.0f, 1.0f);
    glTranslatef(static_cast<float>(-view.eye.x), static_cast<float>(-view.eye.y), static_cast<float>(-view.eye.z));
}

namespace {

// The cell the eye is in along one axis, truncated toward zero. Held far inside the int range so
// that a camera flown to infinity (or a grid of cell size 0) only puts the window off the grid.
int32_t cellOf(double coordinate, float gridMin, float cellSize)
{
    const double cell = (coordinate - gridMin) / cellSize;
    if (std::isnan(cell))
        return 0;
    return static_cast<int32_t>(std::clamp(cell, -1.0e7, 1.0e7));
}

}  // namespace

ViewWindow computeViewWindow(const Model& model)
{
    return computeViewWindow(model, cameraView(model));
}

ViewWindow computeViewWindow(const Model& model, const CameraView& view)
{
    const int32_t reach = viewRange + 4;
    const int32_t column = cellOf(view.eye.x, model.gridMinX, model.cellWidth);
    const int32_t row = cellOf(view.eye.z, model.gridMinZ, model.cellDepth);
    ViewWindow window;
    if (view.eye.x > view.target.x) {
        window.firstColumn = column - reach;
        window.lastColumn = column + 2;
    } else {
        window.firstColumn = column - 2;
        window.lastColumn = column + reach;
    }
    if (view.eye.z > view.target.z) {
        window.firstRow = row - reach;
        window.lastRow = row + 2;
    } else {
        window.firstRow = row - 2;
        window.lastRow = row + reach;
    }
    return window;
}

int32_t windowCell(const Model& model, int32_t column, int32_t row)
{
    if (column >= 0 && column < model.columns && row >= 0 && row < model.rows)
        return row * model.columns + column;
    return 0;
}

void placeAnimatedObject(const SceneObject& object)
{
    glTranslatef(static_cast<float>(object.position.x), static_cast<float>(object.position.y),
                 static_cast<float>(object.position.z));
    glRotatef(static_cast<float>(object.rotation.x), 1.0f, 0.0f, 0.0f);
    glRotatef(static_cast<float>(object.rotation.y), 0.0f, 1.0f, 0.0f);
    glRotatef(static_cast<float>(object.rotation.z), 0.0f, 0.0f, 1.0f);
    glTranslatef(static_cast<float>(-object.basePosition.x), static_cast<float>(-object.basePosition.y),
                 static_cast<float>(-object.basePosition.z));
}

namespace {

bool isAnimated(const SceneObject& object)
{
    return object.positionKeyCount > 1 || object.rotationKeyCount > 1;
}

// A mesh whose arrays were never filled (its faces dropped by the reader) has nothing to send.
bool canDrawEntry(const SceneObject& object, const GridEntry& entry)
{
    return object.faceCount != 0 && object.faces != nullptr && object.vertices != nullptr &&
           object.vertexColours != nullptr && object.mapping != nullptr && entry.faceIndices != nullptr;
}

// One triangle block: the faces of one object that lie in one cell, each corner with its lit
// colour, texture coordinate and vertex. A face index past the mesh's faces is clamped to its last
// face.
void sendEntryFaces(const SceneObject& object, const GridEntry& entry)
{
    glBegin(GL_TRIANGLES);
    for (int32_t i = 0; i < entry.faceCount; ++i) {
        const int32_t index = std::clamp<int32_t>(entry.faceIndices[i], 0, object.faceCount - 1);
        const Face& face = object.faces[index];
        if (face.a >= object.vertexCount || face.b >= object.vertexCount || face.c >= object.vertexCount)
            continue;
        for (const uint16_t corner : {face.a, face.b, face.c}) {
            const Vec3f& colour = object.vertexColours[corner];
            glColor3d(colour.x, colour.y, colour.z);
            glTexCoord2f(object.mapping[corner].u, object.mapping[corner].v);
            const Vec3d& vertex = object.vertices[corner];
            glVertex3f(static_cast<float>(vertex.x), static_cast<float>(vertex.y), static_cast<float>(vertex.z));
        }
    }
    glEnd();
}

bool isEmitterName(const char* name)
{
    return name[0] == '*';
}

// What one drawMeshes call has already set up, so that it is not set again for every entry: the
// camera view is loaded once and kept under each animated object's placement (a pushed copy gives
// the very matrix a rebuild from identity would), and a texture is bound only when it changes.
struct MeshPassState {
    bool viewLoaded = false;
    bool textureBound = false;
    GLuint texture = 0;
    const SceneObject* lastDrawn = nullptr;
    bool useLists = true;
};

void drawEntry(const Model& model, const SceneObject& object, const GridEntry& entry, const CameraView& view,
               MeshPassState& pass)
{
    if (!canDrawEntry(object, entry))
        return;
    if (!pass.viewLoaded) {
        loadCameraView(view);
        pass.viewLoaded = true;
    }
    const bool placed = isAnimated(object);
    if (placed) {
        glPushMatrix();
        placeAnimatedObject(object);
    }
    const GLuint texture = model.textureOf(&object);
    if (!pass.textureBound || texture != pass.texture) {
        glBindTexture(GL_TEXTURE_2D, texture);
        pass.textureBound = true;
        pass.texture = texture;
    }
    if (pass.useLists && entry.list != 0)
        glCallList(entry.list);
    else
        sendEntryFaces(object, entry);
    if (placed)
        glPopMatrix();
    pass.lastDrawn = &object;
}

// The modelview matrix is left as the last object drawn had it, as a per-object set-up would.
void leaveLastPlacement(const MeshPassState& pass)
{
    if (pass.lastDrawn != nullptr && isAnimated(*pass.lastDrawn))
        placeAnimatedObject(*pass.lastDrawn);
}

}  // namespace

bool immediateModeForced()
{
    static const bool forced = [] {
        const char* value = std::getenv("VELMORA_IMMEDIATE");
        return value != nullptr && value[0] != '\0' && std::strcmp(value, "0") != 0;
    }();
    return forced;
}

void Model::compileGridLists()
{
    if (grid == nullptr || columns <= 0 || rows <= 0 || immediateModeForced())
        return;
    for (int32_t cell = 0; cell < columns * rows; ++cell) {
        rewind();
        for (int32_t k = 0; k < grid[cell].entryCount; ++k) {
            const SceneObject& object = *cursor;
            GridEntry& entry = grid[cell].entries[k];
            // Emitters are never drawn; their faces need no list.
            if (entry.list == 0 && entry.faceCount > 0 && object.kind == ObjectKind::Mesh &&
                !isEmitterName(object.name) && canDrawEntry(object, entry)) {
                entry.list = glGenLists(1);
                if (entry.list != 0) {
                    glNewList(entry.list, GL_COMPILE);
                    sendEntryFaces(object, entry);
                    glEndList();
                }
            }
            advance();
        }
    }
    rewind();
}

void Model::drawMeshes()
{
    glEnable(GL_FOG);
    rewind();
    // A model loaded without a grid has nothing to cull with: it is not drawn here.
    if (grid == nullptr || columns <= 0 || rows <= 0)
        return;

    const CameraView view = cameraView(*this);
    const ViewWindow window = computeViewWindow(*this, view);
    MeshPassState pass;
    pass.useLists = !immediateModeForced();
    bool needTranslucent = false;

    for (int32_t column = window.firstColumn; column <= window.lastColumn; ++column) {
        for (int32_t row = window.firstRow; row <= window.lastRow; ++row) {
            const GridCell& cell = grid[windowCell(*this, column, row)];
            rewind();
            for (int32_t k = 0; k < cell.entryCount; ++k) {
                const SceneObject& object = *cursor;
                if (cell.entries[k].faceCount > 0 && object.kind == ObjectKind::Mesh) {
                    if (isTranslucentPassName(object.name) || isEmitterName(object.name))
                        needTranslucent = true;
                    else
                        drawEntry(*this, object, cell.entries[k], view, pass);
                }
                advance();
            }
        }
    }
    rewind();
    if (!needTranslucent) {
        leaveLastPlacement(pass);
        return;
    }

    glDisable(GL_FOG);
    beginAdditive();
    glDepthMask(GL_FALSE);
    for (int32_t column = window.firstColumn; column <= window.lastColumn; ++column) {
        for (int32_t row = window.firstRow; row <= window.lastRow; ++row) {
            const GridCell& cell = grid[windowCell(*this, column, row)];
            rewind();
            for (int32_t k = 0; k < cell.entryCount; ++k) {
                const SceneObject& object = *cursor;
                // An emitter stands only for where its particles are born, even one whose mode
                // character happens to be '%'.
                if (cell.entries[k].faceCount > 0 && object.kind == ObjectKind::Mesh &&
                    isTranslucentPassName(object.name) && !isEmitterName(object.name))
                    drawEntry(*this, object, cell.entries[k], view, pass);
                advance();
            }
        }
    }
    leaveLastPlacement(pass);
    glDepthMask(GL_TRUE);
    endAdditive();
    glEnable(GL_FOG);
    rewind();
}

void Model::renderModel()
{
    if (rotationCamera)
        animate();
    drawMeshes();
    if (emitterSwitch)
        drawEmitters();
    if (boltSwitch)
        drawBolts();
}
