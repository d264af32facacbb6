#pragma once

#include "EmulatorInterface.h"
#include "VoiceParameters.h"

namespace rolvik::synth {

// The output rate for the floating-point arithmetic of envelopes, LFO and phase steps.
constexpr double kSampleRateHz = kOutputSampleRateHz;
constexpr double kEnvelopeRangeDb = 96.0;  // a full swing of the envelope
// The attack approaches this far below full level, so that its curve is steep at the start and
// reaches 0 dB in the rate's time.
constexpr double kAttackShapeDb = 6.0;

// The effective rate 0..63 of an envelope parameter 0..15 for a note: 4 × parameter plus the
// key-scaling offset, which grows with the note's octave (fast with KSR, gently without).
// Parameter 0 gives 0: that phase never moves.
int EffectiveRate(int parameter, bool ksr, int note);

// Milliseconds for a full 96 dB swing at an effective rate; infinity for rates 0..3, which stop
// the envelope. The attack takes 0 ms from rate 60 on.
double AttackTimeMs(int rate);
double DecayTimeMs(int rate);

// After key-off, an operator with SUS set goes on decaying at this release rate (with its key
// scaling) whatever its RR, like a string under the sustain pedal; its sustain rate, often 0,
// would hold it for ever.
constexpr int kSustainedReleaseRate = 4;

// How long a stopped note takes to fade the full range: quick enough to be silent a few ms after
// a stop, slow enough not to click.
constexpr double kDampTimeMs = 10.0;

// The per-sample step in dB of an envelope phase that swings the full range in `timeMs`; 0 for
// one that never moves (infinite time).
float DbPerSample(double timeMs);

// The per-sample coefficient of the curved attack that takes `timeMs`: 1 for an instant attack,
// 0 for one that never moves.
float AttackCoefficient(double timeMs);

// An operator's envelope for a note: the curve of its attack, the dB per sample of its decay,
// sustain and release phases (the release at RR: SUS changes it at key-off) and the level at which
// its decay gives way to the sustain phase.
struct OperatorEnvelope {
    float attackCoefficient = 1.0f;
    float decayDbPerSample = 0.0f;
    float sustainRateDbPerSample = 0.0f;
    float releaseDbPerSample = 0.0f;
    float sustainLevelDb = 0.0f;
};
OperatorEnvelope EnvelopeOf(const OperatorParameters& op, int note);

// The release after key-off of an operator with SUS set, for a note.
float SustainedReleaseDbPerSample(bool ksr, int note);

// How far below full level a velocity 1..127 puts a note's sound (others are clamped to it).
float VelocityAttenuationDb(int velocity);

// The octave 0..7 of a note number (note 69, A4, is in octave 4).
int NoteOctave(int note);

}  // namespace rolvik::synth
