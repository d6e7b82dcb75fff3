// The composition of the soundtrack: D minor, 120 beats per minute, one section per scene of the
// presentation, every scene change a hit on a downbeat. Written as data for the instruments:
// chords, bass, drum and arpeggio patterns, and the themes. Depends on score.h only; the random
// accents come from a fixed seed, so every call gives the same score.
//
// Alignment: the program starts the music as the last step of loading, right before the first
// frame of the first scene, so there is no lead-in: music time 0 is scene time 0 and the scene
// changes fall on beats 0, 88, 138, 207, 244, 276, 310, 344 (0 .. 172 s), the end on beat 464
// (232 s). Loading happens before the music starts, so nothing has to cover it; the scenes' own
// clocks drift behind the music by at most a frame per scene change, far less than a sixteenth.
// The track runs on for 8 s after 232 s: the last chord (228 s) rings through the final fade to
// white and dies away, so the file is 240 s long and ends in silence, not on a cut.
#include "tools/assetgen/music/score.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

namespace music {
namespace {

struct Chord {
    float root;      // bass note
    float tones[4];  // pad voicing, around middle C
};

const Chord kDm{38.0f, {57.0f, 60.0f, 62.0f, 65.0f}};    // Dm7
const Chord kBb{34.0f, {57.0f, 58.0f, 62.0f, 65.0f}};    // Bbmaj7
const Chord kF{41.0f, {55.0f, 57.0f, 60.0f, 65.0f}};     // F add9
const Chord kC{36.0f, {55.0f, 60.0f, 62.0f, 64.0f}};     // C add9
const Chord kGm{43.0f, {55.0f, 58.0f, 62.0f, 65.0f}};    // Gm7
const Chord kA{33.0f, {55.0f, 57.0f, 61.0f, 64.0f}};     // A7
const Chord kDEnd{38.0f, {57.0f, 62.0f, 64.0f, 65.0f}};  // Dm add9, the last chord

// The four progressions of the piece, one chord per bar.
const std::vector<const Chord*> kMain = {&kDm, &kBb, &kF, &kC};
const std::vector<const Chord*> kCredits = {&kBb, &kC, &kDm, &kDm};
const std::vector<const Chord*> kMinor = {&kGm, &kDm, &kBb, &kA};

struct Phrase {
    double at;      // beats from the phrase start
    double length;  // beats
    float pitch;
};

// The main theme, over the main progression: a falling answer (A1) and a climbing one (A2).
const std::vector<Phrase> kThemeA1 = {
    {0.0, 0.75, 69},  {0.75, 0.75, 72}, {1.5, 1.0, 74},   {2.5, 0.5, 72},    {3.0, 1.0, 69},   {4.0, 0.75, 70},
    {4.75, 0.75, 69}, {5.5, 0.5, 65},   {6.0, 2.0, 62},   {8.0, 0.75, 65},   {8.75, 0.75, 67}, {9.5, 1.0, 69},
    {10.5, 0.5, 72},  {11.0, 1.0, 69},  {12.0, 0.75, 67}, {12.75, 0.75, 64}, {13.5, 2.5, 67},
};
const std::vector<Phrase> kThemeA2 = {
    {0.0, 0.75, 69},  {0.75, 0.75, 72}, {1.5, 1.0, 74},  {2.5, 0.5, 72},  {3.0, 1.0, 69},   {4.0, 0.75, 70},
    {4.75, 0.75, 69}, {5.5, 0.5, 65},   {6.0, 2.0, 62},  {8.0, 0.75, 65}, {8.75, 0.75, 67}, {9.5, 1.0, 69},
    {10.5, 0.5, 72},  {11.0, 1.0, 74},  {12.0, 0.5, 72}, {12.5, 0.5, 74}, {13.0, 0.5, 76},  {13.5, 2.5, 74},
};
// The second theme, over the credits progression: bells in the credits and the greetings.
const std::vector<Phrase> kThemeB = {
    {0.0, 0.5, 74},  {0.5, 0.5, 72},  {1.0, 1.5, 69},  {2.5, 0.5, 65},  {3.0, 1.0, 69}, {4.0, 0.5, 72},
    {4.5, 0.5, 74},  {5.0, 1.5, 76},  {6.5, 0.5, 74},  {7.0, 1.0, 72},  {8.0, 1.5, 69}, {9.5, 0.5, 72},
    {10.0, 1.0, 74}, {11.0, 1.0, 77}, {12.0, 1.0, 76}, {13.0, 3.0, 74},
};
// The main theme turned towards the minor progression, ending on the leading tone.
const std::vector<Phrase> kThemeC = {
    {0.0, 0.75, 70},  {0.75, 0.75, 74}, {1.5, 1.0, 77},   {2.5, 0.5, 74},    {3.0, 1.0, 70},   {4.0, 0.75, 69},
    {4.75, 0.75, 72}, {5.5, 0.5, 74},   {6.0, 2.0, 77},   {8.0, 0.75, 74},   {8.75, 0.75, 72}, {9.5, 1.0, 70},
    {10.5, 0.5, 69},  {11.0, 1.0, 65},  {12.0, 0.75, 64}, {12.75, 0.75, 67}, {13.5, 2.5, 73},
};

enum class DrumStyle {
    None,
    Hats,   // closed hats on the off-beats only
    Light,  // kick on every beat, closed hats on the off-beats
    Half,   // half time: kick on 1 and 3-and, snare on 3, soft sixteenth hats
    Four,   // four on the floor, clap on 2 and 4, open hats on the off-beats
    Drive,  // Four with accented sixteenth hats and a ghost snare
};
enum class BassStyle { None, Hold, Offbeat, Rolling, Sync };
enum class ArpStyle { None, Eighths, Sixteenths };

// One groove: what every instrument plays bar by bar, and how loud.
struct Groove {
    DrumStyle drums = DrumStyle::None;
    BassStyle bass = BassStyle::None;
    ArpStyle arp = ArpStyle::None;
    float drumLevel = 0.9f;
    float bassLevel = 0.9f;
    float arpLevel = 0.6f;
    float padLevel = 0.85f;
};

// D natural minor as pitch classes counted from C: C D E F G A Bb.
const int kScaleClasses[7] = {0, 2, 4, 5, 7, 9, 10};

int floorDiv(int a, int b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// Index of the scale note at or below a pitch, counted in scale steps from C-1.
int scaleStep(float pitch)
{
    for (int below = static_cast<int>(std::floor(pitch));; --below) {
        const int octave = floorDiv(below, 12);
        const int pitchClass = below - 12 * octave;
        for (int k = 0; k < 7; ++k) {
            if (kScaleClasses[k] == pitchClass)
                return 7 * octave + k;
        }
    }
}

float stepPitch(int step)
{
    const int octave = floorDiv(step, 7);
    return static_cast<float>(12 * octave + kScaleClasses[step - 7 * octave]);
}

// Moves a melody note by scale steps, for the harmony voices (-2: a third below).
float diatonic(float pitch, int steps)
{
    if (steps == 0)
        return pitch;
    return stepPitch(scaleStep(pitch) + steps);
}

class Arranger {
public:
    explicit Arranger(Score& score) : score_(score), accents_(20240611u) {}

    Score& score() { return score_; }

    void add(Instrument instrument, double beat, double length, float pitch, float velocity, float pan = 0.0f)
    {
        Note n;
        n.instrument = instrument;
        n.beat = beat;
        n.length = length;
        n.pitch = pitch;
        n.velocity = std::clamp(velocity, 0.0f, 1.0f);
        n.pan = pan;
        score_.notes.push_back(n);
    }

    // A chord on the pad. Tones the previous chord already holds are tied over rather than struck
    // again, as a keyboard player would hold them (and the synthesizer has fewer voices to run).
    void pad(double beat, double beats, const Chord& chord, float velocity, float attack = 0.0f, float release = 0.0f)
    {
        static const float pans[4] = {-0.55f, 0.2f, -0.2f, 0.55f};
        for (int k = 0; k < 4; ++k) {
            if (attack == 0.0f && release == 0.0f && tieOver(beat, beats, chord.tones[k]))
                continue;
            add(Instrument::Pad, beat, beats, chord.tones[k], velocity, pans[k]);
            score_.notes.back().attack = attack;
            score_.notes.back().release = release;
        }
    }

    void bass(double beat, double beats, const Chord& chord, BassStyle style, float velocity)
    {
        const float r = chord.root;
        switch (style) {
        case BassStyle::None:
            break;
        case BassStyle::Hold:
            add(Instrument::Bass, beat, beats - 0.1, r, velocity * 0.8f);
            break;
        case BassStyle::Offbeat:
            for (double p = 0.5; p < beats; p += 1.0) {
                const bool last = p > 3.0;
                add(Instrument::Bass, beat + p, 0.4, last ? r + 12.0f : r, velocity * (last ? 0.85f : 1.0f));
            }
            break;
        case BassStyle::Rolling:
            // three sixteenths per beat, leaving the kick's sixteenth free
            for (double q = 0.25; q < beats; q += 0.25) {
                if (std::fmod(q, 1.0) == 0.0)
                    continue;
                const bool up = std::fmod(q, 4.0) == 3.75;
                add(Instrument::Bass, beat + q, 0.2, up ? r + 12.0f : r,
                    velocity * (std::fmod(q, 1.0) == 0.5 ? 1.0f : 0.8f));
            }
            break;
        case BassStyle::Sync: {
            static const Phrase pattern[4] = {{0.0, 1.25, 0}, {1.5, 0.5, 0}, {2.5, 0.75, 0}, {3.5, 0.4, 12}};
            for (const Phrase& p : pattern) {
                if (p.at < beats)
                    add(Instrument::Bass, beat + p.at, std::min(p.length, beats - p.at), r + p.pitch, velocity);
            }
            break;
        }
        }
    }

    void arp(double beat, double beats, const Chord& chord, ArpStyle style, float velocity)
    {
        if (style == ArpStyle::None)
            return;
        // up through the voicing an octave higher, then back down through the top
        static const int order[8] = {0, 1, 2, 3, 4, 3, 2, 1};
        const double step = style == ArpStyle::Sixteenths ? 0.25 : 0.5;
        int k = 0;
        for (double p = 0.0; p < beats - 1e-9; p += step, ++k) {
            const int idx = order[k % 8];
            const float pitch = idx < 4 ? chord.tones[idx] + 12.0f : chord.tones[0] + 24.0f;
            const float accent = (k % 4 == 0) ? 1.0f : 0.75f;
            add(Instrument::Arp, beat + p, step, pitch, velocity * accent, (k & 1) ? 0.45f : -0.45f);
        }
    }

    void drums(double beat, double beats, DrumStyle style, float velocity)
    {
        for (double q = 0.0; q < beats - 1e-9; q += 0.25) {
            const double inBar = std::fmod(q, 4.0);
            const double inBeat = std::fmod(q, 1.0);
            const float v = velocity;
            const bool onBeat = inBeat == 0.0;
            const bool offBeat = inBeat == 0.5;
            const bool backBeat = inBar == 1.0 || inBar == 3.0;
            switch (style) {
            case DrumStyle::None:
                break;
            case DrumStyle::Hats:
                if (offBeat)
                    hat(beat + q, false, v * 0.7f);
                break;
            case DrumStyle::Light:
                if (onBeat)
                    add(Instrument::Kick, beat + q, 1.0, 0.0f, v);
                if (offBeat)
                    hat(beat + q, false, v * 0.7f);
                break;
            case DrumStyle::Half:
                if (inBar == 0.0 || inBar == 2.5)
                    add(Instrument::Kick, beat + q, 1.0, 0.0f, v);
                if (inBar == 2.0)
                    add(Instrument::Snare, beat + q, 1.0, 0.0f, v * 0.9f);
                if (inBar == 2.0)
                    add(Instrument::Clap, beat + q, 1.0, 0.0f, v * 0.5f);
                hat(beat + q, false, v * (offBeat ? 0.55f : 0.3f));
                break;
            case DrumStyle::Four:
            case DrumStyle::Drive:
                if (onBeat)
                    add(Instrument::Kick, beat + q, 1.0, 0.0f, v);
                if (onBeat && backBeat) {
                    add(Instrument::Clap, beat + q, 1.0, 0.0f, v * 0.85f);
                    add(Instrument::Snare, beat + q, 1.0, 0.0f, v * 0.45f);
                }
                if (offBeat)
                    hat(beat + q, true, v * 0.55f);
                if (style == DrumStyle::Drive) {
                    if (!offBeat)
                        hat(beat + q, false, v * (onBeat ? 0.55f : 0.35f));
                    if (inBar == 3.75)
                        add(Instrument::Snare, beat + q, 1.0, 0.0f, v * 0.3f);
                } else if (!onBeat && !offBeat) {
                    hat(beat + q, false, v * 0.25f);
                }
                break;
            }
        }
    }

    // Snare roll that thickens and grows towards the next downbeat.
    void fill(double beat, double beats, float velocity, bool withKick)
    {
        for (double q = 0.0; q < beats - 1e-9; q += 0.25) {
            const float progress = static_cast<float>(q / beats);
            const bool sixteenth = progress >= 0.5f || std::fmod(q, 0.5) == 0.0;
            if (sixteenth)
                add(Instrument::Snare, beat + q, 1.0, 0.0f, velocity * (0.45f + 0.55f * progress));
            if (withKick && std::fmod(q, 1.0) == 0.0)
                add(Instrument::Kick, beat + q, 1.0, 0.0f, velocity * 0.9f);
        }
    }

    // The downbeat of a new section: cymbal, kick, low boom and a chord stab.
    void hit(double beat, const Chord& chord, float strength)
    {
        add(Instrument::Crash, beat, 1.0, 0.0f, strength);
        add(Instrument::Kick, beat, 1.0, 0.0f, std::min(1.0f, strength + 0.1f));
        add(Instrument::Boom, beat, 1.0, 0.0f, strength);
        static const float pans[4] = {-0.6f, -0.2f, 0.2f, 0.6f};
        for (int k = 0; k < 4; ++k)
            add(Instrument::Stab, beat, 1.0, chord.tones[k] + 12.0f, strength, pans[k]);
        add(Instrument::Stab, beat, 1.0, chord.root + 24.0f, strength * 0.8f);
    }

    void riser(double beat, double beats, float velocity)
    {
        add(Instrument::Riser, beat, beats, 0.0f, velocity);
        add(Instrument::Swell, beat + beats - std::min(beats, 4.0), std::min(beats, 4.0), 0.0f, velocity);
    }

    // A phrase on one instrument, moved by scale steps and octaves and stretched in time; the
    // lead slides between notes that touch.
    void melody(const std::vector<Phrase>& phrase, double beat, Instrument instrument, float velocity, int steps = 0,
                int octaves = 0, double stretch = 1.0, float pan = 0.0f)
    {
        float previous = 0.0f;
        double previousEnd = -1.0;
        for (const Phrase& p : phrase) {
            const double start = beat + p.at * stretch;
            const float pitch = diatonic(p.pitch, steps) + 12.0f * static_cast<float>(octaves);
            const float accent = std::fmod(p.at, 1.0) == 0.0 ? 1.0f : 0.88f;
            add(instrument, start, p.length * stretch - 0.02, pitch, velocity * accent, pan);
            if (instrument == Instrument::Lead && std::fabs(start - previousEnd) < 0.05)
                score_.notes.back().glideFrom = previous;
            previous = pitch;
            previousEnd = start + p.length * stretch - 0.02;
        }
    }

    // Bars of one groove over a progression; the last bar may be short (the scene lengths are
    // whole beats, not whole bars), and drums, bass and arpeggio follow it to its end.
    void groove(double beat, double beats, const std::vector<const Chord*>& chords, const Groove& g)
    {
        int bar = 0;
        for (double at = beat; at < beat + beats - 1e-9; at += 4.0, ++bar) {
            const double length = std::min(4.0, beat + beats - at);
            const Chord& c = *chords[static_cast<size_t>(bar) % chords.size()];
            if (g.padLevel > 0.0f)
                pad(at, length, c, g.padLevel);
            bass(at, length, c, g.bass, g.bassLevel);
            arp(at, length, c, g.arp, g.arpLevel);
            drums(at, length, g.drums, g.drumLevel);
        }
    }

private:
    bool tieOver(double beat, double beats, float pitch)
    {
        const size_t n = score_.notes.size();
        for (size_t k = n; k > 0 && k + 64 > n; --k) {
            Note& old = score_.notes[k - 1];
            if (old.instrument == Instrument::Pad && old.pitch == pitch && old.release == 0.0f &&
                std::fabs(old.beat + old.length - beat) < 1e-9) {
                old.length += beats;
                return true;
            }
        }
        return false;
    }

    void hat(double beat, bool open, float velocity)
    {
        const float jitter = 0.9f + 0.1f * accents_.next();
        hatSide_ = -hatSide_;
        add(open ? Instrument::HatOpen : Instrument::HatClosed, beat, 1.0, 0.0f, velocity * jitter, 0.2f * hatSide_);
    }

    Score& score_;
    Noise accents_;
    float hatSide_ = 1.0f;
};

// The theme in two voices a third apart: the lead left of centre at `velocity`, the voice two
// scale steps below it softer and to the right.
void inThirds(Arranger& a, const std::vector<Phrase>& theme, double beat, float velocity)
{
    a.melody(theme, beat, Instrument::Lead, velocity, 0, 0, 1.0, -0.15f);
    a.melody(theme, beat, Instrument::Lead, 0.55f, -2, 0, 1.0, 0.35f);
}

// Opening, 0-44 s: pads out of silence, the theme's first notes on a bell at half speed, then
// arpeggio, hats, kick and bass, and a long rise with a snare roll into the title hit.
void opening(Arranger& a)
{
    a.pad(0, 8, kDm, 0.4f, 6.0f);
    a.pad(8, 8, kBb, 0.5f, 1.5f);
    a.pad(16, 8, kF, 0.65f, 1.5f);
    a.pad(24, 8, kC, 0.75f, 1.5f);
    a.bass(16, 8, kF, BassStyle::Hold, 0.45f);
    a.bass(24, 8, kC, BassStyle::Hold, 0.5f);
    const Chord* slow[4] = {&kDm, &kBb, &kF, &kC};
    for (int k = 0; k < 4; ++k) {
        const double at = 32 + 8 * k;
        a.pad(at, 8, *slow[k], 0.8f, 1.0f);
        a.bass(at, 8, *slow[k], BassStyle::Hold, 0.55f);
        a.arp(at, 8, *slow[k], ArpStyle::Eighths, 0.3f + 0.05f * static_cast<float>(k));
    }
    a.melody(kThemeA1, 32, Instrument::Bell, 0.5f, 0, 0, 2.0, 0.15f);
    a.drums(48, 16, DrumStyle::Hats, 0.5f);
    Groove build;
    build.drums = DrumStyle::Light;
    build.bass = BassStyle::Offbeat;
    build.arp = ArpStyle::Sixteenths;
    build.drumLevel = 0.75f;
    build.bassLevel = 0.75f;
    build.arpLevel = 0.45f;
    build.padLevel = 0.85f;
    a.groove(64, 16, kMain, build);
    a.pad(80, 4, kGm, 0.9f);
    a.pad(84, 4, kA, 0.95f);
    a.bass(80, 4, kGm, BassStyle::Offbeat, 0.8f);
    a.bass(84, 3.5, kA, BassStyle::Hold, 0.8f);
    a.arp(80, 4, kGm, ArpStyle::Sixteenths, 0.5f);
    a.arp(84, 3.5, kA, ArpStyle::Sixteenths, 0.55f);
    a.drums(80, 4, DrumStyle::Light, 0.8f);
    // the roll and the rise stop an eighth early: a breath of silence makes the hit land harder
    a.fill(80, 7.5, 0.7f, false);
    a.riser(69, 18.5, 0.45f);
}

// Title, 44-69 s: the hit on the white flash, the full groove, a rising lead line under the title
// text (61-66 s), and a two-beat break as the streaks dim.
void title(Arranger& a)
{
    a.hit(88, kDm, 1.0f);
    Groove full;
    full.drums = DrumStyle::Four;
    full.bass = BassStyle::Offbeat;
    full.arp = ArpStyle::Sixteenths;
    full.arpLevel = 0.55f;
    a.groove(88, 44, kMain, full);
    full.drums = DrumStyle::Light;
    a.groove(132, 4, {&kC}, full);
    a.add(Instrument::Crash, 104, 1, 0, 0.6f);
    a.add(Instrument::Crash, 120, 1, 0, 0.7f);
    a.add(Instrument::Lead, 120, 7.9, 69, 0.7f);
    a.add(Instrument::Lead, 128, 3.9, 72, 0.75f);
    a.add(Instrument::Lead, 132, 3.9, 76, 0.8f);
    a.score().notes.back().glideFrom = 72;
    a.pad(136, 2, kA, 0.8f);
    a.bass(136, 2, kA, BassStyle::Hold, 0.8f);
    a.fill(136, 2, 0.9f, false);
    a.riser(134, 4, 0.4f);
}

// Credits, 69-103.5 s: the second theme on bells over a half-time groove, building back to four
// on the floor, then a roll and one beat of silence before the first verse.
void credits(Arranger& a)
{
    a.hit(138, kBb, 0.75f);
    Groove calm;
    calm.drums = DrumStyle::Half;
    calm.bass = BassStyle::Sync;
    calm.arp = ArpStyle::Eighths;
    calm.drumLevel = 0.6f;
    calm.bassLevel = 0.65f;
    calm.arpLevel = 0.35f;
    calm.padLevel = 0.7f;
    a.groove(138, 32, kCredits, calm);
    a.melody(kThemeB, 138, Instrument::Bell, 0.8f, 0, 0, 1.0, -0.2f);
    a.melody(kThemeB, 154, Instrument::Bell, 0.85f, 0, 0, 1.0, 0.2f);
    Groove rising;
    rising.drums = DrumStyle::Four;
    rising.bass = BassStyle::Offbeat;
    rising.arp = ArpStyle::Sixteenths;
    rising.drumLevel = 0.8f;
    rising.arpLevel = 0.5f;
    a.groove(170, 32, kCredits, rising);
    a.add(Instrument::Crash, 170, 1, 0, 0.6f);
    a.melody(kThemeB, 170, Instrument::Bell, 0.8f, 0, 0, 1.0, -0.2f);
    a.melody(kThemeB, 186, Instrument::Lead, 0.6f, 0, 0);
    a.melody(kThemeB, 186, Instrument::Bell, 0.5f, 0, 1, 1.0, 0.3f);
    a.pad(202, 5, kA, 0.9f);
    a.bass(202, 4, kA, BassStyle::Offbeat, 0.85f);
    a.arp(202, 4, kA, ArpStyle::Sixteenths, 0.55f);
    a.fill(202, 4, 0.8f, true);
    a.riser(200, 7, 0.45f);
}

// First verse, 103.5-122 s: the main theme; a turnaround bar, then the theme again from the flash
// at 113.5 s with bells above it; one beat of snare into the next verse.
void verse1(Arranger& a)
{
    a.hit(207, kDm, 1.0f);
    Groove verse;
    verse.drums = DrumStyle::Four;
    verse.bass = BassStyle::Rolling;
    verse.arp = ArpStyle::Sixteenths;
    verse.arpLevel = 0.4f;
    a.groove(207, 16, kMain, verse);
    a.melody(kThemeA1, 207, Instrument::Lead, 0.85f);
    a.groove(223, 2, {&kGm}, verse);
    a.groove(225, 2, {&kA}, verse);
    a.fill(225, 2, 0.8f, false);
    a.hit(227, kDm, 0.85f);
    verse.drums = DrumStyle::Drive;
    verse.arpLevel = 0.5f;
    a.groove(227, 16, kMain, verse);
    a.melody(kThemeA2, 227, Instrument::Lead, 0.85f);
    a.melody(kThemeA2, 227, Instrument::Bell, 0.4f, 0, 1, 1.0, 0.35f);
    a.pad(243, 1, kC, 0.85f);
    a.fill(243, 1, 1.0f, false);
}

// Second verse, 122-138 s: the theme in two voices, a third apart, and a build over the last bar.
void verse2(Arranger& a)
{
    a.hit(244, kDm, 0.85f);
    Groove verse;
    verse.drums = DrumStyle::Drive;
    verse.bass = BassStyle::Rolling;
    verse.arp = ArpStyle::Sixteenths;
    verse.arpLevel = 0.45f;
    a.groove(244, 28, kMain, verse);
    inThirds(a, kThemeA1, 244, 0.85f);
    inThirds(a, kThemeA2, 260, 0.85f);
    verse.drums = DrumStyle::Light;
    a.groove(272, 4, {&kC}, verse);
    a.fill(272, 4, 0.95f, false);
    a.riser(268, 8, 0.4f);
}

// Third verse, 138-155 s: the theme turned to the minor progression, with a two-beat break.
void verse3(Arranger& a)
{
    a.hit(276, kGm, 0.9f);
    Groove verse;
    verse.drums = DrumStyle::Four;
    verse.bass = BassStyle::Rolling;
    verse.arp = ArpStyle::Sixteenths;
    verse.arpLevel = 0.6f;
    a.groove(276, 32, kMinor, verse);
    a.melody(kThemeC, 276, Instrument::Lead, 0.85f);
    a.melody(kThemeC, 292, Instrument::Lead, 0.85f);
    a.melody(kThemeC, 292, Instrument::Bell, 0.45f, 0, 1, 1.0, -0.35f);
    a.add(Instrument::Crash, 292, 1, 0, 0.6f);
    a.pad(308, 2, kA, 0.85f);
    a.bass(308, 2, kA, BassStyle::Hold, 0.8f);
    a.fill(308, 2, 0.9f, false);
}

// Fourth verse, 155-172 s: the fullest verse, theme in harmony with bells an octave up.
void verse4(Arranger& a)
{
    a.hit(310, kDm, 1.0f);
    Groove verse;
    verse.drums = DrumStyle::Drive;
    verse.bass = BassStyle::Rolling;
    verse.arp = ArpStyle::Sixteenths;
    verse.arpLevel = 0.55f;
    verse.drumLevel = 0.95f;
    a.groove(310, 32, kMain, verse);
    inThirds(a, kThemeA1, 310, 0.9f);
    inThirds(a, kThemeA2, 326, 0.9f);
    a.melody(kThemeA2, 326, Instrument::Bell, 0.4f, 0, 1, 1.0, 0.0f);
    a.add(Instrument::Crash, 326, 1, 0, 0.7f);
    a.pad(342, 2, kA, 0.9f);
    a.bass(342, 2, kA, BassStyle::Hold, 0.85f);
    a.fill(342, 2, 1.0f, true);
    a.riser(336, 8, 0.45f);
}

// Greetings and closing, 172-232 s: the second theme for the greetings, the main theme once more
// at full strength, a breakdown, a last groove, the cadence, and the final chord at 228 s that
// rings through the fade to white at 232 s and dies away.
void closing(Arranger& a)
{
    a.hit(344, kBb, 1.0f);
    Groove greet;
    greet.drums = DrumStyle::Four;
    greet.bass = BassStyle::Offbeat;
    greet.arp = ArpStyle::Sixteenths;
    greet.drumLevel = 0.85f;
    greet.arpLevel = 0.5f;
    a.groove(344, 32, kCredits, greet);
    a.melody(kThemeB, 344, Instrument::Bell, 0.85f, 0, 0, 1.0, -0.2f);
    a.melody(kThemeB, 360, Instrument::Bell, 0.85f, 0, 0, 1.0, 0.2f);
    a.melody(kThemeB, 360, Instrument::Lead, 0.5f, 0, -1);

    a.hit(376, kDm, 0.95f);
    Groove climax;
    climax.drums = DrumStyle::Drive;
    climax.bass = BassStyle::Rolling;
    climax.arp = ArpStyle::Sixteenths;
    climax.arpLevel = 0.55f;
    climax.drumLevel = 0.95f;
    a.groove(376, 32, kMain, climax);
    inThirds(a, kThemeA1, 376, 0.9f);
    inThirds(a, kThemeA2, 392, 0.9f);
    a.melody(kThemeA2, 392, Instrument::Bell, 0.45f, 0, 1);
    a.add(Instrument::Crash, 392, 1, 0, 0.8f);

    a.add(Instrument::Crash, 408, 1, 0, 0.6f);
    Groove breakdown;
    breakdown.drums = DrumStyle::Hats;
    breakdown.bass = BassStyle::Hold;
    breakdown.arp = ArpStyle::Eighths;
    breakdown.drumLevel = 0.6f;
    breakdown.bassLevel = 0.7f;
    breakdown.arpLevel = 0.4f;
    breakdown.padLevel = 0.85f;
    a.groove(408, 16, kCredits, breakdown);
    a.melody(kThemeB, 408, Instrument::Bell, 0.75f, 0, 0, 1.0, 0.1f);
    a.fill(420, 4, 0.8f, false);
    a.riser(416, 8, 0.4f);

    a.hit(424, kDm, 0.95f);
    a.groove(424, 16, kMain, climax);
    inThirds(a, kThemeA2, 424, 0.9f);
    a.groove(440, 4, {&kGm}, climax);
    a.groove(444, 4, {&kA}, climax);
    a.add(Instrument::Lead, 440, 3.9, 74, 0.85f);
    a.add(Instrument::Lead, 444, 3.9, 73, 0.85f);
    a.fill(444, 4, 0.9f, false);

    Groove cadence;
    cadence.drums = DrumStyle::Half;
    cadence.bass = BassStyle::Hold;
    cadence.arp = ArpStyle::Eighths;
    cadence.arpLevel = 0.45f;
    a.add(Instrument::Crash, 448, 1, 0, 0.7f);
    a.groove(448, 4, {&kGm}, cadence);
    a.groove(452, 4, {&kA}, cadence);
    a.add(Instrument::Lead, 448, 3.95, 70, 0.85f);
    a.add(Instrument::Lead, 452, 3.95, 73, 0.9f);
    a.score().notes.back().glideFrom = 70;
    a.fill(454, 2, 0.9f, false);
    a.riser(452, 4, 0.35f);

    a.hit(456, kDEnd, 1.0f);
    a.pad(456, 8, kDEnd, 0.95f, 0.05f, 1.4f);
    a.add(Instrument::Bass, 456, 7.9, kDEnd.root, 0.75f);
    a.add(Instrument::Lead, 456, 7.9, 74, 0.85f);
    a.score().notes.back().glideFrom = 73;
    a.score().notes.back().release = 1.0f;
    a.add(Instrument::Bell, 456, 4, 86, 0.6f, 0.3f);
    a.add(Instrument::Bell, 460, 4, 81, 0.45f, -0.3f);
    a.add(Instrument::Bell, 464, 4, 74, 0.35f, 0.1f);
}

}  // namespace

Score composeScore()
{
    Score score;
    score.lengthBeats = 480.0;  // 240 s: the scenes' 232 s and the last chord's ring-out
    score.padCutoff = Lane(300.0f)
                          .to(32, 800.0f)
                          .to(64, 1400.0f)
                          .to(86, 4200.0f)
                          .to(88, 2600.0f)
                          .to(130, 2600.0f)
                          .to(137, 650.0f)
                          .to(138, 1300.0f)
                          .to(196, 2000.0f)
                          .to(206, 4200.0f)
                          .to(207, 2600.0f)
                          .to(344, 3000.0f)
                          .to(404, 3000.0f)
                          .to(408, 900.0f)
                          .to(422, 2400.0f)
                          .to(424, 3000.0f)
                          .to(456, 3200.0f)
                          .to(470, 900.0f);
    score.arpCutoff = Lane(500.0f)
                          .to(32, 500.0f)
                          .to(64, 1500.0f)
                          .to(88, 3600.0f)
                          .to(138, 1800.0f)
                          .to(202, 4200.0f)
                          .to(207, 3000.0f)
                          .to(310, 3800.0f)
                          .to(408, 1500.0f)
                          .to(424, 3800.0f);
    score.leadCutoff = Lane(2600.0f).to(207, 3000.0f).to(310, 3800.0f).to(464, 3800.0f).to(472, 1200.0f);
    score.duckDepth = Lane(0.55f).to(138, 0.35f).to(170, 0.55f);
    Arranger a(score);
    opening(a);
    title(a);
    credits(a);
    verse1(a);
    verse2(a);
    verse3(a);
    verse4(a);
    closing(a);
    return score;
}

}  // namespace music
