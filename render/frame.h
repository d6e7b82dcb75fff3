// The two frame operations of every loop (clear, present), the hidden-frame switch, and the way a
// finished frame reaches the window: as drawn, scaled into a centred rectangle, or from an
// offscreen surface of any size. Who watches the frames (capture, frame export, the benchmark's
// stopwatch) is handed down in core/services.h; a normal run has no watcher and draws exactly as
// without one.
#pragma once
#include <string>

void clearFrame();
// Hands the finished frame (still where it was drawn) to the services' frameDrawn, then shows it in
// the window as the frame layout says and has the platform swap the buffers.
void presentFrame();

// A paused run's picture: holdFrame keeps the frame just drawn (before anything is drawn over it),
// drawHeldFrame draws it again into the view, stretched if the view has changed size since. The
// held frame lives until releaseFrameSurfaces.
void holdFrame();
void drawHeldFrame();

// Frames drawn while hidden are never seen (the skip ahead draws them only to bring the scenes'
// state forward): every state change still happens, but their drawing is confined to one pixel
// and the platform is told, so that they cost next to nothing. Nothing is presented meanwhile.
void setFramesHidden(bool hidden);
bool framesHidden();

struct PixelRect {
    int x = 0;  // from the left
    int y = 0;  // from the bottom, as GL counts
    int width = 0;
    int height = 0;
};
// The largest rectangle of the aspect aspectWidth : aspectHeight that fits in width x height,
// centred, its sides rounded to whole pixels; at least 1 x 1.
PixelRect fitAspect(int width, int height, int aspectWidth, int aspectHeight);

enum class FrameRoute {
    Direct,     // the scenes draw into the window's back buffer at `view`; the swap shows it
    Scaled,     // drawn at `view` in the lower-left, copied to a texture, drawn into `picture`
    Offscreen,  // drawn at `view` in the offscreen surface; the window shows it scaled into `picture`
};
struct FrameLayout {
    FrameRoute route = FrameRoute::Direct;
    PixelRect view;       // the viewport the scenes draw into
    PixelRect picture;    // Scaled, Offscreen: where the frame goes in the window
    int windowWidth = 0;  // the window's drawable
    int windowHeight = 0;
    bool showOffscreen = true;  // Offscreen: false where no one can see the window
};
// Takes the layout for the frames from now on and sets the viewport to its view (the caller sets
// the projection).
void setFrameLayout(const FrameLayout& layout);
const FrameLayout& frameLayout();

// Makes a width x height offscreen surface (colour and depth) and draws into it from now on.
// False with a reason when the GL context cannot give one that size.
bool createOffscreenSurface(int width, int height, std::string* error);
// Releases the offscreen surface, the scaling texture and the held frame; drawing goes back to the
// window.
void releaseFrameSurfaces();

// Window pixels per pixel of an 800x600 picture, for what is sized in pixels (arc line widths): 1
// except in recordings at a chosen size. Written by the window module when it lays out frames.
extern float pixelScale;
