// The scene player of the scene tests: a tick source the test moves by hand, a frame observer that
// reads the presented frames back, the program's own asset loading, and PNG output with libpng.
#include "tests/support/scene_player.h"
#include "core/png.h"
#include "tests/support/gl_window.h"

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "core/clock.h"
#include "core/gl.h"
#include "core/services.h"
#include "platform/platform.h"
#include "render/frame.h"
#include "shell/frames.h"
#include "shell/loader.h"

namespace {

// The tick count the scenes see. It starts well above 0 so that a scene starting at once has a
// non-zero start, and stays small enough for the single-precision uptime to keep milliseconds.
double ticks = 10000.0;

uint32_t testTicks()
{
    return static_cast<uint32_t>(std::llround(ticks));
}

// What the observer does at each presented frame.
struct Plan {
    double base = 0.0;  // ticks at the scene's start
    float duration = 0.0f;
    std::vector<float> times;  // scene times to capture, ascending
    size_t next = 0;
    int fps = 0;  // > 0: steady play, one capture per second
    std::vector<Picture>* pictures = nullptr;
    // Wall-clock time spent drawing, between one frame's end and the next one's presentation.
    std::chrono::steady_clock::time_point frameStart;
    double drawSeconds = 0.0;
    int drawnFrames = 0;
};
Plan plan;

void jumpTo(float t)
{
    ticks = plan.base + std::round(t * 1000.0);
}

void observeFrame()
{
    const float t = sceneTime;
    if (plan.fps > 0) {
        const auto now = std::chrono::steady_clock::now();
        plan.drawSeconds += std::chrono::duration<double>(now - plan.frameStart).count();
        ++plan.drawnFrames;
        if (plan.next < plan.times.size() && t + 0.0005f >= plan.times[plan.next]) {
            plan.pictures->push_back(readBackBuffer());
            ++plan.next;
        }
        ticks += 1000.0 / plan.fps;
        plan.frameStart = std::chrono::steady_clock::now();
        return;
    }
    if (plan.next < plan.times.size() && std::fabs(t - plan.times[plan.next]) < 0.002f) {
        plan.pictures->push_back(readBackBuffer());
        ++plan.next;
    }
    jumpTo(plan.next < plan.times.size() ? plan.times[plan.next] : plan.duration + 1.0f);
}

std::vector<Picture> play(void (*scene)(), Plan settings, double* drawMs = nullptr)
{
    std::vector<Picture> pictures;
    plan = settings;
    plan.base = ticks;
    plan.pictures = &pictures;
    plan.frameStart = std::chrono::steady_clock::now();
    Services table = services();
    table.frameDrawn = observeFrame;
    handDownServices(table);
    scene();
    table.frameDrawn = nullptr;
    handDownServices(table);
    // The next scene starts a little later, as it would after a wind-down.
    ticks = std::max(ticks, plan.base + std::round(plan.duration * 1000.0)) + 100.0;
    if (drawMs != nullptr) {
        *drawMs = plan.drawnFrames > 0 ? 1000.0 * plan.drawSeconds / plan.drawnFrames : 0.0;
    }
    return pictures;
}

}  // namespace

bool startScenePlayer(int width, int height, const char* dataFolder, std::string* why)
{
    if (!openTestWindow("scene player", width, height, false, why)) {
        return false;
    }
    if (chdir(dataFolder) != 0) {
        *why = std::string("no data folder at ") + dataFolder;
        return false;
    }
    sysSetBatchMode(true);
    Services table;
    table.tickCount = testTicks;
    handDownServices(table);
    loadAssets();
    return true;
}

void stopScenePlayer()
{
    releaseAssets();
    handDownServices(Services{});
}

std::vector<Picture> playSceneAt(void (*scene)(), float duration, const std::vector<float>& times)
{
    Plan settings;
    settings.duration = duration;
    settings.times = times;
    return play(scene, settings);
}

std::vector<Picture> playSceneEverySecond(void (*scene)(), float duration, int fps, double* drawMs)
{
    Plan settings;
    settings.duration = duration;
    settings.fps = fps;
    for (int second = 0; second <= static_cast<int>(duration); ++second) {
        settings.times.push_back(static_cast<float>(second));
    }
    return play(scene, settings, drawMs);
}

Picture readBackBuffer()
{
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    Picture picture;
    picture.width = viewport[2];
    picture.height = viewport[3];
    const size_t row = static_cast<size_t>(picture.width) * 3;
    std::vector<uint8_t> bottomUp(row * picture.height);
    glFinish();
    glReadBuffer(GL_BACK);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, picture.width, picture.height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    picture.rgb.resize(bottomUp.size());
    for (int y = 0; y < picture.height; ++y) {
        std::copy_n(&bottomUp[(picture.height - 1 - y) * row], row, &picture.rgb[y * row]);
    }
    return picture;
}

bool writePicturePng(const Picture& picture, const std::string& path)
{
    return writePng(path, picture.width, picture.height, 3, picture.rgb, RowOrder::TopDown);
}
