#pragma once

#include <array>
#include <cstdint>

namespace rolvik::synth {

// Keeps a stereo signal at or below its ceiling by turning the gain of both sides down together
// before a peak arrives, rather than bending the peak itself: the signal runs through a delay of
// 1.5 ms while the gain sees it coming and glides down over that time, holds, and returns over
// about 85 ms once the peaks have passed. Music that stays below the ceiling passes unchanged,
// sample for sample, only delayed.
//
// The gain is kept in fixed point and moved by integer steps, so that the same input gives the
// same output however it is split into blocks, and so that a gain at rest is exactly one.
class LookAheadLimiter {
  public:
    static constexpr int kLookAheadFrames = 72;
    // Delay from a frame's input to its output.
    static constexpr int kLatencyFrames = kLookAheadFrames - 1;

    LookAheadLimiter();

    // Replaces one frame with the one kLatencyFrames before it, limited.
    void Process(float& left, float& right);

  private:
    using Gain = std::int64_t;

    // The smallest gain wanted over the last kLookAheadFrames frames.
    class WindowMinimum {
      public:
        Gain Next(Gain wanted);

      private:
        struct Entry {
            Gain gain;
            std::int64_t frame;
        };
        // Gains rising from the front, each the smallest of the window from its frame on.
        std::array<Entry, kLookAheadFrames> entries_{};
        int front_ = 0;
        int count_ = 0;
        std::int64_t frame_ = 0;
    };

    Gain Released(Gain held);

    std::array<float, kLookAheadFrames> delayedLeft_{};
    std::array<float, kLookAheadFrames> delayedRight_{};
    std::array<Gain, kLookAheadFrames> recentGains_{};
    int next_ = 0;
    WindowMinimum minimum_;
    Gain released_;
    Gain gainSum_;  // of recentGains_
};

}  // namespace rolvik::synth
