#pragma once

#include <stdexcept>
#include <string>

namespace rolvik {

// Why a MIDI file cannot be imported, in words for the user. Thrown where the fault is found and
// turned into a message at the edge of the import, which then makes no document.
class MidiFileError : public std::runtime_error {
  public:
    explicit MidiFileError(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace rolvik
