#include "MidiMessage.h"

#include "core/HandyPhoneVoice.h"
#include "core/SevenBitGroups.h"
#include "core/SmafExclusive.h"

namespace rolvik::synth {
namespace {

int ChannelMessageLength(std::uint8_t status) {
    switch (status & 0xF0) {
        case 0xC0:
        case 0xD0:
            return 2;
        default:
            return 3;
    }
}

std::optional<MidiMessage> ParseChannelMessage(Bytes message) {
    if (static_cast<int>(message.size()) != ChannelMessageLength(message[0])) {
        return std::nullopt;
    }
    MidiMessage parsed;
    parsed.type = MessageType::Channel;
    for (std::size_t i = 0; i < message.size(); ++i) {
        parsed.channelBytes[i] = message[i];
    }
    return parsed;
}

// Voice messages come packed in seven-bit groups (the program's own and those of MA-3 songs) or,
// in MA-5 songs, as plain bytes; the two differ in length for every kind of voice.
std::optional<VoiceParameters> ReadVoiceBody(std::uint8_t kind, Bytes body) {
    if (kind == 0x01) {
        if (body.size() == kPcmBytes) {
            return ReadPcmVoice(body);
        }
        return ReadPcmVoice(UnpackSevenBitGroups(body));
    }
    if (body.size() == kFmTwoOperatorBytes || body.size() == kFmFourOperatorBytes) {
        return ReadFmVoice(body);
    }
    return ReadFmVoice(UnpackSevenBitGroups(body));
}

// The body lies between F0 and F7. A voice message of a known kind whose parameters cannot be
// read is malformed; exclusives the engine does not know are accepted and ignored.
std::optional<MidiMessage> ParseExclusive(Bytes body) {
    MidiMessage parsed;
    parsed.type = MessageType::Ignored;
    // HandyPhone songs of the MA-1 and MA-2 write the FM registers of the chip directly.
    if (body.size() == 5 && body[0] == kYamahaId && body[1] == kHandyPhoneDeviceId &&
        body[2] == kRegisterWrite) {
        parsed.type = MessageType::RegisterWrite;
        parsed.address = body[3];
        parsed.value = body[4];
        return parsed;
    }
    if (const std::optional<HandyPhoneVoice> own = ReadHandyPhoneVoice(body)) {
        auto voice = ReadFmVoice(own->parameters);
        if (!voice) {
            return std::nullopt;
        }
        parsed.type = MessageType::DefineVoice;
        parsed.key = MakeVoiceKey(kMelodyBank, HandyPhoneBankLsb(own->bank), own->program, 0);
        parsed.voice = *voice;
        return parsed;
    }
    if (IsResetBody(body)) {
        parsed.type = MessageType::Reset;
        return parsed;
    }
    if (const std::optional<std::uint8_t> level = ReadMasterVolume(body)) {
        parsed.type = MessageType::MasterVolume;
        parsed.value = *level;
        return parsed;
    }
    constexpr std::size_t kVoiceHeadSize = kMemoryMessageHeadSize + kVoiceKeySize;
    const std::optional<MemoryMessage> message = ReadMemoryMessage(body);
    if (!message || body.size() < kVoiceHeadSize) {
        return parsed;
    }
    parsed.key = MakeVoiceKey(body[5], body[6], body[7], body[8]);
    if (message->kind == kVoiceErase && body.size() == kVoiceHeadSize) {
        parsed.type = MessageType::EraseVoice;
        return parsed;
    }
    if (message->kind != kVoiceDefinition || body.size() <= kVoiceHeadSize || body[9] > 0x01) {
        return parsed;
    }
    auto voice = ReadVoiceBody(body[9], body.subspan(10));
    if (!voice) {
        return std::nullopt;
    }
    parsed.type = MessageType::DefineVoice;
    parsed.voice = *voice;
    return parsed;
}

}  // namespace

std::optional<MidiMessage> ParseMidiMessage(Bytes message) {
    if (message.empty() || message[0] < 0x80) {
        return std::nullopt;
    }
    if (message[0] < 0xF0) {
        return ParseChannelMessage(message);
    }
    if (message[0] != 0xF0 || message.size() < 2 || message.back() != 0xF7) {
        return std::nullopt;
    }
    return ParseExclusive(message.subspan(1, message.size() - 2));
}

}  // namespace rolvik::synth
