#include "StandardMidiFileReader.h"

#include <optional>
#include <string>
#include <string_view>

#include "MidiFileError.h"
#include "core/ByteReader.h"

namespace rolvik {
namespace {

constexpr std::size_t kHeaderSize = 6;
constexpr std::size_t kMaxNumberBytes = 4;
constexpr std::uint8_t kExclusive = 0xF0;
constexpr std::uint8_t kExclusivePacket = 0xF7;
constexpr std::uint8_t kMeta = 0xFF;
constexpr std::uint8_t kEndOfTrack = 0x2F;

bool IsStatusByte(std::uint8_t byte) {
    return byte >= 0x80;
}

bool IsChunk(Bytes id, std::string_view wanted) {
    return id.size() == wanted.size() &&
           std::string_view(reinterpret_cast<const char*>(id.data()), id.size()) == wanted;
}

// Program change and channel pressure carry one data byte, every other channel message two.
std::size_t ChannelDataBytes(std::uint8_t status) {
    const std::uint8_t kind = status & 0xF0;
    return kind == 0xC0 || kind == 0xD0 ? 1 : 2;
}

MidiDivision ReadDivision(std::uint16_t value) {
    MidiDivision division;
    if ((value & 0x8000) == 0) {
        if (value == 0) {
            throw MidiFileError("The MIDI file's division is 0 ticks a quarter note");
        }
        division.ticksPerQuarter = value;
        return division;
    }
    // The high byte is the negative frame rate, in two's complement.
    const int framesPerSecond = 256 - (value >> 8);
    if (framesPerSecond != 24 && framesPerSecond != 25 && framesPerSecond != 29 &&
        framesPerSecond != 30) {
        throw MidiFileError("The MIDI file's division names " + std::to_string(framesPerSecond) +
                            " SMPTE frames a second; only 24, 25, 29 and 30 exist");
    }
    division.framesPerSecond = static_cast<std::uint8_t>(framesPerSecond);
    division.ticksPerFrame = static_cast<std::uint8_t>(value & 0xFF);
    if (division.ticksPerFrame == 0) {
        throw MidiFileError("The MIDI file's division is 0 ticks an SMPTE frame");
    }
    return division;
}

// Reads the events of one "MTrk" chunk. The file format says exclusives and meta events end
// running status, but some writers go on using it after a meta event. A data byte can only mean
// the running status there, so it is kept: valid files read the same, and those still import.
class TrackReader {
  public:
    TrackReader(StandardMidiFile& file, Bytes contents, std::size_t fileOffset, std::size_t number)
        : file_(file), cursor_(contents), fileOffset_(fileOffset), number_(number) {}

    MidiTrackEvents Read() {
        while (!cursor_.empty() && !ended_) {
            ReadDelta();
            if (!ended_) {
                ReadEvent();
            }
        }
        if (!ended_) {
            track_.endTick = tick_;
        }
        return std::move(track_);
    }

    // What the chunk holds behind the track's end-of-track event.
    Bytes Rest() const { return cursor_.rest(); }

  private:
    [[noreturn]] void CutShort() const {
        throw MidiFileError("Track " + std::to_string(number_) + " of the MIDI file is cut short");
    }

    [[noreturn]] void DamagedAt(std::size_t offset, std::string_view what) const {
        throw MidiFileError("Track " + std::to_string(number_) +
                            " of the MIDI file is damaged at byte " +
                            std::to_string(fileOffset_ + offset) + ": " + std::string(what));
    }

    // Damage in the byte just read.
    [[noreturn]] void Damaged(std::string_view what) const {
        DamagedAt(cursor_.offset() - 1, what);
    }

    std::uint8_t ReadByte() {
        const auto byte = cursor_.ReadByte();
        if (!byte) {
            CutShort();
        }
        return *byte;
    }

