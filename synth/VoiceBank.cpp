#include "VoiceBank.h"

#include <algorithm>

#include "DefaultVoices.h"

namespace rolvik::synth {

const VoiceParameters* VoiceBank::Find(std::uint8_t bankMsb, std::uint8_t bankLsb,
                                       std::uint8_t program, std::uint8_t note) const {
    const auto found = defined_.find(MakeVoiceKey(bankMsb, bankLsb, program, note));
    if (found != defined_.end()) {
        return &found->second;
    }
    if (bankMsb == kDrumBank) {
        // A drum note beyond the General MIDI kit (songs written for a phone's sampled sounds use
        // them) takes the nearest drum of the kit rather than staying silent.
        return DefaultDrumVoice(std::clamp<int>(note, kFirstDefaultDrumNote, kLastDefaultDrumNote));
    }
    return &DefaultMelodyVoice(program);
}

}  // namespace rolvik::synth
