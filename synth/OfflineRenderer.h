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
    EngineCore core_;
    RenderOptions options_;
    bool stopped_ = false;
    bool damped_ = false;
    std::int64_t tailFrames_ = 0;
};

}  // namespace rolvik::synth
