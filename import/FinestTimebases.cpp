#include "FinestTimebases.h"

#include <algorithm>
#include <array>

namespace rolvik {
namespace {

// The largest value of a variable-length number of at most four bytes.
constexpr std::uint32_t kMaxTicks = 0x0FFFFFFF;

constexpr std::array<std::uint32_t, 8> kTimebasesMs{1, 2, 4, 5, 10, 20, 40, 50};

std::uint32_t FinestFor(std::uint32_t longestMs) {
    for (std::uint32_t timebase : kTimebasesMs) {
        if (longestMs / timebase <= kMaxTicks) {
            return timebase;
        }
    }
    return kTimebasesMs.back();
}

}  // namespace

void ChooseFinestTimebases(Smaf& smaf) {
    std::uint32_t longestDuration = 0;
    std::uint32_t longestGate = 0;
    std::uint32_t previousTime = 0;
    for (const Event* event = smaf.events.get(); event; event = event->next.get()) {
        longestDuration = std::max(longestDuration, event->time - previousTime);
        longestGate = std::max(longestGate, EventGate(*event));
        previousTime = event->time;
    }
    smaf.durationBase = FinestFor(longestDuration);
    smaf.gateBase = FinestFor(longestGate);
}

}  // namespace rolvik
