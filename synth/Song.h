#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "Channel.h"
#include "MidiMessage.h"
#include "core/AudioTrack.h"
#include "core/Bytes.h"
#include "core/WaveBank.h"

namespace rolvik::synth {

constexpr std::uint8_t kInitialVelocity = 64;
constexpr std::uint8_t kFullVelocity = 127;

// One event of a song as the sequencer plays it, decoded once at load. 24 bytes, so that a song of
// millions of events costs little: a message is kept inline but for a voice definition or erasure,
// which the song keeps apart (Song::Message gives every message whole).
struct SongEvent {
    std::uint32_t timeMs = 0;  // from the beginning of the song's event list
    std::uint32_t gateMs = 0;
    bool isNote = false;
    // Notes: channel, key, velocity and gate. A 0x8n note carries no velocity and sounds with the
    // channel's last one; a 0x9n note's velocity becomes the channel's last one even when the note
    // cannot sound.
    std::uint8_t channel = 0;
    std::uint8_t key = 0;
    std::uint8_t velocity = 0;
    bool hasVelocity = false;
    // Everything else: the message's fields as MidiMessage has them.
    MessageType type = MessageType::Ignored;
    std::array<std::uint8_t, 3> channelBytes{};
    std::uint8_t value = 0;
    std::uint8_t address = 0;
    std::uint32_t voiceMessage = 0;  // DefineVoice and EraseVoice: index in Song::voiceMessages
};

// One event of the song's audio tracks, on one of the synthesiser's audio channels.
struct SongAudioEvent {
    std::uint32_t timeMs = 0;    // in event time, as SongEvent's
    AudioEvent event;            // its channel numbers the synthesiser's audio channels
    const Wave* wave = nullptr;  // triggers: the wave, owned by the song's audio track
};

// A SMAF song ready for the sequencer: its events in time order, where the sequence begins and
// ends, which channels light the LED or run the vibrator, and its sampled sound, decoded at load.
struct Song {
    std::vector<SongEvent> events;
    std::vector<MidiMessage> voiceMessages;  // the voice definitions and erasures of `events`
    std::uint32_t startOffsetMs = 0;         // the beginning of the sequence in event time
    std::size_t endIndex = 0;                // events from here on lie beyond the stop point
    std::uint16_t ledChannels = 0;
    std::uint16_t vibrationChannels = 0;
    std::uint16_t drumChannels = kGeneralMidiDrumChannels;  // those starting on the drum bank
    // What a note without a velocity of its own sounds with until a note of its channel carries
    // one. HandyPhone songs know no velocity: the chips that play them sound every note at its
    // voice's full level.
    std::uint8_t initialVelocity = kInitialVelocity;
    WaveBank waves;
    std::vector<AudioTrack> audioTracks;
    std::vector<SongAudioEvent> audioEvents;  // of every audio track, in time order
    std::uint32_t audioLengthMs = 0;  // from the beginning of the sequence to the last track's end

    // The message of an event that is not a note, as the synthesiser takes it.
    MidiMessage Message(const SongEvent& event) const;
};

// Ms from the beginning of the sequence to its last event before the stop point, or to the end of
// its longest audio track if that comes later.
std::uint32_t SongLengthMs(const Song& song);

// Checks the bytes (a SMAF file beginning with "MMMD", a valid check code, at least one score
// track of a format that can be read or one audio track that can be played) and reads the song
// with the loader, without any message to the user. Null when the bytes are refused.
std::unique_ptr<Song> LoadSong(Bytes smafFile);

}  // namespace rolvik::synth
