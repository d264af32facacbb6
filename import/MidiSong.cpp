#include "MidiSong.h"

#include <algorithm>
#include <array>
#include <queue>
#include <vector>

#include "TempoMap.h"
#include "core/EventBatch.h"
#include "core/Number.h"
#include "core/ScoreTrack.h"

namespace rolvik {
namespace {

constexpr std::uint8_t kMeta = 0xFF;
constexpr std::uint8_t kTempo = 0x51;
constexpr std::uint8_t kBankSelectMsb = 0;
constexpr std::uint8_t kBankSelectLsb = 32;
constexpr std::uint8_t kDrumChannel = 9;  // channel 10 as General MIDI counts
constexpr std::size_t kChannels = 16;
constexpr std::size_t kKeys = 128;

bool IsChannelMessage(const MidiTrackEvent& event) {
    return event.status >= kNoteOff && event.status < kExclusive;
}

std::uint8_t Kind(const MidiTrackEvent& event) {
    return StatusKind(event.status);
}

std::uint8_t Channel(const MidiTrackEvent& event) {
    return event.status & 0x0F;
}

bool IsBankSelect(const MidiTrackEvent& event) {
    return Kind(event) == kControlChange &&
           (event.data1 == kBankSelectMsb || event.data1 == kBankSelectLsb);
}

// Every event of every track in time order; events at one tick keep the order of their tracks
// and, within a track, their own. Each track is in time order already, so the tracks are merged.
std::vector<const MidiTrackEvent*> MergedEvents(const StandardMidiFile& file) {
    struct Next {
        std::uint64_t tick;
        std::size_t track;
        std::size_t index;
    };
    const auto comesAfter = [](const Next& a, const Next& b) {
        return a.tick != b.tick ? a.tick > b.tick : a.track > b.track;
    };
    std::priority_queue<Next, std::vector<Next>, decltype(comesAfter)> nextOfTracks(comesAfter);
    std::size_t total = 0;
    for (std::size_t track = 0; track < file.tracks.size(); ++track) {
        const std::vector<MidiTrackEvent>& events = file.tracks[track].events;
        total += events.size();
        if (!events.empty()) {
            nextOfTracks.push({events.front().tick, track, 0});
        }
    }
    std::vector<const MidiTrackEvent*> merged;
    merged.reserve(total);
    while (!nextOfTracks.empty()) {
        const Next next = nextOfTracks.top();
        nextOfTracks.pop();
        const std::vector<MidiTrackEvent>& events = file.tracks[next.track].events;
        merged.push_back(&events[next.index]);
        if (next.index + 1 < events.size()) {
            nextOfTracks.push({events[next.index + 1].tick, next.track, next.index + 1});
        }
    }
    return merged;
}

// A tempo of 0 would stop time altogether; such an event is damage and is passed over.
std::vector<TempoChange> TempoChanges(const StandardMidiFile& file,
                                      const std::vector<const MidiTrackEvent*>& merged) {
    std::vector<TempoChange> changes;
    for (const MidiTrackEvent* event : merged) {
        const Bytes payload = file.Payload(*event);
        if (event->status != kMeta || event->data1 != kTempo || payload.size() != 3) {
            continue;
        }
        const std::uint32_t tempo =
            std::uint32_t{payload[0]} << 16 | std::uint32_t{payload[1]} << 8 | payload[2];
        if (tempo != 0) {
            changes.push_back({event->tick, tempo});
        }
    }
    return changes;
}

std::uint64_t SongEndTick(const StandardMidiFile& file) {
    std::uint64_t end = 0;
    for (const MidiTrackEvents& track : file.tracks) {
        end = std::max({end, track.endTick, track.events.empty() ? 0 : track.events.back().tick});
    }
    return end;
}

// A note's gate is known only when it ends: it is appended to the key and velocity then.
void AppendGate(Event& note, std::uint32_t gateMs) {
    ByteVector data(note.data.begin(), note.data.end());
    WriteNumber(data, gateMs);
    note.data = data;
}

struct SoundingNote {
    Event* event;
    std::uint32_t startMs;
};

class SongConverter {
  public:
    explicit SongConverter(const StandardMidiFile& file)
        : file_(file),
          merged_(MergedEvents(file)),
          tempoMap_(file.division, TempoChanges(file, merged_)),
          endTick_(SongEndTick(file)) {
        for (const MidiTrackEvent* event : merged_) {
            if (IsChannelMessage(*event) && IsBankSelect(*event)) {
                bankGiven_[Channel(*event)] = true;
            }
        }
    }

