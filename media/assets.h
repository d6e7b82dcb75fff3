// Every asset of the presentation, loaded once behind the loading bar and released at the end.
// The globals are owned here from their loading stage to releaseAssets; scenes read and animate
// them but never create or free them.
#pragma once
#include <cstdint>

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
extern int32_t loadStep;  // loading-bar counter, 0 .. 17

void loadAssets();
// One loading frame for the current loadStep, presented.
void drawLoadingScreen();
void releaseAssets();

// Test hook: called at each drawn loading bar with the step and the bar's top edge.
void setLoadingBarObserver(void (*observer)(int32_t step, float top));
