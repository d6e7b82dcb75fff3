// Instruments of the soundtrack synthesizer: subtractive pad, bass, arpeggio, lead and stabs, an FM
// bell, and drums made from sine sweeps, noise and a metallic square cluster. Melodic voices write
// straight into the whole-piece bus; each drum is rendered once (a few variants) and mixed in per
// hit. Depends only on synth.h and the score's note record.
#include "tools/assetgen/music/instruments.h"

#include <algorithm>
#include <cmath>

namespace music {
namespace {

constexpr int kControlStep = 16;  // frames between filter coefficient updates

// Where a voice writes: the bus and the window of frames it may touch.
struct Target {
    Bus& bus;
    size_t lo;
    size_t hi;
};

// Frames [first, last) that a voice lasting `seconds` from the note's start computes: cut at the
// window's end, but starting at the note's start even before the window, so that its oscillators
// and filters reach the window in the same state whichever window is being rendered.
struct Span {
    size_t first = 0;
    size_t last = 0;
};

Span spanOf(const Note& note, double seconds, const Target& to)
{
    const long long start = beatToFrame(note.beat);
    const long long end = start + static_cast<long long>(seconds * kSampleRate);
    const long long limit = static_cast<long long>(std::min(to.hi, to.bus.frames()));
    Span s;
    s.first = static_cast<size_t>(std::clamp<long long>(start, 0, limit));
    s.last = static_cast<size_t>(std::clamp<long long>(end, 0, limit));
    if (s.last <= to.lo)
        s.first = s.last;  // nothing of it falls in the window
    return s;
}

float duckAt(const std::vector<float>& duck, size_t frame, float amount)
{
    const size_t i = frame / kDuckStep;
    const float d = i < duck.size() ? duck[i] : 1.0f;
    return 1.0f - amount * (1.0f - d);
}

// Six detuned square waves: the inharmonic clang that makes hats and cymbals sound metallic.
class Metal {
public:
    Metal()
    {
        static const double ratios[6] = {1.0, 1.4471, 1.6170, 1.9265, 2.5028, 2.6637};
        for (int k = 0; k < 6; ++k)
            osc_[k].setHz(317.0 * ratios[k]);
    }
    float next()
    {
        float sum = 0.0f;
        for (Oscillator& o : osc_)
            sum += o.square();
        return sum * (1.0f / 6.0f);
    }

private:
    Oscillator osc_[6];
};

// Attack ramp shaped like a quarter sine squared: a pad swells in without a click.
float swellIn(float t, float attack)
{
    if (t >= attack)
        return 1.0f;
    const float x = tableSine(0.25 * t / attack);
    return x * x;
}

// A pad voice: two saws detuned apart, one per side, into the pad layer. The filter, the pumping
// and the sends are applied to the whole layer afterwards (Orchestra::mixPads).
void renderPad(const Note& note, const Target& to)
{
    if (to.bus.padLeft.size() != to.bus.frames())
        return;  // a bus without a pad layer
    const float attack = note.attack > 0.0f ? note.attack : 0.35f;
    const float holdSeconds = static_cast<float>(beatToSeconds(note.length));
    const float release = note.release > 0.0f ? note.release : 0.5f;
    const Span span = spanOf(note, holdSeconds + release * 5.5f, to);
    const double hz = midiToHz(note.pitch);
    Oscillator left(0.13 * note.pitch - std::floor(0.13 * note.pitch));
    Oscillator right(0.37 * note.pitch - std::floor(0.37 * note.pitch));
    left.setHz(hz * std::pow(2.0, -8.0 / 1200.0));
    right.setHz(hz * std::pow(2.0, 8.0 / 1200.0));
    const Placement where = place(note.pan, 0.0f, 0.0f);
    const float level = 0.11f * note.velocity;
    const float releaseStep = decayStep(release);
    const size_t holdEnd = span.first + static_cast<size_t>(holdSeconds * kSampleRate);
    float releaseGain = 1.0f;
    for (size_t i = span.first; i < span.last; ++i) {
        const float t = static_cast<float>(i - span.first) / kSampleRate;
        if (i >= holdEnd)
            releaseGain *= releaseStep;
        const float gain = swellIn(t, attack) * releaseGain * level;
        const float l = left.saw() * gain;
        const float r = right.saw() * gain;
        if (i >= to.lo) {
            to.bus.padLeft[i] += l * where.left;
            to.bus.padRight[i] += r * where.right;
        }
    }
}

void renderBass(const Note& note, const std::vector<float>& duck, const Target& to)
{
    const float hold = static_cast<float>(beatToSeconds(note.length));
    const Span span = spanOf(note, hold + 0.08f, to);
    const double hz = midiToHz(note.pitch);
    Oscillator saw, sub;
    saw.setHz(hz);
    sub.setHz(hz);
    Svf filter;
    const Placement where = place(0.0f, 0.0f, 0.03f);
    const float filterStep = std::exp(-static_cast<float>(kControlStep) / (0.12f * kSampleRate));
    const float punchStep = decayStep(0.15f);
    float filterEnv = 1.0f, punch = 1.0f;
    for (size_t i = span.first; i < span.last; ++i) {
        const float t = static_cast<float>(i - span.first) / kSampleRate;
        if ((i - span.first) % kControlStep == 0) {
            filter.set(110.0f + (250.0f + 1300.0f * note.velocity) * filterEnv, 1.4f);
            filterEnv *= filterStep;
        }
        punch *= punchStep;
        float env = std::min(1.0f, t / 0.004f) * (0.75f + 0.25f * punch);
        if (t > hold)
            env *= std::max(0.0f, 1.0f - (t - hold) / 0.08f);
        const float raw = 0.55f * filter.lowpass(saw.saw()) + 0.65f * sub.sine();
        const float v = saturate(1.5f * raw) * 0.56f * env * note.velocity * duckAt(duck, i, 0.6f);
        if (i >= to.lo)
            to.bus.add(i, v, where);
    }
}

void renderArp(const Note& note, const Score& score, const std::vector<float>& duck, const Target& to)
{
    const float seconds = 0.42f;
    const Span span = spanOf(note, seconds, to);
    const double hz = midiToHz(note.pitch);
    Oscillator square, saw;
    square.setHz(hz);
    saw.setHz(hz * 1.003);
    Svf filter;
    const float cutoff = score.arpCutoff.at(note.beat);
    const Placement where = place(note.pan, 0.35f, 0.22f);
    const float pluckStep = std::exp(-static_cast<float>(kControlStep) / (0.05f * kSampleRate));
    const float ampStep = decayStep(0.14f);
    float pluck = 1.0f, amp = 0.34f * note.velocity;
    for (size_t i = span.first; i < span.last; ++i) {
        const float t = static_cast<float>(i - span.first) / kSampleRate;
        if ((i - span.first) % kControlStep == 0) {
            filter.set(cutoff * (0.35f + 2.0f * pluck), 2.0f);
            pluck *= pluckStep;
        }
        amp *= ampStep;
        const float env = amp * std::min(1.0f, t / 0.002f) * std::min(1.0f, (seconds - t) / 0.1f);
        const float v = filter.lowpass(0.6f * square.square() + 0.4f * saw.saw()) * env * duckAt(duck, i, 0.5f);
        if (i >= to.lo)
            to.bus.add(i, v, where);
    }
}

void renderLead(const Note& note, const Score& score, const Target& to)
{
    const float hold = static_cast<float>(beatToSeconds(note.length));
    const float release = note.release > 0.0f ? note.release : 0.09f;
    const Span span = spanOf(note, hold + release * 7.0f, to);
    Oscillator a(0.0), b(0.31), low(0.6);
    Svf filterL, filterR;
    const Placement where = place(note.pan, 0.3f, 0.3f);
    const float from = note.glideFrom > 0.0f ? note.glideFrom : note.pitch;
    const float releaseStep = decayStep(release);
    const size_t holdEnd = span.first + static_cast<size_t>(hold * kSampleRate);
    float releaseGain = 1.0f;
    for (size_t i = span.first; i < span.last; ++i) {
        const float t = static_cast<float>(i - span.first) / kSampleRate;
        if ((i - span.first) % kControlStep == 0) {
            const float vibrato = std::min(1.0f, std::max(0.0f, (t - 0.25f) / 0.4f)) * 0.13f * tableSine(5.3 * t);
            const float pitch = note.pitch + (from - note.pitch) * std::exp(-t / 0.03f) + vibrato;
            const double hz = midiToHz(pitch);
            a.setHz(hz * 0.9960);
            b.setHz(hz * 1.0040);
            low.setHz(hz * 0.5);
            const float cutoff =
                score.leadCutoff.at(note.beat + t / kSecondsPerBeat) * (1.0f + 0.8f * std::exp(-t / 0.12f));
            filterL.set(cutoff, 1.3f);
            filterR.set(cutoff * 1.05f, 1.3f);
        }
        if (i >= holdEnd)
            releaseGain *= releaseStep;
        const float gain = std::min(1.0f, t / 0.008f) * releaseGain * 0.155f * note.velocity;
        const float sub = 0.35f * low.square();
        const float l = filterL.lowpass(a.saw() + sub) * gain;
        const float r = filterR.lowpass(b.saw() + sub) * gain;
        if (i >= to.lo)
            to.bus.add(i, l, r, where);
    }
}

void renderBell(const Note& note, const Target& to)
{
    const float seconds = 3.0f;
    const Span span = spanOf(note, seconds, to);
    const double hz = midiToHz(note.pitch);
    Oscillator carrier, modulator;
    modulator.setHz(hz * 3.5);
    const Placement where = place(note.pan, 0.35f, 0.45f);
    const float indexStep = decayStep(0.35f);
    const float ampStep = decayStep(0.8f);
    float index = 2.2f, amp = 0.16f * note.velocity;
    for (size_t i = span.first; i < span.last; ++i) {
        const float t = static_cast<float>(i - span.first) / kSampleRate;
        carrier.setHz(hz * (1.0 + (index + 0.25f) * modulator.sine() * 0.22));
        index *= indexStep;
        amp *= ampStep;
        const float env = amp * std::min(1.0f, t / 0.002f) * std::min(1.0f, (seconds - t) / 0.5f);
        const float v = carrier.sine() * env;
        if (i >= to.lo)
            to.bus.add(i, v, where);
    }
}

void renderStab(const Note& note, const Target& to)
{
    const Span span = spanOf(note, 2.5, to);
    const double hz = midiToHz(note.pitch);
    Oscillator a(0.1), b(0.5), c(0.8);
    a.setHz(hz * 0.994);
    b.setHz(hz);
    c.setHz(hz * 1.006);
    Svf filterL, filterR;
    const Placement where = place(note.pan, 0.2f, 0.55f);
    const float sweepStep = std::exp(-static_cast<float>(kControlStep) / (0.16f * kSampleRate));
    const float ampStep = decayStep(0.4f);
    float sweep = 1.0f, amp = 0.09f * note.velocity;
    for (size_t i = span.first; i < span.last; ++i) {
        const float t = static_cast<float>(i - span.first) / kSampleRate;
        if ((i - span.first) % kControlStep == 0) {
            const float cutoff = 400.0f + 7000.0f * sweep;
            filterL.set(cutoff, 1.1f);
            filterR.set(cutoff * 1.1f, 1.1f);
            sweep *= sweepStep;
        }
        amp *= ampStep;
        const float env = std::min(1.0f, t / 0.003f) * amp;
        const float mid = 0.5f * b.saw();
        const float l = filterL.lowpass(a.saw() + mid) * env;
        const float r = filterR.lowpass(c.saw() + mid) * env;
        if (i >= to.lo)
            to.bus.add(i, l, r, where);
    }
}

// The drum voices below are rendered into the kit once, at full velocity and centred.

void renderKick(uint32_t seed, Bus& bus)
{
    Noise noise(seed);
    Svf clickFilter;
    clickFilter.set(3000.0f, 0.7f);
    double phase = 0.0;
    const Placement where = place(0.0f, 0.0f, 0.02f);
    const float seconds = static_cast<float>(bus.frames()) / kSampleRate;
    for (size_t i = 0; i < bus.frames(); ++i) {
        const float t = static_cast<float>(i) / kSampleRate;
        const double hz = 46.0 + 125.0 * std::exp(-t / 0.03) + 60.0 * std::exp(-t / 0.004);
        phase += hz / kSampleRate;
        const float body = tableSine(phase) * std::exp(-t / 0.28f) * std::min(1.0f, t / 0.0015f);
        const float click = clickFilter.highpass(noise.next()) * std::exp(-t / 0.003f) * 0.35f;
        const float fade = std::min(1.0f, (seconds - t) / 0.05f);
        bus.add(i, saturate(1.7f * (body + click)) * 0.38f * fade, where);
    }
}

void renderSnare(uint32_t seed, Bus& bus)
{
    Noise noise(seed);
    Svf body;
    body.set(2200.0f, 0.8f);
    double phase = 0.0;
    const Placement where = place(0.0f, 0.02f, 0.25f);
    const float seconds = static_cast<float>(bus.frames()) / kSampleRate;
    for (size_t i = 0; i < bus.frames(); ++i) {
        const float t = static_cast<float>(i) / kSampleRate;
        phase += (175.0 + 40.0 * std::exp(-t / 0.02)) / kSampleRate;
        const float tone = tableSine(phase) * std::exp(-t / 0.05f) * 0.5f;
        const float rattle = body.highpass(noise.next()) * std::exp(-t / 0.12f) * 0.55f;
        const float fade = std::min(1.0f, (seconds - t) / 0.03f);
        bus.add(i, (tone + rattle) * std::min(1.0f, t / 0.001f) * 0.72f * fade, where);
    }
}

void renderClap(uint32_t seed, Bus& bus)
{
    Noise noise(seed);
    Svf band;
    band.set(1250.0f, 1.3f);
    const Placement where = place(0.0f, 0.04f, 0.35f);
    const float seconds = static_cast<float>(bus.frames()) / kSampleRate;
    for (size_t i = 0; i < bus.frames(); ++i) {
        const float t = static_cast<float>(i) / kSampleRate;
        // three quick slaps then the tail: several hands that never clap at once
        float env = 0.0f;
        for (int k = 0; k < 3; ++k) {
            const float dt = t - 0.011f * static_cast<float>(k);
            if (dt >= 0.0f)
                env = std::max(env, std::exp(-dt / 0.005f));
        }
        if (t > 0.03f)
            env = std::max(env, 0.7f * std::exp(-(t - 0.03f) / 0.11f));
        const float fade = std::min(1.0f, (seconds - t) / 0.03f);
        bus.add(i, band.bandpass(noise.next()) * env * 1.65f * fade, where);
    }
}

void renderHat(uint32_t seed, bool open, Bus& bus)
{
    const float decay = open ? 0.17f : 0.028f;
    const float level = open ? 0.5f : 0.9f;
    Noise noise(seed);
    Metal metal;
    Svf high, shine;
    high.set(7200.0f, 0.7f);
    shine.set(10500.0f, 1.5f);
    const Placement where = place(0.0f, open ? 0.08f : 0.0f, 0.1f);
    const float seconds = static_cast<float>(bus.frames()) / kSampleRate;
    for (size_t i = 0; i < bus.frames(); ++i) {
        const float t = static_cast<float>(i) / kSampleRate;
        const float raw = 0.6f * noise.next() + 0.5f * metal.next();
        const float v = high.highpass(raw) + 0.5f * shine.bandpass(raw);
        const float fade = std::min(1.0f, (seconds - t) / 0.02f);
        bus.add(i, v * std::exp(-t / decay) * std::min(1.0f, t / 0.0008f) * level * fade, where);
    }
}

void renderCrash(uint32_t seed, Bus& bus)
{
    Noise noiseL(seed), noiseR(seed ^ 0x5bd1e995u);
    Metal metal;
    Svf highL, highR;
    highL.set(3800.0f, 0.7f);
    highR.set(4100.0f, 0.7f);
    const Placement where = place(0.0f, 0.0f, 0.3f);
    const float seconds = static_cast<float>(bus.frames()) / kSampleRate;
    for (size_t i = 0; i < bus.frames(); ++i) {
        const float t = static_cast<float>(i) / kSampleRate;
        const float clang = 0.4f * metal.next();
        const float env = std::min(1.0f, t / 0.001f) * (0.6f * std::exp(-t / 0.12f) + 0.4f * std::exp(-t / 1.2f)) *
                          std::min(1.0f, (seconds - t) / 0.3f) * 0.3f;
        bus.add(i, highL.highpass(noiseL.next() + clang) * env, highR.highpass(noiseR.next() + clang) * env, where);
    }
}

void renderBoom(uint32_t seed, Bus& bus)
{
    Noise noise(seed);
    Svf low;
    low.set(180.0f, 0.7f);
    double phase = 0.0;
    const Placement where = place(0.0f, 0.0f, 0.15f);
    const float seconds = static_cast<float>(bus.frames()) / kSampleRate;
    for (size_t i = 0; i < bus.frames(); ++i) {
        const float t = static_cast<float>(i) / kSampleRate;
        phase += (36.0 + 24.0 * std::exp(-t / 0.25)) / kSampleRate;
        const float body = tableSine(phase) * std::exp(-t / 0.9f);
        const float thump = low.lowpass(noise.next()) * std::exp(-t / 0.06f) * 1.5f;
        const float env = std::min(1.0f, t / 0.002f) * std::min(1.0f, (seconds - t) / 0.2f);
        bus.add(i, (body + thump) * env * 0.42f, where);
    }
}

// Noise through a band-pass that climbs from 350 Hz to 9 kHz while getting louder; stops dead on
// the note's end, which is the downbeat it leads into.
void renderRiser(const Note& note, uint32_t seed, const Target& to)
{
    const double seconds = beatToSeconds(note.length);
    const Span span = spanOf(note, seconds, to);
    Noise noiseL(seed), noiseR(seed ^ 0x27d4eb2fu);
    Svf bandL, bandR;
    const Placement where = place(0.0f, 0.2f, 0.4f);
    const float total = static_cast<float>(seconds);
    for (size_t i = span.first; i < span.last; ++i) {
        const float t = static_cast<float>(i - span.first) / kSampleRate;
        const float p = t / total;
        if ((i - span.first) % kControlStep == 0) {
            const float cutoff = 350.0f * std::pow(26.0f, p);
            bandL.set(cutoff, 2.2f);
            bandR.set(cutoff * 1.12f, 2.2f);
        }
        const float env = p * p * std::min(1.0f, (total - t) / 0.006f) * 0.35f * note.velocity;
        const float l = bandL.bandpass(noiseL.next()) * env;
        const float r = bandR.bandpass(noiseR.next()) * env;
        if (i >= to.lo)
            to.bus.add(i, l, r, where);
    }
}

// Reversed cymbal: bright noise that swells into the downbeat at the note's end.
void renderSwell(const Note& note, uint32_t seed, const Target& to)
{
    const double seconds = beatToSeconds(note.length);
    const Span span = spanOf(note, seconds, to);
    Noise noiseL(seed), noiseR(seed ^ 0x165667b1u);
    Svf highL, highR;
    highL.set(4500.0f, 0.7f);
    highR.set(4800.0f, 0.7f);
    const Placement where = place(0.0f, 0.0f, 0.25f);
    const float total = static_cast<float>(seconds);
    for (size_t i = span.first; i < span.last; ++i) {
        const float t = static_cast<float>(i - span.first) / kSampleRate;
        const float p = t / total;
        const float env = p * p * p * std::min(1.0f, (total - t) / 0.004f) * 0.3f * note.velocity;
        const float l = highL.highpass(noiseL.next()) * env;
        const float r = highR.highpass(noiseR.next()) * env;
        if (i >= to.lo)
            to.bus.add(i, l, r, where);
    }
}

// Kit slot of a cached drum, or -1 for instruments rendered note by note.
int kitSlot(Instrument instrument)
{
    switch (instrument) {
    case Instrument::Kick:
        return 0;
    case Instrument::Snare:
        return 1;
    case Instrument::Clap:
        return 2;
    case Instrument::HatClosed:
        return 3;
    case Instrument::HatOpen:
        return 4;
    case Instrument::Crash:
        return 5;
    case Instrument::Boom:
        return 6;
    default:
        return -1;
    }
}
constexpr int kKitSlots = 7;

OneShot renderDrum(int slot, uint32_t seed)
{
    static const float seconds[kKitSlots] = {0.55f, 0.45f, 0.5f, 0.14f, 0.6f, 4.5f, 3.0f};
    Bus bus(static_cast<size_t>(seconds[slot] * kSampleRate));
    switch (slot) {
    case 0:
        renderKick(seed, bus);
        break;
    case 1:
        renderSnare(seed, bus);
        break;
    case 2:
        renderClap(seed, bus);
        break;
    case 3:
        renderHat(seed, false, bus);
        break;
    case 4:
        renderHat(seed, true, bus);
        break;
    case 5:
        renderCrash(seed, bus);
        break;
    default:
        renderBoom(seed, bus);
        break;
    }
    return {std::move(bus.left), std::move(bus.right), std::move(bus.echoSend), std::move(bus.reverbSend)};
}

}  // namespace

Orchestra::Orchestra(const Score& score, size_t frames) : score_(score), duck_(frames / kDuckStep + 1, 1.0f)
{
    const float recover = 0.26f;  // seconds until the pushed-down instruments are back at full level
    const long long count = static_cast<long long>(recover * kSampleRate / kDuckStep);
    for (const Note& n : score.notes) {
        if (n.instrument != Instrument::Kick)
            continue;
        const float depth = std::clamp(score.duckDepth.at(n.beat) * n.velocity, 0.0f, 1.0f);
        const long long first = beatToFrame(n.beat) / kDuckStep;
        for (long long k = 0; k < count; ++k) {
            const long long i = first + k;
            if (i < 0 || i >= static_cast<long long>(duck_.size()))
                continue;
            const float x = static_cast<float>(k) / static_cast<float>(count);
            const float g = 1.0f - depth * (1.0f - x) * (1.0f - x);
            duck_[static_cast<size_t>(i)] = std::min(duck_[static_cast<size_t>(i)], g);
        }
    }
    for (int slot = 0; slot < kKitSlots; ++slot) {
        for (int v = 0; v < kVariants; ++v) {
            kit_.push_back(renderDrum(slot, 0x9e3779b9u * static_cast<uint32_t>(slot * kVariants + v + 1)));
        }
    }
}

void Orchestra::mixPads(Bus& bus) const
{
    if (bus.padLeft.size() != bus.frames())
        return;
    Svf filterL, filterR;
    const Placement sends = place(0.0f, 0.04f, 0.4f);
    for (size_t i = 0; i < bus.frames(); ++i) {
        if (i % kControlStep == 0) {
            // one slow sweep over the lane's cutoff: the pads breathe
            const double seconds = static_cast<double>(i) / kSampleRate;
            const float cutoff =
                score_.padCutoff.at(seconds / kSecondsPerBeat) * (1.0f + 0.3f * tableSine(seconds / 7.0));
            filterL.set(cutoff, 0.9f);
            filterR.set(cutoff * 1.07f, 0.9f);
        }
        const float duck = duckAt(duck_, i, 1.0f);
        const float l = filterL.lowpass(bus.padLeft[i]) * duck;
        const float r = filterR.lowpass(bus.padRight[i]) * duck;
        bus.left[i] += l;
        bus.right[i] += r;
        const float mono = 0.5f * (l + r);
        bus.echoSend[i] += mono * sends.echo;
        bus.reverbSend[i] += mono * sends.reverb;
    }
    std::vector<float>().swap(bus.padLeft);
    std::vector<float>().swap(bus.padRight);
}

void Orchestra::play(const Note& note, uint32_t seed, Bus& bus, size_t firstFrame, size_t lastFrame) const
{
    const Target to{bus, firstFrame, lastFrame};
    const int slot = kitSlot(note.instrument);
    if (slot >= 0) {
        const OneShot& shot = kit_[static_cast<size_t>(slot * kVariants) + seed % kVariants];
        // the shot was rendered centred; re-pan by the ratio of the gains
        const Placement p = place(note.pan, 0.0f, 0.0f);
        const float gl = note.velocity * p.left / 0.70710678f;
        const float gr = note.velocity * p.right / 0.70710678f;
        const long long start = beatToFrame(note.beat);
        const long long lo = std::max<long long>(start, static_cast<long long>(firstFrame));
        const long long hi = std::min<long long>({start + static_cast<long long>(shot.left.size()),
                                                  static_cast<long long>(std::min(lastFrame, bus.frames()))});
        for (long long i = lo; i < hi; ++i) {
            const size_t k = static_cast<size_t>(i - start);
            const size_t f = static_cast<size_t>(i);
            bus.left[f] += shot.left[k] * gl;
            bus.right[f] += shot.right[k] * gr;
            bus.echoSend[f] += shot.echo[k] * note.velocity;
            bus.reverbSend[f] += shot.reverb[k] * note.velocity;
        }
        return;
    }
    switch (note.instrument) {
    case Instrument::Pad:
        renderPad(note, to);
        break;
    case Instrument::Bass:
        renderBass(note, duck_, to);
        break;
    case Instrument::Arp:
        renderArp(note, score_, duck_, to);
        break;
    case Instrument::Lead:
        renderLead(note, score_, to);
        break;
    case Instrument::Bell:
        renderBell(note, to);
        break;
    case Instrument::Stab:
        renderStab(note, to);
        break;
    case Instrument::Riser:
        renderRiser(note, seed, to);
        break;
    case Instrument::Swell:
        renderSwell(note, seed, to);
        break;
    default:
        break;
    }
}

}  // namespace music
