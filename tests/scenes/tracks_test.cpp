// playTracks: the scene time mapped onto the model's frames, meshes and lights moved along their
// Bezier chains with indices that only move forward, short tracks, and nothing read outside a track.
#include <gtest/gtest.h>

#include <cmath>

#include "core/clock.h"
#include "scene_fixtures.h"
#include "scenes/kit.h"

using scenefix::addObject;
using scenefix::setPositionTrack;

namespace {

// Plays the model at scene time t of a scene as long as the model's frame count, so frame = t.
void playAt(Model& model, float t)
{
    sceneDuration = static_cast<float>(model.endFrame);
    sceneTime = t;
    playTracks(&model);
}

const std::vector<uint16_t> sevenFrames = {0, 10, 20, 30, 40, 50, 60};
const std::vector<Vec3d> sevenKeys = {{0, 0, 0},    {10, 40, 0},  {20, 40, 0}, {30, 0, 0},
                                      {40, -40, 0}, {50, -40, 0}, {60, 0, 0}};

void expectNear(const Vec3d& a, const Vec3d& b, double tolerance = 1e-4)
{
    EXPECT_NEAR(a.x, b.x, tolerance);
    EXPECT_NEAR(a.y, b.y, tolerance);
    EXPECT_NEAR(a.z, b.z, tolerance);
}

}  // namespace

TEST(PlayTracks, WritesTheModelsCurrentFrameFromTheSceneClock)
{
    Model model;
    addObject(model, ObjectKind::Mesh, "blob");
    model.endFrame = 36;
    sceneDuration = 18.5f;
    sceneTime = std::nextafter(18.5f, 0.0f);
    playTracks(&model);
    EXPECT_LT(model.currentFrame, 36.0);
    EXPECT_GT(model.currentFrame, 35.99);
    sceneTime = 18.5f;
    playTracks(&model);
    EXPECT_DOUBLE_EQ(model.currentFrame, 35.0);
    sceneTime = 0.0f;
    playTracks(&model);
    EXPECT_DOUBLE_EQ(model.currentFrame, 0.0);
    sceneTime = 9.25f;
    playTracks(&model);
    EXPECT_DOUBLE_EQ(model.currentFrame, 18.0);
    // A scene without length is not a division by zero.
    sceneDuration = 0.0f;
    sceneTime = 0.0f;
    playTracks(&model);
    EXPECT_DOUBLE_EQ(model.currentFrame, 0.0);
}

TEST(PlayTracks, MeshFollowsItsBezierChainThroughEveryThirdKey)
{
    Model model;
    SceneObject* blob = addObject(model, ObjectKind::Mesh, "blob");
    setPositionTrack(blob, sevenFrames, sevenKeys);
    model.endFrame = 61;

    playAt(model, 0.0f);
    expectNear(blob->position, sevenKeys[0]);
    playAt(model, 15.0f);
    expectNear(blob->position, bezierPoint(sevenKeys[0], sevenKeys[1], sevenKeys[2], sevenKeys[3], 0.5f));
    // Near but not through the control keys.
    EXPECT_LT(blob->position.y, 40.0);
    playAt(model, 30.0f);
    expectNear(blob->position, sevenKeys[3]);
    EXPECT_EQ(blob->positionKeyIndex, 6u);
    playAt(model, 60.0f);
    expectNear(blob->position, sevenKeys[6]);
    // The rest position stays where loading put it.
    expectNear(blob->basePosition, sevenKeys[0]);
    EXPECT_EQ(model.cursor, static_cast<SceneObject*>(&model));
}

