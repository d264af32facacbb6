#include "VoiceBank.h"

#include <algorithm>

#include "DefaultVoices.h"

namespace rolvik::synth {

const VoiceParameters* VoiceBank::Find(const Channel& channel, std::uint8_t note) const {
    const std::uint8_t bankMsb = channel.isDrum() ? kDrumBank : channel.bankMsb;
    const VoiceParameters* defined =
        defined_.Find(MakeVoiceKey(bankMsb, channel.bankLsb, channel.program, note));
    if (defined != nullptr) {
        return defined;
    }
    if (channel.isDrum()) {
        // A drum note beyond the General MIDI kit (songs written for a phone's sampled sounds use
        // them) takes the nearest drum of the kit rather than staying silent.
        return DefaultDrumVoice(std::clamp<int>(note, kFirstDefaultDrumNote, kLastDefaultDrumNote));
    }
    return &DefaultMelodyVoice(channel.program);
}

}  // namespace rolvik::synth
