#pragma once

#include <cstdint>
#include <optional>

namespace rolvik {

// The mapping between client pixels and (time, key) that painting and the mouse share. h and v are
// the horizontal and vertical scroll positions in pixels.

inline constexpr int kRulerHeight = 12;  // the time ruler covers y 0 to 11
inline constexpr int kKeyCount = 128;

// The time in ms under client x (x already made non-negative by the caller).
inline std::uint32_t TimeAtX(int h, int x, int widthDivider) {
    return static_cast<std::uint32_t>(h + x) * static_cast<std::uint32_t>(widthDivider);
}

// The client x of time t: the unsigned time divided, truncating, then shifted by the scroll.
inline std::int64_t XOfTime(std::uint32_t timeMs, int widthDivider, int h) {
    return static_cast<std::int64_t>(timeMs / static_cast<std::uint32_t>(widthDivider)) - h;
}

// The first client y of key k's row; the row ends (excluded) one rowHeight further down.
inline int RowTop(int key, int rowHeight, int v) {
    return rowHeight * (kKeyCount - 1 - key) - v + kRulerHeight;
}

inline int RowBottom(int key, int rowHeight, int v) {
    return RowTop(key, rowHeight, v) + rowHeight;
}

// The key under a client y of 12 or more, or nothing when y lies below key 0 or above key 127.
std::optional<int> KeyAtY(int y, int rowHeight, int v);

}  // namespace rolvik
