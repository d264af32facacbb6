#pragma once

#include <array>
#include <cstdint>

#include "ChipDrums.h"
#include "VoiceParameters.h"

namespace rolvik::synth {

// The General MIDI drums that our built-in kit plays with the chip's drum waves, each as a
// sampled voice of the kind songs define for them: the wave tuned by its rate, played through to
// its end (key-off ignored) at a level set by TL; the looped waves die away at the sustain rate.
// The kit's other drums stay FM.
struct KitDrum {
    std::uint8_t note;
    ChipDrum drum;
    std::uint16_t rateHz;
    std::uint8_t tl;  // 0.75 dB a step
    std::uint8_t sr;  // 0 for the waves played once
};

constexpr std::array<KitDrum, 20> kKitDrums = {{
    {35, ChipDrum::Kick, 10000, 4, 0},        {36, ChipDrum::Kick, 12000, 2, 0},
    {38, ChipDrum::Snare, 19000, 4, 0},       {40, ChipDrum::Snare, 23000, 6, 0},
    {41, ChipDrum::Tom, 8000, 4, 5},          {43, ChipDrum::Tom, 10000, 4, 5},
    {45, ChipDrum::Tom, 12000, 4, 5},         {47, ChipDrum::Tom, 15000, 4, 5},
    {48, ChipDrum::Tom, 18000, 4, 5},         {50, ChipDrum::Tom, 21000, 4, 5},
    {42, ChipDrum::ClosedHiHat, 16000, 8, 0}, {44, ChipDrum::ClosedHiHat, 14000, 10, 0},
    {46, ChipDrum::OpenHiHat, 15500, 8, 0},   {49, ChipDrum::Crash, 13200, 4, 5},
    {52, ChipDrum::Crash, 10000, 8, 5},       {55, ChipDrum::Crash, 21000, 10, 5},
    {57, ChipDrum::Crash, 15000, 4, 5},       {51, ChipDrum::Ride, 20000, 8, 5},
    {53, ChipDrum::Ride, 24000, 8, 5},        {59, ChipDrum::Ride, 18000, 8, 5},
}};

// The 16 parameter bytes of a sampled voice that plays the kit drum.
constexpr std::array<std::uint8_t, kPcmBytes> KitVoiceBytes(const KitDrum& kit) {
    const ChipDrumLayout& layout = LayoutOf(kit.drum);
    constexpr std::uint8_t kNoKeyOff = 0x08;
    constexpr std::uint8_t kInstantAttack = 0xF0;  // AR 15, SL 0
    constexpr std::uint8_t kFastRelease = 0xF0;    // RR 15, DR 0
    constexpr std::uint8_t kChipMemory = 0x80;
    return {static_cast<std::uint8_t>(kit.rateHz >> 8),
            static_cast<std::uint8_t>(kit.rateHz & 0xFF),
            0,
            0,
            static_cast<std::uint8_t>(kit.sr << 4 | kNoKeyOff),
            kFastRelease,
            kInstantAttack,
            static_cast<std::uint8_t>(kit.tl << 2),
            0,
            0,
            0,
            static_cast<std::uint8_t>(layout.loopStart >> 8),
            static_cast<std::uint8_t>(layout.loopStart & 0xFF),
            static_cast<std::uint8_t>(layout.frames >> 8),
            static_cast<std::uint8_t>(layout.frames & 0xFF),
            static_cast<std::uint8_t>(kChipMemory | static_cast<std::uint8_t>(kit.drum))};
}

}  // namespace rolvik::synth
