#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "Bytes.h"

namespace rolvik {

// The exclusives that songs, players and the engine exchange. Their body, the bytes between F0 and
// F7, begins with Yamaha's maker ID; the SMAF device's messages follow it with 79 and a chip model,
// the HandyPhone register writes of the MA-1 and MA-2 with 03 90.
inline constexpr std::uint8_t kYamahaId = 0x43;
inline constexpr std::uint8_t kSmafDeviceId = 0x79;
inline constexpr std::uint8_t kHandyPhoneDeviceId = 0x03;
inline constexpr std::uint8_t kRegisterWrite = 0x90;

// The chip models whose voice and wave memory the songs write.
inline constexpr std::uint8_t kModelMa3 = 0x06;
inline constexpr std::uint8_t kModelMa5 = 0x07;

// A message to that memory reads 43 79 model 7F kind, and the voice messages go on with the
// voice's bank select MSB, LSB, program and drum note.
inline constexpr std::uint8_t kMemoryMessage = 0x7F;
inline constexpr std::uint8_t kVoiceDefinition = 0x01;
inline constexpr std::uint8_t kVoiceErase = 0x02;
inline constexpr std::uint8_t kWaveRecord = 0x03;
inline constexpr std::uint8_t kReset = 0x7F;
inline constexpr std::size_t kMemoryMessageHeadSize = 5;
inline constexpr std::size_t kVoiceKeySize = 4;

// The exclusive that resets the synthesiser; the master volume is sent again right after it.
inline constexpr std::array<std::uint8_t, 7> kResetMessage = {
    0xF0, kYamahaId, kSmafDeviceId, kModelMa3, kMemoryMessage, kReset, 0xF7};

struct MemoryMessage {
    std::uint8_t model;
    std::uint8_t kind;
};

// The model and kind of a body that reads 43 79 model 7F kind for the MA-3 or the MA-5.
std::optional<MemoryMessage> ReadMemoryMessage(Bytes body);

// F0 43 79 model 7F kind: the start of a memory message, which the caller completes with F7.
ByteVector StartMemoryMessage(std::uint8_t model, std::uint8_t kind);

// F0 43 79 06 7F 02, the bank select MSB, LSB, program and note, F7: erases that voice.
ByteVector VoiceEraseMessage(Bytes voiceKey);

// Whether an exclusive of this body length (F7 counted) can be a voice definition. The lengths
// are those of the definitions in real songs: 18 and 28 for a HandyPhone song's two- and
// four-operator voices; for the MA-3, in seven-bit groups, 30 for a sampled voice and 31 and 47
// for two- and four-operator FM voices; for the MA-5, in plain bytes, 27 for a sampled voice and
// 28 and 42 for FM voices.
bool IsVoiceDefinitionLength(std::uint32_t length);

// Whether the body is the reset's.
bool IsResetBody(Bytes body);

// F0 43 79 05 7E 09 level F7: the master volume, the low 8 bits of the level.
ByteVector MasterVolumeMessage(int level);

// The level of a master-volume body; none for any other body.
std::optional<std::uint8_t> ReadMasterVolume(Bytes body);

// The body of an exclusive event as the list keeps it: the bytes behind its length number.
Bytes ExclusiveBody(Bytes data);

}  // namespace rolvik
