#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "Voice.h"
#include "core/Bytes.h"

namespace rolvik {

// The voice-set file read at start-up; the file is optional and the program runs without it.
inline constexpr const char* kVoiceSetFileName = "DefMA3_16.vm3";

// The voices read so far, in file order. It lives from start-up until the main window goes.
extern std::vector<Voice> voiceTable;
std::uint32_t voiceCount();

// Reads the FMM3 voice-set file and appends its voices to voiceTable. Every failure shows its
// message and keeps the voices read before it.
void LoadVoiceSet(const std::filesystem::path& path);

// Appends the voices of an FMM3 file image; shows "This is not FMM3" for another file. A record
// that does not fit in the bytes ends the reading.
void LoadVoiceSetBytes(Bytes file);

void FreeVoiceTable();

}  // namespace rolvik
