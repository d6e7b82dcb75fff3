// Writes a frame of every second of the Title, Credits and First verse scenes, played in order at
// a steady 30 frames per second on the generated data, as PNGs for contact sheets:
//   scenes_a_sheets FOLDER [WIDTH HEIGHT [DATA]]  ->  FOLDER/title_00.png, credits_00.png, ...
// and prints each scene's mean drawing time per frame.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "scenes/credits.h"
#include "scenes/first_verse.h"
#include "scenes/scenes.h"
#include "scenes/title.h"
#include "tests/support/scene_player.h"

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: scenes_a_sheets FOLDER [WIDTH HEIGHT [DATA]]\n");
        return 2;
    }
    // The player works inside the data folder; keep the output folder where the caller meant it.
    std::string folder = argv[1];
    char cwd[PATH_MAX];
    if (folder[0] != '/' && getcwd(cwd, sizeof cwd) != nullptr) {
        folder = std::string(cwd) + "/" + folder;
    }
    const int width = argc >= 4 ? std::atoi(argv[2]) : 400;
    const int height = argc >= 4 ? std::atoi(argv[3]) : 300;
    const char* data = argc >= 5 ? argv[4] : VELMORA_DATA_DIR;
    std::string why;
    if (!startScenePlayer(width, height, data, &why)) {
        std::fprintf(stderr, "scenes_a_sheets: %s\n", why.c_str());
        return 1;
    }
    struct Entry {
        const char* name;
        void (*scene)();
        float duration;
    };
    const Entry scenes[3] = {{"title", titleScene, titleDuration},
                             {"credits", creditsScene, creditsDuration},
                             {"verse", firstVerseScene, firstVerseDuration}};
    int failures = 0;
    for (const Entry& entry : scenes) {
        double drawMs = 0.0;
        const std::vector<Picture> frames = playSceneEverySecond(entry.scene, entry.duration, 30, &drawMs);
        std::printf("%-8s %zu frames kept, %.1f ms a frame at %dx%d\n", entry.name, frames.size(), drawMs, width,
                    height);
        for (size_t second = 0; second < frames.size(); ++second) {
            char name[64];
            std::snprintf(name, sizeof name, "/%s_%02zu.png", entry.name, second);
            if (!writePicturePng(frames[second], folder + name)) {
                std::fprintf(stderr, "scenes_a_sheets: cannot write %s%s\n", folder.c_str(), name);
                ++failures;
            }
        }
    }
    stopScenePlayer();
    return failures == 0 ? 0 : 1;
}
