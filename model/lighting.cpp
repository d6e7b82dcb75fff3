// Load-time vertex lighting: every mesh vertex gets a fixed colour from the model's lights, each
// falling off linearly to nothing at its range, darkened when the middle sections of another
// mesh's bounding box stand between vertex and light. The shadow tests are counted against a work
// budget, so that a crafted file cannot hold loading for minutes. Reads the shadow switches of
// core/switches.h and the segment test of core/geometry.h.
#include <cmath>
#include <cstdio>
#include <memory>
#include <new>
#include <utility>
#include <vector>

#include "core/clock.h"
#include "core/switches.h"
#include "model/model.h"

namespace {

bool isOccluder(const SceneObject* object)
{
    return object->kind == ObjectKind::Mesh && !castsNoShadow(object->name);
}

// A quick rejection before the exact test: a segment that misses the occluder's bounding box, grown
// by a margin far above any rounding of the exact test, cannot hit one of its middle sections.
bool segmentNearBox(const Segment& s, const Vec3f& lo, const Vec3f& hi)
{
    const float start[3] = {s.start.x, s.start.y, s.start.z};
    const float end[3] = {s.end.x, s.end.y, s.end.z};
    const float boxLo[3] = {lo.x, lo.y, lo.z};
    const float boxHi[3] = {hi.x, hi.y, hi.z};
    double t0 = 0.0;
    double t1 = 1.0;
    for (int axis = 0; axis < 3; ++axis) {
        double a = start[axis];
        double b = end[axis];
        double margin = 1.0 + 0.01 * (std::fabs(boxLo[axis]) + std::fabs(boxHi[axis]) + std::fabs(a) + std::fabs(b));
        double low = boxLo[axis] - margin;
        double high = boxHi[axis] + margin;
        // Anything not finite goes to the exact test, which decides as it always would.
        if (!std::isfinite(a) || !std::isfinite(b) || !std::isfinite(low) || !std::isfinite(high))
            return true;
        double d = b - a;
        if (d == 0.0) {
            if (a < low || a > high)
                return false;
            continue;
        }
        double ta = (low - a) / d;
        double tb = (high - a) / d;
        if (ta > tb)
            std::swap(ta, tb);
        t0 = ta > t0 ? ta : t0;
        t1 = tb < t1 ? tb : t1;
        if (t0 > t1)
            return false;
    }
    return true;
}

// The occluders in list order, from one flag per object.
std::vector<const SceneObject*> occluderList(const SceneObject* first, int objectCount, const bool* flags)
{
    std::vector<const SceneObject*> list;
    const SceneObject* object = first;
    for (int i = 0; i < objectCount && object != nullptr; ++i, object = object->next) {
        if (flags[i])
            list.push_back(object);
    }
    return list;
}

}  // namespace

int Model::shadowFactorAt(int vertexIndex, int objectIndex, int lightIndex, const bool* occluders)
{
    seekObject(objectIndex);
    return shadowFactorFor(cursor, vertexIndex, lightIndex, occluderList(this, objectCount, occluders));
}

// The shadow test of one vertex of lit against one light; counts every occluder it looks at.
int Model::shadowFactorFor(const SceneObject* lit, int vertexIndex, int lightIndex,
                           const std::vector<const SceneObject*>& occluders)
{
    if (vertexIndex < 0 || vertexIndex >= lit->vertexCount || lightIndex < 0 || lightIndex >= lightCount)
        return 0;

    const Vec3d& vertex = lit->vertices[vertexIndex];
    Segment ray;
    ray.start = Vec3f{static_cast<float>(vertex.x + (lit->position.x - lit->basePosition.x)),
                      static_cast<float>(vertex.y + (lit->position.y - lit->basePosition.y)),
                      static_cast<float>(vertex.z + (lit->position.z - lit->basePosition.z))};
    const Vec3d& light = lights[lightIndex]->position;
    ray.end = Vec3f{static_cast<float>(light.x), static_cast<float>(light.y), static_cast<float>(light.z)};

    // The cursor is not moved.
    for (const SceneObject* object : occluders) {
        ++shadowWorkUsed;
        Vec3f shift{static_cast<float>(object->basePosition.x - object->position.x),
                    static_cast<float>(object->basePosition.y - object->position.y),
                    static_cast<float>(object->basePosition.z - object->position.z)};
        Segment s;
        s.start = Vec3f{ray.start.x + shift.x, ray.start.y + shift.y, ray.start.z + shift.z};
        s.end = Vec3f{ray.end.x + shift.x, ray.end.y + shift.y, ray.end.z + shift.z};
        if (!segmentNearBox(s, object->boundsMin, object->boundsMax))
            continue;
        ++exactShadowTests;
        shadowWorkUsed += exactTestCost;
        for (int q = 0; q < 3; ++q) {
            if (segmentHitsPolygon(object->crossQuads[q], s, 4))
                return object->translucent ? 1 : 2;
        }
    }
    return 0;
}

