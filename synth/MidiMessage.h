#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "VoiceKey.h"
#include "VoiceParameters.h"
#include "core/Bytes.h"

namespace rolvik::synth {

enum class MessageType : std::uint8_t {
    Channel,        // note, control change, program change, pitch bend, aftertouch
    Reset,          // F0 43 79 06 7F 7F F7
    MasterVolume,   // F0 43 79 05 7E 09 v F7
    DefineVoice,    // F0 43 79 mm 7F 01 msb lsb pc note kind ... F7, or F0 43 03 nn bank pc ... F7
    EraseVoice,     // F0 43 79 mm 7F 02 msb lsb pc note F7
    RegisterWrite,  // F0 43 03 90 address value F7: a write to an FM register of the older chips
    Ignored,        // any other well-formed exclusive
};

// One whole message, checked and decoded. Fixed in size so that it can travel through a
// lock-free queue to the audio thread.
struct MidiMessage {
    MessageType type = MessageType::Ignored;
    std::array<std::uint8_t, 3> channelBytes{};  // status and up to two data bytes
    std::uint8_t value = 0;                      // master volume, register value
    std::uint8_t address = 0;                    // register address
    VoiceKey key;
    VoiceParameters voice;
};

// Checks and decodes a message as the engine takes it: a channel message of exactly its length
// (2 or 3 bytes) or an exclusive from F0 to F7. Null when the message is malformed.
std::optional<MidiMessage> ParseMidiMessage(Bytes message);

}  // namespace rolvik::synth
