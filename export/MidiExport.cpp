#include "MidiExport.h"

#include <algorithm>
#include <bitset>
#include <iterator>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "GeneralMidiChannels.h"
#include "HandyPhoneChannels.h"
#include "SongTitle.h"
#include "StandardMidiFile.h"
#include "core/ByteReader.h"
#include "core/Number.h"

namespace rolvik {
namespace {

constexpr std::uint16_t kTicksPerQuarter = 500;
constexpr std::uint32_t kMicrosecondsPerQuarter = 500'000;
constexpr std::uint8_t kStartVelocity = 64;
constexpr std::uint8_t kBankSelectMsb = 0;
constexpr std::uint8_t kBankSelectLsb = 32;
constexpr std::uint8_t kMarker = 0x06;

// At one tick, note-offs of notes that began earlier go first, so that a note repeated on the same
// key is not cut by its predecessor; then events in list order; then the offs of notes that last
// no time at all, which must follow their own note-on.
enum class Slot { EarlierNoteOff, Event, ZeroLengthNoteOff };

// Ranks a message among those of its tick: by slot, then by its event's place in the list.
std::uint64_t Order(Slot slot, std::size_t sequence) {
    return std::uint64_t{static_cast<std::uint8_t>(slot)} << 48 | sequence;
}

void SortByTickAndOrder(MidiTrack& track) {
    std::ranges::sort(track.messages, [](const TimedMidiMessage& a, const TimedMidiMessage& b) {
        return std::tie(a.tick, a.order) < std::tie(b.tick, b.order);
    });
}

bool IsDataByte(std::uint8_t byte) {
    return byte < 0x80;
}

bool AllDataBytes(Bytes bytes) {
    return std::ranges::all_of(bytes, IsDataByte);
}

// MIDI carries an exclusive as 7-bit data closed by F7. Some of the chip's voice messages hold
// 8-bit bytes; no MIDI device could receive them and MIDI file readers reject them.
bool IsMidiExclusiveBody(Bytes body) {
    return !body.empty() && body.back() == kEndOfExclusive &&
           AllDataBytes(body.first(body.size() - 1));
}

class MidiExporter {
  public:
    MidiExporter(const Smaf& document, const MidiExportOptions& options)
        : document_(document), options_(options) {
        velocities_.fill(kStartVelocity);
        if (options.generalMidi) {
            const HandyPhoneChannels handyPhone = FindHandyPhoneChannels(document);
            channels_ = GeneralMidiChannels(document, handyPhone);
            rhythm_ = handyPhone.rhythm;
        }
    }

    ByteVector Export() {
        std::size_t sequence = 0;
        for (const Event* event = document_.events.get(); event; event = event->next.get()) {
            AddEvent(*event, sequence++);
        }
        return WriteStandardMidiFile(Tracks(), kTicksPerQuarter);
    }

  private:
    void AddEvent(const Event& event, std::size_t sequence) {
        const std::uint8_t kind = StatusKind(event.status);
        if (IsNoteEvent(event)) {
            AddNote(event, sequence);
        } else if (kind == kControlChange && event.data.size() >= 2) {
            AddControlChange(event, sequence);
        } else if (kind == kProgramChange && !event.data.empty()) {
            AddProgramChange(event, sequence);
        } else if (kind == kPitchBend && event.data.size() >= 2) {
            AddChannelMessage(event, sequence, Bytes(event.data).first(2));
        } else if (event.status == kExclusive) {
            AddExclusive(event, sequence);
        }
    }

    // 0x8n carries no velocity and sounds with the channel's last one, as playback does.
    void AddNote(const Event& event, std::size_t sequence) {
        const std::uint8_t channel = EventChannel(event);
        const bool hasVelocity = StatusKind(event.status) == kNoteOn;
        if (event.data.size() < (hasVelocity ? 2u : 1u)) {
            return;
        }
        if (hasVelocity) {
            velocities_[channel] = event.data[1];
        }
        const std::uint8_t key = rhythm_[channel] ? programs_[channel] : event.data[0];
        const std::uint8_t velocity = velocities_[channel];
        if (!IsDataByte(key) || !IsDataByte(velocity)) {
            return;
        }
        const std::uint8_t output = channels_[channel];
        const std::uint32_t gateMs = EventGate(event);
        const std::uint64_t endTick = std::uint64_t{event.time} + gateMs;
        auto& messages = channelTracks_[output].messages;
        messages.push_back({event.time,
                            Order(Slot::Event, sequence),
                            {static_cast<std::uint8_t>(kNoteOn | output), key, velocity}});
        messages.push_back(
            {endTick,
             Order(gateMs == 0 ? Slot::ZeroLengthNoteOff : Slot::EarlierNoteOff, sequence),
             {static_cast<std::uint8_t>(kNoteOff | output), key, 0x00}});
    }

    // For General MIDI, the chip's bank selects go, and so does the bank LSB that completes one:
    // with its MSB gone it would pick a bank of the player's own.
    void AddControlChange(const Event& event, std::size_t sequence) {
        const std::uint8_t channel = EventChannel(event);
        const std::uint8_t controller = event.data[0];
        if (controller == kBankSelectMsb) {
            chipBank_[channel] = event.data[1] == kMelodyBank || event.data[1] == kDrumBank;
        }
        const bool bankSelect = controller == kBankSelectMsb || controller == kBankSelectLsb;
        if (options_.generalMidi && bankSelect && (chipBank_[channel] || rhythm_[channel])) {
            return;
        }
        AddChannelMessage(event, sequence, Bytes(event.data).first(2));
    }

