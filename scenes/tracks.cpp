// Position-track player for the scenes that animate a model without its camera: maps the scene
// clock onto the model's frames and moves meshes and lights along their chains of cubic Bezier
// segments. Depends on the Model list walk (model/model.h), bezierPoint and the scene clock.
#include "scenes/tracks.h"

#include <algorithm>
#include <cmath>

#include "model/model.h"
#include "core/geometry.h"
#include "core/clock.h"

namespace {

// Parameter of frame on the segment from frame `from` to frame `to`. A segment of no length is
// passed at once: its start before it, its end from it on (no division by zero).
float segmentParameter(double frame, uint16_t from, uint16_t to)
{
    const int span = static_cast<int>(to) - static_cast<int>(from);
    if (span == 0) {
        return frame >= from ? 1.0f : 0.0f;
    }
    return static_cast<float>((frame - from) / span);
}

// A track of 2 or 3 keys has no whole segment: it runs straight from its first key to its last
// over their frames, and rests at either end outside them.
Vec3d shortTrackPoint(const SceneObject& object, double frame)
{
    const uint32_t last = object.positionKeyCount - 1;
    const float u = std::clamp(segmentParameter(frame, object.positionFrames[0],
                                                object.positionFrames[last]),
                               0.0f, 1.0f);
    const Vec3d& a = object.positionKeys[0];
    const Vec3d& b = object.positionKeys[last];
    return Vec3d{a.x + (b.x - a.x) * u, a.y + (b.y - a.y) * u, a.z + (b.z - a.z) * u};
}

// Keys 0, 3, 6, ... end the segments; the index only moves forward, and past the last whole
// segment the curve is extrapolated (u beyond 1).
Vec3d segmentTrackPoint(SceneObject& object, double frame)
{
    const uint32_t n = object.positionKeyCount;
    const uint16_t* frames = object.positionFrames;
    // The index is 3 after loading and moves in steps of 3; one set from outside is brought back
    // inside the whole segments.
    uint32_t k = object.positionKeyIndex;
    if (k < 3) {
        k = 3;
    }
    if (k > n - 1) {
        k = (n - 1) - (n - 1) % 3;
    }
    while (frames[k] <= frame && k + 3 <= n - 1) {
        k += 3;
    }
    object.positionKeyIndex = k;
    const float u = segmentParameter(frame, frames[k - 3], frames[k]);
    const Vec3d* keys = object.positionKeys;
    return bezierPoint(keys[k - 3], keys[k - 2], keys[k - 1], keys[k], u);
}

void playObjectTrack(SceneObject& object, double frame)
{
    if (object.kind != ObjectKind::Mesh && object.kind != ObjectKind::Light) {
        return;
    }
    if (object.positionKeyCount <= 1 || object.positionKeys == nullptr ||
        object.positionFrames == nullptr) {
        return;
    }
    object.position = object.positionKeyCount >= 4 ? segmentTrackPoint(object, frame)
                                                   : shortTrackPoint(object, frame);
    if (object.kind == ObjectKind::Light) {
        object.light.position = object.position;
    }
}

}  // namespace

double trackFrameAt(int endFrame, float t, float duration)
{
    // A scene without length stays on the first frame (the share of it played is undefined).
    double frame = duration > 0.0f ? static_cast<double>(endFrame) * t / duration : 0.0;
    if (std::trunc(frame) >= endFrame) {
        frame = endFrame - 1.0;
    }
    return frame;
}

void playTracks(Model* model)
{
    if (model == nullptr) {
        return;
    }
    model->currentFrame = trackFrameAt(model->endFrame, sceneTime, sceneDuration);
    model->rewind();
    for (int i = 0; i < model->objectCount; ++i) {
        playObjectTrack(*model->cursor, model->currentFrame);
        model->advance();
    }
    model->rewind();
}
