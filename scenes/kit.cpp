// What the scenes share. The scene loop protocol: at most one message between two frames, every
// frame drawn for a scene time within the scene's duration. The verse scenes' lit objects seen from
// the model's camera. The attractor push of the deforming scenes. The position-track player, which
// maps the scene clock onto a model's frames and moves meshes and lights along their chains of
// cubic Bezier segments.
#include "scenes/kit.h"

#include <algorithm>
#include <cfloat>

#include "core/clock.h"
#include "core/geometry.h"
#include "core/gl.h"
#include "core/services.h"
#include "render/frame.h"

namespace {

// The loop proper, from the scene clock as it stands: at most one message between two frames, then
// clear, drawFrame, present. True when it stopped because until() said so before a frame, false
// when the clock ran out or the run is to end.
bool runFrames(void (*drawFrame)(), void (*present)(), bool (*until)())
{
    const Services& handed = services();
    bool (*const peekMessage)(Message*) = handed.peekMessage != nullptr ? handed.peekMessage : sysPeekMessage;
    void (*const clear)() = handed.clear != nullptr ? handed.clear : clearFrame;
    for (;;) {
        if (!tickSceneClock()) {
            return false;
        }
        if (stopRequested() || (handed.leaveScene != nullptr && handed.leaveScene())) {
            return false;
        }
        Message message;
        if (peekMessage(&message)) {
            if (handed.handleMessage != nullptr) {
                handed.handleMessage(message);
            }
            continue;
        }
        if (until != nullptr && until()) {
            return true;
        }
        clear();
        drawFrame();
        present();
    }
}

void hideFrames(bool hidden)
{
    if (services().hideFrames != nullptr) {
        services().hideFrames(hidden);
    }
}

}  // namespace

void runSceneLoop(float duration, void (*drawFrame)())
{
    const Services& handed = services();
    startSceneClock(duration);
    void (*const present)() = handed.present != nullptr ? handed.present : presentFrame;
    // Only when playing from a later point: the frames before it run unseen, through this same loop.
    const SkipAhead* skip = handed.skipAhead;
    bool skipping = skip != nullptr && skip->begin();
    for (;;) {
        if (skipping) {
            hideFrames(true);
            const bool reached = runFrames(drawFrame, skip->present, skip->reached);
            hideFrames(false);
            skip->finish(reached);
            if (!reached) {
                return;
            }
        }
        // The frames that are shown, until the scene ends, or until a seek forward (asked for in a
        // message) has the skip begin again from here.
        if (!runFrames(drawFrame, present, skip != nullptr ? skip->begin : nullptr)) {
            return;
        }
        skipping = true;
    }
}

CameraView sceneCameraView(const Model& model)
{
    CameraView view;
    if (model.currentCamera < 0 || model.currentCamera >= model.cameraCount) {
        return view;
    }
    const SceneObject* camera = model.cameras[model.currentCamera];
    if (camera == nullptr) {
        return view;
    }
    view.eye = camera->cameraPosition;
    view.target = camera->cameraTarget;
    view.angles = camera->rotation;
    view.rotating = true;
    return view;
}

void drawLitObject(const Model& model, const SceneObject& object, const VertexShaper& shape)
{
    loadCameraView(sceneCameraView(model));
    if (followsItsTracks(object)) {
        placeAnimatedObject(object);
    }
    glBindTexture(GL_TEXTURE_2D, model.textureOf(&object));
    glBegin(GL_TRIANGLES);
    for (int f = 0; f < object.faceCount; ++f) {
        const Face& face = object.faces[f];
        const uint16_t corners[3] = {face.a, face.b, face.c};
        for (uint16_t i : corners) {
            const Vec3f& colour = object.vertexColours[i];
            glColor3f(colour.x, colour.y, colour.z);
            glTexCoord2f(object.mapping[i].u, object.mapping[i].v);
            const Vec3d v = shape ? shape(object.vertices[i]) : object.vertices[i];
            glVertex3f(static_cast<float>(v.x), static_cast<float>(v.y), static_cast<float>(v.z));
        }
    }
    glEnd();
}

bool drawableMesh(const SceneObject* object)
{
    return object->kind == ObjectKind::Mesh && object->faceCount > 0 && object->vertices != nullptr &&
           object->vertexColours != nullptr && object->mapping != nullptr;
}

bool fitsSinglePrecision(const Vec3d& v)
{
    return std::fabs(v.x) <= FLT_MAX && std::fabs(v.y) <= FLT_MAX && std::fabs(v.z) <= FLT_MAX;
}

float attractorPush(const Vec3d& w, const Vec3d& q, const Vec3d& r, const Vec3d& p, double strength, bool squared)
{
    const double dx = q.x - (w.x - r.x + p.x);
    const double dy = q.y - (w.y - r.y + p.y);
    const double dz = q.z - (w.z - r.z + p.z);
    const double d2 = dx * dx + dy * dy + dz * dz;
    return static_cast<float>(strength / (squared ? d2 : std::sqrt(d2)));
}

bool pushCorner(Vec3d& w, const Vec3d& r, const Vec3d& p, float push)
{
    const Vec3d moved{w.x + (w.x - r.x) * push - r.x + p.x, w.y + (w.y - r.y) * push - r.y + p.y,
                      w.z + (w.z - r.z) * push - r.z + p.z};
    if (!fitsSinglePrecision(moved)) {
        return false;
    }
    w = moved;
    return true;
}

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
    const float u =
        std::clamp(segmentParameter(frame, object.positionFrames[0], object.positionFrames[last]), 0.0f, 1.0f);
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
    if (object.positionKeyCount <= 1 || object.positionKeys == nullptr || object.positionFrames == nullptr) {
        return;
    }
    object.position = object.positionKeyCount >= 4 ? segmentTrackPoint(object, frame) : shortTrackPoint(object, frame);
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
