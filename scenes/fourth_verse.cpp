// The Fourth verse scene (17 s): the animated camera of the room flies through it while a
// three-pass renderer of its own draws solid walls, glowing objects and objects that sway like
// flames; the room's emitters throw their particles and five verse lines pass. Opens with a white
// flash sliding upward, ends with a one-second fade. Depends on the room model of the asset
// loader, animate and drawEmitters.
#include "scenes/fourth_verse.h"

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

enum class RoomPass { Solid, Glow, Sway };

bool inPass(RoomPass pass, const char* name)
{
    switch (pass) {
    case RoomPass::Solid:
        return roomSolidPass(name);
    case RoomPass::Glow:
        return roomGlowPass(name);
    case RoomPass::Sway:
        return roomSwayPass(name);
    }
    return false;
}

// One object of one pass; the sway pass squeezes copies of the vertices, never the model's own.
void drawRoomObject(const Model& model, const SceneObject& object, RoomPass pass, float t)
{
    if (pass != RoomPass::Sway) {
        drawLitObject(model, object);
        return;
    }
    drawLitObject(model, object,
                  [&](const Vec3d& v) { return swayVertex(v, object.basePosition, swayFactor(t, v.y)); });
}

void drawRoomPass(Model& model, RoomPass pass, float t)
{
    model.rewind();
    for (int i = 0; i < model.objectCount; ++i) {
        const SceneObject* object = model.cursor;
        if (drawableMesh(object) && inPass(pass, object->name)) {
            drawRoomObject(model, *object, pass, t);
        }
        model.advance();
    }
}

void drawFrame()
{
    const float t = sceneTime;
    if (roomModel != nullptr) {
        roomModel->animate();
        drawRoomModel();
        roomModel->drawEmitters();
    }
    if (fourthVerseFadeShown(t)) {
        drawAdditivePicture(TextureTable[Slot::White2], fourthVerseFadeBrightness(t));
    }
    if (fourthVerseFlashShown(t)) {
        drawAdditivePicture(TextureTable[Slot::White2], fourthVerseFlashBrightness(t), fourthVerseFlashOffset(t));
    }
    for (int line = 0; line < 5; ++line) {
        printVerseLine(fourthVerseWindows[line][0], fourthVerseWindows[line][1], fourthVerseFade,
                       fourthVerseLines[line]);
    }
}

}  // namespace

void drawRoomModel()
{
    if (roomModel == nullptr) {
        return;
    }
    const float t = sceneTime;
    drawRoomPass(*roomModel, RoomPass::Solid, t);
    beginAdditive();
    glDepthMask(GL_FALSE);
    drawRoomPass(*roomModel, RoomPass::Glow, t);
    drawRoomPass(*roomModel, RoomPass::Sway, t);
    glDepthMask(GL_TRUE);
    endAdditive();
    roomModel->rewind();
}

void fourthVerseScene()
{
    glDisable(GL_FOG);
    rotationCamera = true;
    runSceneLoop(sceneEntry(Scene::FourthVerse).duration, drawFrame);
}
