#include "Note.h"

#include <algorithm>
#include <cmath>

#include "EnvelopeRates.h"
#include "Waveforms.h"

namespace rolvik::synth {
namespace {

constexpr int kPcmAlgorithm = 8;  // one operator straight to the output
constexpr float kSilentDb = static_cast<float>(kEnvelopeRangeDb);
// The attack approaches this far below full level, so that its curve is steep at the start and
// reaches 0 dB in the rate's time.
constexpr double kAttackShapeDb = 6.0;
// Output of one carrier at full level; leaves headroom for a phone's worth of polyphony.
constexpr float kNoteScale = 0.35f;
constexpr double kPhaseUnitsPerCycle = 4294967296.0;
// A modulator at full level deviates its carrier's phase by 4 cycles (8π).
constexpr float kModulationCycles = 4.0f;

// MULTI 0..15 as multiples of the note's frequency.
constexpr std::array<float, 16> kMultiples = {0.5f, 1, 2,  3,  4,  5,  6,  7,
                                              8,    9, 10, 10, 12, 12, 15, 15};
// Feedback 0..7 as phase deviation in cycles: 0, π/16 ... 4π.
constexpr std::array<float, 8> kFeedbackCycles = {0.0f,     1 / 32.0f, 1 / 16.0f, 1 / 8.0f,
                                                  1 / 4.0f, 1 / 2.0f,  1.0f,      2.0f};
constexpr std::array<float, 4> kKslDbPerOctave = {0.0f, 3.0f, 1.5f, 6.0f};
constexpr std::array<float, 4> kTremoloDepthsDb = {1.3f, 2.8f, 5.8f, 11.8f};
constexpr std::array<float, 4> kVibratoDepthsCents = {3.4f, 6.7f, 13.5f, 26.8f};
// Detune magnitudes 1..3 in Hz at the bottom and at the top octave.
constexpr std::array<float, 4> kDetuneBottomHz = {0.0f, 0.0f, 0.05f, 0.09f};
constexpr std::array<float, 4> kDetuneTopHz = {0.0f, 0.37f, 0.73f, 1.00f};
// Key scaling of level starts above C2.
constexpr int kKslBaseNote = 36;

// Carriers of each algorithm (bit n for operator n + 1), the last entry for PCM voices.
constexpr std::array<std::uint8_t, 9> kCarriers = {0b0010, 0b0011, 0b1111, 0b1000, 0b1000,
                                                   0b1010, 0b1001, 0b1101, 0b0001};

// Gain of an attenuation, in steps of 1/16 dB up to 192 dB; beyond it the output is silent.
constexpr int kGainStepsPerDb = 16;
constexpr int kGainTableSize = 192 * kGainStepsPerDb;

const std::array<float, kGainTableSize>& GainTable() {
    static const auto table = [] {
        std::array<float, kGainTableSize> gains{};
        for (int i = 0; i < kGainTableSize; ++i) {
            gains[i] = static_cast<float>(std::pow(10.0, -i / (20.0 * kGainStepsPerDb)));
        }
        return gains;
    }();
    return table;
}

float GainOfAttenuation(float db) {
    const int index = static_cast<int>(db * kGainStepsPerDb);
    return index < kGainTableSize ? GainTable()[std::max(index, 0)] : 0.0f;
}

float DbPerSample(double timeMs) {
    if (std::isinf(timeMs)) {
        return 0.0f;
    }
    return static_cast<float>(kEnvelopeRangeDb / (timeMs * kSampleRateHz / 1000.0));
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

float DetuneHz(int dt, int octave) {
    const int magnitude = dt & 3;
    const float hz = kDetuneBottomHz[magnitude] +
                     (kDetuneTopHz[magnitude] - kDetuneBottomHz[magnitude]) * octave / 7.0f;
    return (dt & 4) != 0 ? -hz : hz;
}

std::uint32_t PhaseOffset(float cycles) {
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(cycles * kPhaseUnitsPerCycle));
}

}  // namespace

void Note::Start(const VoiceParameters& voice, int channel, int key, int pitchNote, int velocity,
                 std::uint64_t serial, const NoteControls& controls) {
    voice_ = voice;
    operatorCount_ = voice.operatorCount();
    algorithm_ = voice.kind == VoiceKind::Pcm ? kPcmAlgorithm : voice.algorithm();
    channel_ = channel;
    key_ = key;
    pitchNote_ = pitchNote - 12 * voice.basicOctave();
    pitchBendSemitones_ = controls.pitchBendSemitones;
    serial_ = serial;
    active_ = true;
    released_ = false;
    for (int i = 0; i < operatorCount_; ++i) {
        DeriveOperator(i, velocity);
        Operator& op = operators_[i];
        op.phase = 0;
        op.envelopeDb = kSilentDb;
        op.envelope = EnvelopePhase::Attack;
        op.previousOutputs[0] = op.previousOutputs[1] = 0.0f;
    }
    UpdatePitch();
}

bool Note::IsCarrier(int index) const {
    return (kCarriers[algorithm_] >> index) & 1;
}

void Note::DeriveOperator(int index, int velocity) {
    const OperatorParameters& params = voice_.operators[index];
    Operator& op = operators_[index];
    const int note = std::clamp(pitchNote_, 0, 127);
    const float octavesAboveBase = std::max(0.0f, (pitchNote_ - kKslBaseNote) / 12.0f);
    op.levelDb = params.tl() * 0.75f + kKslDbPerOctave[params.ksl()] * octavesAboveBase;
    if (IsCarrier(index)) {
        const float velocityGain = std::clamp(velocity, 1, 127) / 127.0f;
        op.levelDb += -40.0f * std::log10(velocityGain);
    }
    op.attackCoefficient =
        AttackCoefficient(AttackTimeMs(EffectiveRate(params.ar(), params.ksr(), note)));
    op.decayDbPerSample = DbPerSample(DecayTimeMs(EffectiveRate(params.dr(), params.ksr(), note)));
    op.sustainRateDbPerSample =
        DbPerSample(DecayTimeMs(EffectiveRate(params.sr(), params.ksr(), note)));
    op.releaseDbPerSample =
        DbPerSample(DecayTimeMs(EffectiveRate(params.rr(), params.ksr(), note)));
    op.sustainLevelDb = params.sl() == 15 ? 93.0f : params.sl() * 3.0f;
    const bool feedbackSlot = index == 0 || (index == 2 && (algorithm_ == 2 || algorithm_ == 5));
    op.feedbackCycles =
        feedbackSlot && algorithm_ != kPcmAlgorithm ? kFeedbackCycles[params.fb()] : 0.0f;
    op.tremoloDepthDb = params.eam() ? kTremoloDepthsDb[params.dam()] : 0.0f;
    op.vibratoDepthCents = params.evb() ? kVibratoDepthsCents[params.dvb()] : 0.0f;
    op.wave = WaveformTable(params.ws()).data();
}

void Note::SetPitchBend(float semitones) {
    if (semitones != pitchBendSemitones_) {
        pitchBendSemitones_ = semitones;
        UpdatePitch();
    }
}

void Note::UpdatePitch() {
    const float pitch = pitchNote_ + pitchBendSemitones_;
    const float frequencyHz = 440.0f * std::exp2((pitch - 69.0f) / 12.0f);
    const int octave = NoteOctave(std::clamp(pitchNote_, 0, 127));
    for (int i = 0; i < operatorCount_; ++i) {
        const OperatorParameters& params = voice_.operators[i];
        const float operatorHz =
            (frequencyHz + DetuneHz(params.dt(), octave)) * kMultiples[params.multi()];
        operators_[i].baseStep = static_cast<std::uint32_t>(
            std::max(0.0, operatorHz / kSampleRateHz * kPhaseUnitsPerCycle));
    }
}

void Note::Release() {
    if (released_) {
        return;
    }
    released_ = true;
    for (int i = 0; i < operatorCount_; ++i) {
        const OperatorParameters& params = voice_.operators[i];
        Operator& op = operators_[i];
        if (params.xof() || op.envelope == EnvelopePhase::Off) {
            continue;
        }
        if (params.sus()) {
            op.releaseDbPerSample = op.sustainRateDbPerSample;
        }
        op.envelope = EnvelopePhase::Release;
    }
}

void Note::StepEnvelope(Operator& op) const {
    switch (op.envelope) {
        case EnvelopePhase::Attack:
            op.envelopeDb -=
                (op.envelopeDb + static_cast<float>(kAttackShapeDb)) * op.attackCoefficient;
            if (op.envelopeDb <= 0.0f) {
                op.envelopeDb = 0.0f;
                op.envelope = EnvelopePhase::Decay;
            }
            break;
        case EnvelopePhase::Decay:
            op.envelopeDb += op.decayDbPerSample;
            if (op.envelopeDb >= op.sustainLevelDb) {
                op.envelopeDb = op.sustainLevelDb;
                op.envelope = EnvelopePhase::Sustain;
            }
            break;
        case EnvelopePhase::Sustain:
            op.envelopeDb += op.sustainRateDbPerSample;
            break;
        case EnvelopePhase::Release:
            op.envelopeDb += op.releaseDbPerSample;
            break;
        case EnvelopePhase::Off:
            break;
    }
    if (op.envelopeDb >= kSilentDb) {
        op.envelopeDb = kSilentDb;
        op.envelope = EnvelopePhase::Off;
    }
}

float Note::Compute(Operator& op, float modulation) {
    StepEnvelope(op);
    op.phase += op.step;
    const std::uint32_t phase = op.phase + PhaseOffset(modulation * kModulationCycles);
    const float output =
        op.wave[phase >> (32 - kWaveformBits)] * GainOfAttenuation(op.envelopeDb + op.blockLevelDb);
    return output;
}

float Note::ComputeWithFeedback(Operator& op) {
    const float feedback =
        (op.previousOutputs[0] + op.previousOutputs[1]) * 0.5f * op.feedbackCycles;
    const float output = Compute(op, feedback / kModulationCycles);
    op.previousOutputs[1] = op.previousOutputs[0];
    op.previousOutputs[0] = output;
    return output;
}

float Note::ComputeSample() {
    Operator* op = operators_.data();
    switch (algorithm_) {
        case 0:
            return Compute(op[1], ComputeWithFeedback(op[0]));
        case 1:
            return ComputeWithFeedback(op[0]) + Compute(op[1], 0.0f);
        case 2:
            return ComputeWithFeedback(op[0]) + Compute(op[1], 0.0f) + ComputeWithFeedback(op[2]) +
                   Compute(op[3], 0.0f);
        case 3: {
            const float first = ComputeWithFeedback(op[0]);
            const float chain = Compute(op[2], Compute(op[1], 0.0f));
            return Compute(op[3], first + chain);
        }
        case 4:
            return Compute(op[3], Compute(op[2], Compute(op[1], ComputeWithFeedback(op[0]))));
        case 5:
            return Compute(op[1], ComputeWithFeedback(op[0])) +
                   Compute(op[3], ComputeWithFeedback(op[2]));
        case 6:
            return ComputeWithFeedback(op[0]) +
                   Compute(op[3], Compute(op[2], Compute(op[1], 0.0f)));
        case 7:
            return ComputeWithFeedback(op[0]) + Compute(op[2], Compute(op[1], 0.0f)) +
                   Compute(op[3], 0.0f);
        default:
            return Compute(op[0], 0.0f);
    }
}

void Note::Render(float* left, float* right, int frames, const Lfo& lfo,
                  const NoteControls& controls) {
    SetPitchBend(controls.pitchBendSemitones);
    const Lfo::Values modulation = lfo.Read(voice_.lfoRate());
    for (int i = 0; i < operatorCount_; ++i) {
        Operator& op = operators_[i];
        const float cents = (op.vibratoDepthCents + controls.modulationCents) * modulation.vibrato;
        op.step = cents == 0.0f
                      ? op.baseStep
                      : static_cast<std::uint32_t>(op.baseStep * std::exp2(cents / 1200.0f));
        op.blockLevelDb = op.levelDb + op.tremoloDepthDb * modulation.tremolo;
    }
    const float gainLeft = controls.gainLeft * kNoteScale;
    const float gainRight = controls.gainRight * kNoteScale;
    for (int frame = 0; frame < frames; ++frame) {
        const float sample = ComputeSample();
        left[frame] += sample * gainLeft;
        right[frame] += sample * gainRight;
    }
    if (attenuationDb() >= kSilentDb) {
        active_ = false;
    }
}

float Note::attenuationDb() const {
    float quietest = kSilentDb;
    for (int i = 0; i < operatorCount_; ++i) {
        if (IsCarrier(i) && operators_[i].envelope != EnvelopePhase::Attack) {
            quietest = std::min(quietest, operators_[i].envelopeDb);
        } else if (IsCarrier(i)) {
            return 0.0f;
        }
    }
    return quietest;
}

}  // namespace rolvik::synth
