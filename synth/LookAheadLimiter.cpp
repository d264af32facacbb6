#include "LookAheadLimiter.h"

#include <algorithm>
#include <cmath>

namespace rolvik::synth {
namespace {

// The gain of one in fixed point.
constexpr std::int64_t kUnity = std::int64_t{1} << 24;
// 1 dB under full scale, so that rounding to 16 bits on the way out cannot reach it.
const double kCeiling = std::pow(10.0, -1.0 / 20.0);
// The gain returns by 1/4096 of its distance each frame: a time constant of about 85 ms, slow
// enough not to move at the pitch of the music.
constexpr int kReleaseShift = 12;

}  // namespace

LookAheadLimiter::LookAheadLimiter() : released_(kUnity), gainSum_(kUnity * kLookAheadFrames) {
    recentGains_.fill(kUnity);
}

LookAheadLimiter::Gain LookAheadLimiter::WindowMinimum::Next(Gain wanted) {
    if (count_ > 0 && entries_[front_].frame <= frame_ - kLookAheadFrames) {
        front_ = (front_ + 1) % kLookAheadFrames;
        --count_;
    }
    // A gain behind which a smaller one arrives can never be the smallest again.
    while (count_ > 0 && entries_[(front_ + count_ - 1) % kLookAheadFrames].gain >= wanted) {
        --count_;
    }
    entries_[(front_ + count_) % kLookAheadFrames] = {wanted, frame_};
    ++count_;
    ++frame_;
    return entries_[front_].gain;
}

// Falls at once to a smaller gain and climbs back towards a larger one, never past it.
LookAheadLimiter::Gain LookAheadLimiter::Released(Gain held) {
    if (held <= released_) {
        released_ = held;
    } else {
        released_ += (held - released_ + (Gain{1} << kReleaseShift) - 1) >> kReleaseShift;
    }
    return released_;
}

// Every gain in the averaging window was chosen while the frame now leaving was in view, so
// none is above what that frame needs, and neither is their mean.
void LookAheadLimiter::Process(float& left, float& right) {
    const double peak = std::max(std::fabs(left), std::fabs(right));
    const Gain wanted =
        peak > kCeiling ? static_cast<Gain>(kCeiling / peak * static_cast<double>(kUnity)) : kUnity;
    const Gain released = Released(minimum_.Next(wanted));
    gainSum_ += released - recentGains_[next_];
    recentGains_[next_] = released;
    delayedLeft_[next_] = left;
    delayedRight_[next_] = right;
    next_ = (next_ + 1) % kLookAheadFrames;
    const double gain =
        static_cast<double>(gainSum_) / static_cast<double>(kUnity * kLookAheadFrames);
    left = static_cast<float>(delayedLeft_[next_] * gain);
    right = static_cast<float>(delayedRight_[next_] * gain);
}

}  // namespace rolvik::synth
