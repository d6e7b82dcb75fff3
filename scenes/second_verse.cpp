// The Second verse scene (16 s): the camera of the tunnel flies along its animation while the
// whole model is drawn by a two-pass renderer of its own, fine arcs flicker from its bolt objects
// and four verse lines pass. Opens with a receding white flash, ends with a two-second fade.
// Depends on the tunnel model and white picture of the asset loader, animate and drawBolts.
#include "scenes/second_verse.h"

#include "scenes/assets.h"
#include "media/texture.h"
#include "render/quads.h"
#include "core/switches.h"
#include "render/text.h"
#include "scenes/scenes.h"
#include "scenes/texts.h"
#include "core/clock.h"
#include "scenes/kit.h"

void loadCameraView(const Model& model)
{
    glLoadIdentity();
    applyCameraView(model);
}

void applyCameraView(const Model& model)
{
    if (model.currentCamera < 0 || model.currentCamera >= model.cameraCount) {
        return;
    }
    const SceneObject* camera = model.cameras[model.currentCamera];
    if (camera == nullptr) {
        return;
    }
    glRotated(camera->rotation.x, 1.0, 0.0, 0.0);
    glRotated(camera->rotation.y, 0.0, 1.0, 0.0);
    glRotated(camera->rotation.z, 0.0, 0.0, 1.0);
    glTranslated(-camera->cameraPosition.x, -camera->cameraPosition.y, -camera->cameraPosition.z);
}

void placeAnimatedObject(const SceneObject& object)
{
    glTranslated(object.position.x, object.position.y, object.position.z);
    glRotated(object.rotation.x, 1.0, 0.0, 0.0);
    glRotated(object.rotation.y, 0.0, 1.0, 0.0);
    glRotated(object.rotation.z, 0.0, 0.0, 1.0);
    glTranslated(-object.basePosition.x, -object.basePosition.y, -object.basePosition.z);
}

namespace {

void drawFrame()
{
    const float t = sceneTime;
    if (tunnelModel != nullptr) {
        tunnelModel->animate();
        drawWholeModel(tunnelModel);
        tunnelModel->drawBolts();
    }
    if (secondVerseFlashShown(t)) {
        drawAdditivePicture(TextureTable[7], secondVerseFlashBrightness(t), 0.0f, secondVerseFlashDepth(t));
    }
    if (secondVerseFadeShown(t)) {
        drawAdditivePicture(TextureTable[7], secondVerseFadeBrightness(t));
    }
    for (int line = 0; line < 4; ++line) {
        printVerseLine(secondVerseWindows[line][0], secondVerseWindows[line][1], secondVerseFade,
                       secondVerseLines[line]);
    }
}

}  // namespace

void drawLitObject(const Model& model, const SceneObject& object, const VertexShaper& shape)
{
    loadCameraView(model);
    if (followsItsTracks(object)) {
        placeAnimatedObject(object);
    }
    glBindTexture(GL_TEXTURE_2D, model.textureOf(&object));
    glBegin(GL_TRIANGLES);
    for (int f = 0; f < object.faceCount; ++f) {
        const Face& face = object.faces[f];
        const uint16_t corners[3] = {face.a, face.b, face.c};
        for (uint16_t i : corners) {
            const Vec3f& colour = object.vertexColours[i];
            glColor3f(colour.x, colour.y, colour.z);
            glTexCoord2f(object.mapping[i].u, object.mapping[i].v);
            const Vec3d v = shape ? shape(object.vertices[i]) : object.vertices[i];
            glVertex3f(static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z));
        }
    }
    glEnd();
}

bool drawableMesh(const SceneObject* object)
{
    return object->kind == ObjectKind::Mesh && object->faceCount > 0 && object->vertices != nullptr &&
           object->vertexColours != nullptr && object->mapping != nullptr;
}

void drawWholeModel(Model* model)
{
    model->rewind();
    for (int i = 0; i < model->objectCount; ++i) {
        const SceneObject* object = model->cursor;
        if (drawableMesh(object) && wholeModelOpaque(object->name)) {
            drawLitObject(*model, *object);
        }
        model->advance();
    }

    model->rewind();
    beginAdditive();
    glDepthMask(GL_FALSE);
    for (int i = 0; i < model->objectCount; ++i) {
        const SceneObject* object = model->cursor;
        if (drawableMesh(object) && wholeModelAdditive(object->name)) {
            drawLitObject(*model, *object);
        }
        model->advance();
    }
    glDepthMask(GL_TRUE);
    endAdditive();
    model->rewind();
}

void secondVerseScene()
{
    // Fewer, shorter and finer arcs than the defaults; the tunnel is not used again, so they stay.
    if (tunnelModel != nullptr) {
        tunnelModel->boltJitter = 2;
        tunnelModel->boltSegments = 5;
        tunnelModel->boltCount = 10;
    }
    rotationCamera = true;
    runSceneLoop(sceneEntry(Scene::SecondVerse).duration, drawFrame);
}
