// The instruments of the soundtrack: each note of the score is rendered into the mix bus.
#pragma once
#include "tools/assetgen/music/score.h"
#include "tools/assetgen/music/synth.h"
#include <cstddef>
#include <cstdint>
#include <vector>

namespace music {

// Frames per value of the side-chain envelope.
constexpr int kDuckStep = 32;

// A drum hit rendered once and mixed in for every note of its kind.
struct OneShot {
    std::vector<float> left, right, echo, reverb;
};

class Orchestra {
public:
    // Prepares the side-chain envelope of the score's kicks and renders the drum kit.
    Orchestra(const Score& score, size_t frames);

    // Adds one note to frames [firstFrame, lastFrame) of the bus (the rest of the note is
    // computed but not written, so two windows can be rendered apart and give the same sum).
    // seed picks one of a few variants of a drum hit.
    void play(const Note& note, uint32_t seed, Bus& bus, size_t firstFrame, size_t lastFrame) const;

    // Runs the pad layer of the bus through the pad filter into the mix, then frees the layer.
    void mixPads(Bus& bus) const;

    // Gain curve (one value per kDuckStep frames, 1 = untouched) by which the kicks push the
    // sustained instruments down for a moment: the pumping of the groove.
    const std::vector<float>& duck() const { return duck_; }

private:
    static constexpr int kVariants = 4;
    const Score& score_;
    std::vector<float> duck_;
    std::vector<OneShot> kit_;  // kVariants per cached instrument
};

}  // namespace music
