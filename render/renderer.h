// The gridded model renderer (Model::drawMeshes), the pass dispatcher (Model::renderModel), both
// declared with the model, and the camera view that every model pass sets up: meshes, attached
// particles and arcs.
#pragma once
#include <cstdint>

#include "model/model.h"

// The current camera of a model, or null for a model without cameras. An index left outside the
// table is read as the nearest camera.
const SceneObject* viewCamera(const Model& model);

// What the passes see from: the current camera's eye, target and angles, and whether the view
// follows it (rotationCamera on and a camera present). Without a camera everything is 0.
struct CameraView {
    Vec3d eye;
    Vec3d target;
    Vec3d angles;  // the view rotation: the camera's pitch, yaw and roll while rotating, else 0
    bool rotating = false;
};
CameraView cameraView(const Model& model);

// Loads the view into the modelview matrix: identity, then, while rotating, the camera's rotation
// about x, y, z and the translation by -eye. When the view does not follow a camera (the rotation
// camera off, or no camera) the identity view is used.
void loadCameraView(const CameraView& view);
// The same view multiplied onto the current matrix (nothing when the view does not rotate).
void applyCameraView(const CameraView& view);
// Then places an animated object: to its position, turned by its rotation about x, y, z, about its
// rest position.
void placeAnimatedObject(const SceneObject& object);

// The cells drawMeshes visits: viewRange + 4 columns and rows ahead of the eye's cell in the
// direction the camera looks, 2 behind, on each axis. Bounds are inclusive.
struct ViewWindow {
    int32_t firstColumn = 0;
    int32_t lastColumn = 0;
    int32_t firstRow = 0;
    int32_t lastRow = 0;
};
ViewWindow computeViewWindow(const Model& model);
ViewWindow computeViewWindow(const Model& model, const CameraView& view);

// True when VELMORA_IMMEDIATE is set (and not "0"): drawMeshes then sends every face in immediate
// mode instead of replaying the display lists, and compileGridLists compiles none. For comparisons
// and the tests that hold the two paths to the same pictures.
bool immediateModeForced();

// The grid cell drawn for window position (column, row): row * columns + column inside the grid,
// cell 0 for any position off it.
int32_t windowCell(const Model& model, int32_t column, int32_t row);
