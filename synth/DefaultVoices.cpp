#include "DefaultVoices.h"

#include <array>
#include <cstdint>

#include "DefaultDrumKit.h"

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

// The FM drums, with the kit's drums of the chip's waves in their places.
std::array<VoiceParameters, kLastDefaultDrumNote - kFirstDefaultDrumNote + 1> DrumKit() {
    auto voices = DecodeTable(kDefaultDrumVoiceBytes);
    for (const KitDrum& kit : kKitDrums) {
        voices[kit.note - kFirstDefaultDrumNote] = *ReadPcmVoice(KitVoiceBytes(kit));
    }
    return voices;
}

// Decoded when the program starts rather than at first use, so that the audio thread, where
// notes find their voices, never waits on a first-use guard.
const auto kMelodyVoices = DecodeTable(kDefaultMelodyVoiceBytes);
const auto kDrumVoices = DrumKit();

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
