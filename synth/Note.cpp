#include "Note.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <type_traits>

#include "EnvelopeRates.h"
#include "Waveforms.h"

namespace rolvik::synth {
namespace {

constexpr int kPcmAlgorithm = 8;  // one operator straight to the output
constexpr float kSilentDb = static_cast<float>(kEnvelopeRangeDb);
// A note whose every carrier sounds this far below full scale (its envelope, levels and channel
// gain together) is no longer heard and ends, which saves computing the long inaudible tails of
// slow releases.
constexpr float kQuietDb = 84.0f;
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
// Detune magnitudes 1..3 in Hz at the bottom and at the top octave.
constexpr std::array<float, 4> kDetuneBottomHz = {0.0f, 0.0f, 0.05f, 0.09f};
constexpr std::array<float, 4> kDetuneTopHz = {0.0f, 0.37f, 0.73f, 1.00f};
// Key scaling of level starts above C2.
constexpr int kKslBaseNote = 36;

// Carriers of each algorithm (bit n for operator n + 1), the last entry for PCM voices.
constexpr std::array<std::uint8_t, 9> kCarriers = {0b0010, 0b0011, 0b1111, 0b1000, 0b1000,
                                                   0b1010, 0b1001, 0b1101, 0b0001};

// Spans over which the envelope is taken as a straight line in dB: short during the curved
// attack, otherwise until the phase changes.
constexpr int kAttackSpan = 4;
constexpr int kMaxEnvelopeSpan = 1 << 20;

float GainOfDb(float db) {
    return std::exp2(db * (-1.0f / 20.0f) * std::numbers::log2e_v<float> *
                     std::numbers::ln10_v<float>);
}

float DbPerSample(double timeMs) {
    if (std::isinf(timeMs)) {
        return 0.0f;
    }
    return static_cast<float>(kEnvelopeRangeDb / (timeMs * kSampleRateHz / 1000.0));
}

float DetuneHz(int dt, int octave) {
    const int magnitude = dt & 3;
    const float hz = kDetuneBottomHz[magnitude] +
                     (kDetuneTopHz[magnitude] - kDetuneBottomHz[magnitude]) * octave / 7.0f;
    return (dt & 4) != 0 ? -hz : hz;
}

// A modulator's output as a step of its carrier's waveform index.
constexpr float kModulationIndexScale = kModulationCycles * kWaveformLength;

// The operators an algorithm's sample reads.
constexpr int OperatorCountOf(int algorithm) {
    return algorithm == kPcmAlgorithm ? 1 : algorithm <= 1 ? 2 : 4;
}

// Calls `function` with the algorithm as a compile-time constant, so that each algorithm runs a
// loop of its own.
template <typename Function>
void WithAlgorithm(int algorithm, Function&& function) {
    switch (algorithm) {
        case 0:
            function(std::integral_constant<int, 0>{});
            break;
        case 1:
            function(std::integral_constant<int, 1>{});
            break;
        case 2:
            function(std::integral_constant<int, 2>{});
            break;
        case 3:
            function(std::integral_constant<int, 3>{});
            break;
        case 4:
            function(std::integral_constant<int, 4>{});
            break;
        case 5:
            function(std::integral_constant<int, 5>{});
            break;
        case 6:
            function(std::integral_constant<int, 6>{});
            break;
        case 7:
            function(std::integral_constant<int, 7>{});
            break;
        default:
            function(std::integral_constant<int, kPcmAlgorithm>{});
            break;
    }
}

unsigned WaveformIndexOffset(float scaled) {
    return static_cast<unsigned>(static_cast<int>(scaled));
}

}  // namespace

void Note::Start(const VoiceParameters& voice, int channel, int key, float pitch, int velocity,
                 std::uint64_t serial, const NoteControls& controls) {
    voice_ = voice;
    operatorCount_ = voice.operatorCount();
    algorithm_ = voice.kind == VoiceKind::Pcm ? kPcmAlgorithm : voice.algorithm();
    channel_ = channel;
    key_ = key;
    pitch_ = pitch - 12.0f * static_cast<float>(voice.basicOctave());
    pitchNote_ = static_cast<int>(std::lround(pitch_));
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
        op.feedbackSteps[0] = op.feedbackSteps[1] = 0.0f;
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
    const float feedbackCycles =
        feedbackSlot && algorithm_ != kPcmAlgorithm ? kFeedbackCycles[params.fb()] : 0.0f;
    // The feedback is the mean of the operator's last two outputs.
    op.feedbackIndexScale = 0.5f * feedbackCycles * kWaveformLength;
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

void Note::SetPitch(float pitch) {
    pitch_ = pitch - 12.0f * static_cast<float>(voice_.basicOctave());
    UpdatePitch();
}

void Note::UpdatePitch() {
    const float pitch = pitch_ + pitchBendSemitones_;
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

int Note::SamplesInPhase(const Operator& op) {
    auto samplesTo = [](float distanceDb, float dbPerSample) {
        if (dbPerSample <= 0.0f) {
            return kMaxEnvelopeSpan;
        }
        return std::clamp(static_cast<int>(std::ceil(distanceDb / dbPerSample)), 1,
                          kMaxEnvelopeSpan);
    };
    switch (op.envelope) {
        case EnvelopePhase::Attack:
            return op.attackCoefficient >= 1.0f ? 1 : kAttackSpan;
        case EnvelopePhase::Decay:
            return samplesTo(op.sustainLevelDb - op.envelopeDb, op.decayDbPerSample);
        case EnvelopePhase::Sustain:
            return samplesTo(kSilentDb - op.envelopeDb, op.sustainRateDbPerSample);
        case EnvelopePhase::Release:
            return samplesTo(kSilentDb - op.envelopeDb, op.releaseDbPerSample);
        case EnvelopePhase::Off:
            break;
    }
    return kMaxEnvelopeSpan;
}

float Note::EnvelopeAfter(const Operator& op, int samples) {
    switch (op.envelope) {
        case EnvelopePhase::Attack: {
            const float shape = static_cast<float>(kAttackShapeDb);
            const float remaining =
                std::pow(1.0f - op.attackCoefficient, static_cast<float>(samples));
            return std::max(0.0f, (op.envelopeDb + shape) * remaining - shape);
        }
        case EnvelopePhase::Decay:
            return std::min(op.sustainLevelDb, op.envelopeDb + samples * op.decayDbPerSample);
        case EnvelopePhase::Sustain:
            return std::min(kSilentDb, op.envelopeDb + samples * op.sustainRateDbPerSample);
        case EnvelopePhase::Release:
            return std::min(kSilentDb, op.envelopeDb + samples * op.releaseDbPerSample);
        case EnvelopePhase::Off:
            break;
    }
    return kSilentDb;
}

// Moves the envelope to the end of the span PrepareGain set up.
void Note::AdvanceEnvelope(Operator& op) {
    op.envelopeDb = op.spanEndDb;
    if (op.envelope == EnvelopePhase::Attack && op.envelopeDb <= 0.0f) {
        op.envelope = EnvelopePhase::Decay;
    }
    if (op.envelope == EnvelopePhase::Decay && op.envelopeDb >= op.sustainLevelDb) {
        op.envelope = EnvelopePhase::Sustain;
    }
    if (op.envelopeDb >= kSilentDb) {
        op.envelopeDb = kSilentDb;
        op.envelope = EnvelopePhase::Off;
    }
}

// The envelope moves along a straight line in dB within a span, so the gain follows a geometric
// series: the first sample's gain and the ratio from sample to sample.
void Note::PrepareGain(Operator& op, int samples) {
    const float endDb = EnvelopeAfter(op, samples);
    op.spanEndDb = endDb;
    if (endDb >= kSilentDb && op.envelopeDb >= kSilentDb - 1.0f) {
        op.gain = 0.0f;
        op.gainStep = 1.0f;
        op.gainStepDb = 0.0f;
        return;
    }
    const float stepDb = (endDb - op.envelopeDb) / samples;
    op.gain = GainOfDb(op.envelopeDb + stepDb + op.blockLevelDb);
    if (stepDb != op.gainStepDb) {
        op.gainStep = GainOfDb(stepDb);
        op.gainStepDb = stepDb;
    }
}

[[gnu::always_inline]] inline Note::Oscillator Note::Oscillator::Of(const Operator& op) {
    return {op.phase,
            op.step,
            op.gain,
            op.gainStep,
            op.feedbackIndexScale,
            {op.feedbackSteps[0], op.feedbackSteps[1]},
            op.wave};
}

[[gnu::always_inline]] inline void Note::Oscillator::StoreInto(Operator& op) const {
    op.phase = phase;
    op.gain = gain;
    op.feedbackSteps[0] = feedbackSteps[0];
    op.feedbackSteps[1] = feedbackSteps[1];
}

[[gnu::always_inline]] inline float Note::Oscillator::NextAt(unsigned indexOffset) {
    phase += step;
    const unsigned index = (phase >> (32 - kWaveformBits)) + indexOffset;
    const float output = wave[index & (kWaveformLength - 1)] * gain;
    gain *= gainStep;
    return output;
}

[[gnu::always_inline]] inline float Note::Oscillator::Next(float modulation) {
    return NextAt(WaveformIndexOffset(modulation * kModulationIndexScale));
}

// The feedback path is the one chain of dependent operations from sample to sample, so it is kept
// short: the waveform value is scaled straight into index steps (the scale being a power of two,
// this equals scaling the output) and the plain output is computed beside the chain.
[[gnu::always_inline]] inline float Note::Oscillator::NextWithFeedback() {
    if (feedbackIndexScale == 0.0f) {
        return NextAt(0);
    }
    phase += step;
    const unsigned index =
        (phase >> (32 - kWaveformBits)) + WaveformIndexOffset(feedbackSteps[0] + feedbackSteps[1]);
    const float value = wave[index & (kWaveformLength - 1)];
    feedbackSteps[1] = feedbackSteps[0];
    feedbackSteps[0] = value * (gain * feedbackIndexScale);
    const float output = value * gain;
    gain *= gainStep;
    return output;
}

template <int Algorithm>
[[gnu::always_inline]] inline float Note::ComputeSample(Oscillator* op) {
    if constexpr (Algorithm == 0) {
        return op[1].Next(op[0].NextWithFeedback());
    } else if constexpr (Algorithm == 1) {
        return op[0].NextWithFeedback() + op[1].Next(0.0f);
    } else if constexpr (Algorithm == 2) {
        return op[0].NextWithFeedback() + op[1].Next(0.0f) + op[2].NextWithFeedback() +
               op[3].Next(0.0f);
    } else if constexpr (Algorithm == 3) {
        const float first = op[0].NextWithFeedback();
        const float chain = op[2].Next(op[1].Next(0.0f));
        return op[3].Next(first + chain);
    } else if constexpr (Algorithm == 4) {
        return op[3].Next(op[2].Next(op[1].Next(op[0].NextWithFeedback())));
    } else if constexpr (Algorithm == 5) {
        return op[1].Next(op[0].NextWithFeedback()) + op[3].Next(op[2].NextWithFeedback());
    } else if constexpr (Algorithm == 6) {
        return op[0].NextWithFeedback() + op[3].Next(op[2].Next(op[1].Next(0.0f)));
    } else if constexpr (Algorithm == 7) {
        return op[0].NextWithFeedback() + op[2].Next(op[1].Next(0.0f)) + op[3].Next(0.0f);
    } else {
        return op[0].Next(0.0f);
    }
}

template <std::size_t Operators>
[[gnu::always_inline]] inline std::array<Note::Oscillator, Operators> Note::LoadOscillators()
    const {
    std::array<Oscillator, Operators> oscillators;
    for (std::size_t i = 0; i < Operators; ++i) {
        oscillators[i] = Oscillator::Of(operators_[i]);
    }
    return oscillators;
}

template <std::size_t Operators>
[[gnu::always_inline]] inline void Note::StoreOscillators(
    const std::array<Oscillator, Operators>& oscillators) {
    for (std::size_t i = 0; i < Operators; ++i) {
        oscillators[i].StoreInto(operators_[i]);
    }
}

template <int Algorithm>
void Note::RenderFrames(float* __restrict left, float* __restrict right, int frames) {
    auto oscillators = LoadOscillators<OperatorCountOf(Algorithm)>();
    const float gainLeft = gainLeft_;
    const float gainRight = gainRight_;
    for (int frame = 0; frame < frames; ++frame) {
        const float sample = ComputeSample<Algorithm>(oscillators.data());
        left[frame] += sample * gainLeft;
        right[frame] += sample * gainRight;
    }
    StoreOscillators(oscillators);
}

// The two notes' samples are computed in one loop so that the processor works on one note's
// feedback chain while the other's waits for its previous sample.
template <int Algorithm>
void Note::RenderFramesTogether(Note& first, Note& second, float* __restrict left,
                                float* __restrict right, int frames) {
    auto firstOscillators = first.LoadOscillators<OperatorCountOf(Algorithm)>();
    auto secondOscillators = second.LoadOscillators<OperatorCountOf(Algorithm)>();
    const float firstLeft = first.gainLeft_;
    const float firstRight = first.gainRight_;
    const float secondLeft = second.gainLeft_;
    const float secondRight = second.gainRight_;
    for (int frame = 0; frame < frames; ++frame) {
        const float firstSample = ComputeSample<Algorithm>(firstOscillators.data());
        const float secondSample = ComputeSample<Algorithm>(secondOscillators.data());
        left[frame] += firstSample * firstLeft;
        left[frame] += secondSample * secondLeft;
        right[frame] += firstSample * firstRight;
        right[frame] += secondSample * secondRight;
    }
    first.StoreOscillators(firstOscillators);
    second.StoreOscillators(secondOscillators);
}

void Note::BeginBlock(const Lfo& lfo, const NoteControls& controls) {
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
    gainLeft_ = controls.gainLeft * kNoteScale;
    gainRight_ = controls.gainRight * kNoteScale;
}

// Prepares the operators' gains for the longest stretch, up to `frames`, over which no envelope
// changes phase, and returns its length.
int Note::BeginSpan(int frames) {
    int span = frames;
    for (int i = 0; i < operatorCount_; ++i) {
        span = std::min(span, SamplesInPhase(operators_[i]));
    }
    for (int i = 0; i < operatorCount_; ++i) {
        PrepareGain(operators_[i], span);
    }
    return span;
}

void Note::EndSpan() {
    for (int i = 0; i < operatorCount_; ++i) {
        AdvanceEnvelope(operators_[i]);
    }
}

void Note::EndBlock() {
    // The channel's gain seldom changes, so its logarithm is kept from block to block.
    const float loudestGain = std::max(gainLeft_, gainRight_);
    if (loudestGain != loudestGain_) {
        loudestGain_ = loudestGain;
        loudestGainDb_ = loudestGain > 0.0f ? -20.0f * std::log10(loudestGain) : kSilentDb;
    }
    if (IsQuiet(loudestGainDb_)) {
        active_ = false;
    }
}

void Note::Render(float* left, float* right, int frames, const Lfo& lfo,
                  const NoteControls& controls) {
    BeginBlock(lfo, controls);
    WithAlgorithm(algorithm_, [&](auto algorithm) {
        for (int done = 0; done < frames;) {
            const int span = BeginSpan(frames - done);
            RenderFrames<decltype(algorithm)::value>(left + done, right + done, span);
            EndSpan();
            done += span;
        }
    });
    EndBlock();
}

// Each note keeps its own spans; the shared loop runs up to whichever span ends first.
void Note::RenderTogether(Note& first, Note& second, float* left, float* right, int frames,
                          const Lfo& lfo, const NoteControls& firstControls,
                          const NoteControls& secondControls) {
    first.BeginBlock(lfo, firstControls);
    second.BeginBlock(lfo, secondControls);
    WithAlgorithm(first.algorithm_, [&](auto algorithm) {
        int firstSpan = first.BeginSpan(frames);
        int secondSpan = second.BeginSpan(frames);
        for (int done = 0; done < frames;) {
            const int together = std::min(firstSpan, secondSpan);
            RenderFramesTogether<decltype(algorithm)::value>(first, second, left + done,
                                                             right + done, together);
            done += together;
            firstSpan -= together;
            secondSpan -= together;
            if (firstSpan == 0) {
                first.EndSpan();
                firstSpan = done < frames ? first.BeginSpan(frames - done) : 0;
            }
            if (secondSpan == 0) {
                second.EndSpan();
                secondSpan = done < frames ? second.BeginSpan(frames - done) : 0;
            }
        }
    });
    first.EndBlock();
    second.EndBlock();
}

bool Note::IsQuiet(float outputAttenuationDb) const {
    for (int i = 0; i < operatorCount_; ++i) {
        const Operator& op = operators_[i];
        const bool heard = op.envelope == EnvelopePhase::Attack ||
                           op.envelopeDb + op.blockLevelDb + outputAttenuationDb < kQuietDb;
        if (IsCarrier(i) && heard) {
            return false;
        }
    }
    return true;
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
