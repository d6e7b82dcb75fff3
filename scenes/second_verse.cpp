// The Second verse scene (16 s): the camera of the tunnel flies along its animation while the
// whole model is drawn by a two-pass renderer of its own, fine arcs flicker from its bolt objects
// and four verse lines pass. Opens with a receding white flash, ends with a two-second fade.
// Depends on the tunnel model and white picture of the asset loader, animate and drawBolts.
#include "scenes/second_verse.h"

#include "core/clock.h"
#include "core/switches.h"
#include "media/texture.h"
#include "render/quads.h"
#include "render/text.h"
#include "scenes/assets.h"
#include "scenes/kit.h"
#include "scenes/scenes.h"
#include "scenes/texts.h"

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
        drawAdditivePicture(TextureTable[Slot::White2], secondVerseFlashBrightness(t), 0.0f, secondVerseFlashDepth(t));
    }
    if (secondVerseFadeShown(t)) {
        drawAdditivePicture(TextureTable[Slot::White2], secondVerseFadeBrightness(t));
    }
    for (int line = 0; line < 4; ++line) {
        printVerseLine(secondVerseWindows[line][0], secondVerseWindows[line][1], secondVerseFade,
                       secondVerseLines[line]);
    }
}

}  // namespace

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
