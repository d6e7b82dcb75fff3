// Whole-piece effects and mastering: a ping-pong echo, a feedback-delay-network reverb, the
// ITU-R BS.1770 loudness measurement and an offline look-ahead limiter. They work on the complete
// piece at once, so the limiter can look as far ahead as it likes. Depends on synth.h only.
#include "tools/assetgen/music/effects.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace music {
namespace {

// Fixed-length delay line read `length` frames after the write.
class DelayLine {
public:
    explicit DelayLine(size_t length) : data_(length, 0.0f) {}
    float read() const { return data_[pos_]; }
    void write(float v)
    {
        data_[pos_] = v;
        if (++pos_ == data_.size())
            pos_ = 0;
    }

private:
    std::vector<float> data_;
    size_t pos_ = 0;
};

class Allpass {
public:
    Allpass(size_t length, float gain) : line_(length), gain_(gain) {}
    float process(float x)
    {
        const float delayed = line_.read();
        const float v = x + gain_ * delayed;
        line_.write(v);
        return delayed - gain_ * v;
    }

private:
    DelayLine line_;
    float gain_;
};

class OnePoleLow {
public:
    explicit OnePoleLow(float cutoffHz) : a_(1.0f - std::exp(-2.0f * static_cast<float>(kPi) * cutoffHz / kSampleRate))
    {}
    float process(float x) { return state_ += a_ * (x - state_); }

private:
    float a_;
    float state_ = 0.0f;
};

// Direct-form-II-transposed biquad in double precision, for the loudness weighting.
struct Biquad {
    double b0 = 1.0, b1 = 0.0, b2 = 0.0, a1 = 0.0, a2 = 0.0;
    double z1 = 0.0, z2 = 0.0;
    double process(double x)
    {
        const double y = b0 * x + z1;
        z1 = b1 * x - a1 * y + z2;
        z2 = b2 * x - a2 * y;
        return y;
    }
};

// K-weighting of BS.1770: a high shelf for the head, then a high pass; coefficients derived for
// our sample rate from the analogue prototypes.
std::array<Biquad, 2> kWeighting()
{
    std::array<Biquad, 2> f;
    {
        const double f0 = 1681.974450955533, gainDb = 3.999843853973347, q = 0.7071752369554196;
        const double k = std::tan(kPi * f0 / kSampleRate);
        const double vh = std::pow(10.0, gainDb / 20.0);
        const double vb = std::pow(vh, 0.4996667741545416);
        const double a0 = 1.0 + k / q + k * k;
        f[0].b0 = (vh + vb * k / q + k * k) / a0;
        f[0].b1 = 2.0 * (k * k - vh) / a0;
        f[0].b2 = (vh - vb * k / q + k * k) / a0;
        f[0].a1 = 2.0 * (k * k - 1.0) / a0;
        f[0].a2 = (1.0 - k / q + k * k) / a0;
    }
    {
        const double f0 = 38.13547087602444, q = 0.5003270373238773;
        const double k = std::tan(kPi * f0 / kSampleRate);
        const double a0 = 1.0 + k / q + k * k;
        f[1].b0 = 1.0;
        f[1].b1 = -2.0;
        f[1].b2 = 1.0;
        f[1].a1 = 2.0 * (k * k - 1.0) / a0;
        f[1].a2 = (1.0 - k / q + k * k) / a0;
    }
    return f;
}

// Feeds frames one at a time; integrated() applies the two gates over 400 ms blocks that overlap
// by three quarters.
class LoudnessMeter {
public:
    LoudnessMeter() : left_(kWeighting()), right_(kWeighting()) {}
    void add(float l, float r)
    {
        const double wl = left_[1].process(left_[0].process(l));
        const double wr = right_[1].process(right_[0].process(r));
        sum_ += wl * wl + wr * wr;
        if (++count_ == kQuarter) {
            quarters_.push_back(sum_ / kQuarter);
            sum_ = 0.0;
            count_ = 0;
        }
    }
    double integrated() const
    {
        std::vector<double> blocks;
        for (size_t i = 3; i < quarters_.size(); ++i) {
            blocks.push_back(0.25 * (quarters_[i - 3] + quarters_[i - 2] + quarters_[i - 1] + quarters_[i]));
        }
        const double absoluteGate = energyOf(-70.0);
        const double relativeGate = energyOf(loudnessOf(meanAbove(blocks, absoluteGate)) - 10.0);
        const double mean = meanAbove(blocks, std::max(absoluteGate, relativeGate));
        return mean > 0.0 ? std::max(-70.0, loudnessOf(mean)) : -70.0;
    }

private:
    static constexpr int kQuarter = kSampleRate / 10;
    static double loudnessOf(double energy) { return -0.691 + 10.0 * std::log10(std::max(energy, 1e-30)); }
    static double energyOf(double lufs) { return std::pow(10.0, (lufs + 0.691) / 10.0); }
    static double meanAbove(const std::vector<double>& blocks, double gate)
    {
        double sum = 0.0;
        size_t n = 0;
        for (double b : blocks) {
            if (b > gate) {
                sum += b;
                ++n;
            }
        }
        return n ? sum / static_cast<double>(n) : 0.0;
    }
    std::array<Biquad, 2> left_, right_;
    double sum_ = 0.0;
    int count_ = 0;
    std::vector<double> quarters_;
};

// Highest of the two channels at each frame and at the half-way point to the next frame (cubic
// interpolation), so the limiter also catches most peaks that fall between samples.
std::vector<float> framePeaks(const std::vector<float>& l, const std::vector<float>& r)
{
    const size_t n = l.size();
    std::vector<float> peaks(n);
    auto mid = [](const float* x) { return std::fabs((-x[-1] + 9.0f * x[0] + 9.0f * x[1] - x[2]) * (1.0f / 16.0f)); };
    for (size_t i = 0; i < n; ++i) {
        float p = std::max(std::fabs(l[i]), std::fabs(r[i]));
        if (i >= 1 && i + 2 < n)
            p = std::max({p, mid(&l[i]), mid(&r[i])});
        peaks[i] = p;
    }
    return peaks;
}

// Limiter gain per frame for the mix scaled by `gain`: the lowest required gain within +-window
// frames, released slowly, then averaged over the same window. Each averaged value only mixes
// values at or below the requirement of its own frame, so the ceiling holds exactly.
void limiterGain(const std::vector<float>& peaks, float gain, float ceiling, std::vector<float>& out)
{
    const size_t n = peaks.size();
    const size_t window = 96;  // ~2 ms: attack ramp and look-ahead
    const float release = 1.0f - std::exp(-1.0f / (0.12f * kSampleRate));
    out.assign(n, 1.0f);
    auto required = [&](size_t i) {
        const float p = peaks[i] * gain;
        return p > ceiling ? ceiling / p : 1.0f;
    };
    // Sliding minimum over [i - window, i + window] with a monotonic queue of frame indices.
    std::vector<size_t> queue(2 * window + 2);
    std::vector<float> queueValue(2 * window + 2);
    size_t head = 0, tail = 0;  // ring positions; tail - head = entries
    const size_t cap = queue.size();
    float released = 1.0f;
    for (size_t j = 0; j < n + window; ++j) {
        if (j < n) {
            const float v = required(j);
            while (tail > head && queueValue[(tail - 1) % cap] >= v)
                --tail;
            queue[tail % cap] = j;
            queueValue[tail % cap] = v;
            ++tail;
        }
        if (j < window)
            continue;
        const size_t i = j - window;
        while (queue[head % cap] + 2 * window < j)
            ++head;
        const float m = queueValue[head % cap];
        released = std::min(m, released + (1.0f - released) * release);
        out[i] = released;
    }
    // Centred moving average, reading the originals from a ring so the array can be overwritten.
    // Beyond either end the edge value stands in: its own window covers the frames near that end.
    if (n == 0)
        return;
    const float first = out[0];
    const float last = out[n - 1];
    std::vector<float> ring(2 * window + 1, first);
    double sum = static_cast<double>(first) * static_cast<double>(ring.size());
    for (size_t j = 0; j < n + window; ++j) {
        const float incoming = j < n ? out[j] : last;
        const size_t slot = j % ring.size();
        sum += static_cast<double>(incoming) - static_cast<double>(ring[slot]);
        ring[slot] = incoming;
        if (j >= window)
            out[j - window] = static_cast<float>(sum / static_cast<double>(ring.size()));
    }
}

}  // namespace

