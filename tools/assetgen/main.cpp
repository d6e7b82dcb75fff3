// velmora-assetgen: writes the presentation's whole data folder (pictures, particle sprites, model
// textures, 3D scenes and the music) from code alone, with the same bytes on every run.
// Usage: velmora-assetgen DATA_DIR [--no-music] [--describe] [--preview PREVIEW_DIR]
// --no-music leaves the music out (the slowest part; for checks of the rest). --describe lists
// every object of every scene with its counts, keys and frames. With --preview it also renders
// each scene from its cameras into PNG files and prints the per-frame figures (triangles,
// additive fill, load-time lighting work).
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/assetgen/music/music.h"
#include "tools/assetgen/pictures.h"
#include "tools/assetgen/preview.h"
#include "tools/assetgen/scenekit.h"
#include "tools/assetgen/textures.h"
#include "tools/assetgen/tracks.h"

namespace {

bool fileExists(const std::string& path)
{
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    std::fclose(f);
    return true;
}

bool writeScenes(const std::string& dataDir, const std::vector<ag::SceneDef>& scenes)
{
    if (!ag::makeFolders(dataDir + "/maps"))
        return false;
    bool ok = true;
    for (const ag::SceneDef& scene : scenes) {
        std::vector<std::string> problems = ag::checkSceneRules(scene);
        for (const std::string& p : problems)
            std::fprintf(stderr, "%s\n", p.c_str());
        if (!problems.empty()) {
            ok = false;
            continue;
        }
        if (!tds::saveScene(ag::toFileScene(scene), dataDir + "/" + scene.path))
            ok = false;
        for (const std::string& material : ag::materialNames(scene)) {
            if (!fileExists(dataDir + "/" + material)) {
                std::fprintf(stderr, "%s: material picture %s was not generated\n", scene.path.c_str(),
                             material.c_str());
                ok = false;
            }
        }
    }
    return ok;
}

void describe(const std::vector<ag::SceneDef>& scenes)
{
    for (const ag::SceneDef& scene : scenes) {
        float start = 0.0f, end = 0.0f;
        ag::frameRange(scene, start, end);
        std::printf("%s: %zu meshes (%zu faces), %zu lights, %zu cameras, frames %.0f .. %.0f\n", scene.path.c_str(),
                    scene.meshes.size(), ag::totalFaces(scene), scene.lights.size(), scene.cameras.size(), start, end);
        for (const ag::MeshDef& m : scene.meshes) {
            std::printf("  mesh   %-16s %5zu vertices %5zu faces  keys %zu/%zu", m.name.c_str(), m.vertices.size(),
                        m.faces.size(), m.positionKeys.size(), m.rotationKeys.size());
            if (!m.positionKeys.empty()) {
                std::printf("  frames %u..%u  at (%.0f %.0f %.0f)", m.positionKeys.front().frame,
                            m.positionKeys.back().frame, m.positionKeys.front().value.x, m.positionKeys.front().value.y,
                            m.positionKeys.front().value.z);
            }
            std::printf("  %s\n", m.material.c_str());
        }
        for (const ag::LightDef& l : scene.lights) {
            std::printf("  light  %-16s at (%.0f %.0f %.0f) colour (%.2f %.2f %.2f) range %.0f\n", l.name.c_str(),
                        l.position.x, l.position.y, l.position.z, l.colour.x, l.colour.y, l.colour.z,
                        ag::length(l.target - l.position));
        }
        for (const ag::CameraDef& c : scene.cameras) {
            std::printf("  camera %-16s %zu keys, frames", c.name.c_str(), c.eye.size());
            for (const ag::TrackKey& k : c.eye)
                std::printf(" %u", k.frame);
            std::printf("\n");
        }
    }
}

void preview(const std::vector<ag::SceneDef>& scenes, const std::string& dir)
{
    ag::makeFolders(dir);
    std::printf("%-16s %9s %9s %8s %9s %9s %7s\n", "scene", "faces", "exact", "light s", "max tris", "additive",
                "sprites");
    for (const ag::SceneDef& scene : scenes) {
        ag::SceneFigures f = ag::analyseScene(scene, dir, 6);
        std::printf("%-16s %9zu %9llu %8.3f %9zu %9.2f %7.2f\n", scene.path.c_str(), ag::totalFaces(scene),
                    static_cast<unsigned long long>(f.shadowTests), f.lightingSeconds, f.maxTriangles,
                    f.maxAdditiveScreens, f.maxParticleScreens);
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2 || argv[1][0] == '-') {
        std::fprintf(stderr, "usage: %s DATA_DIR [--no-music] [--describe] [--preview PREVIEW_DIR]\n", argv[0]);
        return 2;
    }
    std::string dataDir = argv[1];
    std::string previewDir;
    bool music = true, listing = false;
    for (int i = 2; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-music") == 0) {
            music = false;
        } else if (std::strcmp(argv[i], "--describe") == 0) {
            listing = true;
        } else if (std::strcmp(argv[i], "--preview") == 0 && i + 1 < argc) {
            previewDir = argv[++i];
        } else {
            std::fprintf(stderr, "%s: unknown argument %s\n", argv[0], argv[i]);
            return 2;
        }
    }
    if (!ag::makeFolders(dataDir))
        return 1;
    std::vector<ag::SceneDef> scenes = ag::buildAllScenes();
    bool ok = ag::writePictures(dataDir);
    ok = ag::writeTextures(dataDir) && ok;
    ok = writeScenes(dataDir, scenes) && ok;
    if (music)
        ok = writeMusic(dataDir) && ok;
    if (listing)
        describe(scenes);
    if (!previewDir.empty())
        preview(scenes, previewDir);
    if (!ok) {
        std::fprintf(stderr, "%s: the data folder %s is incomplete\n", argv[0], dataDir.c_str());
        return 1;
    }
    return 0;
}
