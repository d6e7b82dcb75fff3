// Building and evaluating key tracks the way the program plays them: cameras on uniform
// Catmull-Rom curves, objects on chains of cubic Bezier segments. Used by the scene builders and
// by the preview. Depends on scene.h.
#include "tools/assetgen/tracks.h"

#include <cmath>

namespace ag {

std::vector<TrackKey> sampleKeys(const PathFn& path, const std::vector<uint32_t>& frames)
{
    std::vector<TrackKey> keys;
    for (uint32_t f : frames)
        keys.push_back(TrackKey{f, path(static_cast<float>(f)), 0.0f});
    return keys;
}

std::vector<uint32_t> cameraFrames(uint32_t from, uint32_t to, uint32_t step, int after)
{
    std::vector<uint32_t> frames;
    frames.push_back(from >= step ? from - step : 0);
    if (frames.back() == from)
        frames.back() = from > 0 ? from - 1 : 0;
    uint32_t span = to - from;
    uint32_t parts = (span + step / 2) / step;
    if (parts < 1)
        parts = 1;
    for (uint32_t i = 0; i <= parts; ++i)
        frames.push_back(from + span * i / parts);
    for (int i = 1; i <= after; ++i)
        frames.push_back(to + step * static_cast<uint32_t>(i));
    return frames;
}

CameraDef makeCamera(const std::string& name, const PathFn& eye, const PathFn& target,
                     const std::vector<uint32_t>& frames)
{
    CameraDef c;
    c.name = name;
    c.eye = sampleKeys(eye, frames);
    c.target = sampleKeys(target, frames);
    return c;
}

std::vector<TrackKey> bezierChain(const PathFn& path, uint32_t from, uint32_t to, int segments)
{
    std::vector<TrackKey> keys;
    float span = static_cast<float>(to - from) / static_cast<float>(segments);
    for (int s = 0; s <= segments; ++s) {
        float f = static_cast<float>(from) + span * static_cast<float>(s);
        uint32_t frame = from + static_cast<uint32_t>((to - from) * static_cast<uint64_t>(s) / segments);
        Vec3 p = path(f);
        float h = span * 0.01f;
        Vec3 tangent = (path(f + h) - path(f - h)) / (2.0f * h);
        if (s > 0) {
            // Control point behind this end, one third of a segment back along the tangent.
            uint32_t prevFrame = keys.back().frame;
            uint32_t cFrame = prevFrame + (frame - prevFrame) / 2;
            if (cFrame <= prevFrame)
                cFrame = prevFrame + 1;
            keys.push_back(TrackKey{cFrame, p - tangent * (span / 3.0f), 0.0f});
        }
        keys.push_back(TrackKey{frame, p, 0.0f});
        if (s < segments) {
            uint32_t next = from + static_cast<uint32_t>((to - from) * static_cast<uint64_t>(s + 1) / segments);
            keys.push_back(TrackKey{frame + (next - frame) / 3, p + tangent * (span / 3.0f), 0.0f});
        }
    }
    return keys;
}

std::vector<TrackKey> steadyRotation(Vec3 axis, float totalAngle, uint32_t from, uint32_t to, int segments)
{
    std::vector<TrackKey> keys;
    int count = 3 * segments + 1;
    float share = totalAngle / static_cast<float>(count - 1);
    for (int i = 0; i < count; ++i) {
        uint32_t frame = from + static_cast<uint32_t>((to - from) * static_cast<uint64_t>(i) / (count - 1));
        keys.push_back(TrackKey{frame, axis, i == 0 ? 0.0f : share});
    }
    return keys;
}

Vec3 catmullRom(Vec3 p0, Vec3 p1, Vec3 p2, Vec3 p3, float t)
{
    float t2 = t * t, t3 = t2 * t;
    return (p1 * 2.0f + (p2 - p0) * t + (p0 * 2.0f - p1 * 5.0f + p2 * 4.0f - p3) * t2 +
            (p1 * 3.0f - p0 - p2 * 3.0f + p3) * t3) *
           0.5f;
}

namespace {

Vec3 playCatmull(const std::vector<TrackKey>& keys, float frame)
{
    size_t n = keys.size();
    size_t k = 0;
    while (k + 2 < n - 1 && static_cast<float>(keys[k + 1].frame) <= frame)
        ++k;
    float span = static_cast<float>(keys[k + 1].frame) - static_cast<float>(keys[k].frame);
    float u = span > 0.0f ? (frame - static_cast<float>(keys[k].frame)) / span : 0.0f;
    Vec3 before = k > 0 ? keys[k - 1].value : keys[k].value;
    return catmullRom(before, keys[k].value, keys[k + 1].value, keys[k + 2].value, u);
}

}  // namespace

bool cameraAt(const CameraDef& camera, float frame, Vec3& eye, Vec3& target)
{
    if (camera.eye.size() < 3 || camera.target.size() < 3)
        return false;
    eye = playCatmull(camera.eye, frame);
    target = playCatmull(camera.target, frame);
    return true;
}

void frameRange(const SceneDef& scene, float& startFrame, float& endFrame)
{
    startFrame = 0.0f;
    endFrame = 0.0f;
    if (scene.cameras.empty())
        return;
    const CameraDef& first = scene.cameras.front();
    const CameraDef& last = scene.cameras.back();
    if (first.eye.size() > 1)
        startFrame = static_cast<float>(first.eye[1].frame);
    if (last.eye.size() >= 3)
        endFrame = static_cast<float>(last.eye[last.eye.size() - 3].frame);
}

size_t cameraIndexAt(const SceneDef& scene, float frame)
{
    for (size_t i = 0; i + 1 < scene.cameras.size(); ++i) {
        const CameraDef& c = scene.cameras[i];
        if (c.eye.size() >= 2 && frame < static_cast<float>(c.eye[c.eye.size() - 2].frame))
            return i;
    }
    return scene.cameras.empty() ? 0 : scene.cameras.size() - 1;
}

Vec3 meshPositionAt(const MeshDef& mesh, float frame)
{
    const std::vector<TrackKey>& k = mesh.positionKeys;
    if (k.empty())
        return Vec3{};
    if (k.size() < 4)
        return k.front().value;
    size_t i = 3;
    while (static_cast<float>(k[i].frame) <= frame && i + 3 <= k.size() - 1)
        i += 3;
    float span = static_cast<float>(k[i].frame) - static_cast<float>(k[i - 3].frame);
    float t = (frame - static_cast<float>(k[i - 3].frame)) / span;
    float u = 1.0f - t;
    return k[i - 3].value * (u * u * u) + k[i - 2].value * (3.0f * t * u * u) + k[i - 1].value * (3.0f * t * t * u) +
           k[i].value * (t * t * t);
}

}  // namespace ag
