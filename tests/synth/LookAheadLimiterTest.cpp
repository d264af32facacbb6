#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "synth/LookAheadLimiter.h"

namespace rolvik::synth::test {
namespace {

constexpr int kLatency = LookAheadLimiter::kLatencyFrames;
const float kCeiling = std::pow(10.0f, -1.0f / 20.0f);

// A 440 Hz tone whose amplitude is `loud` from frame 2000 to 6000 and `quiet` elsewhere, on both
// sides, the right one inverted.
std::vector<float> Burst(float quiet, float loud) {
    std::vector<float> tone(60000);
    for (std::size_t i = 0; i < tone.size(); ++i) {
        const float amplitude = i >= 2000 && i < 6000 ? loud : quiet;
        tone[i] = amplitude * std::sin(2.0f * std::numbers::pi_v<float> * 440.0f * i / 48000.0f);
    }
    return tone;
}

struct Limited {
    std::vector<float> left;
    std::vector<float> right;
};

Limited Limit(const std::vector<float>& tone) {
    LookAheadLimiter limiter;
    Limited out{tone, tone};
    for (std::size_t i = 0; i < tone.size(); ++i) {
        out.right[i] = -out.right[i];
        limiter.Process(out.left[i], out.right[i]);
    }
    return out;
}

TEST(LookAheadLimiterTest, MusicBelowTheCeilingPassesUnchangedOnlyDelayed) {
    const std::vector<float> tone = Burst(0.3f, 0.88f);
    const Limited out = Limit(tone);
    for (std::size_t i = kLatency; i < tone.size(); ++i) {
        ASSERT_EQ(out.left[i], tone[i - kLatency]) << i;
        ASSERT_EQ(out.right[i], -tone[i - kLatency]) << i;
    }
}

TEST(LookAheadLimiterTest, LoudMusicIsTurnedDownAheadOfItsPeaksAndSmoothlyBack) {
    const std::vector<float> tone = Burst(0.3f, 4.0f);
    const Limited out = Limit(tone);
    float previousGain = 1.0f;
    std::size_t previousFrame = 0;
    for (std::size_t i = kLatency; i < tone.size(); ++i) {
        ASSERT_LE(std::fabs(out.left[i]), kCeiling) << i;
        ASSERT_EQ(out.right[i], -out.left[i]) << i;
        const float input = tone[i - kLatency];
        if (std::fabs(input) > 0.1f) {
            // The gain glides, by far less a frame than a waveshaper's would move.
            const float gain = out.left[i] / input;
            ASSERT_NEAR(gain, previousGain, 0.02f * static_cast<float>(i - previousFrame)) << i;
            previousGain = gain;
            previousFrame = i;
        }
    }
    // Close to the ceiling through the burst, and the quiet music back at its own level within a
    // second.
    float loudest = 0.0f;
    for (std::size_t i = 3000 + kLatency; i < 6000 + kLatency; ++i) {
        loudest = std::max(loudest, std::fabs(out.left[i]));
    }
    EXPECT_GT(loudest, 0.99f * kCeiling);
    for (std::size_t i = 54000; i < tone.size(); ++i) {
        ASSERT_EQ(out.left[i], tone[i - kLatency]) << i;
    }
}

}  // namespace
}  // namespace rolvik::synth::test
