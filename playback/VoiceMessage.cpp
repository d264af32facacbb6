#include "VoiceMessage.h"

#include <cstddef>
#include <vector>

#include "core/SmafExclusive.h"

namespace rolvik {
namespace {

constexpr std::uint8_t kKindFm = 0x00;
constexpr std::uint8_t kKindPcm = 0x01;
constexpr std::size_t kGroupSize = 7;

// How a parameter byte's bit 7 travels. Normally the group's flag byte carries it; a few bytes go
// out whole (bit 7 and all) or lose it.
enum class High { InFlag, Whole, Dropped };

struct Parameter {
    std::uint8_t value;
    High high = High::InFlag;
};

void AppendGroups(ByteVector& message, const std::vector<Parameter>& parameters) {
    for (std::size_t first = 0; first < parameters.size(); first += kGroupSize) {
        const std::size_t flagIndex = message.size();
        message.push_back(0);
        for (std::size_t i = first; i < parameters.size() && i < first + kGroupSize; ++i) {
            const Parameter& parameter = parameters[i];
            if (parameter.high == High::Whole) {
                message.push_back(parameter.value);
                continue;
            }
            if (parameter.high == High::InFlag && (parameter.value & 0x80)) {
                message[flagIndex] |= static_cast<std::uint8_t>(0x40 >> (i - first));
            }
            message.push_back(parameter.value & 0x7F);
        }
    }
}

ByteVector VoiceMessage(const Voice& voice, std::uint8_t kind,
                        const std::vector<Parameter>& parameters) {
    ByteVector message = StartMemoryMessage(kModelMa5, kVoiceDefinition);
    message.insert(message.end(), {voice.bankMsb, voice.bankLsb, voice.program, voice.note, kind});
    AppendGroups(message, parameters);
    message.push_back(0xF7);
    return message;
}

std::uint8_t Byte(unsigned value) {
    return static_cast<std::uint8_t>(value);
}

std::uint8_t ModulationByte(const VoiceOperator& op) {
    return Byte(op.amDepth * 32 + (op.amEnable ? 16 : 0) + op.vibDepth * 2 +
                (op.vibEnable ? 1 : 0));
}

// The operator byte that carries the modulation depths goes out whole.
constexpr std::size_t kFmModulationByte = 4;

void AppendFmOperator(std::vector<Parameter>& parameters, const VoiceOperator& op) {
    const std::array<std::uint8_t, kFmOperatorBytes> bytes = FmOperatorBytes(op);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        parameters.push_back({bytes[i], i == kFmModulationByte ? High::Whole : High::InFlag});
    }
}

}  // namespace

std::array<std::uint8_t, kFmOperatorBytes> FmOperatorBytes(const VoiceOperator& op) {
    return {
        Byte(op.sr * 16 + (op.xof ? 8 : 0) + (op.sus ? 2 : 0) + (op.ksr ? 1 : 0)),
        Byte(op.rr * 16 + op.dr),
        Byte(op.ar * 16 + op.sl),
        Byte(op.tl * 4 + op.ksl),
        ModulationByte(op),
        Byte(op.multi * 16 + op.dt),
        Byte(op.ws * 8 + op.fb),
    };
}

ByteVector BuildFmVoiceMessage(const Voice& voice) {
    std::vector<Parameter> parameters = {
        {voice.drumKey, High::Whole},
        {Byte(voice.panpot * 8)},
        {Byte(voice.lfo * 64 + (voice.panpotEnable ? 32 : 0) + voice.algorithm)},
    };
    const std::size_t operatorCount = voice.algorithm >= 2 ? 4 : 2;
    for (std::size_t i = 0; i < operatorCount; ++i) {
        AppendFmOperator(parameters, voice.operators[i]);
    }
    return VoiceMessage(voice, kKindFm, parameters);
}

ByteVector BuildPcmVoiceMessage(const Voice& voice) {
    const VoiceOperator& op = voice.operators[0];
    const std::vector<Parameter> parameters = {
        {Byte(voice.waveWord1 >> 8)},
        {Byte(voice.waveWord1)},
        {Byte(voice.panpot * 8 + (voice.panpotEnable ? 1 : 0))},
        {Byte(voice.lfo * 64)},
        {Byte(op.sr * 16 + (op.xof ? 8 : 0) + (op.sus ? 4 : 0))},
        {Byte(op.rr * 16 + op.dr)},
        {Byte(op.ar * 16 + op.sl)},
        {Byte(op.tl * 4)},
        {ModulationByte(op), High::Whole},
        {0},
        {0},
        {Byte(voice.waveWord2 >> 8), High::Dropped},
        {Byte(voice.waveWord2)},
        {Byte(voice.waveWord3 >> 8), High::Dropped},
        {Byte(voice.waveWord3)},
        {Byte((voice.waveFlag ? 128 : 0) + voice.waveBits)},
    };
    return VoiceMessage(voice, kKindPcm, parameters);
}

}  // namespace rolvik
