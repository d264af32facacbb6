#pragma once

#include <cstdint>
#include <initializer_list>

#include "core/Bytes.h"
#include "tests/support/SmafImage.h"

namespace rolvik::testing {

// Builds Standard MIDI Files by hand: a header chunk and track chunks around event bytes that the
// test writes out in full (delta time, status, data), running status and all.
inline ByteVector MidiTrack(std::initializer_list<ByteVector> events) {
    return MakeChunk("MTrk", Concat(events));
}

inline ByteVector MidiFile(std::uint16_t format, std::uint16_t division,
                           std::initializer_list<ByteVector> tracks) {
    const auto count = static_cast<std::uint16_t>(tracks.size());
    const ByteVector header{0,
                            static_cast<std::uint8_t>(format),
                            static_cast<std::uint8_t>(count >> 8),
                            static_cast<std::uint8_t>(count),
                            static_cast<std::uint8_t>(division >> 8),
                            static_cast<std::uint8_t>(division)};
    return Concat({MakeChunk("MThd", header), Concat(tracks)});
}

inline const ByteVector kEndOfTrack{0x00, 0xFF, 0x2F, 0x00};

// An SMPTE division: frames a second (24, 25, 29 or 30) and ticks a frame.
inline std::uint16_t SmpteDivision(int framesPerSecond, std::uint8_t ticksPerFrame) {
    return static_cast<std::uint16_t>(((256 - framesPerSecond) << 8) | ticksPerFrame);
}

}  // namespace rolvik::testing
