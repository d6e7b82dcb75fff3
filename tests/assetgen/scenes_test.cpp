// Tests of the generated scenes as built in memory: every rule the program relies on, the frame
// and hand-over layout of the camera tracks, the triangle budget per frame, the grid corner that
// off-grid view windows fall back to, textures that tile without seams, and the preview pictures'
// PNG output.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <set>
#include <string>

#include <unistd.h>

#include <gtest/gtest.h>

#include "tests/support/png_reader.h"
#include "tools/assetgen/image.h"
#include "tools/assetgen/preview.h"
#include "tools/assetgen/scenekit.h"
#include "tools/assetgen/textures.h"

namespace {

const std::vector<ag::SceneDef>& scenes()
{
    static const std::vector<ag::SceneDef> all = ag::buildAllScenes();
    return all;
}

const ag::SceneDef& scene(const std::string& path)
{
    for (const ag::SceneDef& s : scenes()) {
        if (s.path == path)
            return s;
    }
    throw std::runtime_error("no scene " + path);
}

bool hasProblemContaining(const std::vector<std::string>& problems, const std::string& text)
{
    for (const std::string& p : problems) {
        if (p.find(text) != std::string::npos)
            return true;
    }
    return false;
}

}  // namespace

TEST(AssetgenScenes, SevenScenesInLoadOrderAllKeepTheirRules)
{
    const std::vector<std::string> expected = {"maps/wood.3ds",   "maps/truc.3ds", "maps/castel.3ds", "maps/chose.3ds",
                                               "maps/tunnel.3ds", "maps/meta.3ds", "maps/room.3ds"};
    ASSERT_EQ(scenes().size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(scenes()[i].path, expected[i]);
        for (const std::string& p : ag::checkSceneRules(scenes()[i]))
            ADD_FAILURE() << p;
    }
}

TEST(AssetgenScenes, RuleChecksCatchBrokenScenes)
{
    ag::SceneDef meta = scene("maps/meta.3ds");
    meta.meshes.front().faces.resize(10);  // the first object no longer holds half the faces
    EXPECT_TRUE(hasProblemContaining(ag::checkSceneRules(meta), "half the faces"));

    ag::SceneDef chose = scene("maps/chose.3ds");
    chose.meshes[1].positionKeys.back().frame = 1000;  // a key beyond the first blob's bound
    EXPECT_TRUE(hasProblemContaining(ag::checkSceneRules(chose), "beyond the frame bound"));
    chose = scene("maps/chose.3ds");
    chose.meshes[2].positionKeys.pop_back();  // no longer 3m + 1 keys
    EXPECT_TRUE(hasProblemContaining(ag::checkSceneRules(chose), "3m + 1"));

    ag::SceneDef wood = scene("maps/wood.3ds");
    for (ag::MeshDef& m : wood.meshes) {
        if (m.name[0] == '*')
            m.positionKeys.clear();  // emitters would all sit at the origin
    }
    EXPECT_TRUE(hasProblemContaining(ag::checkSceneRules(wood), "without a rest position"));

    ag::SceneDef room = scene("maps/room.3ds");
    room.meshes.push_back(room.meshes.front());  // a duplicate name: findObject would pick the first
    EXPECT_TRUE(hasProblemContaining(ag::checkSceneRules(room), "duplicate object name"));
    room = scene("maps/room.3ds");
    while (room.lights.size() <= 100)
        room.lights.push_back(ag::makeLight("L" + std::to_string(room.lights.size()), {}, {1, 1, 1}, 10.0f));
    EXPECT_TRUE(hasProblemContaining(ag::checkSceneRules(room), "more than 100 lights"));

    ag::SceneDef truc = scene("maps/truc.3ds");
    truc.meshes.front().rotationKeys.resize(1);
    EXPECT_TRUE(hasProblemContaining(ag::checkSceneRules(truc), "rotation key"));

    ag::SceneDef tunnel = scene("maps/tunnel.3ds");
    tunnel.cameras.front().eye.resize(3);  // the first camera needs a key before its stretch
    tunnel.cameras.front().target.resize(3);
    EXPECT_TRUE(hasProblemContaining(ag::checkSceneRules(tunnel), "at least 4 position keys"));
}