    // A number of up to four bytes; nothing when it runs longer, and then the cursor stands behind
    // the number's last byte.
    std::optional<std::uint32_t> ReadLongNumber() {
        std::uint32_t value = 0;
        for (std::size_t length = 1;; ++length) {
            const std::uint8_t byte = ReadByte();
            value = (value << 7) | (byte & 0x7F);
            if ((byte & 0x80) == 0) {
                return length <= kMaxNumberBytes ? std::optional(value) : std::nullopt;
            }
        }
    }

    std::uint32_t ReadNumber() {
        const std::size_t start = cursor_.offset();
        const auto value = ReadLongNumber();
        if (!value) {
            DamagedAt(start, "a number longer than four bytes");
        }
        return *value;
    }

    // Some writers close a track with an end-of-track event whose delta time is garbage, longer
    // than any number can be. Its time means nothing to the song, so the track then ends with its
    // last event; before any other event such a delta is damage.
    void ReadDelta() {
        const std::size_t start = cursor_.offset();
        const auto delta = ReadLongNumber();
        if (delta) {
            tick_ += *delta;
        } else if (IsEndOfTrackNext()) {
            ended_ = true;
            track_.endTick = tick_;
        } else {
            DamagedAt(start, "a number longer than four bytes");
        }
    }

    bool IsEndOfTrackNext() const {
        const Bytes rest = cursor_.rest();
        return rest.size() >= 2 && rest[0] == kMeta && rest[1] == kEndOfTrack;
    }

    Bytes ReadBlock() {
        const std::uint32_t size = ReadNumber();
        const auto block = cursor_.ReadBytes(size);
        if (!block) {
            CutShort();
        }
        return *block;
    }

    std::uint8_t ReadDataByte() {
        const std::uint8_t byte = ReadByte();
        if (IsStatusByte(byte)) {
            Damaged("a status byte where a data byte belongs");
        }
        return byte;
    }

    void ReadEvent() {
        const std::uint8_t first = ReadByte();
        if (!IsStatusByte(first)) {
            if (runningStatus_ == 0) {
                Damaged("a data byte with no status before it");
            }
            ReadChannelMessage(runningStatus_, first);
            return;
        }
        if (first < kExclusive) {
            runningStatus_ = first;
            ReadChannelMessage(first, ReadDataByte());
            return;
        }
        if (first == kExclusive) {
            ReadExclusive();
        } else if (first == kExclusivePacket) {
            ReadExclusivePacket();
        } else if (first == kMeta) {
            ReadMeta();
        } else {
            Damaged("a system message that has no place in a file");
        }
    }

    void ReadChannelMessage(std::uint8_t status, std::uint8_t data1) {
        MidiTrackEvent event{
            .tick = tick_, .status = status, .data1 = data1, .data2 = 0, .payload = 0};
        if (ChannelDataBytes(status) == 2) {
            event.data2 = ReadDataByte();
        }
        track_.events.push_back(std::move(event));
    }

    // An exclusive without its closing F7 continues in the F7 packets that follow.
    void ReadExclusive() {
        const Bytes body = ReadBlock();
        track_.events.push_back({.tick = tick_,
                                 .status = kExclusive,
                                 .data1 = 0,
                                 .data2 = 0,
                                 .payload = AddPayload(body)});
        openExclusive_ = body.empty() || body.back() != kExclusivePacket;
        openPayload_ = track_.events.back().payload;
        openJoined_.reset();
    }

    // An F7 packet that continues no exclusive escapes arbitrary bytes, which have no place in a
    // document's event list.
    void ReadExclusivePacket() {
        const Bytes body = ReadBlock();
        if (!openExclusive_) {
            return;
        }
        if (!openJoined_) {
            const Bytes first = file_.payloads[openPayload_];
            openJoined_ = file_.joinedExclusives.size();
            file_.joinedExclusives.emplace_back(first.begin(), first.end());
        }
        ByteVector& joined = file_.joinedExclusives[*openJoined_];
        joined.insert(joined.end(), body.begin(), body.end());
        file_.payloads[openPayload_] = joined;
        openExclusive_ = joined.empty() || joined.back() != kExclusivePacket;
    }

