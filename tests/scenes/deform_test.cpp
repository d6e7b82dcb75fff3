// The Third verse's corner arrays and pushes and the closing scene's streaks on models written with
// the 3DS writer; the two scenes' set-up and wind-down when Escape is already set (no frame drawn).
// Run under AddressSanitizer, the corner tests fail on any write past the arrays.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "scene_fixtures.h"
#include "scenes/assets.h"
#include "scenes/closing.h"
#include "scenes/scenes.h"
#include "scenes/third_verse.h"
#include "shell/window.h"
#include "written_fixtures.h"

namespace {

// Within what the single-precision push factor leaves of a hand-worked value.
void expectNear(const Vec3d& got, const Vec3d& want, const char* what)
{
    EXPECT_NEAR(got.x, want.x, 1e-4) << what;
    EXPECT_NEAR(got.y, want.y, 1e-4) << what;
    EXPECT_NEAR(got.z, want.z, 1e-4) << what;
}

// A mesh of the given faces, all over the vertices a, b, c (index 0, 1, 2).
SceneObject* meshOf(Model& model, const char* name, int faces, const Vec3d& a, const Vec3d& b, const Vec3d& c)
{
    SceneObject* object = scenefix::addObject(model, ObjectKind::Mesh, name);
    scenefix::setMesh(object, {a, b, c}, std::vector<Face>(static_cast<size_t>(faces), Face{0, 1, 2, 0}));
    return object;
}

// Runs a scene with Escape already pressed: its set-up and wind-down, no frame.
void runEscaped(void (*scene)())
{
    escapeFlag = true;
    scene();
    escapeFlag = false;
}

// A meta-like model: two small attractor meshes first, then meshes with many more faces.
void buildMetaFixture(Model& model)
{
    tds::Scene scene;
    fixb::addTriangles(scene, "heartA", 2, Vec3d{0.0, 0.0, 0.0});
    fixb::addTriangles(scene, "heartB", 2, Vec3d{0.0, 0.0, 0.0});
    fixb::addTriangles(scene, "shellC", 40, Vec3d{-20.0, 30.0, 5.0});
    fixb::addTriangles(scene, "shellD", 7, Vec3d{10.0, -30.0, -5.0});
    fixb::addPositionTrack(
        scene, "heartA",
        {Vec3d{-60.0, 0.0, 0.0}, Vec3d{-40.0, 5.0, 0.0}, Vec3d{-20.0, 5.0, 0.0}, Vec3d{0.0, 0.0, 0.0}});
    fixb::addPositionTrack(scene, "heartB", {Vec3d{60.0, 10.0, 0.0}});
    fixb::load(model, scene);
}

}  // namespace

TEST(ThirdVerseCorners, HoldEveryFaceOfAllMeshes)
{
    Model model;
    buildMetaFixture(model);
    ASSERT_EQ(model.objectCount, 4);
    // The meshes hold far more faces than twice the first object's 2.
    EXPECT_EQ(countMeshFaces(model), 2 + 2 + 40 + 7);
    EXPECT_GT(countMeshFaces(model), 2 * model.faceCount);

    allocateMetaCorners(model);
    ASSERT_NE(firstCorners, nullptr);
    EXPECT_EQ(metaCornerCapacity, 51);
    SceneObject* attractors[2] = {&model, model.next};
    EXPECT_EQ(deformMetaFaces(model, attractors), 51);
    // The drawing order: the last entry is the last face of the last mesh.
    EXPECT_TRUE(std::isfinite(thirdCorners[50].x));
    EXPECT_EQ(model.cursor, &model);
    releaseMetaCorners();
    EXPECT_EQ(firstCorners, nullptr);
    EXPECT_EQ(metaCornerCapacity, 0);
}

TEST(ThirdVerseCorners, NeverWritePastASmallerRoom)
{
    Model model;
    buildMetaFixture(model);
    allocateMetaCorners(model);
    // Whatever the arrays were given, the walk stops at their room.
    metaCornerCapacity = 5;
    SceneObject* attractors[2] = {&model, model.next};
    EXPECT_EQ(deformMetaFaces(model, attractors), 5);
    releaseMetaCorners();
}

