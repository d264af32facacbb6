#pragma once

#include <optional>

#include "synth/OfflineRenderer.h"

namespace rolvik {

// How long a ringtone plays, as the user gives it: once as written, the introduction and then the
// loop `loops` times, or exactly `lengthSeconds` long; a fade of `fadeSeconds` at the end, or the
// default fade when it is not given.
struct RingtoneChoice {
    std::optional<int> loops;
    std::optional<double> lengthSeconds;
    std::optional<double> fadeSeconds;
};

// What the user may ask for.
inline constexpr int kMinRingtoneLoops = 1;
inline constexpr int kMaxRingtoneLoops = 10000;
inline constexpr double kMinRingtoneSeconds = 0.001;
inline constexpr double kMaxRingtoneSeconds = 3600;
inline constexpr double kMaxRingtoneFadeSeconds = 600;

// A ringtone of a given length fades out over its last seconds unless told otherwise; any other
// play ends without a fade.
double FadeSecondsOf(const RingtoneChoice& choice);

// Sets the render's loops, length and fade (seconds rounded to whole ms) from the choice.
void ApplyRingtoneChoice(const RingtoneChoice& choice, synth::RenderOptions& options);

}  // namespace rolvik
