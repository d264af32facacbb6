#pragma once

#include <cstdint>

#include "Envelope.h"
#include "EnvelopeRates.h"
#include "Lfo.h"
#include "Note.h"
#include "VoiceParameters.h"
#include "core/Wave.h"

namespace rolvik::synth {

// One sounding wave: resampled to the output rate with four-point interpolation, looped between
// its loop points or played once to its end, and shaped by an envelope that starts and stops it
// without a click.
class SampledNote {
  public:
    // A sampled voice playing `wave`: the voice's envelope, TL, LFO and loop points. The wave runs
    // at the voice's rate transposed by `semitones`.
    void StartVoice(const VoiceParameters& voice, const Wave& wave, float semitones, int channel,
                    int key, int velocity, std::uint64_t serial);
    // A wave that carries its own rate, played once from `startFrame` as it was recorded: no
    // envelope beyond a short fade in and out.
    void StartRecording(const Wave& wave, std::uint32_t startFrame, int channel, int key,
                        int velocity, std::uint64_t serial);
    void Release();
    // Fades the note out within kDampTimeMs, even one that ignores key-off.
    void Damp();
    void Kill() { active_ = false; }

    // Adds the note to the buffers for up to one block, with the LFO read at the block's start.
    void Render(float* left, float* right, int frames, const Lfo& lfo,
                const NoteControls& controls);

    bool active() const { return active_; }
    bool released() const { return released_; }
    int channel() const { return channel_; }
    int key() const { return key_; }
    std::uint64_t serial() const { return serial_; }
    // The envelope's attenuation in dB: how audible the note still is.
    float attenuationDb() const { return envelope_.db; }
    // Whether the panpot of the voice (0..31) or the channel's places the note.
    bool hasPanpot() const { return panpot_ >= 0; }
    int panpot() const { return panpot_; }

  private:
    // What stays the same through a block: the gain at its start and its change per frame, the
    // step through the wave and the channel's gains.
    struct Span {
        float gain;
        float gainStep;
        std::uint64_t step;
        float gainLeft;
        float gainRight;
    };

    void Begin(const Wave& wave, double waveFramesPerOutputFrame, int channel, int key,
               std::uint64_t serial);
    float NextEnvelopeDb(int frames);
    float At(std::int64_t frame, int side) const;
    float Interpolated(int side) const;
    bool Advance(std::uint64_t step);
    bool InsideTheWave(int frames, std::uint64_t step) const;
    void RenderInside(float* __restrict left, float* __restrict right, int frames, Span span);
    bool RenderAtTheEdges(float* left, float* right, int frames, Span span);

    const Wave* wave_ = nullptr;
    // Position in wave frames, 32.32 fixed point, and its step per output frame without vibrato.
    std::uint64_t position_ = 0;
    double baseStep_ = 0.0;
    std::int64_t loopStart_ = 0;
    std::int64_t end_ = 0;  // the first frame not played
    bool loops_ = false;
    // Envelope, in dB below full level.
    EnvelopeState envelope_{0.0f, EnvelopePhase::Attack};
    OperatorEnvelope rates_;
    bool ignoresKeyOff_ = false;
    float levelDb_ = 0.0f;  // TL and velocity
    float tremoloDepthDb_ = 0.0f;
    float vibratoDepthCents_ = 0.0f;
    int lfoRate_ = 0;
    bool followsPitch_ = false;  // pitch bend and modulation move it
    float gain_ = 0.0f;          // reached at the end of the last block
    int panpot_ = -1;
    int channel_ = 0;
    int key_ = 0;
    std::uint64_t serial_ = 0;
    bool active_ = false;
    bool released_ = false;
};

}  // namespace rolvik::synth
