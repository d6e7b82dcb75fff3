// Asset loading behind the loading bar, and the teardown after the last scene.
#include "media/assets.h"

#include "render/switches.h"
#include "shell/window.h"

Model* woodModel = nullptr;
Model* trucModel = nullptr;
Model* castelModel = nullptr;
Model* choseModel = nullptr;
Model* tunnelModel = nullptr;
Model* metaModel = nullptr;
Model* roomModel = nullptr;
Model* choseModel2 = nullptr;
ParticleSystem* redParticles = nullptr;
ParticleSystem* greenParticles = nullptr;
ParticleSystem* blueParticles = nullptr;
ParticleSystem* whiteParticles = nullptr;
int32_t loadStep = 0;

void loadAssets()
{
    initGL();
    setRenderDefaults();
    viewRange = 2;
    escapeFlag = false;
    loadStep = 0;
}

void drawLoadingScreen()
{
}

void releaseAssets()
{
    shutdownGL();
}
