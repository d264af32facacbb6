#pragma once

#include <cstdint>
#include <functional>

namespace rolvik {

// The millisecond tick count that MidiPlay runs against: monotonic, wrapping at 2^32 like every
// comparison made with it. Tests install their own clock.
using TickSource = std::function<std::uint32_t()>;

std::uint32_t TickCount();

// Installs a clock and returns the one it replaces; an empty one restores the steady clock.
TickSource SetTickSource(TickSource source);

}  // namespace rolvik
