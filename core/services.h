// What the application shell hands down to the layers below it, in one table: every call a lower
// layer makes upward (to observe a frame, the loading bar or the music's start, to hand on a window
// message, to skip ahead to a start point) and every source a test puts in place of the platform's.
// The shell fills the table once, before the loader runs, and empties it after teardown; a test
// fills its own. An entry left null means what its line says: nobody is told, or the layer's own.
#pragma once
#include <cstdint>

#include "platform/platform.h"

struct OutlineFace;    // render/outline_font.h
struct SequenceSteps;  // shell/sequencer.h

// The skip ahead to a later start point, run by the scene loop itself: the loop draws the frames
// before the start point with the skip's present in place of its own, while the frames are hidden,
// then goes on with the frames that are shown. Every frame, seen or not, takes the same steps:
// messages one at a time, the scene's updates, random draws and particle births.
struct SkipAhead {
    // Right after the scene clock starts: true when this scene has frames to run unseen before the
    // start point (the loop then hides its frames until finish).
    bool (*begin)();
    // Checked where a frame would be drawn: true once the scene clock has reached the start point,
    // so that this frame is the first one shown.
    bool (*reached)();
    // Ends an unseen frame in place of presenting it: moves the clock on as a shown frame would
    // (one frame's worth on the fixed-step clock), or coarsely on the wall clock.
    void (*present)();
    // Ends the unseen stretch: reached, or the scene ran out or the run was stopped before it.
    void (*finish)(bool reached);
};

struct Services {
    // ---- Frames (render/frame.cpp) ---------------------------------------------------------
    // A frame is finished and still in the buffer it was drawn in, about to be shown: video capture
    // and frame export read it back here. Called for every presented frame; the frames the skip
    // ahead draws unseen are never presented, so never reach it.
    void (*frameDrawn)() = nullptr;
    // The benchmark's stopwatch: a frame begins (before its clear); the platform has shown it.
    void (*frameStarted)() = nullptr;
    void (*framePresented)() = nullptr;

    // ---- The scene loop (scenes/kit.cpp) ---------------------------------------------------
    // The window procedure every message goes to. Null: messages are taken and dropped.
    void (*handleMessage)(const Message& message) = nullptr;
    // The skip ahead to a later start point, run by every scene loop (above): begun right after the
    // clock starts and, once a seek forward has armed it from the window procedure, before any
    // later frame. Null: every scene plays from its start.
    const SkipAhead* skipAhead = nullptr;
    // A seek back: true from the moment the run is to play again from its start until the shell
    // has put the start back. Every scene loop, seen or unseen frames alike, then leaves at once,
    // as for Escape. Null: never.
    bool (*leaveScene)() = nullptr;
    // The hidden-frame switch the scene loop throws around the frames it draws unseen for the skip
    // ahead (the shell hands down setFramesHidden). Null: they are drawn like any other, but never
    // presented.
    void (*hideFrames)(bool hidden) = nullptr;
    // Where the loop takes its messages and how it clears and presents a frame. Null: the
    // platform's queue (sysPeekMessage), clearFrame and presentFrame.
    bool (*peekMessage)(Message* message) = nullptr;
    void (*clear)() = nullptr;
    void (*present)() = nullptr;

    // ---- Loading and music (shell/loader.cpp, media/music.cpp) -----------------------------
    // A loading frame is drawn for step (1 .. 17), bar included, and not yet presented.
    void (*loadingBarDrawn)(int32_t step) = nullptr;
    // The music has just started playing musicFile (capture lines the sound up with the frames
    // from here).
    void (*musicStarted)(const char* musicFile) = nullptr;

    // ---- Sources a test puts in place of the program's own ---------------------------------
    // The tick count every clock above the platform reads (core/clock.cpp). Null: sysTickCount.
    uint32_t (*tickCount)() = nullptr;
    // Where the outline font takes its face (render/text.cpp). Null: openTextFace, the platform's
    // font. A source that returns null leaves the program without text.
    OutlineFace* (*openTextFace)() = nullptr;
    // What runSequence calls (shell/sequencer.cpp). Null: the loader, the eight scenes, teardown.
    const SequenceSteps* sequence = nullptr;
};

// Replaces the whole table (copied); handDownServices(Services{}) empties it.
void handDownServices(const Services& table);
// The table as last handed down; all null before the first hand-down.
const Services& services();
