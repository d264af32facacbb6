#include "EnvelopeRates.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace rolvik::synth {
namespace {

// Times at rates 4, 8, ... 60 halve with every step of four; in between, the rate's low two bits
// shorten the time by a quarter of the step each (1, 1/1.25, 1/1.5, 1/1.75).
double TimeAtRate(int rate, double timeAtRate4Ms) {
    const int octaveSteps = rate / 4 - 1;
    const double withinStep = 1.0 + (rate % 4) / 4.0;
    return timeAtRate4Ms / std::ldexp(1.0, octaveSteps) / withinStep;
}

}  // namespace

int NoteOctave(int note) {
    return std::clamp(note / 12 - 1, 0, 7);
}

int EffectiveRate(int parameter, bool ksr, int note) {
    if (parameter == 0) {
        return 0;
    }
    const int octave = NoteOctave(note);
    const int upperHalf = (note % 12) >= 6 ? 1 : 0;
    const int offset = ksr ? 2 * octave + upperHalf : octave / 2;
    return std::min(63, 4 * parameter + offset);
}

double AttackTimeMs(int rate) {
    if (rate < 4) {
        return std::numeric_limits<double>::infinity();
    }
    if (rate >= 60) {
        return 0.0;
    }
    return TimeAtRate(rate, 2942.78);
}

double DecayTimeMs(int rate) {
    if (rate < 4) {
        return std::numeric_limits<double>::infinity();
    }
    return TimeAtRate(std::min(rate, 60), 43008.0);
}

float AttackCoefficient(double timeMs) {
    if (std::isinf(timeMs)) {
        return 0.0f;
    }
    if (timeMs <= 0.0) {
        return 1.0f;
    }
    const double samples = timeMs * kSampleRateHz / 1000.0;
    const double k = std::log((kEnvelopeRangeDb + kAttackShapeDb) / kAttackShapeDb) / samples;
    return static_cast<float>(1.0 - std::exp(-k));
}

float DbPerSample(double timeMs) {
    if (std::isinf(timeMs)) {
        return 0.0f;
    }
    return static_cast<float>(kEnvelopeRangeDb / (timeMs * kSampleRateHz / 1000.0));
}

OperatorEnvelope EnvelopeOf(const OperatorParameters& op, int note) {
    OperatorEnvelope envelope;
    envelope.attackCoefficient =
        AttackCoefficient(AttackTimeMs(EffectiveRate(op.ar(), op.ksr(), note)));
    envelope.decayDbPerSample = DbPerSample(DecayTimeMs(EffectiveRate(op.dr(), op.ksr(), note)));
    envelope.sustainRateDbPerSample =
        DbPerSample(DecayTimeMs(EffectiveRate(op.sr(), op.ksr(), note)));
    envelope.releaseDbPerSample = DbPerSample(DecayTimeMs(EffectiveRate(op.rr(), op.ksr(), note)));
    envelope.sustainLevelDb = op.sl() == 15 ? 93.0f : op.sl() * 3.0f;
    return envelope;
}

float SustainedReleaseDbPerSample(bool ksr, int note) {
    return DbPerSample(DecayTimeMs(EffectiveRate(kSustainedReleaseRate, ksr, note)));
}

float VelocityAttenuationDb(int velocity) {
    return -40.0f * std::log10(std::clamp(velocity, 1, 127) / 127.0f);
}

}  // namespace rolvik::synth
