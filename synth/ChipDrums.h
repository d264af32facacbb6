#pragma once

#include <array>
#include <cstdint>

#include "core/Wave.h"

namespace rolvik::synth {

// The chip's own drum waves, which sampled voices name with wave numbers 0x80 to 0x86. Our own
// sounds, made by tools/drums, stand in for the chip's sample memory.
enum class ChipDrum : std::uint8_t { Kick, Snare, Tom, ClosedHiHat, OpenHiHat, Ride, Crash };
constexpr int kChipDrumCount = 7;

// The shape every wave keeps, so that the loop and end points that songs' voices give for the
// chip's waves fit ours: its length and loop start in frames, and the rate it is made for (songs
// play it faster or slower to tune it). Waves whose loop starts at their end play once.
struct ChipDrumLayout {
    std::uint16_t frames;
    std::uint16_t loopStart;
    std::uint16_t rateHz;
};

constexpr std::array<ChipDrumLayout, kChipDrumCount> kChipDrumLayouts = {{
    {937, 937, 11000},    // kick
    {2971, 2971, 20000},  // snare
    {3525, 2772, 12000},  // tom: a steady tone from the loop on
    {1239, 1239, 16000},  // closed hi-hat
    {3323, 3323, 16000},  // open hi-hat
    {4800, 1594, 20000},  // ride: a steady shimmer from the loop on
    {5595, 3577, 14000},  // crash: likewise
}};

constexpr const ChipDrumLayout& LayoutOf(ChipDrum drum) {
    return kChipDrumLayouts[static_cast<std::size_t>(drum)];
}

// The wave of chip drum 0..6, its rate the one it is made for; null for other numbers.
const Wave* ChipDrumWave(int number);

}  // namespace rolvik::synth
