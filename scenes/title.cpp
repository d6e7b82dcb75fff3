// The Title scene (25 s): over the still title2 picture three coloured streams swing across the
// view while trucModel is drawn as a sheaf of glowing streaks; the name of the presentation flies
// in at 17 s and the streaks dim over the last two seconds. Depends on the asset globals, the
// particle systems, keyframe animation, picture quads and the verse printer.
#include "scenes/title.h"

#include "core/clock.h"
#include "core/switches.h"
#include "media/texture.h"
#include "model/model.h"
#include "render/particles.h"
#include "render/quads.h"
#include "render/text.h"
#include "scenes/assets.h"
#include "scenes/kit.h"
#include "scenes/scenes.h"
#include "scenes/texts.h"

namespace {

// Brightness of the streaks: 1 at the start of the scene, dimmed over its last two seconds.
float streakBrightness = 1.0f;

// The jitter is drawn whether or not the system exists, so the random sequence of later effects
// does not depend on what loaded.
void driveStream(ParticleSystem* system, TitleStream stream, float t, float w)
{
    const int rx = randomBelow(10);
    const int ry = randomBelow(10);
    const int rz = randomBelow(10);
    if (system == nullptr) {
        return;
    }
    system->emitterPosition = titleStreamPosition(stream, t, w, rx, ry, rz);
    if (titleStreamEmits(stream, t)) {
        system->update();
    }
    system->eyePosition = Vec3d{0.0, 0.0, 0.0};
    system->eyeAngles = Vec3d{0.0, 0.0, 0.0};
    system->drawRising();
}

// Drops what the Opening scene left in a stream so that its emission starts afresh.
void restartStream(ParticleSystem* system)
{
    if (system != nullptr) {
        system->count = 0;
        system->lastEmitTime = 0.0f;
    }
}

QuadCorner streakCorner(float colour, float s, float t, double x, double y, double z)
{
    return QuadCorner{colour, s, t, static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

void drawFrame()
{
    const float t = sceneTime;
    drawOpaquePicture(TextureTable[Slot::Title2]);

    const float w = titleSwing(t);
    driveStream(redParticles, TitleRed, t, w);
    driveStream(greenParticles, TitleGreen, t, w);
    driveStream(blueParticles, TitleBlue, t, w);

    streakBrightness = titleStreakBrightness(t);
    if (titleFlashShown(t)) {
        drawAdditivePicture(TextureTable[Slot::White2], titleFlashBrightness(t));
    }
    if (trucModel != nullptr) {
        trucModel->animate();
    }
    drawTitleStreaks(streakBrightness);
    printVerseLine(titleLineStart, titleLineEnd, titleLineFade, "%s", titleText);
}

}  // namespace

void drawTitleStreaks(float s)
{
    Model* model = trucModel;
    if (model == nullptr) {
        return;
    }
    model->rewind();
    const SceneObject* first = model->cursor;

    glLoadIdentity();
    // A model without a camera is seen from the origin.
    if (model->currentCamera >= 0 && model->currentCamera < model->cameraCount) {
        const SceneObject* camera = model->cameras[model->currentCamera];
        glRotated(camera->rotation.x, 1.0, 0.0, 0.0);
        glRotated(camera->rotation.y, 0.0, 1.0, 0.0);
        glRotated(camera->rotation.z, 0.0, 0.0, 1.0);
        glTranslated(-camera->cameraPosition.x, -camera->cameraPosition.y, -camera->cameraPosition.z);
    }
    // The first object's transform carries every streak, so the whole sheaf turns with it.
    if (first->positionKeyCount > 1 || first->rotationKeyCount > 1) {
        glTranslated(first->position.x, first->position.y, first->position.z);
        glRotated(first->rotation.x, 1.0, 0.0, 0.0);
        glRotated(first->rotation.y, 0.0, 1.0, 0.0);
        glRotated(first->rotation.z, 0.0, 0.0, 1.0);
        glTranslated(-first->basePosition.x, -first->basePosition.y, -first->basePosition.z);
    }

    glBindTexture(GL_TEXTURE_2D, redParticles != nullptr ? redParticles->texture : 0);
    beginAdditive();
    glDisable(GL_DEPTH_TEST);

    const double a = streakStretch(first->rotation.x);
    const double b = streakStretch(first->rotation.y);
    const float glow = 0.2f * s;
    glBegin(GL_TRIANGLES);
    for (int i = 0; i < model->objectCount; ++i) {
        const SceneObject* object = model->cursor;
        if (object->kind == ObjectKind::Mesh) {
            for (int j = 0; j + 1 < object->faceCount; j += 2) {
                const Face& face = object->faces[j];
                const Vec3d& va = object->vertices[face.a];
                const Vec3d& vb = object->vertices[face.b];
                const Vec3d& vc = object->vertices[face.c];
                sendSplitQuad({streakCorner(0.0f, 0.0f, 0.0f, a * va.x, a * va.y, a * va.z),
                               streakCorner(0.0f, 1.0f, 0.0f, b * vb.x, b * vb.y, b * vb.z),
                               streakCorner(glow, 1.0f, 1.0f, vc.x, vc.y, vc.z),
                               streakCorner(glow, 0.0f, 1.0f, vc.x + 100.0, vc.y + 100.0, vc.z + 100.0)});
            }
        }
        model->advance();
    }
    glEnd();

    glEnable(GL_DEPTH_TEST);
    endAdditive();
    model->rewind();
}

void titleScene()
{
    rotationCamera = true;
    restartStream(redParticles);
    restartStream(greenParticles);
    restartStream(blueParticles);
    streakBrightness = 1.0f;
    glDisable(GL_FOG);
    runSceneLoop(titleDuration, drawFrame);
}