TEST(PlayTracks, KeyIndexNeverGoesBackAndThePathIsExtrapolatedPastTheLastSegment)
{
    Model model;
    SceneObject* blob = addObject(model, ObjectKind::Mesh, "blob");
    // Eight keys: the eighth lies after the last whole segment and is never reached.
    std::vector<uint16_t> frames = sevenFrames;
    frames.push_back(70);
    std::vector<Vec3d> keys = sevenKeys;
    keys.push_back(Vec3d{1000, 1000, 1000});
    setPositionTrack(blob, frames, keys);
    model.endFrame = 100;

    playAt(model, 45.0f);
    EXPECT_EQ(blob->positionKeyIndex, 6u);
    // Back in time: the index stays on the later segment, whose curve runs backwards past its start.
    playAt(model, 5.0f);
    EXPECT_EQ(blob->positionKeyIndex, 6u);
    expectNear(blob->position, bezierPoint(sevenKeys[3], sevenKeys[4], sevenKeys[5], sevenKeys[6], -25.0f / 30.0f));
    // Beyond frame 60 the last whole segment is extrapolated (u above 1), not bent towards key 7.
    playAt(model, 90.0f);
    EXPECT_EQ(blob->positionKeyIndex, 6u);
    expectNear(blob->position, bezierPoint(sevenKeys[3], sevenKeys[4], sevenKeys[5], sevenKeys[6], 2.0f));
    EXPECT_LT(blob->position.y, 1000.0);
}

TEST(PlayTracks, ShortTracksRunStraightFromFirstToLastKey)
{
    Model model;
    SceneObject* two = addObject(model, ObjectKind::Mesh, "two");
    setPositionTrack(two, {10, 30}, {{0, 0, 0}, {100, 0, 0}});
    SceneObject* three = addObject(model, ObjectKind::Mesh, "three");
    setPositionTrack(three, {0, 10, 40}, {{0, 0, 0}, {500, 500, 500}, {0, 80, 0}});
    model.endFrame = 50;

    playAt(model, 20.0f);
    expectNear(two->position, Vec3d{50, 0, 0});
    expectNear(three->position, Vec3d{0, 40, 0});
    playAt(model, 5.0f);  // before the first key: rests on it
    expectNear(two->position, Vec3d{0, 0, 0});
    playAt(model, 45.0f);  // after the last key: rests on it
    expectNear(two->position, Vec3d{100, 0, 0});
    expectNear(three->position, Vec3d{0, 80, 0});
}

TEST(PlayTracks, LightsCarryTheirLightRecordAlongAndOtherObjectsStayPut)
{
    Model model;
    SceneObject* fixed = addObject(model, ObjectKind::Mesh, "fixed");
    setPositionTrack(fixed, {0}, {{7, 8, 9}});
    SceneObject* lamp = addObject(model, ObjectKind::Light, "lamp");
    setPositionTrack(lamp, sevenFrames, sevenKeys);
    SceneObject* camera = addObject(model, ObjectKind::Camera, "camera");
    setPositionTrack(camera, sevenFrames, sevenKeys);
    camera->position = Vec3d{-1, -1, -1};
    model.endFrame = 61;

    playAt(model, 30.0f);
    expectNear(lamp->position, sevenKeys[3]);
    expectNear(lamp->light.position, sevenKeys[3]);
    expectNear(fixed->position, Vec3d{7, 8, 9});
    expectNear(camera->position, Vec3d{-1, -1, -1});
    EXPECT_EQ(camera->positionKeyIndex, 3u);
}

TEST(PlayTracks, DamagedTracksReadNothingOutsideThemselves)
{
    Model model;
    // A segment of no length, and an index set far outside its track.
    SceneObject* flat = addObject(model, ObjectKind::Mesh, "flat");
    setPositionTrack(flat, {5, 5, 5, 5}, {{0, 0, 0}, {1, 1, 1}, {2, 2, 2}, {3, 3, 3}});
    SceneObject* lost = addObject(model, ObjectKind::Mesh, "lost");
    setPositionTrack(lost, sevenFrames, sevenKeys);
    lost->positionKeyIndex = 1000;
    model.endFrame = 61;

    playAt(model, 2.0f);
    expectNear(flat->position, Vec3d{0, 0, 0});
    playAt(model, 30.0f);
    expectNear(flat->position, Vec3d{3, 3, 3});
    EXPECT_LE(lost->positionKeyIndex, 6u);
    EXPECT_TRUE(std::isfinite(lost->position.x));

    playTracks(nullptr);  // nothing to play
}
