// The Credits scene (34.5 s): the Title scene's background shoots up to reveal castelModel, flown
// through with all its passes at the shorter view reach, while three credit lines fly in and out;
// a white overlay comes up over the last 1.5 s. Depends on the asset globals, the pass dispatcher,
// picture quads, the credit printer and the render switches.
#include "scenes/credits.h"

#include "core/clock.h"
#include "core/switches.h"
#include "media/texture.h"
#include "model/model.h"
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
    if (castelModel != nullptr) {
        castelModel->renderModel();
    }
    if (creditsSlideShown(t)) {
        drawOpaquePicture(TextureTable[Slot::Title2], creditsSlideOffset(t));
    }
    if (creditsWhiteShown(t)) {
        drawAdditivePicture(TextureTable[Slot::White2], creditsWhiteBrightness(t));
    }
    for (int i = 0; i < 3; ++i) {
        printCreditLine(creditWindows[i].start, creditWindows[i].end, creditFade, "%s", creditLines[i]);
    }
}

}  // namespace

void creditsScene()
{
    rotationCamera = true;
    viewRange = creditsViewRange;
    runSceneLoop(creditsDuration, drawFrame);
    // Also after Escape: every later pass expects the usual reach.
    viewRange = defaultViewRange;
}
