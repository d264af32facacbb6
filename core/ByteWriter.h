#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "Bytes.h"

namespace rolvik {

// Appends to a byte vector, the writing twin of ByteReader: numbers go big-endian, and a size
// known only once its contents are written can be left open and filled in later.
class ByteWriter {
  public:
    explicit ByteWriter(ByteVector& out) : out_(out) {}

    std::size_t size() const { return out_.size(); }

    void Append(Bytes bytes) { out_.insert(out_.end(), bytes.begin(), bytes.end()); }
    void AppendByte(std::uint8_t byte) { out_.push_back(byte); }
    void AppendText(std::string_view text) { out_.insert(out_.end(), text.begin(), text.end()); }

    void AppendU16BigEndian(std::uint16_t value) {
        AppendByte(static_cast<std::uint8_t>(value >> 8));
        AppendByte(static_cast<std::uint8_t>(value));
    }

    void AppendU32BigEndian(std::uint32_t value) { PutU32BigEndian(ReserveU32(), value); }

    // Appends four bytes for a number written later with PutU32BigEndian; returns where they are.
    std::size_t ReserveU32() {
        const std::size_t at = out_.size();
        out_.insert(out_.end(), 4, 0);
        return at;
    }

    void PutU32BigEndian(std::size_t at, std::uint32_t value) {
        for (std::size_t i = 0; i < 4; ++i) {
            out_[at + i] = static_cast<std::uint8_t>(value >> (24 - 8 * i));
        }
    }

    void Truncate(std::size_t size) { out_.resize(size); }

  private:
    ByteVector& out_;
};

}  // namespace rolvik
