// The scenes' drawing caught in GL feedback mode: the Title streaks and the First verse blobs, the
// verse scenes' own model routines, and whole frames of every scene at chosen times (pictures,
// flashes and fades by brightness and place, stream emitters on their paths), with the GL state
// they leave behind. Runs in a window under the test display with the program's own GL state.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/clock.h"
#include "core/gl.h"
#include "core/switches.h"
#include "platform/platform.h"
#include "render/particles.h"
#include "render/text.h"
#include "scene_fixtures.h"
#include "scenes/assets.h"
#include "scenes/closing.h"
#include "scenes/first_verse.h"
#include "scenes/fourth_verse.h"
#include "scenes/kit.h"
#include "scenes/scenes.h"
#include "scenes/second_verse.h"
#include "scenes/texts.h"
#include "scenes/third_verse.h"
#include "scenes/title.h"
#include "shell/window.h"
#include "tests/support/fake_ticks.h"
#include "tests/support/gl_window.h"
#include <cstring>

using scenefix::addObject;

namespace {

// One corner as feedback reports it: window position, colour, texture coordinate.
struct FedCorner {
    float x, y, z;
    float r, g, b;
    float s, t;
};
using FedPolygon = std::vector<FedCorner>;

class DrawGl : public GlWindowSuite<800, 600, SuiteGl::Program> {
public:
    void SetUp() override
    {
        VELMORA_NEED_WINDOW(windowReady_, whyNoWindow_);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    // Runs draw in feedback mode and returns the polygons it sent (a quad may come back as two
    // triangles).
    static std::vector<FedPolygon> feedback(void (*draw)())
    {
        std::vector<GLfloat> buffer;
        beginFeedback(&buffer);
        draw();
        return endFeedback(buffer);
    }
    static void beginFeedback(std::vector<GLfloat>* buffer)
    {
        buffer->assign(1 << 20, 0.0f);
        glFeedbackBuffer(static_cast<GLsizei>(buffer->size()), GL_3D_COLOR_TEXTURE, buffer->data());
        glRenderMode(GL_FEEDBACK);
    }
    static std::vector<FedPolygon> endFeedback(const std::vector<GLfloat>& buffer)
    {
        const GLint used = glRenderMode(GL_RENDER);
        EXPECT_GE(used, 0) << "feedback buffer overflow";
        std::vector<FedPolygon> polygons;
        const int stride = 3 + 4 + 4;
        for (GLint i = 0; i < used;) {
            const GLfloat token = buffer[i++];
            if (token == GL_POLYGON_TOKEN) {
                const int n = static_cast<int>(buffer[i++]);
                FedPolygon polygon;
                for (int v = 0; v < n; ++v, i += stride) {
                    const GLfloat* f = &buffer[i];
                    polygon.push_back(FedCorner{f[0], f[1], f[2], f[3], f[4], f[5], f[7], f[8]});
                }
                polygons.push_back(polygon);
            } else if (token == GL_PASS_THROUGH_TOKEN) {
                i += 1;
            } else {
                ADD_FAILURE() << "unexpected feedback token " << token;
                break;
            }
        }
        return polygons;
    }

    // Where a model point lands in the window under the current matrices.
    static Vec3d project(const Vec3d& p)
    {
        GLdouble modelview[16];
        GLdouble projection[16];
        GLint viewport[4];
        glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
        glGetDoublev(GL_PROJECTION_MATRIX, projection);
        glGetIntegerv(GL_VIEWPORT, viewport);
        Vec3d w;
        gluProject(p.x, p.y, p.z, modelview, projection, viewport, &w.x, &w.y, &w.z);
        return w;
    }

    // True when some fed corner lies within half a pixel of the window point w.
    static bool cornerAt(const std::vector<FedPolygon>& polygons, const Vec3d& w, FedCorner* found = nullptr)
    {
        for (const FedPolygon& polygon : polygons) {
            for (const FedCorner& c : polygon) {
                if (std::fabs(c.x - w.x) < 0.5 && std::fabs(c.y - w.y) < 0.5) {
                    if (found != nullptr) {
                        *found = c;
                    }
                    return true;
                }
            }
        }
        return false;
    }

    static void expectRestoredState()
    {
        EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
        GLboolean depthWrites = GL_FALSE;
        glGetBooleanv(GL_DEPTH_WRITEMASK, &depthWrites);
        EXPECT_TRUE(depthWrites);
    }
};

// ---- Title streaks ---------------------------------------------------------------------------

// A model like truc.3ds: a first object that turns, a camera 800 units back on +z looking along -z.
struct StreakModel {
    Model model;
    SceneObject* first = nullptr;
    SceneObject* camera = nullptr;

