// Plays whole scenes in a window under the test display on a tick count the caller drives, and
// reads their frames back: a few chosen moments (jumping the clock between them) or a steady
// frame rate. Used by the scene frame test and the contact-sheet program.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One frame read back, top row first, 3 bytes (R, G, B) per pixel.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* at(int x, int y) const { return &rgb[(static_cast<size_t>(y) * width + x) * 3]; }
};

// Opens the window, takes over the tick count, changes into the data folder and loads every asset
// as the program does. False with *why when any step fails.
bool startScenePlayer(int width, int height, const char* dataFolder, std::string* why);
// Releases the assets and gives the tick count back to the platform.
void stopScenePlayer();

// Plays scene (of the given length) and returns its frames at the given scene times (ascending,
// the first frame is at 0); the clock jumps from one time to the next, then past the end.
std::vector<Picture> playSceneAt(void (*scene)(), float duration, const std::vector<float>& times);
// Plays scene at a steady frame rate and returns one frame at the start of every second of it
// (0, 1, 2, ...). When drawMs is not null it receives the mean wall-clock time of a frame, read-back
// of the kept frames left out.
std::vector<Picture> playSceneEverySecond(void (*scene)(), float duration, int fps, double* drawMs = nullptr);

// The back buffer as it stands.
Picture readBackBuffer();
// Writes an 8-bit RGB PNG; false when it cannot be written.
bool writePicturePng(const Picture& picture, const std::string& path);
