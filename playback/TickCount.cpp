#include "TickCount.h"

#include <chrono>

namespace rolvik {

std::uint32_t TickCount() {
    const auto sinceEpoch = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(
        std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count());
}

}  // namespace rolvik
