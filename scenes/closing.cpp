// The Greetings and closing scene (60 s), the last one: over a still picture the blobs of the
// second copy of the chose model move along their paths inside a sheet of faint red streaks bent
// by their positions; the greetings and closing lines scroll up; a white stream wanders in front
// from 21.5 s. Opens out of white, ends in white. Depends on the asset loader's second chose
// model, two pictures and two particle systems, and the First verse scene's track player.
#include "scenes/closing.h"

#include "core/clock.h"
#include "media/texture.h"
#include "render/particles.h"
#include "render/quads.h"
#include "render/text.h"
#include "scenes/assets.h"
#include "scenes/kit.h"
#include "scenes/scenes.h"
#include "scenes/texts.h"

SceneObject* closingAttractors[3] = {};

void bendStreaks(Model& model, SceneObject* const attractors[3], float factor, StreakSink sink, void* context)
{
    float f = factor;
    model.rewind();
    for (int i = 0; i < model.objectCount; ++i) {
        const SceneObject* object = model.cursor;
        if (object->kind == ObjectKind::Mesh) {
            for (int j = 0; j < object->faceCount - 12; j += 12) {
                const Face& face = object->faces[j];
                Vec3d w1 = object->vertices[face.a];
                Vec3d w2 = object->vertices[face.b];
                const Vec3d w3 = object->vertices[face.c];
                for (int k = 0; k < 3; ++k) {
                    if (attractors[k] == nullptr || attractors[k] == object) {
                        continue;
                    }
                    bendStreak(w1, w2, attractors[k]->position, object->basePosition, object->position, f);
                }
                sink(w1, w2, w3, context);
            }
        }
        model.advance();
    }
    model.rewind();
}

void resetToLoadedPositions(Model& model)
{
    model.rewind();
    for (int i = 0; i < model.objectCount; ++i) {
        SceneObject* object = model.cursor;
        if (object->positionKeyCount >= 1 && object->positionKeys != nullptr) {
            object->positionKeyIndex = 3;
            object->position = object->positionKeys[0];
            object->basePosition = object->positionKeys[0];
        }
        model.advance();
    }
    model.rewind();
}

namespace {

// A faint red streak: black at w1 and w3, grey at w2 and at w1 shifted by (300, 300).
void emitStreak(const Vec3d& w1, const Vec3d& w2, const Vec3d& w3, void*)
{
    const auto f = [](double v) { return static_cast<float>(v); };
    sendSplitQuad({QuadCorner{0.0f, 0.0f, 0.0f, f(w1.x), f(w1.y), f(w1.z)},
                   QuadCorner{0.2f, 0.0f, 1.0f, f(w2.x), f(w2.y), f(w2.z)},
                   QuadCorner{0.0f, 1.0f, 1.0f, f(w3.x), f(w3.y), f(w3.z)},
                   QuadCorner{0.2f, 1.0f, 0.0f, f(w1.x + 300.0), f(w1.y + 300.0), f(w1.z)}});
}

void drawStreaks(Model& model, float t)
{
    model.rewind();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -500.0f);
    glBindTexture(GL_TEXTURE_2D, redParticles != nullptr ? redParticles->texture : 0);
    beginAdditive();
    glDepthMask(GL_FALSE);
    glBegin(GL_TRIANGLES);
    bendStreaks(model, closingAttractors, streakStartFactor(t), emitStreak, nullptr);
    glEnd();
    glDepthMask(GL_TRUE);
    endAdditive();
    model.rewind();
}

void drawWhiteStream(float t)
{
    const Vec3d path = closingStreamPath(t);
    const double rx = randomBelow(10);
    const double ry = randomBelow(10);
    const double rz = randomBelow(10);
    if (whiteParticles == nullptr) {
        return;
    }
    whiteParticles->emitterPosition = Vec3d{path.x + rx, path.y + ry, path.z + rz};
    if (closingParticlesBorn(t)) {
        whiteParticles->update();
    }
    whiteParticles->eyePosition = Vec3d{0.0, 0.0, 0.0};
    whiteParticles->eyeAngles = Vec3d{0.0, 0.0, 0.0};
    whiteParticles->drawRising();
}

void drawFrame()
{
    const float t = sceneTime;
    drawOpaquePicture(TextureTable[Slot::Fond]);
    if (closingWhiteShown(t)) {
        drawAdditivePicture(TextureTable[Slot::White2], closingWhiteBrightness(t));
    }
    if (choseModel2 != nullptr) {
        playTracks(choseModel2);
        drawStreaks(*choseModel2, t);
    }
    if (closingParticlesShown(t)) {
        drawWhiteStream(t);
    }
    if (closingFadeShown(t)) {
        drawAdditivePicture(TextureTable[Slot::White2], closingFadeBrightness(t));
    }
    for (int line = 0; line < closingLineCount; ++line) {
        printGreetingLine(closingWindows[line][0], closingWindows[line][1], closingFade, closingLines[line]);
    }
}

}  // namespace

void closingScene()
{
    if (whiteParticles != nullptr) {
        // The First verse scene left its particles here.
        whiteParticles->count = 0;
        whiteParticles->lastEmitTime = 0.0f;
    }
    if (choseModel2 != nullptr) {
        Model& model = *choseModel2;
        model.rewind();
        const int64_t keys = model.cursor->positionKeyCount;
        model.endFrame = static_cast<int32_t>(keys > 0 ? keys - 1 : 0);
        for (int k = 0; k < 3; ++k) {
            closingAttractors[k] = model.cursor;
            model.advance();
        }
        model.rewind();
        resetToLoadedPositions(model);
        model.rewind();
    }
    glDisable(GL_FOG);
    runSceneLoop(sceneEntry(Scene::Closing).duration, drawFrame);
}
