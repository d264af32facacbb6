#pragma once

#include <array>
#include <cstdint>

namespace rolvik {

// One operator's parameters as the voice-set file keeps them; they are forwarded to the engine in
// the voice message.
struct VoiceOperator {
    std::uint8_t multi = 0;  // 4 bits, index into the frequency multiplier table
    std::uint8_t dt = 0;     // 3 bits
    std::uint8_t ar = 0;     // 4 bits each: attack, decay, sustain and release rates, sustain level
    std::uint8_t dr = 0;
    std::uint8_t sr = 0;
    std::uint8_t rr = 0;
    std::uint8_t sl = 0;
    std::uint8_t tl = 0;   // 6 bits, 0.75 dB of attenuation a step
    std::uint8_t ksl = 0;  // 2 bits
    std::uint8_t amDepth = 0;
    std::uint8_t vibDepth = 0;
    std::uint8_t fb = 0;  // 3 bits
    std::uint8_t ws = 0;  // 5 bits
    bool xof = false;
    bool sus = false;
    bool ksr = false;
    bool amEnable = false;
    bool vibEnable = false;
};

inline constexpr int kVoiceTypeFm = 0;
inline constexpr int kVoiceTypePcm = 1;

// One voice of the voice set and the bank, program and note it is assigned to. Fields that the
// record's type does not carry stay zero.
struct Voice {
    std::array<char, 17> name{};  // 16 bytes from the file and a terminating zero
    std::uint8_t bankMsb = 0;
    std::uint8_t bankLsb = 0;
    std::uint8_t program = 0;
    std::uint8_t note = 0;
    std::uint8_t drumKey = 0;  // FM: the note at which a drum voice sounds
    std::uint8_t lfo = 0;      // 2 bits
    std::uint8_t panpot = 0;   // 5 bits
    bool panpotEnable = false;
    std::uint8_t algorithm = 0;                // FM, 3 bits: 0 and 1 two operators, 2 to 7 four
    int type = kVoiceTypeFm;                   // 0 FM, 1 PCM, other values as the file has them
    std::uint32_t waveWord1 = 0;               // PCM: 16 bits
    bool waveFlag = false;                     // PCM
    std::uint8_t waveBits = 0;                 // PCM: 3 bits
    std::uint32_t waveWord2 = 0;               // PCM: 16 bits
    std::uint32_t waveWord3 = 0;               // PCM: 16 bits
    std::array<VoiceOperator, 4> operators{};  // FM: all four; PCM: the first
};

}  // namespace rolvik
