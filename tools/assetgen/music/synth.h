// Building blocks of the soundtrack synthesizer: time grid, noise, band-limited oscillators, the
// state-variable filter, automation lanes and the whole-piece mix bus that every voice writes into.
// Header-only so that the per-sample loops of the instruments inline them.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

namespace music {

constexpr int kSampleRate = 44100;
constexpr double kBeatsPerMinute = 120.0;
constexpr double kSecondsPerBeat = 60.0 / kBeatsPerMinute;
constexpr double kPi = 3.14159265358979323846;

inline double beatToSeconds(double beat)
{
    return beat * kSecondsPerBeat;
}
inline long long beatToFrame(double beat)
{
    return std::llround(beat * kSecondsPerBeat * kSampleRate);
}
inline double midiToHz(double note)
{
    return 440.0 * std::pow(2.0, (note - 69.0) / 12.0);
}
inline float dbToGain(float db)
{
    return std::pow(10.0f, db / 20.0f);
}

// xorshift32: white noise that is the same on every run for the same seed.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed ? seed : 0x6d2b79f5u) {}
    float next()
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<float>(static_cast<int32_t>(state_)) * (1.0f / 2147483648.0f);
    }

private:
    uint32_t state_;
};

// Smooths the step of a naive sawtooth at the wrap so the oscillators stay free of aliasing whine.
inline float polyBlep(double t, double dt)
{
    if (t < dt) {
        const double x = t / dt;
        return static_cast<float>(x + x - x * x - 1.0);
    }
    if (t > 1.0 - dt) {
        const double x = (t - 1.0) / dt;
        return static_cast<float>(x * x + x + x + 1.0);
    }
    return 0.0f;
}

// sin(2 pi phase) for a phase in cycles, from a table: the voices need millions of them.
inline float tableSine(double phase)
{
    constexpr int kSize = 4096;
    struct Table {
        float v[kSize + 1];
        Table()
        {
            for (int i = 0; i <= kSize; ++i)
                v[i] = static_cast<float>(std::sin(2.0 * kPi * i / kSize));
        }
    };
    static const Table table;
    const double x = (phase - std::floor(phase)) * kSize;
    const int i = std::min(static_cast<int>(x), kSize - 1);  // x can round up to kSize
    const float f = static_cast<float>(x - i);
    return table.v[i] + f * (table.v[i + 1] - table.v[i]);
}

// Soft saturation (a rational tanh approximation): rounds peaks off instead of clipping them.
inline float saturate(float x)
{
    const float c = std::fmin(std::fmax(x, -3.0f), 3.0f);
    return c * (27.0f + c * c) / (27.0f + 9.0f * c * c);
}

// Per-frame factor of an exponential decay with time constant `seconds`.
inline float decayStep(float seconds)
{
    return std::exp(-1.0f / (seconds * kSampleRate));
}

// Band-limited sawtooth (and square, as the difference of two saws half a cycle apart).
class Oscillator {
public:
    explicit Oscillator(double startPhase = 0.0) : phase_(startPhase) {}
    void setHz(double hz) { inc_ = hz / kSampleRate; }
    float saw()
    {
        const float v = static_cast<float>(2.0 * phase_ - 1.0) - polyBlep(phase_, inc_);
        advance();
        return v;
    }
    float square()
    {
        double shifted = phase_ + 0.5;
        if (shifted >= 1.0)
            shifted -= 1.0;
        const float v = (phase_ < 0.5 ? 1.0f : -1.0f) + polyBlep(phase_, inc_) - polyBlep(shifted, inc_);
        advance();
        return v;
    }
    float sine()
    {
        const float v = tableSine(phase_);
        advance();
        return v;
    }
    double phase() const { return phase_; }

private:
    void advance()
    {
        phase_ += inc_;
        if (phase_ >= 1.0)
            phase_ -= 1.0;
    }
    double phase_ = 0.0;
    double inc_ = 0.0;
};

// Trapezoidal state-variable filter: stable under fast cutoff sweeps, which the filter movement needs.
class Svf {
public:
    void set(float cutoffHz, float q)
    {
        const float limited = std::fmin(std::fmax(cutoffHz, 20.0f), 0.45f * kSampleRate);
        const float g = static_cast<float>(std::tan(kPi * limited / kSampleRate));
        k_ = 1.0f / q;
        a1_ = 1.0f / (1.0f + g * (g + k_));
        a2_ = g * a1_;
        a3_ = g * a2_;
    }
    void process(float v0)
    {
        const float v3 = v0 - ic2_;
        const float v1 = a1_ * ic1_ + a2_ * v3;
        const float v2 = ic2_ + a2_ * ic1_ + a3_ * v3;
        ic1_ = 2.0f * v1 - ic1_;
        ic2_ = 2.0f * v2 - ic2_;
        low_ = v2;
        band_ = v1;
        high_ = v0 - k_ * v1 - v2;
    }
    float lowpass(float v)
    {
        process(v);
        return low_;
    }
    float bandpass(float v)
    {
        process(v);
        return band_;
    }
    float highpass(float v)
    {
        process(v);
        return high_;
    }

private:
    float k_ = 1.0f, a1_ = 0.0f, a2_ = 0.0f, a3_ = 0.0f;
    float ic1_ = 0.0f, ic2_ = 0.0f;
    float low_ = 0.0f, band_ = 0.0f, high_ = 0.0f;
};

// Piecewise automation over beats; interpolates in the log domain so filter sweeps sound even.
class Lane {
public:
    Lane() = default;
    explicit Lane(float constant) { points_.push_back({0.0, constant}); }
    Lane& to(double beat, float value)
    {
        points_.push_back({beat, value});
        return *this;
    }
    float at(double beat) const
    {
        if (points_.empty())
            return 0.0f;
        if (beat <= points_.front().first)
            return points_.front().second;
        for (size_t i = 1; i < points_.size(); ++i) {
            if (beat < points_[i].first) {
                const auto& a = points_[i - 1];
                const auto& b = points_[i];
                const double t = (beat - a.first) / (b.first - a.first);
                return static_cast<float>(a.second * std::pow(static_cast<double>(b.second / a.second), t));
            }
        }
        return points_.back().second;
    }

private:
    std::vector<std::pair<double, float>> points_;
};

// Where a voice sits in the mix: constant-power pan gains and its sends to the echo and the reverb.
struct Placement {
    float left = 0.7071f;
    float right = 0.7071f;
    float echo = 0.0f;
    float reverb = 0.0f;
};

inline Placement place(float pan, float echo, float reverb)
{
    const double angle = (static_cast<double>(pan) + 1.0) * 0.25 * kPi;
    return {static_cast<float>(std::cos(angle)), static_cast<float>(std::sin(angle)), echo, reverb};
}

// The whole piece in memory: the dry stereo mix, the two mono effect sends, and the pad layer,
// which is gathered apart so that one filter can shape all pad voices at once.
struct Bus {
    explicit Bus(size_t frames, bool withPads = false)
        : left(frames), right(frames), echoSend(frames), reverbSend(frames), padLeft(withPads ? frames : 0),
          padRight(withPads ? frames : 0)
    {}
    size_t frames() const { return left.size(); }
    void add(size_t i, float l, float r, const Placement& p)
    {
        left[i] += l * p.left;
        right[i] += r * p.right;
        const float mono = 0.5f * (l + r);
        echoSend[i] += mono * p.echo;
        reverbSend[i] += mono * p.reverb;
    }
    void add(size_t i, float v, const Placement& p) { add(i, v, v, p); }
    std::vector<float> left, right, echoSend, reverbSend;
    std::vector<float> padLeft, padRight;
};

}  // namespace music