void Model::computeVertexLighting()
{
    if (objectCount == 0)
        return;
    std::unique_ptr<bool[]> occluders(new (std::nothrow) bool[objectCount]);
    if (!occluders) {
        std::fprintf(stderr, "%s: out of memory for the lighting pass; meshes left white\n", sourceName.c_str());
        return;
    }
    rewind();
    for (int i = 0; i < objectCount; ++i) {
        occluders[i] = isOccluder(cursor);
        advance();
    }

    const std::vector<const SceneObject*> occluderObjects = occluderList(this, objectCount, occluders.get());
    shadowWorkUsed = 0;
    exactShadowTests = 0;
    bool budgetSpent = false;
    rewind();
    for (int i = 0; i < objectCount; ++i) {
        SceneObject* object = cursor;
        if (object->kind == ObjectKind::Mesh) {
            for (int j = 0; j < object->vertexCount; ++j) {
                Vec3f& colour = object->vertexColours[j];
                if (lightCount == 0 || object->name[0] == '^') {
                    colour = Vec3f{1.0f, 1.0f, 1.0f};
                    continue;
                }
                colour = Vec3f{0.0f, 0.0f, 0.0f};
                const Vec3d& v = object->vertices[j];
                for (int k = 0; k < lightCount; ++k) {
                    const LightRecord& light = *lights[k];
                    double dx = v.x - light.position.x;
                    double dy = v.y - light.position.y;
                    double dz = v.z - light.position.z;
                    float d = static_cast<float>(std::sqrt(dx * dx + dy * dy + dz * dz));
                    // Also rejects a NaN distance and a light of no reach, whose 0 / 0 would
                    // poison the colour.
                    if (!(d <= light.range) || !(light.range > 0.0f))
                        continue;
                    float f = 1.0f - d / light.range;
                    Vec3f add{f * light.colour.x, f * light.colour.y, f * light.colour.z};
                    // A run told to stop lights the rest without shadows: quick, and never seen.
                    if (!budgetSpent && stopRequested())
                        budgetSpent = true;
                    if (shadowsEnabled && !budgetSpent && shadowWorkUsed >= shadowWorkBudget) {
                        budgetSpent = true;
                        std::fprintf(stderr,
                                     "%s: too much shadow work (%lld exact tests); from vertex %d of mesh "
                                     "\"%s\" on, vertices are lit without shadows\n",
                                     sourceName.c_str(), exactShadowTests, j, object->name);
                    }
                    if (shadowsEnabled && !budgetSpent) {
                        int s = shadowFactorFor(object, j, k, occluderObjects);
                        float factor = s == 1 ? translucentShadowFactor : s == 2 ? opaqueShadowFactor : 1.0f;
                        add = Vec3f{add.x * factor, add.y * factor, add.z * factor};
                    }
                    colour.x = std::fmin(colour.x + add.x, 1.0f);
                    colour.y = std::fmin(colour.y + add.y, 1.0f);
                    colour.z = std::fmin(colour.z + add.z, 1.0f);
                }
            }
        }
        advance();
    }
    rewind();
}
