#include "RegisterPitch.h"

#include <cmath>

namespace rolvik {

std::optional<double> RegisterPitch(std::uint16_t fNumber, std::uint8_t block) {
    if (fNumber == 0) {
        return std::nullopt;
    }
    const double hz = fNumber * 49716.0 / std::exp2(20 - block);
    return 69.0 + 12.0 * std::log2(hz / 440.0);
}

}  // namespace rolvik
