#include "core/Adpcm.h"
#include "core/AdpcmEncoder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace rolvik {
namespace {

std::vector<int> DecodeCodes(std::initializer_list<std::uint8_t> codes) {
    AdpcmDecoder decoder;
    std::vector<int> samples;
    for (const std::uint8_t code : codes) {
        samples.push_back(decoder.Decode(code));
    }
    return samples;
}

TEST(AdpcmDecoder, MovesByOddEighthsOfTheStepAndNegatesWithTheSignBit) {
    // Step 127: 127/8 + 127/4 + 127/2 + 127 = 15 + 31 + 63 + 127 = 236; then step 304.
    EXPECT_EQ(DecodeCodes({0x7}), std::vector<int>({236}));
    // Step 304: 38 + 76 + 152 + 304 = 570; step 729: 91 + 182 + 364 + 729 = 1366 down.
    EXPECT_EQ(DecodeCodes({0x7, 0x7, 0xF}), std::vector<int>({236, 806, -560}));
    // The smallest step stays at 127: every zero code adds 127/8.
    EXPECT_EQ(DecodeCodes({0x0, 0x0, 0x0, 0x8}), std::vector<int>({15, 30, 45, 30}));
}

TEST(AdpcmDecoder, ScalesTheStepByTheFactorOfEachMagnitude) {
    // After a primer code 7 (sample 236, step 304), code k moves by its multiple of 304 and scales
    // the step to 304 × factor / 256; a following code 0 shows that step as step / 8.
    struct Case {
        std::uint8_t code;
        int move;
        int nextStep;
    };
    const Case cases[] = {{0, 38, 273},  {1, 114, 273}, {2, 190, 273}, {3, 266, 273},
                          {4, 342, 364}, {5, 418, 485}, {6, 494, 608}, {7, 570, 729}};
    for (const Case& c : cases) {
        const auto samples = DecodeCodes({0x7, c.code, 0x0});
        EXPECT_EQ(samples[1], 236 + c.move) << "code " << int(c.code);
        EXPECT_EQ(samples[2], 236 + c.move + c.nextStep / 8) << "code " << int(c.code);
    }
}

TEST(AdpcmDecoder, ClampsTheSampleAndTheStep) {
    AdpcmDecoder decoder;
    int sample = 0;
    for (int i = 0; i < 20; ++i) {
        sample = decoder.Decode(0x7);
    }
    EXPECT_EQ(sample, 32767);
    // The step stopped at 24576: a full negative code moves by 3072 + 6144 + 12288 + 24576.
    EXPECT_EQ(decoder.Decode(0xF), 32767 - 46080);
    EXPECT_EQ(decoder.Decode(0xF), -32768);
    EXPECT_EQ(decoder.Decode(0x8), -32768);
}

TEST(DecodeAdpcm, TakesTheLowNibbleFirst) {
    EXPECT_EQ(DecodeAdpcm(ByteVector{0x70}), std::vector<std::int16_t>({15, 15 + 236}));
    EXPECT_EQ(DecodeAdpcm(ByteVector{0x07}), std::vector<std::int16_t>({236, 236 + 38}));
    EXPECT_TRUE(DecodeAdpcm(ByteVector{}).empty());
}

TEST(DecodeStereoAdpcm, GivesEachSideItsOwnDecoderLeftInTheLowNibble) {
    EXPECT_EQ(DecodeStereoAdpcm(ByteVector{0x07, 0x07}),
              std::vector<std::int16_t>({236, 15, 806, 30}));
}

double SignalToNoiseDb(const std::vector<std::int16_t>& signal,
                       const std::vector<std::int16_t>& decoded) {
    double power = 0;
    double noise = 0;
    for (std::size_t i = 0; i < signal.size(); ++i) {
        power += double(signal[i]) * signal[i];
        noise += (double(decoded[i]) - signal[i]) * (double(decoded[i]) - signal[i]);
    }
    return 10 * std::log10(power / noise);
}

// Whatever the signal (quiet, loud up to the rails, a jump), decoding the encoder's codes gives it
// back closely, one sample for each, and an odd count gets one more code.
TEST(EncodeAdpcm, DecodesBackToTheSignal) {
    std::vector<std::int16_t> signal;
    for (int i = 0; i < 8001; ++i) {
        const double level = i < 2000 ? 300 : (i < 6000 ? 32767 : 8000);
        signal.push_back(
            static_cast<std::int16_t>(level * std::sin(i * 0.05 + 0.002 * i * i / 100)));
    }
    const ByteVector codes = EncodeAdpcm(signal);
    ASSERT_EQ(codes.size(), 4001u);
    std::vector<std::int16_t> decoded = DecodeAdpcm(codes);
    ASSERT_EQ(decoded.size(), 8002u);
    decoded.resize(signal.size());
    EXPECT_GT(SignalToNoiseDb(signal, decoded), 25.0);
    EXPECT_TRUE(EncodeAdpcm({}).empty());
}

}  // namespace
}  // namespace rolvik
