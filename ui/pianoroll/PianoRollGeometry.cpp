#include "PianoRollGeometry.h"

namespace rolvik {

std::optional<int> KeyAtY(int y, int rowHeight, int v) {
    const int offset = v + y - kRulerHeight;
    if (offset < 0) {
        return std::nullopt;
    }
    const int key = kKeyCount - 1 - offset / rowHeight;
    if (key < 0 || key >= kKeyCount) {
        return std::nullopt;
    }
    return key;
}

}  // namespace rolvik
