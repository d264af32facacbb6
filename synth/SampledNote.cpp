#include "SampledNote.h"

#include <algorithm>
#include <cmath>

#include "Envelope.h"
#include "EnvelopeRates.h"

namespace rolvik::synth {
namespace {

constexpr double kFixedPointOne = 4294967296.0;
// A full-scale wave sounds about as loud as an FM carrier at full level.
constexpr float kWaveScale = 0.4f / 32768.0f;
// A recording fades out over this long when its time is up.
constexpr double kRecordingReleaseMs = 8.0;
// A wave played once fades out over its last this many output frames, so that a wave that does
// not end at zero stops without a click.
constexpr double kEndFadeFrames = 48.0;
// A loop this short or shorter would hold one value; such a voice plays once instead.
constexpr std::int64_t kShortestLoopFrames = 2;

// Taken once a block; an FM note's gain (exp2, every span) rounds differently in the last bit.
float GainOfDb(float db) {
    return std::pow(10.0f, db / -20.0f);
}

// Four-point, third-order Hermite interpolation at `t` (0..1) between y1 and y2.
float Hermite(float y0, float y1, float y2, float y3, float t) {
    const float c1 = 0.5f * (y2 - y0);
    const float c2 = y0 - 2.5f * y1 + 2.0f * y2 - 0.5f * y3;
    const float c3 = 0.5f * (y3 - y0) + 1.5f * (y1 - y2);
    return ((c3 * t + c2) * t + c1) * t + y1;
}

}  // namespace

void SampledNote::Begin(const Wave& wave, double waveFramesPerOutputFrame, int channel, int key,
                        std::uint64_t serial) {
    wave_ = &wave;
    baseStep_ = waveFramesPerOutputFrame * kFixedPointOne;
    position_ = 0;
    loopStart_ = 0;
    end_ = static_cast<std::int64_t>(wave.frames());
    loops_ = false;
    envelope_ = {kSilentDb, EnvelopePhase::Attack};
    gain_ = 0.0f;
    channel_ = channel;
    key_ = key;
    serial_ = serial;
    active_ = end_ > 0;
    released_ = false;
}

void SampledNote::StartVoice(const VoiceParameters& voice, const Wave& wave, float semitones,
                             int channel, int key, int velocity, std::uint64_t serial) {
    const PcmVoiceWave& reference = voice.pcmWave;
    Begin(wave, reference.rateHz / kSampleRateHz * std::exp2(semitones / 12.0), channel, key,
          serial);
    end_ = std::min<std::int64_t>(end_, reference.endPoint);
    loopStart_ = reference.loopStart;
    loops_ = loopStart_ + kShortestLoopFrames < end_;
    active_ = end_ > 0;

    const OperatorParameters& op = voice.operators[0];
    const int note = std::clamp(key, 0, 127);
    rates_ = EnvelopeOf(op, note);
    if (op.sus()) {
        rates_.releaseDbPerSample = SustainedReleaseDbPerSample(op.ksr(), note);
    }
    ignoresKeyOff_ = op.xof();
    levelDb_ = op.tl() * 0.75f + VelocityAttenuationDb(velocity);
    tremoloDepthDb_ = op.eam() ? kTremoloDepthsDb[op.dam()] : 0.0f;
    vibratoDepthCents_ = op.evb() ? kVibratoDepthsCents[op.dvb()] : 0.0f;
    lfoRate_ = voice.lfoRate();
    followsPitch_ = true;
    panpot_ = voice.panpotEnabled() ? voice.panpot() : -1;
}

void SampledNote::StartRecording(const Wave& wave, std::uint32_t startFrame, int channel, int key,
                                 int velocity, std::uint64_t serial) {
    Begin(wave, wave.rateHz / kSampleRateHz, channel, key, serial);
    position_ = static_cast<std::uint64_t>(startFrame) << 32;
    active_ = startFrame < end_;
    rates_ = OperatorEnvelope{};
    rates_.releaseDbPerSample = DbPerSample(kRecordingReleaseMs);
    ignoresKeyOff_ = false;
    levelDb_ = VelocityAttenuationDb(velocity);
    tremoloDepthDb_ = 0.0f;
    vibratoDepthCents_ = 0.0f;
    lfoRate_ = 0;
    followsPitch_ = false;
    panpot_ = -1;
}

void SampledNote::Release() {
    if (released_) {
        return;
    }
    released_ = true;
    if (!ignoresKeyOff_) {
        envelope_.phase = EnvelopePhase::Release;
    }
}

void SampledNote::Damp() {
    released_ = true;
    envelope_.phase = EnvelopePhase::Release;
    rates_.releaseDbPerSample = std::max(rates_.releaseDbPerSample, DbPerSample(kDampTimeMs));
}

// Moves the envelope on by `frames` and returns where it stands then. The envelope moves a block
// at a time and ends at most one phase in a block, so after an attack that reaches a sustain level
// of 0 dB the decay still takes the next block. Its attack's curve is computed in double: once a
// block, not every few samples as for an FM operator.
float SampledNote::NextEnvelopeDb(int frames) {
    envelope_.db = envelope_.After<double>(rates_, frames);
    envelope_.EndPhaseIfReached(rates_);
    return envelope_.db;
}

// A frame of one side of the wave as the playback sees it: the loop repeats behind its end, and
// a wave played once is silent before its start and after its end.
float SampledNote::At(std::int64_t frame, int side) const {
    if (frame >= end_) {
        if (!loops_) {
            return 0.0f;
        }
        const std::int64_t loopLength = end_ - loopStart_;
        do {
            frame -= loopLength;
        } while (frame >= end_);
    }
    if (frame < 0) {
        return 0.0f;
    }
    return wave_->samples[static_cast<std::size_t>(frame) * wave_->channels + side];
}

float SampledNote::Interpolated(int side) const {
    const auto frame = static_cast<std::int64_t>(position_ >> 32);
    const float t = static_cast<float>(position_ & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
    return Hermite(At(frame - 1, side), At(frame, side), At(frame + 1, side), At(frame + 2, side),
                   t);
}

// False when a wave played once has run out.
bool SampledNote::Advance(std::uint64_t step) {
    position_ += step;
    if (static_cast<std::int64_t>(position_ >> 32) < end_) {
        return true;
    }
    if (!loops_) {
        return false;
    }
    const std::uint64_t loopLength = static_cast<std::uint64_t>(end_ - loopStart_) << 32;
    const std::uint64_t endPosition = static_cast<std::uint64_t>(end_) << 32;
    do {
        position_ -= loopLength;
    } while (position_ >= endPosition);
    return true;
}

void SampledNote::Render(float* left, float* right, int frames, const Lfo& lfo,
                         const NoteControls& controls) {
    const Lfo::Values modulation = lfo.Read(lfoRate_);
    float pitchCents = vibratoDepthCents_ * modulation.vibrato;
    if (followsPitch_) {
        pitchCents +=
            controls.pitchBendSemitones * 100.0f + controls.modulationCents * modulation.vibrato;
    }
    const auto step = static_cast<std::uint64_t>(baseStep_ * std::exp2(pitchCents / 1200.0f));
    const float endDb = NextEnvelopeDb(frames);
    const float endGain =
        GainOfDb(endDb + levelDb_ + tremoloDepthDb_ * modulation.tremolo) * kWaveScale;
    Span span{gain_, (endGain - gain_) / frames, step, controls.gainLeft, controls.gainRight};
    if (InsideTheWave(frames, step)) {
        RenderInside(left, right, frames, span);
    } else if (!RenderAtTheEdges(left, right, frames, span)) {
        active_ = false;
        return;
    }
    gain_ = endGain;
    const bool fading =
        envelope_.phase == EnvelopePhase::Release || envelope_.phase == EnvelopePhase::Sustain;
    if (fading && endDb + levelDb_ >= kQuietDb) {
        active_ = false;
    }
}

// Whether the whole block reads frames of the wave itself: no loop turn, no edge, no fade.
bool SampledNote::InsideTheWave(int frames, std::uint64_t step) const {
    const auto first = static_cast<std::int64_t>(position_ >> 32);
    const auto last = static_cast<std::int64_t>((position_ + step * frames) >> 32);
    const auto fadeFrames =
        loops_ ? 0 : static_cast<std::int64_t>((kEndFadeFrames * step) / kFixedPointOne) + 1;
    return first >= 1 && last + 2 + fadeFrames < end_;
}

void SampledNote::RenderInside(float* __restrict left, float* __restrict right, int frames,
                               Span span) {
    const std::int16_t* samples = wave_->samples.data();
    const int channels = wave_->channels;
    const bool stereo = channels == 2;
    std::uint64_t position = position_;
    float gain = span.gain;
    for (int i = 0; i < frames; ++i) {
        gain += span.gainStep;
        const std::int16_t* at = samples + ((position >> 32) - 1) * channels;
        const float t = static_cast<float>(position & 0xFFFFFFFFu) * (1.0f / 4294967296.0f);
        const float first = Hermite(at[0], at[channels], at[2 * channels], at[3 * channels], t);
        const float second =
            stereo ? Hermite(at[1], at[channels + 1], at[2 * channels + 1], at[3 * channels + 1], t)
                   : first;
        left[i] += first * gain * span.gainLeft;
        right[i] += second * gain * span.gainRight;
        position += span.step;
    }
    position_ = position;
}

// The careful way through a block: loop turns, the wave's edges and the fade of a wave played
// once. False when such a wave has run out.
bool SampledNote::RenderAtTheEdges(float* left, float* right, int frames, Span span) {
    const bool stereo = wave_->channels == 2;
    const double endPosition = static_cast<double>(static_cast<std::uint64_t>(end_) << 32);
    const double fadePerPosition = 1.0 / (kEndFadeFrames * static_cast<double>(span.step));
    float gain = span.gain;
    for (int i = 0; i < frames; ++i) {
        gain += span.gainStep;
        const float endFade =
            loops_ ? 1.0f
                   : static_cast<float>(std::min(
                         1.0, (endPosition - static_cast<double>(position_)) * fadePerPosition));
        const float first = Interpolated(0) * gain * endFade;
        const float second = stereo ? Interpolated(1) * gain * endFade : first;
        left[i] += first * span.gainLeft;
        right[i] += second * span.gainRight;
        if (!Advance(span.step)) {
            return false;
        }
    }
    return true;
}

}  // namespace rolvik::synth
