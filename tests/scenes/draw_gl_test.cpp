// drawTitleStreaks and drawBlobs caught in GL feedback mode: which faces become streaks or blob
// triangles, where their corners land, their colours, and the GL state they leave behind.
// Runs in a window under the test display with the program's own GL state (initGL).
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/support/gl_window.h"
#include "scenes/assets.h"
#include "platform/platform.h"
#include "core/gl.h"
#include "render/particles.h"
#include "core/switches.h"
#include "scene_fixtures.h"
#include "scenes/first_verse.h"
#include "scenes/scenes.h"
#include "scenes/title.h"
#include "scenes/texts.h"
#include "render/text.h"
#include <cstring>
#include "shell/window.h"

using scenefix::addObject;

namespace {

// One corner as feedback reports it: window position, colour, texture coordinate.
struct FedCorner {
    float x, y, z;
    float r, g, b;
    float s, t;
};
using FedPolygon = std::vector<FedCorner>;

class DrawGl : public ::testing::Test {
public:
    static void SetUpTestSuite()
    {
        if (!openTestWindow("scenes test", 800, 600, false, &whyNot)) {
            return;
        }
        initGL();
        windowReady = true;
    }

    void SetUp() override
    {
        VELMORA_NEED_WINDOW(windowReady, whyNot);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    // Runs draw in feedback mode and returns the polygons it sent (a quad may come back as two
    // triangles).
    static std::vector<FedPolygon> feedback(void (*draw)())
    {
        std::vector<GLfloat> buffer(1 << 20);
        glFeedbackBuffer(static_cast<GLsizei>(buffer.size()), GL_3D_COLOR_TEXTURE, buffer.data());
        glRenderMode(GL_FEEDBACK);
        draw();
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

    static bool windowReady;
    static std::string whyNot;
};

bool DrawGl::windowReady = false;
std::string DrawGl::whyNot;

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

void drawFullStreaks() { drawTitleStreaks(1.0f); }
void drawHalfStreaks() { drawTitleStreaks(0.5f); }

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
        EXPECT_EQ(cornerAt(polygons, streakView(Vec3d{c.x + 100, c.y + 100, c.z + 100})), streak)
            << "face " << face;
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
    // with the picture laid on by x/50 + z/700, y/50 + z/700.
    const SceneObject* mesh = fixture.meshes[0];
    const Vec3d c = mesh->vertices[mesh->faces[0].c];
    FedCorner corner{};
    ASSERT_TRUE(cornerAt(dim, blobView(c), &corner));
    EXPECT_NEAR(corner.s, c.x / 50.0, 1e-3);
    EXPECT_NEAR(corner.t, c.y / 50.0, 1e-3);
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

TEST_F(DrawGl, CreditsPutTheViewRangeBackEvenAfterEscape)
{
    viewRange = 0;
    runAfterEscape(creditsScene);
    EXPECT_EQ(viewRange, 2);
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
