// Model passes in a real GL context (Xvfb + Mesa under the test runner), frames read back with
// glReadPixels: which meshes each pass draws and how, the cell 0 repeats of the view window,
// particles by emitter mode and at the distance limit, arcs, the order and switches of
// renderModel's passes, and the GL state every pass assumes and leaves.
// Skipped when there is no display to open a window on.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <utility>
#include <vector>

#include "core/clock.h"
#include "core/switches.h"
#include "fixtures.h"
#include "media/texture.h"
#include "platform/platform.h"
#include "render/bolts.h"
#include "render/particles.h"
#include "render/renderer.h"
#include "shell/loader.h"
#include "shell/window.h"
#include "tests/support/fake_ticks.h"
#include "tests/support/gl_window.h"

namespace {

constexpr int WIDTH = 320;
constexpr int HEIGHT = 240;

struct Rgb {
    int r = 0, g = 0, b = 0;
};

// The GL state the passes promise to keep or leave.
struct GlState {
    GLboolean fog = 0, blend = 0, depthTest = 0, texture2d = 0, depthMask = 0;
    GLfloat colour[4] = {};
    GLfloat lineWidth = 0.0f;
    GLint blendSrc = 0, blendDst = 0, boundTexture = 0;
    GLfloat modelview[16] = {};

    static GlState read()
    {
        GlState s;
        s.fog = glIsEnabled(GL_FOG);
        s.blend = glIsEnabled(GL_BLEND);
        s.depthTest = glIsEnabled(GL_DEPTH_TEST);
        s.texture2d = glIsEnabled(GL_TEXTURE_2D);
        glGetBooleanv(GL_DEPTH_WRITEMASK, &s.depthMask);
        glGetFloatv(GL_CURRENT_COLOR, s.colour);
        glGetFloatv(GL_LINE_WIDTH, &s.lineWidth);
        glGetIntegerv(GL_BLEND_SRC, &s.blendSrc);
        glGetIntegerv(GL_BLEND_DST, &s.blendDst);
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &s.boundTexture);
        glGetFloatv(GL_MODELVIEW_MATRIX, s.modelview);
        return s;
    }
    bool operator==(const GlState& o) const
    {
        return fog == o.fog && blend == o.blend && depthTest == o.depthTest && texture2d == o.texture2d &&
               depthMask == o.depthMask && std::memcmp(colour, o.colour, sizeof(colour)) == 0 &&
               lineWidth == o.lineWidth && blendSrc == o.blendSrc && blendDst == o.blendDst &&
               boundTexture == o.boundTexture && std::memcmp(modelview, o.modelview, sizeof(modelview)) == 0;
    }
};

class ModelOnScreen : public GlWindowSuite<WIDTH, HEIGHT> {
protected:
    void SetUp() override
    {
        VELMORA_NEED_WINDOW(windowReady_, whyNoWindow_);
        fakeTicks = 1000;
        handDownServices(fakeTickServices());
        setRenderDefaults();
        rotationCamera = true;
        viewRange = 2;
        // The window module's projection and fixed state, then the loader's scene fog.
        resizeView(WIDTH, HEIGHT);
        setFixedGLState();
        glDisable(GL_BLEND);
        glDepthMask(GL_TRUE);
        setSceneGLState();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glLineWidth(1.0f);

        // A white picture for every mesh and particle, so that the vertex colours show as they are.
        glGenTextures(1, &white_);
        glBindTexture(GL_TEXTURE_2D, white_);
        const unsigned char pixel[3] = {255, 255, 255};
        glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, pixel);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        std::snprintf(model.materials[0].name, sizeof(model.materials[0].name), "white.jpg");
        model.materials[0].texture = white_;
        model.materialCount = 1;
        model.materialLoader = nullptr;

        // The camera at the origin looking along -z, in cell (2, 3) of a 4 x 4 grid.
        camera = rfix::appendCamera(model, "cam", Vec3d{0, 0, 0}, Vec3d{0, 0, -100});
    }

    void TearDown() override
    {
        if (!windowReady_)
            return;
        handDownServices(Services{});
        glDeleteTextures(1, &white_);
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    }

    // A square mesh facing the camera at depth z, half-width h, centred on (x, y).
    SceneObject* square(const char* name, double x, double y, double z, double h, Vec3f colour)
    {
        SceneObject* object = rfix::appendObject(model, name, ObjectKind::Mesh);
        rfix::setMesh(*object, {{x - h, y - h, z}, {x + h, y - h, z}, {x + h, y + h, z}, {x - h, y + h, z}},
                      {Face{0, 1, 2, 0}, Face{0, 2, 3, 0}}, colour);
        object->material = 0;
        return object;
    }

    void grid() { rfix::buildTestGrid(model, 4, 4, -400.0f, -600.0f, 200.0f); }

    static Rgb pixel(int x, int y)
    {
        unsigned char p[3] = {};
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, p);
        return Rgb{p[0], p[1], p[2]};
    }
    static Rgb centre() { return pixel(WIDTH / 2, HEIGHT / 2); }

    GLuint white_ = 0;
    Model model;
    SceneObject* camera = nullptr;
};

