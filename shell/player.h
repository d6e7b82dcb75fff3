// The player: what the keys do to a playing presentation. Space pauses and resumes (the picture
// holds, the music pauses, the scene clock stands still); Left and Right seek 10 s back or forward,
// Page Up, Page Down and 1 to 8 go to the start of a scene, Home to 0 s; F12 writes the frame on
// screen as a PNG; Tab and F1 show and hide the time and the key overlays. A seek forward catches
// up from where the run is; a seek back plays again from 0 s, unseen, with the assets kept loaded,
// and either way lands on the frame that `--start-at` of that time shows first.
// Recordings and the benchmark never take keys: their runs leave the player off.
#pragma once
#include <string>

#include "core/services.h"
#include "platform/platform.h"

// Switches the keys on for this run (a windowed or full-screen presentation) and adds to the
// services the player's message source, present and scene-leaving test (core/services.h); F12
// writes its pictures into startFolder (none when empty). Off (the default), every call below does
// nothing and playerTime follows the scene clock.
void enablePlayer(Services* handed, const std::string& startFolder);
bool playerEnabled();

// Pauses a playing run and resumes a paused one.
void playerTogglePause();
// Moves the run to seconds of presentation time (clamped to 0 .. the end); it lands there on the
// next frame, paused still if it was paused.
void playerSeekTo(double seconds);
// Seconds of presentation time of the frame on screen, or the one a seek under way lands on.
double playerTime();
bool playerPaused();

// Answers one key pressed in the window (the window procedure passes every key down here).
void playerKey(Key key);
// The window was resized or uncovered: a paused run draws its held frame again.
void playerWindowChanged();

// For the sequencer: true once a seek back has left the scene loops; then, with the assets kept
// loaded, replayFromStart puts back the state every run starts from and arms the skip ahead to
// the seek's time.
bool replayRequested();
void replayFromStart();
// For the sequencer, right after loading: the state a run starts from, kept for replays.
void keepFreshStart();