void applyEcho(Bus& bus, double delaySeconds, float feedback)
{
    const size_t length = static_cast<size_t>(std::lround(delaySeconds * kSampleRate));
    DelayLine toLeft(length), toRight(length);
    Svf darkL, darkR, thinL, thinR;
    darkL.set(3800.0f, 0.7f);
    darkR.set(3800.0f, 0.7f);
    thinL.set(280.0f, 0.7f);
    thinR.set(280.0f, 0.7f);
    for (size_t i = 0; i < bus.frames(); ++i) {
        const float outL = toLeft.read();
        const float outR = toRight.read();
        // The send enters on the left and bounces: left -> right -> left, darker each time.
        toLeft.write(bus.echoSend[i] + feedback * thinR.highpass(darkR.lowpass(outR)));
        toRight.write(feedback * thinL.highpass(darkL.lowpass(outL)));
        bus.left[i] += outL;
        bus.right[i] += outR;
        bus.reverbSend[i] += 0.25f * (outL + outR);
    }
}

void applyReverb(Bus& bus, float decaySeconds, float returnLevel)
{
    constexpr int kLines = 8;
    static const size_t lengths[kLines] = {1310, 1637, 1813, 1928, 2377, 2617, 2959, 3233};
    std::vector<DelayLine> lines;
    std::vector<OnePoleLow> damping;
    float feedback[kLines];
    for (int k = 0; k < kLines; ++k) {
        lines.emplace_back(lengths[k]);
        damping.emplace_back(5200.0f);
        feedback[k] = std::pow(10.0f, -3.0f * static_cast<float>(lengths[k]) / (decaySeconds * kSampleRate));
    }
    DelayLine preDelay(static_cast<size_t>(0.022 * kSampleRate));
    Allpass diffusers[4] = {{142, 0.7f}, {107, 0.7f}, {379, 0.65f}, {277, 0.65f}};
    Svf lowCut;
    lowCut.set(220.0f, 0.7f);
    for (size_t i = 0; i < bus.frames(); ++i) {
        float x = preDelay.read();
        preDelay.write(lowCut.highpass(bus.reverbSend[i]));
        for (Allpass& a : diffusers)
            x = a.process(x);
        float out[kLines];
        float sum = 0.0f;
        for (int k = 0; k < kLines; ++k) {
            out[k] = damping[k].process(lines[k].read()) * feedback[k];
            sum += out[k];
        }
        // Householder mixing: every line feeds every other, energy preserved.
        const float spread = sum * (2.0f / kLines);
        for (int k = 0; k < kLines; ++k)
            lines[k].write(out[k] - spread + ((k & 1) ? -x : x));
        const float wetL = out[0] - out[2] + out[4] - out[6];
        const float wetR = out[1] - out[3] + out[5] - out[7];
        bus.left[i] += wetL * returnLevel;
        bus.right[i] += wetR * returnLevel;
    }
}

