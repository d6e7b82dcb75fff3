// Render switches: which passes draw a model, how far the renderer and particles reach, whether the
// camera follows the animation, and how strongly shadows darken the load-time lighting.
// All are written by setRenderDefaults at the start of loading and live for the whole run;
// viewRange is also changed by the loader and the Credits scene, rotationCamera by the scenes that
// fly a camera, musicEnabled by the sound start.
#pragma once
#include <cstdint>

extern float opaqueShadowFactor;       // light left behind an opaque occluder (0.2)
extern float translucentShadowFactor;  // light left behind a '%' occluder (0.4)
extern bool shadowsEnabled;
extern int32_t viewRange;  // 0, 1 or 2: grid reach and particle distance
extern bool musicEnabled;
extern bool rotationCamera;  // view from the animated camera
extern bool emitterSwitch;
extern bool boltSwitch;

// Gives every switch its start value (viewRange 1, rotationCamera false, the rest as listed above).
void setRenderDefaults();
