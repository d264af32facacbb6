#pragma once

#include <cstdint>
#include <optional>

#include "EngineCore.h"
#include "Song.h"

namespace rolvik::synth {

struct RenderOptions {
    std::uint32_t fromMs = 0;           // ms from the beginning of the sequence
    std::optional<std::uint32_t> toMs;  // where to stop; the song's end when not given
    int volume = 127;
    int tempo = kWrittenTempo;
    int keyPitch = 0;
    // How long released notes may ring on at the end; those still sounding then fade out over
    // its last few ms.
    std::uint32_t maxTailMs = 3000;
    // A ringtone as a phone plays it, from the song's first event (fromMs and toMs do not apply):
    // the introduction up to the start point once, then the loop from the start point to the stop
    // point `loops` times. With a fade the song plays on into the next pass for fadeMs while it
    // fades out; without one it ends with the last loop and its notes' release.
    std::optional<int> loops;
    // Or exactly this long, looping as often as needed, the last fadeMs fading out.
    std::optional<std::uint32_t> lengthMs;
    std::uint32_t fadeMs = 0;
};

// Plays a song in sequencer use as fast as it can be computed, sample-accurate and
// deterministic: the same song and options always give the same samples.
class OfflineRenderer {
  public:
    OfflineRenderer(const Song& song, const RenderOptions& options);

    // Renders up to `frames` frames; returns how many were rendered, 0 once the song and its
    // tail are over.
    int Render(float* left, float* right, int frames);

    std::uint32_t positionMs() const { return core_.sequencer().positionMs(); }
    bool songEnded() const { return stopped_; }

  private:
    void PlanRingtone(const Song& song);
    int RenderRingtone(float* left, float* right, int frames);
    void FadeOut(float* left, float* right, int frames) const;
    std::int64_t FramesOfSongMs(std::uint64_t songMs) const;

    EngineCore core_;
    RenderOptions options_;
    bool stopped_ = false;
    bool damped_ = false;
    std::int64_t tailFrames_ = 0;
    // A ringtone: where it ends (or, without a fade after loops, where its last loop ends and the
    // release begins), and how many frames are done.
    std::optional<std::int64_t> endFrame_;
    std::optional<std::int64_t> finishFrame_;
    std::int64_t fadeFrames_ = 0;
    std::int64_t renderedFrames_ = 0;
};

}  // namespace rolvik::synth
