#include "Song.h"

#include <algorithm>
#include <optional>

#include "Synthesizer.h"
#include "core/Chunk.h"
#include "core/Diagnostics.h"
#include "core/FileView.h"
#include "core/HandyPhoneVoice.h"
#include "core/Loader.h"
#include "core/ScoreTrack.h"
#include "core/Smaf.h"
#include "core/SmafExclusive.h"
#include "core/Timebase.h"

namespace rolvik::synth {
namespace {

constexpr std::size_t kCheckCodeBytes = 2;

struct ScoreTracks {
    bool readable = false;
    std::uint16_t ledChannels = 0;
    std::uint16_t vibrationChannels = 0;
};

// Channel status of the older format: four channels, each KCS VS ChType(2); VS runs the vibrator.
// The newer formats have a byte a channel with Vib in bit 5 and LED in bit 4.
void ReadChannelStatus(const ScoreTrackView& track, ScoreTracks& tracks) {
    if (!track.wholeHeader) {
        return;
    }
    if (track.formatType == kHandyPhoneStandard) {
        for (unsigned i = 0; i < kChannelsPerHandyPhoneTrack; ++i) {
            const unsigned channel = track.channelBase + i;
            if ((HandyPhoneChannelStatus(track.channelStatus, i) & kHandyPhoneVibration) != 0 &&
                channel < 16) {
                tracks.vibrationChannels |= static_cast<std::uint16_t>(1u << channel);
            }
        }
        return;
    }
    for (unsigned channel = 0; channel < track.channelStatus.size(); ++channel) {
        const std::uint8_t status = track.channelStatus[channel];
        if ((status & kVibration) != 0) {
            tracks.vibrationChannels |= static_cast<std::uint16_t>(1u << channel);
        }
        if ((status & kLed) != 0) {
            tracks.ledChannels |= static_cast<std::uint16_t>(1u << channel);
        }
    }
}

bool IsReadable(const ScoreTrackView& track) {
    return track.gateBase && *track.formatType <= kMobileStandard &&
           TimebaseMs(*track.durationBase) && TimebaseMs(*track.gateBase);
}

ScoreTracks ReadScoreTracks(const FileView& file) {
    ScoreTracks tracks;
    for (const ScoreTrackView& track : file.scoreTracks) {
        if (IsReadable(track)) {
            tracks.readable = true;
            ReadChannelStatus(track, tracks);
        }
    }
    return tracks;
}

bool IsVoiceMessage(const MidiMessage& message) {
    return message.type == MessageType::DefineVoice || message.type == MessageType::EraseVoice;
}

void SetMessage(Song& song, SongEvent& converted, const MidiMessage& message) {
    converted.type = message.type;
    converted.channelBytes = message.channelBytes;
    converted.value = message.value;
    converted.address = message.address;
    if (IsVoiceMessage(message)) {
        converted.voiceMessage = static_cast<std::uint32_t>(song.voiceMessages.size());
        song.voiceMessages.push_back(message);
    }
}

// A HandyPhone song's bank select picks the bank LSB under the melody bank where its bank's voices
// live, as the compiled song's does.
ByteVector ChannelMessage(const Event& event, bool handyPhone) {
    const bool bankSelect = StatusKind(event.status) == kControlChange && event.data.size() >= 2 &&
                            event.data[0] == 0x00;
    if (handyPhone && bankSelect) {
        return {event.status, 0x20, HandyPhoneBankLsb(event.data[1])};
    }
    ByteVector message = {event.status};
    message.insert(message.end(), event.data.begin(), event.data.end());
    return message;
}

SongEvent ConvertEvent(Song& song, const Event& event, bool handyPhone) {
    SongEvent converted;
    converted.timeMs = event.time;
    converted.channel = EventChannel(event);
    if (IsNoteEvent(event) && !event.data.empty()) {
        converted.isNote = true;
        converted.key = EventKey(event);
        converted.gateMs = EventGate(event);
        if (StatusKind(event.status) == kNoteOn && event.data.size() >= 2) {
            converted.velocity = event.data[1];
            converted.hasVelocity = true;
        }
        return converted;
    }
    if (event.status == kExclusive) {
        ByteVector message = {kExclusive};
        const Bytes body = ExclusiveBody(event.data);
        message.insert(message.end(), body.begin(), body.end());
        SetMessage(song, converted, ParseMidiMessage(message).value_or(MidiMessage{}));
        return converted;
    }
    const ByteVector message = ChannelMessage(event, handyPhone);
    const std::uint8_t kind = StatusKind(event.status);
    const bool channelMessage =
        kind == kControlChange || kind == kProgramChange || kind == kPitchBend;
    if (channelMessage) {
        SetMessage(song, converted, ParseMidiMessage(message).value_or(MidiMessage{}));
    }
    return converted;
}

// An event the synthesiser ignores: an unknown control, a status byte that is no message. The
// sequencer needs of those only the stop event and the last event, whose times end the song; a
// crafted song of millions of them would otherwise cost as much again as the document it was read
// from.
bool DoesNothing(const SongEvent& event) {
    return !event.isNote && event.type == MessageType::Ignored;
}

// Reserving for every event costs only the pages the played ones fill.
std::size_t CountEvents(const Smaf& smaf) {
    std::size_t count = 0;
    for (const Event* event = smaf.events.get(); event != nullptr; event = event->next.get()) {
        ++count;
    }
    return count;
}

constexpr std::size_t kChannelsPerAudioTrack = 4;

// An audio track's event on the synthesiser's audio channels, four for each track; null for a
// trigger of a wave the track lacks.
std::optional<SongAudioEvent> Gathered(const AudioTrack& track, std::size_t trackIndex,
                                       const AudioEvent& event) {
    SongAudioEvent gathered{event.timeMs, event, nullptr};
    gathered.event.channel =
        static_cast<std::uint8_t>(trackIndex * kChannelsPerAudioTrack + event.channel);
    if (event.kind == AudioEvent::Kind::Trigger) {
        const auto wave = track.waves.find(event.wave);
        if (wave == track.waves.end()) {
            return std::nullopt;
        }
        gathered.wave = &wave->second;
    }
    return gathered;
}

// Merges the tracks' events, each track in time order already, into one list in time order; at
// equal times the earlier track comes first and a track keeps its own order.
void GatherAudioEvents(Song& song) {
    const std::size_t playable =
        std::min(song.audioTracks.size(), kAudioChannelCount / kChannelsPerAudioTrack);
    std::vector<std::size_t> next(playable, 0);
    for (;;) {
        std::optional<std::size_t> earliest;
        for (std::size_t t = 0; t < playable; ++t) {
            const auto& events = song.audioTracks[t].events;
            if (next[t] < events.size() &&
                (!earliest || events[next[t]].timeMs <
                                  song.audioTracks[*earliest].events[next[*earliest]].timeMs)) {
                earliest = t;
            }
        }
        if (!earliest) {
            break;
        }
        const AudioTrack& track = song.audioTracks[*earliest];
        if (const auto gathered = Gathered(track, *earliest, track.events[next[*earliest]++])) {
            song.audioEvents.push_back(*gathered);
        }
    }
    for (std::size_t t = 0; t < playable; ++t) {
        const std::uint32_t endMs = song.audioTracks[t].endMs;
        if (endMs > song.startOffsetMs) {
            song.audioLengthMs = std::max(song.audioLengthMs, endMs - song.startOffsetMs);
        }
    }
}

}  // namespace

MidiMessage Song::Message(const SongEvent& event) const {
    MidiMessage message;
    message.type = event.type;
    if (IsVoiceMessage(message)) {
        return voiceMessages[event.voiceMessage];
    }
    message.channelBytes = event.channelBytes;
    message.value = event.value;
    message.address = event.address;
    return message;
}

std::uint32_t SongLengthMs(const Song& song) {
    std::uint32_t length = 0;
    if (song.endIndex != 0) {
        const std::uint32_t last = song.events[song.endIndex - 1].timeMs;
        length = last > song.startOffsetMs ? last - song.startOffsetMs : 0;
    }
    return std::max(length, song.audioLengthMs);
}

std::unique_ptr<Song> LoadSong(Bytes smafFile) {
    if (smafFile.size() < 8 + kCheckCodeBytes || !BytesEqual(smafFile.first(4), "MMMD")) {
        return nullptr;
    }
    auto smaf = CreateSmaf(0, 0);
    smaf->fileData.assign(smafFile.begin(), smafFile.end());
    // The file is read once, for the checks here, the loader and the waves alike. A valid check
    // code means the file chunk holds every byte it states.
    const FileView file = ViewFile(smaf->fileData);
    if (!file.checkCodeValid) {
        return nullptr;
    }
    const ScoreTracks tracks = ReadScoreTracks(file);
    std::vector<AudioTrack> audioTracks = ReadAudioTracks(file);
    if (!tracks.readable && audioTracks.empty()) {
        return nullptr;
    }
    // The engine has no user interface: whatever the loader would tell the user is dropped.
    SilentDiagnostics silence;
    if (!LoadSmaf(*smaf, file, silence)) {
        return nullptr;
    }
    auto song = std::make_unique<Song>();
    song->startOffsetMs = smaf->StartOffset();
    song->ledChannels = tracks.ledChannels;
    song->vibrationChannels = tracks.vibrationChannels;
    const bool handyPhone = smaf->handyPhoneOnly;
    song->drumChannels = handyPhone ? 0 : kGeneralMidiDrumChannels;
    song->initialVelocity = handyPhone ? kFullVelocity : kInitialVelocity;
    song->endIndex = 0;
    song->events.reserve(CountEvents(*smaf));
    for (const Event* event = smaf->events.get(); event != nullptr; event = event->next.get()) {
        const SongEvent converted = ConvertEvent(*song, *event, handyPhone);
        if (DoesNothing(converted) && event != smaf->stop && event->next != nullptr) {
            continue;
        }
        song->events.push_back(converted);
        if (song->endIndex == 0 && event == smaf->stop) {
            song->endIndex = song->events.size();
        }
    }
    if (song->endIndex == 0) {
        song->endIndex = song->events.size();
    }
    song->waves = ReadWaveBank(file);
    song->audioTracks = std::move(audioTracks);
    GatherAudioEvents(*song);
    return song;
}

}  // namespace rolvik::synth
