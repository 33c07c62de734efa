// Synthesis of the demo programme. Everything is generated here from a fixed
// seed: voiced and unvoiced excitation through vowel formants for speech, a
// pitch-swept sine kick and a noisy snare, and a small chord for the tone.
#include "tools/render/DemoProgramme.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Shares of the whole programme, in order.
constexpr double kSpeechShare = 0.35;
constexpr double kDrumShare = 0.30;
constexpr double kToneShare = 0.25;
constexpr double kPeakCeilingDb = -1.0;

double fromDb(double db)
{
    return std::pow(10.0, db / 20.0);
}

// A small generator of our own, so the programme is identical everywhere.
class Noise
{
public:
    explicit Noise(uint32_t seed) : state(seed) {}
    // Uniform in [-1, 1).
    double next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 2147483648.0 - 1.0;
    }
    // Uniform in [low, high).
    double between(double low, double high) { return low + (next() + 1.0) * 0.5 * (high - low); }

private:
    uint32_t state;
};

// A two-pole resonator, its gain roughly evened out over bandwidths; enough to
// shape a formant.
class Resonator
{
public:
    void tune(double frequency, double bandwidth, double rate)
    {
        const double r = std::exp(-kTwoPi * bandwidth / (2.0 * rate));
        a1 = -2.0 * r * std::cos(kTwoPi * frequency / rate);
        a2 = r * r;
        gain = 1.0 - r;
    }
    double step(double x)
    {
        const double y = gain * x - a1 * y1 - a2 * y2;
        y2 = y1;
        y1 = y;
        return y;
    }

private:
    double a1 = 0, a2 = 0, gain = 0, y1 = 0, y2 = 0;
};

struct Vowel
{
    double f1, f2, f3;
};

constexpr std::array<Vowel, 5> kVowels = {{
    {730, 1090, 2440}, // a
    {530, 1840, 2480}, // e
    {270, 2290, 3010}, // i
    {570, 840, 2410},  // o
    {300, 870, 2240},  // u
}};

// One phrase of syllables: voiced and breathy excitation through the
// formants of a vowel per syllable, each syllable with its own envelope.
std::vector<double> makePhrase(double rate, Noise& noise)
{
    std::vector<double> phrase;
    std::array<Resonator, 3> formants;
    double phase = 0;
    const int syllables = 4 + static_cast<int>(noise.between(0.0, 5.0));
    for (int s = 0; s < syllables; ++s) {
        const Vowel& v = kVowels[static_cast<size_t>(noise.between(0.0, 4.999))];
        formants[0].tune(v.f1, 80, rate);
        formants[1].tune(v.f2, 120, rate);
        formants[2].tune(v.f3, 160, rate);
        const double pitch = noise.between(105.0, 150.0);
        const double breath = noise.between(0.05, 0.5);
        const double stress = fromDb(noise.between(-8.0, 0.0));
        const size_t length = static_cast<size_t>(noise.between(0.12, 0.28) * rate);
        for (size_t k = 0; k < length; ++k) {
            const double t = static_cast<double>(k) / static_cast<double>(length);
            // Glottal pulses as a falling sawtooth, gliding down in pitch.
            phase += pitch * (1.0 - 0.15 * t) / rate;
            phase -= std::floor(phase);
            const double source = (1.0 - 2.0 * phase) * (1.0 - breath) + noise.next() * breath;
            const double voiced =
                formants[0].step(source) * 4.0 + formants[1].step(source) * 2.5 + formants[2].step(source) * 1.5;
            phrase.push_back(voiced * stress * std::pow(std::sin(std::numbers::pi * t), 0.6));
        }
        phrase.resize(phrase.size() + static_cast<size_t>(noise.between(0.02, 0.08) * rate), 0.0);
    }
    return phrase;
}

// Phrases with pauses between them, each brought to its own loudness so the
// leveler has something to even out.
void addSpeech(AudioClip& clip, size_t begin, size_t end, Noise& noise)
{
    for (size_t i = begin; i < end;) {
        const std::vector<double> phrase = makePhrase(clip.sampleRate, noise);
        double sum = 0, peak = 0;
        for (double x : phrase) {
            sum += x * x;
            peak = std::max(peak, std::fabs(x));
        }
        const double rms = std::sqrt(sum / static_cast<double>(phrase.size()));
        // Loud phrases stay below full scale: the demo itself never clips.
        const double scale =
            rms > 0.0 ? std::min(fromDb(noise.between(-30.0, -10.0)) / rms, fromDb(kPeakCeilingDb) / peak) : 0.0;
        for (size_t k = 0; k < phrase.size() && i < end; ++k, ++i) {
            const float sample = static_cast<float>(phrase[k] * scale);
            clip.channels[0][i] += sample;
            clip.channels[1][i] += sample;
        }
        i += static_cast<size_t>(noise.between(0.3, 0.6) * clip.sampleRate);
    }
}

