#include "StandardMidiFile.h"

#include <algorithm>
#include <string_view>

#include "core/ByteWriter.h"
#include "core/Number.h"

namespace rolvik {
namespace {

constexpr std::uint32_t kMaxDeltaTicks = 0x0FFFFFFF;
constexpr std::uint16_t kFormatOne = 1;

void AppendChunk(ByteWriter& output, std::string_view id, Bytes contents) {
    output.AppendText(id);
    output.AppendU32BigEndian(static_cast<std::uint32_t>(contents.size()));
    output.Append(contents);
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
    ByteWriter headerWriter(header);
    headerWriter.AppendU16BigEndian(kFormatOne);
    headerWriter.AppendU16BigEndian(static_cast<std::uint16_t>(tracks.size()));
    headerWriter.AppendU16BigEndian(ticksPerQuarter);
    ByteVector file;
    ByteWriter fileWriter(file);
    AppendChunk(fileWriter, "MThd", header);
    for (const MidiTrack& track : tracks) {
        AppendChunk(fileWriter, "MTrk", TrackContents(track));
    }
    return file;
}

}  // namespace rolvik
