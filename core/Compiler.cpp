#include "Compiler.h"

#include <array>

#include "ByteWriter.h"
#include "CheckCode.h"
#include "Chunk.h"
#include "CompilerCarriedChunks.h"
#include "HandyPhoneCompiling.h"
#include "Number.h"
#include "SeekPoints.h"
#include "SmafExclusive.h"
#include "Timebase.h"

namespace rolvik {
namespace {

// The contents information of a compiled song that has none of its own (a new or imported one):
// class 0, a ringtone type, Shift-JIS text, editing, saving and transfer allowed, no copies made.
constexpr std::array<std::uint8_t, 5> kContentsInfo{0x00, 0x32, 0x00, 0xF8, 0x00};

// An exclusive that begins 43 79 06 7F 00 (seven bytes long) must play in sequence order, so it and
// everything after it stays out of the setup chunk.
constexpr std::array<std::uint8_t, 6> kSetupBreakingExclusive{
    0x07, kYamahaId, kSmafDeviceId, kModelMa3, kMemoryMessage, 0x00};

class ChunkWriter : public ByteWriter {
  public:
    using ByteWriter::ByteWriter;

    // Writes an ID and a size to be filled in by CloseChunk; returns where the size goes.
    std::size_t OpenChunk(std::string_view id) {
        AppendText(id);
        return ReserveU32();
    }

    void AppendChunk(Bytes id, Bytes contents) {
        Append(id);
        AppendU32BigEndian(static_cast<std::uint32_t>(contents.size()));
        Append(contents);
    }

    void CloseChunk(std::size_t sizeAt, std::size_t extra = 0) {
        PutU32BigEndian(sizeAt, static_cast<std::uint32_t>(size() - (sizeAt + 4) + extra));
    }
};

// The events the compiled song writes for the list's events, by their place in the list: the
// list's own, or for a HandyPhone Standard song the Mobile Standard events that say the same.
class WrittenEvents {
  public:
    explicit WrittenEvents(const Smaf& smaf) : translated_(smaf.handyPhoneOnly) {
        if (translated_) {
            pieces_ = TranslateHandyPhoneEvents(smaf.events.get());
        }
    }

    template <typename Write>
    void ForEach(const Event& event, std::size_t index, Write write) const {
        if (!translated_) {
            write(event.status, Bytes(event.data));
            return;
        }
        for (const CompiledEvent& piece : pieces_[index]) {
            write(piece.status, Bytes(piece.data));
        }
    }

    bool AllExclusive(const Event& event, std::size_t index) const {
        bool all = true;
        ForEach(event, index, [&all](std::uint8_t status, Bytes) { all = all && status == 0xF0; });
        return all;
    }

