#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "Bytes.h"

namespace rolvik {

// A few bytes held without a heap block of their own: up to 14 bytes live inside the value, longer
// runs get a block. An event's data is one (every channel event, note and meta event fits inline,
// exclusives do not), and so is a message the MIDI export writes. The value is 15 bytes with byte
// alignment, so that an event node stays 32 bytes: millions of events cost memory in proportion
// to their number, without a heap block for each.
//
//   bytes_[0..14)  the data itself                  tag_ 0..14: that many bytes are inline
//   bytes_[0..8)   pointer to the block, [8..12) size  tag_ kOnHeap
class CompactBytes {
  public:
    CompactBytes() = default;
    // Implicit, so that the bytes are set from other bytes as a vector's would be.
    CompactBytes(Bytes bytes);
    CompactBytes(const ByteVector& bytes) : CompactBytes(Bytes(bytes)) {}
    CompactBytes(std::initializer_list<std::uint8_t> bytes);
    CompactBytes(const CompactBytes& other) : CompactBytes(Bytes(other)) {}
    CompactBytes(CompactBytes&& other) noexcept;
    CompactBytes& operator=(const CompactBytes& other);
    CompactBytes& operator=(CompactBytes&& other) noexcept;
    ~CompactBytes();

    // A copy as a vector, for code that keeps or edits the bytes apart from their holder.
    operator ByteVector() const { return ByteVector(begin(), end()); }

    std::size_t size() const;
    bool empty() const { return size() == 0; }
    const std::uint8_t* data() const;
    std::uint8_t* data();
    const std::uint8_t* begin() const { return data(); }
    const std::uint8_t* end() const { return data() + size(); }
    std::uint8_t* begin() { return data(); }
    std::uint8_t* end() { return data() + size(); }
    std::uint8_t operator[](std::size_t index) const { return data()[index]; }
    std::uint8_t& operator[](std::size_t index) { return data()[index]; }

    friend bool operator==(const CompactBytes& a, const CompactBytes& b) { return Equal(a, b); }
    friend bool operator==(const CompactBytes& a, const ByteVector& b) { return Equal(a, b); }

  private:
    static constexpr std::size_t kInlineBytes = 14;
    static constexpr std::uint8_t kOnHeap = 0xFF;

    static bool Equal(Bytes a, Bytes b);
    bool onHeap() const { return tag_ == kOnHeap; }
    std::uint8_t* heapBlock() const;
    void Release();

    std::uint8_t bytes_[kInlineBytes] = {};
    std::uint8_t tag_ = 0;
};

}  // namespace rolvik