TEST_F(ModelOnScreen, OpaqueMeshIsDrawnWithItsVertexColoursAndFog)
{
    square("wall", 0, 0, -50, 20, Vec3f{1.0f, 0.5f, 0.0f});
    grid();
    model.drawMeshes();
    const Rgb c = centre();
    // exp(-(0.002 * 50)^2) of the colour is left by the fog.
    EXPECT_NEAR(c.r, 252, 3);
    EXPECT_NEAR(c.g, 126, 3);
    EXPECT_EQ(c.b, 0);
    EXPECT_EQ(model.cursor, &model);
}

TEST_F(ModelOnScreen, EmitterMeshIsNeverDrawn)
{
    square("*0fire", 0, 0, -50, 20, Vec3f{1.0f, 1.0f, 1.0f});
    square("*%odd", 0, 0, -40, 20, Vec3f{1.0f, 1.0f, 1.0f});
    grid();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    model.drawMeshes();
    const Rgb c = centre();
    EXPECT_EQ(c.r + c.g + c.b, 0);
    // Its presence still runs the translucent pass: the additive blend factors are left set.
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    EXPECT_EQ(source, GL_ONE);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(ModelOnScreen, TranslucentMeshesAddUpUnfoggedWithoutHidingEachOther)
{
    // Fog thick enough that a fogged layer would lose a fifth or more of its colour.
    glFogf(GL_FOG_DENSITY, 0.01f);
    square("wall", 0, 0, -60, 30, Vec3f{0.5f, 0.0f, 0.0f});
    // The near layer comes first in the list: with depth writes on it would hide the far one.
    square("%near", 0, 0, -45, 10, Vec3f{0.0f, 0.25f, 0.0f});
    square("x%far", 0, 0, -50, 10, Vec3f{0.0f, 0.0f, 0.5f});
    square("%hidden", 0, 0, -70, 30, Vec3f{0.0f, 1.0f, 1.0f});
    grid();
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    model.drawMeshes();
    const Rgb c = centre();
    EXPECT_NEAR(c.r, 89, 3);   // the wall, fogged: 0.5 exp(-0.6^2)
    EXPECT_NEAR(c.g, 64, 2);   // unfogged (fogged would be 52)
    EXPECT_NEAR(c.b, 128, 2);  // unfogged and not hidden (fogged 99, hidden 0)
    // Behind the wall the translucent mesh is hidden by the depth test.
    const Rgb edge = pixel(WIDTH / 2 + 80, HEIGHT / 2);
    EXPECT_NEAR(edge.r, 89, 3);
    EXPECT_EQ(edge.g, 0);
    GlState s = GlState::read();
    EXPECT_TRUE(s.fog);
    EXPECT_FALSE(s.blend);
    EXPECT_TRUE(s.depthMask);
    EXPECT_EQ(s.blendSrc, GL_ONE);
    EXPECT_EQ(s.blendDst, GL_ONE);
}

TEST_F(ModelOnScreen, CornerCameraAddsCellZeroOncePerPositionOffTheGrid)
{
    // Camera in cell 0 of a 3 x 3 grid from (0, 0) looking outward (toward -x, -z) for the window,
    // its view turned straight along -z so that the square is in sight.
    camera->cameraPosition = Vec3d{10, 0, 10};
    camera->cameraTarget = Vec3d{-100, 0, -100};
    square("%dim", 10, 0, -40, 10, Vec3f{2.0f / 255.0f, 0.0f, 0.0f});
    rfix::buildTestGrid(model, 3, 3, 0.0f, 0.0f, 200.0f, false);
    rfix::placeInCell(model, 1, 0);
    viewRange = 2;  // 9 x 9 positions, 8 of them on the grid and not cell 0
    model.drawMeshes();
    EXPECT_NEAR(centre().r, 2 * 73, 2);

    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    viewRange = 1;  // 8 x 8 positions
    model.drawMeshes();
    EXPECT_NEAR(centre().r, 2 * 56, 2);
}

TEST_F(ModelOnScreen, AnimatedObjectIsPlacedAroundItsRestPosition)
{
    SceneObject* mover = square("mover", 0, 0, -50, 5, Vec3f{1.0f, 1.0f, 1.0f});
    rfix::setPositionTrack(*mover, {rfix::Key{0, {0, 0, -50}}, rfix::Key{10, {0, 0, -50}}});
    mover->position = Vec3d{10, 0, -50};
    grid();
    model.drawMeshes();
    EXPECT_EQ(centre().r, 0);
    // 10 units to the right at 50 units: 10 / (50 tan 22.5) of half the height, about 58 pixels.
    EXPECT_GT(pixel(WIDTH / 2 + 58, HEIGHT / 2).r, 200);
}

TEST_F(ModelOnScreen, CameraRotationAndPositionMakeTheView)
{
    // A square 50 units along +x seen from a camera turned to look along +x (yaw 90).
    SceneObject* east = rfix::appendObject(model, "east", ObjectKind::Mesh);
    rfix::setMesh(*east, {{50, 0, -10}, {50, 0, 10}, {50, 20, 10}, {50, 20, -10}}, {Face{0, 1, 2, 0}, Face{0, 2, 3, 0}},
                  Vec3f{0.0f, 1.0f, 0.0f});
    camera->cameraPosition = Vec3d{0, 10, 0};
    camera->cameraTarget = Vec3d{100, 10, 0};
    camera->rotation = Vec3d{0, 90, 0};
    grid();
    model.drawMeshes();
    EXPECT_GT(centre().g, 200);

    // With the rotation camera off the identity view is used: the square is out of sight.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    rotationCamera = false;
    model.drawMeshes();
    EXPECT_EQ(centre().g, 0);
}

TEST_F(ModelOnScreen, ModelWithoutGridDrawsNothingAndLeavesFogOn)
{
    square("wall", 0, 0, -50, 20, Vec3f{1.0f, 1.0f, 1.0f});
    glDisable(GL_FOG);
    model.drawMeshes();
    EXPECT_EQ(centre().r, 0);
    EXPECT_TRUE(glIsEnabled(GL_FOG));
}

TEST_F(ModelOnScreen, ModelWithoutEmittersOrBoltsLeavesTheStateOfDrawMeshes)
{
    square("wall", 0, 0, -50, 20, Vec3f{0.3f, 0.6f, 0.9f});
    grid();
    sceneDuration = 10.0f;
    sceneTime = 1.0f;
    glLineWidth(3.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    model.renderModel();
    const GlState afterRender = GlState::read();
    model.drawMeshes();
    const GlState afterMeshes = GlState::read();
    EXPECT_TRUE(afterRender == afterMeshes);
    EXPECT_EQ(afterRender.lineWidth, 3.0f);
    EXPECT_EQ(afterRender.blendSrc, GL_SRC_ALPHA);
    EXPECT_TRUE(afterRender.fog);
}

TEST_F(ModelOnScreen, DisplayListsDrawTheFrameAndLeaveTheStateOfFaceByFaceDrawing)
{
    square("wall", 0, 0, -60, 30, Vec3f{0.5f, 0.2f, 0.1f});
    SceneObject* mover = square("mover", 0, 0, -50, 5, Vec3f{0.2f, 0.9f, 0.3f});
    rfix::setPositionTrack(*mover, {rfix::Key{0, {0, 0, -50}}, rfix::Key{100, {20, 5, -50}}});
    // Last in the translucent pass and animated: the matrix it leaves is its own placement.
    SceneObject* glow = square("%glow", 0, 0, -45, 8, Vec3f{0.0f, 0.0f, 0.6f});
    rfix::setPositionTrack(*glow, {rfix::Key{0, {0, 0, -45}}, rfix::Key{100, {-15, 0, -45}}});
    rfix::setRotationTrack(*glow, {rfix::Key{0, {0, 0, 0}}, rfix::Key{100, {0, 0, 40}}});
    SceneObject* bolt = square("#arc", 0, 10, -70, 4, Vec3f{1.0f, 1.0f, 1.0f});
    bolt->basePosition = Vec3d{0, 10, -70};
    model.boltObjects[0] = bolt;
    model.boltObjectCount = 1;
    grid();
    model.startFrame = 0;
    model.endFrame = 100;
    sceneDuration = 10.0f;
    sceneTime = 4.0f;

    auto render = [&](std::vector<unsigned char>& frame) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        resetRandom();
        model.renderModel();
        frame.assign(static_cast<size_t>(WIDTH) * HEIGHT * 3, 0);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, frame.data());
        return GlState::read();
    };
    std::vector<unsigned char> faceByFace;
    const GlState immediateState = render(faceByFace);
    ASSERT_NE(glow->position.x, 0.0) << "the glow did not move; the placement is not exercised";

    // drawMeshes leaves the matrix a set-up from identity gives the last object it drew (renderModel
    // then goes on to the arcs, which load the plain view).
    model.drawMeshes();
    GLfloat afterMeshes[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, afterMeshes);
    glLoadIdentity();
    loadCameraView(cameraView(model));
    glTranslatef(static_cast<float>(glow->position.x), static_cast<float>(glow->position.y),
                 static_cast<float>(glow->position.z));
    glRotatef(static_cast<float>(glow->rotation.x), 1.0f, 0.0f, 0.0f);
    glRotatef(static_cast<float>(glow->rotation.y), 0.0f, 1.0f, 0.0f);
    glRotatef(static_cast<float>(glow->rotation.z), 0.0f, 0.0f, 1.0f);
    glTranslatef(static_cast<float>(-glow->basePosition.x), static_cast<float>(-glow->basePosition.y),
                 static_cast<float>(-glow->basePosition.z));
    GLfloat expected[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, expected);
    EXPECT_EQ(std::memcmp(afterMeshes, expected, sizeof(expected)), 0);
    EXPECT_FALSE(immediateState.blend);
    EXPECT_TRUE(immediateState.depthMask);

    model.compileGridLists();
    int lists = 0;
    for (int32_t cell = 0; cell < model.columns * model.rows; ++cell)
        for (int32_t k = 0; k < model.grid[cell].entryCount; ++k)
            lists += model.grid[cell].entries[k].list != 0;
    EXPECT_EQ(lists, 4);  // wall, mover, glow and the arc object's square: every mesh with faces
    std::vector<unsigned char> fromLists;
    const GlState listState = render(fromLists);
    EXPECT_TRUE(fromLists == faceByFace) << "the display lists draw another picture";
    EXPECT_TRUE(listState == immediateState);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

TEST_F(ModelOnScreen, DrawRisingWithoutParticlesLeavesDepthTestOnBlendingOffAndWhite)
{
    ParticleSystem system(10, nullptr, 1.0f, 10, 1.0f, 1.0f);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glColor3f(0.2f, 0.3f, 0.4f);
    system.drawRising();
    const GlState s = GlState::read();
    EXPECT_TRUE(s.depthTest);
    EXPECT_FALSE(s.blend);
    EXPECT_EQ(s.colour[0], 1.0f);
    EXPECT_EQ(s.colour[1], 1.0f);
    EXPECT_EQ(s.colour[2], 1.0f);
    EXPECT_EQ(s.blendSrc, GL_ONE);
    EXPECT_EQ(s.blendDst, GL_ONE);
}

TEST_F(ModelOnScreen, DrawRisingShowsAParticleThatRisesShrinksAndFades)
{
    ParticleSystem system(10, nullptr, 2.0f, 10, 5.0f, 20.0f);
    system.texture = white_;
    system.emitterPosition = Vec3d{0, 0, -50};
    system.update();
    fakeTicks += 1000;
    system.update();
    ASSERT_EQ(system.count, 1);
    // Half its life later: colour 0.5, risen by 10, half-width 2.5; drawn over anything (no depth test).
    fakeTicks += 1000;
    square("wall", 0, 0, -10, 20, Vec3f{0.0f, 0.0f, 1.0f});
    grid();
    model.drawMeshes();
    system.drawRising();
    const double perUnit = (HEIGHT / 2.0) / (50.0 * std::tan(22.5 * M_PI / 180.0));
    EXPECT_EQ(centre().r, 0);
    EXPECT_NEAR(pixel(WIDTH / 2, HEIGHT / 2 + static_cast<int>(10 * perUnit)).r, 128, 2);
    EXPECT_EQ(pixel(WIDTH / 2 + static_cast<int>(3.5 * perUnit), HEIGHT / 2 + static_cast<int>(10 * perUnit)).r, 0);
    // The matrix of the last particle drawn stays current: the zero eye, then its risen place.
    GLfloat matrix[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    EXPECT_NEAR(matrix[12], 0.0f, 1e-4);
    EXPECT_NEAR(matrix[13], 10.0f, 1e-4);
    EXPECT_NEAR(matrix[14], -50.0f, 1e-4);
    GLint depth = 0;
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(depth, 1);
}

// A model with one emitter square and its system, the camera looking along -z.
class EmitterOnScreen : public ModelOnScreen {
protected:
    void SetUp() override
    {
        ModelOnScreen::SetUp();
        if (IsSkipped())
            return;
        emitter = square("*0spark", 0, 0, 0, 1, Vec3f{1.0f, 1.0f, 1.0f});
        grid();
        model.materialLoader = nullptr;
        model.attachEmitters(100, 10.0f, 10, 40.0f, 50.0f);
        ASSERT_EQ(model.emitterCount, 1);
        system = model.particleSystems[0];
        system->texture = white_;
    }

    // Two passes a second apart: the first starts the emission clock, the second emits.
    void emitAt(Vec3d position)
    {
        emitter->position = position;
        model.drawEmitters();
        fakeTicks += 1000;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        model.drawEmitters();
    }

    SceneObject* emitter = nullptr;
    ParticleSystem* system = nullptr;
};

TEST_F(EmitterOnScreen, ParticleAtTheDistanceLimitIsNotDrawn)
{
    // 800 units with view range 0, 1000 with 1 (the Credits scene's).
    const struct {
        int range;
        double limit;
    } cases[] = {{0, 800.0}, {1, 1000.0}};
    for (const auto& c : cases) {
        viewRange = c.range;
        system->count = 0;
        system->lastEmitTime = 0.0f;
        emitAt(Vec3d{0, 0, -c.limit});
        ASSERT_EQ(system->count, 1);
        EXPECT_EQ(centre().r, 0) << "view range " << c.range;

        fakeTicks += 1000;
        system->particles[0].position.z = -(c.limit - 1.0);
        system->lastEmitTime = uptimeSeconds();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        model.drawEmitters();
        EXPECT_GT(centre().r, 100) << "view range " << c.range;
    }
}

TEST_F(EmitterOnScreen, LeavesFogOffBlendingOffDepthWritesOnAndWhiteEvenWithNothingVisible)
{
    emitAt(Vec3d{0, 0, 100});  // behind the camera
    glColor3f(0.1f, 0.2f, 0.3f);
    glEnable(GL_FOG);
    model.drawEmitters();
    const GlState s = GlState::read();
    EXPECT_FALSE(s.fog);
    EXPECT_FALSE(s.blend);
    EXPECT_TRUE(s.depthMask);
    EXPECT_EQ(s.colour[0], 1.0f);
    EXPECT_EQ(s.colour[2], 1.0f);
    EXPECT_EQ(centre().r, 0);
}

TEST_F(EmitterOnScreen, EachModeRisesOrShrinksAsItsDigitSays)
{
    // Half its life after birth 150 units ahead (rise 50, half-width 40) the particle is half bright
    // and spans, in height: mode 0 -40..40, mode 1 (rises) -15..65, mode 2 (shrinks) -20..20,
    // mode 3 (both) 5..45. Sampled at these heights:
    const int heights[4] = {-35, -10, 30, 50};
    const bool lit[4][4] = {
        {true, true, true, false}, {false, true, true, true}, {false, true, false, false}, {false, false, true, false}};
    const double perUnit = (HEIGHT / 2.0) / (150.0 * std::tan(22.5 * M_PI / 180.0));
    for (int mode = 0; mode < 4; ++mode) {
        system->count = 0;
        system->lastEmitTime = 0.0f;
        system->mode = mode;
        emitAt(Vec3d{0, 0, -150});
        ASSERT_EQ(system->count, 1);
        // Mode 3 is born at a point built from the mesh's vertices (all within 1 of the origin).
        if (mode == 3) {
            EXPECT_LE(std::abs(system->particles[0].position.x), 1.0);
        }
        system->particles[0].position = Vec3d{0, 0, -150};
        fakeTicks += 5000;
        system->lastEmitTime = uptimeSeconds();
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        model.drawEmitters();
        for (int h = 0; h < 4; ++h) {
            const int r = pixel(WIDTH / 2, HEIGHT / 2 + static_cast<int>(heights[h] * perUnit)).r;
            EXPECT_NEAR(r, lit[mode][h] ? 128 : 0, 2) << "mode " << mode << ", height " << heights[h];
        }
    }
}

TEST_F(ModelOnScreen, RenderModelDrawsParticlesAndArcsOverTheMeshesWhenTheirSwitchesAreOn)
{
    // A blue wall; in front of it an emitter on the right and a bolt object on the left.
    square("wall", 0, 0, -60, 40, Vec3f{0.0f, 0.0f, 0.5f});
    SceneObject* emitter = square("*0spark", 20, 0, -50, 1, Vec3f{1.0f, 1.0f, 1.0f});
    emitter->position = Vec3d{20, 0, -50};
    SceneObject* bolt = square("#arc", -20, 0, -50, 1, Vec3f{0.0f, 0.0f, 0.0f});
    bolt->basePosition = Vec3d{-20, 0, -50};
    model.boltObjects[0] = bolt;
    model.boltObjectCount = 1;
    model.boltJitter = 1;
    grid();
    model.attachEmitters(100, 10.0f, 10, 5.0f, 0.0f);
    ASSERT_EQ(model.emitterCount, 1);
    model.particleSystems[0]->texture = white_;
    TextureTable[Slot::White] = white_;
    sceneDuration = 10.0f;
    sceneTime = 1.0f;
    resetRandom();

    // Red pixels (the wall has none) on the left and on the right half of the picture.
    auto redHalves = [] {
        std::vector<unsigned char> rgb(WIDTH * HEIGHT * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, WIDTH, HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        std::pair<int, int> red{0, 0};
        for (int i = 0; i < WIDTH * HEIGHT; ++i)
            (i % WIDTH < WIDTH / 2 ? red.first : red.second) += rgb[i * 3] > 0;
        return red;
    };
    auto twoFrames = [&] {
        model.renderModel();
        fakeTicks += 1000;
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        model.renderModel();
    };

    emitterSwitch = false;
    boltSwitch = false;
    twoFrames();
    EXPECT_EQ(model.particleSystems[0]->count, 0);
    EXPECT_EQ(redHalves(), std::make_pair(0, 0));
    EXPECT_GT(centre().b, 100);

    emitterSwitch = true;
    twoFrames();
    EXPECT_EQ(model.particleSystems[0]->count, 1);
    const std::pair<int, int> particleOnly = redHalves();
    EXPECT_EQ(particleOnly.first, 0);
    EXPECT_GT(particleOnly.second, 100);

    emitterSwitch = false;
    boltSwitch = true;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    model.renderModel();
    const std::pair<int, int> arcsOnly = redHalves();
    EXPECT_GT(arcsOnly.first, 10);
    EXPECT_EQ(arcsOnly.second, 0);
    TextureTable[Slot::White] = 0;
}

TEST_F(ModelOnScreen, BoltsDrawOrangeArcsInWorldCoordinatesWithTheWhitePicture)
{
    // The object has moved 40 units right of its rest position; its arcs stay at the rest position.
    SceneObject* bolt = square("#arc", 0, 0, -60, 2, Vec3f{1.0f, 1.0f, 1.0f});
    rfix::setPositionTrack(*bolt, {rfix::Key{0, {0, 0, -60}}, rfix::Key{10, {0, 0, -60}}});
    bolt->position = Vec3d{40, 0, -60};
    model.boltObjects[0] = bolt;
    model.boltObjectCount = 1;
    grid();
    // The arcs must bind picture slot 0 (white), not the black picture of the object or the one
    // bound before.
    GLuint black = 0;
    glGenTextures(1, &black);
    glBindTexture(GL_TEXTURE_2D, black);
    const unsigned char dark[3] = {0, 0, 0};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, dark);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    model.materials[0].texture = black;
    TextureTable[Slot::White] = white_;
    resetRandom();
    model.drawBolts();
    TextureTable[Slot::White] = 0;
    int lit = 0, orange = 0, far = 0;
    for (int y = 0; y < HEIGHT; y += 2) {
        for (int x = 0; x < WIDTH; x += 2) {
            const Rgb p = pixel(x, y);
            lit += p.r > 0;
            orange += p.r > 0 && p.r >= p.g && p.g >= p.b;
            far += p.r > 0 && std::abs(x - WIDTH / 2) > 60;
        }
    }
    EXPECT_GT(lit, 50);
    EXPECT_EQ(orange, lit);
    EXPECT_EQ(far, 0);
    const GlState s = GlState::read();
    EXPECT_FALSE(s.blend);
    EXPECT_TRUE(s.depthMask);
    glDeleteTextures(1, &black);
}

}  // namespace
