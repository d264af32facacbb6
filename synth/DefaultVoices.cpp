#include "DefaultVoices.h"

#include <array>
#include <cstdint>
#include <vector>

namespace rolvik::synth {
namespace {

template <std::size_t Count>
using DefaultVoiceTable = std::array<std::array<std::uint8_t, kFmFourOperatorBytes>, Count>;

#include "DefaultVoices.inc"

template <std::size_t Count>
std::vector<VoiceParameters> DecodeTable(const DefaultVoiceTable<Count>& table) {
    std::vector<VoiceParameters> voices;
    for (const auto& bytes : table) {
        voices.push_back(*ReadFmVoice(bytes));
    }
    return voices;
}

}  // namespace

const VoiceParameters& DefaultMelodyVoice(int program) {
    static const std::vector<VoiceParameters> voices = DecodeTable(kDefaultMelodyVoiceBytes);
    return voices[program & 0x7F];
}

const VoiceParameters* DefaultDrumVoice(int note) {
    static const std::vector<VoiceParameters> voices = DecodeTable(kDefaultDrumVoiceBytes);
    if (note < kFirstDefaultDrumNote || note > kLastDefaultDrumNote) {
        return nullptr;
    }
    return &voices[note - kFirstDefaultDrumNote];
}

}  // namespace rolvik::synth
