// Keyframe animation on fixture scenes written with the 3DS writer and on models put together in
// memory: the frame clamp, camera hand-over, the camera curves and angles, the object key chains,
// and the short or missing tracks a user's file may hold.
#include <gtest/gtest.h>

#include <cmath>

#include "core/clock.h"
#include "core/geometry.h"
#include "fixtures.h"
#include "render/animation.h"

namespace {

using rfix::Key;

void expectNear(const Vec3d& actual, const Vec3d& expected, double tolerance = 1e-3)
{
    EXPECT_NEAR(actual.x, expected.x, tolerance);
    EXPECT_NEAR(actual.y, expected.y, tolerance);
    EXPECT_NEAR(actual.z, expected.z, tolerance);
}

double distance(const Vec3d& a, const Vec3d& b)
{
    return std::sqrt((a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y) + (a.z - b.z) * (a.z - b.z));
}

// Eye keys of the first camera (frames 0..40) and of the second (30..70), targets below them.
const Vec3d eye1[5] = {{0, 50, 0}, {100, 60, 0}, {200, 50, 50}, {300, 70, 0}, {400, 50, -50}};
const Vec3d target1[5] = {{0, 0, -200}, {100, 0, -200}, {200, 10, -150}, {300, 0, -200}, {400, 0, -250}};
const Vec3d eye2[5] = {{1000, 80, 0}, {1100, 90, 10}, {1200, 80, 0}, {1300, 70, -20}, {1400, 80, 0}};
const Vec3d target2[5] = {{1000, 0, -300}, {1100, 0, -300}, {1200, 0, -300}, {1300, 0, -300}, {1400, 0, -300}};
// The 7-key track: ends of its segments at keys 0, 3, 6.
const Vec3d seven[7] = {{0, 0, 0}, {10, 10, 0}, {20, 10, 0}, {30, 0, 0}, {40, -10, 0}, {50, -10, 0}, {60, 0, 0}};

std::vector<Key> keys(const Vec3d* values, int count, uint32_t firstFrame, uint32_t step)
{
    std::vector<Key> result;
    for (int i = 0; i < count; ++i)
        result.push_back(Key{firstFrame + step * i, values[i]});
    return result;
}

// Two cameras in turn (frame range 10 .. 50 from their keys), a mesh on a 7-key track and a mesh
// with a single key.
class TwoCameraScene : public ::testing::Test {
protected:
    void SetUp() override
    {
        tds::Scene scene;
        rfix::addCamera(scene, "cam1", keys(eye1, 5, 0, 10), keys(target1, 5, 0, 10));
        rfix::addCamera(scene, "cam2", keys(eye2, 5, 30, 10), keys(target2, 5, 30, 10));
        rfix::addMovingMesh(scene, "seven", keys(seven, 7, 10, 5));
        rfix::addMovingMesh(scene, "still", {Key{0, Vec3d{5, 5, 5}}});
        // One rotation key for the still mesh as well.
        scene.nodes.back().hasRotation = true;
        scene.nodes.back().rotation.keys = {tds::rotationKey(0, 0.5f, tds::Vec3{0, 0, 1})};
        ASSERT_TRUE(rfix::loadScene(model, scene));
        ASSERT_EQ(model.cameraCount, 2);
        ASSERT_EQ(model.startFrame, 10);
        ASSERT_EQ(model.endFrame, 50);
        sceneDuration = 10.0f;
    }

    // Animates at the scene time that gives the frame (frame = 10 + 4 t).
    void animateAtFrame(double frame)
    {
        sceneTime = static_cast<float>((frame - 10.0) / 4.0);
        model.animate();
        ASSERT_NEAR(model.currentFrame, frame, 1e-4);
    }

    SceneObject* object(const char* name) { return model.findObject(name); }