void addKick(AudioClip& clip, size_t start, size_t end)
{
    const double rate = clip.sampleRate;
    double phase = 0;
    for (size_t i = start; i < end && i < start + static_cast<size_t>(0.4 * rate); ++i) {
        const double t = (i - start) / rate;
        phase += (50.0 + 110.0 * std::exp(-t / 0.03)) / rate;
        const double body = std::sin(kTwoPi * phase) * std::exp(-t / 0.12);
        const float sample = static_cast<float>(body * fromDb(-6.0));
        clip.channels[0][i] += sample;
        clip.channels[1][i] += sample;
    }
}

void addSnare(AudioClip& clip, size_t start, size_t end, Noise& noise)
{
    const double rate = clip.sampleRate;
    Resonator crack;
    crack.tune(3500, 3000, rate);
    for (size_t i = start; i < end && i < start + static_cast<size_t>(0.3 * rate); ++i) {
        const double t = (i - start) / rate;
        const double tone = std::sin(kTwoPi * 185.0 * t) * std::exp(-t / 0.04);
        const double rattle = crack.step(noise.next()) * 3.0 * std::exp(-t / 0.07);
        const double sample = (0.5 * tone + rattle) * fromDb(-15.0);
        // Placed a little right of centre, as on a drum kit seen from the front.
        clip.channels[0][i] += static_cast<float>(sample * 0.85);
        clip.channels[1][i] += static_cast<float>(sample);
    }
}

// Two bars of kick and snare at 112 beats a minute, repeated.
void addDrums(AudioClip& clip, size_t begin, size_t end, Noise& noise)
{
    const size_t beat = static_cast<size_t>(clip.sampleRate * 60.0 / 112.0);
    const bool kickOn[8] = {true, false, true, false, true, false, true, true};
    for (size_t n = 0; begin + n * beat < end; ++n) {
        const size_t at = begin + n * beat;
        if (kickOn[n % 8])
            addKick(clip, at, end);
        if (n % 2 == 1)
            addSnare(clip, at, end, noise);
        if (n % 8 == 7)
            addKick(clip, at + beat / 2, end);
    }
}

// A small chord of soft sawtooth-like partials, slightly detuned between the
// channels, swelling from quiet to loud and fading again.
void addTone(AudioClip& clip, size_t begin, size_t end)
{
    const double rate = clip.sampleRate;
    const double notes[] = {110.0, 164.81, 220.0, 277.18};
    const double length = static_cast<double>(end - begin);
    for (size_t i = begin; i < end; ++i) {
        const double t = (i - begin) / rate;
        const double position = (i - begin) / length;
        const double swellDb = -36.0 + 28.0 * std::pow(std::sin(std::numbers::pi * position), 2.0);
        const double fade = std::min(1.0, std::min(position, 1.0 - position) * 40.0);
        for (size_t c = 0; c < 2; ++c) {
            const double detune = c == 0 ? 1.0 : 1.002;
            double sum = 0;
            for (double note : notes)
                for (int h = 1; h <= 4; ++h)
                    sum += std::sin(kTwoPi * note * detune * h * t) / (h * 4.0);
            clip.channels[c][i] += static_cast<float>(sum * fromDb(swellDb) * fade);
        }
    }
}

// Overlapping drum hits can add up; the programme as a whole never clips.
void keepBelowCeiling(AudioClip& clip)
{
    float peak = 0.f;
    for (const std::vector<float>& channel : clip.channels)
        for (float sample : channel)
            peak = std::max(peak, std::fabs(sample));
    const double ceiling = fromDb(kPeakCeilingDb);
    if (peak <= ceiling)
        return;
    const float scale = static_cast<float>(ceiling / peak);
    for (std::vector<float>& channel : clip.channels)
        for (float& sample : channel)
            sample *= scale;
}

} // namespace

AudioClip makeDemoProgramme(int sampleRate, double seconds)
{
    const size_t frames = static_cast<size_t>(std::llround(seconds * sampleRate));
    AudioClip clip(sampleRate, 2, frames);
    const auto mark = [&](double share) { return static_cast<size_t>(share * static_cast<double>(frames)); };
    const size_t drums = mark(kSpeechShare);
    const size_t tone = mark(kSpeechShare + kDrumShare);
    const size_t silence = mark(kSpeechShare + kDrumShare + kToneShare);

    Noise noise(0x4F6F3774u);
    addSpeech(clip, 0, drums, noise);
    addDrums(clip, drums, tone, noise);
    addTone(clip, tone, silence);
    keepBelowCeiling(clip);
    return clip;
}
