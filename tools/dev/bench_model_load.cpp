// Benchmark: loads the seven generated scenes the way the asset loader does (wood and castel with
// their grid) and prints, per file, the load time, the share of it spent in the lighting pass, and
// the grid build, each the best of a few runs. Pictures are not loaded (no GL context).
// Usage: bench_model_load [MAPS_FOLDER].
#include <chrono>
#include <cstdio>
#include <string>

#include "model/model.h"

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

}  // namespace

int main(int argc, char** argv)
{
    const std::string folder = argc > 1 ? argv[1] : std::string(VELMORA_DATA_DIR) + "/maps";
    struct Scene {
        const char* file;
        bool grid;
    };
    const Scene scenes[] = {{"wood.3ds", true},  {"truc.3ds", false}, {"castel.3ds", true},
                            {"chose.3ds", false}, {"tunnel.3ds", false}, {"meta.3ds", false},
                            {"room.3ds", false}};
    std::printf("%-12s %8s %8s %7s %7s %9s %9s %9s %8s\n", "file", "objects", "vertices", "faces",
                "lights", "load ms", "light ms", "light %", "grid ms");
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
        std::printf("%-12s %8d %8ld %7ld %7d %9.1f %9.1f %8.0f%% %8.1f\n", scene.file, model.objectCount,
                    vertices, faces, model.lightCount, load * 1e3, lighting * 1e3,
                    load > 0.0 ? 100.0 * lighting / load : 0.0, grid * 1e3);
    }
    std::printf("all seven: %.1f ms (lighting %.1f ms, %.0f%%)\n", total * 1e3, totalLighting * 1e3,
                total > 0.0 ? 100.0 * totalLighting / total : 0.0);
    return status;
}