    Model model;
};

TEST(RadiansToDegrees, UsesTheConstant31415)
{
    EXPECT_DOUBLE_EQ(radiansToDegrees(3.1415), 180.0);
    EXPECT_GT(radiansToDegrees(M_PI), 180.0);
}

TEST_F(TwoCameraScene, FrameRunsFromStartFrameToEndFrameMinusOne)
{
    sceneTime = 0.0f;
    model.animate();
    EXPECT_EQ(model.currentFrame, 10.0);
    sceneTime = 2.5f;
    model.animate();
    EXPECT_NEAR(model.currentFrame, 20.0, 1e-6);
    // A fraction of a frame between endFrame - 1 and endFrame is left as computed; past it the
    // last whole frame stands.
    sceneTime = 9.875f;
    model.animate();
    EXPECT_NEAR(model.currentFrame, 49.5, 1e-4);
    for (float t : {10.0f, 12.0f}) {
        sceneTime = t;
        model.animate();
        EXPECT_EQ(model.currentFrame, 49.0) << t;
    }
    EXPECT_EQ(model.cursor, &model);
    // A clock of no length stays on the first frame rather than dividing by zero.
    sceneDuration = 0.0f;
    sceneTime = 0.0f;
    model.animate();
    EXPECT_EQ(model.currentFrame, 10.0);
}

TEST_F(TwoCameraScene, CameraKeyOnTheCurrentFrameStartsTheNextSegment)
{
    animateAtFrame(20.0);
    const SceneObject* cam = model.cameras[0];
    EXPECT_EQ(model.currentCamera, 0);
    EXPECT_EQ(cam->positionKeyIndex, 2u);
    EXPECT_EQ(cam->rotationKeyIndex, 2u);
    expectNear(cam->cameraPosition, eye1[2]);
    expectNear(cam->cameraTarget, target1[2]);
}

TEST_F(TwoCameraScene, EyeFollowsCatmullRomSearchedFromKeyZeroEvenWhenTimeGoesBack)
{
    // Frame 28 leaves the search on segment 2; going back to 15 must find segment 1 again.
    animateAtFrame(28.0);
    ASSERT_EQ(model.cameras[0]->positionKeyIndex, 2u);
    animateAtFrame(15.0);
    const SceneObject* cam = model.cameras[0];
    EXPECT_EQ(model.currentCamera, 0);
    ASSERT_EQ(cam->positionKeyIndex, 1u);
    ASSERT_EQ(cam->rotationKeyIndex, 1u);
    // Halfway through a uniform Catmull-Rom segment: (-K0 + 9 K1 + 9 K2 - K3) / 16.
    expectNear(cam->cameraPosition, Vec3d{150.0, 54.375, 28.125});
    expectNear(cam->cameraTarget, Vec3d{150.0, 5.625, -171.875});
}

TEST_F(TwoCameraScene, CamerasHandOverInListOrderAndNeverGoBack)
{
    animateAtFrame(10.0);
    EXPECT_EQ(model.currentCamera, 0);
    // On the first camera's last segment at its end: u = 1 gives its key 3.
    animateAtFrame(30.0);
    EXPECT_EQ(model.currentCamera, 0);
    expectNear(model.cameras[0]->cameraPosition, eye1[3]);
    // The next frame past that key hands over; the new camera's search ends at its key 0, whose
    // missing key -1 is replaced by key 0.
    animateAtFrame(32.0);
    ASSERT_EQ(model.currentCamera, 1);
    const SceneObject* cam = model.cameras[1];
    EXPECT_EQ(cam->positionKeyIndex, 0u);
    expectNear(cam->cameraPosition, catmullRomPoint(eye2[0], eye2[0], eye2[1], eye2[2], 0.2));
    // The last camera keeps the view to the end, and time running back does not bring back the first.
    animateAtFrame(49.0);
    EXPECT_EQ(model.currentCamera, 1);
    animateAtFrame(10.0);
    EXPECT_EQ(model.currentCamera, 1);
}

TEST_F(TwoCameraScene, SevenKeyTrackPassesTheSegmentEndsButNotItsControlKeys)
{
    SceneObject* mesh = object("seven");
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->positionKeyCount, 7u);
    animateAtFrame(10.0);
    expectNear(mesh->position, seven[0]);
    animateAtFrame(25.0);
    expectNear(mesh->position, seven[3]);
    EXPECT_EQ(mesh->positionKeyIndex, 6u);

