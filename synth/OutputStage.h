#pragma once

#include <array>

#include "LookAheadLimiter.h"

namespace rolvik::synth {

// What stands between the mixed notes and the speaker, as on a phone: a high-pass below the
// audible range that blocks the constant offset half-wave operator waveforms, feedback and sampled
// waves carry (a coupling capacitor's work), then a limiter that turns music that is itself too
// loud down just enough, ahead of its peaks, and leaves the rest at the level the song sets.
// Offset removed first, the limiter spends its headroom on the music alone.
class OutputStage {
  public:
    // Filters and limits the stereo mix in place, LookAheadLimiter::kLatencyFrames late; the
    // result lies within -1..1.
    void Process(float* left, float* right, int frames);

  private:
    // Two one-pole high-pass sections in a row. Together they leave no net area under the
    // response to a step of offset, so a bass note that strikes an offset does not lift the mean
    // of the music around it; one section alone would let it linger.
    class DcBlocker {
      public:
        float Next(float input);

      private:
        struct Section {
            double input = 0.0;
            double output = 0.0;
        };
        std::array<Section, 2> sections_{};
    };

    DcBlocker left_;
    DcBlocker right_;
    LookAheadLimiter limiter_;
};

}  // namespace rolvik::synth
