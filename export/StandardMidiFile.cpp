#include "StandardMidiFile.h"

#include <algorithm>
#include <string_view>

#include "core/Number.h"

namespace rolvik {
namespace {

constexpr std::uint32_t kMaxDeltaTicks = 0x0FFFFFFF;
constexpr std::uint16_t kFormatOne = 1;

void AppendBigEndian(ByteVector& output, std::uint32_t value, int byteCount) {
    for (int shift = (byteCount - 1) * 8; shift >= 0; shift -= 8) {
        output.push_back(static_cast<std::uint8_t>(value >> shift));
    }
}

void AppendChunk(ByteVector& output, std::string_view id, const ByteVector& contents) {
    for (char letter : id) {
        output.push_back(static_cast<std::uint8_t>(letter));
    }
    AppendBigEndian(output, static_cast<std::uint32_t>(contents.size()), 4);
    output.insert(output.end(), contents.begin(), contents.end());
}

// Writes the delta time of the next message; a gap wider than one delta can hold is bridged by
// empty text events, which every reader passes over.
void AppendDelta(ByteVector& output, std::uint64_t deltaTicks) {
    while (deltaTicks > kMaxDeltaTicks) {
        WriteNumber(output, kMaxDeltaTicks);
        output.insert(output.end(), {0xFF, 0x01, 0x00});
        deltaTicks -= kMaxDeltaTicks;
    }
    WriteNumber(output, static_cast<std::uint32_t>(deltaTicks));
}

ByteVector TrackContents(const MidiTrack& track) {
    ByteVector contents;
    std::uint64_t previousTick = 0;
    for (const TimedMidiMessage& message : track.messages) {
        AppendDelta(contents, message.tick - previousTick);
        contents.insert(contents.end(), message.bytes.begin(), message.bytes.end());
        previousTick = message.tick;
    }
    AppendDelta(contents, std::max(track.endTick, previousTick) - previousTick);
    contents.insert(contents.end(), {0xFF, 0x2F, 0x00});
    return contents;
}

}  // namespace

ByteVector WriteStandardMidiFile(std::span<const MidiTrack> tracks, std::uint16_t ticksPerQuarter) {
    ByteVector header;
    AppendBigEndian(header, kFormatOne, 2);
    AppendBigEndian(header, static_cast<std::uint32_t>(tracks.size()), 2);
    AppendBigEndian(header, ticksPerQuarter, 2);
    ByteVector file;
    AppendChunk(file, "MThd", header);
    for (const MidiTrack& track : tracks) {
        AppendChunk(file, "MTrk", TrackContents(track));
    }
    return file;
}

}  // namespace rolvik