    double nearest[4] = {1e9, 1e9, 1e9, 1e9};
    const int controls[4] = {1, 2, 4, 5};
    for (int step = 0; step <= 120; ++step) {
        const double frame = 25.0 + step * 0.125;
        animateAtFrame(frame);
        for (int c = 0; c < 4; ++c)
            nearest[c] = std::min(nearest[c], distance(mesh->position, seven[controls[c]]));
    }
    expectNear(mesh->position, seven[6]);
    // Near, but never through, the control keys of the second segment.
    EXPECT_GT(nearest[2], 1.0);
    EXPECT_LT(nearest[2], 6.0);
    EXPECT_GT(nearest[3], 1.0);
    EXPECT_LT(nearest[3], 6.0);

    // The key index never goes back: earlier frames extrapolate the last segment backwards.
    animateAtFrame(12.0);
    EXPECT_EQ(mesh->positionKeyIndex, 6u);
    const float t = static_cast<float>((12.0 - 25.0) / 15.0);
    expectNear(mesh->position, bezierPoint(seven[3], seven[4], seven[5], seven[6], t));
}

TEST_F(TwoCameraScene, FirstSegmentOfTheSevenKeyTrackPassesNearItsControlKeys)
{
    SceneObject* mesh = object("seven");
    double nearest1 = 1e9, nearest2 = 1e9;
    for (int step = 0; step <= 120; ++step) {
        animateAtFrame(10.0 + step * 0.125);
        nearest1 = std::min(nearest1, distance(mesh->position, seven[1]));
        nearest2 = std::min(nearest2, distance(mesh->position, seven[2]));
    }
    EXPECT_GT(nearest1, 1.0);
    EXPECT_LT(nearest1, 6.0);
    EXPECT_GT(nearest2, 1.0);
    EXPECT_LT(nearest2, 6.0);
}

TEST_F(TwoCameraScene, OneKeyObjectNeverMoves)
{
    SceneObject* mesh = object("still");
    ASSERT_NE(mesh, nullptr);
    const Vec3d position = mesh->position;
    const Vec3d rotation = mesh->rotation;
    expectNear(position, Vec3d{5, 5, 5});
    for (double frame : {10.0, 27.5, 49.0}) {
        animateAtFrame(frame);
        EXPECT_EQ(mesh->position.x, position.x);
        EXPECT_EQ(mesh->position.y, position.y);
        EXPECT_EQ(mesh->position.z, position.z);
        EXPECT_EQ(mesh->rotation.x, rotation.x);
        EXPECT_EQ(mesh->rotation.y, rotation.y);
        EXPECT_EQ(mesh->rotation.z, rotation.z);
    }
}

// One camera whose eye and target keys stay at fixed points, over frames 0 .. 30.
class FixedCamera : public ::testing::Test {
protected:
    void load(Vec3d eye, Vec3d target, bool withTarget = true)
    {
        tds::Scene scene;
        std::vector<Key> eyes, targets;
        for (uint32_t i = 0; i < 4; ++i) {
            eyes.push_back(Key{i * 10, eye});
            targets.push_back(Key{i * 10, target});
        }
        rfix::addCamera(scene, "cam", eyes, withTarget ? targets : std::vector<Key>());
        ASSERT_TRUE(rfix::loadScene(model, scene));
        ASSERT_EQ(model.cameraCount, 1);
        sceneDuration = 1.0f;
        sceneTime = 0.5f;
    }

    Model model;
};

TEST_F(FixedCamera, LookingAlongMinusZFromAboveGivesYawZeroAndPositivePitch)
{
    load(Vec3d{0, 100, 100}, Vec3d{0, 0, 0});
    model.animate();
    const SceneObject* cam = model.cameras[0];
    EXPECT_EQ(cam->rotation.y, 0.0);
    EXPECT_NEAR(cam->rotation.x, radiansToDegrees(std::acos(std::sqrt(0.5))), 1e-9);
    EXPECT_GT(cam->rotation.x, 45.0);
}

