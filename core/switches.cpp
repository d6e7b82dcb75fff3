// Render switches: the globals themselves and their start values.
#include "core/switches.h"

float opaqueShadowFactor = 0.2f;
float translucentShadowFactor = 0.4f;
bool shadowsEnabled = true;
int32_t viewRange = 1;
bool musicEnabled = true;
bool rotationCamera = false;
bool emitterSwitch = true;
bool boltSwitch = true;

void setRenderDefaults()
{
    opaqueShadowFactor = 0.2f;
    translucentShadowFactor = 0.4f;
    shadowsEnabled = true;
    viewRange = 1;
    musicEnabled = true;
    rotationCamera = false;
    emitterSwitch = true;
    boltSwitch = true;
}
