#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "Voice.h"
#include "core/Bytes.h"

namespace rolvik {

// The voice-set file read at start-up; the file is optional and the program runs without it.
inline constexpr const char* kVoiceSetFileName = "DefMA3_16.vm3";

// The voices read so far, in file order.
class VoiceSet {
  public:
    const std::vector<Voice>& voiceTable() const { return voiceTable_; }
    std::uint32_t voiceCount() const { return static_cast<std::uint32_t>(voiceTable_.size()); }

    // Reads the FMM3 voice-set file and appends its voices. Every failure shows its message and
    // keeps the voices read before it.
    void LoadVoiceSet(const std::filesystem::path& path);

    // Appends the voices of an FMM3 file image; shows "This is not FMM3" for another file. A
    // record that does not fit in the bytes ends the reading.
    void LoadVoiceSetBytes(Bytes file);

    void FreeVoiceTable() { voiceTable_ = {}; }

  private:
    std::vector<Voice> voiceTable_;
};

}  // namespace rolvik
