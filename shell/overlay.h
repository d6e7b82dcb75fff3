// What the player lays over the picture: the time overlay (Tab) and the key overlay (F1).
#pragma once

// What the time overlay shows.
struct PlayState {
    double seconds = 0.0;          // presentation time of the frame
    int scene = 0;                 // 0 .. 7
    double framesPerSecond = 0.0;  // frames shown per second of wall time lately; 0: not known yet
    bool paused = false;
};

// Drawn over the frame in the view, after the scene and before the frame is presented; each leaves
// the GL state and matrices as it found them.
void drawTimeOverlay(const PlayState& state);
void drawKeyOverlay();