// Each camera hands over at its key n - 2 to the next camera's key 1; the last one ends the scene
// at its key n - 3 with two keys after it, and every camera has a key before its stretch.
TEST(AssetgenScenes, CamerasHandOverWhereThePlaybackSwitches)
{
    for (const ag::SceneDef& s : scenes()) {
        SCOPED_TRACE(s.path);
        ASSERT_FALSE(s.cameras.empty());
        for (size_t i = 0; i + 1 < s.cameras.size(); ++i) {
            const ag::CameraDef& a = s.cameras[i];
            const ag::CameraDef& b = s.cameras[i + 1];
            ASSERT_GE(a.eye.size(), 4u);
            ASSERT_GE(b.eye.size(), 4u);
            EXPECT_EQ(a.eye[a.eye.size() - 2].frame, b.eye[1].frame) << a.name << " -> " << b.name;
        }
        for (const ag::CameraDef& c : s.cameras) {
            ASSERT_EQ(c.eye.size(), c.target.size());
            for (size_t k = 0; k < c.eye.size(); ++k)
                EXPECT_EQ(c.eye[k].frame, c.target[k].frame);
        }
        float start = 0.0f, end = 0.0f;
        ag::frameRange(s, start, end);
        EXPECT_LT(start, end);
    }
    // The Third verse plays frames up to the orb's key count - 1 and its camera stays within them.
    const ag::SceneDef& meta = scene("maps/meta.3ds");
    uint32_t bound = static_cast<uint32_t>(meta.meshes.front().positionKeys.size() - 1);
    const ag::CameraDef& cam = meta.cameras.front();
    EXPECT_EQ(cam.eye.back().frame, bound);
    EXPECT_GE(cam.eye[cam.eye.size() - 2].frame, bound - 1);
}

TEST(AssetgenScenes, MovingObjectsSpanThePlayedFrames)
{
    for (const ag::SceneDef& s : scenes()) {
        SCOPED_TRACE(s.path);
        float start = 0.0f, end = 0.0f;
        ag::frameRange(s, start, end);
        if (s.path == "maps/chose.3ds" || s.path == "maps/meta.3ds") {
            start = 0.0f;
            end = static_cast<float>(s.meshes.front().positionKeys.size() - 1);
        }
        for (const ag::MeshDef& m : s.meshes) {
            for (const std::vector<ag::TrackKey>* t : {&m.positionKeys, &m.rotationKeys}) {
                if (t->size() < 2)
                    continue;
                EXPECT_LE(static_cast<float>(t->front().frame), start) << m.name;
                // The last whole Bezier segment must end at or after the last frame played, or the
                // curve is extrapolated.
                EXPECT_GE(static_cast<float>(t->back().frame), end - 1.0f) << m.name;
            }
        }
    }
}

TEST(AssetgenScenes, NoFrameSendsMoreThanTwentyThousandTriangles)
{
    for (const ag::SceneDef& s : scenes()) {
        size_t most = ag::maxTrianglesPerFrame(s, 60);
        EXPECT_LE(most, 20000u) << s.path;
        EXPECT_GT(most, 0u) << s.path;
    }
}

// The renderer draws cell 0 for every view-window position off the grid; in the gridded scenes
// that cell holds nothing but the anchor's one face.
TEST(AssetgenScenes, GridCornerCellHoldsOnlyTheAnchor)
{
    for (const char* path : {"maps/wood.3ds", "maps/castel.3ds"}) {
        const ag::SceneDef& s = scene(path);
        float minX = 0.0f, minZ = 0.0f;
        for (const ag::MeshDef& m : s.meshes) {
            for (const tds::Face& f : m.faces) {
                for (uint16_t i : {f.a, f.b, f.c}) {
                    minX = std::min(minX, m.vertices[i].x);
                    minZ = std::min(minZ, m.vertices[i].z);
                }
            }
        }
        size_t inCorner = 0;
        for (const ag::MeshDef& m : s.meshes) {
            for (const tds::Face& f : m.faces) {
                double cx = (static_cast<double>(m.vertices[f.a].x) + m.vertices[f.b].x + m.vertices[f.c].x) / 3.0;
                double cz = (static_cast<double>(m.vertices[f.a].z) + m.vertices[f.b].z + m.vertices[f.c].z) / 3.0;
                if (cx > minX && cx <= minX + 200.0 && cz > minZ && cz <= minZ + 200.0) {
                    EXPECT_EQ(m.name, "g*anchor") << path;
                    ++inCorner;
                }
            }
        }
        EXPECT_EQ(inCorner, 1u) << path;
    }
}

// Emitters and bolt objects are placed by their rest position; bolt arcs leap from it away from
// the object's vertices, so those must not coincide with it (except the one never picked, the last).
TEST(AssetgenScenes, BoltObjectsThrowArcsOfUsefulLength)
{
    for (const ag::SceneDef& s : scenes()) {
        for (const ag::MeshDef& m : s.meshes) {
            if (m.name[0] != '#')
                continue;
            ASSERT_FALSE(m.positionKeys.empty()) << m.name;
            ag::Vec3 base = m.positionKeys.front().value;
            float shortest = 1e9f, longest = 0.0f;
            for (size_t i = 0; i + 1 < m.vertices.size(); ++i) {
                float d = ag::length(m.vertices[i] - base);
                shortest = std::min(shortest, d);
                longest = std::max(longest, d);
            }
            EXPECT_GT(longest, 20.0f) << s.path << " " << m.name;
            EXPECT_GT(shortest, 0.5f) << s.path << " " << m.name;
        }
    }
}