TEST(ThirdVerseCorners, AttractorsPushTheOthersButNeverThemselves)
{
    // Two one-face attractor meshes at their positions A (-40, 0, 0) and B (40, 50, 0), resting
    // at the origin, then a mesh at rest at the origin. A push moves w to w + w f + p with
    // f = 7500 / d2, d2 the squared distance from the attractor to w + p.
    Model model;
    SceneObject* heartA = meshOf(model, "heartA", 1, {0, 10, 0}, {0, 0, 0}, {0, 0, 0});
    SceneObject* heartB = meshOf(model, "heartB", 1, {0, 0, 0}, {0, 0, 10}, {0, 0, 0});
    meshOf(model, "shellC", 1, {0, 0, 0}, {0, 0, 0}, {10, 0, 0});
    heartA->position = Vec3d{-40, 0, 0};
    heartB->position = Vec3d{40, 50, 0};
    allocateMetaCorners(model);
    SceneObject* attractors[2] = {heartA, heartB};
    ASSERT_EQ(deformMetaFaces(model, attractors), 3);

    // heartA's (0, 10, 0) by B only: d2 = 80^2 + 40^2 = 8000, f = 0.9375.
    expectNear(firstCorners[0], Vec3d{-40, 19.375, 0}, "heartA");
    // heartB's (0, 0, 10) by A only: d2 = 80^2 + 50^2 + 10^2 = 9000, f = 5 / 6.
    expectNear(secondCorners[1], Vec3d{40, 50, 18.333333}, "heartB");
    // shellC's (10, 0, 0): A gives d2 = 2500, f = 3, to (40, 0, 0); from there B gives d2 = 2500
    // again, f = 3, to (160, 0, 0).
    expectNear(thirdCorners[2], Vec3d{160, 0, 0}, "shellC");
    releaseMetaCorners();
}

TEST(ThirdVerseCorners, CornerOnAnAttractorIsLeftWhereItIs)
{
    const Vec3d r{5.0, 0.0, 0.0};
    const Vec3d p{7.0, 1.0, 0.0};
    // w - r + p lands exactly on q.
    const Vec3d w{10.0, 2.0, 3.0};
    const Vec3d q{12.0, 3.0, 3.0};
    const Vec3d kept = pushedMetaCorner(w, q, r, p, metaPushStrength);
    EXPECT_EQ(kept.x, w.x);
    EXPECT_EQ(kept.y, w.y);
    EXPECT_EQ(kept.z, w.z);
    // A hair away the push is huge but finite, and still sent.
    const Vec3d near = pushedMetaCorner(w, Vec3d{12.0 + 1e-3, 3.0, 3.0}, r, p, metaPushStrength);
    EXPECT_TRUE(std::isfinite(near.x));
    EXPECT_GT(std::fabs(near.x - w.x), 1e5);
    // A finite push that would carry the corner out of single precision is left out too:
    // f = 1e20 on a corner 1e20 from its rest position.
    const Vec3d far{1e20, 0.0, 0.0};
    const Vec3d stays = pushedMetaCorner(far, Vec3d{1e20, std::sqrt(7.5e-17), 0.0}, Vec3d{}, Vec3d{}, metaPushStrength);
    EXPECT_EQ(stays.x, far.x);
    EXPECT_EQ(stays.y, far.y);
}

TEST(ThirdVerseScene, SetUpAndReleaseOnEscape)
{
    Model model;
    buildMetaFixture(model);
    Model* saved = metaModel;
    metaModel = &model;
    runEscaped(thirdVerseScene);
    metaModel = saved;
    // The first object's 4 keys bound the animation; the first two objects attract.
    EXPECT_EQ(model.endFrame, 3);
    EXPECT_EQ(metaAttractors[0], &model);
    EXPECT_EQ(metaAttractors[1], model.next);
    EXPECT_EQ(model.cursor, &model);
    // The arrays lived only while the scene ran.
    EXPECT_EQ(firstCorners, nullptr);
    EXPECT_EQ(secondCorners, nullptr);
    EXPECT_EQ(thirdCorners, nullptr);
}

namespace {

struct Streak {
    Vec3d w1;
    Vec3d w2;
    Vec3d w3;
};

void collect(const Vec3d& w1, const Vec3d& w2, const Vec3d& w3, void* context)
{
    static_cast<std::vector<Streak>*>(context)->push_back(Streak{w1, w2, w3});
}

// Three one-face attractor meshes, then a mesh of 25 faces (two streaks) and one of 13 (one).
void buildClosingFixture(Model& model)
{
    tds::Scene scene;
    fixb::addTriangles(scene, "blobA", 1, Vec3d{});
    fixb::addTriangles(scene, "blobB", 1, Vec3d{});
    fixb::addTriangles(scene, "blobC", 13, Vec3d{});
    fixb::addTriangles(scene, "sheetD", 25, Vec3d{10.0, 20.0, 30.0});
    fixb::addTriangles(scene, "sheetE", 13, Vec3d{-10.0, 40.0, -30.0});
    fixb::addPositionTrack(scene, "blobA", {Vec3d{-80.0, 0.0, 0.0}});
    fixb::addPositionTrack(scene, "blobB", {Vec3d{80.0, 30.0, 0.0}});
    fixb::addPositionTrack(scene, "blobC",
                           {Vec3d{0.0, -70.0, 20.0}, Vec3d{0.0, -60.0, 20.0}, Vec3d{0.0, -50.0, 20.0},
                            Vec3d{0.0, -40.0, 20.0}, Vec3d{0.0, -30.0, 20.0}});
    fixb::load(model, scene);
}

}  // namespace

