#pragma once

#include <cstdint>
#include <string>

#include "playback/PlaybackController.h"

namespace rolvik {

// The main window's title: "Rolvik" without a document, else the play position in ms with the
// player that runs; during EmuPlay also the emulated LED (bit 0 of deviceInfo) and vibrator (bit
// 1).
std::string WindowTitle(bool documentOpen, PlayState state, std::uint32_t playPositionMs,
                        int deviceInfo);

}  // namespace rolvik
