// Electric arcs from the bolt objects of a model: jagged additive line strips that run from each
// object's rest position straight away from one of its vertices, jittered and newly random every
// frame. Depends on the random source of the scene clock module, the picture table (slot 0, the
// white picture) and the camera view of the model renderer.
#include "render/bolts.h"

#include <algorithm>

#include "core/clock.h"
#include "media/texture.h"
#include "render/frame.h"
#include "render/quads.h"
#include "render/renderer.h"

bool canThrowArcs(const Model& model, const SceneObject& bolt)
{
    return bolt.vertexCount >= 2 && bolt.vertices != nullptr && model.boltJitter >= 1;
}

bool buildBoltArc(const Model& model, const SceneObject& bolt, BoltArc& arc)
{
    arc.points.clear();
    if (!canThrowArcs(model, bolt))
        return false;
    const int32_t jitter = model.boltJitter;
    const int32_t segments = model.boltSegments;
    const double halfJitter = jitter / 2.0;

    arc.brightness = static_cast<float>(randomBelow(100) / 100.0);
    arc.lineWidth = static_cast<float>(randomBelow(jitter) + 1.0);
    // Any vertex but the last.
    const Vec3d& away = bolt.vertices[randomBelow(bolt.vertexCount - 1)];
    const Vec3d& base = bolt.basePosition;

    for (int32_t k = 0; k < segments; ++k) {
        ArcPoint point;
        point.position.x = base.x + k * (base.x - away.x) / segments + halfJitter - randomBelow(jitter);
        point.position.y = base.y + k * (base.y - away.y) / segments + halfJitter - randomBelow(jitter);
        point.position.z = base.z + k * (base.z - away.z) / segments + halfJitter - randomBelow(jitter);
        for (int c = 0; c < 3; ++c)
            point.colour[c] = arc.brightness * model.boltColour[c] * k / segments;
        arc.points.push_back(point);
    }
    return true;
}

namespace {
// Reused by every frame so that throwing arcs allocates nothing once it has grown.
BoltArc arc;
}  // namespace

void Model::drawBolts()
{
    if (boltObjectCount == 0)
        return;
    const CameraView view = cameraView(*this);
    // Every arc is drawn under the same view and picture: both are set before the first one only.
    bool viewLoaded = false;

    beginAdditive();
    glDepthMask(GL_FALSE);
    const int32_t objects = std::min(boltObjectCount, static_cast<int32_t>(maxBoltObjects));
    for (int32_t i = 0; i < objects; ++i) {
        const SceneObject* bolt = boltObjects[i];
        if (bolt == nullptr || !canThrowArcs(*this, *bolt))
            continue;
        for (int32_t j = 0; j < boltCount; ++j) {
            // Arcs are in world coordinates: the object's own animation does not carry them.
            if (!viewLoaded) {
                loadCameraView(view);
                glBindTexture(GL_TEXTURE_2D, TextureTable[Slot::White]);
                viewLoaded = true;
            }
            buildBoltArc(*this, *bolt, arc);
            // Widths are pixels of an 800x600 picture: wider where the picture has more pixels.
            glLineWidth(arc.lineWidth * pixelScale);
            glBegin(GL_LINE_STRIP);
            for (const ArcPoint& point : arc.points) {
                glColor3f(point.colour[0], point.colour[1], point.colour[2]);
                glVertex3f(static_cast<float>(point.position.x), static_cast<float>(point.position.y),
                           static_cast<float>(point.position.z));
            }
            glEnd();
        }
    }
    glDepthMask(GL_TRUE);
    endAdditive();
}
