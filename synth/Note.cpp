#include "Note.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>
#include <type_traits>
#include <utility>

#include "EnvelopeRates.h"
#include "Waveforms.h"

namespace rolvik::synth {
namespace {

// A span ends at the first block end from which the note may be that quiet, judged this much
// early, so that rounding never lets a span run past the block end at which the note stops.
constexpr float kQuietMarginDb = 0.1f;
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

// Spans over which the envelope is taken as a straight line in dB: short during the curved
// attack, otherwise until the phase changes.
constexpr int kAttackSpan = 4;
constexpr int kMaxEnvelopeSpan = 1 << 20;

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
    return kFmAlgorithms[algorithm].operatorCount;
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

float GainOfDb(float db) {
    return std::exp2(db * (-1.0f / 20.0f) * std::numbers::log2e_v<float> *
                     std::numbers::ln10_v<float>);
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
        operators_[i].derived = DeriveOperator(i, velocity);
        operators_[i].running = {.envelope = {kSilentDb, EnvelopePhase::Attack}};
    }
    UpdatePitch();
}

bool Note::IsCarrier(int index) const {
    return (kFmAlgorithms[algorithm_].carriers >> index) & 1;
}

// The operator's values for the note, but its step, which follows the pitch.
Note::Operator::Derived Note::DeriveOperator(int index, int velocity) const {
    const OperatorParameters& params = voice_.operators[index];
    Operator::Derived op;
    const int note = std::clamp(pitchNote_, 0, 127);
    const float octavesAboveBase = std::max(0.0f, (pitchNote_ - kKslBaseNote) / 12.0f);
    op.levelDb = params.tl() * 0.75f + kKslDbPerOctave[params.ksl()] * octavesAboveBase;
    if (IsCarrier(index)) {
        op.levelDb += VelocityAttenuationDb(velocity);
    }
    op.envelope = EnvelopeOf(params, note);
    const bool feedbackSlot = (kFmAlgorithms[algorithm_].feedback >> index & 1) != 0;
    const float feedbackCycles = feedbackSlot ? kFeedbackCycles[params.fb()] : 0.0f;
    // The feedback is the mean of the operator's last two outputs.
    op.feedbackIndexScale = 0.5f * feedbackCycles * kWaveformLength;
    op.tremoloDepthDb = params.eam() ? kTremoloDepthsDb[params.dam()] : 0.0f;
    op.vibratoDepthCents = params.evb() ? kVibratoDepthsCents[params.dvb()] : 0.0f;
    op.wave = WaveformTable(params.ws()).data();
    return op;
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
        operators_[i].derived.baseStep = static_cast<std::uint32_t>(
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
        if (params.xof() || op.running.envelope.phase == EnvelopePhase::Off) {
            continue;
        }
        if (params.sus()) {
            op.derived.envelope.releaseDbPerSample =
                SustainedReleaseDbPerSample(params.ksr(), std::clamp(pitchNote_, 0, 127));
        }
        op.running.envelope.phase = EnvelopePhase::Release;
    }
}

void Note::Damp() {
    released_ = true;
    const float dampDbPerSample = DbPerSample(kDampTimeMs);
    for (int i = 0; i < operatorCount_; ++i) {
        Operator& op = operators_[i];
        if (op.running.envelope.phase != EnvelopePhase::Off) {
            op.running.envelope.phase = EnvelopePhase::Release;
            op.derived.envelope.releaseDbPerSample =
                std::max(op.derived.envelope.releaseDbPerSample, dampDbPerSample);
        }
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
    switch (op.running.envelope.phase) {
        case EnvelopePhase::Attack:
            return op.derived.envelope.attackCoefficient >= 1.0f ? 1 : kAttackSpan;
        case EnvelopePhase::Decay:
            return samplesTo(op.derived.envelope.sustainLevelDb - op.running.envelope.db,
                             op.derived.envelope.decayDbPerSample);
        case EnvelopePhase::Sustain:
            return samplesTo(kSilentDb - op.running.envelope.db,
                             op.derived.envelope.sustainRateDbPerSample);
        case EnvelopePhase::Release:
            return samplesTo(kSilentDb - op.running.envelope.db,
                             op.derived.envelope.releaseDbPerSample);
        case EnvelopePhase::Off:
            break;
    }
    return kMaxEnvelopeSpan;
}

// Moves the envelope to the end of the span PrepareGain set up. A level may end more than one
// phase (with SL 0 the attack's end is also the decay's), and an operator that has faded out is
// off.
void Note::AdvanceEnvelope(Operator& op) {
    EnvelopeState& envelope = op.running.envelope;
    envelope.db = op.running.spanEndDb;
    while (envelope.EndPhaseIfReached(op.derived.envelope)) {
    }
    if (envelope.db >= kSilentDb) {
        envelope = {kSilentDb, EnvelopePhase::Off};
    }
}

// The envelope moves along a straight line in dB within a span, so the gain follows a geometric
// series: the first sample's gain and the ratio from sample to sample.
void Note::PrepareGain(Operator& op, int samples) {
    const float endDb = op.running.envelope.After<float>(op.derived.envelope, samples);
    op.running.spanEndDb = endDb;
    if (endDb >= kSilentDb && op.running.envelope.db >= kSilentDb - 1.0f) {
        op.running.gain = 0.0f;
        op.running.gainStep = 1.0f;
        op.running.gainStepDb = 0.0f;
        return;
    }
    const float stepDb = (endDb - op.running.envelope.db) / samples;
    op.running.gain = GainOfDb(op.running.envelope.db + stepDb + op.running.blockLevelDb);
    if (stepDb != op.running.gainStepDb) {
        op.running.gainStep = GainOfDb(stepDb);
        op.running.gainStepDb = stepDb;
    }
}

// A modulator's gain is loaded scaled by kModulationIndexScale, so that its output comes out in
// steps of its carrier's waveform index without a multiplication per sample. The scale is a power
// of two, so the scaled values round exactly as the plain ones would.
[[gnu::always_inline]] inline Note::Oscillator Note::Oscillator::Of(const Operator& op,
                                                                    float outputScale) {
    return {op.running.phase,
            op.running.step,
            op.running.gain * outputScale,
            op.running.gainStep,
            op.derived.feedbackIndexScale / outputScale,
            {op.running.feedbackSteps[0], op.running.feedbackSteps[1]},
            op.derived.wave};
}

[[gnu::always_inline]] inline void Note::Oscillator::StoreInto(Operator& op,
                                                               float outputScale) const {
    op.running.phase = phase;
    op.running.gain = gain / outputScale;
    op.running.feedbackSteps[0] = feedbackSteps[0];
    op.running.feedbackSteps[1] = feedbackSteps[1];
}

[[gnu::always_inline]] inline float Note::Oscillator::NextAt(unsigned indexOffset) {
    phase += step;
    const unsigned index = (phase >> (32 - kWaveformBits)) + indexOffset;
    const float output = wave[index & (kWaveformLength - 1)] * gain;
    gain *= gainStep;
    return output;
}

[[gnu::always_inline]] inline float Note::Oscillator::Next(float modulationSteps) {
    return NextAt(WaveformIndexOffset(modulationSteps));
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

namespace {

// The outputs that `Mask` picks, added in operator order (one picked alone is its output as it
// is); 0 when it picks none.
template <unsigned Mask, std::size_t Count>
[[gnu::always_inline]] inline float SumOfPicked(const std::array<float, Count>& outputs) {
    if constexpr (Mask == 0) {
        return 0.0f;
    } else {
        constexpr int last = std::bit_width(Mask) - 1;
        constexpr unsigned rest = Mask & ~(1u << last);
        if constexpr (rest == 0) {
            return outputs[last];
        } else {
            return SumOfPicked<rest>(outputs) + outputs[last];
        }
    }
}

// Runs operator `Index` of the algorithm for one sample, modulated by the sum of its modulators'
// outputs (or by its own feedback), and keeps its output.
template <int Algorithm, std::size_t Index, typename Oscillator, std::size_t Count>
[[gnu::always_inline]] inline void RunOperator(Oscillator& op, std::array<float, Count>& outputs) {
    constexpr FmAlgorithm wiring = kFmAlgorithms[Algorithm];
    if constexpr ((wiring.feedback >> Index & 1) != 0) {
        outputs[Index] = op.NextWithFeedback();
    } else {
        outputs[Index] = op.Next(SumOfPicked<wiring.modulators[Index]>(outputs));
    }
}

template <int Algorithm, typename Oscillator, std::size_t... Index>
[[gnu::always_inline]] inline float WiredSample(Oscillator* op, std::index_sequence<Index...>) {
    std::array<float, sizeof...(Index)> outputs{};
    (RunOperator<Algorithm, Index>(op[Index], outputs), ...);
    return SumOfPicked<kFmAlgorithms[Algorithm].carriers>(outputs);
}

}  // namespace

// One sample of an algorithm's wiring as kFmAlgorithms gives it: the operators in their order,
// each modulated by the sum of its modulators' outputs, and the carriers' outputs summed.
template <int Algorithm>
[[gnu::always_inline]] inline float Note::ComputeSample(Oscillator* op) {
    return WiredSample<Algorithm>(op, std::make_index_sequence<OperatorCountOf(Algorithm)>{});
}

// How an operator's output is scaled while it renders: modulators in waveform index steps,
// carriers as they are.
constexpr float OutputScaleOf(int algorithm, std::size_t index) {
    return (kFmAlgorithms[algorithm].carriers >> index & 1) != 0 ? 1.0f : kModulationIndexScale;
}

template <int Algorithm>
[[gnu::always_inline]] inline auto Note::LoadOscillators() const {
    std::array<Oscillator, OperatorCountOf(Algorithm)> oscillators;
    for (std::size_t i = 0; i < oscillators.size(); ++i) {
        oscillators[i] = Oscillator::Of(operators_[i], OutputScaleOf(Algorithm, i));
    }
    return oscillators;
}

template <int Algorithm, std::size_t Operators>
[[gnu::always_inline]] inline void Note::StoreOscillators(
    const std::array<Oscillator, Operators>& oscillators) {
    for (std::size_t i = 0; i < oscillators.size(); ++i) {
        oscillators[i].StoreInto(operators_[i], OutputScaleOf(Algorithm, i));
    }
}

// The notes' samples are computed in one loop so that the processor works on one note's feedback
// chain while the others wait for their previous samples. Each note's share is added to the
// buffers in the notes' order, as rendering them one after the other would.
template <int Algorithm, std::size_t Count>
void Note::RenderFramesTogether(const std::array<Note*, Count>& notes, float* __restrict left,
                                float* __restrict right, int frames) {
    std::array<std::array<Oscillator, OperatorCountOf(Algorithm)>, Count> oscillators;
    std::array<float, Count> gainsLeft;
    std::array<float, Count> gainsRight;
    for (std::size_t n = 0; n < Count; ++n) {
        oscillators[n] = notes[n]->template LoadOscillators<Algorithm>();
        gainsLeft[n] = notes[n]->gainLeft_;
        gainsRight[n] = notes[n]->gainRight_;
    }
    for (int frame = 0; frame < frames; ++frame) {
        std::array<float, Count> samples;
        for (std::size_t n = 0; n < Count; ++n) {
            samples[n] = ComputeSample<Algorithm>(oscillators[n].data());
        }
        for (std::size_t n = 0; n < Count; ++n) {
            left[frame] += samples[n] * gainsLeft[n];
            right[frame] += samples[n] * gainsRight[n];
        }
    }
    for (std::size_t n = 0; n < Count; ++n) {
        notes[n]->template StoreOscillators<Algorithm>(oscillators[n]);
    }
}

bool Note::FollowsLfo(const NoteControls& controls) const {
    if (controls.modulationCents != 0.0f) {
        return true;
    }
    for (int i = 0; i < operatorCount_; ++i) {
        if (operators_[i].derived.vibratoDepthCents != 0.0f ||
            operators_[i].derived.tremoloDepthDb != 0.0f) {
            return true;
        }
    }
    return false;
}

void Note::BeginRender(const Lfo& lfo, const NoteControls& controls) {
    SetPitchBend(controls.pitchBendSemitones);
    const Lfo::Values modulation = lfo.Read(voice_.lfoRate());
    for (int i = 0; i < operatorCount_; ++i) {
        Operator& op = operators_[i];
        const float cents =
            (op.derived.vibratoDepthCents + controls.modulationCents) * modulation.vibrato;
        op.running.step =
            cents == 0.0f
                ? op.derived.baseStep
                : static_cast<std::uint32_t>(op.derived.baseStep * std::exp2(cents / 1200.0f));
        op.running.blockLevelDb =
            op.derived.levelDb + op.derived.tremoloDepthDb * modulation.tremolo;
    }
    gainLeft_ = controls.gainLeft * kNoteScale;
    gainRight_ = controls.gainRight * kNoteScale;
    // The channel's gain seldom changes, so its logarithm is kept from render to render.
    const float loudestGain = std::max(gainLeft_, gainRight_);
    if (loudestGain != loudestGain_) {
        loudestGain_ = loudestGain;
        loudestGainDb_ = loudestGain > 0.0f ? -20.0f * std::log10(loudestGain) : kSilentDb;
    }
}

// The earliest sample, counted from now, at which the note may have gone quiet, judged from the
// current span's slopes; kMaxEnvelopeSpan when it cannot go quiet within the span.
int Note::SamplesUntilQuiet() const {
    int samples = 0;
    for (int i = 0; i < operatorCount_; ++i) {
        const Operator& op = operators_[i];
        if (!IsCarrier(i)) {
            continue;
        }
        if (op.running.envelope.phase == EnvelopePhase::Attack) {
            return kMaxEnvelopeSpan;
        }
        const float distanceDb =
            kQuietDb - kQuietMarginDb -
            (op.running.envelope.db + op.running.blockLevelDb + loudestGainDb_);
        if (distanceDb <= 0.0f) {
            continue;
        }
        const float dbPerSample = op.running.envelope.phase == EnvelopePhase::Decay
                                      ? op.derived.envelope.decayDbPerSample
                                  : op.running.envelope.phase == EnvelopePhase::Sustain
                                      ? op.derived.envelope.sustainRateDbPerSample
                                      : op.derived.envelope.releaseDbPerSample;
        if (dbPerSample <= 0.0f || distanceDb / dbPerSample >= kMaxEnvelopeSpan) {
            return kMaxEnvelopeSpan;
        }
        samples = std::max(samples, static_cast<int>(distanceDb / dbPerSample));
    }
    return samples;
}

// Prepares the operators' gains for the longest stretch from `done` on, up to `frames`, over
// which no envelope changes phase and after which no block ends at which the note may have gone
// quiet, and returns its length.
int Note::BeginSpan(int done, int frames) {
    const int quietAt = done + std::max(1, SamplesUntilQuiet());
    const int checkAt = (quietAt + kBlockFrames - 1) / kBlockFrames * kBlockFrames;
    int span = std::min(frames, checkAt) - done;
    for (int i = 0; i < operatorCount_; ++i) {
        span = std::min(span, SamplesInPhase(operators_[i]));
    }
    for (int i = 0; i < operatorCount_; ++i) {
        PrepareGain(operators_[i], span);
    }
    return span;
}

// Moves the envelopes to the end of the span; at the end of a block a note that is no longer
// heard stops there. Returns whether it stopped.
bool Note::EndSpan(bool blockEnds) {
    for (int i = 0; i < operatorCount_; ++i) {
        AdvanceEnvelope(operators_[i]);
    }
    if (blockEnds && IsQuiet(loudestGainDb_)) {
        active_ = false;
        return true;
    }
    return false;
}

void Note::Render(float* left, float* right, int frames, const Lfo& lfo,
                  const NoteControls& controls) {
    Note* const note = this;
    const NoteControls* const noteControls = &controls;
    RenderTogether({&note, 1}, {&noteControls, 1}, left, right, frames, lfo);
}

// Each note keeps its own spans; the shared loop runs up to whichever span ends first. When a
// note stops, the others go on without it.
template <std::size_t Count>
void Note::RenderGroup(const std::array<Note*, Count>& notes, float* left, float* right, int frames,
                       int done) {
    WithAlgorithm(notes[0]->algorithm_, [&](auto algorithm) {
        while (done < frames) {
            int together = frames - done;
            for (Note* note : notes) {
                if (note->spanLeft_ == 0) {
                    note->spanLeft_ = note->BeginSpan(done, frames);
                }
                together = std::min(together, note->spanLeft_);
            }
            RenderFramesTogether<decltype(algorithm)::value>(notes, left + done, right + done,
                                                             together);
            done += together;
            const bool blockEnds = done % kBlockFrames == 0 || done == frames;
            std::array<Note*, Count> sounding;
            std::size_t soundingCount = 0;
            for (Note* note : notes) {
                note->spanLeft_ -= together;
                const bool stops = note->spanLeft_ == 0 && note->EndSpan(blockEnds);
                if (!stops) {
                    sounding[soundingCount++] = note;
                }
            }
            if (soundingCount < Count) {
                RenderSounding({sounding.data(), soundingCount}, left, right, frames, done);
                return;
            }
        }
    });
}

void Note::RenderSounding(std::span<Note* const> notes, float* left, float* right, int frames,
                          int done) {
    switch (notes.size()) {
        case 0:
            break;
        case 1:
            RenderGroup<1>({notes[0]}, left, right, frames, done);
            break;
        case 2:
            RenderGroup<2>({notes[0], notes[1]}, left, right, frames, done);
            break;
        case 3:
            RenderGroup<3>({notes[0], notes[1], notes[2]}, left, right, frames, done);
            break;
        default:
            RenderGroup<4>({notes[0], notes[1], notes[2], notes[3]}, left, right, frames, done);
            break;
    }
}

void Note::RenderTogether(std::span<Note* const> notes,
                          std::span<const NoteControls* const> controls, float* left, float* right,
                          int frames, const Lfo& lfo) {
    for (std::size_t n = 0; n < notes.size(); ++n) {
        notes[n]->BeginRender(lfo, *controls[n]);
    }
    RenderSounding(notes, left, right, frames, 0);
}

bool Note::IsQuiet(float outputAttenuationDb) const {
    for (int i = 0; i < operatorCount_; ++i) {
        const Operator& op = operators_[i];
        const bool heard =
            op.running.envelope.phase == EnvelopePhase::Attack ||
            op.running.envelope.db + op.running.blockLevelDb + outputAttenuationDb < kQuietDb;
        if (IsCarrier(i) && heard) {
            return false;
        }
    }
    return true;
}

float Note::attenuationDb() const {
    float quietest = kSilentDb;
    for (int i = 0; i < operatorCount_; ++i) {
        if (IsCarrier(i) && operators_[i].running.envelope.phase != EnvelopePhase::Attack) {
            quietest = std::min(quietest, operators_[i].running.envelope.db);
        } else if (IsCarrier(i)) {
            return 0.0f;
        }
    }
    return quietest;
}

}  // namespace rolvik::synth
