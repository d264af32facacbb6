#include "PcmVoiceWave.h"

namespace rolvik::synth {
namespace {

constexpr std::size_t kParameterBytes = 16;

std::uint16_t Word(Bytes parameters, std::size_t at) {
    return static_cast<std::uint16_t>(parameters[at] << 8 | parameters[at + 1]);
}

}  // namespace

PcmVoiceWave ReadPcmVoiceWave(Bytes parameters) {
    PcmVoiceWave wave;
    if (parameters.size() < kParameterBytes) {
        wave.inChipMemory = true;
        return wave;
    }
    wave.rateHz = Word(parameters, 0);
    wave.loopStart = Word(parameters, 11);
    wave.endPoint = Word(parameters, 13);
    wave.waveId = parameters[15] & 0x7F;
    wave.inChipMemory = (parameters[15] & 0x80) != 0;
    return wave;
}

}  // namespace rolvik::synth
