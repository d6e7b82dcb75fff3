// The Opening scene (44 s): the loading picture slides up off the night wood, which is flown
// through with its fireflies; from 34.5 s three coloured streams rise in front of the camera while
// the title picture fades in, topped by a white flash in the last second.
#include <cmath>

#include "core/clock.h"
#include "core/switches.h"
#include "media/texture.h"
#include "model/model.h"
#include "render/particles.h"
#include "render/quads.h"
#include "scenes/assets.h"
#include "scenes/kit.h"
#include "scenes/opening.h"
#include "scenes/scenes.h"

namespace {

// Places a stream's emitter on its path for this frame and draws it as seen from the eye.
void drawStream(ParticleSystem* system, const Vec3d& position)
{
    if (system == nullptr) {
        return;
    }
    system->emitterPosition = position;
    system->update();
    system->eyePosition = Vec3d{0.0, 0.0, 0.0};
    system->eyeAngles = Vec3d{0.0, 0.0, 0.0};
    system->drawRising();
}

// Each coordinate gets a fresh jitter of 0..9, drawn x, y, z for each system, red first.
Vec3d streamPosition(double x, double y, double z)
{
    const double rx = x + randomBelow(10);
    const double ry = y + randomBelow(10);
    const double rz = z + randomBelow(10);
    return Vec3d{rx, ry, rz};
}

void drawFrame()
{
    const float t = sceneTime;
    if (woodModel != nullptr) {
        woodModel->renderModel();
    }

    if (openingStreamsShown(t)) {
        glDisable(GL_FOG);
        const double t2 = 2.0 * t;
        drawStream(redParticles, streamPosition(100.0 * std::cos(t2), 100.0 * std::sin(t2) - 100.0,
                                                250.0 * std::sin(6.0 * t) - 700.0));
        drawStream(greenParticles, streamPosition(100.0 * std::sin(t2), 100.0 * std::cos(3.0 * t) - 100.0,
                                                  250.0 * std::sin(10.0 * t) - 700.0));
        drawStream(blueParticles, streamPosition(100.0 * std::cos(6.0 * t), 100.0 * std::sin(6.0 * t) - 100.0,
                                                 250.0 * std::cos(6.0 * t) - 700.0));
        glEnable(GL_FOG);
    }

    if (openingTitleShown(t)) {
        glDisable(GL_DEPTH_TEST);
        beginAdditive();
        drawPictureQuad(TextureTable[Slot::Title], openingTitleBrightness(t), 0.0f, -1.6f, 1.0f);
        if (openingFlashShown(t)) {
            drawPictureQuad(TextureTable[Slot::White2], openingFlashBrightness(t), 0.0f, -1.6f, 1.0f);
        }
        glEnable(GL_DEPTH_TEST);
        endAdditive();
    }

    if (openingLoadingShown(t)) {
        drawOpaquePicture(TextureTable[Slot::Loading], openingLoadingOffset(t));
    }
}

}  // namespace

void openingScene()
{
    rotationCamera = true;
    runSceneLoop(sceneEntry(Scene::Opening).duration, drawFrame);
}
