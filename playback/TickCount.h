#pragma once

#include <cstdint>
#include <functional>

namespace rolvik {

// A millisecond tick count as MidiPlay runs against it: monotonic, wrapping at 2^32 like every
// comparison made with it. Tests give the engine session a clock of their own.
using TickSource = std::function<std::uint32_t()>;

// The steady clock's milliseconds.
std::uint32_t TickCount();

}  // namespace rolvik