    std::unique_ptr<Smaf> Convert() {
        for (const MidiTrackEvent* event : merged_) {
            if (IsChannelMessage(*event)) {
                AddChannelMessage(*event);
            } else if (event->status == kExclusive) {
                AddExclusive(*event);
            }
        }
        const std::uint32_t endMs = tempoMap_.Milliseconds(endTick_);
        for (std::vector<SoundingNote>& sounding : sounding_) {
            for (const SoundingNote& note : sounding) {
                AppendGate(*note.event, endMs - note.startMs);
            }
        }
        batch_.Add(MakeEndOfSequence(endMs));
        return Document();
    }

  private:
    Event* Add(std::uint32_t timeMs, std::uint8_t status, CompactBytes data) {
        return batch_.Add(std::make_unique<Event>(timeMs, status, std::move(data)));
    }

    // Key pressure and channel pressure have no place in a document and are left out.
    void AddChannelMessage(const MidiTrackEvent& event) {
        const std::uint8_t kind = Kind(event);
        if (kind == kNoteOff || (kind == kNoteOn && event.data2 == 0)) {
            EndNote(event);
            return;
        }
        if (kind != kNoteOn && kind != kControlChange && kind != kProgramChange &&
            kind != kPitchBend) {
            return;
        }
        const std::uint32_t timeMs = tempoMap_.Milliseconds(event.tick);
        GiveDefaultBank(event, timeMs);
        if (kind == kNoteOn) {
            StartNote(event, timeMs);
        } else if (kind == kProgramChange) {
            Add(timeMs, event.status, {event.data1});
        } else {
            Add(timeMs, event.status, {event.data1, event.data2});
        }
    }

    // The chip's own voices sit in banks of their own, so a song written for General MIDI picks
    // them only when told. Bank select waits for a program change, so one follows unless the
    // channel's first event is one.
    void GiveDefaultBank(const MidiTrackEvent& event, std::uint32_t timeMs) {
        const std::uint8_t channel = Channel(event);
        if (bankGiven_[channel]) {
            return;
        }
        bankGiven_[channel] = true;
        const std::uint8_t bank = channel == kDrumChannel ? kDrumBank : kMelodyBank;
        Add(timeMs, kControlChange | channel, {kBankSelectMsb, bank});
        Add(timeMs, kControlChange | channel, {kBankSelectLsb, 0});
        if (Kind(event) != kProgramChange) {
            Add(timeMs, kProgramChange | channel, {0});
        }
    }

    void StartNote(const MidiTrackEvent& event, std::uint32_t timeMs) {
        Event* note = Add(timeMs, event.status, {event.data1, event.data2});
        Sounding(event).push_back({note, timeMs});
    }

    // Notes of one channel and key end in the order they began.
    void EndNote(const MidiTrackEvent& event) {
        std::vector<SoundingNote>& sounding = Sounding(event);
        if (sounding.empty()) {
            return;
        }
        const SoundingNote& note = sounding.front();
        AppendGate(*note.event, tempoMap_.Milliseconds(event.tick) - note.startMs);
        sounding.erase(sounding.begin());
    }

    std::vector<SoundingNote>& Sounding(const MidiTrackEvent& event) {
        return sounding_[Channel(event) * kKeys + event.data1];
    }

    void AddExclusive(const MidiTrackEvent& event) {
        const Bytes payload = file_.Payload(event);
        ByteVector data;
        WriteNumber(data, static_cast<std::uint32_t>(payload.size()));
        data.insert(data.end(), payload.begin(), payload.end());
        Add(tempoMap_.Milliseconds(event.tick), kExclusive, std::move(data));
    }

    std::unique_ptr<Smaf> Document() {
        batch_.Commit();
        return std::move(document_);
    }

    const StandardMidiFile& file_;
    std::vector<const MidiTrackEvent*> merged_;
    TempoMap tempoMap_;
    std::uint64_t endTick_;
    std::array<bool, kChannels> bankGiven_{};  // by the file itself, or by GiveDefaultBank
    std::array<std::vector<SoundingNote>, kChannels * kKeys> sounding_;
    std::unique_ptr<Smaf> document_ = CreateSmaf(0, 0);
    EventBatch batch_{*document_};
};

}  // namespace

std::unique_ptr<Smaf> MidiSongDocument(const StandardMidiFile& file) {
    return SongConverter(file).Convert();
}

}  // namespace rolvik
