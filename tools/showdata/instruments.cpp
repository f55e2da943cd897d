// Sample synthesis for the module: additive loops, a plucked string, drums from noise and
// falling sines. All noise comes from a fixed sequence, so every run writes the same samples.
#include "tools/showdata/instruments.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace showdata {

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kMiddleC = 261.6255653005986;  // Hz

// A fixed white-noise sequence in -1 .. 1.
struct Noise {
    uint32_t state = 0x1234567u;
    double Next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<double>(state >> 8) / 8388608.0 - 1.0;
    }
};

// 1/128 semitones that lift a wave sounding `hertz` at C-4 to middle C.
int8_t FinetuneFor(double hertz) {
    double steps = std::round(std::log2(kMiddleC / hertz) * 12 * 128);
    return static_cast<int8_t>(std::clamp(steps, -128.0, 127.0));
}

// Scales to `peak` of full scale, rounding to the nearest step.
std::vector<int16_t> Quantise(const std::vector<double>& wave, double peak, bool sixteenBit) {
    double largest = 0;
    for (double value : wave) largest = std::max(largest, std::fabs(value));
    const double full = sixteenBit ? 32767.0 : 127.0;
    const double scale = largest > 0 ? peak * full / largest : 0;
    std::vector<int16_t> out;
    out.reserve(wave.size());
    for (double value : wave) out.push_back(static_cast<int16_t>(std::lround(value * scale)));
    return out;
}

// The last `count` samples fall to silence, so a one-shot ends without a click.
void FadeTail(std::vector<double>& wave, size_t count) {
    count = std::min(count, wave.size());
    for (size_t i = 0; i < count; ++i) wave[wave.size() - 1 - i] *= static_cast<double>(i) / count;
}

// `cycles` whole periods of a sum of harmonics, amplitude[h - 1] for harmonic h.
std::vector<double> Harmonics(const std::vector<double>& amplitude, int cycles) {
    std::vector<double> wave(static_cast<size_t>(kCycleLength) * cycles);
    for (size_t n = 0; n < wave.size(); ++n)
        for (size_t h = 1; h <= amplitude.size(); ++h)
            wave[n] += amplitude[h - 1] * std::sin(2 * kPi * h * n / kCycleLength + 0.3 * h * h);
    return wave;
}

XmSample TunedSample(const std::string& name, std::vector<int16_t> data, double hertzAtC4) {
    XmSample sample;
    sample.name = name;
    sample.data = std::move(data);
    sample.relativeNote = kSynthRelativeNote;
    sample.finetune = FinetuneFor(hertzAtC4);
    return sample;
}

XmSample LoopedSample(const std::string& name, const std::vector<double>& wave, double hertzAtC4) {
    XmSample sample = TunedSample(name, Quantise(wave, 0.9, true), hertzAtC4);
    sample.loopStart = 0;
    sample.loopLength = static_cast<uint32_t>(sample.data.size());
    return sample;
}

XmInstrument Instrument(const std::string& name, XmSample sample) {
    XmInstrument instrument;
    instrument.name = name;
    instrument.samples.push_back(std::move(sample));
    return instrument;
}

std::vector<double> Seconds(double length) { return std::vector<double>(static_cast<size_t>(length * kSynthRate)); }

}  // namespace

XmInstrument MakePluck() {
    // Karplus-Strong: a burst of soft noise circulating through a delay line with a two-tap
    // average, which adds half a sample of delay: the period is kCycleLength + 0.5.
    std::vector<double> wave = Seconds(1.2);
    Noise noise;
    double smooth = 0;
    for (int n = 0; n < kCycleLength + 1; ++n) {
        smooth += (noise.Next() - smooth) * 0.5;
        wave[n] = smooth;
    }
    for (size_t n = kCycleLength + 1; n < wave.size(); ++n)
        wave[n] = 0.4985 * (wave[n - kCycleLength] + wave[n - kCycleLength - 1]);
    FadeTail(wave, 2000);
    XmInstrument instrument =
        Instrument("Pluck", TunedSample("pluck", Quantise(wave, 0.9, true), kSynthRate / (kCycleLength + 0.5)));
    instrument.volumeEnvelope.points = {{0, 64}, {12, 50}, {48, 22}, {120, 0}};
    return instrument;
}

XmInstrument MakeBass() {
    std::vector<double> amplitude;
    for (int h = 1; h <= 14; ++h) amplitude.push_back(std::pow(0.78, h - 1) / h);
    XmInstrument instrument = Instrument("Bass", LoopedSample("bass", Harmonics(amplitude, 4), kSynthRate / kCycleLength));
    instrument.volumeEnvelope.points = {{0, 64}, {8, 52}, {30, 40}, {60, 34}};
    instrument.volumeEnvelope.sustain = 3;
    instrument.fadeout = 0x400;
    return instrument;
}

