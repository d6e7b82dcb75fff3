// render_frames: draws the gridded scenes of the generated data through renderModel at fixed scene
// times and writes each frame as a PNG, for looking at what the model passes make of real data.
// The particle clock is a fixed-step tick source; the frames before each shot are played at 30 per
// second so that attached particle systems have their history. Prints the time per model frame.
//   render_frames [data folder] [output folder] [width] [height]
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/clock.h"
#include "core/png.h"
#include "core/services.h"
#include "core/switches.h"
#include "media/texture.h"
#include "model/model.h"
#include "platform/platform.h"
#include "render/particles.h"
#include "shell/loader.h"
#include "shell/window.h"
#include "tests/support/fake_ticks.h"
#include "tests/support/gl_window.h"

namespace {

void setSceneState(int width, int height)
{
    resizeView(width, height);
    setFixedGLState();
    setSceneGLState();
}

struct Shot {
    const char* scene;
    const char* file;
    float duration;
    int32_t range;
    int32_t capacity;
    std::vector<float> times;
};

void renderShots(const Shot& shot, const std::string& out, int width, int height)
{
    Model model;
    model.loadWithGrid(shot.file);
    model.attachEmitters(shot.capacity, 2.0f, 20, 5.0f, 50.0f);
    std::printf("%s: %d objects, %d cameras, frames %d..%d, grid %d x %d, %d emitters, %d bolt objects\n", shot.file,
                model.objectCount, model.cameraCount, model.startFrame, model.endFrame, model.columns, model.rows,
                model.emitterCount, model.boltObjectCount);
    viewRange = shot.range;
    rotationCamera = true;
    sceneDuration = shot.duration;

    std::vector<unsigned char> rgb(static_cast<size_t>(width) * height * 3);
    float played = 0.0f;
    double renderSeconds = 0.0;
    int frames = 0;
    for (float time : shot.times) {
        // Play the frames of the last 2.5 seconds before the shot (particles live 2 s).
        float t = std::max(played, time - 2.5f);
        const uint32_t sceneStartTicks = 100000;
        while (true) {
            sceneTime = std::min(t, time);
            fakeTicks = sceneStartTicks + static_cast<uint32_t>(sceneTime * 1000.0f);
            glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
            const auto start = std::chrono::steady_clock::now();
            model.renderModel();
            glFinish();
            renderSeconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            ++frames;
            if (t >= time)
                break;
            t += 1.0f / 30.0f;
        }
        played = time;
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        char name[64];
        std::snprintf(name, sizeof(name), "/%s_%05.1f.png", shot.scene, time);
        const std::string path = out + name;
        writePng(path, width, height, 3, rgb, RowOrder::BottomUp);
        const SceneObject* cam = model.cameraCount > 0 ? model.cameras[model.currentCamera] : nullptr;
        int particles = 0;
        for (int32_t i = 0; i < model.emitterCount; ++i)
            particles += model.particleSystems[i]->count;
        std::printf(
            "  T %5.1f  frame %7.2f  camera %d%s%s  eye (%.0f, %.0f, %.0f)  pitch %.1f yaw %.1f  %d particles -> %s\n",
            time, model.currentFrame, model.currentCamera, cam ? " " : "", cam ? cam->name : "",
            cam ? cam->cameraPosition.x : 0.0, cam ? cam->cameraPosition.y : 0.0, cam ? cam->cameraPosition.z : 0.0,
            cam ? cam->rotation.x : 0.0, cam ? cam->rotation.y : 0.0, particles, path.c_str());
    }
    std::printf("  %d model frames, %.2f ms each on average (renderModel + glFinish)\n", frames,
                frames > 0 ? 1000.0 * renderSeconds / frames : 0.0);
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string data = argc > 1 ? argv[1] : VELMORA_DATA_DIR;
    // Model paths are relative to the data folder, so the output folder is made absolute first.
    char path[4096] = {};
    const std::string out = realpath(argc > 2 ? argv[2] : ".", path) != nullptr ? path : ".";
    const int width = argc > 3 ? std::atoi(argv[3]) : 640;
    const int height = argc > 4 ? std::atoi(argv[4]) : 480;

    std::string why;
    if (!openTestWindow("render_frames", width, height, true, &why)) {
        std::fprintf(stderr, "render_frames: no GL window: %s\n", why.c_str());
        return 1;
    }
    if (chdir(data.c_str()) != 0) {
        std::perror(data.c_str());
        return 1;
    }
    fakeTicks = 1000;
    handDownServices(fakeTickServices());
    setRenderDefaults();
    setSceneState(width, height);
    loadTexture(TextureTable, "pict/white.jpg", 0);

    renderShots(Shot{"wood", "maps/wood.3ds", 44.0f, 2, 5000, {1.0f, 8.0f, 16.0f, 24.0f, 31.0f, 38.0f, 43.0f}}, out,
                width, height);
    renderShots(Shot{"castel", "maps/castel.3ds", 34.5f, 1, 1000, {2.0f, 9.0f, 16.0f, 23.0f, 30.0f, 34.0f}}, out, width,
                height);
    handDownServices(Services{});
    sysDestroyGLContext();
    return 0;
}
