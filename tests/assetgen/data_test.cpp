// Tests of the generated data folder: every file the presentation opens is there, every picture
// decodes with libjpeg as 3-component RGB of the intended size, Debian's lib3ds reads each scene
// as the generator meant it, assimp opens each, and two runs of the generator write the same bytes.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <jpeglib.h>

#ifdef VELMORA_HAVE_LIB3DS
#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/light.h>
#include <lib3ds/material.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>
#endif

#include "tools/assetgen/scenekit.h"

namespace {

const std::string kData = VELMORA_DATA_DIR;

bool exists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::vector<std::string> filesUnder(const std::string& root, const std::string& sub = "")
{
    std::vector<std::string> out;
    DIR* d = opendir((root + "/" + sub).c_str());
    if (!d)
        return out;
    while (dirent* e = readdir(d)) {
        std::string name = e->d_name;
        if (name == "." || name == "..")
            continue;
        std::string rel = sub.empty() ? name : sub + "/" + name;
        struct stat st;
        if (stat((root + "/" + rel).c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            std::vector<std::string> inner = filesUnder(root, rel);
            out.insert(out.end(), inner.begin(), inner.end());
        } else {
            out.push_back(rel);
        }
    }
    closedir(d);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<char> readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct JpegInfo {
    bool ok = false;
    int width = 0, height = 0, components = 0;
    bool progressive = false;
};

// Decodes the whole file with libjpeg's defaults, as the presentation's loader does.
JpegInfo decodeJpeg(const std::string& path)
{
    JpegInfo info;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return info;
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr jerr;
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_decompress(&cinfo);
    jpeg_stdio_src(&cinfo, f);
    if (jpeg_read_header(&cinfo, TRUE) == JPEG_HEADER_OK) {
        info.progressive = jpeg_has_multiple_scans(&cinfo);
        info.components = cinfo.num_components;
        jpeg_start_decompress(&cinfo);
        info.width = static_cast<int>(cinfo.output_width);
        info.height = static_cast<int>(cinfo.output_height);
        std::vector<JSAMPLE> row(static_cast<size_t>(cinfo.output_width) * cinfo.output_components);
        while (cinfo.output_scanline < cinfo.output_height) {
            JSAMPROW r = row.data();
            jpeg_read_scanlines(&cinfo, &r, 1);
        }
        info.ok = cinfo.output_components == 3;
        jpeg_finish_decompress(&cinfo);
    }
    jpeg_destroy_decompress(&cinfo);
    std::fclose(f);
    return info;
}

const std::vector<ag::SceneDef>& scenes()
{
    static const std::vector<ag::SceneDef> all = ag::buildAllScenes();
    return all;
}

}  // namespace

TEST(AssetgenData, EveryFileThePresentationOpensIsThere)
{
    const char* files[] = {"pict/white.jpg",  "pict/load.jpg",    "pict/title.jpg",  "pict/title2.jpg",
                           "pict/dorn.jpg",   "pict/varrick.jpg", "pict/fond.jpg",   "pict/white2.jpg",
                           "text/partr.jpg",  "text/partg.jpg",   "text/partb.jpg",  "text/part.jpg",
                           "maps/wood.3ds",   "maps/truc.3ds",    "maps/castel.3ds", "maps/chose.3ds",
                           "maps/tunnel.3ds", "maps/meta.3ds",    "maps/room.3ds",   "music/velmora.mp3"};
    // The browser build's outline font is opened there instead of being built from FreeType.
    std::set<std::string> opened = {"text/font.bin"};
    for (const char* f : files) {
        EXPECT_TRUE(exists(kData + "/" + f)) << f;
        opened.insert(f);
    }
    for (const ag::SceneDef& s : scenes()) {
        for (const std::string& m : ag::materialNames(s)) {
            EXPECT_LE(m.size(), 255u);
            EXPECT_TRUE(exists(kData + "/" + m)) << s.path << " names " << m;
            opened.insert(m);
        }
    }
    // Nor does the data hold a file that nothing opens.
    for (const auto& entry : std::filesystem::recursive_directory_iterator(kData)) {
        if (entry.is_regular_file()) {
            const std::string name = std::filesystem::relative(entry.path(), kData).generic_string();
            EXPECT_TRUE(opened.count(name) != 0) << name << " is in the data but nothing opens it";
        }
    }
}

TEST(AssetgenData, EveryPictureDecodesAsBaselineRgbOfItsSize)
{
    size_t pictures = 0;
    for (const std::string& rel : filesUnder(kData)) {
        if (rel.size() < 4 || rel.substr(rel.size() - 4) != ".jpg")
            continue;
        ++pictures;
        JpegInfo info = decodeJpeg(kData + "/" + rel);
        ASSERT_TRUE(info.ok) << rel;
        EXPECT_EQ(info.components, 3) << rel;
        EXPECT_FALSE(info.progressive) << rel;
        if (rel.rfind("pict/", 0) == 0) {
            EXPECT_EQ(info.width, 1024) << rel;
            EXPECT_EQ(info.height, 768) << rel;
        } else if (rel.rfind("text/", 0) == 0) {
            EXPECT_EQ(info.width, 128) << rel;
            EXPECT_EQ(info.height, 128) << rel;
        } else {
            EXPECT_TRUE(info.width == 256 || info.width == 512) << rel;
            EXPECT_EQ(info.width, info.height) << rel;
        }
    }
    EXPECT_GE(pictures, 12u + 20u);
}

#ifdef VELMORA_HAVE_LIB3DS

namespace {

template <typename Key>
int countKeys(Key* k)
{
    int n = 0;
    for (; k; k = k->next)
        ++n;
    return n;
}

}  // namespace

// Debian's lib3ds is a second reader: it must find exactly the meshes, lights, cameras and keys
// the generator put in, with the names and counts it meant.
TEST(AssetgenData, Lib3dsReadsEachSceneAsGenerated)
{
    for (const ag::SceneDef& s : scenes()) {
        SCOPED_TRACE(s.path);
        Lib3dsFile* file = lib3ds_file_load((kData + "/" + s.path).c_str());
        ASSERT_NE(file, nullptr);
        // lib3ds keeps its lists in its own order (by name), so objects are matched by name.
        std::map<std::string, Lib3dsMesh*> meshes;
        for (Lib3dsMesh* m = file->meshes; m; m = m->next)
            meshes[m->name] = m;
        EXPECT_EQ(meshes.size(), s.meshes.size());
        for (const ag::MeshDef& want : s.meshes) {
            ASSERT_EQ(meshes.count(want.name), 1u) << want.name;
            const Lib3dsMesh* got = meshes[want.name];
            EXPECT_EQ(got->points, want.vertices.size()) << want.name;
            EXPECT_EQ(got->faces, want.faces.size()) << want.name;
            EXPECT_EQ(got->texels, want.mapping.size()) << want.name;
            if (got->faces > 0) {
                EXPECT_EQ(std::string(got->faceL[0].material), want.material) << want.name;
            }
            // Points arrive in the file's Z-up frame.
            EXPECT_FLOAT_EQ(got->pointL[0].pos[2], want.vertices[0].y) << want.name;
            EXPECT_FLOAT_EQ(got->pointL[0].pos[1], -want.vertices[0].z) << want.name;

            Lib3dsNode* node = lib3ds_file_node_by_name(file, want.name.c_str(), LIB3DS_OBJECT_NODE);
            ASSERT_NE(node, nullptr) << want.name;
            EXPECT_EQ(countKeys(node->data.object.pos_track.keyL), static_cast<int>(want.positionKeys.size()))
                << want.name;
            EXPECT_EQ(countKeys(node->data.object.rot_track.keyL), static_cast<int>(want.rotationKeys.size()))
                << want.name;
        }
        std::map<std::string, Lib3dsLight*> lights;
        for (Lib3dsLight* l = file->lights; l; l = l->next)
            lights[l->name] = l;
        EXPECT_EQ(lights.size(), s.lights.size());
        for (const ag::LightDef& want : s.lights) {
            ASSERT_EQ(lights.count(want.name), 1u) << want.name;
            EXPECT_TRUE(lights[want.name]->spot_light) << want.name;
            EXPECT_FLOAT_EQ(lights[want.name]->position[2], want.position.y) << want.name;
        }
        std::map<std::string, Lib3dsCamera*> cameras;
        for (Lib3dsCamera* c = file->cameras; c; c = c->next)
            cameras[c->name] = c;
        EXPECT_EQ(cameras.size(), s.cameras.size());
        for (const ag::CameraDef& want : s.cameras) {
            ASSERT_EQ(cameras.count(want.name), 1u) << want.name;
            Lib3dsNode* eye = lib3ds_file_node_by_name(file, want.name.c_str(), LIB3DS_CAMERA_NODE);
            Lib3dsNode* target = lib3ds_file_node_by_name(file, want.name.c_str(), LIB3DS_TARGET_NODE);
            ASSERT_NE(eye, nullptr) << want.name;
            ASSERT_NE(target, nullptr) << want.name;
            EXPECT_EQ(countKeys(eye->data.camera.pos_track.keyL), static_cast<int>(want.eye.size())) << want.name;
            EXPECT_EQ(countKeys(target->data.target.pos_track.keyL), static_cast<int>(want.target.size())) << want.name;
        }
        size_t materials = 0;
        for (Lib3dsMaterial* m = file->materials; m; m = m->next)
            ++materials;
        EXPECT_EQ(materials, ag::materialNames(s).size());
        lib3ds_file_free(file);
    }
}

#endif

TEST(AssetgenData, AssimpOpensEachScene)
{
    if (std::system("command -v assimp >/dev/null 2>&1") != 0)
        GTEST_SKIP() << "assimp (assimp-utils) is not installed";
    for (const ag::SceneDef& s : scenes()) {
        std::string cmd = "assimp info '" + kData + "/" + s.path + "' >/dev/null 2>&1";
        EXPECT_EQ(std::system(cmd.c_str()), 0) << cmd;
    }
}

// Two runs give the same bytes, and they are the bytes the build left in the data folder.
TEST(AssetgenData, RunsWriteIdenticalBytes)
{
    // Named after this process: test runs of other build folders may share the temporary folder.
    std::string base = testing::TempDir() + "/assetgen_runs_" + std::to_string(getpid());
    std::string a = base + "/a", b = base + "/b";
    std::system(("rm -rf '" + base + "'").c_str());
    ASSERT_EQ(std::system((std::string("'") + VELMORA_ASSETGEN + "' '" + a + "' --no-music").c_str()), 0);
    ASSERT_EQ(std::system((std::string("'") + VELMORA_ASSETGEN + "' '" + b + "' --no-music").c_str()), 0);
    std::vector<std::string> files = filesUnder(a);
    EXPECT_EQ(files, filesUnder(b));
    EXPECT_GT(files.size(), 40u);
    for (const std::string& rel : files) {
        std::vector<char> bytes = readAll(a + "/" + rel);
        EXPECT_FALSE(bytes.empty()) << rel;
        EXPECT_TRUE(bytes == readAll(b + "/" + rel)) << rel << " differs between runs";
        EXPECT_TRUE(bytes == readAll(kData + "/" + rel)) << rel << " differs from the build's data folder";
    }
    std::system(("rm -rf '" + base + "'").c_str());
}
