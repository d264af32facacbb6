#include "DrumSounds.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <numbers>

namespace rolvik::drums {
namespace {

using synth::ChipDrum;
using synth::ChipDrumLayout;

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr double kPeak = 0.9 * 32767.0;
// Every wave rises from silence over this long, quick enough to keep the hit's snap.
constexpr double kFadeInSeconds = 0.0005;
// How hard the waves are driven into the soft limit.
constexpr double kDrive = 3.0;
// One-shot waves fade out over their last tenth, so they end at silence whatever their rate.
constexpr double kTaperShare = 0.1;
// The clang of a hi-hat or a cymbal: square waves at the inharmonic pitches of the classic
// analogue drum machines' metal voice, in Hz.
constexpr std::array<double, 6> kMetalPitchesHz = {205.3, 304.4, 369.6, 522.7, 540.0, 800.0};

// White noise from a fixed seed, so that every run of the tool draws the same waves.
class Noise {
  public:
    double Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return state_ / 2147483648.0 - 1.0;
    }

  private:
    std::uint32_t state_ = 0x2545F491u;
};

// A first-order high-pass filter.
class HighPass {
  public:
    HighPass(double cornerHz, double rateHz)
        : coefficient_(1.0 / (1.0 + kTwoPi * cornerHz / rateHz)) {}

    double Next(double in) {
        out_ = coefficient_ * (out_ + in - previousIn_);
        previousIn_ = in;
        return out_;
    }

  private:
    double coefficient_;
    double previousIn_ = 0.0;
    double out_ = 0.0;
};

// Two high-pass stages: 12 dB per octave below the corner.
class SteepHighPass {
  public:
    SteepHighPass(double cornerHz, double rateHz)
        : first_(cornerHz, rateHz), second_(cornerHz, rateHz) {}
    double Next(double in) { return second_.Next(first_.Next(in)); }

  private:
    HighPass first_;
    HighPass second_;
};

struct Drawing {
    ChipDrumLayout layout;
    std::vector<double> samples;

