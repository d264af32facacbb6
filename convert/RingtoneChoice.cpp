#include "RingtoneChoice.h"

#include <cmath>

namespace rolvik {
namespace {

constexpr double kDefaultLengthFadeSeconds = 3;

std::uint32_t Milliseconds(double seconds) {
    return static_cast<std::uint32_t>(std::llround(seconds * 1000));
}

}  // namespace

double FadeSecondsOf(const RingtoneChoice& choice) {
    if (choice.fadeSeconds) {
        return *choice.fadeSeconds;
    }
    return choice.lengthSeconds ? kDefaultLengthFadeSeconds : 0;
}

void ApplyRingtoneChoice(const RingtoneChoice& choice, synth::RenderOptions& options) {
    if (choice.loops) {
        options.loops = choice.loops;
    }
    if (choice.lengthSeconds) {
        options.lengthMs = Milliseconds(*choice.lengthSeconds);
    }
    options.fadeMs = Milliseconds(FadeSecondsOf(choice));
}

}  // namespace rolvik