    explicit StreakModel(int firstFaces)
    {
        first = addObject(model, ObjectKind::Mesh, "core");
        scenefix::setTriangles(first, firstFaces);
        camera = addObject(model, ObjectKind::Camera, "eye");
        camera->cameraPosition = Vec3d{0.0, 0.0, 800.0};
    }
};

void drawFullStreaks()
{
    drawTitleStreaks(1.0f);
}
void drawHalfStreaks()
{
    drawTitleStreaks(0.5f);
}

// Window position of a model point seen from the streak model's camera.
Vec3d streakView(const Vec3d& p)
{
    glLoadIdentity();
    glTranslated(0.0, 0.0, -800.0);
    return DrawGl::project(p);
}

}  // namespace

TEST_F(DrawGl, EverySecondFaceBecomesAStreakAndALoneFaceNone)
{
    StreakModel fixture(5);
    trucModel = &fixture.model;
    const std::vector<FedPolygon> polygons = feedback(drawFullStreaks);

    // Faces 0 and 2 glow at corner c and 100 units beyond it; faces 1, 3 and 4 draw nothing.
    for (int face = 0; face < 5; ++face) {
        const Vec3d c = fixture.first->vertices[fixture.first->faces[face].c];
        const bool streak = face == 0 || face == 2;
        FedCorner corner{};
        EXPECT_EQ(cornerAt(polygons, streakView(c), &corner), streak) << "face " << face;
        if (streak) {
            EXPECT_NEAR(corner.r, 0.2f, 0.01f);
        }
        EXPECT_EQ(cornerAt(polygons, streakView(Vec3d{c.x + 100, c.y + 100, c.z + 100})), streak) << "face " << face;
    }
    expectRestoredState();
    EXPECT_EQ(fixture.model.cursor, static_cast<SceneObject*>(&fixture.model));

    StreakModel lone(1);
    trucModel = &lone.model;
    EXPECT_TRUE(feedback(drawFullStreaks).empty());
    trucModel = nullptr;
    EXPECT_TRUE(feedback(drawFullStreaks).empty());
}

TEST_F(DrawGl, StreaksStartDarkAtTheStretchedCornersAndDimWithTheScene)
{
    StreakModel fixture(2);
    // Turned by 0 about x and a quarter of 10 pi about y: A = 6, B = 3.
    fixture.first->rotation = Vec3d{0.0, 10.0 * M_PI / 2.0, 0.0};
    trucModel = &fixture.model;
    const std::vector<FedPolygon> polygons = feedback(drawHalfStreaks);
    trucModel = nullptr;

    const Face& face = fixture.first->faces[0];
    const Vec3d a = fixture.first->vertices[face.a];
    const Vec3d b = fixture.first->vertices[face.b];
    const Vec3d c = fixture.first->vertices[face.c];
    FedCorner corner{};
    ASSERT_TRUE(cornerAt(polygons, streakView(Vec3d{6 * a.x, 6 * a.y, 6 * a.z}), &corner));
    EXPECT_FLOAT_EQ(corner.r, 0.0f);
    ASSERT_TRUE(cornerAt(polygons, streakView(Vec3d{3 * b.x, 3 * b.y, 3 * b.z}), &corner));
    EXPECT_FLOAT_EQ(corner.r, 0.0f);
    ASSERT_TRUE(cornerAt(polygons, streakView(c), &corner));
    EXPECT_NEAR(corner.r, 0.1f, 0.01f);
}

TEST_F(DrawGl, FirstObjectsTransformCarriesEveryStreak)
{
    StreakModel fixture(1);
    // A second mesh with streaks of its own, placed by the first object's move of (50, 0, 0).
    SceneObject* other = addObject(fixture.model, ObjectKind::Mesh, "shell");
    scenefix::setTriangles(other, 3);
    scenefix::setPositionTrack(fixture.first, {0, 10}, {{0, 0, 0}, {50, 0, 0}});
    fixture.first->position = Vec3d{50.0, 0.0, 0.0};
    trucModel = &fixture.model;
    const std::vector<FedPolygon> polygons = feedback(drawFullStreaks);
    trucModel = nullptr;

    const Vec3d c = other->vertices[other->faces[0].c];
    EXPECT_TRUE(cornerAt(polygons, streakView(Vec3d{c.x + 50, c.y, c.z})));
    EXPECT_FALSE(cornerAt(polygons, streakView(c)));
}

// ---- First verse blobs -----------------------------------------------------------------------

namespace {

// Three far lights as the attractors (they push the meshes' corners by a hair), then two meshes.
struct BlobModel {
    Model model;
    SceneObject* meshes[2] = {};

    BlobModel()
    {
        const Vec3d far[3] = {{1e7, 0, 0}, {0, 1e7, 0}, {0, 0, -1e7}};
        for (const Vec3d& at : far) {
            SceneObject* light = addObject(model, ObjectKind::Light, "lamp");
            light->position = at;
        }
        meshes[0] = addObject(model, ObjectKind::Mesh, "blob1");
        scenefix::setTriangles(meshes[0], 4);
        meshes[1] = addObject(model, ObjectKind::Mesh, "blob2");
        scenefix::setTriangles(meshes[1], 3);
        recordAttractors();
    }

