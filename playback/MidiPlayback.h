#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <list>

#include "TickCount.h"
#include "core/ScoreTrack.h"
#include "core/Smaf.h"

namespace rolvik {

// MidiPlay: the program walks the document's event list against a millisecond clock and sends each
// event to the engine as a MIDI message. Notes carry a gate time instead of a note-off, so the
// notes turned on are remembered until their time is up.

inline constexpr int kChannelCount = 16;
inline constexpr int kDrumChannel = 9;
inline constexpr int kAllTracks = -1;

struct SoundingNote {
    int channel = 0;
    int note = 0;                 // the note number exactly as sent in the note-on
    std::uint32_t endTimeMs = 0;  // absolute: the event's time plus its gate
};

struct MidiPlayState {
    Smaf* midiDocument = nullptr;  // not owned; the document of the running MidiPlay
    Event* nextEvent = nullptr;    // not owned; null once every event has been sent
    std::uint32_t clockBase = 0;   // MidiPlay's time is the clock minus this, wrapping
    // Per channel, the last bank select MSB that set its kind: 124 melody, 125 drums. Other banks
    // keep the kind, as the engine does.
    std::array<int, kChannelCount> channelBank{};
    std::array<int, kChannelCount> channelVelocity{};  // last note-on velocity per channel
    std::list<SoundingNote> soundingNotes;             // in the order they were turned on
    int trackFilter = kAllTracks;                      // kAllTracks or the one channel that sounds
    bool handyPhoneOnly = false;  // the document has no drum channel: index 9 starts as melody
};

class EngineSession;

// One MidiPlay: its walk through a document's list and the notes it has turned on. Messages go to
// the session's engine, which has one MIDI input, so each session runs one of these.
class MidiPlayback {
  public:
    MidiPlayback(EngineSession& engine, TickSource clock);

    const MidiPlayState& MidiPlayer() const { return state_; }

    // MidiPlay's own time: absolute ms, wrapping with the clock.
    std::uint32_t TimeMs() const { return clock_() - state_.clockBase; }

    // Resets the synthesiser, replays the events before the position (ms from the document's start
    // offset) silently and starts the clock. 1 when playing, 0 after a message.
    int EmuMIDIPlay(Smaf* smaf, std::int32_t positionMs);

    // Sends one event; with sound 0 it only brings the channel state up to date and sounds no note.
    // 1, or 0 after a message.
    int DoEvent(const Event& event, int sound);

    // Note-offs of the notes whose gate has passed, then the events that are due; with repeat on,
    // the loop's last event leads back to its start point. 1, or 0 after a message; the failed
    // note-off or event is tried again on the next call.
    int EmuMIDIProc();

    // Stops and turns off every note still sounding. Afterwards it holds no reference into the
    // document's event list, so the list may be freed or rebuilt. 1, or 0 after a message.
    int EmuMIDIStop();

    // Turns off every sounding note. 1, or 0 after a message, the list keeping the notes not yet
    // off.
    int EmuDeleteAllNoteoff();

    // kAllTracks lets notes of every channel sound, 0..15 only those of that channel.
    void SetTrackFilter(int channel) { state_.trackFilter = channel; }

    // An edit is about to take the event out of the list: the walk moves on to the event behind it,
    // so that it never follows a freed event.
    void EmuMIDIEventRemoving(const Event& event);

  private:
    bool EndsLoop(const Event& event) const;
    void ReturnToLoopStart();
    static const Event& LastEvent(const Smaf& smaf);
    bool StartChannelKinds();
    int DoNote(const Event& event, int sound);
    int DoControlChange(const Event& event);
    int DoExclusive(const Event& event);
    int SendStreamWaves(const Smaf& smaf);
    bool Send(std::initializer_list<std::uint8_t> message) const;
    bool SendNoteOff(const SoundingNote& note) const;
    int DoPitchBend(const Event& event) const;
    int DoProgramChange(const Event& event) const;

    EngineSession& engine_;
    TickSource clock_;
    MidiPlayState state_;
};

}  // namespace rolvik
