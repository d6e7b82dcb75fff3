// The models and free-standing particle systems every scene reads. The loader owns them from their
// loading stage to releaseAssets; scenes read and animate them but never create or free them. Null
// before loading and after teardown.
#pragma once

class Model;
class ParticleSystem;

extern Model* woodModel;
extern Model* trucModel;
extern Model* castelModel;
extern Model* choseModel;
extern Model* tunnelModel;
extern Model* metaModel;
extern Model* roomModel;
extern Model* choseModel2;
extern ParticleSystem* redParticles;
extern ParticleSystem* greenParticles;
extern ParticleSystem* blueParticles;
extern ParticleSystem* whiteParticles;
