// The Title, Credits and First verse scenes played in order on the generated data, as the program
// plays them, with frames read back at chosen moments: the white at each scene's edges, the
// Title scene's background under its streams and streaks, the castle revealed in Credits, and the
// blobs glowing over the First verse picture. The frames are also written next to the test.
#include <gtest/gtest.h>

#include <string>

#include "core/clock.h"
#include "media/texture.h"
#include "render/frame.h"
#include "render/quads.h"
#include "scenes/credits.h"
#include "scenes/first_verse.h"
#include "scenes/scenes.h"
#include "scenes/title.h"
#include "tests/support/scene_player.h"

namespace {

const int width = 400;
const int height = 300;

// Share of the pixels whose three channels are all at least 235.
double whiteShare(const Picture& p)
{
    size_t white = 0;
    for (size_t i = 0; i + 2 < p.rgb.size(); i += 3) {
        white += (p.rgb[i] >= 235 && p.rgb[i + 1] >= 235 && p.rgb[i + 2] >= 235) ? 1 : 0;
    }
    return static_cast<double>(white) / (p.rgb.size() / 3);
}

// Share of the pixels of rows [top, bottom) where test compares p with the reference as asked.
template <typename Compare>
double share(const Picture& p, const Picture& reference, int top, int bottom, Compare compare)
{
    size_t hits = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = 0; x < p.width; ++x) {
            hits += compare(p.at(x, y), reference.at(x, y)) ? 1 : 0;
        }
    }
    return static_cast<double>(hits) / (static_cast<double>(bottom - top) * p.width);
}

// Additive layers only add light: no channel darker than the picture beneath.
bool notDarker(const uint8_t* a, const uint8_t* b)
{
    return a[0] + 4 >= b[0] && a[1] + 4 >= b[1] && a[2] + 4 >= b[2];
}
bool same(const uint8_t* a, const uint8_t* b)
{
    return std::abs(a[0] - b[0]) <= 4 && std::abs(a[1] - b[1]) <= 4 && std::abs(a[2] - b[2]) <= 4;
}
bool muchBrighter(const uint8_t* a, const uint8_t* b)
{
    return (a[0] + a[1] + a[2]) - (b[0] + b[1] + b[2]) > 45;
}

// The picture in a slot drawn alone, opaque and full-screen, as the scenes draw their backgrounds.
Picture pictureAlone(int slot)
{
    clearFrame();
    drawOpaquePicture(TextureTable[slot]);
    return readBackBuffer();
}

void keep(const Picture& picture, const std::string& name)
{
    writePicturePng(picture, std::string(VELMORA_BINARY_DIR) + "/tests/scenes_a/" + name + ".png");
}

}  // namespace

TEST(SceneFrames, TitleCreditsAndFirstVerseShowWhatTheyMust)
{
    std::string why;
    ASSERT_TRUE(startScenePlayer(width, height, VELMORA_DATA_DIR, &why)) << why;

    const std::vector<Picture> title = playSceneAt(titleScene, titleDuration, {0.0f, 5.0f});
    const std::vector<Picture> credits = playSceneAt(creditsScene, creditsDuration, {0.0f, 3.0f, 34.4f});
    const std::vector<Picture> verse = playSceneAt(firstVerseScene, firstVerseDuration, {0.0f, 5.0f, 18.49f});
    const Picture title2 = pictureAlone(3);
    const Picture dorn = pictureAlone(4);
    stopScenePlayer();

    ASSERT_EQ(title.size(), 2u);
    ASSERT_EQ(credits.size(), 3u);
    ASSERT_EQ(verse.size(), 3u);
    const char* const names[8] = {"title_00",   "title_05", "credits_00", "credits_03",
                                  "credits_34", "verse_00", "verse_05",   "verse_18"};
    const Picture* frames[8] = {&title[0],   &title[1], &credits[0], &credits[1],
                                &credits[2], &verse[0], &verse[1],   &verse[2]};
    for (int i = 0; i < 8; ++i) {
        keep(*frames[i], names[i]);
    }

    {
        SCOPED_TRACE("Title");
        EXPECT_GT(whiteShare(title[0]), 0.97) << "the opening flash covers the screen";
        // The background lies under everything; streams and streaks only add to it.
        EXPECT_GT(share(title[1], title2, 0, height, notDarker), 0.99);
        EXPECT_GT(share(title[1], title2, 0, height, same), 0.3);
        EXPECT_LT(whiteShare(title[1]), 0.5);
    }
    {
        SCOPED_TRACE("Credits");
        EXPECT_GT(share(credits[0], title2, 0, height, same), 0.97) << "starts on the unmoved background";
        // Half a second later the picture has gone: the castle fills the view.
        EXPECT_LT(share(credits[1], title2, 0, height, same), 0.3);
        const Picture black{width, height, std::vector<uint8_t>(title2.rgb.size(), 0)};
        EXPECT_GT(share(credits[1], black, 0, height, muchBrighter), 0.2) << "the castle is lit";
        EXPECT_GT(whiteShare(credits[2]), 0.97) << "the closing white overlay";
    }
    {
        SCOPED_TRACE("First verse");
        EXPECT_GT(whiteShare(verse[0]), 0.97) << "opens out of white";
        EXPECT_GT(share(verse[1], dorn, 0, height, notDarker), 0.99);
        // Blobs glow over the upper half of the picture (the verse lines rest below the centre).
        EXPECT_GT(share(verse[1], dorn, 0, height / 2, muchBrighter), 0.01);
        EXPECT_GT(whiteShare(verse[2]), 0.95) << "ends in white";
    }
}
