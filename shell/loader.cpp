// Asset loading behind the loading bar, in a fixed order of stages, and the teardown after the
// last scene. Owns every model and particle system global from its stage to releaseAssets.
// Depends on the window module (initGL/shutdownGL), textures, models, particles and music.
#include "shell/loader.h"

#include "core/clock.h"
#include "core/services.h"
#include "core/switches.h"
#include "media/music.h"
#include "media/texture.h"
#include "model/model.h"
#include "render/frame.h"
#include "render/particles.h"
#include "render/quads.h"
#include "render/renderer.h"
#include "scenes/scenes.h"
#include "shell/window.h"

int32_t loadStep = 0;

namespace {

const char* const pictureFiles[Slot::Count] = {
    "pict/white.jpg", "pict/load.jpg",    "pict/title.jpg", "pict/title2.jpg",
    "pict/dorn.jpg",  "pict/varrick.jpg", "pict/fond.jpg",  "pict/white2.jpg",
};

void barStep()
{
    ++loadStep;
    if (!stopRequested()) {
        drawLoadingScreen();
    }
}

// A model whose pictures are shared with the models loaded before it (several scenes show the same
// bark, sparks or windows).
Model* emptyModel()
{
    Model* model = new Model();
    model->materialLoader = loadSharedTexture;
    return model;
}

Model* newModel(const char* fileName, bool withGrid)
{
    Model* model = emptyModel();
    if (stopRequested()) {
        return model;
    }
    if (withGrid) {
        model->loadWithGrid(fileName);
        model->compileGridLists();
    } else {
        model->load(fileName);
    }
    return model;
}

void releaseModel(Model*& model)
{
    if (model != nullptr) {
        model->destroy();
        delete model;
        model = nullptr;
    }
}

void releaseParticles(ParticleSystem*& system)
{
    destroyParticleSystem(system);
    system = nullptr;
}

}  // namespace

// Once the run is to end (an interrupt, a recording that failed) every stage still to come is
// passed over in a moment: no file is read and no frame drawn, but every global is made, so that
// the scenes return at once and the teardown runs as always.
void loadAssets()
{
    initGL();
    setRenderDefaults();
    viewRange = 2;
    // The stop signal is left as it is: no message is handled while loading, so only an interrupt
    // or a failed recording can have set it, and either ends the run.
    loadStep = 0;

    for (int slot = 0; slot < Slot::Count; ++slot) {
        loadTexture(TextureTable, pictureFiles[slot], slot);
    }

    if (!stopRequested()) {
        clearFrame();
        drawPictureQuad(TextureTable[Slot::Loading], 1.0f, 0.0f, -1.6f, 1.0f);
        presentFrame();
    }
    barStep();  // 1

    woodModel = newModel("maps/wood.3ds", true);
    barStep();  // 2
    if (!stopRequested()) {
        woodModel->attachEmitters(5000, 2.0f, 20, 5.0f, 50.0f);
    }
    barStep();  // 3
    redParticles = new ParticleSystem(500, "text/partr.jpg", 3.0f, 60, 30.0f, 200.0f);
    greenParticles = new ParticleSystem(500, "text/partg.jpg", 3.0f, 60, 30.0f, 200.0f);
    barStep();  // 4
    blueParticles = new ParticleSystem(500, "text/partb.jpg", 3.0f, 60, 30.0f, 200.0f);
    whiteParticles = new ParticleSystem(1000, "text/part.jpg", 3.0f, 100, 40.0f, 200.0f);
    barStep();  // 5
    trucModel = emptyModel();
    barStep();  // 6
    if (!stopRequested()) {
        trucModel->load("maps/truc.3ds");
    }
    barStep();  // 7
    castelModel = emptyModel();
    barStep();  // 8
    if (!stopRequested()) {
        castelModel->loadWithGrid("maps/castel.3ds");
        castelModel->compileGridLists();
    }
    barStep();  // 9
    if (!stopRequested()) {
        castelModel->attachEmitters(1000, 2.0f, 20, 5.0f, 50.0f);
    }
    barStep();  // 10
    choseModel = newModel("maps/chose.3ds", false);
    barStep();  // 11
    tunnelModel = newModel("maps/tunnel.3ds", false);
    barStep();  // 12
    metaModel = newModel("maps/meta.3ds", false);
    barStep();  // 13
    roomModel = newModel("maps/room.3ds", false);
    barStep();  // 14
    if (!stopRequested()) {
        roomModel->attachEmitters(5000, 1.0f, 40, 15.0f, 150.0f);
    }
    barStep();  // 15
    // The closing scene animates its own copy of the same file.
    choseModel2 = newModel("maps/chose.3ds", false);
    barStep();  // 16

    setSceneGLState();

    startSound();
    barStep();  // 17
    if (!stopRequested()) {
        playMusic("music/velmora.mp3", presentationLength);
    }
}

void setSceneGLState()
{
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glFogi(GL_FOG_MODE, GL_EXP2);
    const GLfloat fogColour[4] = {0.0f, 0.0f, 0.0f, 1.0f};
    glFogfv(GL_FOG_COLOR, fogColour);
    glHint(GL_FOG_HINT, GL_DONT_CARE);
    glFogf(GL_FOG_DENSITY, 0.002f);
    glFogf(GL_FOG_START, 500.0f);
    glFogf(GL_FOG_END, 900.0f);
    glEnable(GL_FOG);
}

void drawLoadingScreen()
{
    glDisable(GL_DEPTH_TEST);
    clearFrame();
    drawPictureQuad(TextureTable[Slot::Loading], 1.0f, 0.0f, -1.6f, 1.0f);

    beginAdditive();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -1.6f);
    glBindTexture(GL_TEXTURE_2D, TextureTable[Slot::White2]);
    // The bar fades from black at its foot to white at its top; added to the picture it brightens it.
    const float top = static_cast<float>(loadStep / 10.0 - 1.0);
    glBegin(GL_QUADS);
    glColor3f(0.0f, 0.0f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.8f, -1.0f, -2.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.8f, top, -2.0f);
    glColor3f(1.0f, 1.0f, 1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(-1.6f, top, -2.0f);
    glColor3f(0.0f, 0.0f, 0.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(-1.6f, -1.0f, -2.0f);
    glEnd();
    if (services().loadingBarDrawn != nullptr) {
        services().loadingBarDrawn(loadStep);
    }

    presentFrame();
    glEnable(GL_DEPTH_TEST);
    endAdditive();
}

void releaseAssets()
{
    releaseParticles(redParticles);
    releaseParticles(greenParticles);
    releaseParticles(blueParticles);
    releaseParticles(whiteParticles);
    releaseModel(woodModel);
    releaseModel(trucModel);
    releaseModel(castelModel);
    releaseModel(choseModel);
    releaseModel(tunnelModel);
    releaseModel(metaModel);
    releaseModel(roomModel);
    releaseModel(choseModel2);
    stopMusic();
    stopSound();
    shutdownGL();
    forgetSharedTextures();
}
