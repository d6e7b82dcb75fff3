// Helpers for the text tests that draw: one 800 x 600 window with the window module's projection,
// a white texture for the letters, frame read-back and PNG output for looking at frames.
#pragma once
#include "core/gl.h"
#include <cstdint>
#include <string>
#include <vector>

const int frameWidth = 800;
const int frameHeight = 600;

// Opens the window and GL context once per process and sets the fixed GL state the program runs
// with (texturing and depth test on, blending off, 45-degree projection). False with *why set
// when no window can be made.
bool openTextWindow(std::string* why);
// Clears to black and loads the identity into the modelview matrix.
void clearTextFrame();

// The back buffer as RGB bytes, top row first.
struct Frame {
    std::vector<uint8_t> rgb;
    bool lit(int x, int y) const;  // any channel above a small threshold; x, y from the top left
    int litCount() const;
    // Bounding box of the lit pixels; false when none is lit.
    bool litBox(int* left, int* top, int* right, int* bottom) const;
};
Frame readFrame();
// Writes the frame as an 8-bit RGB PNG. False when the file cannot be written.
bool writeFramePng(const Frame& frame, const char* path);
