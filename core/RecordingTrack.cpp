#include "RecordingTrack.h"

#include <array>
#include <string>

#include "AudioTrack.h"
#include "ByteWriter.h"
#include "SeekPoints.h"
#include "Timebase.h"

namespace rolvik {
namespace {

constexpr std::array<std::uint32_t, 6> kTrackTimebasesMs = {4, 5, 10, 20, 40, 50};
constexpr std::uint8_t kMonoAdpcm = 0x10;
constexpr std::uint8_t kWaveNumber = 1;
// At the sequence's first moment, control 0x37: the first channel's volume (form 3, kind 7), then
// its value.
constexpr std::array<std::uint8_t, 4> kFullVolumeAtOnce = {0x00, 0x00, 0x37, 0x7F};
constexpr std::array<std::uint8_t, 2> kNoOperation = {0xFF, 0x00};
constexpr std::array<std::uint8_t, 2> kEndOfSequence = {0x00, 0x00};

std::uint32_t CeilDiv(std::uint64_t value, std::uint32_t divisor) {
    return static_cast<std::uint32_t>((value + divisor - 1) / divisor);
}

std::optional<std::uint32_t> TimebaseFor(std::uint64_t lengthMs) {
    for (const std::uint32_t timebase : kTrackTimebasesMs) {
        if (CeilDiv(lengthMs, timebase) <= kMaxShortNumber) {
            return timebase;
        }
    }
    return std::nullopt;
}

void Append(ByteVector& out, std::span<const std::uint8_t> bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

// The trigger sequence, and where its end event begins (the track's stop point).
struct Sequence {
    ByteVector bytes;
    std::uint32_t endOffset = 0;
};

Sequence TriggerSequence(std::uint32_t startTicks, std::uint32_t gateTicks) {
    Sequence sequence;
    ByteVector& out = sequence.bytes;
    Append(out, kFullVolumeAtOnce);
    // A duration holds at most kMaxShortNumber ticks: a later start waits through empty events.
    for (; startTicks > kMaxShortNumber; startTicks -= kMaxShortNumber) {
        WriteShortNumber(out, kMaxShortNumber);
        Append(out, kNoOperation);
    }
    WriteShortNumber(out, startTicks);
    out.push_back(kWaveNumber);  // channel 0 in the top bits
    WriteShortNumber(out, gateTicks);
    sequence.endOffset = static_cast<std::uint32_t>(out.size());
    WriteShortNumber(out, gateTicks);
    Append(out, kEndOfSequence);
    return sequence;
}

void AppendChunk(ByteWriter& out, std::string_view id, Bytes contents) {
    out.AppendText(id);
    out.AppendU32BigEndian(static_cast<std::uint32_t>(contents.size()));
    out.Append(contents);
}

}  // namespace

std::uint64_t RecordingLengthMs(std::size_t sampleCount, std::uint32_t rateHz) {
    return (std::uint64_t{sampleCount} * 1000 + rateHz - 1) / rateHz;
}

std::optional<ByteVector> BuildRecordingTrack(const RecordingWave& wave, std::uint32_t startMs) {
    const auto rateClass = AudioTrackRateClass(wave.rateHz);
    const std::uint64_t lengthMs = RecordingLengthMs(wave.sampleCount, wave.rateHz);
    const auto timebase = TimebaseFor(lengthMs);
    if (!rateClass || !timebase || lengthMs > kMaxRecordingMs) {
        return std::nullopt;
    }
    const std::uint8_t timebaseCode = *TimebaseCode(*timebase);
    const Sequence sequence = TriggerSequence(startMs / *timebase, CeilDiv(lengthMs, *timebase));

    ByteVector contents;
    ByteWriter out(contents);
    out.Append(std::array<std::uint8_t, 6>{0x00, 0x00,
                                           static_cast<std::uint8_t>(kMonoAdpcm | *rateClass), 0x00,
                                           timebaseCode, timebaseCode});
    ByteVector seek;
    ByteWriter seekOut(seek);
    AppendSeekItem(seekOut, "st", 0);
    AppendSeekItem(seekOut, "sp", sequence.endOffset);
    AppendChunk(out, "AspI", seek);
    AppendChunk(out, "Atsq", sequence.bytes);
    std::string waveId = "Awa";
    waveId.push_back(static_cast<char>(kWaveNumber));
    AppendChunk(out, waveId, wave.codes);
    return contents;
}

}  // namespace rolvik
