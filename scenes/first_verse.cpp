// The First verse scene (18.5 s): over the still dorn picture the meshes of choseModel move along
// their tracks as glowing triangles whose corners are pushed away by the first three objects, a
// white stream wanders in front of them and five verse lines fly in and out, between white flashes
// at the start, at 10 s and at the end. Depends on the asset globals, playTracks, the particle
// systems, picture quads and the verse printer.
#include "scenes/first_verse.h"

#include <cfloat>

#include "core/clock.h"
#include "media/texture.h"
#include "model/model.h"
#include "render/particles.h"
#include "render/quads.h"
#include "render/text.h"
#include "scenes/assets.h"
#include "scenes/kit.h"
#include "scenes/scenes.h"
#include "scenes/texts.h"

SceneObject* attractorObjects[3] = {};
bool blobsLit = false;

namespace {

// One attractor's push on one corner, with 6000 over the distance (or the squared distance). Left
// out when the corner sits on the attractor or the result leaves single precision.
void pushBlobCorner(Vec3d& w, const Vec3d& r, const Vec3d& p, const Vec3d& q, bool squared)
{
    const float push = attractorPush(w, q, r, p, blobPush, squared);
    if (std::isfinite(push)) {
        pushCorner(w, r, p, push);
    }
}

void blobCorner(float red, float green, float blue, const Vec3d& w)
{
    glColor3f(red, green, blue);
    glTexCoord2f(static_cast<float>(w.x / 50.0 + w.z / 700.0), static_cast<float>(w.y / 50.0 + w.z / 700.0));
    glVertex3f(static_cast<float>(w.x), static_cast<float>(w.y), static_cast<float>(w.z));
}

void drawWhiteOverlay(float brightness)
{
    drawAdditivePicture(TextureTable[Slot::White2], brightness);
}

void drawFrame()
{
    const float t = sceneTime;
    drawOpaquePicture(TextureTable[Slot::Dorn]);
    if (firstVerseOpeningShown(t)) {
        drawWhiteOverlay(firstVerseOpeningBrightness(t));
    }
    if (firstVerseRisingShown(t)) {
        drawWhiteOverlay(firstVerseRisingBrightness(t));
    }
    if (firstVerseFallingShown(t)) {
        drawWhiteOverlay(firstVerseFallingBrightness(t));
    }

    blobsLit = blobsLitAt(t);
    playTracks(choseModel);
    drawBlobs();

    const int r1 = randomBelow(10);
    const int r2 = randomBelow(10);
    const int r3 = randomBelow(10);
    if (whiteParticles != nullptr) {
        whiteParticles->emitterPosition = firstVerseStreamPosition(t, r1, r2, r3);
        if (firstVerseParticlesEmit(t)) {
            whiteParticles->update();
        }
        whiteParticles->eyePosition = Vec3d{0.0, 0.0, 0.0};
        whiteParticles->eyeAngles = Vec3d{0.0, 0.0, 0.0};
        whiteParticles->drawRising();
    }

    if (firstVerseEndShown(t)) {
        drawWhiteOverlay(firstVerseEndBrightness(t));
    }
    for (int i = 0; i < 5; ++i) {
        printVerseLine(firstVerseWindows[i].start, firstVerseWindows[i].end, firstVerseFade, "%s", firstVerseLines[i]);
    }
}

}  // namespace

void pushBlobCorners(Vec3d w[3], const Vec3d& r, const Vec3d& p, const Vec3d* q, int count)
{
    for (int k = 0; k < count; ++k) {
        pushBlobCorner(w[0], r, p, q[k], false);
        pushBlobCorner(w[1], r, p, q[k], true);
        pushBlobCorner(w[2], r, p, q[k], true);
    }
}

void drawBlobs()
{
    Model* model = choseModel;
    if (model == nullptr) {
        return;
    }
    model->rewind();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -500.0f);
    // Every blob wears the picture of the first attractor.
    glBindTexture(GL_TEXTURE_2D, attractorObjects[0] != nullptr ? model->textureOf(attractorObjects[0]) : 0);
    beginAdditive();
    glDepthMask(GL_FALSE);

    glBegin(GL_TRIANGLES);
    for (int i = 0; i < model->objectCount; ++i) {
        const SceneObject* object = model->cursor;
        if (object->kind == ObjectKind::Mesh) {
            // An attractor does not push its own corners.
            Vec3d pushers[3];
            int pusherCount = 0;
            for (SceneObject* attractor : attractorObjects) {
                if (attractor != nullptr && attractor != object) {
                    pushers[pusherCount++] = attractor->position;
                }
            }
            for (int j = 0; j < object->faceCount; ++j) {
                const Face& face = object->faces[j];
                Vec3d w[3] = {object->vertices[face.a], object->vertices[face.b], object->vertices[face.c]};
                pushBlobCorners(w, object->basePosition, object->position, pushers, pusherCount);
                blobCorner(1.0f, 0.6f, 0.2f, w[0]);
                blobCorner(0.1f, 0.0f, 0.0f, w[1]);
                if (blobsLit) {
                    blobCorner(1.0f, 0.6f, 0.2f, w[2]);
                } else {
                    blobCorner(0.2f, 0.1f, 0.0f, w[2]);
                }
            }
        }
        model->advance();
    }
    glEnd();

    glDepthMask(GL_TRUE);
    endAdditive();
    model->rewind();
}

void firstVerseScene()
{
    Model* model = choseModel;
    if (model != nullptr) {
        model->rewind();
        // The first object's key count bounds the frames, replacing the range from loading.
        model->endFrame = static_cast<int32_t>(model->cursor->positionKeyCount) - 1;
        // With fewer than three objects the last one repeats, since advance stays on it.
        for (SceneObject*& attractor : attractorObjects) {
            attractor = model->cursor;
            model->advance();
        }
        model->rewind();
    }
    glDisable(GL_FOG);
    runSceneLoop(firstVerseDuration, drawFrame);
}
