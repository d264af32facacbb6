#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "Channel.h"
#include "MidiMessage.h"
#include "core/Bytes.h"

namespace rolvik::synth {

// One event of a song as the sequencer plays it, decoded once at load.
struct SongEvent {
    std::uint32_t timeMs = 0;  // from the beginning of the song's event list
    bool isNote = false;
    // Notes: channel, key, velocity and gate. A 0x8n note carries no velocity and sounds with the
    // channel's last one; a 0x9n note's velocity becomes the channel's last one even when the note
    // cannot sound.
    std::uint8_t channel = 0;
    std::uint8_t key = 0;
    std::uint8_t velocity = 0;
    bool hasVelocity = false;
    std::uint32_t gateMs = 0;
    // Everything else: the message as the synthesiser takes it.
    MidiMessage message;
};

// A SMAF song ready for the sequencer: its events in time order, where the sequence begins and
// ends, and which channels light the LED or run the vibrator.
struct Song {
    std::vector<SongEvent> events;
    std::uint32_t startOffsetMs = 0;  // the beginning of the sequence in event time
    std::size_t endIndex = 0;         // events from here on lie beyond the stop point
    std::uint16_t ledChannels = 0;
    std::uint16_t vibrationChannels = 0;
    std::uint16_t drumChannels = kGeneralMidiDrumChannels;  // those starting on the drum bank
};

// Ms from the beginning of the sequence to its last event before the stop point.
std::uint32_t SongLengthMs(const Song& song);

// Checks the bytes (a SMAF file beginning with "MMMD", a valid check code, at least one score
// track of a format that can be read) and reads the song with the loader, without any message
// to the user. Null when the bytes are refused.
std::unique_ptr<Song> LoadSong(Bytes smafFile);

}  // namespace rolvik::synth