TEST(AssetgenScenes, LightsReachAsFarAsTheirSpotTargets)
{
    for (const ag::SceneDef& s : scenes()) {
        std::set<std::string> names;
        for (const ag::LightDef& l : s.lights) {
            float range = ag::length(l.target - l.position);
            EXPECT_GT(range, 50.0f) << s.path << " " << l.name;
            EXPECT_LT(range, 2000.0f) << s.path << " " << l.name;
            EXPECT_TRUE(names.insert(l.name).second);
        }
    }
}

TEST(AssetgenTextures, TilingTexturesJoinWithoutSeams)
{
    for (const ag::TextureSpec& spec : ag::textureSpecs()) {
        if (!spec.tiles)
            continue;
        ag::Image img;
        ASSERT_TRUE(ag::paintTexture(spec.path, img));
        ASSERT_EQ(img.width, spec.size);
        // Compare the step across the wrap with the typical step between neighbouring pixels.
        double inside = 0.0, across = 0.0;
        for (int y = 0; y < img.height; ++y) {
            ag::Vec3 d = img.at(img.width - 1, y) - img.at(0, y);
            across += std::fabs(d.x) + std::fabs(d.y) + std::fabs(d.z);
            ag::Vec3 e = img.at(img.width / 2, y) - img.at(img.width / 2 + 1, y);
            inside += std::fabs(e.x) + std::fabs(e.y) + std::fabs(e.z);
        }
        for (int x = 0; x < img.width; ++x) {
            ag::Vec3 d = img.at(x, img.height - 1) - img.at(x, 0);
            across += std::fabs(d.x) + std::fabs(d.y) + std::fabs(d.z);
            ag::Vec3 e = img.at(x, img.height / 2) - img.at(x, img.height / 2 + 1);
            inside += std::fabs(e.x) + std::fabs(e.y) + std::fabs(e.z);
        }
        EXPECT_LT(across, 2.5 * inside + 1.0) << spec.path;
    }
}

TEST(AssetgenTextures, EveryMaterialHasAPicture)
{
    std::set<std::string> known;
    for (const ag::TextureSpec& spec : ag::textureSpecs()) {
        EXPECT_TRUE(spec.size == 256 || spec.size == 512) << spec.path;
        EXPECT_TRUE(known.insert(spec.path).second) << "twice: " << spec.path;
    }
    for (const char* sprite :
         {"maps/tex/sparkr.jpg", "maps/tex/sparkg.jpg", "maps/tex/sparkb.jpg", "maps/tex/spark.jpg"})
        known.insert(sprite);
    for (const ag::SceneDef& s : scenes()) {
        for (const std::string& m : ag::materialNames(s))
            EXPECT_TRUE(known.count(m)) << s.path << ": " << m;
    }
}

// Previews are written top row first with each channel clamped and rounded to 0..255; a file that
// cannot be made is refused, not half written.
TEST(AssetgenImages, PreviewPngHoldsTheRoundedPixelsTopRowFirst)
{
    ag::Image img(2, 2);
    img.at(0, 0) = ag::Vec3{-0.5f, 0.5f, 1.5f};
    img.at(1, 0) = ag::Vec3{1.0f, 0.0f, 0.2f};
    img.at(0, 1) = ag::Vec3{0.1f, 0.9f, 0.0f};
    img.at(1, 1) = ag::Vec3{0.0f, 0.0f, 0.0f};
    const std::string path = testing::TempDir() + "assetgen_preview_" + std::to_string(getpid()) + ".png";
    ASSERT_TRUE(ag::writePng(img, path));
    int width = 0, height = 0;
    const std::vector<uint8_t> rgb = readPng(path, &width, &height);
    std::remove(path.c_str());
    ASSERT_EQ(width, 2);
    ASSERT_EQ(height, 2);
    // 0.5 * 255 = 127.5 rounds up; 0.2 * 255 = 51; 0.1 * 255 = 25.5 -> 26; 0.9 * 255 = 229.5 -> 230.
    const std::vector<uint8_t> expected = {0, 128, 255, 255, 0, 51, 26, 230, 0, 0, 0, 0};
    EXPECT_EQ(rgb, expected);

    const std::string missing = testing::TempDir() + "no_such_folder/preview.png";
    EXPECT_FALSE(ag::writePng(img, missing));
    FILE* f = std::fopen(missing.c_str(), "rb");
    EXPECT_EQ(f, nullptr);
    if (f != nullptr)
        std::fclose(f);
}
