#include "VoiceBank.h"

#include "DefaultVoices.h"

namespace rolvik::synth {

const VoiceParameters* VoiceBank::Find(std::uint8_t bankMsb, std::uint8_t bankLsb,
                                       std::uint8_t program, std::uint8_t note) const {
    const auto found = defined_.find(MakeVoiceKey(bankMsb, bankLsb, program, note));
    if (found != defined_.end()) {
        return &found->second;
    }
    if (bankMsb == kDrumBank) {
        return DefaultDrumVoice(note);
    }
    return &DefaultMelodyVoice(program);
}

}  // namespace rolvik::synth
