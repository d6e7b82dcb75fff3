// Whole-piece effects and mastering of the soundtrack: echo, reverb, loudness measurement and the
// peak limiter that sets the final level.
#pragma once
#include "tools/assetgen/music/synth.h"
#include <cstddef>
#include <vector>

namespace music {

// Runs the echo send through a ping-pong delay; its return goes into the dry mix and, a little,
// into the reverb send.
void applyEcho(Bus& bus, double delaySeconds, float feedback);

// Runs the reverb send through a feedback-delay-network reverb and adds the return to the dry mix.
void applyReverb(Bus& bus, float decaySeconds, float returnLevel);

// Integrated loudness in LUFS (K-weighted, 400 ms blocks, absolute and relative gates) of a
// stereo signal; -70 for silence.
double integratedLoudness(const std::vector<float>& left, const std::vector<float>& right);

// Scales the mix to the target integrated loudness and limits it so that no sample, nor the
// estimate of the peak between two samples, rises above ceilingDb. Returns the loudness reached.
double masterToLoudness(std::vector<float>& left, std::vector<float>& right, double targetLufs, float ceilingDb);

}  // namespace music
