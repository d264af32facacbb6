#pragma once

#include <string_view>

namespace rolvik {

// The General MIDI name of a melody program (0..127).
std::string_view GeneralMidiProgramName(int program);

}  // namespace rolvik
