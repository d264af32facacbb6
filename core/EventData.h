#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "Bytes.h"

namespace rolvik {

// The data bytes of one event. Every channel event, note and meta event fits in the 14 bytes kept
// inside the value itself; longer data (exclusive messages) gets a block of its own. The value is
// 15 bytes with byte alignment, so that an event node stays 32 bytes: a loaded song costs memory in
// proportion to its events, without a heap block for each.
//
//   bytes_[0..14)  the data itself                  tag_ 0..14: that many bytes are inline
//   bytes_[0..8)   pointer to the block, [8..12) size  tag_ kOnHeap
class EventData {
  public:
    EventData() = default;
    // Implicit, so that an event's data is set from bytes as a vector's would be.
    EventData(Bytes bytes);
    EventData(const ByteVector& bytes) : EventData(Bytes(bytes)) {}
    EventData(std::initializer_list<std::uint8_t> bytes);
    EventData(const EventData& other) : EventData(Bytes(other)) {}
    EventData(EventData&& other) noexcept;
    EventData& operator=(const EventData& other);
    EventData& operator=(EventData&& other) noexcept;
    ~EventData();

    // A copy as a vector, for code that keeps or edits an event's data apart from the event.
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

    friend bool operator==(const EventData& a, const EventData& b) { return Equal(a, b); }
    friend bool operator==(const EventData& a, const ByteVector& b) { return Equal(a, b); }

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
