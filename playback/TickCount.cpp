#include "TickCount.h"

#include <chrono>
#include <utility>

namespace rolvik {
namespace {

std::uint32_t SteadyClockMs() {
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count());
}

TickSource& CurrentSource() {
    static TickSource source = SteadyClockMs;
    return source;
}

}  // namespace

std::uint32_t TickCount() {
    return CurrentSource()();
}

TickSource SetTickSource(TickSource source) {
    if (!source) {
        source = SteadyClockMs;
    }
    return std::exchange(CurrentSource(), std::move(source));
}

}  // namespace rolvik
