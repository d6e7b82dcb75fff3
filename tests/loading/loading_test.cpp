// The asset loader against the generated data: the loading bar's seventeen steps and its picture
// read back, the particle systems' arguments, the two independent copies of the same scene file,
// the view of a client area, and a complete teardown (LeakSanitizer checks it).
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "core/clock.h"
#include "core/gl.h"
#include "core/services.h"
#include "core/switches.h"
#include "media/music.h"
#include "media/texture.h"
#include "model/model.h"
#include "platform/platform.h"
#include "render/particles.h"
#include "scenes/scenes.h"
#include "shell/frames.h"
#include "shell/loader.h"
#include "tests/support/gl_window.h"

namespace {

std::vector<std::string> events;  // what happened, in order: "bar N", "music"
void recordBar(int32_t step)
{
    events.push_back("bar " + std::to_string(step));
}
void recordMusic(const char* file)
{
    events.push_back(std::string("music ") + file);
}
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
        // The music goes to a file, so the test can hear it. The disk driver writes at the pace of
        // playback (its default): with no delay it would write as fast as it can for as long as the
        // suite runs, tens of gigabytes on a slow machine, and leave them behind if the run is killed.
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", audioFile.c_str(), 1);
        unsetenv("SDL_DISKAUDIODELAY");
        Services table;
        table.loadingBarDrawn = recordBar;
        table.musicStarted = recordMusic;
        handDownServices(table);
        loadAssets();
        handDownServices(Services{});
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

TEST_F(Loader, BarIsDrawnSeventeenTimes)
{
    std::vector<std::string> bars;
    for (const std::string& event : events) {
        if (event.rfind("bar ", 0) == 0) {
            bars.push_back(event);
        }
    }
    ASSERT_EQ(bars.size(), 17u);
    for (size_t i = 0; i < bars.size(); ++i) {
        EXPECT_EQ(bars[i], "bar " + std::to_string(i + 1));
    }
    EXPECT_EQ(loadStep, 17);
}

namespace {

// One row of the frame as it is before presenting: red channel of every pixel.
std::vector<int> column;
void readBarColumn(int32_t)
{
    // The bar's middle, x = -1.7 at 3.6 units: 160 - 1.7 / (3.6 tan 22.5 * 4 / 3) * 160 = 23.
    unsigned char rgb[240 * 3];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(23, 0, 1, 240, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    column.assign(240, 0);
    for (int y = 0; y < 240; ++y) {
        column[y] = rgb[y * 3];
    }
}
int redAt(int x, int y)
{
    unsigned char rgb[3];
    glReadPixels(x, y, 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    return rgb[0];
}
std::vector<int> barRow;
void readBarRow(int32_t)
{
    barRow.clear();
    for (int x : {12, 17, 29, 34}) {
        barRow.push_back(redAt(x, 100));
    }
}

GLuint plainTexture(unsigned char grey)
{
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    const unsigned char pixel[3] = {grey, grey, grey};
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, 1, 1, 0, GL_RGB, GL_UNSIGNED_BYTE, pixel);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    return texture;
}

}  // namespace

// The bar over a plain grey loading picture, with a white bar picture: it adds a ramp from black at
// its foot (y = -1, pixel row 40) to white at its top (loadStep / 10 - 1: row 80 at step 5, row
// 176 at step 17), between x = -1.8 and -1.6 (pixel columns 15 to 31).
TEST_F(Loader, BarAddsAWhiteRampOverThePicture)
{
    const GLuint saved1 = TextureTable[Slot::Loading], saved7 = TextureTable[Slot::White2];
    const int32_t savedStep = loadStep;
    TextureTable[Slot::Loading] = plainTexture(100);
    TextureTable[Slot::White2] = plainTexture(255);

    Services table;
    table.loadingBarDrawn = readBarColumn;
    handDownServices(table);
    loadStep = 17;
    drawLoadingScreen();
    ASSERT_EQ(column.size(), 240u);
    EXPECT_NEAR(column[30], 100, 3);         // below the foot: the picture alone
    EXPECT_NEAR(column[42], 100 + 6, 4);     // the foot is black
    EXPECT_NEAR(column[108], 100 + 128, 6);  // halfway up the bar
    EXPECT_NEAR(column[174], 255, 1);        // white at the top, added
    EXPECT_NEAR(column[180], 100, 3);        // above the top
    loadStep = 5;
    drawLoadingScreen();
    EXPECT_GT(column[76], 200);
    EXPECT_NEAR(column[84], 100, 3);

    table.loadingBarDrawn = readBarRow;
    handDownServices(table);
    loadStep = 17;
    drawLoadingScreen();
    ASSERT_EQ(barRow.size(), 4u);
    EXPECT_NEAR(barRow[0], 100, 3);
    EXPECT_GT(barRow[1], 150);
    EXPECT_GT(barRow[2], 150);
    EXPECT_NEAR(barRow[3], 100, 3);
    handDownServices(Services{});

    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
    glDeleteTextures(1, &TextureTable[Slot::Loading]);
    glDeleteTextures(1, &TextureTable[Slot::White2]);
    TextureTable[Slot::Loading] = saved1;
    TextureTable[Slot::White2] = saved7;
    loadStep = savedStep;
}

TEST_F(Loader, EveryModelAndParticleSystemIsThere)
{
    for (Model* model :
         {woodModel, trucModel, castelModel, choseModel, tunnelModel, metaModel, roomModel, choseModel2}) {
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

    // The constructor arguments: capacity, lifetime, rate, size, rise.
    auto argsOf = [](const ParticleSystem* s) {
        return std::vector<float>{static_cast<float>(s->capacity), s->lifetime, static_cast<float>(s->emitRate),
                                  s->size, s->rise};
    };
    const std::vector<float> freeStanding = {500, 3.0f, 60, 30.0f, 200.0f};
    EXPECT_EQ(argsOf(redParticles), freeStanding);
    EXPECT_EQ(argsOf(greenParticles), freeStanding);
    EXPECT_EQ(argsOf(blueParticles), freeStanding);
    EXPECT_EQ(argsOf(whiteParticles), (std::vector<float>{1000, 3.0f, 100, 40.0f, 200.0f}));
    ASSERT_GT(castelModel->emitterCount, 0);
    ASSERT_GT(roomModel->emitterCount, 0);
    EXPECT_EQ(argsOf(woodModel->particleSystems[0]), (std::vector<float>{5000, 2.0f, 20, 5.0f, 50.0f}));
    EXPECT_EQ(argsOf(castelModel->particleSystems[0]), (std::vector<float>{1000, 2.0f, 20, 5.0f, 50.0f}));
    EXPECT_EQ(argsOf(roomModel->particleSystems[0]), (std::vector<float>{5000, 1.0f, 40, 15.0f, 150.0f}));
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
    // Look for sound in what the mixer writes, for up to a minute on a busy machine.
    long nonZero = 0;
    for (int attempt = 0; attempt < 600 && nonZero < 1000; ++attempt) {
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

namespace {

int viewRangeInFirstFrame = -1;
// Stands in for the skip ahead: the scene's first frame is drawn unseen with the reach then in
// force, and the scene ends there.
bool skipFromTheStart()
{
    return true;
}
bool neverReached()
{
    return false;
}
void endAfterTheFirstFrame()
{
    viewRangeInFirstFrame = viewRange;
    escapeFlag = true;
}
void goOn(bool)
{
    escapeFlag = false;
}
const SkipAhead firstFrameOnly = {skipFromTheStart, neverReached, endAfterTheFirstFrame, goOn};

}  // namespace

// The loader leaves the grid reach at 2, set after the render switches' defaults (which give 1),
// and the Opening and Title scenes fly through the wood with it.
TEST_F(Loader, OpeningAndTitleDrawWithTheViewRangeTheLoaderLeaves)
{
    EXPECT_EQ(viewRange, 2);
    Services table;
    table.skipAhead = &firstFrameOnly;
    handDownServices(table);
    openingScene();
    EXPECT_EQ(viewRangeInFirstFrame, 2) << "Opening";
    viewRangeInFirstFrame = -1;
    titleScene();
    EXPECT_EQ(viewRangeInFirstFrame, 2) << "Title";
    handDownServices(Services{});
}
