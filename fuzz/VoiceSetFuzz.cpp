// Reads arbitrary bytes as a voice-set file and builds the voice message of every voice read.

#include <cstddef>
#include <cstdint>

#include "core/ShowMessage.h"
#include "playback/VoiceMessage.h"
#include "playback/VoiceSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace rolvik;
    ScopedMessageHandler quiet([](std::string_view, std::string_view, MessageIcon) {});
    VoiceSet voices;
    voices.LoadVoiceSetBytes(Bytes(data, size));
    for (const Voice& voice : voices.voiceTable()) {
        const ByteVector message =
            voice.type == kVoiceTypeFm ? BuildFmVoiceMessage(voice) : BuildPcmVoiceMessage(voice);
        if (message.front() != 0xF0 || message.back() != 0xF7) {
            __builtin_trap();
        }
    }
    return 0;
}
