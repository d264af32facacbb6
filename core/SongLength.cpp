#include "SongLength.h"

#include <algorithm>

namespace rolvik {

std::uint32_t SongLength(const Smaf& smaf) {
    std::uint64_t end = 0;
    for (const Event* event = smaf.events.get(); event; event = event->next.get()) {
        end = std::max<std::uint64_t>(end, std::uint64_t{event->time} + EventGate(*event));
    }
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(end, UINT32_MAX));
}

}  // namespace rolvik
