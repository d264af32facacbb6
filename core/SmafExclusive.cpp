#include "SmafExclusive.h"

#include <algorithm>

#include "Number.h"

namespace rolvik {
namespace {

constexpr std::array<std::uint8_t, 5> kMasterVolumeHead = {kYamahaId, kSmafDeviceId, 0x05, 0x7E,
                                                           0x09};

bool BeginsWith(Bytes body, Bytes head) {
    return body.size() >= head.size() && std::equal(head.begin(), head.end(), body.begin());
}

}  // namespace

std::optional<MemoryMessage> ReadMemoryMessage(Bytes body) {
    if (body.size() < kMemoryMessageHeadSize || body[0] != kYamahaId || body[1] != kSmafDeviceId ||
        (body[2] != kModelMa3 && body[2] != kModelMa5) || body[3] != kMemoryMessage) {
        return std::nullopt;
    }
    return MemoryMessage{body[2], body[4]};
}

ByteVector StartMemoryMessage(std::uint8_t model, std::uint8_t kind) {
    return {0xF0, kYamahaId, kSmafDeviceId, model, kMemoryMessage, kind};
}

ByteVector VoiceEraseMessage(Bytes voiceKey) {
    ByteVector message = StartMemoryMessage(kModelMa3, kVoiceErase);
    message.insert(message.end(), voiceKey.begin(), voiceKey.end());
    message.push_back(0xF7);
    return message;
}

bool IsVoiceDefinitionLength(std::uint32_t length) {
    constexpr std::array<std::uint32_t, 7> kLengths = {18, 27, 28, 30, 31, 42, 47};
    return std::find(kLengths.begin(), kLengths.end(), length) != kLengths.end();
}

bool IsResetBody(Bytes body) {
    const Bytes reset = Bytes(kResetMessage).subspan(1, kResetMessage.size() - 2);
    return body.size() == reset.size() && BeginsWith(body, reset);
}

ByteVector MasterVolumeMessage(int level) {
    ByteVector message{0xF0};
    message.insert(message.end(), kMasterVolumeHead.begin(), kMasterVolumeHead.end());
    message.push_back(static_cast<std::uint8_t>(level));
    message.push_back(0xF7);
    return message;
}

std::optional<std::uint8_t> ReadMasterVolume(Bytes body) {
    if (body.size() != kMasterVolumeHead.size() + 1 || !BeginsWith(body, kMasterVolumeHead)) {
        return std::nullopt;
    }
    return body.back();
}

Bytes ExclusiveBody(Bytes data) {
    return data.subspan(NumberLength(data));
}

}  // namespace rolvik