    explicit Drawing(ChipDrum drum) : layout(synth::LayoutOf(drum)), samples(layout.frames) {}
    double Seconds(std::size_t frame) const { return frame / double(layout.rateHz); }
    bool Loops() const { return layout.loopStart < layout.frames; }
    // Seconds at which the level stops falling: the loop start of a looped wave, whose loop must
    // hold one steady level.
    double Settled(std::size_t frame) const {
        return Seconds(Loops() ? std::min<std::size_t>(frame, layout.loopStart) : frame);
    }
};

// A pitch that fits a whole number of cycles into the loop of a looped wave, so that the loop
// joins without a step.
double LoopPitchHz(const Drawing& drawing, double hz) {
    if (!drawing.Loops()) {
        return hz;
    }
    const double loopFrames = drawing.layout.frames - drawing.layout.loopStart;
    const double cycles = std::max(1.0, std::round(hz * loopFrames / drawing.layout.rateHz));
    return cycles * drawing.layout.rateHz / loopFrames;
}

double Square(double phase) {
    return std::sin(phase) >= 0.0 ? 1.0 : -1.0;
}

// A sine whose pitch falls from `startHz` towards `endHz` with the time constant `fallSeconds`;
// it holds `endHz` exactly from the loop start on.
void AddFallingSine(Drawing& drawing, double startHz, double endHz, double fallSeconds,
                    double decaySeconds, double sustain) {
    const double steadyHz = LoopPitchHz(drawing, endHz);
    double phase = 0.0;
    for (std::size_t i = 0; i < drawing.samples.size(); ++i) {
        const double t = drawing.Settled(i);
        const bool steady = drawing.Loops() && i >= drawing.layout.loopStart;
        const double hz =
            steady ? steadyHz : steadyHz + (startHz - endHz) * std::exp(-t / fallSeconds);
        const double level = sustain + (1.0 - sustain) * std::exp(-t / decaySeconds);
        drawing.samples[i] += level * std::sin(phase);
        phase += kTwoPi * hz / drawing.layout.rateHz;
    }
}

// High-passed noise and metal, `metalShare` of it the metal, fading to `sustain`.
void AddCymbal(Drawing& drawing, double cornerHz, double metalShare, double decaySeconds,
               double sustain, double level = 1.0) {
    Noise noise;
    SteepHighPass filter(cornerHz, drawing.layout.rateHz);
    std::array<double, kMetalPitchesHz.size()> steps{};
    for (std::size_t k = 0; k < steps.size(); ++k) {
        steps[k] = kTwoPi * LoopPitchHz(drawing, kMetalPitchesHz[k]) / drawing.layout.rateHz;
    }
    for (std::size_t i = 0; i < drawing.samples.size(); ++i) {
        double metal = 0.0;
        for (const double step : steps) {
            metal += Square(step * static_cast<double>(i) + 0.5);
        }
        const double source =
            (1.0 - metalShare) * noise.Next() + metalShare * metal / double(steps.size());
        const double t = drawing.Settled(i);
        drawing.samples[i] +=
            level * filter.Next(source) * (sustain + (1.0 - sustain) * std::exp(-t / decaySeconds));
    }
}

// A burst of noise above `cornerHz` that dies away with the time constant `decaySeconds`.
void AddNoiseBurst(Drawing& drawing, double cornerHz, double decaySeconds, double level) {
    Noise noise;
    HighPass filter(cornerHz, drawing.layout.rateHz);
    for (std::size_t i = 0; i < drawing.samples.size(); ++i) {
        drawing.samples[i] +=
            level * filter.Next(noise.Next()) * std::exp(-drawing.Seconds(i) / decaySeconds);
    }
}

void Draw(ChipDrum drum, Drawing& drawing) {
    switch (drum) {
        case ChipDrum::Kick:
            AddFallingSine(drawing, 170.0, 48.0, 0.02, 0.07, 0.0);
            AddNoiseBurst(drawing, 2500.0, 0.008, 1.2);
            break;
        case ChipDrum::Snare:
            AddFallingSine(drawing, 240.0, 180.0, 0.01, 0.035, 0.0);
            AddNoiseBurst(drawing, 800.0, 0.06, 1.5);
            break;
        case ChipDrum::Tom:
            AddFallingSine(drawing, 170.0, 112.0, 0.04, 0.06, 0.25);
            AddNoiseBurst(drawing, 1000.0, 0.008, 0.5);
            break;
        case ChipDrum::ClosedHiHat:
            AddCymbal(drawing, 6000.0, 0.5, 0.025, 0.0);
            break;
        case ChipDrum::OpenHiHat:
            AddCymbal(drawing, 5500.0, 0.5, 0.08, 0.0);
            break;
        case ChipDrum::Ride:
            AddCymbal(drawing, 4000.0, 0.6, 0.03, 0.35);
            break;
        case ChipDrum::Crash:
            AddCymbal(drawing, 2500.0, 0.2, 0.08, 0.4);
            break;
    }
}

void FadeIn(Drawing& drawing) {
    const auto fade = static_cast<std::size_t>(kFadeInSeconds * drawing.layout.rateHz);
    for (std::size_t i = 0; i < fade; ++i) {
        drawing.samples[i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * double(i) / double(fade));
    }
}

void TaperTheEnd(Drawing& drawing) {
    if (drawing.Loops()) {
        return;
    }
    const std::size_t frames = drawing.samples.size();
    const auto taper = static_cast<std::size_t>(frames * kTaperShare);
    for (std::size_t i = frames - taper; i < frames; ++i) {
        const double x = double(frames - i) / double(taper);
        drawing.samples[i] *= 0.5 - 0.5 * std::cos(std::numbers::pi * x);
    }
}

// Drives the drawn wave into a soft limit, as a drum recording is compressed: its quieter parts
// come up towards its peaks, so that it cuts through music at the same peak level.
void Compress(Drawing& drawing, double drive) {
    double peak = 0.0;
    for (const double sample : drawing.samples) {
        peak = std::max(peak, std::fabs(sample));
    }
    for (double& sample : drawing.samples) {
        sample = std::tanh(drive * sample / peak);
    }
}

std::vector<std::int16_t> Normalised(const std::vector<double>& samples) {
    double peak = 0.0;
    for (const double sample : samples) {
        peak = std::max(peak, std::fabs(sample));
    }
    std::vector<std::int16_t> out(samples.size());
    for (std::size_t i = 0; i < samples.size(); ++i) {
        out[i] = static_cast<std::int16_t>(std::lround(samples[i] / peak * kPeak));
    }
    return out;
}

}  // namespace

std::vector<std::int16_t> DrawChipDrum(ChipDrum drum) {
    Drawing drawing(drum);
    Draw(drum, drawing);
    Compress(drawing, kDrive);
    FadeIn(drawing);
    TaperTheEnd(drawing);
    return Normalised(drawing.samples);
}

}  // namespace rolvik::drums
