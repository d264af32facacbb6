#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "Envelope.h"
#include "EnvelopeRates.h"
#include "FmAlgorithms.h"
#include "Lfo.h"
#include "VoiceParameters.h"

namespace rolvik::synth {

// What a note needs to know about its channel while it sounds.
struct NoteControls {
    float pitchBendSemitones = 0.0f;
    float modulationCents = 0.0f;  // extra vibrato from the modulation wheel
    float gainLeft = 0.0f;         // channel volume, expression, master volume and pan together
    float gainRight = 0.0f;
};

// One sounding note: a voice's operators with the values derived from the voice and the note
// computed once at key-on (and again when the pitch moves), and the running state the per-sample
// loop advances.
class Note {
  public:
    static constexpr int kAlgorithmCount = static_cast<int>(kFmAlgorithms.size());
    // The most notes that RenderTogether takes in one call.
    static constexpr int kMaxTogether = 4;

    // Starts the note. `key` is the note number the channel played (what a note-off names);
    // `pitch` is the pitch that sounds in semitones of MIDI note numbers (a drum voice's own key,
    // for instance, or a frequency between the notes).
    void Start(const VoiceParameters& voice, int channel, int key, float pitch, int velocity,
               std::uint64_t serial, const NoteControls& controls);
    // Key-off: every operator enters its release (at kSustainedReleaseRate with SUS), or ignores
    // the key-off with XOF.
    void Release();
    // Fades the note out within kDampTimeMs, whatever its envelope: what a stop does, to notes
    // that ignore key-off or release slowly as well.
    void Damp();
    // Silences the note at once.
    void Kill() { active_ = false; }
    void SetPitchBend(float semitones);
    // Moves the sounding pitch as Start's `pitch` names it; the envelope and levels stay.
    void SetPitch(float pitch);

    // Adds `frames` frames of this note to the buffers (see RenderTogether).
    void Render(float* left, float* right, int frames, const Lfo& lfo,
                const NoteControls& controls);
    // Renders up to kMaxTogether notes of the same algorithm exactly as Render would one after
    // the other, but in one loop: each note's feedback waits on its own previous sample, and
    // independent chains keep the processor busy where one leaves it waiting. `controls` holds
    // each note's controls in the same order. The LFO is read once, at the start, so a note that
    // follows it is rendered a block at a time; any other note may run for many blocks at once,
    // which saves the work of starting each block.
    static void RenderTogether(std::span<Note* const> notes,
                               std::span<const NoteControls* const> controls, float* left,
                               float* right, int frames, const Lfo& lfo);
    // Whether the LFO or the modulation wheel moves the note's pitch or level.
    bool FollowsLfo(const NoteControls& controls) const;

    bool active() const { return active_; }
    bool released() const { return released_; }
    // The wiring of the operators, 0..kAlgorithmCount - 1 (the last one for PCM voices).
    int algorithm() const { return algorithm_; }
    int operatorCount() const { return operatorCount_; }
    int channel() const { return channel_; }
    int key() const { return key_; }
    std::uint64_t serial() const { return serial_; }
    // The loudest carrier's envelope attenuation in dB: how audible the note still is.
    float attenuationDb() const;

  private:
    struct Operator {
        // Derived from the voice and the note at key-on; the pitch's step again when the pitch
        // moves, and the release rate again at key-off and by a damp.
        struct Derived {
            std::uint32_t baseStep = 0;  // phase increment per sample, 2^32 per cycle
            float levelDb = 0.0f;        // TL, KSL and, on carriers, velocity
            OperatorEnvelope envelope;
            // Waveform index steps per unit of output; always a power of two (or 0), so scaling
            // by it is exact and may happen before the outputs are summed.
            float feedbackIndexScale = 0.0f;
            float tremoloDepthDb = 0.0f;
            float vibratoDepthCents = 0.0f;
            const float* wave = nullptr;
        };
        // What the rendering advances.
        struct Running {
            std::uint32_t phase = 0;
            std::uint32_t step = 0;     // baseStep with vibrato, set per block
            float blockLevelDb = 0.0f;  // levelDb with tremolo, set per block
            EnvelopeState envelope{0.0f, EnvelopePhase::Off};
            float gain = 0.0f;        // of the next sample: envelope and block level together
            float gainStep = 1.0f;    // ratio of one sample's gain to the previous one's
            float gainStepDb = 0.0f;  // gainStep in dB, kept to skip recomputing an unchanged slope
            float spanEndDb = 0.0f;   // where the envelope stands at the end of the current span
            // The last two outputs, scaled by feedbackIndexScale; their sum is the feedback.
            float feedbackSteps[2] = {0.0f, 0.0f};
        };

        Derived derived;
        Running running;
    };

    // An operator's running values for one span, copied into locals so that the compiler keeps
    // them in registers instead of storing them to the note on every sample.
    struct Oscillator {
        std::uint32_t phase;
        std::uint32_t step;
        float gain;
        float gainStep;
        float feedbackIndexScale;
        float feedbackSteps[2];
        const float* wave;

        static Oscillator Of(const Operator& op, float outputScale);
        void StoreInto(Operator& op, float outputScale) const;
        float NextAt(unsigned indexOffset);
        float Next(float modulationSteps);
        float NextWithFeedback();
    };

    Operator::Derived DeriveOperator(int index, int velocity) const;
    void UpdatePitch();
    static int SamplesInPhase(const Operator& op);
    static void AdvanceEnvelope(Operator& op);
    static void PrepareGain(Operator& op, int samples);
    template <int Algorithm>
    static float ComputeSample(Oscillator* op);
    template <int Algorithm>
    auto LoadOscillators() const;
    template <int Algorithm, std::size_t Operators>
    void StoreOscillators(const std::array<Oscillator, Operators>& oscillators);
    template <int Algorithm, std::size_t Count>
    static void RenderFramesTogether(const std::array<Note*, Count>& notes, float* __restrict left,
                                     float* __restrict right, int frames);
    template <std::size_t Count>
    static void RenderGroup(const std::array<Note*, Count>& notes, float* left, float* right,
                            int frames, int done);
    static void RenderSounding(std::span<Note* const> notes, float* left, float* right, int frames,
                               int done);
    void BeginRender(const Lfo& lfo, const NoteControls& controls);
    int SamplesUntilQuiet() const;
    int BeginSpan(int done, int frames);
    bool EndSpan(bool blockEnds);
    bool IsCarrier(int index) const;
    bool IsQuiet(float outputAttenuationDb) const;

    VoiceParameters voice_;
    std::array<Operator, 4> operators_{};
    int operatorCount_ = 0;
    int algorithm_ = 0;
    int channel_ = 0;
    int key_ = 0;
    float pitch_ = 0.0f;  // in semitones, the voice's basic octave applied
    int pitchNote_ = 0;   // the nearest note, which the key scaling of rates and levels follows
    float pitchBendSemitones_ = 0.0f;
    float gainLeft_ = 0.0f;  // of the current block, with the note scale
    float gainRight_ = 0.0f;
    float loudestGain_ = 0.0f;  // the larger of the two, and its attenuation in dB
    float loudestGainDb_ = static_cast<float>(kEnvelopeRangeDb);
    std::uint64_t serial_ = 0;
    int spanLeft_ = 0;  // frames left in the current span; 0 between renders
    bool active_ = false;
    bool released_ = false;
};

}  // namespace rolvik::synth
