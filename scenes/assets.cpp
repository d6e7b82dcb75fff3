// The asset globals, null until the loader fills them.
#include "scenes/assets.h"

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
