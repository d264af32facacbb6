#pragma once

#include <array>
#include <cstdint>

namespace rolvik::synth {

// How a voice wires its operators: how many it has, which are heard (carriers) and which modulate
// themselves (feedback). Bit n of a mask stands for operator n + 1.
struct FmAlgorithm {
    int operatorCount;
    std::uint8_t carriers;
    std::uint8_t feedback;
};

// The eight algorithms of the FM voices and, last, the one of the PCM voices. In the diagrams
// "1*" is an operator with feedback, "a > b" a modulating b, and "+" outputs mixed together.
// Note::ComputeSample spells out the same wiring sample by sample.
constexpr std::array<FmAlgorithm, 9> kFmAlgorithms = {{
    // 0:  1* > 2 > out
    {2, 0b0010, 0b0001},
    // 1:  1* + 2 > out
    {2, 0b0011, 0b0001},
    // 2:  1* + 2 + 3* + 4 > out
    {4, 0b1111, 0b0101},
    // 3:  1* ------+
    //              +> 4 > out
    //     2 > 3 ---+
    {4, 0b1000, 0b0001},
    // 4:  1* > 2 > 3 > 4 > out
    {4, 0b1000, 0b0001},
    // 5:  1* > 2 --+
    //              +> out
    //     3* > 4 --+
    {4, 0b1010, 0b0101},
    // 6:  1* ----------+
    //                  +> out
    //     2 > 3 > 4 ---+
    {4, 0b1001, 0b0001},
    // 7:  1* ------+
    //     2 > 3 ---+> out
    //     4 -------+
    {4, 0b1101, 0b0001},
    // 8:  1 > out     (a PCM voice's wave)
    {1, 0b0001, 0b0000},
}};

constexpr int kPcmAlgorithm = 8;

}  // namespace rolvik::synth
