#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace rolvik {

// Resets the synthesiser, sends the master volume and assigns every voice of the voice table:
// melody voices of bank 124/0 to the banks 124/0 to 124/9, drum voices of bank 125/0 to the
// programs 0 and 2 to 9, every other voice once where it is stored.
void PresetVoices();

// Sends the voice message of one voice-table entry, with its bank LSB or program replaced in the
// message when given. A refused message is reported and the caller goes on.
void AssignVoice(std::size_t index, std::optional<std::uint8_t> bankLsb,
                 std::optional<std::uint8_t> program);

}  // namespace rolvik
