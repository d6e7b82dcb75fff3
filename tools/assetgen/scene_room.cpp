// maps/room.3ds, the Fourth verse: a panelled room at night with a fireplace, a candle-lit table,
// bookshelves and two moonlit windows. The scene draws every mesh in three passes: solid, glow
// (second character '%': the windows) and sway (first character '%': the flames, squeezed about
// the vertical line through their rest position). Emitters ('*') throw embers and sparks.
#include <cmath>

#include "tools/assetgen/scenekit.h"

namespace ag {

namespace {

constexpr float kHalfX = 450.0f, kHalfZ = 350.0f, kHeight = 320.0f;
constexpr float kFireZ = -kHalfZ + 30.0f;  // the fireplace stands against the back wall
const Vec3 kFireBase{0.0f, 14.0f, kFireZ + 5.0f};
const Vec3 kTableAt{-40.0f, 0.0f, 120.0f};

// A cluster of flame tongues around a vertical axis at `base`, each a slim cone.
void addFlames(MeshDef& m, Vec3 base, float height, float width, int tongues, Rng& rng)
{
    for (int i = 0; i < tongues; ++i) {
        float a = static_cast<float>(i) * 2.0f * kPi / static_cast<float>(tongues) + rng.range(-0.3f, 0.3f);
        float off = i == 0 ? 0.0f : width * rng.range(0.4f, 0.8f);
        Vec3 at = base + Vec3{off * std::cos(a), 0.0f, off * std::sin(a)};
        float h = height * (i == 0 ? 1.0f : rng.range(0.55f, 0.85f));
        addFrustum(m, at, width * (i == 0 ? 0.6f : 0.4f), 0.0f, h, 5, 1.0f, h, false, false);
    }
}

// Floor, ceiling and four walls, split finely enough for vertex lighting, and the ceiling beams.
void addShell(SceneDef& scene)
{
    MeshDef floor = newMesh("Floor", "maps/tex/planks.jpg");
    addPanel(floor, Vec3{-kHalfX, 0.0f, kHalfZ}, Vec3{2.0f * kHalfX, 0.0f, 0.0f}, Vec3{0.0f, 0.0f, -2.0f * kHalfZ}, 18,
             14, 160.0f);
    scene.meshes.push_back(floor);
    MeshDef ceiling = newMesh("c*ceiling", "maps/tex/plaster.jpg");
    addPanel(ceiling, Vec3{-kHalfX, kHeight, -kHalfZ}, Vec3{2.0f * kHalfX, 0.0f, 0.0f}, Vec3{0.0f, 0.0f, 2.0f * kHalfZ},
             12, 10, 200.0f);
    scene.meshes.push_back(ceiling);
    MeshDef walls = newMesh("w*walls", "maps/tex/wallpaper.jpg");
    addPanel(walls, Vec3{-kHalfX, 0.0f, -kHalfZ}, Vec3{2.0f * kHalfX, 0.0f, 0.0f}, Vec3{0.0f, kHeight, 0.0f}, 16, 6,
             120.0f);
    addPanel(walls, Vec3{kHalfX, 0.0f, kHalfZ}, Vec3{-2.0f * kHalfX, 0.0f, 0.0f}, Vec3{0.0f, kHeight, 0.0f}, 16, 6,
             120.0f);
    addPanel(walls, Vec3{-kHalfX, 0.0f, kHalfZ}, Vec3{0.0f, 0.0f, -2.0f * kHalfZ}, Vec3{0.0f, kHeight, 0.0f}, 12, 6,
             120.0f);
    addPanel(walls, Vec3{kHalfX, 0.0f, -kHalfZ}, Vec3{0.0f, 0.0f, 2.0f * kHalfZ}, Vec3{0.0f, kHeight, 0.0f}, 12, 6,
             120.0f);
    scene.meshes.push_back(walls);

    MeshDef beams = newMesh("b*beams", "maps/tex/planks.jpg");
    for (int i = 0; i < 5; ++i) {
        float x = -360.0f + 180.0f * static_cast<float>(i);
        addBox(beams, Vec3{x, kHeight - 12.0f, 0.0f}, Vec3{24.0f, 24.0f, 2.0f * kHalfZ}, 80.0f, true);
    }
    scene.meshes.push_back(beams);
}

// The fireplace on the back wall: hearth, mantel, logs and the swaying fire.
void addFireplace(SceneDef& scene, Rng& rng)
{
    MeshDef hearth = newMesh("Hearth", "maps/tex/brick.jpg");
    addBox(hearth, Vec3{-85.0f, 80.0f, kFireZ}, Vec3{40.0f, 160.0f, 60.0f}, 80.0f, false);          // left jamb
    addBox(hearth, Vec3{85.0f, 80.0f, kFireZ}, Vec3{40.0f, 160.0f, 60.0f}, 80.0f, false);           // right jamb
    addBox(hearth, Vec3{0.0f, 185.0f, kFireZ}, Vec3{210.0f, 50.0f, 60.0f}, 80.0f, false);           // lintel
    addBox(hearth, Vec3{0.0f, 260.0f, kFireZ - 10.0f}, Vec3{150.0f, 120.0f, 40.0f}, 80.0f, false);  // chimney breast
    addBox(hearth, Vec3{0.0f, 4.0f, kFireZ + 10.0f}, Vec3{220.0f, 8.0f, 90.0f}, 80.0f, false);      // hearth stone
    scene.meshes.push_back(hearth);
    MeshDef mantel = newMesh("Mantel", "maps/tex/planks.jpg");
    addBox(mantel, Vec3{0.0f, 214.0f, kFireZ + 8.0f}, Vec3{250.0f, 8.0f, 80.0f}, 60.0f, true);
    scene.meshes.push_back(mantel);
    MeshDef logs = newMesh("l*logs", "maps/tex/bark.jpg");
    for (int i = 0; i < 3; ++i) {
        size_t first = logs.vertices.size();
        addFrustum(logs, Vec3{0.0f, -45.0f, 0.0f}, 7.0f, 6.0f, 90.0f, 6, 1.0f, 40.0f, true, true);
        rotateX(logs, first, kPi * 0.5f, Vec3{});
        rotateY(logs, first, kPi * 0.5f + 0.4f * static_cast<float>(i - 1), Vec3{});
        translate(logs, first, Vec3{0.0f, i == 1 ? 20.0f : 12.0f, kFireZ + 5.0f});
    }
    scene.meshes.push_back(logs);
    MeshDef fire = newMesh("%*fire", "maps/tex/flame.jpg");  // sways, adds its glow, casts no shadow
    addFlames(fire, kFireBase, 70.0f, 30.0f, 6, rng);
    setRestPosition(fire, kFireBase);
    scene.meshes.push_back(fire);
}

// Windows on the right wall, glowing glass, unlit, in the glow pass; curtains beside them.
void addWindows(SceneDef& scene)
{
    for (int i = 0; i < 2; ++i) {
        float z = -150.0f + 300.0f * static_cast<float>(i);
        MeshDef window = newMesh(numbered("^%window", i), "maps/tex/window.jpg");
        addQuad(window, Vec3{kHalfX - 1.0f, 90.0f, z + 55.0f}, Vec3{kHalfX - 1.0f, 90.0f, z - 55.0f},
                Vec3{kHalfX - 1.0f, 250.0f, z - 55.0f}, Vec3{kHalfX - 1.0f, 250.0f, z + 55.0f});
        scene.meshes.push_back(window);
    }
    MeshDef curtains = newMesh("Curtains", "maps/tex/fabric.jpg");
    for (int i = 0; i < 2; ++i) {
        float z = -150.0f + 300.0f * static_cast<float>(i);
        for (float side : {-1.0f, 1.0f}) {
            addBox(curtains, Vec3{kHalfX - 8.0f, 150.0f, z + side * 78.0f}, Vec3{8.0f, 280.0f, 34.0f}, 60.0f, false);
        }
    }
    scene.meshes.push_back(curtains);
}

// Bookshelves on the left wall, a painting on the front wall, a carpet.
void addShelvesAndPainting(SceneDef& scene)
{
    MeshDef shelves = newMesh("Shelves", "maps/tex/books.jpg");
    for (int i = 0; i < 2; ++i) {
        float z = -170.0f + 340.0f * static_cast<float>(i);
        addBox(shelves, Vec3{-kHalfX + 25.0f, 120.0f, z}, Vec3{50.0f, 240.0f, 160.0f}, 240.0f, false);
    }
    scene.meshes.push_back(shelves);
    MeshDef painting = newMesh("p*painting", "maps/tex/painting.jpg");
    addQuad(painting, Vec3{90.0f, 120.0f, kHalfZ - 2.0f}, Vec3{-90.0f, 120.0f, kHalfZ - 2.0f},
            Vec3{-90.0f, 250.0f, kHalfZ - 2.0f}, Vec3{90.0f, 250.0f, kHalfZ - 2.0f});
    scene.meshes.push_back(painting);
    MeshDef carpet = newMesh("c*carpet", "maps/tex/carpet.jpg");
    addPanel(carpet, Vec3{-180.0f, 1.0f, 130.0f}, Vec3{360.0f, 0.0f, 0.0f}, Vec3{0.0f, 0.0f, -300.0f}, 6, 5, 1000.0f);
    for (tds::TexCoord& t : carpet.mapping)
        t = tds::TexCoord{t.u * 1000.0f / 360.0f, t.v * 1000.0f / 300.0f};
    scene.meshes.push_back(carpet);
}

// Armchairs by the fire and a table with three candles; returns the tips of the candle flames.
std::vector<Vec3> addChairsAndTable(SceneDef& scene, Rng& rng)
{
    for (int i = 0; i < 2; ++i) {
        float x = i == 0 ? -150.0f : 150.0f;
        MeshDef chair = newMesh(numbered("Chair", i), "maps/tex/fabric.jpg");
        addBox(chair, Vec3{x, 25.0f, -150.0f}, Vec3{80.0f, 50.0f, 80.0f}, 60.0f, false);
        addBox(chair, Vec3{x, 75.0f, -115.0f}, Vec3{80.0f, 100.0f, 16.0f}, 60.0f, false);
        addBox(chair, Vec3{x - 36.0f, 60.0f, -150.0f}, Vec3{12.0f, 30.0f, 80.0f}, 60.0f, false);
        addBox(chair, Vec3{x + 36.0f, 60.0f, -150.0f}, Vec3{12.0f, 30.0f, 80.0f}, 60.0f, false);
        rotateY(chair, 0, i == 0 ? 0.5f : -0.5f, Vec3{x, 0.0f, -150.0f});
        scene.meshes.push_back(chair);
    }
    MeshDef table = newMesh("Table", "maps/tex/planks.jpg");
    addBox(table, kTableAt + Vec3{0.0f, 72.0f, 0.0f}, Vec3{160.0f, 6.0f, 90.0f}, 80.0f, true);
    for (float dx : {-70.0f, 70.0f}) {
        for (float dz : {-36.0f, 36.0f})
            addBox(table, kTableAt + Vec3{dx, 35.0f, dz}, Vec3{7.0f, 70.0f, 7.0f}, 40.0f, false);
    }
    scene.meshes.push_back(table);
    MeshDef candles = newMesh("c*candles", "maps/tex/wax.jpg");
    MeshDef holder = newMesh("h*holder", "maps/tex/brass.jpg");
    std::vector<Vec3> flameTips;
    for (int i = 0; i < 3; ++i) {
        Vec3 at =
            kTableAt + Vec3{-40.0f + 40.0f * static_cast<float>(i), 75.0f, static_cast<float>(i % 2) * 10.0f - 5.0f};
        float h = 22.0f + 8.0f * static_cast<float>(i % 2);
        addFrustum(holder, at, 9.0f, 4.0f, 4.0f, 8, 1.0f, 10.0f, true, false);
        addFrustum(candles, at + Vec3{0.0f, 4.0f, 0.0f}, 3.0f, 3.0f, h, 6, 1.0f, 20.0f, true, false);
        MeshDef flame = newMesh(numbered("%*candle", i), "maps/tex/flame.jpg");
        Vec3 base = at + Vec3{0.0f, 4.0f + h, 0.0f};
        addFlames(flame, base, 12.0f, 4.0f, 1, rng);
        setRestPosition(flame, base);
        scene.meshes.push_back(flame);
        flameTips.push_back(base + Vec3{0.0f, 8.0f, 0.0f});
    }
    scene.meshes.push_back(candles);
    scene.meshes.push_back(holder);
    return flameTips;
}

// Emitters: embers over the fire (scattered in its box), sparks up the chimney, a glow over the
// middle candle and dust motes in the moonlight.
void addEmitters(SceneDef& scene, const std::vector<Vec3>& flameTips)
{
    scene.meshes.push_back(boxEmitter("*3embers", "maps/tex/sparkr.jpg", kFireBase + Vec3{-55.0f, 5.0f, -10.0f},
                                      kFireBase + Vec3{55.0f, 40.0f, 15.0f}, kFireBase + Vec3{0.0f, 20.0f, 0.0f}));
    scene.meshes.push_back(
        pointEmitter("*1sparks", "maps/tex/sparkr.jpg", kFireBase + Vec3{0.0f, 40.0f, -15.0f}, 3.0f));
    scene.meshes.push_back(pointEmitter("*2glow", "maps/tex/spark.jpg", flameTips[1]));
    scene.meshes.push_back(pointEmitter("*0dust", "maps/tex/sparkb.jpg", Vec3{kHalfX - 60.0f, 170.0f, 150.0f}));
}

// Lights: the fire, the candles, moonlight through each window.
void addLights(SceneDef& scene, const std::vector<Vec3>& flameTips)
{
    scene.lights.push_back(
        makeLight("FireLight", kFireBase + Vec3{0.0f, 40.0f, 70.0f}, Vec3{1.0f, 0.55f, 0.2f}, 620.0f));
    scene.lights.push_back(
        makeLight("FireGlow", kFireBase + Vec3{0.0f, 10.0f, 40.0f}, Vec3{0.8f, 0.3f, 0.05f}, 260.0f));
    for (size_t i = 0; i < flameTips.size(); ++i) {
        scene.lights.push_back(makeLight(numbered("Candle", static_cast<int>(i)), flameTips[i] + Vec3{0.0f, 6.0f, 0.0f},
                                         Vec3{0.9f, 0.7f, 0.4f}, 230.0f));
    }
    for (int i = 0; i < 2; ++i) {
        float z = -150.0f + 300.0f * static_cast<float>(i);
        scene.lights.push_back(
            makeLight(numbered("Moonbeam", i), Vec3{kHalfX - 70.0f, 200.0f, z}, Vec3{0.3f, 0.4f, 0.75f}, 520.0f));
    }
}

// Cameras: a slow walk in from the door towards the fire, then a turn around the table.
void addCameras(SceneDef& scene)
{
    PathFn eye1 = [](float f) {
        float s = (f - frameOf(0.0f)) / (frameOf(9.0f) - frameOf(0.0f));
        return lerp(Vec3{330.0f, 170.0f, 290.0f}, Vec3{120.0f, 140.0f, 20.0f}, s) +
               Vec3{0.0f, 10.0f * std::sin(s * 3.0f), 0.0f};
    };
    PathFn target1 = [](float f) {
        float s = (f - frameOf(0.0f)) / (frameOf(9.0f) - frameOf(0.0f));
        return lerp(Vec3{-80.0f, 110.0f, -250.0f}, Vec3{0.0f, 70.0f, -320.0f}, s);
    };
    PathFn eye2 = [](float f) {
        float s = (f - frameOf(9.0f)) / (frameOf(17.0f) - frameOf(9.0f));
        float a = -0.2f + 2.0f * s;
        return kTableAt + Vec3{230.0f * std::sin(a), 150.0f - 30.0f * s, 230.0f * std::cos(a) - 40.0f};
    };
    PathFn target2 = [](float f) {
        float s = (f - frameOf(9.0f)) / (frameOf(17.0f) - frameOf(9.0f));
        return lerp(kTableAt + Vec3{0.0f, 80.0f, 0.0f}, Vec3{kHalfX, 160.0f, 0.0f}, s * s);
    };
    uint32_t mid = static_cast<uint32_t>(frameOf(9.0f)), end = static_cast<uint32_t>(frameOf(17.0f));
    scene.cameras.push_back(
        makeCamera("CamEnter", eye1, target1, cameraFrames(static_cast<uint32_t>(frameOf(0.0f)), mid, 30, 1)));
    scene.cameras.push_back(makeCamera("CamTable", eye2, target2, cameraFrames(mid, end, 30, 2)));
}

}  // namespace

SceneDef buildRoom()
{
    SceneDef scene;
    scene.path = "maps/room.3ds";
    scene.frameCount = static_cast<uint32_t>(frameOf(17.0f)) + 90;
    Rng rng(3001u);  // the fire's tongues first, then the candles'
    addShell(scene);
    addFireplace(scene, rng);
    addWindows(scene);
    addShelvesAndPainting(scene);
    std::vector<Vec3> flameTips = addChairsAndTable(scene, rng);
    addEmitters(scene, flameTips);
    addLights(scene, flameTips);
    addCameras(scene);
    return scene;
}

}  // namespace ag
