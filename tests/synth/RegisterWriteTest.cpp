#include <gtest/gtest.h>

#include <cmath>

#include "SynthTestSupport.h"

namespace rolvik::synth::test {
namespace {

constexpr int kMsFrames = 48;

void WriteRegister(Synthesizer& synthesizer, std::uint8_t address, std::uint8_t value) {
    Send(synthesizer, {0xF0, 0x43, 0x03, 0x90, address, value, 0xF7});
}

// Keys a note on at the F-number and block through registers B0+n and C0+n.
void KeyOn(Synthesizer& synthesizer, int channel, int fNumber, int block) {
    WriteRegister(synthesizer, static_cast<std::uint8_t>(0xB0 + channel),
                  static_cast<std::uint8_t>(fNumber & 0xFF));
    WriteRegister(synthesizer, static_cast<std::uint8_t>(0xC0 + channel),
                  static_cast<std::uint8_t>(0x20 | block << 2 | fNumber >> 8));
}

double RegisterHz(int fNumber, int block) {
    return fNumber * 49716.0 / std::exp2(20 - block);
}

double SteadyHz(Synthesizer& synthesizer) {
    RenderLeft(synthesizer, 50 * kMsFrames);
    return FrequencyHz(RenderLeft(synthesizer, 500 * kMsFrames));
}

TEST(RegisterWriteTest, KeyOnSoundsTheWrittenFrequencyWithTheChannelsVoice) {
    Synthesizer synthesizer;
    Send(synthesizer, VoiceMessage(124, 0, 5, 0, SineVoice()));
    Send(synthesizer, {0xC3, 5});
    KeyOn(synthesizer, 3, 0x1B5, 4);  // 331.5 Hz, between E4 and F4
    EXPECT_NEAR(SteadyHz(synthesizer), RegisterHz(0x1B5, 4), 0.2);
    EXPECT_TRUE(synthesizer.IsSounding(3, -1));
    // Without a velocity of its own it sounds at full level, as a note of velocity 127.
    Synthesizer reference;
    Send(reference, VoiceMessage(124, 0, 5, 0, SineVoice()));
    Send(reference, {0xC3, 5});
    Send(reference, {0x93, 64, 127});
    RenderLeft(reference, 50 * kMsFrames);
    EXPECT_NEAR(RmsDb(RenderLeft(synthesizer, 100 * kMsFrames)),
                RmsDb(RenderLeft(reference, 100 * kMsFrames)), 0.5);

    // While the key is held the pitch follows the registers, as on the chip.
    WriteRegister(synthesizer, 0xB3, 0x90);
    WriteRegister(synthesizer, 0xC3, 0x20 | 6 << 2 | 0x02);
    EXPECT_NEAR(SteadyHz(synthesizer), RegisterHz(0x290, 6), 0.5);
    EXPECT_EQ(synthesizer.ActiveNoteCount(), 1);

    // Note-offs of the channel do not touch it; a write that clears key-on releases it.
    for (std::uint8_t key = 0; key < 128; ++key) {
        Send(synthesizer, {0x83, key, 0});
    }
    EXPECT_GT(Rms(RenderLeft(synthesizer, 10 * kMsFrames)), 0.01);
    WriteRegister(synthesizer, 0xC3, 6 << 2 | 0x02);
    RenderLeft(synthesizer, 100 * kMsFrames);
    EXPECT_EQ(Rms(RenderLeft(synthesizer, 10 * kMsFrames)), 0.0);
    EXPECT_EQ(synthesizer.ActiveNoteCount(), 0);
}

TEST(RegisterWriteTest, OnlyKeyOnOfAFrequencyStrikesANote) {
    Synthesizer synthesizer;
    WriteRegister(synthesizer, 0xB0, 0x44);
    WriteRegister(synthesizer, 0xC0, 0x15);  // key-on clear
    WriteRegister(synthesizer, 0xB1, 0x00);
    WriteRegister(synthesizer, 0xC1, 0x30);  // F-number 0
    WriteRegister(synthesizer, 0xA2, 0x44);  // no register of a note
    EXPECT_EQ(synthesizer.ActiveNoteCount(), 0);
    KeyOn(synthesizer, 0, 0x144, 5);
    Send(synthesizer, {0xF0, 0x43, 0x79, 0x06, 0x7F, 0x7F, 0xF7});
    EXPECT_EQ(synthesizer.ActiveNoteCount(), 0) << "reset";
    WriteRegister(synthesizer, 0xC0, 0x34);
    EXPECT_EQ(synthesizer.ActiveNoteCount(), 0) << "the reset cleared the F-number";
}

}  // namespace
}  // namespace rolvik::synth::test
