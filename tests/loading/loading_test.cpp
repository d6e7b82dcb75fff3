// The asset loader against the generated data: the loading bar's seventeen steps, the two
// independent copies of the same scene file, and a complete teardown (LeakSanitizer checks it).
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/gl_window.h"
#include "shell/loader.h"
#include "media/music.h"
#include "model/model.h"
#include "platform/platform.h"
#include "render/particles.h"
#include "shell/frames.h"
#include "shell/window.h"

namespace {

std::vector<std::pair<int32_t, float>> barSteps;
std::vector<std::string> events;  // what happened, in order: "bar N", "music"
void recordBar(int32_t step, float top)
{
    barSteps.emplace_back(step, top);
    events.push_back("bar " + std::to_string(step));
}
void recordMusic(const char* file) { events.push_back(std::string("music ") + file); }
const std::string audioFile = "/tmp/velmora-loader-audio-" + std::to_string(getpid()) + ".raw";

class Loader : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        if (access(VELMORA_DATA_DIR "/maps/chose.3ds", R_OK) != 0) {
            return;
        }
        sysSetBatchMode(true);
        if (!openTestWindow("loader test", 320, 240, false, &whyNot)) {
            return;
        }
        ASSERT_EQ(chdir(VELMORA_DATA_DIR), 0);
        // The music goes to a file as fast as the mixer makes it, so the test can hear it.
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", audioFile.c_str(), 1);
        setenv("SDL_DISKAUDIODELAY", "0", 1);
        setLoadingBarObserver(recordBar);
        setMusicStartObserver(recordMusic);
        loadAssets();
        setLoadingBarObserver(nullptr);
        setMusicStartObserver(nullptr);
        loaded = true;
    }
    static void TearDownTestSuite()
    {
        if (loaded) {
            releaseAssets();
        }
        std::remove(audioFile.c_str());
    }
    void SetUp() override
    {
        ASSERT_EQ(access(VELMORA_DATA_DIR "/maps/chose.3ds", R_OK), 0) << "no generated data in " VELMORA_DATA_DIR;
        VELMORA_NEED_WINDOW(loaded, whyNot);
    }
    static bool loaded;
    static std::string whyNot;
};
bool Loader::loaded = false;
std::string Loader::whyNot;

}  // namespace

TEST_F(Loader, BarIsDrawnSeventeenTimesRisingByATenth)
{
    ASSERT_EQ(barSteps.size(), 17u);
    for (size_t i = 0; i < barSteps.size(); ++i) {
        EXPECT_EQ(barSteps[i].first, static_cast<int32_t>(i + 1));
        EXPECT_NEAR(barSteps[i].second, -0.9f + 0.1f * static_cast<float>(i), 1e-5f);
    }
    EXPECT_FLOAT_EQ(barSteps.back().second, 0.7f);
    EXPECT_EQ(loadStep, 17);
}

TEST_F(Loader, EveryModelAndParticleSystemIsThere)
{
    for (Model* model : {woodModel, trucModel, castelModel, choseModel, tunnelModel, metaModel, roomModel, choseModel2}) {
        ASSERT_NE(model, nullptr);
        EXPECT_GT(model->objectCount, 1);
    }
    for (ParticleSystem* system : {redParticles, greenParticles, blueParticles, whiteParticles}) {
        ASSERT_NE(system, nullptr);
    }
    EXPECT_GT(woodModel->emitterCount, 0);
    EXPECT_NE(woodModel->grid, nullptr);
    EXPECT_NE(castelModel->grid, nullptr);
    EXPECT_EQ(choseModel->grid, nullptr);
}

TEST_F(Loader, TheTwoCopiesOfTheSameSceneAreIndependent)
{
    ASSERT_NE(choseModel, choseModel2);
    ASSERT_EQ(choseModel->objectCount, choseModel2->objectCount);
    choseModel2->rewind();
    choseModel2->advance();
    const Vec3d before = choseModel2->cursor->position;
    choseModel->rewind();
    choseModel->advance();
    ASSERT_NE(choseModel->cursor, choseModel2->cursor);
    ASSERT_NE(choseModel->cursor->vertices, choseModel2->cursor->vertices);
    choseModel->cursor->position.x += 123.0;
    choseModel->currentFrame = 10.0;
    choseModel->animate();
    EXPECT_EQ(choseModel2->cursor->position.x, before.x);
    EXPECT_EQ(choseModel2->cursor->position.y, before.y);
    EXPECT_EQ(choseModel2->cursor->position.z, before.z);
    choseModel->rewind();
    choseModel2->rewind();
}

TEST_F(Loader, MusicStartsAfterTheLastBarStepAndIsHeard)
{
    ASSERT_GE(events.size(), 2u);
    EXPECT_EQ(events[events.size() - 2], "bar 17");
    EXPECT_EQ(events.back(), "music music/velmora.mp3");
    EXPECT_NE(musicStream, nullptr);
    // Give the mixer a moment to write, then look for sound in what it wrote.
    long nonZero = 0;
    for (int attempt = 0; attempt < 50 && nonZero < 1000; ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        FILE* file = std::fopen(audioFile.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        int16_t samples[4096];
        nonZero = 0;
        size_t n = 0;
        while ((n = std::fread(samples, sizeof(int16_t), 4096, file)) > 0) {
            for (size_t i = 0; i < n; ++i) {
                nonZero += samples[i] != 0 ? 1 : 0;
            }
        }
        std::fclose(file);
    }
    EXPECT_GE(nonZero, 1000) << "the music written by the mixer is silent";
}