TEST(CameraYaw, TurnsTowardTheTargetOnEitherSide)
{
    // Eye at the origin, target on a level circle; 90 and 135 degrees through 180 / 3.1415.
    const struct {
        Vec3d target;
        double yaw;
    } cases[] = {{{100, 0, 0}, 90.00265},
                 {{-100, 0, 0}, -90.00265},
                 {{100, 0, 100}, 135.00398},
                 {{-100, 0, 100}, -135.00398},
                 {{-100, 0, -100}, -45.00133}};
    sceneDuration = 1.0f;
    sceneTime = 0.0f;
    for (const auto& c : cases) {
        Model model;
        SceneObject* cam = rfix::appendCamera(model, "cam", Vec3d{0, 0, 0}, c.target);
        model.animate();
        EXPECT_NEAR(cam->rotation.y, c.yaw, 1e-4) << "target x " << c.target.x << " z " << c.target.z;
        EXPECT_NEAR(cam->rotation.x, 0.0, 1e-5);
    }
}

TEST_F(FixedCamera, StraightDownKeepsThePreviousYaw)
{
    load(Vec3d{0, 100, 0}, Vec3d{0, 0, 0});
    model.cameras[0]->rotation.y = 17.0;
    model.cameras[0]->rotation.z = 3.0;
    model.animate();
    const SceneObject* cam = model.cameras[0];
    EXPECT_EQ(cam->rotation.y, 17.0);
    EXPECT_EQ(cam->rotation.z, 3.0);
    EXPECT_NEAR(cam->rotation.x, radiansToDegrees(M_PI / 2.0), 1e-9);
    EXPECT_FALSE(std::isnan(cam->rotation.x));
}

TEST_F(FixedCamera, StraightUpAndEyeOnTargetGiveFinitePitch)
{
    load(Vec3d{0, 0, 0}, Vec3d{0, 100, 0});
    model.cameras[0]->rotation.y = -5.0;
    model.animate();
    EXPECT_EQ(model.cameras[0]->rotation.y, -5.0);
    EXPECT_NEAR(model.cameras[0]->rotation.x, -radiansToDegrees(M_PI / 2.0), 1e-9);

    Model same;
    tds::Scene scene;
    rfix::addCamera(scene, "cam", {Key{0, {1, 2, 3}}, Key{10, {1, 2, 3}}, Key{20, {1, 2, 3}}},
                    {Key{0, {1, 2, 3}}, Key{10, {1, 2, 3}}, Key{20, {1, 2, 3}}});
    ASSERT_TRUE(rfix::loadScene(same, scene));
    same.cameras[0]->rotation.y = 8.0;
    same.animate();
    EXPECT_EQ(same.cameras[0]->rotation.y, 8.0);
    EXPECT_FALSE(std::isnan(same.cameras[0]->rotation.x));
}

TEST_F(FixedCamera, CameraWithoutTargetTrackKeepsItsChunkTarget)
{
    load(Vec3d{10, 20, 30}, Vec3d{}, false);
    const Vec3d chunkTarget = model.cameras[0]->cameraTarget;
    model.animate();
    expectNear(model.cameras[0]->cameraPosition, Vec3d{10, 20, 30});
    expectNear(model.cameras[0]->cameraTarget, chunkTarget);
    EXPECT_EQ(model.cameras[0]->rotationKeyIndex, 0u);
}

// ---- Tracks of any length, built in memory ------------------------------------------------

class MemoryModel : public ::testing::Test {
protected:
    void SetUp() override
    {
        sceneDuration = 10.0f;
        model.startFrame = 0;
        model.endFrame = 100;  // frame = 10 t, at most 99
    }

    void animateAtFrame(double frame)
    {
        sceneTime = static_cast<float>(frame / 10.0);
        model.animate();
    }

    Model model;
};

