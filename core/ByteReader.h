#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "Bytes.h"

namespace rolvik {

// A cursor over bytes that cannot overrun: every read either yields what it asked for or reports
// "not there" and leaves the cursor where it was.
class ByteReader {
  public:
    ByteReader() = default;
    explicit ByteReader(Bytes bytes) : bytes_(bytes) {}

    std::size_t offset() const { return offset_; }
    std::size_t remaining() const { return bytes_.size() - offset_; }
    bool empty() const { return remaining() == 0; }
    Bytes rest() const { return bytes_.subspan(offset_); }

    std::optional<std::uint8_t> PeekByte() const {
        if (empty()) {
            return std::nullopt;
        }
        return bytes_[offset_];
    }

    std::optional<std::uint8_t> ReadByte() {
        auto byte = PeekByte();
        if (byte) {
            ++offset_;
        }
        return byte;
    }

    std::optional<Bytes> ReadBytes(std::size_t count) {
        if (count > remaining()) {
            return std::nullopt;
        }
        Bytes taken = bytes_.subspan(offset_, count);
        offset_ += count;
        return taken;
    }

    bool Skip(std::size_t count) { return ReadBytes(count).has_value(); }

    std::optional<std::uint16_t> ReadU16BigEndian() {
        auto taken = ReadBytes(2);
        if (!taken) {
            return std::nullopt;
        }
        return static_cast<std::uint16_t>(((*taken)[0] << 8) | (*taken)[1]);
    }

    std::optional<std::uint32_t> ReadU32BigEndian() {
        auto taken = ReadBytes(4);
        if (!taken) {
            return std::nullopt;
        }
        return (std::uint32_t{(*taken)[0]} << 24) | (std::uint32_t{(*taken)[1]} << 16) |
               (std::uint32_t{(*taken)[2]} << 8) | std::uint32_t{(*taken)[3]};
    }

  private:
    Bytes bytes_;
    std::size_t offset_ = 0;
};

}  // namespace rolvik
