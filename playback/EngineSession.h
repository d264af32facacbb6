#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

#include "EmuPlay.h"
#include "EmulatorBinding.h"
#include "EngineControls.h"
#include "MidiPlayback.h"
#include "TickCount.h"
#include "VoiceSet.h"

namespace rolvik {

// Everything one use of the engine holds: the loaded library with its function table and work
// memory, the playback controls, the voice set, and the two players' engine-side state (EmuPlay's
// sequencer calls, MidiPlay's walk and sounding notes). Which player runs is the controller's to
// know (PlaybackController); the session only does what it is told. Several sessions can live side
// by side, each with its own state.
class EngineSession {
  public:
    explicit EngineSession(TickSource clock = TickCount);
    EngineSession(const EngineSession&) = delete;
    EngineSession& operator=(const EngineSession&) = delete;

    EmulatorBinding& binding() { return binding_; }
    const EmulatorBinding& binding() const { return binding_; }
    EngineControls& controls() { return controls_; }
    const EngineControls& controls() const { return controls_; }
    VoiceSet& voices() { return voices_; }
    const VoiceSet& voices() const { return voices_; }
    const EmuPlayback& emu() const { return emu_; }
    MidiPlayback& midi() { return midi_; }
    const MidiPlayback& midi() const { return midi_; }

    // The session's millisecond clock, the one MidiPlay runs against.
    std::uint32_t NowMs() const { return clock_(); }

    // The one path of MIDI messages to the engine; 0 when the engine accepted the message.
    int EmuSetMidiMsg(Bytes message) const { return binding_.EmuSetMidiMsg(message); }

    // Sends the master-volume exclusive with the current volume; 1, or 0 after a message.
    int EmuMIDISetVolume() const;

    // Resets the synthesiser, sends the master volume and assigns every voice of the voice set:
    // melody voices of bank 124/0 to the banks 124/0 to 124/9, drum voices of bank 125/0 to the
    // programs 0 and 2 to 9, every other voice once where it is stored.
    void PresetVoices() const;

    // Sends the voice message of one voice-set entry, with its bank LSB or program replaced in the
    // message when given. A refused message is reported and the caller goes on.
    void AssignVoice(std::size_t index, std::optional<std::uint8_t> bankLsb,
                     std::optional<std::uint8_t> program) const;

  private:
    TickSource clock_;
    EmulatorBinding binding_;
    EngineControls controls_;
    VoiceSet voices_;
    EmuPlayback emu_{binding_, controls_};
    MidiPlayback midi_{*this, clock_};
};

// The one way the window and the command-line tool set up the engine: loads the library into MIDI
// use, takes the controls, reads the voice-set file (optional: a failure shows its message and the
// session goes on without it) and sends the voices. None when the library does not load; its
// message has been shown, or none when an export is missing.
std::unique_ptr<EngineSession> StartEngineSession(const std::filesystem::path& voiceSetPath,
                                                  const EngineControls& controls,
                                                  TickSource clock = TickCount);

}  // namespace rolvik