XmInstrument MakePad() {
    // Three voices of 128, 129 and 127 periods in one loop of 128 cycles: about 13 cents
    // apart, and every voice still ends its loop on a whole period, so the loop is seamless.
    constexpr int kCycles = 128;
    std::vector<double> wave(static_cast<size_t>(kCycleLength) * kCycles);
    const int voices[3] = {kCycles, kCycles + 1, kCycles - 1};
    for (size_t n = 0; n < wave.size(); ++n)
        for (int v = 0; v < 3; ++v)
            for (int h = 1; h <= 6; ++h)
                wave[n] += std::sin(2 * kPi * h * voices[v] * n / wave.size() + v * 1.7 + h) / std::pow(h, 1.5);
    XmInstrument instrument = Instrument("Pad", LoopedSample("pad", wave, kSynthRate / kCycleLength));
    instrument.volumeEnvelope.points = {{0, 0}, {24, 52}, {60, 44}};
    instrument.volumeEnvelope.sustain = 2;
    instrument.fadeout = 0x100;
    return instrument;
}

XmInstrument MakeLead() {
    const std::vector<double> amplitude = {1.0, 0.22, 0.42, 0.08, 0.24, 0.05, 0.12, 0.02, 0.06};
    XmInstrument instrument = Instrument("Lead", LoopedSample("lead", Harmonics(amplitude, 4), kSynthRate / kCycleLength));
    instrument.volumeEnvelope.points = {{0, 0}, {3, 64}, {12, 50}, {40, 44}};
    instrument.volumeEnvelope.sustain = 3;
    instrument.fadeout = 0x400;
    instrument.vibratoType = 0;  // sine, easing in over the sweep
    instrument.vibratoSweep = 40;
    instrument.vibratoDepth = 4;
    instrument.vibratoRate = 10;
    return instrument;
}

XmInstrument MakeKick() {
    std::vector<double> wave = Seconds(0.4);
    Noise noise;
    double phase = 0;
    for (size_t n = 0; n < wave.size(); ++n) {
        double t = n / kSynthRate;
        phase += 2 * kPi * (45 + 110 * std::exp(-t / 0.04)) / kSynthRate;  // pitch falls 155 -> 45 Hz
        double click = n < 60 ? noise.Next() * 0.3 * (1 - n / 60.0) : 0;
        wave[n] = std::sin(phase) * std::exp(-t / 0.22) + click;
    }
    FadeTail(wave, 800);
    return Instrument("Kick", TunedSample("kick", Quantise(wave, 0.95, true), kMiddleC));
}

XmInstrument MakeSnare() {
    std::vector<double> wave = Seconds(0.3);
    Noise noise;
    double low = 0, previous = 0;
    for (size_t n = 0; n < wave.size(); ++n) {
        double t = n / kSynthRate;
        double white = noise.Next();
        low += (white - low) * 0.35;     // take the hiss off the top ...
        double band = low - previous;    // ... and the rumble off the bottom
        previous = low;
        double tone = std::sin(2 * kPi * 185 * t) * std::exp(-t / 0.05);
        wave[n] = 0.5 * tone + 1.4 * band * std::exp(-t / 0.09);
    }
    FadeTail(wave, 800);
    return Instrument("Snare", TunedSample("snare", Quantise(wave, 0.9, true), kMiddleC));
}

XmInstrument MakeHat() {
    std::vector<double> wave = Seconds(0.09);
    Noise noise;
    noise.state = 0xC0FFEEu;
    double previous = 0;
    for (size_t n = 0; n < wave.size(); ++n) {
        double white = noise.Next();
        wave[n] = (white - previous) * std::exp(-(n / kSynthRate) / 0.025);  // high-passed, short
        previous = white;
    }
    FadeTail(wave, 300);
    XmSample sample = TunedSample("hat", Quantise(wave, 0.8, false), kMiddleC);
    sample.sixteenBit = false;
    sample.panning = 160;
    return Instrument("Hat", sample);
}

XmInstrument MakeCrash() {
    std::vector<double> wave = Seconds(1.6);
    Noise noise;
    noise.state = 0xC2A5u;
    double previous = 0, low = 0;
    for (size_t n = 0; n < wave.size(); ++n) {
        const double t = n / kSynthRate;
        const double white = noise.Next();
        low += (white - low) * 0.6;  // a touch less fizz than the hat
        wave[n] = (low - previous) * (0.35 * std::exp(-t / 0.05) + 0.65 * std::exp(-t / 0.55));
        previous = low;
    }
    FadeTail(wave, 3000);
    XmSample sample = TunedSample("crash", Quantise(wave, 0.7, true), kMiddleC);
    sample.panning = 100;
    return Instrument("Crash", sample);
}

XmInstrument MakeBell() {
    // Frequency modulation with a 3.5 : 1 modulator: inharmonic partials that ring like metal.
    // The index falls over the note, so the attack is bright and the tail a pure tone.
    std::vector<double> wave = Seconds(1.4);
    const double carrier = kSynthRate / kCycleLength;
    for (size_t n = 0; n < wave.size(); ++n) {
        const double t = n / kSynthRate;
        const double index = 2.6 * std::exp(-t / 0.18) + 0.3;
        wave[n] = std::sin(2 * kPi * carrier * t + index * std::sin(2 * kPi * carrier * 3.5 * t)) * std::exp(-t / 0.5);
    }
    FadeTail(wave, 3000);
    XmInstrument instrument = Instrument("Bell", TunedSample("bell", Quantise(wave, 0.9, true), carrier));
    instrument.volumeEnvelope.points = {{0, 64}, {20, 48}, {80, 20}, {200, 0}};
    return instrument;
}

}  // namespace showdata
