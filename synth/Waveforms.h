#pragma once

#include <array>
#include <cstdint>

namespace rolvik::synth {

// One cycle of each of the 32 waveforms (WS 0..31), indexed by the top bits of a 32-bit phase.
constexpr int kWaveformBits = 12;
constexpr int kWaveformLength = 1 << kWaveformBits;
constexpr int kWaveformCount = 32;

using Waveform = std::array<float, kWaveformLength>;

// The table of a waveform number; reserved numbers (15, 23, 31) are silence.
const Waveform& WaveformTable(int ws);

}  // namespace rolvik::synth
