// The eight scenes in play order and the one table of their names, start times and durations. The
// sequencer, skipping ahead, capture, frame export and the benchmark all take scene times from here.
#pragma once

void openingScene();
void titleScene();
void creditsScene();
void firstVerseScene();
void secondVerseScene();
void thirdVerseScene();
void fourthVerseScene();
void closingScene();

enum class Scene : int { Opening, Title, Credits, FirstVerse, SecondVerse, ThirdVerse, FourthVerse, Closing };
constexpr int sceneCount = 8;

struct SceneEntry {
    const char* name;
    float start;     // seconds of presentation time at which the scene begins
    float duration;  // seconds the scene's own clock runs
    void (*play)();  // set-up, the timed loop, wind-down
};

inline constexpr SceneEntry sceneTable[sceneCount] = {
    {"Opening", 0.0f, 44.0f, openingScene},
    {"Title", 44.0f, 25.0f, titleScene},
    {"Credits", 69.0f, 34.5f, creditsScene},
    {"First verse", 103.5f, 18.5f, firstVerseScene},
    {"Second verse", 122.0f, 16.0f, secondVerseScene},
    {"Third verse", 138.0f, 17.0f, thirdVerseScene},
    {"Fourth verse", 155.0f, 17.0f, fourthVerseScene},
    {"Greetings", 172.0f, 60.0f, closingScene},
};

constexpr const SceneEntry& sceneEntry(Scene scene)
{
    return sceneTable[static_cast<int>(scene)];
}

// The whole presentation, in seconds and in milliseconds: the last scene's end.
constexpr float presentationLength = sceneTable[sceneCount - 1].start + sceneTable[sceneCount - 1].duration;
constexpr int presentationLengthMs = static_cast<int>(presentationLength * 1000.0f);

namespace scene_table_checks {
constexpr bool scenesFollowOneAnother()
{
    for (int i = 1; i < sceneCount; ++i) {
        if (sceneTable[i].start != sceneTable[i - 1].start + sceneTable[i - 1].duration) {
            return false;
        }
    }
    return true;
}
static_assert(scenesFollowOneAnother(), "each scene starts where the one before it ends");
static_assert(presentationLengthMs == 232000, "the presentation lasts 232 s");
}  // namespace scene_table_checks
