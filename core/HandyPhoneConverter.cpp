#include "HandyPhoneConverter.h"

#include <array>
#include <cstdio>
#include <memory>
#include <span>

#include "ByteReader.h"
#include "Chunk.h"
#include "EventBatch.h"
#include "Number.h"

namespace rolvik {
namespace {

// A converted event; `recognised` is false for an unknown control, which keeps status 0.
struct ConvertedEvent {
    std::uint8_t status = 0;
    ByteVector data;
    bool recognised = true;
};

// Every reader below answers "not there" when the stream ends inside the event.
using MaybeEvent = std::optional<ConvertedEvent>;

class HandyPhoneTrack {
  public:
    HandyPhoneTrack(unsigned channelBase, std::uint32_t gateBase)
        : channelBase_(channelBase), gateBase_(gateBase) {}

    // Reads the event that begins with `first` (the byte after its duration).
    MaybeEvent ReadEvent(ByteReader& cursor, std::uint8_t first) {
        if (first == 0x00) {
            return ReadControl(cursor);
        }
        if (first == 0xFF) {
            const auto second = cursor.PeekByte();
            if (second == 0xF0) {
                cursor.Skip(1);
                return ReadExclusive(cursor);
            }
            if (second == 0x00) {
                cursor.Skip(1);
                return ConvertedEvent{kSequenceEvent, {kNoOperation}};
            }
        }
        return ReadNote(cursor, first);
    }

  private:
    // The two bits of a track channel mapped onto the 16 document channels; the wrap keeps tracks
    // from the fifth track chunk on inside the status byte's channel bits.
    std::uint8_t DocumentChannel(std::uint8_t trackChannel) const {
        return static_cast<std::uint8_t>((channelBase_ + trackChannel) % 16);
    }

    MaybeEvent ReadNote(ByteReader& cursor, std::uint8_t noteByte) {
        const auto gateTicks = ReadShortNumber(cursor);
        if (!gateTicks) {
            return std::nullopt;
        }
        const unsigned trackChannel = noteByte >> 6;
        const int octaveBlock = (noteByte >> 4) & 0x03;
        const int note = noteByte & 0x0F;
        const int key = (octaveShift_[trackChannel] + octaveBlock + 3) * 12 + note;
        const std::uint32_t gateMs = *gateTicks * gateBase_;
        ConvertedEvent event{static_cast<std::uint8_t>(kNoteOff | DocumentChannel(trackChannel)),
                             ByteVector(1 + EncodedNumberSize(gateMs))};
        event.data[0] = static_cast<std::uint8_t>(key);
        WriteNumber(std::span(event.data).subspan(1), gateMs);
        return event;
    }

    // The size is one byte in the stream but a variable-length number in the event, so that a
    // message of 128 bytes or more still states its true length to every reader of the event.
    static MaybeEvent ReadExclusive(ByteReader& cursor) {
        const auto size = cursor.ReadByte();
        if (!size) {
            return std::nullopt;
        }
        const auto message = cursor.ReadBytes(*size);
        if (!message) {
            return std::nullopt;
        }
        ConvertedEvent event{kExclusive, {}};
        event.data.reserve(EncodedNumberSize(*size) + message->size());
        WriteNumber(event.data, *size);
        event.data.insert(event.data.end(), message->begin(), message->end());
        return event;
    }

    MaybeEvent ReadControl(ByteReader& cursor) {
        const auto control = cursor.PeekByte();
        if (!control) {
            return std::nullopt;
        }
        const std::uint8_t trackChannel = *control >> 6;
        const unsigned form = (*control >> 4) & 0x03;
        const std::uint8_t low = *control & 0x0F;
        const std::uint8_t channel = DocumentChannel(trackChannel);
        if (form != 3) {
            cursor.Skip(1);
            return ShortControl(form, channel, static_cast<std::uint8_t>(low * 8));
        }
        if (!IsKnownLongControl(low)) {
            // The control byte stays unread: it is read next as the following event's duration.
            return ConvertedEvent{0, {}, false};
        }
        const auto value = cursor.ReadBytes(2);
        if (!value) {
            return std::nullopt;
        }
        return LongControl(low, trackChannel, channel, (*value)[1]);
    }

    static ConvertedEvent ShortControl(unsigned form, std::uint8_t channel, std::uint8_t value) {
        switch (form) {
            case 0:
                return {static_cast<std::uint8_t>(kControlChange | channel), {0x0B, value}};
            case 1:
                return {static_cast<std::uint8_t>(kPitchBend | channel), {0x00, value}};
            default:
                return {static_cast<std::uint8_t>(kControlChange | channel), {0x01, value}};
        }
    }

    static bool IsKnownLongControl(std::uint8_t kind) {
        return kind <= 0x4 || kind == 0x7 || kind == 0xA || kind == 0xB;
    }

