#include "VoiceParameters.h"

#include <algorithm>

namespace rolvik::synth {

std::optional<VoiceParameters> ReadFmVoice(Bytes parameters) {
    if (parameters.size() < kFmTwoOperatorBytes) {
        return std::nullopt;
    }
    VoiceParameters voice;
    std::copy_n(parameters.begin(), 3, voice.voiceBytes.begin());
    const std::size_t needed =
        voice.operatorCount() == 4 ? kFmFourOperatorBytes : kFmTwoOperatorBytes;
    if (parameters.size() < needed) {
        return std::nullopt;
    }
    for (int op = 0; op < voice.operatorCount(); ++op) {
        std::copy_n(parameters.begin() + 3 + 7 * op, 7, voice.operators[op].bytes.begin());
    }
    return voice;
}

std::optional<VoiceParameters> ReadPcmVoice(Bytes parameters) {
    if (parameters.size() < kPcmBytes) {
        return std::nullopt;
    }
    VoiceParameters voice;
    voice.kind = VoiceKind::Pcm;
    // Q2: panpot(5) . . PE; Q3: LFO rate(2). Moved to where an FM voice keeps them.
    const std::uint8_t panpotEnable = (parameters[2] & 0x01) != 0 ? 0x20 : 0x00;
    voice.voiceBytes = {0, static_cast<std::uint8_t>(parameters[2] & 0xF8),
                        static_cast<std::uint8_t>((parameters[3] & 0xC0) | panpotEnable)};
    OperatorParameters& op = voice.operators[0];
    // Q4 keeps SUS one bit higher than an FM operator does.
    const std::uint8_t sus = (parameters[4] & 0x04) != 0 ? 0x02 : 0x00;
    op.bytes[0] = static_cast<std::uint8_t>((parameters[4] & 0xF8) | sus);
    op.bytes[1] = parameters[5];
    op.bytes[2] = parameters[6];
    op.bytes[3] = static_cast<std::uint8_t>(parameters[7] & 0xFC);
    op.bytes[4] = parameters[8];
    op.bytes[5] = 0x10;  // MULTI 1, no detune: the wave sounds at the note's pitch
    op.bytes[6] = 0x80;  // WS 16: a triangle, should the operator ever sound as FM
    voice.pcmWave = ReadPcmVoiceWave(parameters);
    return voice;
}

}  // namespace rolvik::synth
