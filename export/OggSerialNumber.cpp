#include "OggSerialNumber.h"

#include <ogg/ogg.h>

#include <cstring>

namespace rolvik {
namespace {

constexpr std::size_t kHeaderBytes = 27;
constexpr std::size_t kSerialOffset = 14;
constexpr std::size_t kSegmentCountOffset = 26;

// The length of the page at `page`, or 0 when no whole page starts there.
std::size_t PageLength(std::span<std::uint8_t> page) {
    if (page.size() < kHeaderBytes || std::memcmp(page.data(), "OggS", 4) != 0) {
        return 0;
    }
    const std::size_t segments = page[kSegmentCountOffset];
    if (page.size() < kHeaderBytes + segments) {
        return 0;
    }
    std::size_t body = 0;
    for (std::size_t i = 0; i < segments; ++i) {
        body += page[kHeaderBytes + i];
    }
    const std::size_t length = kHeaderBytes + segments + body;
    return length <= page.size() ? length : 0;
}

}  // namespace

void SetOggSerialNumber(std::span<std::uint8_t> stream, std::uint32_t serial) {
    while (const std::size_t length = PageLength(stream)) {
        for (int i = 0; i < 4; ++i) {
            stream[kSerialOffset + i] = static_cast<std::uint8_t>(serial >> (8 * i));
        }
        const std::size_t headerLength = kHeaderBytes + stream[kSegmentCountOffset];
        ogg_page page{};
        page.header = stream.data();
        page.header_len = static_cast<long>(headerLength);
        page.body = stream.data() + headerLength;
        page.body_len = static_cast<long>(length - headerLength);
        ogg_page_checksum_set(&page);
        stream = stream.subspan(length);
    }
}

}  // namespace rolvik