double integratedLoudness(const std::vector<float>& left, const std::vector<float>& right)
{
    LoudnessMeter meter;
    for (size_t i = 0; i < left.size(); ++i)
        meter.add(left[i], right[i]);
    return meter.integrated();
}

double masterToLoudness(std::vector<float>& left, std::vector<float>& right, double targetLufs, float ceilingDb)
{
    const float ceiling = dbToGain(ceilingDb);
    const double before = integratedLoudness(left, right);
    if (before <= -69.0)
        return before;
    const std::vector<float> peaks = framePeaks(left, right);
    std::vector<float> shape;
    auto loudnessAt = [&](double gainDb) {
        const float gain = dbToGain(static_cast<float>(gainDb));
        limiterGain(peaks, gain, ceiling, shape);
        LoudnessMeter meter;
        for (size_t i = 0; i < left.size(); ++i)
            meter.add(left[i] * gain * shape[i], right[i] * gain * shape[i]);
        return meter.integrated();
    };
    // Limiting takes back part of every gain step, more the harder it works: search the gain by
    // secant steps on (gain, loudness), whose slope is at least 1 dB per LU.
    double gainDb = targetLufs - before;
    double reached = loudnessAt(gainDb);
    double previousGain = gainDb, previousReached = reached;
    for (int round = 0; round < 8 && std::fabs(reached - targetLufs) > 0.01; ++round) {
        double slope = 1.0;
        if (round > 0 && std::fabs(reached - previousReached) > 1e-6) {
            slope = std::clamp((gainDb - previousGain) / (reached - previousReached), 1.0, 20.0);
        }
        previousGain = gainDb;
        previousReached = reached;
        gainDb += (targetLufs - reached) * slope;
        reached = loudnessAt(gainDb);
    }
    const float gain = dbToGain(static_cast<float>(gainDb));
    for (size_t i = 0; i < left.size(); ++i) {
        left[i] *= gain * shape[i];
        right[i] *= gain * shape[i];
    }
    return reached;
}

}  // namespace music
