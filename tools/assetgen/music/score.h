// The composition as data: every note and drum hit of the soundtrack, with the filter automation,
// written by the arrangement in score.cpp and played by the instruments in instruments.cpp.
#pragma once
#include "tools/assetgen/music/synth.h"
#include <vector>

namespace music {

enum class Instrument {
    Pad,   // sustained chord tone, two detuned saws through the pad filter
    Bass,  // filtered saw over a sine sub
    Arp,   // short plucked square, sent to the echo
    Lead,  // detuned saw lead with vibrato and glide, carries the theme
    Bell,  // FM bell for counter-melodies
    Stab,  // bright chord tone with a fast decay, for the hits
    Kick,
    Snare,
    Clap,
    HatClosed,
    HatOpen,
    Crash,
    Riser,  // noise swept upwards over the note's length
    Swell,  // reversed cymbal rising into the next downbeat
    Boom,   // low impact under the big hits
};

struct Note {
    Instrument instrument = Instrument::Pad;
    double beat = 0.0;       // start, in beats from the start of the track
    double length = 1.0;     // in beats; drums ignore it except the riser and the swell
    float pitch = 0.0f;      // MIDI note number (fractional allowed)
    float velocity = 1.0f;   // 0 .. 1
    float glideFrom = 0.0f;  // lead only: previous pitch to slide from, 0 for none
    float pan = 0.0f;        // -1 left .. 1 right; drums and bass ignore it
    float attack = 0.0f;     // pad only: fade-in in seconds, 0 for the usual soft start
    float release = 0.0f;    // pad and lead: fade-out time constant in seconds, 0 for the usual
};

struct Score {
    std::vector<Note> notes;
    Lane padCutoff;   // Hz over beats
    Lane arpCutoff;   // Hz over beats
    Lane leadCutoff;  // Hz over beats
    Lane duckDepth;   // 0 .. 1: how far the kick pushes the pad, bass and arp down
    double lengthBeats = 0.0;
};

// Beats at which the scenes change (music time 0 is the first frame of the first scene).
constexpr double kSceneBeats[] = {0.0, 88.0, 138.0, 207.0, 244.0, 276.0, 310.0, 344.0};
constexpr double kScenesEndBeat = 464.0;

// The whole soundtrack; the same on every call.
Score composeScore();

}  // namespace music
