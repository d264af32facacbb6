#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "CompactBytes.h"

namespace rolvik {

// The status bytes of the event list. Channel messages carry their channel in the low four bits.
inline constexpr std::uint8_t kNoteOff = 0x80;  // a note without velocity
inline constexpr std::uint8_t kNoteOn = 0x90;
inline constexpr std::uint8_t kControlChange = 0xB0;
inline constexpr std::uint8_t kProgramChange = 0xC0;
inline constexpr std::uint8_t kPitchBend = 0xE0;
inline constexpr std::uint8_t kExclusive = 0xF0;
inline constexpr std::uint8_t kEndOfExclusive = 0xF7;  // the last byte of an exclusive message
// A sequence event; its first data byte says which.
inline constexpr std::uint8_t kSequenceEvent = 0xFF;
inline constexpr std::uint8_t kEndOfSequence = 0x2F;
inline constexpr std::uint8_t kNoOperation = 0x00;

// The kind of a channel message, its channel taken off.
constexpr std::uint8_t StatusKind(std::uint8_t status) {
    return status & 0xF0;
}

// One node of the document's time-ordered event list. Times are milliseconds.
//
// Layout of `data` by `status` (gate times and exclusive sizes are variable-length numbers):
//   0x8n  key, gate                    0x9n  key, velocity, gate
//   0xAn  3 bytes as found             0xBn  controller, value
//   0xCn  program                      0xDn  2 bytes as found
//   0xEn  low 7 bits, high 7 bits      0xF0  size, then the message body (the F0 is not stored)
//   0xFF  2F 00 end of sequence, 00 no operation
// Any other status comes from bytes a converter did not recognise and carries no data.
//
// A node is 32 bytes and lives in the event pool, with short data inline, so that a song of a
// million events costs about 32 MB.
struct Event final {
    std::unique_ptr<Event> next;  // owns the rest of the list
    std::int32_t delta = 0;       // ms since the previous event; the first event's own time
    std::uint32_t time = 0;       // ms from the beginning of the song, compared unsigned
    std::uint8_t status = 0;
    CompactBytes data;

    Event() = default;
    Event(std::uint32_t time, std::uint8_t status, CompactBytes data)
        : time(time), status(status), data(std::move(data)) {}
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    // Frees the rest of the list iteratively, so that a list of a million events does not recurse.
    ~Event();

    static void* operator new(std::size_t size);
    static void operator delete(void* node) noexcept;

    std::uint32_t length() const { return static_cast<std::uint32_t>(data.size()); }
};

inline std::uint8_t EventChannel(const Event& event) {
    return event.status & 0x0F;
}
inline bool IsNoteEvent(const Event& event) {
    return StatusKind(event.status) == kNoteOff || StatusKind(event.status) == kNoteOn;
}

bool IsEndOfSequence(const Event& event);
// The end-of-sequence event (FF 2F 00) at the time.
std::unique_ptr<Event> MakeEndOfSequence(std::uint32_t timeMs);

// The gate time (the note's length) in ms of a 0x8n or 0x9n event; 0 for every other status.
std::uint32_t EventGate(const Event& event);

// The note key of a 0x8n or 0x9n event (its first data byte), 0 when there is none.
std::uint8_t EventKey(const Event& event);

}  // namespace rolvik
