// Benchmark: loads the seven generated scenes the way the asset loader does (wood and castel with
// their grid) and prints, per file, the load time, the share of it spent in the lighting pass, and
// the grid build, each the best of a few runs; then the load time of hostile files of about 1 MB
// built on the spot (a lighting bomb, a name bomb). Pictures are not loaded (no GL context).
// Usage: bench_model_load [MAPS_FOLDER].
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "model/model.h"
#include "tools/assetgen/tds_writer.h"

namespace {

constexpr int runs = 5;

double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The best of several runs of step: the machine is shared, and the minimum is the least disturbed.
template <typename Step>
double bestOf(Step step)
{
    double best = 1e30;
    for (int i = 0; i < runs; ++i) {
        auto start = std::chrono::steady_clock::now();
        step();
        double t = secondsSince(start);
        best = t < best ? t : best;
    }
    return best;
}

// About 1 MB: one lit mesh, 100 spotlights and small unlit boxes beside every light ray, which
// the bounding-box rejection lets through to the exact test.
std::vector<uint8_t> lightingBomb()
{
    const float o = 1000.0f;
    tds::Scene scene;
    tds::Mesh lit;
    lit.name = "lit";
    for (int i = 0; i < 20000; ++i)
        lit.vertices.push_back({o + i * 1e-5f, o, o});
    scene.objects.push_back(lit);
    for (int k = 0; k < 7000; ++k) {
        tds::Mesh box;
        box.name = "^" + std::to_string(k);
        const float x = o + 1.0f + (k % 1000) * 0.098f;
        box.vertices = {{x, o - 0.5f, o + 5.0f}, {x + 0.5f, o + 0.5f, o + 5.5f}};
        scene.objects.push_back(box);
    }
    for (int k = 0; k < 100; ++k) {
        tds::Light light;
        light.name = "l" + std::to_string(k);
        light.position = {o + 100.0f, k * 0.01f + o, o};
        light.isSpot = true;
        light.target = {o + 600.0f, o, o};
        scene.objects.push_back(light);
    }
    return tds::writeScene(scene);
}

// About 1 MB: many objects and many keyframer nodes, each naming the last object.
std::vector<uint8_t> nameBomb()
{
    tds::Scene scene;
    for (int k = 0; k < 25000; ++k)
        scene.objects.push_back(tds::EmptyObject{"object number " + std::to_string(k), {}});
    for (int k = 0; k < 10000; ++k) {
        tds::Node node;
        node.name = "object number 24999";
        node.writeNodeId = false;
        scene.nodes.push_back(node);
    }
    return tds::writeScene(scene);
}

void timeHostile(const char* name, const std::vector<uint8_t>& bytes)
{
    FILE* stream = fmemopen(const_cast<uint8_t*>(bytes.data()), bytes.size(), "rb");
    Model model;
    model.materialLoader = nullptr;
    auto start = std::chrono::steady_clock::now();
    model.loadFromStream(stream, name);
    const double seconds = secondsSince(start);
    std::fclose(stream);
    std::printf("%-14s %8zu bytes %8d objects %9.1f ms %12lld shadow work %10lld exact tests\n", name, bytes.size(),
                model.objectCount, seconds * 1e3, model.shadowWorkUsed, model.exactShadowTests);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : std::string(VELMORA_DATA_DIR) + "/maps";
    struct Scene {
        const char* file;
        bool grid;
    };
    const Scene scenes[] = {{"wood.3ds", true},    {"truc.3ds", false}, {"castel.3ds", true}, {"chose.3ds", false},
                            {"tunnel.3ds", false}, {"meta.3ds", false}, {"room.3ds", false}};
    std::printf("%-12s %8s %8s %7s %7s %9s %9s %9s %8s %12s %12s\n", "file", "objects", "vertices", "faces", "lights",
                "load ms", "light ms", "light %", "grid ms", "shadow work", "exact tests");
    double total = 0.0;
    double totalLighting = 0.0;
    int status = 0;
    for (const Scene& scene : scenes) {
        std::string path = folder + "/" + scene.file;
        Model model;
        model.materialLoader = nullptr;
        bool loaded = true;
        double load = bestOf([&] { loaded = model.load(path.c_str()) && loaded; });
        if (!loaded) {
            std::printf("%-12s not loaded (%s)\n", scene.file, path.c_str());
            status = 1;
            continue;
        }
        double grid = scene.grid ? bestOf([&] { model.buildGrid(); }) : 0.0;
        // The lighting pass again on its own: it recomputes the same colours.
        double lighting = bestOf([&] { model.computeVertexLighting(); });

        long vertices = 0;
        long faces = 0;
        model.rewind();
        for (int i = 0; i < model.objectCount; ++i, model.advance()) {
            vertices += model.cursor->vertexCount;
            faces += model.cursor->faceCount;
        }
        model.rewind();
        total += load + grid;
        totalLighting += lighting;
        std::printf("%-12s %8d %8ld %7ld %7d %9.1f %9.1f %8.0f%% %8.1f %12lld %12lld\n", scene.file, model.objectCount,
                    vertices, faces, model.lightCount, load * 1e3, lighting * 1e3,
                    load > 0.0 ? 100.0 * lighting / load : 0.0, grid * 1e3, model.shadowWorkUsed,
                    model.exactShadowTests);
    }
    std::printf("all seven: %.1f ms (lighting %.1f ms, %.0f%%)\n", total * 1e3, totalLighting * 1e3,
                total > 0.0 ? 100.0 * totalLighting / total : 0.0);
    std::printf("shadow work budget per file: %lld\n", Model::shadowWorkBudget);
    timeHostile("lighting bomb", lightingBomb());
    timeHostile("name bomb", nameBomb());
    return status;
}