    std::uint32_t AddPayload(Bytes payload) {
        file_.payloads.push_back(payload);
        return static_cast<std::uint32_t>(file_.payloads.size() - 1);
    }

    void ReadMeta() {
        const std::uint8_t type = ReadByte();
        const Bytes contents = ReadBlock();
        if (type == kEndOfTrack) {
            ended_ = true;
            track_.endTick = tick_;
            return;
        }
        track_.events.push_back({.tick = tick_,
                                 .status = kMeta,
                                 .data1 = type,
                                 .data2 = 0,
                                 .payload = AddPayload(contents)});
    }

    StandardMidiFile& file_;
    ByteReader cursor_;
    std::size_t fileOffset_;
    std::size_t number_;
    MidiTrackEvents track_;
    std::uint64_t tick_ = 0;
    std::uint8_t runningStatus_ = 0;
    bool openExclusive_ = false;
    std::uint32_t openPayload_ = 0;
    std::optional<std::size_t> openJoined_;  // the open exclusive's pieces, once there are two
    bool ended_ = false;
};

struct Header {
    std::uint16_t format;
    std::uint16_t trackCount;
    MidiDivision division;
};

Header ReadHeader(ByteReader& cursor) {
    const auto id = cursor.ReadBytes(4);
    if (!id || !IsChunk(*id, "MThd")) {
        throw MidiFileError("Not a Standard MIDI file: it does not begin with \"MThd\"");
    }
    const auto size = cursor.ReadU32BigEndian();
    const auto format = cursor.ReadU16BigEndian();
    const auto trackCount = cursor.ReadU16BigEndian();
    const auto division = cursor.ReadU16BigEndian();
    if (!size || *size < kHeaderSize || !division || !cursor.Skip(*size - kHeaderSize)) {
        throw MidiFileError("The MIDI file's header is cut short");
    }
    if (*format > 1) {
        throw MidiFileError("The MIDI file is of format " + std::to_string(*format) +
                            "; only formats 0 and 1 can be imported");
    }
    if (*trackCount == 0) {
        throw MidiFileError("The MIDI file has no tracks");
    }
    return {*format, *trackCount, ReadDivision(*division)};
}

// A track whose stated length runs on past its end-of-track into the next track holds that
// track's header among the bytes behind its end; reading on from the stated end would blame the
// damage on the next track.
bool HoldsATrackHeader(Bytes rest) {
    constexpr std::string_view kTrackId = "MTrk";
    const std::string_view bytes(reinterpret_cast<const char*>(rest.data()), rest.size());
    return bytes.find(kTrackId) != std::string_view::npos;
}

}  // namespace

StandardMidiFile ReadStandardMidiFile(Bytes file) {
    ByteReader cursor(file);
    const Header header = ReadHeader(cursor);
    StandardMidiFile midi;
    midi.format = header.format;
    midi.division = header.division;
    while (midi.tracks.size() < header.trackCount) {
        const std::string number = std::to_string(midi.tracks.size() + 1);
        const auto id = cursor.ReadBytes(4);
        const auto size = cursor.ReadU32BigEndian();
        if (!id || !size) {
            throw MidiFileError("The MIDI file ends before track " + number);
        }
        const std::size_t contentsOffset = cursor.offset();
        const auto contents = cursor.ReadBytes(*size);
        if (!contents) {
            throw MidiFileError("Track " + number + " of the MIDI file is cut short");
        }
        // Chunks of other kinds are for other programs; a reader passes over them.
        if (IsChunk(*id, "MTrk")) {
            TrackReader reader(midi, *contents, contentsOffset, midi.tracks.size() + 1);
            midi.tracks.push_back(reader.Read());
            if (midi.tracks.size() < header.trackCount && HoldsATrackHeader(reader.Rest())) {
                throw MidiFileError("Track " + number + " of the MIDI file states " +
                                    std::to_string(*size) +
                                    " bytes, which run past its end into the next track");
            }
        }
    }
    return midi;
}

}  // namespace rolvik