TEST_F(MemoryModel, TwoAndThreeKeyTracksMoveOnTheLineFromFirstToLastKey)
{
    SceneObject* two = rfix::appendObject(model, "two", ObjectKind::Mesh);
    rfix::setPositionTrack(*two, {Key{20, {0, 0, 0}}, Key{40, {100, 0, 0}}});
    SceneObject* three = rfix::appendObject(model, "three", ObjectKind::Mesh);
    rfix::setPositionTrack(*three, {Key{20, {0, 0, 0}}, Key{30, {500, 500, 500}}, Key{40, {0, 100, 0}}});
    rfix::setRotationTrack(*three, {Key{20, {0, 0, 0}}, Key{40, {0, 90, 0}}});

    animateAtFrame(10.0);
    expectNear(two->position, Vec3d{0, 0, 0});
    animateAtFrame(30.0);
    expectNear(two->position, Vec3d{50, 0, 0});
    expectNear(three->position, Vec3d{0, 50, 0});
    expectNear(three->rotation, Vec3d{0, -45, 0});
    animateAtFrame(60.0);
    expectNear(two->position, Vec3d{100, 0, 0});
    expectNear(three->position, Vec3d{0, 100, 0});
}

TEST_F(MemoryModel, RotationTrackIsNegatedAndLightRecordFollowsItsObject)
{
    SceneObject* lamp = rfix::appendObject(model, "lamp", ObjectKind::Light);
    rfix::setPositionTrack(*lamp, {Key{0, {0, 0, 0}}, Key{10, {0, 0, 0}}, Key{20, {30, 0, 0}}, Key{30, {30, 0, 0}}});
    rfix::setRotationTrack(*lamp, {Key{0, {0, 0, 0}}, Key{10, {0, 10, 0}}, Key{20, {0, 20, 0}}, Key{30, {0, 30, 0}}});
    animateAtFrame(15.0);
    const float t = 0.5f;
    expectNear(lamp->position, bezierPoint({0, 0, 0}, {0, 0, 0}, {30, 0, 0}, {30, 0, 0}, t));
    expectNear(lamp->light.position, lamp->position, 0.0);
    expectNear(lamp->rotation, Vec3d{0, -15, 0});
}

TEST_F(MemoryModel, TrackPastItsLastWholeSegmentIsExtrapolated)
{
    SceneObject* mesh = rfix::appendObject(model, "five", ObjectKind::Mesh);
    rfix::setPositionTrack(*mesh, {Key{0, {0, 0, 0}}, Key{10, {10, 0, 0}}, Key{20, {20, 0, 0}}, Key{30, {30, 0, 0}},
                                   Key{40, {1000, 1000, 1000}}});
    animateAtFrame(45.0);
    EXPECT_EQ(mesh->positionKeyIndex, 3u);
    // Key 4 is never reached: the first segment, a straight line, goes on to 45.
    expectNear(mesh->position, Vec3d{45, 0, 0});
}

TEST_F(MemoryModel, KeysOnOneFrameJumpRatherThanDivideByZero)
{
    // The camera search stops on its last segment, keys 2 and 3, both on frame 20: key 2 is shown.
    SceneObject* cam = rfix::appendCamera(model, "cam", Vec3d{}, Vec3d{});
    rfix::setPositionTrack(
        *cam, {Key{0, {0, 0, 0}}, Key{10, {10, 0, 0}}, Key{20, {20, 5, 0}}, Key{20, {30, 0, 0}}, Key{30, {40, 0, 0}}});
    // An object segment of no length: its start before its frame, its end from then on.
    SceneObject* mesh = rfix::appendObject(model, "jump", ObjectKind::Mesh);
    rfix::setPositionTrack(*mesh, {Key{20, {0, 0, 0}}, Key{20, {7, 7, 7}}, Key{20, {8, 8, 8}}, Key{20, {30, 0, 0}}});
    animateAtFrame(10.0);
    expectNear(mesh->position, Vec3d{0, 0, 0});
    animateAtFrame(25.0);
    EXPECT_EQ(cam->positionKeyIndex, 2u);
    expectNear(cam->cameraPosition, Vec3d{20, 5, 0});
    expectNear(mesh->position, Vec3d{30, 0, 0});
}

