#include "DefaultVoices.h"

#include <array>
#include <cstdint>

namespace rolvik::synth {
namespace {

template <std::size_t Count>
using DefaultVoiceTable = std::array<std::array<std::uint8_t, kFmFourOperatorBytes>, Count>;

#include "DefaultVoices.inc"

template <std::size_t Count>
std::array<VoiceParameters, Count> DecodeTable(const DefaultVoiceTable<Count>& table) {
    std::array<VoiceParameters, Count> voices;
    for (std::size_t i = 0; i < Count; ++i) {
        voices[i] = *ReadFmVoice(table[i]);
    }
    return voices;
}

// Decoded when the program starts rather than at first use, so that the audio thread, where
// notes find their voices, never waits on a first-use guard.
const auto kMelodyVoices = DecodeTable(kDefaultMelodyVoiceBytes);
const auto kDrumVoices = DecodeTable(kDefaultDrumVoiceBytes);

}  // namespace

const VoiceParameters& DefaultMelodyVoice(int program) {
    return kMelodyVoices[program & 0x7F];
}

const VoiceParameters* DefaultDrumVoice(int note) {
    if (note < kFirstDefaultDrumNote || note > kLastDefaultDrumNote) {
        return nullptr;
    }
    return &kDrumVoices[note - kFirstDefaultDrumNote];
}

}  // namespace rolvik::synth