    // A rhythm channel's program is the drum key of its notes, not an instrument.
    void AddProgramChange(const Event& event, std::size_t sequence) {
        const std::uint8_t channel = EventChannel(event);
        if (rhythm_[channel]) {
            programs_[channel] = event.data[0];
            return;
        }
        AddChannelMessage(event, sequence, Bytes(event.data).first(1));
    }

    void AddChannelMessage(const Event& event, std::size_t sequence, Bytes data) {
        if (!AllDataBytes(data)) {
            return;
        }
        const std::uint8_t output = channels_[EventChannel(event)];
        ByteVector bytes{static_cast<std::uint8_t>(StatusKind(event.status) | output)};
        bytes.insert(bytes.end(), data.begin(), data.end());
        channelTracks_[output].messages.push_back(
            {event.time, Order(Slot::Event, sequence), bytes});
    }

    // Exclusives belong to no channel and go to the first track, at their own time.
    void AddExclusive(const Event& event, std::size_t sequence) {
        ByteReader cursor(event.data);
        const auto statedSize = ReadNumber(cursor);
        if (!statedSize) {
            return;
        }
        const Bytes body =
            *cursor.ReadBytes(std::min<std::size_t>(*statedSize, cursor.remaining()));
        if (!IsMidiExclusiveBody(body) || (options_.generalMidi && IsChipExclusive(body))) {
            return;
        }
        ByteVector bytes{kExclusive};
        WriteNumber(bytes, static_cast<std::uint32_t>(body.size()));
        bytes.insert(bytes.end(), body.begin(), body.end());
        exclusives_.messages.push_back({event.time, Order(Slot::Event, sequence), bytes});
    }

    // The latest end-of-sequence event, or the end of the last event when there is none.
    std::uint64_t SongEndTick() const {
        std::optional<std::uint64_t> endOfSequence;
        std::uint64_t lastEnd = 0;
        for (const Event* event = document_.events.get(); event; event = event->next.get()) {
            if (event->status == kSequenceEvent && !event->data.empty() &&
                event->data[0] == kEndOfSequence) {
                endOfSequence = std::max(endOfSequence.value_or(0), std::uint64_t{event->time});
            }
            lastEnd = std::max(lastEnd, std::uint64_t{event->time} + EventGate(*event));
        }
        return endOfSequence.value_or(lastEnd);
    }

    static ByteVector Marker(std::string_view text) {
        ByteVector marker{0xFF, kMarker};
        WriteNumber(marker, static_cast<std::uint32_t>(text.size()));
        marker.insert(marker.end(), text.begin(), text.end());
        return marker;
    }

    // The loop runs from the start point to the stop point, or to the last event without one, as
    // the players repeat it: its start comes before everything else at its tick, its end after.
    void AddLoopMarkers(MidiTrack& track) const {
        const Event* last = document_.stop;
        for (const Event* event = document_.events.get(); !last && event;
             event = event->next.get()) {
            if (!event->next) {
                last = event;
            }
        }
        const std::uint64_t startTick = document_.StartOffset();
        const std::uint64_t endTick =
            last ? std::max<std::uint64_t>(last->time, startTick) : startTick;
        track.messages.push_back({startTick, 0, Marker("loopStart")});
        track.messages.push_back(
            {endTick, std::numeric_limits<std::uint64_t>::max(), Marker("loopEnd")});
    }

    MidiTrack ConductorTrack(std::uint64_t endTick) {
        MidiTrack track;
        const std::string title = SongTitle(document_);
        if (!title.empty()) {
            ByteVector name{0xFF, 0x03};
            WriteNumber(name, static_cast<std::uint32_t>(title.size()));
            name.insert(name.end(), title.begin(), title.end());
            track.messages.push_back({0, 0, name});
        }
        track.messages.push_back(
            {0,
             0,
             {0xFF, 0x51, 0x03, static_cast<std::uint8_t>(kMicrosecondsPerQuarter >> 16),
              static_cast<std::uint8_t>(kMicrosecondsPerQuarter >> 8),
              static_cast<std::uint8_t>(kMicrosecondsPerQuarter)}});
        if (options_.loopMarkers) {
            AddLoopMarkers(exclusives_);
        }
        SortByTickAndOrder(exclusives_);
        track.messages.insert(track.messages.end(),
                              std::make_move_iterator(exclusives_.messages.begin()),
                              std::make_move_iterator(exclusives_.messages.end()));
        exclusives_.messages.clear();
        track.endTick = endTick;
        return track;
    }

    // Hands over the messages gathered: the exporter is spent afterwards.
    std::vector<MidiTrack> Tracks() {
        const std::uint64_t endTick = SongEndTick();
        std::vector<MidiTrack> tracks{ConductorTrack(endTick)};
        for (MidiTrack& track : channelTracks_) {
            if (!track.messages.empty()) {
                SortByTickAndOrder(track);
                track.endTick = endTick;
                tracks.push_back(std::move(track));
            }
        }
        return tracks;
    }

    const Smaf& document_;
    const MidiExportOptions options_;
    ChannelMap channels_ = IdentityChannels();
    std::bitset<16> rhythm_;  // HandyPhone rhythm channels, when exporting for General MIDI
    std::array<std::uint8_t, 16> programs_{};  // the last program of each rhythm channel
    std::array<std::uint8_t, 16> velocities_{};
    std::array<bool, 16> chipBank_{};          // the channel's last bank MSB was one of the chip's
    std::array<MidiTrack, 16> channelTracks_;  // by output channel
    MidiTrack exclusives_;
};

}  // namespace

ByteVector ExportMidi(const Smaf& document, const MidiExportOptions& options) {
    return MidiExporter(document, options).Export();
}

}  // namespace rolvik
