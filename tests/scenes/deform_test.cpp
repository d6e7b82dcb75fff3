// The Third verse's corner arrays and pushes and the closing scene's streaks on models written with
// the 3DS writer; the two scenes' set-up and wind-down when Escape is already set (no frame drawn).
// Run under AddressSanitizer, the corner tests fail on any write past the arrays.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "written_fixtures.h"
#include "scenes/assets.h"
#include "scenes/closing.h"
#include "scenes/scenes.h"
#include "scenes/third_verse.h"
#include "shell/window.h"

namespace {

// Pushes w as the scene does for one attractor at q, in single-precision factor and double sums.
Vec3d pushedBy(const Vec3d& w, const Vec3d& q, const Vec3d& r, const Vec3d& p, double strength)
{
    const double dx = q.x - (w.x - r.x + p.x);
    const double dy = q.y - (w.y - r.y + p.y);
    const double dz = q.z - (w.z - r.z + p.z);
    const float f = static_cast<float>(strength / (dx * dx + dy * dy + dz * dz));
    return Vec3d{w.x + (w.x - r.x) * f - r.x + p.x, w.y + (w.y - r.y) * f - r.y + p.y,
                 w.z + (w.z - r.z) * f - r.z + p.z};
}

void expectNear(const Vec3d& got, const Vec3d& want, const char* what)
{
    EXPECT_NEAR(got.x, want.x, 1e-9) << what;
    EXPECT_NEAR(got.y, want.y, 1e-9) << what;
    EXPECT_NEAR(got.z, want.z, 1e-9) << what;
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
    fixb::addPositionTrack(scene, "heartA", {Vec3d{-60.0, 0.0, 0.0}, Vec3d{-40.0, 5.0, 0.0}, Vec3d{-20.0, 5.0, 0.0},
                                             Vec3d{0.0, 0.0, 0.0}});
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
    Model model;
    buildMetaFixture(model);
    allocateMetaCorners(model);
    SceneObject* heartA = &model;
    SceneObject* heartB = model.next;
    SceneObject* shellC = heartB->next;
    SceneObject* attractors[2] = {heartA, heartB};
    deformMetaFaces(model, attractors);
    const Vec3d qA = heartA->position;
    const Vec3d qB = heartB->position;
    EXPECT_DOUBLE_EQ(qA.x, -60.0);
    EXPECT_DOUBLE_EQ(qB.x, 60.0);

    // heartA's first face: only heartB pushes it.
    const Vec3d a0 = heartA->vertices[heartA->faces[0].a];
    expectNear(firstCorners[0], pushedBy(a0, qB, heartA->basePosition, heartA->position, 7500.0), "heartA");
    // heartB's first face (entry 2): only heartA.
    const Vec3d b0 = heartB->vertices[heartB->faces[0].b];
    expectNear(secondCorners[2], pushedBy(b0, qA, heartB->basePosition, heartB->position, 7500.0), "heartB");
    // shellC's first face (entry 4): heartA, then heartB from where heartA left it.
    const Vec3d c0 = shellC->vertices[shellC->faces[0].c];
    const Vec3d afterA = pushedBy(c0, qA, shellC->basePosition, shellC->position, 7500.0);
    expectNear(thirdCorners[4], pushedBy(afterA, qB, shellC->basePosition, shellC->position, 7500.0), "shellC");
    EXPECT_NE(thirdCorners[4].x, c0.x);
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
    fixb::addPositionTrack(scene, "blobC", {Vec3d{0.0, -70.0, 20.0}, Vec3d{0.0, -60.0, 20.0}, Vec3d{0.0, -50.0, 20.0},
                                            Vec3d{0.0, -40.0, 20.0}, Vec3d{0.0, -30.0, 20.0}});
    fixb::load(model, scene);
}

// One streak bent by the given attractors in turn, with the carried factor f, as the scene does.
Streak bendByHand(const SceneObject& object, int face, const std::vector<Vec3d>& attractors, float& f)
{
    Vec3d w1 = object.vertices[object.faces[face].a];
    Vec3d w2 = object.vertices[object.faces[face].b];
    const Vec3d r = object.basePosition;
    const Vec3d p = object.position;
    for (const Vec3d& q : attractors) {
        w1 = Vec3d{w1.x + (w1.x - r.x) * f - r.x + p.x, w1.y + (w1.y - r.y) * f - r.y + p.y,
                   w1.z + (w1.z - r.z) * f - r.z + p.z};
        const double dx = q.x - (w2.x - r.x + p.x);
        const double dy = q.y - (w2.y - r.y + p.y);
        const double dz = q.z - (w2.z - r.z + p.z);
        f = static_cast<float>(6000.0 / (dx * dx + dy * dy + dz * dz));
        w2 = Vec3d{w2.x + (w2.x - r.x) * f - r.x + p.x, w2.y + (w2.y - r.y) * f - r.y + p.y,
                   w2.z + (w2.z - r.z) * f - r.z + p.z};
    }
    return Streak{w1, w2, object.vertices[object.faces[face].c]};
}

}  // namespace

TEST(ClosingStreaks, FactorIsCarriedFromAttractorToAttractorFaceToFaceObjectToObject)
{
    Model model;
    buildClosingFixture(model);
    SceneObject* blobA = &model;
    SceneObject* blobB = blobA->next;
    SceneObject* blobC = blobB->next;
    SceneObject* sheetD = blobC->next;
    SceneObject* sheetE = sheetD->next;
    SceneObject* attractors[3] = {blobA, blobB, blobC};
    std::vector<Streak> streaks;
    bendStreaks(model, attractors, 2.5f, collect, &streaks);

    // blobC (13 faces) gives one streak, bent by A and B only; sheetD two, sheetE one.
    ASSERT_EQ(streaks.size(), 4u);
    float f = 2.5f;
    const std::vector<Vec3d> ab = {blobA->position, blobB->position};
    const std::vector<Vec3d> abc = {blobA->position, blobB->position, blobC->position};
    const Streak expected[4] = {bendByHand(*blobC, 0, ab, f), bendByHand(*sheetD, 0, abc, f),
                                bendByHand(*sheetD, 12, abc, f), bendByHand(*sheetE, 0, abc, f)};
    for (int i = 0; i < 4; ++i) {
        expectNear(streaks[i].w1, expected[i].w1, "w1");
        expectNear(streaks[i].w2, expected[i].w2, "w2");
        // w3 is never moved.
        expectNear(streaks[i].w3, expected[i].w3, "w3");
    }
    // Had the factor been restarted for each face, sheetD's second streak would differ.
    float fresh = 2.5f;
    const Streak restarted = bendByHand(*sheetD, 12, abc, fresh);
    EXPECT_GT(std::fabs(restarted.w1.x - streaks[2].w1.x), 1e-6);
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
