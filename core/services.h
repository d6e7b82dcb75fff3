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

// The skip ahead to a start point: called by the scene loop right after the scene clock starts,
// with the loop's own message source, clear and drawing. It runs the scene's frames that lie
// before the start point unseen and returns false when the scene has ended before it.
using SkipAhead = bool (*)(bool (*peekMessage)(Message* message), void (*clear)(), void (*drawFrame)());

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
    // The skip ahead to a later start point, run at the start of every scene loop and again after
    // every message the loop hands on (a seek forward, armed from the window procedure, catches up
    // from there). Null: every scene plays from its start.
    SkipAhead skipAhead = nullptr;
    // A seek back: true from the moment the run is to play again from its start until the shell
    // has put the start back. Every scene loop (and the skip ahead) then leaves at once, as for
    // Escape. Null: never.
    bool (*leaveScene)() = nullptr;
    // The hidden-frame switch the skip ahead throws around the frames it draws unseen (the shell
    // hands down setFramesHidden). Null: they are drawn like any other, but never presented.
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