    ConvertedEvent LongControl(std::uint8_t kind, std::uint8_t trackChannel, std::uint8_t channel,
                               std::uint8_t value) {
        const auto controlChange = static_cast<std::uint8_t>(kControlChange | channel);
        switch (kind) {
            case 0x0:
                return {static_cast<std::uint8_t>(kProgramChange | channel), {value}};
            case 0x1:
                return {controlChange, {0x00, value}};
            case 0x2:
                SetOctaveShift(trackChannel, value);
                return {kSequenceEvent, {kNoOperation}};
            case 0x3:
                return {controlChange, {0x01, value}};
            case 0x4:
                return {static_cast<std::uint8_t>(kPitchBend | channel), {0x00, value}};
            default:
                return {controlChange, {kind, value}};  // 0x7 volume, 0xA panpot, 0xB expression
        }
    }

    // 01..04 shift up by 1 to 4 octaves, 81..84 down; any other value keeps the shift.
    void SetOctaveShift(std::uint8_t trackChannel, std::uint8_t value) {
        const int octaves = value & 0x7F;
        if (octaves < 1 || octaves > 4) {
            return;
        }
        octaveShift_[trackChannel] = (value & 0x80) != 0 ? -octaves : octaves;
    }

    unsigned channelBase_;
    std::uint32_t gateBase_;
    std::array<int, 4> octaveShift_{};
};

void ReportUnknownControl(std::uint8_t firstByte, Diagnostics& diagnostics) {
    char text[32];
    std::snprintf(text, sizeof text, "What's this? %02X", firstByte);
    diagnostics.Error(text);
}

bool IsAt(std::optional<std::uint32_t> wanted, std::size_t offset) {
    return wanted && std::size_t{*wanted} == offset;
}

// A sequence ends where an event starts with 00 00 00: a duration of 0 and what would otherwise
// read as an expression of 0 on the track's first channel, silencing a note still sounding at the
// end of the song. It becomes the document's end-of-sequence event, where the stop point of these
// songs lies.
bool IsEndOfSequence(Bytes rest) {
    constexpr std::array<std::uint8_t, 3> kStreamEnd{0x00, 0x00, 0x00};
    return rest.size() >= kStreamEnd.size() &&
           BytesEqual(rest.first(kStreamEnd.size()), kStreamEnd);
}

// Reads the next event with its duration (none in setup data), which it adds to `timeMs`.
MaybeEvent ReadTimedEvent(ByteReader& cursor, HandyPhoneTrack& track, bool setup,
                          std::uint32_t durationBase, std::uint32_t& timeMs,
                          Diagnostics& diagnostics) {
    if (!setup) {
        const auto durationTicks = ReadShortNumber(cursor);
        if (!durationTicks) {
            return std::nullopt;
        }
        timeMs += *durationTicks * durationBase;
    }
    const auto first = cursor.ReadByte();
    if (!first) {
        return std::nullopt;
    }
    auto converted = track.ReadEvent(cursor, *first);
    if (converted && !converted->recognised) {
        ReportUnknownControl(*first, diagnostics);
    }
    return converted;
}

}  // namespace

void ConvertHandyPhoneEvents(EventBatch& batch, Bytes stream, bool setup,
                             std::optional<std::uint32_t> startOffset,
                             std::optional<std::uint32_t> stopOffset, unsigned channelBase,
                             Diagnostics& diagnostics) {
    Smaf& smaf = batch.document();
    HandyPhoneTrack track(channelBase, smaf.gateBase);
    ByteReader cursor(stream);
    std::uint32_t timeMs = 0;
    while (!cursor.empty()) {
        const std::size_t offset = cursor.offset();
        const bool ends = !setup && IsEndOfSequence(cursor.rest());
        auto converted =
            ends ? ConvertedEvent{kSequenceEvent, {kEndOfSequence, 0x00}}
                 : ReadTimedEvent(cursor, track, setup, smaf.durationBase, timeMs, diagnostics);
        if (!converted) {
            break;
        }
        // Start and stop are set only once the event is complete and in the list, so that they
        // never point at an event dropped for running past the end of the stream.
        Event* event = batch.Add(
            std::make_unique<Event>(timeMs, converted->status, std::move(converted->data)));
        if (!setup && IsAt(startOffset, offset) && !smaf.start) {
            smaf.start = event;
        }
        if (!setup && IsAt(stopOffset, offset) && !smaf.stop) {
            smaf.stop = event;
        }
        if (ends) {
            break;
        }
    }
    if (!setup && !smaf.start) {
        smaf.start = batch.Head();
    }
}

void ConvertHandyPhoneEvents(Smaf& smaf, Bytes stream, bool setup,
                             std::optional<std::uint32_t> startOffset,
                             std::optional<std::uint32_t> stopOffset, unsigned channelBase) {
    EventBatch batch(smaf);
    UserDiagnostics toUser;
    ConvertHandyPhoneEvents(batch, stream, setup, startOffset, stopOffset, channelBase, toUser);
}

}  // namespace rolvik
