#include "MidiPlayback.h"

#include <algorithm>
#include <string>
#include <utility>

#include "EngineSession.h"
#include "core/HandyPhoneVoice.h"
#include "core/Number.h"
#include "core/ShowMessage.h"
#include "core/SmafExclusive.h"
#include "core/StreamWaveMessage.h"

namespace rolvik {
namespace {

int Fail(const std::string& text) {
    ShowMessage(text, "Error", MessageIcon::Error);
    return 0;
}

// Only these body lengths reach the synthesiser: the reset and master volume (6), voice
// definitions and long data (256 and more).
bool IsSentExclusiveLength(std::uint32_t length) {
    return length == 6 || IsVoiceDefinitionLength(length) || length >= 256;
}

// The song's own sound that the engine reads in MIDI use as it does in sequencer use, whatever its
// length: wave records (43 79 model 7F 03 ...) of the MA-3 and the MA-5, their sampled voice
// definitions (43 79 model 7F 01 bank bank program note 01 ...), and the MA-5's FM voice
// definitions (kind 00). MA-5 songs carry waves shorter than 256 bytes, which the lengths above
// leave out.
bool IsOwnSoundExclusive(Bytes body) {
    constexpr std::size_t kVoiceKindOffset = kMemoryMessageHeadSize + kVoiceKeySize;
    const std::optional<MemoryMessage> message = ReadMemoryMessage(body);
    if (body.size() <= kVoiceKindOffset || !message) {
        return false;
    }
    const std::uint8_t voiceKind = body[kVoiceKindOffset];
    const bool readVoice = voiceKind == 0x01 || (voiceKind == 0x00 && message->model == kModelMa5);
    return message->kind == kWaveRecord || (message->kind == kVoiceDefinition && readVoice);
}

}  // namespace

MidiPlayback::MidiPlayback(EngineSession& engine, TickSource clock)
    : engine_(engine), clock_(std::move(clock)) {}

bool MidiPlayback::Send(std::initializer_list<std::uint8_t> message) const {
    return engine_.EmuSetMidiMsg(Bytes(message.begin(), message.size())) == 0;
}

bool MidiPlayback::SendNoteOff(const SoundingNote& note) const {
    return Send({static_cast<std::uint8_t>(kNoteOn + note.channel),
                 static_cast<std::uint8_t>(note.note), 0x00});
}

int MidiPlayback::DoPitchBend(const Event& event) const {
    if (event.data.size() < 2) {
        return 1;
    }
    return Send({event.status, event.data[0], event.data[1]}) ? 1
                                                              : Fail("EmuMIDI: DoEvent PB Failed");
}

int MidiPlayback::DoProgramChange(const Event& event) const {
    if (event.data.empty()) {
        return 1;
    }
    return Send({event.status, event.data[0]}) ? 1 : Fail("EmuMIDI: DoEvent PC Failed");
}

// Brings the channels' kinds to what they are after a reset: channel index 9 starts as drums,
// every other channel as melody. A song without a drum channel needs the engine told, since its
// reset always starts index 9 as drums.
bool MidiPlayback::StartChannelKinds() {
    state_.channelBank.fill(kMelodyBank);
    if (!state_.handyPhoneOnly) {
        state_.channelBank[kDrumChannel] = kDrumBank;
        return true;
    }
    return Send({kControlChange + kDrumChannel, 0x00, kMelodyBank});
}

int MidiPlayback::DoNote(const Event& event, int sound) {
    const int channel = EventChannel(event);
    const bool noteOn = StatusKind(event.status) == kNoteOn;
    if (noteOn && event.data.size() >= 2) {
        state_.channelVelocity[channel] = event.data[1];
    }
    const bool filteredOut = state_.trackFilter != kAllTracks && state_.trackFilter != channel;
    if (!sound || filteredOut || event.data.empty()) {
        return 1;
    }
    int note = event.data[0];
    if (state_.channelBank[channel] != kDrumBank) {
        note = static_cast<std::uint8_t>(note + engine_.controls().keyPitch);
    }
    if (!Send({static_cast<std::uint8_t>(kNoteOn + channel), static_cast<std::uint8_t>(note),
               static_cast<std::uint8_t>(state_.channelVelocity[channel])})) {
        return Fail("EmuMIDI: DoEvent NoteON Failed");
    }
    state_.soundingNotes.push_back({channel, note, event.time + EventGate(event)});
    return 1;
}

int MidiPlayback::DoControlChange(const Event& event) {
    if (event.data.size() < 2) {
        return 1;
    }
    if (state_.handyPhoneOnly && event.data[0] == 0) {
        // A HandyPhone bank's voices live at a bank LSB under the melody bank.
        return Send({event.status, 0x20, HandyPhoneBankLsb(event.data[1])})
                   ? 1
                   : Fail("EmuMIDI: DoEvent CC Failed");
    }
    if (!Send({event.status, event.data[0], event.data[1]})) {
        return Fail("EmuMIDI: DoEvent CC Failed");
    }
    // Songs converted from General MIDI select bank 0 on their drum channel and still mean drums.
    const bool kindBank = event.data[1] == kMelodyBank || event.data[1] == kDrumBank;
    if (event.data[0] == 0 && kindBank) {
        state_.channelBank[EventChannel(event)] = event.data[1];
    }
    return 1;
}

int MidiPlayback::DoExclusive(const Event& event) {
    Bytes data = event.data;
    const std::uint32_t length = PeekNumber(data);
    Bytes body = ExclusiveBody(data);
    // A body shorter than its stated length is damage; sending it would read past the event.
    if (body.size() < length) {
        return 1;
    }
    body = body.first(length);
    if (!IsSentExclusiveLength(length) && !IsOwnSoundExclusive(body)) {
        return 1;
    }
    const std::optional<MemoryMessage> memory = ReadMemoryMessage(body);
    if (IsVoiceDefinitionLength(length) && memory && memory->kind == kVoiceDefinition) {
        // A voice definition replaces the voice at its bank, program and note: erase that first.
        if (engine_.EmuSetMidiMsg(
                VoiceEraseMessage(body.subspan(kMemoryMessageHeadSize, kVoiceKeySize))) != 0) {
            return Fail("EmuMIDI: DoEvent EmuSetMidiMsg(Erase?) failed");
        }
    }
    ByteVector message;
    message.reserve(length + 1);
    message.push_back(kExclusive);
    message.insert(message.end(), body.begin(), body.end());
    if (engine_.EmuSetMidiMsg(message) != 0) {
        return Fail("EmuMIDI: DoEvent Exclusive failed(size=" + std::to_string(length + 1) + ")");
    }
    if (length == 6 && body[3] == 0x7F && body[4] == 0x7F) {
        engine_.EmuMIDISetVolume();
        if (!StartChannelKinds()) {
            return Fail("EmuMIDI: DoEvent CC Failed");
        }
    }
    return 1;
}

int MidiPlayback::DoEvent(const Event& event, int sound) {
    const std::uint8_t status = event.status;
    if (IsNoteEvent(event)) {
        return DoNote(event, sound);
    }
    switch (StatusKind(status)) {
        case kControlChange:
            return DoControlChange(event);
        case kPitchBend:
            return DoPitchBend(event);
        case kProgramChange:
            return DoProgramChange(event);
        default:
            break;
    }
    return status == kExclusive ? DoExclusive(event) : 1;
}

// The song's stream waves are not events: the engine gets them here, so that the drum notes that
// play them sound as they do when the engine plays the whole file.
int MidiPlayback::SendStreamWaves(const Smaf& smaf) {
    for (const StreamWaveChunk& wave : FindStreamWaves(smaf.fileData)) {
        if (engine_.EmuSetMidiMsg(MakeStreamWaveMessage(wave)) != 0) {
            return Fail("EmuMIDIPlay: stream wave " + std::to_string(wave.number) + " failed");
        }
    }
    return 1;
}

int MidiPlayback::EmuMIDIPlay(Smaf* smaf, std::int32_t positionMs) {
    state_.midiDocument = smaf;
    if (!smaf) {
        return Fail("EmuMIDIPlay: smaf == NULL, it is probably a program bug!");
    }
    if (!smaf->events) {
        return Fail("EmuMIDIPlay: No events. Please put one or more notes onto pianoroll.");
    }
    if (!smaf->start) {
        return Fail(
            "EmuMIDIPlay: smaf->events != NULL but smaf->start == NULL, it is probably a program "
            "bug!");
    }
    state_.handyPhoneOnly = smaf->handyPhoneOnly;
    state_.channelVelocity.fill(64);
    if (engine_.EmuSetMidiMsg(kResetMessage) != 0 || !StartChannelKinds()) {
        return Fail("SetMidiMsg ini failed");
    }
    if (smaf->hasStreamWaves && !SendStreamWaves(*smaf)) {
        return 0;
    }
    const std::uint32_t targetMs = smaf->StartOffset() + static_cast<std::uint32_t>(positionMs);
    for (state_.nextEvent = smaf->events.get();
         state_.nextEvent && state_.nextEvent->time < targetMs;
         state_.nextEvent = state_.nextEvent->next.get()) {
        if (!DoEvent(*state_.nextEvent, 0)) {
            Fail("EmuMIDI: EmuMIDIPlay DoEvent Failed");
        }
    }
    state_.soundingNotes.clear();
    engine_.EmuMIDISetVolume();
    state_.clockBase = clock_() - targetMs;
    return 1;
}

int MidiPlayback::EmuMIDIProc() {
    const std::uint32_t elapsedMs = TimeMs();
    for (auto note = state_.soundingNotes.begin(); note != state_.soundingNotes.end();) {
        if (note->endTimeMs >= elapsedMs) {
            ++note;
            continue;
        }
        if (!SendNoteOff(*note)) {
            return Fail("EmuMIDI: EmuMIDIProc NoteOFF Failed");
        }
        note = state_.soundingNotes.erase(note);
    }
    while (state_.nextEvent && state_.nextEvent->time < TimeMs()) {
        const Event& event = *state_.nextEvent;
        if (!DoEvent(event, 1)) {
            return Fail("EmuMIDI: EmuMIDIEvent DoEvent Failed");
        }
        state_.nextEvent = event.next.get();
        if (engine_.controls().repeat && EndsLoop(event)) {
            ReturnToLoopStart();
        }
    }
    return 1;
}

// The loop ends at the stop point, or at the last event of a song without one.
bool MidiPlayback::EndsLoop(const Event& event) const {
    const Event* stop = state_.midiDocument->stop;
    return stop ? &event == stop : !event.next;
}

// Time goes back by the loop's length at once, so the first event of the loop follows the last
// without a gap; the notes still sounding keep their end in real time, and the channels get the
// settings of the events before the start point again.
void MidiPlayback::ReturnToLoopStart() {
    Smaf& smaf = *state_.midiDocument;
    const std::uint32_t loopStartMs = smaf.StartOffset();
    const std::uint32_t loopEndMs = smaf.stop ? smaf.stop->time : LastEvent(smaf).time;
    if (loopEndMs <= loopStartMs) {
        return;
    }
    const std::uint32_t loopMs = loopEndMs - loopStartMs;
    state_.clockBase += loopMs;
    for (SoundingNote& note : state_.soundingNotes) {
        note.endTimeMs -= std::min(note.endTimeMs, loopMs);
    }
    for (const Event* event = smaf.events.get(); event && event != smaf.start;
         event = event->next.get()) {
        DoEvent(*event, 0);
    }
    state_.nextEvent = smaf.start;
}

const Event& MidiPlayback::LastEvent(const Smaf& smaf) {
    const Event* last = smaf.events.get();
    while (last->next) {
        last = last->next.get();
    }
    return *last;
}

int MidiPlayback::EmuMIDIStop() {
    state_.nextEvent = nullptr;
    state_.midiDocument = nullptr;
    return EmuDeleteAllNoteoff();
}

int MidiPlayback::EmuDeleteAllNoteoff() {
    while (!state_.soundingNotes.empty()) {
        if (!SendNoteOff(state_.soundingNotes.front())) {
            return Fail("EmuMIDI: EmuDeleteAllNoteoff NoteOFF Failed");
        }
        state_.soundingNotes.pop_front();
    }
    return 1;
}

void MidiPlayback::EmuMIDIEventRemoving(const Event& event) {
    if (state_.nextEvent == &event) {
        state_.nextEvent = event.next.get();
    }
}

}  // namespace rolvik
