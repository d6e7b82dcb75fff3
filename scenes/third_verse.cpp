// The Third verse scene (17 s): before a wide backdrop the meshes of the meta model swell where
// its first two objects come near, seen through its animated camera, with a pulsing additive
// shell drawn out of every face; a blue and a green stream circle in front and four verse lines
// pass. Depends on the meta model, two pictures and two particle systems of the asset loader.
#include "scenes/third_verse.h"

#include <new>

#include "core/clock.h"
#include "media/texture.h"
#include "render/particles.h"
#include "render/quads.h"
#include "render/text.h"
#include "scenes/assets.h"
#include "scenes/kit.h"
#include "scenes/scenes.h"
#include "scenes/second_verse.h"
#include "scenes/texts.h"

Vec3d* firstCorners = nullptr;
Vec3d* secondCorners = nullptr;
Vec3d* thirdCorners = nullptr;
int32_t metaCornerCapacity = 0;
SceneObject* metaAttractors[2] = {};

int32_t countMeshFaces(Model& model)
{
    int32_t total = 0;
    model.rewind();
    for (int i = 0; i < model.objectCount; ++i) {
        if (model.cursor->kind == ObjectKind::Mesh) {
            total += model.cursor->faceCount;
        }
        model.advance();
    }
    model.rewind();
    return total;
}

void allocateMetaCorners(Model& model)
{
    releaseMetaCorners();
    // Room for every face of every mesh: a model whose meshes together hold more faces than twice
    // its first object's (the room it was once given) must not write past the arrays.
    const int32_t capacity = countMeshFaces(model);
    firstCorners = new (std::nothrow) Vec3d[capacity > 0 ? capacity : 1];
    secondCorners = new (std::nothrow) Vec3d[capacity > 0 ? capacity : 1];
    thirdCorners = new (std::nothrow) Vec3d[capacity > 0 ? capacity : 1];
    if (firstCorners == nullptr || secondCorners == nullptr || thirdCorners == nullptr) {
        releaseMetaCorners();
        return;
    }
    metaCornerCapacity = capacity;
}

void releaseMetaCorners()
{
    delete[] firstCorners;
    delete[] secondCorners;
    delete[] thirdCorners;
    firstCorners = nullptr;
    secondCorners = nullptr;
    thirdCorners = nullptr;
    metaCornerCapacity = 0;
}

int32_t deformMetaFaces(Model& model, SceneObject* const attractors[2])
{
    int32_t filled = 0;
    model.rewind();
    for (int i = 0; i < model.objectCount; ++i) {
        SceneObject* object = model.cursor;
        if (object->kind == ObjectKind::Mesh) {
            for (int f = 0; f < object->faceCount && filled < metaCornerCapacity; ++f) {
                const Face& face = object->faces[f];
                Vec3d w1 = object->vertices[face.a];
                Vec3d w2 = object->vertices[face.b];
                Vec3d w3 = object->vertices[face.c];
                for (int k = 0; k < 2; ++k) {
                    if (attractors[k] == nullptr || attractors[k] == object) {
                        continue;
                    }
                    // Each attractor starts from the corner as the previous one left it.
                    const Vec3d& q = attractors[k]->position;
                    w1 = pushedMetaCorner(w1, q, object->basePosition, object->position, metaPushStrength);
                    w2 = pushedMetaCorner(w2, q, object->basePosition, object->position, metaPushStrength);
                    w3 = pushedMetaCorner(w3, q, object->basePosition, object->position, metaPushStrength);
                }
                firstCorners[filled] = w1;
                secondCorners[filled] = w2;
                thirdCorners[filled] = w3;
                ++filled;
            }
        }
        model.advance();
    }
    model.rewind();
    return filled;
}

namespace {

// The camera's view pulled back 200 units.
void loadMetaView(const Model& model)
{
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -200.0f);
    applyCameraView(sceneCameraView(model));
}

// A corner's texture coordinate comes from the corner itself, its vertex may be scaled.
QuadCorner metaCorner(const Vec3d& w, float grey, float scale, double tDepth)
{
    return QuadCorner{grey,
                      metaTexS(w),
                      static_cast<float>(w.y / 50.0 + w.z / tDepth),
                      static_cast<float>(w.x * scale),
                      static_cast<float>(w.y * scale),
                      static_cast<float>(w.z * scale)};
}

void emitCorner(const Vec3d& w, float scale, double tDepth)
{
    const QuadCorner corner = metaCorner(w, 1.0f, scale, tDepth);
    glTexCoord2f(corner.s, corner.t);
    glVertex3f(corner.x, corner.y, corner.z);
}

