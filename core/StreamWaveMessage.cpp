#include "StreamWaveMessage.h"

#include <algorithm>

#include "Event.h"
#include "SevenBitGroups.h"

namespace rolvik {
namespace {

constexpr std::uint8_t kHead[] = {kExclusive, 0x7D, 0x52, 0x56, 0x01};
constexpr std::size_t kHeadSize = sizeof(kHead);

}  // namespace

ByteVector MakeStreamWaveMessage(const StreamWaveChunk& wave) {
    ByteVector message(std::begin(kHead), std::end(kHead));
    ByteVector numbered{wave.number};
    numbered.insert(numbered.end(), wave.contents.begin(), wave.contents.end());
    const ByteVector packed = PackSevenBitGroups(numbered);
    message.insert(message.end(), packed.begin(), packed.end());
    message.push_back(kEndOfExclusive);
    return message;
}

bool ReadStreamWaveMessage(Bytes message, std::uint8_t& number, ByteVector& contents) {
    if (message.size() < kHeadSize + 1 ||
        !std::equal(std::begin(kHead), std::end(kHead), message.begin()) ||
        message.back() != kEndOfExclusive) {
        return false;
    }
    contents = UnpackSevenBitGroups(message.subspan(kHeadSize, message.size() - kHeadSize - 1));
    if (contents.empty()) {
        return false;
    }
    number = contents.front();
    contents.erase(contents.begin());
    return true;
}

}  // namespace rolvik
