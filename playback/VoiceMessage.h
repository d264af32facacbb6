#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "Voice.h"
#include "core/Bytes.h"

namespace rolvik {

// The voice-definition exclusives that assign a voice to its bank, program and note: an 11-byte
// head, the parameter bytes in 7-bit groups, and F7.

// 32 bytes for a two-operator voice (algorithm 0 or 1), 48 for a four-operator one.
ByteVector BuildFmVoiceMessage(const Voice& voice);

// 31 bytes, kind 0x01.
ByteVector BuildPcmVoiceMessage(const Voice& voice);

// One operator of an FM voice as seven parameter bytes, before the message's 7-bit packing; the
// voice-set file keeps them the same way.
inline constexpr std::size_t kFmOperatorBytes = 7;
std::array<std::uint8_t, kFmOperatorBytes> FmOperatorBytes(const VoiceOperator& op);

}  // namespace rolvik
