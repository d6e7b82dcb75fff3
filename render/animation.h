// Keyframe animation of a Model: Model::animate (declared with the model) maps sceneTime onto the
// model's frames, hands the view from camera to camera, moves the current camera's eye and target
// along Catmull-Rom curves and every animated mesh and light along its Bezier key chain.
#pragma once
#include "model/model.h"

// Radians to degrees with the presentation's constant 3.1415 (not pi), as the 3DS reader does.
double radiansToDegrees(double radians);

// The frame shown at sceneTime: startFrame + (endFrame - startFrame) * sceneTime / sceneDuration in
// single precision, clamped so that its whole part never passes endFrame - 1. A scene length that
// is not above 0 gives startFrame (the ratio would be undefined).
double frameAtSceneTime(int32_t startFrame, int32_t endFrame, float time, float duration);
