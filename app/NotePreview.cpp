#include "NotePreview.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "core/ShowMessage.h"
#include "core/SmafExclusive.h"

namespace rolvik {
namespace {

bool AllKnown(const TrackVoice& voice) {
    return voice.bankMsb >= 0 && voice.bankLsb >= 0 && voice.program >= 0;
}

void NoteVoiceEvent(const Event& event, TrackVoice& voice) {
    const std::uint8_t kind = StatusKind(event.status);
    if (kind == kControlChange && event.data.size() >= 2) {
        if (event.data[0] == 0) {
            voice.bankMsb = event.data[1];
        } else if (event.data[0] == 32) {
            voice.bankLsb = event.data[1];
        }
    } else if (kind == kProgramChange && !event.data.empty()) {
        voice.program = event.data[0];
    }
}

const Event* FindVoiceDefinition(const Smaf& document, const TrackVoice& voice) {
    const std::array<std::uint8_t, 3> key = {static_cast<std::uint8_t>(voice.bankMsb),
                                             static_cast<std::uint8_t>(voice.bankLsb),
                                             static_cast<std::uint8_t>(voice.program)};
    for (const Event* event = document.events.get(); event; event = event->next.get()) {
        const Bytes body = ExclusiveBody(event->data);
        const std::optional<MemoryMessage> message = ReadMemoryMessage(body);
        if (event->status == kExclusive && message && message->model == kModelMa3 &&
            message->kind == kVoiceDefinition &&
            body.size() >= kMemoryMessageHeadSize + key.size() &&
            std::equal(key.begin(), key.end(), body.begin() + kMemoryMessageHeadSize)) {
            return event;
        }
    }
    return nullptr;
}

bool Send(const EngineSession& engine, std::initializer_list<int> bytes, const char* failure) {
    ByteVector message;
    for (const int byte : bytes) {
        message.push_back(static_cast<std::uint8_t>(byte));
    }
    if (engine.EmuSetMidiMsg(message) != 0) {
        ShowMessage(failure, "Error", MessageIcon::Error);
        return false;
    }
    return true;
}

}  // namespace

TrackVoice FindTrackVoice(const Smaf& document, int channel) {
    TrackVoice voice;
    for (const Event* event = document.events.get(); event && !AllKnown(voice);
         event = event->next.get()) {
        if (EventChannel(*event) == channel) {
            NoteVoiceEvent(*event, voice);
        }
    }
    if (AllKnown(voice)) {
        voice.voiceDefinition = FindVoiceDefinition(document, voice);
    }
    return voice;
}

void SoundPreviewNote(EngineSession& engine, const Smaf* document, int visibleTrack, int key,
                      bool shiftHeld, int currentInstrument, PreviewedNote& previewed) {
    engine.EmuMIDISetVolume();
    const int channel = visibleTrack == kAllTracks ? 0 : visibleTrack;
    TrackVoice voice;
    if (document && visibleTrack != kAllTracks && document->events) {
        voice = FindTrackVoice(*document, channel);
    }
    if (voice.bankMsb < 0) {
        voice.bankMsb = shiftHeld ? kDrumBank : kMelodyBank;
    } else if (voice.voiceDefinition) {
        engine.midi().DoEvent(*voice.voiceDefinition, 0);
    }
    const int bankLsb = std::max(voice.bankLsb, 0);
    const int program = voice.program >= 0 ? voice.program : currentInstrument;
    if (!Send(engine, {kControlChange + channel, 0x00, voice.bankMsb}, "SetMidiMsg5 failed") ||
        !Send(engine, {kControlChange + channel, 0x20, bankLsb}, "SetMidiMsg6 failed") ||
        !Send(engine, {kProgramChange + channel, program}, "SetMidiMsg7 failed")) {
        return;
    }
    previewed.channel = channel;
    if (Send(engine, {kNoteOn + channel, key, 0x7F}, "SetMidiMsg8[sounding note] failed")) {
        previewed.note = key;
    }
}

void StopPreviewNote(const EngineSession& engine, const PreviewedNote& previewed) {
    Send(engine, {kNoteOn + previewed.channel, previewed.note, 0x00},
         "SetMidiMsg8[sounding] failed");
}

}  // namespace rolvik