  private:
    bool translated_;
    std::vector<std::vector<CompiledEvent>> pieces_;
};

bool BelongsToSetup(const Event& event) {
    const bool breaksSetup = event.data.size() >= kSetupBreakingExclusive.size() &&
                             BytesEqual(Bytes(event.data).first(kSetupBreakingExclusive.size()),
                                        kSetupBreakingExclusive);
    return event.status == kExclusive && event.time == 0 && !breaksSetup;
}

// Where the setup chunk's walk stopped: the first event left for "Mtsq" and its place in the list.
struct ListPlace {
    const Event* event = nullptr;
    std::size_t index = 0;
};

// Writes the leading exclusives at time 0 into "Mtsu" and returns the first event left for "Mtsq".
ListPlace WriteSetupChunk(ChunkWriter& out, const Event* event, const WrittenEvents& written) {
    const std::size_t chunkStart = out.size();
    const std::size_t sizeAt = out.OpenChunk("Mtsu");
    std::size_t index = 0;
    for (; event && BelongsToSetup(*event) && written.AllExclusive(*event, index);
         event = event->next.get(), ++index) {
        written.ForEach(*event, index, [&out](std::uint8_t, Bytes data) {
            out.AppendByte(kExclusive);
            out.Append(data);
        });
    }
    if (out.size() == sizeAt + 4) {
        out.Truncate(chunkStart);
    } else {
        out.CloseChunk(sizeAt);
    }
    return {event, index};
}

void WriteSequenceEvent(ByteVector& out, std::uint8_t status, Bytes data, std::uint32_t gateBase) {
    out.push_back(status);
    const bool note = StatusKind(status) == kNoteOff || StatusKind(status) == kNoteOn;
    const std::size_t leadBytes = StatusKind(status) == kNoteOn ? 2 : 1;
    if (note && data.size() >= leadBytes) {
        out.insert(out.end(), data.begin(), data.begin() + leadBytes);
        const std::uint32_t gateMs =
            data.size() > leadBytes ? PeekNumber(data.subspan(leadBytes)) : 0;
        WriteNumber(out, gateMs / gateBase);
    } else {
        out.insert(out.end(), data.begin(), data.end());
    }
}

constexpr std::uint8_t kDrumChannelIndex = 9;
// Bank select MSB 124, the melody bank, on channel index 9, at the sequence's first moment.
constexpr std::array<std::uint8_t, 4> kMelodyOnChannel9{0x00, kControlChange | kDrumChannelIndex,
                                                        0x00, 0x7C};

bool PlaysOnChannel9(const Event* event) {
    for (; event; event = event->next.get()) {
        if (event->status >= kNoteOff && event->status < kExclusive &&
            EventChannel(*event) == kDrumChannelIndex) {
            return true;
        }
    }
    return false;
}

// A song made only of HandyPhone Standard tracks has no drum channel: its channel index 9 is a
// melody. The compiled file is a Mobile Standard one, whose players start that channel on the drum
// bank, so it must select the melody bank there before anything plays. The compiled image is no
// longer HandyPhone-only, so compiling it again adds nothing and the reloaded bank select is kept.
bool NeedsMelodyBankOnChannel9(const Smaf& smaf) {
    return PlaysOnChannel9(smaf.events.get()) && smaf.handyPhoneOnly;
}

// The sequence events, and where the document's start and stop events begin in them (byte
// offsets from the sequence's first byte). A start at the first event is no start point.
struct Sequence {
    ByteVector bytes;
    std::uint32_t startOffset = 0;
    std::optional<std::uint32_t> stopOffset;
};

Sequence EncodeSequence(ListPlace first, const Smaf& smaf, const WrittenEvents& written) {
    Sequence sequence;
    ByteVector& out = sequence.bytes;
    if (NeedsMelodyBankOnChannel9(smaf)) {
        out.insert(out.end(), kMelodyOnChannel9.begin(), kMelodyOnChannel9.end());
    }
    // Each event goes to the last tick at or before its time, counted from the song's beginning,
    // so an event off the grid moves by less than one tick and the events after it stay put.
    std::uint32_t previousTick = 0;
    std::size_t index = first.index;
    for (const Event* event = first.event; event; event = event->next.get(), ++index) {
        const auto offset = static_cast<std::uint32_t>(out.size());
        if (event == smaf.start && event != first.event) {
            sequence.startOffset = offset;
        }
        if (event == smaf.stop) {
            sequence.stopOffset = offset;
        }
        const std::uint32_t tick = event->time / smaf.durationBase;
        written.ForEach(*event, index, [&](std::uint8_t status, Bytes data) {
            WriteNumber(out, tick - previousTick);
            previousTick = tick;
            WriteSequenceEvent(out, status, data, smaf.gateBase);
        });
    }
    return sequence;
}

// The song's start and stop points ("st", "sp"), pointing into the new sequence, so that it plays
// the same stretch as before. None for a song that plays from its first event to its last.
void WriteSeekChunk(ChunkWriter& out, const Sequence& sequence) {
    if (sequence.startOffset == 0 && !sequence.stopOffset) {
        return;
    }
    const std::size_t sizeAt = out.OpenChunk("MspI");
    AppendSeekItem(out, "st", sequence.startOffset);
    if (sequence.stopOffset) {
        AppendSeekItem(out, "sp", *sequence.stopOffset);
    }
    out.CloseChunk(sizeAt);
}

// The stream waves of every score track, in one chunk where the players look for them.
void WriteStreamWaveChunk(ChunkWriter& out, const std::vector<Bytes>& streamWaves) {
    if (streamWaves.empty()) {
        return;
    }
    const std::size_t sizeAt = out.OpenChunk("Mtsp");
    for (const Bytes waves : streamWaves) {
        out.Append(waves);
    }
    out.CloseChunk(sizeAt);
}

Bytes Id(std::string_view id) {
    return Bytes(reinterpret_cast<const std::uint8_t*>(id.data()), id.size());
}

}  // namespace

std::optional<ByteVector> CompileSMAF(const Smaf& smaf) {
    const auto durationCode = TimebaseCode(smaf.durationBase);
    const auto gateCode = TimebaseCode(smaf.gateBase);
    if (!durationCode || !gateCode) {
        return std::nullopt;
    }
    const CarriedChunks carried = FindCarriedChunks(ViewFile(smaf.fileData));
    ByteVector bytes;
    ChunkWriter out(bytes);
    const std::size_t fileSizeAt = out.OpenChunk("MMMD");
    out.AppendChunk(Id("CNTI"), carried.contentsInfo.value_or(kContentsInfo));
    if (carried.optionalData) {
        out.AppendChunk(Id("OPDA"), *carried.optionalData);
    }

    const std::size_t trackSizeAt = out.OpenChunk("MTR\x05");
    out.Append(std::array<std::uint8_t, 4>{0x02, 0x00, *durationCode, *gateCode});
    out.Append(carried.channelStatus);
    const WrittenEvents written(smaf);
    const Sequence sequence =
        EncodeSequence(WriteSetupChunk(out, smaf.events.get(), written), smaf, written);
    WriteSeekChunk(out, sequence);
    out.AppendChunk(Id("Mtsq"), sequence.bytes);
    WriteStreamWaveChunk(out, carried.streamWaves);
    out.CloseChunk(trackSizeAt);
    for (const AudioTrackChunk& track : carried.audioTracks) {
        out.AppendChunk(track.id, track.contents);
    }

    constexpr std::size_t kCheckCodeSize = 2;
    out.CloseChunk(fileSizeAt, kCheckCodeSize);
    out.AppendU16BigEndian(SmafCheckCode(bytes));
    return bytes;
}

}  // namespace rolvik