    void recordAttractors()
    {
        model.rewind();
        for (SceneObject*& attractor : attractorObjects) {
            attractor = model.cursor;
            model.advance();
        }
        model.rewind();
    }
};

// Window position of a blob point: no camera, 500 units in front of the eye.
Vec3d blobView(const Vec3d& p)
{
    glLoadIdentity();
    glTranslated(0.0, 0.0, -500.0);
    return DrawGl::project(p);
}

bool finiteCorners(const std::vector<FedPolygon>& polygons)
{
    for (const FedPolygon& polygon : polygons) {
        for (const FedCorner& c : polygon) {
            if (!std::isfinite(c.x) || !std::isfinite(c.y) || !std::isfinite(c.z)) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

TEST_F(DrawGl, EveryMeshFaceIsOneBlobTriangleColouredByCorner)
{
    BlobModel fixture;
    // The first blob 70 units nearer the eye, so that its picture shifts by z / 700 = 0.1.
    for (int i = 0; i < fixture.meshes[0]->vertexCount; ++i) {
        fixture.meshes[0]->vertices[i].z = 70.0;
    }
    choseModel = &fixture.model;
    blobsLit = false;
    const std::vector<FedPolygon> dim = feedback(drawBlobs);
    blobsLit = true;
    const std::vector<FedPolygon> lit = feedback(drawBlobs);
    choseModel = nullptr;

    ASSERT_EQ(dim.size(), 7u);  // 4 + 3 faces; the lights draw nothing
    for (int i = 0; i < 7; ++i) {
        ASSERT_EQ(dim[i].size(), 3u);
        EXPECT_NEAR(dim[i][0].r, 1.0f, 0.01f);
        EXPECT_NEAR(dim[i][0].g, 0.6f, 0.01f);
        EXPECT_NEAR(dim[i][1].r, 0.1f, 0.01f);
        EXPECT_NEAR(dim[i][2].r, 0.2f, 0.01f);
        EXPECT_NEAR(dim[i][2].g, 0.1f, 0.01f);
        EXPECT_NEAR(lit[i][2].r, 1.0f, 0.01f);
        EXPECT_NEAR(lit[i][2].b, 0.2f, 0.01f);
    }
    // The far attractors barely move the corners: the first face sits where the mesh has it,
    // with the picture laid on by x/50 + z/700, y/50 + z/700; its corner c is (0, 5, 70).
    const SceneObject* mesh = fixture.meshes[0];
    const Vec3d c = mesh->vertices[mesh->faces[0].c];
    FedCorner corner{};
    ASSERT_TRUE(cornerAt(dim, blobView(c), &corner));
    EXPECT_NEAR(corner.s, 0.1, 1e-3);
    EXPECT_NEAR(corner.t, 0.2, 1e-3);
    expectRestoredState();
}

TEST_F(DrawGl, AnAttractorDoesNotPushItsOwnCorners)
{
    // The first mesh is itself the first attractor, sitting at the origin among its own corners.
    Model model;
    SceneObject* self = addObject(model, ObjectKind::Mesh, "self");
    scenefix::setTriangles(self, 2);
    for (int i = 0; i < 2; ++i) {
        addObject(model, ObjectKind::Light, "far")->position = Vec3d{0.0, 1e8, 0.0};
    }
    choseModel = &model;
    model.rewind();
    for (SceneObject*& attractor : attractorObjects) {
        attractor = model.cursor;
        model.advance();
    }
    const std::vector<FedPolygon> polygons = feedback(drawBlobs);
    choseModel = nullptr;

    ASSERT_EQ(polygons.size(), 2u);
    for (int f = 0; f < 2; ++f) {
        const Face& face = self->faces[f];
        EXPECT_TRUE(cornerAt(polygons, blobView(self->vertices[face.a]))) << "face " << f;
        EXPECT_TRUE(cornerAt(polygons, blobView(self->vertices[face.c]))) << "face " << f;
    }
}

TEST_F(DrawGl, CornerOnAnAttractorSendsNoUnboundedVertex)
{
    BlobModel fixture;
    // Move the first attractor exactly onto a corner of the first blob.
    const SceneObject* mesh = fixture.meshes[0];
    attractorObjects[0]->position = mesh->vertices[mesh->faces[1].a];
    choseModel = &fixture.model;
    const std::vector<FedPolygon> polygons = feedback(drawBlobs);
    choseModel = nullptr;

    EXPECT_TRUE(finiteCorners(polygons));
    // The corner itself stays put; the rest of the face flies off under the near push.
    EXPECT_TRUE(cornerAt(polygons, blobView(mesh->vertices[mesh->faces[1].a])));
}

// ---- Set-up and wind-down, with Escape already pressed -----------------------------------------

namespace {

// Runs a scene whose loop leaves at once, as every scene after Escape does.
void runAfterEscape(void (*scene)())
{
    escapeFlag = true;
    scene();
    escapeFlag = false;
}

}  // namespace

TEST_F(DrawGl, TitleSetUpDropsTheOpeningsParticlesAndSwitchesFogOff)
{
    ParticleSystem red(500, nullptr, 3.0f, 60, 30.0f, 200.0f, nullptr);
    ParticleSystem green(500, nullptr, 3.0f, 60, 30.0f, 200.0f, nullptr);
    ParticleSystem blue(500, nullptr, 3.0f, 60, 30.0f, 200.0f, nullptr);
    for (ParticleSystem* system : {&red, &green, &blue}) {
        system->count = 120;
        system->lastEmitTime = 43.9f;
    }
    redParticles = &red;
    greenParticles = &green;
    blueParticles = &blue;
    glEnable(GL_FOG);
    rotationCamera = false;
    runAfterEscape(titleScene);
    redParticles = greenParticles = blueParticles = nullptr;

    for (ParticleSystem* system : {&red, &green, &blue}) {
        EXPECT_EQ(system->count, 0);
        EXPECT_FLOAT_EQ(system->lastEmitTime, 0.0f);
    }
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(rotationCamera);
}

TEST_F(DrawGl, SecondVerseSetsFineArcsAndTheRotationCameraAndLeavesFogAlone)
{
    Model tunnel;
    addObject(tunnel, ObjectKind::Mesh, "tunnel");
    tunnelModel = &tunnel;
    rotationCamera = false;
    for (bool fog : {true, false}) {
        fog ? glEnable(GL_FOG) : glDisable(GL_FOG);
        runAfterEscape(secondVerseScene);
        EXPECT_EQ(glIsEnabled(GL_FOG), fog ? GL_TRUE : GL_FALSE);
    }
    tunnelModel = nullptr;
    EXPECT_EQ(tunnel.boltJitter, 2);
    EXPECT_EQ(tunnel.boltSegments, 5);
    EXPECT_EQ(tunnel.boltCount, 10);
    EXPECT_TRUE(rotationCamera);

    rotationCamera = false;
    glEnable(GL_FOG);
    runAfterEscape(fourthVerseScene);
    EXPECT_FALSE(glIsEnabled(GL_FOG));
    EXPECT_TRUE(rotationCamera);
}

TEST_F(DrawGl, FirstVerseSetUpBoundsTheFramesByTheFirstObjectsKeys)
{
    BlobModel fixture;
    scenefix::setPositionTrack(&fixture.model, {0, 10, 20, 30, 40, 50, 60}, std::vector<Vec3d>(7));
    fixture.model.endFrame = 500;
    for (SceneObject*& attractor : attractorObjects) {
        attractor = nullptr;
    }
    choseModel = &fixture.model;
    glEnable(GL_FOG);
    runAfterEscape(firstVerseScene);
    choseModel = nullptr;

    EXPECT_EQ(fixture.model.endFrame, 6);
    SceneObject* expected = &fixture.model;
    for (SceneObject* attractor : attractorObjects) {
        EXPECT_EQ(attractor, expected);
        expected = expected->next;
    }
    EXPECT_EQ(fixture.model.cursor, static_cast<SceneObject*>(&fixture.model));
    EXPECT_FALSE(glIsEnabled(GL_FOG));

    // With fewer than three objects the last one stands in for the missing attractors.
    Model small;
    SceneObject* only = addObject(small, ObjectKind::Mesh, "only");
    SceneObject* second = addObject(small, ObjectKind::Mesh, "second");
    choseModel = &small;
    runAfterEscape(firstVerseScene);
    choseModel = nullptr;
    EXPECT_EQ(attractorObjects[0], only);
    EXPECT_EQ(attractorObjects[1], second);
    EXPECT_EQ(attractorObjects[2], second);
    EXPECT_EQ(small.endFrame, -1);  // a first object without keys
}

// ---- Texts on screen ---------------------------------------------------------------------------

// Resting 15 units away, a line must fit the narrowest view the program opens (4:3, 45 degrees
// high): 2 x 15 x tan(22.5 degrees) x 4/3 units wide, less a margin.
TEST_F(DrawGl, TitleCreditAndVerseLinesFitTheViewAtRest)
{
    const float viewWidth = static_cast<float>(2.0 * 15.0 * std::tan(22.5 * M_PI / 180.0) * 4.0 / 3.0);
    std::vector<const char*> lines = {titleText};
    lines.insert(lines.end(), creditLines, creditLines + 3);
    lines.insert(lines.end(), firstVerseLines, firstVerseLines + 5);
    for (const char* line : lines) {
        std::vector<LetterSlot> slots(std::strlen(line) + 1);
        float width = 0.0f;
        layoutTextLine(line, glyphMetrics, slots.data(), &width);
        EXPECT_GT(width, 0.0f) << "no font";
        EXPECT_LT(width, viewWidth - 1.0f) << "\"" << line << "\" is cut at the screen's edges";
    }
}

// ---- Whole frames of the scenes at chosen times --------------------------------------------------

namespace {

// One frame of a scene at scene time t, caught in feedback: the loop's skip ahead moves the clock
// to t and has the loop draw that frame unseen in feedback mode (begun by the loop's clear), then
// ends the scene, whose wind-down still runs. The scene draws what the test has put in the asset
// globals; the random source starts afresh.
float frameTime = 0.0f;
std::vector<GLfloat> feedbackBuffer;
std::vector<FedPolygon> framePolygons;
int viewRangeInFrame = -1;

bool moveToFrameTime()
{
    fakeTicks += static_cast<uint32_t>(std::lround(frameTime * 1000.0f));
    return true;
}
bool notYet()
{
    return false;
}
void beginFeedback()
{
    DrawGl::beginFeedback(&feedbackBuffer);
}
void endFeedback()
{
    framePolygons = DrawGl::endFeedback(feedbackBuffer);
    viewRangeInFrame = viewRange;
    fakeTicks += 1000000;  // past the end of any scene
}
void noFinish(bool) {}
const SkipAhead oneFrame = {moveToFrameTime, notYet, endFeedback, noFinish};

std::vector<FedPolygon> frameAt(void (*scene)(), float t)
{
    frameTime = t;
    fakeTicks = 100000;
    Services table = fakeTickServices();
    table.skipAhead = &oneFrame;
    table.clear = beginFeedback;
    handDownServices(table);
    resetRandom();
    scene();
    handDownServices(Services{});
    return framePolygons;
}

// A picture quad as feedback shows it, clipped to the 800 x 600 window: its brightness and extent.
struct PictureQuad {
    float brightness = 0.0f;
    float left = 1e9f, right = -1e9f, bottom = 1e9f, top = -1e9f;
};

// The picture quads of a frame: polygons at least 250 pixels wide and 150 high (letters and
// particles are far smaller), the halves of one quad joined by their colour; dimmest first.
std::vector<PictureQuad> pictureQuads(const std::vector<FedPolygon>& polygons)
{
    std::vector<PictureQuad> quads;
    for (const FedPolygon& polygon : polygons) {
        PictureQuad q;
        q.brightness = polygon[0].r;
        for (const FedCorner& c : polygon) {
            q.left = std::min(q.left, c.x);
            q.right = std::max(q.right, c.x);
            q.bottom = std::min(q.bottom, c.y);
            q.top = std::max(q.top, c.y);
        }
        if (q.right - q.left < 250.0f || q.top - q.bottom < 150.0f) {
            continue;
        }
        auto same = std::find_if(quads.begin(), quads.end(),
                                 [&](const PictureQuad& o) { return std::fabs(o.brightness - q.brightness) < 1e-3f; });
        if (same == quads.end()) {
            quads.push_back(q);
        } else {
            same->left = std::min(same->left, q.left);
            same->right = std::max(same->right, q.right);
            same->bottom = std::min(same->bottom, q.bottom);
            same->top = std::max(same->top, q.top);
        }
    }
    std::sort(quads.begin(), quads.end(),
              [](const PictureQuad& a, const PictureQuad& b) { return a.brightness < b.brightness; });
    return quads;
}

// Three fresh stream systems in the asset globals, their emitters parked far away.
struct Streams {
    ParticleSystem red{500, nullptr, 3.0f, 60, 30.0f, 200.0f, nullptr};
    ParticleSystem green{500, nullptr, 3.0f, 60, 30.0f, 200.0f, nullptr};
    ParticleSystem blue{500, nullptr, 3.0f, 60, 30.0f, 200.0f, nullptr};
    ParticleSystem white{1000, nullptr, 3.0f, 100, 40.0f, 200.0f, nullptr};

    Streams()
    {
        redParticles = &red;
        greenParticles = &green;
        blueParticles = &blue;
        whiteParticles = &white;
        park();
    }
    ~Streams() { redParticles = greenParticles = blueParticles = whiteParticles = nullptr; }
    void park()
    {
        for (ParticleSystem* system : {&red, &green, &blue, &white}) {
            system->emitterPosition = parked;
        }
    }
    static constexpr Vec3d parked{1e6, 1e6, 1e6};
};

// Within the few hundredths that the clock's single precision moves a path (a jitter is whole).
void expectAt(const Vec3d& actual, const Vec3d& expected, const char* what)
{
    EXPECT_NEAR(actual.x, expected.x, 0.05) << what;
    EXPECT_NEAR(actual.y, expected.y, 0.05) << what;
    EXPECT_NEAR(actual.z, expected.z, 0.05) << what;
}

// 3.6 units in front of the eye, as every picture quad lies, one unit is 300 / (3.6 tan 22.5)
// = 201.18 pixels of the 600-pixel window.
constexpr float pictureUnit = 201.18f;

}  // namespace

TEST_F(DrawGl, OpeningShowsTheLoadingPictureTitleFlashAndStreamsAtTheirTimes)
{
    Streams streams;
    woodModel = nullptr;

    // T = 2: only the loading picture, moved up by 2 units: its foot at 300 + 0.5 units.
    std::vector<PictureQuad> pictures = pictureQuads(frameAt(openingScene, 2.0f));
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_NEAR(pictures[0].brightness, 1.0f, 0.01f);
    EXPECT_NEAR(pictures[0].bottom, 300.0f + 0.5f * pictureUnit, 1.0f);
    expectAt(streams.red.emitterPosition, Streams::parked, "no stream before 34.5 s");

    EXPECT_TRUE(pictureQuads(frameAt(openingScene, 34.4f)).empty());
    expectAt(streams.red.emitterPosition, Streams::parked, "no stream before 34.5 s");

    // T = 35: the title at 0.5 / 9.5, unmoved; the streams on their paths with the jitter 1 7 4
    // (red), 0 9 4 (green), 8 8 2 (blue) of a fresh random source.
    pictures = pictureQuads(frameAt(openingScene, 35.0f));
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_NEAR(pictures[0].brightness, 0.0526f, 0.002f);
    EXPECT_LE(pictures[0].bottom, 0.5f);
    expectAt(streams.red.emitterPosition, Vec3d{64.3319, -15.6109, -579.0704}, "red");
    expectAt(streams.green.emitterPosition, Vec3d{77.3891, -115.0959, -935.7332}, "green");
    expectAt(streams.blue.emitterPosition, Vec3d{-80.3877, -45.2281, -918.9694}, "blue");

    // The flash only from 43 s, at T - 43, over the title at (T - 34.5) / 9.5.
    pictures = pictureQuads(frameAt(openingScene, 42.9f));
    ASSERT_EQ(pictures.size(), 1u);
    EXPECT_NEAR(pictures[0].brightness, 0.8842f, 0.002f);
    pictures = pictureQuads(frameAt(openingScene, 43.5f));
    ASSERT_EQ(pictures.size(), 2u);
    EXPECT_NEAR(pictures[0].brightness, 0.5f, 0.002f);
    EXPECT_NEAR(pictures[1].brightness, 0.9474f, 0.002f);
}

TEST_F(DrawGl, EveryStreamFollowsItsPathWithItsJitterDrawnXYZ)
{
    // Paths at a chosen time plus the jitter of a fresh random source (1 7 4, 0 9 4, 8 8 2).
    Streams streams;
    trucModel = nullptr;
    choseModel = nullptr;
    metaModel = nullptr;
    choseModel2 = nullptr;

    frameAt(titleScene, 5.0f);  // x swings by w = 100 cos 25 = 99.1203
    expectAt(streams.red.emitterPosition, Vec3d{16.2131, -147.4021, -943.0079}, "title red");
    expectAt(streams.blue.emitterPosition, Vec3d{122.5454, -190.8032, -659.4371}, "title blue");

    frameAt(firstVerseScene, 5.0f);
    expectAt(streams.white.emitterPosition, Vec3d{-138.0959, -147.4021, -943.0079}, "first verse white");

    frameAt(thirdVerseScene, 5.0f);
    expectAt(streams.blue.emitterPosition, Vec3d{103.8577, -147.4021, -893.6063}, "third verse blue");
    expectAt(streams.green.emitterPosition, Vec3d{-267.6373, -174.9072, -665.1497}, "third verse green");

    streams.park();
    frameAt(closingScene, 21.4f);
    expectAt(streams.white.emitterPosition, Streams::parked, "no closing stream before 21.5 s");
    frameAt(closingScene, 30.0f);
    expectAt(streams.white.emitterPosition, Vec3d{170.2214, -34.9389, -816.1729}, "closing white");
}

TEST_F(DrawGl, CreditsPlayAtViewRangeOneAndPutTwoBackEvenAfterEscape)
{
    castelModel = nullptr;
    viewRange = 0;
    frameAt(creditsScene, 10.0f);
    EXPECT_EQ(viewRangeInFrame, 1);
    EXPECT_EQ(viewRange, 2);
    viewRange = 0;
    runAfterEscape(creditsScene);
    EXPECT_EQ(viewRange, 2);
}

// The flashes and fades of the later scenes, drawn with nothing loaded: at half strength inside
// their windows, absent just outside them (the backgrounds stay at full brightness).
TEST_F(DrawGl, LaterScenesFlashAndFadeAtTheirTimes)
{
    Streams streams;
    tunnelModel = nullptr;
    metaModel = nullptr;
    roomModel = nullptr;
    choseModel2 = nullptr;
    const struct {
        void (*scene)();
        const char* name;
        float t;
        bool shown;  // at brightness 0.5
    } cases[] = {
        {secondVerseScene, "second verse", 0.5f, true},
        {secondVerseScene, "second verse", 1.01f, false},
        {secondVerseScene, "second verse", 13.99f, false},
        {secondVerseScene, "second verse", 15.0f, true},
        {thirdVerseScene, "third verse", 0.25f, true},
        {thirdVerseScene, "third verse", 0.51f, false},
        {thirdVerseScene, "third verse", 15.99f, false},
        {thirdVerseScene, "third verse", 16.5f, true},
        {fourthVerseScene, "fourth verse", 0.25f, true},
        {fourthVerseScene, "fourth verse", 0.51f, false},
        {fourthVerseScene, "fourth verse", 15.99f, false},
        {fourthVerseScene, "fourth verse", 16.5f, true},
        {closingScene, "closing", 0.5f, true},
        {closingScene, "closing", 1.01f, false},
        {closingScene, "closing", 58.99f, false},
        {closingScene, "closing", 59.5f, true},
    };
    for (const auto& c : cases) {
        std::vector<PictureQuad> pictures = pictureQuads(frameAt(c.scene, c.t));
        pictures.erase(
            std::remove_if(pictures.begin(), pictures.end(), [](const PictureQuad& q) { return q.brightness > 0.99f; }),
            pictures.end());
        ASSERT_EQ(pictures.size(), c.shown ? 1u : 0u) << c.name << " at " << c.t;
        if (c.shown) {
            EXPECT_NEAR(pictures[0].brightness, 0.5f, 0.002f) << c.name << " at " << c.t;
        }
    }
    // The Second verse flash recedes: at 0.5 s it is 2 units farther, 5.6 units away, where its
    // half-width of 2 units is 2 x 300 / (5.6 tan 22.5) = 259 pixels.
    std::vector<PictureQuad> flash = pictureQuads(frameAt(secondVerseScene, 0.5f));
    ASSERT_EQ(flash.size(), 1u);
    EXPECT_NEAR(flash[0].left, 400.0f - 258.7f, 1.0f);
    EXPECT_NEAR(flash[0].right, 400.0f + 258.7f, 1.0f);
    // The Fourth verse flash slides up by 5 t: 1.25 units at 0.25 s.
    flash = pictureQuads(frameAt(fourthVerseScene, 0.25f));
    ASSERT_EQ(flash.size(), 1u);
    EXPECT_NEAR(flash[0].bottom, 300.0f - 0.25f * pictureUnit, 1.0f);
}

// ---- The verse scenes' own model drawing ---------------------------------------------------------

namespace {

// A triangle mesh with corners a, b, c, white and mapped as a loaded mesh is.
SceneObject* litTriangle(Model& model, const char* name, const Vec3d& a, const Vec3d& b, const Vec3d& c)
{
    SceneObject* object = addObject(model, ObjectKind::Mesh, name);
    scenefix::setMesh(object, {a, b, c}, {Face{0, 1, 2, 0}});
    object->vertexColours = new Vec3f[3];
    object->mapping = new TexCoord[3];
    for (int i = 0; i < 3; ++i) {
        object->vertexColours[i] = Vec3f{1.0f, 1.0f, 1.0f};
    }
    object->mappingCount = 3;
    return object;
}

// Where a point 100 units ahead of a camera at the origin (looking along -z) lands.
Vec3d straightAhead(double x, double y)
{
    glLoadIdentity();
    return DrawGl::project(Vec3d{x, y, -100.0});
}

// Meshes side by side 100 units ahead, one triangle each from (x, 0) with corners 5 units to the
// right and 5 up, its rest position on its left corner; the camera at the origin.
struct SideBySide {
    Model model;
    std::vector<std::pair<const char*, double>> meshes;

    explicit SideBySide(std::vector<std::pair<const char*, double>> names) : meshes(std::move(names))
    {
        addObject(model, ObjectKind::Camera, "eye");
        for (const auto& [name, x] : meshes) {
            SceneObject* mesh = litTriangle(model, name, {x, 0, -100}, {x + 5, 0, -100}, {x, 5, -100});
            mesh->basePosition = Vec3d{x, 0, -100};
        }
    }
    // How often the right corner of the named mesh is sent where it rests, or squeezed to half.
    static int sent(const std::vector<FedPolygon>& polygons, double x, bool squeezed)
    {
        const Vec3d w = straightAhead(x + (squeezed ? 2.5 : 5.0), 0.0);
        int n = 0;
        for (const FedPolygon& polygon : polygons) {
            for (const FedCorner& c : polygon) {
                n += std::fabs(c.x - w.x) < 0.5 && std::fabs(c.y - w.y) < 0.5 ? 1 : 0;
            }
        }
        return n;
    }
};

void drawTunnel()
{
    drawWholeModel(tunnelModel);
}

}  // namespace

TEST_F(DrawGl, WholeModelDrawsEveryMeshButEmittersOnceEach)
{
    SideBySide fixture({{"wall", -48}, {"x%glow", -30}, {"%glow", -12}, {"*%spark", 6}, {"*1fire", 24}});
    tunnelModel = &fixture.model;
    const std::vector<FedPolygon> polygons = feedback(drawTunnel);
    tunnelModel = nullptr;
    const int expected[5] = {1, 1, 1, 1, 0};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(SideBySide::sent(polygons, fixture.meshes[i].second, false), expected[i]) << fixture.meshes[i].first;
    }
    expectRestoredState();
}

TEST_F(DrawGl, RoomSwaysOnlyItsPercentFirstMeshesAndRestoresDepthWrites)
{
    // At t = 0 the sway squeezes the row at height 0 to half: the right corner moves 2.5 left.
    SideBySide fixture(
        {{"wall", -48}, {"x%glow", -30}, {"%sway", -12}, {"%%both", 6}, {"*1fire", 24}, {"*%spark", 40}});
    roomModel = &fixture.model;
    sceneTime = 0.0f;
    const std::vector<FedPolygon> polygons = feedback(drawRoomModel);
    roomModel = nullptr;
    const int resting[6] = {1, 1, 0, 1, 0, 1};
    const int squeezed[6] = {0, 0, 1, 1, 0, 0};
    for (int i = 0; i < 6; ++i) {
        const double x = fixture.meshes[i].second;
        EXPECT_EQ(SideBySide::sent(polygons, x, false), resting[i]) << fixture.meshes[i].first;
        EXPECT_EQ(SideBySide::sent(polygons, x, true), squeezed[i]) << fixture.meshes[i].first;
    }
    expectRestoredState();
}

TEST_F(DrawGl, ThirdVerseShellReachesOutToTheScaledCornersFromTheCameraPulledBack)
{
    // Two far lights as the attractors, then one face; no camera, so the view is only pulled back
    // 200 units. At t = 3 the shell factor is 5 sin 2 = 4.5465.
    Model meta;
    addObject(meta, ObjectKind::Light, "far1")->position = Vec3d{1e7, 0, 0};
    addObject(meta, ObjectKind::Light, "far2")->position = Vec3d{0, 1e7, 0};
    litTriangle(meta, "meta", {8, 0, 0}, {0, 8, 0}, {-4, 4, 8});
    Streams streams;
    metaModel = &meta;
    const std::vector<FedPolygon> polygons = frameAt(thirdVerseScene, 3.0f);
    metaModel = nullptr;

    auto view = [](const Vec3d& p) {
        glLoadIdentity();
        glTranslated(0.0, 0.0, -200.0);
        return project(p);
    };
    FedCorner c{};
    // The solid face, white, mapped by (x + z) / 50 and (y + z) / 50.
    ASSERT_TRUE(cornerAt(polygons, view({-4, 4, 8}), &c));
    EXPECT_NEAR(c.r, 1.0f, 0.01f);
    // The shell's outer corners, black: s e1 and s e3, the last mapped by y / 50 + z / 40.
    ASSERT_TRUE(cornerAt(polygons, view({36.372, 0, 0}), &c));
    EXPECT_NEAR(c.r, 0.0f, 0.01f);
    EXPECT_NEAR(c.s, 0.16f, 1e-4f);
    ASSERT_TRUE(cornerAt(polygons, view({-18.186, 18.186, 36.372}), &c));
    EXPECT_NEAR(c.r, 0.0f, 0.01f);
    EXPECT_NEAR(c.s, 0.08f, 1e-4f);
    EXPECT_NEAR(c.t, 0.28f, 1e-4f);
    expectRestoredState();
}

TEST_F(DrawGl, ClosingStreaksRunFromTheBentCornerToThreeHundredBeyondIt)
{
    // Three far lights as the attractors, then 13 faces (one streak, from face 0) around
    // (-24, -24); seen 500 units ahead. At t = 0 the bend factor is 4: the first corner goes to
    // 5 times itself, the far attractors move the second by a hair, the third never moves.
    Model chose;
    addObject(chose, ObjectKind::Light, "far1")->position = Vec3d{1e7, 0, 0};
    addObject(chose, ObjectKind::Light, "far2")->position = Vec3d{0, 1e7, 0};
    addObject(chose, ObjectKind::Light, "far3")->position = Vec3d{0, 0, -1e7};
    SceneObject* blob = addObject(chose, ObjectKind::Mesh, "blob");
    scenefix::setTriangles(blob, 13);
    for (int i = 0; i < blob->vertexCount; ++i) {
        blob->vertices[i].x -= 24.0;
        blob->vertices[i].y -= 24.0;
    }
    Streams streams;
    choseModel2 = &chose;
    const std::vector<FedPolygon> polygons = frameAt(closingScene, 0.0f);
    choseModel2 = nullptr;

    auto view = [](double x, double y) {
        glLoadIdentity();
        glTranslated(0.0, 0.0, -500.0);
        return project(Vec3d{x, y, 0.0});
    };
    const struct {
        double x, y;
        float grey, s, t;
    } corners[4] = {{-120, -120, 0.0f, 0, 0}, {-19, -24, 0.2f, 0, 1}, {-24, -19, 0.0f, 1, 1}, {180, 180, 0.2f, 1, 0}};
    for (const auto& corner : corners) {
        FedCorner c{};
        ASSERT_TRUE(cornerAt(polygons, view(corner.x, corner.y), &c)) << corner.x << ", " << corner.y;
        EXPECT_NEAR(c.r, corner.grey, 0.01f);
        EXPECT_NEAR(c.g, corner.grey, 0.01f);
        EXPECT_NEAR(c.s, corner.s, 1e-4f);
        EXPECT_NEAR(c.t, corner.t, 1e-4f);
    }
    expectRestoredState();
}
