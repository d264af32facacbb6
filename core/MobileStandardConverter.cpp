#include "MobileStandardConverter.h"

#include <algorithm>
#include <memory>
#include <span>
#include <string_view>

#include "ByteReader.h"
#include "EventBatch.h"
#include "Number.h"

namespace rolvik {
namespace {

constexpr std::string_view kUnknownStatusText =
    "ConvertEvents(MSF-import): Program's bug or Illegal SMAF file";
constexpr std::string_view kUnknownStatusCaption = "What the hell...?";
constexpr std::string_view kOverlongNumberText =
    "ConvertEvents(MSF-import): A number longer than four bytes: the track is read up to it";

// An event's data as read from the stream; `recognised` is false for a status byte that is not a
// known status, which keeps no data.
struct EventBody {
    bool recognised = true;
    ByteVector data;
};

// Every reader below answers "not there" when the stream ends inside the event.
using MaybeBody = std::optional<EventBody>;

MaybeBody Copied(ByteReader& cursor, std::size_t count) {
    const auto bytes = cursor.ReadBytes(count);
    if (!bytes) {
        return std::nullopt;
    }
    return EventBody{true, ByteVector(bytes->begin(), bytes->end())};
}

MaybeBody Unrecognised() {
    return EventBody{false, {}};
}

// Key (and velocity), then the gate in ticks, stored as key (and velocity) and the gate in ms.
MaybeBody ReadNote(ByteReader& cursor, std::size_t leadingBytes, std::uint32_t gateBase) {
    const auto leading = cursor.ReadBytes(leadingBytes);
    if (!leading) {
        return std::nullopt;
    }
    const auto gateTicks = ReadNumber(cursor);
    if (!gateTicks) {
        return std::nullopt;
    }
    const std::uint32_t gateMs = *gateTicks * gateBase;
    EventBody body{true, ByteVector(leading->size() + EncodedNumberSize(gateMs))};
    std::copy(leading->begin(), leading->end(), body.data.begin());
    WriteNumber(std::span(body.data).subspan(leading->size()), gateMs);
    return body;
}

// The size number and that many bytes, stored unchanged.
MaybeBody ReadExclusive(ByteReader& cursor) {
    ByteReader sizeReader = cursor;
    const auto size = ReadNumber(sizeReader);
    if (!size) {
        return std::nullopt;
    }
    const std::size_t sizeLength = sizeReader.offset() - cursor.offset();
    return Copied(cursor, sizeLength + std::size_t{*size});
}

MaybeBody ReadMeta(ByteReader& cursor) {
    const auto kind = cursor.PeekByte();
    if (!kind) {
        return std::nullopt;
    }
    if (*kind == kEndOfSequence) {
        return Copied(cursor, 2);  // 2F 00
    }
    if (*kind == kNoOperation) {
        return Copied(cursor, 1);
    }
    return Unrecognised();
}

MaybeBody ReadEventBody(ByteReader& cursor, std::uint8_t status, std::uint32_t gateBase) {
    switch (status >> 4) {
        case 0x8:
            return ReadNote(cursor, 1, gateBase);
        case 0x9:
            return ReadNote(cursor, 2, gateBase);
        case 0xA:
            return Copied(cursor, 3);
        case 0xB:
        case 0xD:
        case 0xE:
            return Copied(cursor, 2);
        case 0xC:
            return Copied(cursor, 1);
        default:
            break;
    }
    if (status == kExclusive) {
        return ReadExclusive(cursor);
    }
    if (status == kSequenceEvent) {
        return ReadMeta(cursor);
    }
    return Unrecognised();
}

// The format writes durations, gate times and exclusive sizes in at most four bytes. A longer
// number only comes from a damaged or crafted track: it would hold more than 32 bits, and the
// times it makes wrap around.
bool IsOverlong(Bytes number) {
    return NumberLength(number) > kLongestNumberBytes;
}

// The number inside an event's body: the gate time of a note, the size of an exclusive.
bool BodyHasOverlongNumber(std::uint8_t status, Bytes body) {
    std::size_t numberOffset = 0;
    if (StatusKind(status) == kNoteOff) {
        numberOffset = 1;
    } else if (StatusKind(status) == kNoteOn) {
        numberOffset = 2;
    } else if (status != kExclusive) {
        return false;
    }
    return body.size() > numberOffset && IsOverlong(body.subspan(numberOffset));
}

bool IsAt(std::optional<std::uint32_t> wanted, std::size_t offset) {
    return wanted && std::size_t{*wanted} == offset;
}

}  // namespace

void ConvertEvents(EventBatch& batch, Bytes stream, bool setup,
                   std::optional<std::uint32_t> startOffset,
                   std::optional<std::uint32_t> stopOffset, Diagnostics& diagnostics) {
    Smaf& smaf = batch.document();
    ByteReader cursor(stream);
    std::uint32_t timeMs = 0;
    while (!cursor.empty()) {
        const std::size_t offset = cursor.offset();
        if (!setup && IsOverlong(cursor.rest())) {
            diagnostics.Error(kOverlongNumberText);
            break;
        }
        if (!setup) {
            const auto durationTicks = ReadNumber(cursor);
            if (!durationTicks) {
                break;
            }
            timeMs += *durationTicks * smaf.durationBase;
        }
        const auto status = cursor.ReadByte();
        if (!status) {
            break;
        }
        if (BodyHasOverlongNumber(*status, cursor.rest())) {
            diagnostics.Error(kOverlongNumberText);
            break;
        }
        auto body = ReadEventBody(cursor, *status, smaf.gateBase);
        if (!body) {
            break;
        }
        // Start and stop are set only once the event is complete and in the list, so that they
        // never point at an event dropped for running past the end of the stream.
        Event* event = batch.Add(std::make_unique<Event>(timeMs, *status, std::move(body->data)));
        if (!setup && IsAt(startOffset, offset)) {
            smaf.start = event;
        }
        if (!setup && IsAt(stopOffset, offset)) {
            smaf.stop = event;
        }
        // Past a byte that is no status the stream is out of step, and what follows would only be
        // read as more such bytes: a crafted sequence of millions of them would raise as many
        // messages. It is reported once and the stream ends there.
        if (!body->recognised) {
            diagnostics.Report(kUnknownStatusText, kUnknownStatusCaption, MessageIcon::None);
            break;
        }
    }
    if (!setup && !smaf.start) {
        smaf.start = batch.Head();
    }
}

void ConvertEvents(Smaf& smaf, Bytes stream, bool setup, std::optional<std::uint32_t> startOffset,
                   std::optional<std::uint32_t> stopOffset) {
    EventBatch batch(smaf);
    UserDiagnostics toUser;
    ConvertEvents(batch, stream, setup, startOffset, stopOffset, toUser);
}

}  // namespace rolvik