// A stream's emitter follows its path with a fresh jitter of 0..9 drawn x, y, z; it emits while
// emitting holds, and is drawn from the zero eye.
void driveStream(ParticleSystem* system, const Vec3d& path, bool emitting)
{
    const double rx = randomBelow(10);
    const double ry = randomBelow(10);
    const double rz = randomBelow(10);
    if (system == nullptr) {
        return;
    }
    system->emitterPosition = Vec3d{path.x + rx, path.y + ry, path.z + rz};
    if (emitting) {
        system->update();
    }
    system->eyePosition = Vec3d{0.0, 0.0, 0.0};
    system->eyeAngles = Vec3d{0.0, 0.0, 0.0};
    system->drawRising();
}

void drawFrame()
{
    const float t = sceneTime;
    drawOpaquePicture(TextureTable[Slot::Varrick], 0.0f, -100.6f, 100.0f);
    if (metaModel != nullptr) {
        metaModel->animate();
        drawMetaModel();
    }
    if (thirdVerseFlashShown(t)) {
        drawAdditivePicture(TextureTable[Slot::White2], thirdVerseFlashBrightness(t));
    }
    if (thirdVerseFadeShown(t)) {
        drawAdditivePicture(TextureTable[Slot::White2], thirdVerseFadeBrightness(t));
    }
    driveStream(blueParticles, blueStreamPath(t), blueStreamEmits(t));
    driveStream(greenParticles, greenStreamPath(t), greenStreamEmits(t));
    for (int line = 0; line < 4; ++line) {
        printVerseLine(thirdVerseWindows[line][0], thirdVerseWindows[line][1], thirdVerseFade, thirdVerseLines[line]);
    }
}

void resetStream(ParticleSystem* system)
{
    if (system != nullptr) {
        system->count = 0;
        system->lastEmitTime = 0.0f;
    }
}

}  // namespace

void drawMetaModel()
{
    if (metaModel == nullptr) {
        return;
    }
    Model& model = *metaModel;
    model.rewind();
    loadMetaView(model);
    const GLuint texture = model.textureOf(metaAttractors[0]);
    glBindTexture(GL_TEXTURE_2D, texture);

    // Solid pass: the faces pushed by the attractors, opaque and white.
    const int32_t faces = deformMetaFaces(model, metaAttractors);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_TRIANGLES);
    for (int32_t j = 0; j < faces; ++j) {
        emitCorner(firstCorners[j], 1.0f, 50.0);
        emitCorner(secondCorners[j], 1.0f, 50.0);
        emitCorner(thirdCorners[j], 1.0f, 50.0);
    }
    glEnd();
    model.rewind();

    // Shell pass: each face's second-to-third edge, white, joined to its first and third corners
    // scaled about the origin, black. The last corner's depth term is over 40, not 50.
    const float s = metaShellFactor(sceneTime);
    beginAdditive();
    glDepthMask(GL_FALSE);
    loadMetaView(model);
    glBindTexture(GL_TEXTURE_2D, texture);
    glBegin(GL_TRIANGLES);
    for (int32_t j = 0; j < faces; ++j) {
        sendSplitQuad({metaCorner(firstCorners[j], 0.0f, s, 50.0), metaCorner(secondCorners[j], 1.0f, 1.0f, 50.0),
                       metaCorner(thirdCorners[j], 1.0f, 1.0f, 50.0), metaCorner(thirdCorners[j], 0.0f, s, 40.0)});
    }
    glEnd();
    model.rewind();
    glDepthMask(GL_TRUE);
    endAdditive();
}

void thirdVerseScene()
{
    resetStream(blueParticles);
    resetStream(greenParticles);
    if (metaModel != nullptr) {
        Model& model = *metaModel;
        model.rewind();
        // The first object's keys bound the animation (an object without keys gives frame 0).
        const int64_t keys = model.cursor->positionKeyCount;
        model.endFrame = static_cast<int32_t>(keys > 0 ? keys - 1 : 0);
        allocateMetaCorners(model);
        model.rewind();
        metaAttractors[0] = model.cursor;
        model.advance();
        metaAttractors[1] = model.cursor;
        model.advance();
        model.rewind();
    }
    glDisable(GL_FOG);
    runSceneLoop(sceneEntry(Scene::ThirdVerse).duration, drawFrame);
    releaseMetaCorners();
}
