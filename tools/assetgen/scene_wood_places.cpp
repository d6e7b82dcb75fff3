// The wood scene's two destinations: the glade with its giant tree, mushrooms and light shafts, and
// the hollow with its ring of standing stones; and the mist that lies over both and the trail.
// The rest of the scene is in scene_wood.cpp.
#include <cmath>

#include "tools/assetgen/scene_wood.h"

namespace ag {
namespace wood {

namespace {

// A box standing on `base`, tapering towards the top and leaning over by `lean` per unit height.
void addStandingStone(MeshDef& m, Vec3 base, Vec3 size, float angle, float lean)
{
    size_t first = m.vertices.size();
    addBox(m, base + Vec3{0.0f, size.y * 0.5f - 6.0f, 0.0f}, size, 60.0f, false);
    for (size_t i = first; i < m.vertices.size(); ++i) {
        Vec3& v = m.vertices[i];
        float t = (v.y - base.y) / size.y;
        v.x = base.x + (v.x - base.x) * (1.0f - 0.25f * t);
        v.z = base.z + (v.z - base.z) * (1.0f - 0.25f * t);
        v.x += lean * t * size.y;
    }
    rotateY(m, first, angle, base);
}

}  // namespace

void addGiantTree(SceneDef& scene)
{
    MeshDef giant = newMesh("GiantTrunk", "maps/tex/bark.jpg");
    Vec3 gBase = onGround(kGlade.x, kGlade.z);
    addFrustum(giant, gBase - Vec3{0.0f, 4.0f, 0.0f}, 30.0f, 17.0f, 150.0f, 10, 3.0f, 60.0f);
    for (int i = 0; i < 5; ++i) {  // roots: slanted slabs spreading out
        float a = static_cast<float>(i) * 2.0f * kPi / 5.0f + 0.4f;
        size_t first = giant.vertices.size();
        addBox(giant, gBase + Vec3{38.0f, 4.0f, 0.0f}, Vec3{60.0f, 16.0f, 10.0f}, 40.0f, false);
        for (size_t v = first; v < giant.vertices.size(); ++v) {
            float t = (giant.vertices[v].x - gBase.x - 8.0f) / 60.0f;
            giant.vertices[v].y -= 14.0f * t;
        }
        rotateY(giant, first, a, gBase);
    }
    setRestPosition(giant, gBase);
    scene.meshes.push_back(giant);
    MeshDef giantCrown = newMesh("GiantCrown", "maps/tex/leaves.jpg");
    addEllipsoid(giantCrown, gBase + Vec3{0.0f, 185.0f, 0.0f}, Vec3{115.0f, 60.0f, 105.0f}, 6, 12, 4.0f, 2.0f);
    addEllipsoid(giantCrown, gBase + Vec3{60.0f, 150.0f, 40.0f}, Vec3{70.0f, 45.0f, 70.0f}, 5, 9, 3.0f, 1.0f);
    addEllipsoid(giantCrown, gBase + Vec3{-65.0f, 160.0f, -30.0f}, Vec3{75.0f, 45.0f, 70.0f}, 5, 9, 3.0f, 1.0f);
    scene.meshes.push_back(giantCrown);
}

void addStoneRing(SceneDef& scene, Rng& rng)
{
    Vec3 hBase = onGround(kHollow.x, kHollow.z);
    for (int i = 0; i < 7; ++i) {
        float a = static_cast<float>(i) * 2.0f * kPi / 7.0f + 0.3f;
        Vec3 at = onGround(kHollow.x + 115.0f * std::cos(a), kHollow.z + 115.0f * std::sin(a));
        MeshDef stone = newMesh(numbered("Stone", i), "maps/tex/rock.jpg");
        addStandingStone(stone, at, Vec3{rng.range(16.0f, 24.0f), rng.range(55.0f, 80.0f), 10.0f}, -a,
                         rng.range(-0.08f, 0.08f));
        setRestPosition(stone, at);
        scene.meshes.push_back(stone);
    }
    MeshDef monolith = newMesh("Monolith", "maps/tex/rock.jpg");
    addStandingStone(monolith, hBase, Vec3{26.0f, 120.0f, 14.0f}, 0.6f, 0.0f);
    setRestPosition(monolith, hBase);
    scene.meshes.push_back(monolith);
    // Unlit glyphs glowing on the monolith's faces, drawn additively.
    MeshDef runes = newMesh("^%runes", "maps/tex/runes.jpg");
    Vec3 c = hBase + Vec3{0.0f, 50.0f, 0.0f};
    addQuad(runes, c + Vec3{-10.0f, -40.0f, 7.6f}, c + Vec3{10.0f, -40.0f, 7.6f}, c + Vec3{8.0f, 45.0f, 7.6f},
            c + Vec3{-8.0f, 45.0f, 7.6f});
    addQuad(runes, c + Vec3{10.0f, -40.0f, -7.6f}, c + Vec3{-10.0f, -40.0f, -7.6f}, c + Vec3{-8.0f, 45.0f, -7.6f},
            c + Vec3{8.0f, 45.0f, -7.6f});
    rotateY(runes, 0, 0.6f, hBase);
    scene.meshes.push_back(runes);
}

std::vector<Vec3> addMushrooms(SceneDef& scene, Rng& rng)
{
    MeshDef stems = newMesh("m*stems", "maps/tex/mushroom.jpg");
    MeshDef caps = newMesh("^*caps", "maps/tex/mushroom.jpg");
    std::vector<Vec3> mushroomSpots;
    for (int cluster = 0; cluster < 6; ++cluster) {
        float a = static_cast<float>(cluster) * 1.05f + 0.5f;
        Vec3 c{kGlade.x + 85.0f * std::cos(a), 0.0f, kGlade.z + 85.0f * std::sin(a)};
        mushroomSpots.push_back(onGround(c.x, c.z, 6.0f));
        for (int k = 0; k < 5; ++k) {
            Vec3 at = onGround(c.x + rng.range(-14.0f, 14.0f), c.z + rng.range(-14.0f, 14.0f));
            float h = rng.range(4.0f, 11.0f);
            addFrustum(stems, at - Vec3{0.0f, 1.0f, 0.0f}, 1.2f, 0.9f, h, 5, 1.0f, 10.0f);
            addFrustum(caps, at + Vec3{0.0f, h, 0.0f}, h * 0.55f, 0.0f, h * 0.35f, 7, 1.0f, 10.0f, false, true);
        }
    }
    scene.meshes.push_back(stems);
    scene.meshes.push_back(caps);
    return mushroomSpots;
}

void addLightShafts(SceneDef& scene)
{
    MeshDef shafts =
        newMesh("%*shafts", "maps/tex/shaft.jpg");  // additive, lit by the moon and the glade, casting no shadow
    for (int i = 0; i < 2; ++i) {
        float a = 4.2f + 1.3f * static_cast<float>(i);
        Vec3 foot = onGround(kGlade.x + 190.0f * std::cos(a), kGlade.z + 190.0f * std::sin(a));
        Vec3 top = foot + Vec3{-40.0f, 230.0f, 30.0f};
        for (int q = 0; q < 2; ++q) {
            Vec3 side = q == 0 ? Vec3{16.0f, 0.0f, 0.0f} : Vec3{0.0f, 0.0f, 16.0f};
            addQuad(shafts, foot - side, foot + side, top + side * 1.6f, top - side * 1.6f);
        }
    }
    scene.meshes.push_back(shafts);
}

void addMist(SceneDef& scene, Rng& rng)
{
    const char* mistNames[3] = {"%*mistHollow", "%*mistTrail", "%*mistGlade"};
    for (int area = 0; area < 3; ++area) {
        MeshDef mist = newMesh(mistNames[area], "maps/tex/mist.jpg");
        int count = area == 0 ? 10 : 8;
        for (int i = 0; i < count; ++i) {
            Vec3 c;
            if (area == 0) {
                float a = rng.range(0.0f, 6.28f), r = rng.range(0.0f, kHollowRadius);
                c = Vec3{kHollow.x + r * std::cos(a), 0.0f, kHollow.z + r * std::sin(a)};
            } else if (area == 1) {
                Vec3 p = trail(rng.range(0.0f, 1.0f));
                c = p + Vec3{rng.range(-90.0f, 90.0f), 0.0f, rng.range(-90.0f, 90.0f)};
            } else {
                float a = rng.range(0.0f, 6.28f);
                c = Vec3{kGlade.x + (kGladeRadius + 40.0f) * std::cos(a), 0.0f,
                         kGlade.z + (kGladeRadius + 40.0f) * std::sin(a)};
            }
            float h = terrainHeight(c.x, c.z) + rng.range(7.0f, 14.0f);
            float half = rng.range(50.0f, 80.0f);
            size_t first = mist.vertices.size();
            addQuad(mist, Vec3{c.x - half, h, c.z + half}, Vec3{c.x + half, h, c.z + half},
                    Vec3{c.x + half, h, c.z - half}, Vec3{c.x - half, h, c.z - half});
            rotateY(mist, first, rng.range(0.0f, 6.28f), Vec3{c.x, h, c.z});
        }
        scene.meshes.push_back(mist);
    }
}

}  // namespace wood
}  // namespace ag
