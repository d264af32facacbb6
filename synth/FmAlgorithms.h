#pragma once

#include <array>
#include <cstdint>

namespace rolvik::synth {

// How a voice wires its operators: how many it has, which operators modulate each one, which are
// heard (carriers) and which modulate themselves (feedback). Bit n of a mask stands for operator
// n + 1. Note::ComputeSample renders every row as it is written here.
struct FmAlgorithm {
    int operatorCount;
    std::array<std::uint8_t, 4> modulators;  // per operator, the operators feeding its phase
    std::uint8_t carriers;
    std::uint8_t feedback;
};

// The eight algorithms of the FM voices and, last, the one of the PCM voices. In the diagrams
// "1*" is an operator with feedback, "a > b" a modulating b, and "+" outputs mixed together.
constexpr std::array<FmAlgorithm, 9> kFmAlgorithms = {{
    // 0:  1* > 2 > out
    {2, {0, 0b0001, 0, 0}, 0b0010, 0b0001},
    // 1:  1* + 2 > out
    {2, {0, 0, 0, 0}, 0b0011, 0b0001},
    // 2:  1* + 2 + 3* + 4 > out
    {4, {0, 0, 0, 0}, 0b1111, 0b0101},
    // 3:  1* ------+
    //              +> 4 > out
    //     2 > 3 ---+
    {4, {0, 0, 0b0010, 0b0101}, 0b1000, 0b0001},
    // 4:  1* > 2 > 3 > 4 > out
    {4, {0, 0b0001, 0b0010, 0b0100}, 0b1000, 0b0001},
    // 5:  1* > 2 --+
    //              +> out
    //     3* > 4 --+
    {4, {0, 0b0001, 0, 0b0100}, 0b1010, 0b0101},
    // 6:  1* ----------+
    //                  +> out
    //     2 > 3 > 4 ---+
    {4, {0, 0, 0b0010, 0b0100}, 0b1001, 0b0001},
    // 7:  1* ------+
    //     2 > 3 ---+> out
    //     4 -------+
    {4, {0, 0, 0b0010, 0}, 0b1101, 0b0001},
    // 8:  1 > out     (a PCM voice's wave)
    {1, {0, 0, 0, 0}, 0b0001, 0b0000},
}};

constexpr int kPcmAlgorithm = 8;

// A sample is computed in one pass over the operators in their order, so every operator's
// modulators come before it; an operator with feedback takes no other modulation.
constexpr bool WiredInOrder(const FmAlgorithm& algorithm) {
    for (int op = 0; op < algorithm.operatorCount; ++op) {
        const unsigned modulators = algorithm.modulators[op];
        if (modulators >> op != 0 || ((algorithm.feedback >> op & 1) != 0 && modulators != 0)) {
            return false;
        }
    }
    return true;
}

static_assert([] {
    for (const FmAlgorithm& algorithm : kFmAlgorithms) {
        if (!WiredInOrder(algorithm)) {
            return false;
        }
    }
    return true;
}());

}  // namespace rolvik::synth
