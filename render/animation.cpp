// Keyframe animation: brings a Model to the current sceneTime by writing its frame, current camera,
// the camera's eye, target, pitch and yaw, and the position and rotation of animated meshes and
// lights. Depends on the scene clock (core/clock.h) and the curve evaluators (core/geometry.h).
// Every key index is kept inside its track, whatever the track's length, so that a short or
// missing track in a user's file never reads outside the arrays the reader allocated.
#include "render/animation.h"

#include <algorithm>
#include <cmath>

#include "core/clock.h"

double radiansToDegrees(double radians)
{
    return radians * 180.0 / 3.1415;
}

double frameAtSceneTime(int32_t startFrame, int32_t endFrame, float time, float duration)
{
    // Undefined for a scene of no length; such a clock shows the first frame.
    const float fraction = duration > 0.0f ? time / duration : 0.0f;
    const float span = static_cast<float>(static_cast<int64_t>(endFrame) - startFrame);
    double frame = static_cast<float>(startFrame) + span * fraction;
    const double lastWhole = static_cast<double>(static_cast<int64_t>(endFrame) - 1);
    if (std::trunc(frame) > lastWhole)
        frame = lastWhole;
    return frame;
}

namespace {

int64_t clampIndex(int64_t index, uint32_t count)
{
    return std::clamp<int64_t>(index, 0, static_cast<int64_t>(count) - 1);
}

// Frame number and value of a key, the index clamped into a track of count (> 0) keys.
double frameAt(const uint16_t* frames, uint32_t count, int64_t index)
{
    return frames[clampIndex(index, count)];
}

const Vec3d& keyAt(const Vec3d* keys, uint32_t count, int64_t index)
{
    return keys[clampIndex(index, count)];
}

Vec3d lerp(const Vec3d& a, const Vec3d& b, double t)
{
    return Vec3d{a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t};
}

// Hands the view on while the current camera's last segment has been reached: cameras play one
// after another in list order and never go back. The camera's key index is the one the previous
// call's search left (3 after loading). The index tests come first so that the frame read is
// only made where it is needed; it is clamped into the track all the same, since a camera that
// has not been current yet still holds the loader's 3. A camera without position keys has no
// time of its own and is passed at once.
void switchCameras(Model& model)
{
    model.currentCamera = std::clamp(model.currentCamera, 0, model.cameraCount - 1);
    while (model.currentCamera < model.cameraCount - 1) {
        const SceneObject* camera = model.cameras[model.currentCamera];
        const int64_t n = camera->positionKeyCount;
        const int64_t k = camera->positionKeyIndex;
        if (k + 2 < n - 1)
            break;
        if (n > 0 && frameAt(camera->positionFrames, camera->positionKeyCount, k + 1) > model.currentFrame)
            break;
        ++model.currentCamera;
    }
}

// The segment of a camera track that holds frame, searched from key 0: ends between 0 and n - 3.
uint32_t searchCameraKey(const uint16_t* frames, uint32_t count, double frame)
{
    int64_t k = 0;
    while (k + 2 < static_cast<int64_t>(count) - 1 && frames[k + 1] <= frame)
        ++k;
    return static_cast<uint32_t>(k);
}

// The Catmull-Rom point of a camera track at frame, on the segment from key k to key k + 1.
// Keys before the first (the search ended at 0) and after the last stand in for themselves
// through the index clamp: key 0 replaces key -1. A segment of no length gives its first key.
Vec3d cameraCurvePoint(const uint16_t* frames, const Vec3d* keys, uint32_t count, int64_t k, double frame)
{
    const double f0 = frameAt(frames, count, k);
    const double f1 = frameAt(frames, count, k + 1);
    const double u = f1 != f0 ? (frame - f0) / (f1 - f0) : 0.0;
    return catmullRomPoint(keyAt(keys, count, k + 2), keyAt(keys, count, k + 1), keyAt(keys, count, k),
                           keyAt(keys, count, k - 1), 1.0 - u);
}

// Pitch and yaw of the camera from its eye and target. Straight above or below the target (no
// horizontal direction) the yaw is undefined and the previous one is kept. The arccosine inputs
// are held within [-1, 1]: rounding can put a unit vector's horizontal length a hair above 1,
// which would turn the whole view into NaN.
void aimCamera(SceneObject& camera)
{
    Vec3d d{camera.cameraPosition.x - camera.cameraTarget.x, camera.cameraPosition.y - camera.cameraTarget.y,
            camera.cameraPosition.z - camera.cameraTarget.z};
    const double length = std::sqrt(d.x * d.x + d.y * d.y + d.z * d.z);
    if (length != 0.0) {
        d.x /= length;
        d.y /= length;
        d.z /= length;
    }
    const double h = std::sqrt(d.x * d.x + d.z * d.z);
    if (h != 0.0) {
        double yaw = radiansToDegrees(std::acos(std::clamp(d.z / h, -1.0, 1.0)));
        if (d.x >= 0.0)
            yaw = -yaw;
        camera.rotation.y = yaw;
    }
    double pitch = radiansToDegrees(std::acos(std::min(h, 1.0)));
    if (d.y < 0.0)
        pitch = -pitch;
    camera.rotation.x = pitch;
}

void moveCamera(Model& model)
{
    SceneObject& camera = *model.cameras[model.currentCamera];
    const double frame = model.currentFrame;

    // A camera without a track keeps the eye or target of its camera chunk.
    if (camera.positionKeyCount > 0) {
        camera.positionKeyIndex = searchCameraKey(camera.positionFrames, camera.positionKeyCount, frame);
        camera.cameraPosition = cameraCurvePoint(camera.positionFrames, camera.positionKeys, camera.positionKeyCount,
                                                 camera.positionKeyIndex, frame);
    } else {
        camera.positionKeyIndex = 0;
    }
    if (camera.rotationKeyCount > 0) {
        camera.rotationKeyIndex = searchCameraKey(camera.rotationFrames, camera.rotationKeyCount, frame);
        camera.cameraTarget = cameraCurvePoint(camera.rotationFrames, camera.rotationKeys, camera.rotationKeyCount,
                                               camera.rotationKeyIndex, frame);
    } else {
        camera.rotationKeyIndex = 0;
    }
    aimCamera(camera);
}

// The point of an object track at frame; false for a track of at most one key, which never moves
// the object. Keys 0, 3, 6, ... end the Bezier segments and the two keys between are control
// points; the key index only moves forward, and past the last whole segment the curve is
// extrapolated (t above 1). A track of 2 or 3 keys has no whole segment: the object moves along
// the straight line from its first to its last key, staying at either end outside their frames.
// A segment of no length is at its start before its frame and at its end from then on.
bool objectTrackPoint(const uint16_t* frames, const Vec3d* keys, uint32_t count, uint32_t& keyIndex, double frame,
                      Vec3d& point)
{
    if (count <= 1)
        return false;
    const int64_t last = static_cast<int64_t>(count) - 1;
    if (count < 4) {
        const double f0 = frames[0];
        const double f1 = frames[last];
        double t = f1 != f0 ? (frame - f0) / (f1 - f0) : (frame >= f1 ? 1.0 : 0.0);
        point = lerp(keys[0], keys[last], std::clamp(t, 0.0, 1.0));
        return true;
    }
    // 3 after loading; a value set from outside is brought back inside the whole segments.
    int64_t k = keyIndex;
    if (k < 3)
        k = 3;
    if (k > last)
        k = last - last % 3;
    while (frames[k] <= frame && k + 3 <= last)
        k += 3;
    keyIndex = static_cast<uint32_t>(k);
    const double f0 = frames[k - 3];
    const double f1 = frames[k];
    const float t = f1 != f0 ? static_cast<float>((frame - f0) / (f1 - f0)) : (frame >= f1 ? 1.0f : 0.0f);
    point = bezierPoint(keys[k - 3], keys[k - 2], keys[k - 1], keys[k], t);
    return true;
}

void moveObject(SceneObject& object, double frame)
{
    Vec3d point;
    if (objectTrackPoint(object.positionFrames, object.positionKeys, object.positionKeyCount, object.positionKeyIndex,
                         frame, point)) {
        object.position = point;
        if (object.kind == ObjectKind::Light)
            object.light.position = object.position;
    }
    if (objectTrackPoint(object.rotationFrames, object.rotationKeys, object.rotationKeyCount, object.rotationKeyIndex,
                         frame, point))
        object.rotation = Vec3d{-point.x, -point.y, -point.z};
}

}  // namespace

void Model::animate()
{
    currentFrame = frameAtSceneTime(startFrame, endFrame, sceneTime, sceneDuration);

    // A model without cameras (a user's file) still moves its objects; the passes then use the
    // identity view.
    if (cameraCount > 0) {
        switchCameras(*this);
        moveCamera(*this);
    }

    rewind();
    for (int i = 0; i < objectCount; ++i) {
        if (cursor->kind == ObjectKind::Mesh || cursor->kind == ObjectKind::Light)
            moveObject(*cursor, currentFrame);
        advance();
    }
    rewind();
}