TEST(ClosingStreaks, FactorIsCarriedFromAttractorToAttractorAndFaceToFace)
{
    // Two lights at q1 (0, 10, 100) and q2 (0, 16, -50), then a sheet of 25 faces (streaks from
    // faces 0 and 12) over (1, 0, 0), (0, 10, 0) and the origin, at rest at the origin; the sheet is
    // the third attractor and so skips itself. Each attractor first bends w1 by the factor in
    // hand, w1 (1 + f), then takes f = 6000 / d2 from w2 and bends w2 (1 + f).
    Model model;
    SceneObject* q1 = scenefix::addObject(model, ObjectKind::Light, "q1");
    SceneObject* q2 = scenefix::addObject(model, ObjectKind::Light, "q2");
    SceneObject* sheet = meshOf(model, "sheet", 25, {1, 0, 0}, {0, 10, 0}, {0, 0, 0});
    q1->position = Vec3d{0, 10, 100};
    q2->position = Vec3d{0, 16, -50};
    SceneObject* attractors[3] = {q1, q2, sheet};
    std::vector<Streak> streaks;
    bendStreaks(model, attractors, 2.0f, collect, &streaks);

    ASSERT_EQ(streaks.size(), 2u);
    // Face 0: w1 x 3 by f = 2; q1 at d2 = 10000 gives f = 0.6, w2 to (0, 16, 0); w1 x 1.6; q2 at
    // d2 = 2500 gives f = 2.4, w2 to (0, 54.4, 0).
    expectNear(streaks[0].w1, Vec3d{4.8, 0, 0}, "face 0 w1");
    expectNear(streaks[0].w2, Vec3d{0, 54.4, 0}, "face 0 w2");
    // Face 12 starts from the carried 2.4: w1 x 3.4, then x 1.6.
    expectNear(streaks[1].w1, Vec3d{5.44, 0, 0}, "face 12 w1");
    expectNear(streaks[1].w2, Vec3d{0, 54.4, 0}, "face 12 w2");
    // w3 is never moved.
    expectNear(streaks[1].w3, Vec3d{0, 0, 0}, "w3");
    EXPECT_EQ(model.cursor, &model);
}

TEST(ClosingStreaks, CornerOnAnAttractorKeepsTheFactor)
{
    Vec3d w1{1.0, 0.0, 0.0};
    Vec3d w2{0.0, 2.0, 0.0};
    float f = 3.0f;
    // w2 with its object (r = p = 0) sits exactly on q.
    bendStreak(w1, w2, Vec3d{0.0, 2.0, 0.0}, Vec3d{}, Vec3d{}, f);
    EXPECT_EQ(f, 3.0f);
    EXPECT_DOUBLE_EQ(w1.x, 4.0);  // w1 still bent by the factor in hand
    EXPECT_DOUBLE_EQ(w2.y, 2.0);
    EXPECT_TRUE(std::isfinite(w2.x) && std::isfinite(w2.y) && std::isfinite(w2.z));
}

TEST(ClosingScene, SetUpPutsPositionsBackOnEscape)
{
    Model model;
    buildClosingFixture(model);
    SceneObject* blobC = model.next->next;
    // As if an earlier run had moved it along.
    blobC->positionKeyIndex = 6;
    blobC->position = Vec3d{1.0, 2.0, 3.0};
    blobC->basePosition = Vec3d{4.0, 5.0, 6.0};
    Model* saved = choseModel2;
    choseModel2 = &model;
    runEscaped(closingScene);
    choseModel2 = saved;

    EXPECT_EQ(model.endFrame, 0);  // the first object has one key
    EXPECT_EQ(closingAttractors[0], &model);
    EXPECT_EQ(closingAttractors[1], model.next);
    EXPECT_EQ(closingAttractors[2], blobC);
    EXPECT_EQ(blobC->positionKeyIndex, 3u);
    EXPECT_DOUBLE_EQ(blobC->position.y, -70.0);
    EXPECT_DOUBLE_EQ(blobC->basePosition.y, -70.0);
    EXPECT_EQ(model.cursor, &model);
}
