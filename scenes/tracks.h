// The position-track player of the scenes that move a model's meshes and lights themselves
// (no camera, no rotation track): the First verse scene on choseModel, the closing scene on
// choseModel2.
#pragma once

class Model;

// Moves every mesh and light of model with more than one position key along its track for the
// current sceneTime / sceneDuration (frame = endFrame x time / duration, clamped below endFrame),
// updating currentFrame, positionKeyIndex, position and a light's own position; leaves the model
// rewound. A null model does nothing.
void playTracks(Model* model);

// The frame played at time t of a scene of the given duration: endFrame x t / duration, set to
// endFrame - 1 once its whole part reaches endFrame (a fraction just below endFrame stands).
double trackFrameAt(int endFrame, float t, float duration);
