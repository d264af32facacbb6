#include "MidiMessage.h"

namespace rolvik::synth {
namespace {

constexpr std::uint8_t kYamaha = 0x43;
constexpr std::uint8_t kSmafDevice = 0x79;
// HandyPhone songs of the MA-1 and MA-2 write the FM registers of the chip directly.
constexpr std::uint8_t kHandyPhoneDevice = 0x03;
constexpr std::uint8_t kRegisterWrite = 0x90;
// Chip models whose voice messages the engine reads: MA-3 and MA-5.
constexpr std::uint8_t kModelMa3 = 0x06;
constexpr std::uint8_t kModelMa5 = 0x07;

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
    if (body.size() == 5 && body[0] == kYamaha && body[1] == kHandyPhoneDevice &&
        body[2] == kRegisterWrite) {
        parsed.type = MessageType::RegisterWrite;
        parsed.address = body[3];
        parsed.value = body[4];
        return parsed;
    }
    if (body.size() < 5 || body[0] != kYamaha || body[1] != kSmafDevice) {
        return parsed;
    }
    if (body.size() == 5 && body[2] == 0x06 && body[3] == 0x7F && body[4] == 0x7F) {
        parsed.type = MessageType::Reset;
        return parsed;
    }
    if (body.size() == 6 && body[2] == 0x05 && body[3] == 0x7E && body[4] == 0x09) {
        parsed.type = MessageType::MasterVolume;
        parsed.value = body[5];
        return parsed;
    }
    const bool voiceModel = body[2] == kModelMa3 || body[2] == kModelMa5;
    if (!voiceModel || body[3] != 0x7F || body.size() < 9) {
        return parsed;
    }
    parsed.key = MakeVoiceKey(body[5], body[6], body[7], body[8]);
    if (body[4] == 0x02 && body.size() == 9) {
        parsed.type = MessageType::EraseVoice;
        return parsed;
    }
    if (body[4] != 0x01 || body.size() < 10 || body[9] > 0x01) {
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

ByteVector UnpackSevenBitGroups(Bytes packed) {
    ByteVector bytes;
    std::size_t i = 0;
    while (i < packed.size()) {
        const std::uint8_t flags = packed[i++];
        for (int k = 0; k < 7 && i < packed.size(); ++k, ++i) {
            const bool high = (flags & (0x40 >> k)) != 0;
            bytes.push_back(static_cast<std::uint8_t>(packed[i] | (high ? 0x80 : 0x00)));
        }
    }
    return bytes;
}

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