TEST_F(MemoryModel, ModelWithoutCamerasStillMovesItsObjects)
{
    SceneObject* mesh = rfix::appendObject(model, "mover", ObjectKind::Mesh);
    rfix::setPositionTrack(*mesh, {Key{0, {0, 0, 0}}, Key{10, {10, 0, 0}}, Key{20, {20, 0, 0}}, Key{30, {30, 0, 0}}});
    animateAtFrame(15.0);
    expectNear(mesh->position, Vec3d{15, 0, 0});
    EXPECT_EQ(model.currentCamera, 0);
}

// Every camera track length from 0 to 5 keys, in every place of the camera table: no read leaves a
// track (the sanitizer build checks the reads), the eye stays finite and on its keys' hull.
TEST_F(MemoryModel, CameraTracksOfAnyLengthStayInsideTheirKeys)
{
    for (int n = 0; n <= 5; ++n) {
        Model cams;
        cams.startFrame = 0;
        cams.endFrame = 100;
        for (int c = 0; c < 3; ++c) {
            SceneObject* cam = rfix::appendCamera(cams, "cam", Vec3d{-1, -1, -1}, Vec3d{-2, -2, -2});
            std::vector<Key> eye, target;
            for (int k = 0; k < n; ++k) {
                eye.push_back(Key{static_cast<uint32_t>(c * 30 + k * 10), Vec3d{100.0 * k, 0, 0}});
                target.push_back(Key{static_cast<uint32_t>(c * 30 + k * 10), Vec3d{100.0 * k, 0, -50}});
            }
            rfix::setPositionTrack(*cam, eye);
            rfix::setRotationTrack(*cam, n == 2 ? std::vector<Key>() : target);
        }
        for (double frame = 0.0; frame <= 100.0; frame += 2.5) {
            sceneTime = static_cast<float>(frame / 10.0);
            cams.animate();
            ASSERT_GE(cams.currentCamera, 0);
            ASSERT_LT(cams.currentCamera, 3);
            const SceneObject* cam = cams.cameras[cams.currentCamera];
            ASSERT_TRUE(std::isfinite(cam->cameraPosition.x)) << n << " keys, frame " << frame;
            ASSERT_TRUE(std::isfinite(cam->rotation.x)) << n << " keys, frame " << frame;
            ASSERT_TRUE(std::isfinite(cam->rotation.y)) << n << " keys, frame " << frame;
            if (n == 0)
                expectNear(cam->cameraPosition, Vec3d{-1, -1, -1});
            if (n == 1)
                expectNear(cam->cameraPosition, Vec3d{0, 0, 0});
        }
    }
}

TEST_F(MemoryModel, CameraAtTheFirstKeyOfItsTrackUsesKeyZeroBeforeIt)
{
    SceneObject* cam = rfix::appendCamera(model, "cam", Vec3d{}, Vec3d{});
    const Vec3d k[4] = {{0, 0, 0}, {100, 0, 0}, {100, 0, 100}, {0, 50, 100}};
    rfix::setPositionTrack(*cam, {Key{0, k[0]}, Key{10, k[1]}, Key{20, k[2]}, Key{30, k[3]}});
    // Target keys that begin after the current frame: the search ends at 0, u is negative.
    rfix::setRotationTrack(*cam, {Key{30, k[0]}, Key{40, k[1]}, Key{50, k[2]}, Key{60, k[3]}});
    animateAtFrame(5.0);
    EXPECT_EQ(cam->positionKeyIndex, 0u);
    expectNear(cam->cameraPosition, catmullRomPoint(k[0], k[0], k[1], k[2], 0.5));
    expectNear(cam->cameraTarget, catmullRomPoint(k[0], k[0], k[1], k[2], -2.5));
}

}  // namespace
