#include <gtest/gtest.h>

#include <cmath>

#include "SynthTestSupport.h"

namespace rolvik::synth::test {
namespace {

constexpr int kMsFrames = 48;

double Cents(double hz, double referenceHz) {
    return 1200.0 * std::log2(hz / referenceHz);
}

Synthesizer SineSynthesizer(const OperatorSettings& carrier = {}) {
    Synthesizer synthesizer;
    UseVoice(synthesizer, SineVoice(carrier));
    return synthesizer;
}

TEST(ChannelTest, PitchBendReachesTwoSemitonesEitherWay) {
    const std::tuple<std::uint8_t, std::uint8_t, double> bends[] = {
        {0x7F, 0x7F, 200.0}, {0x00, 0x00, -200.0}, {0x00, 0x40, 0.0}, {0x00, 0x60, 100.0}};
    for (const auto& [lsb, msb, cents] : bends) {
        Synthesizer synthesizer = SineSynthesizer();
        Send(synthesizer, {0xE0, lsb, msb});
        Send(synthesizer, {0x90, 69, 127});
        RenderLeft(synthesizer, 4800);
        EXPECT_NEAR(Cents(FrequencyHz(RenderLeft(synthesizer, 48000)), 440.0), cents, 1.5);
    }
    // A bend moves notes that already sound.
    Synthesizer synthesizer = SineSynthesizer();
    Send(synthesizer, {0x90, 69, 127});
    RenderLeft(synthesizer, 4800);
    Send(synthesizer, {0xE0, 0x7F, 0x7F});
    RenderLeft(synthesizer, 480);
    EXPECT_NEAR(Cents(FrequencyHz(RenderLeft(synthesizer, 48000)), 440.0), 200.0, 1.5);
}

TEST(ChannelTest, HoldKeepsReleasedNotesUntilThePedalLifts) {
    OperatorSettings carrier;
    carrier.rr = 10;
    Synthesizer synthesizer = SineSynthesizer(carrier);
    Send(synthesizer, {0xB0, 64, 127});
    Send(synthesizer, {0x90, 69, 127});
    const double held = Rms(RenderLeft(synthesizer, 4800));
    Send(synthesizer, {0x90, 69, 0});
    RenderLeft(synthesizer, 480 * kMsFrames / 10);
    EXPECT_NEAR(Rms(RenderLeft(synthesizer, 4800)), held, held * 0.01);
    Send(synthesizer, {0xB0, 64, 0});
    RenderLeft(synthesizer, 500 * kMsFrames);
    EXPECT_FALSE(synthesizer.IsSounding(0, 69));
}

TEST(ChannelTest, NoteOffReleasesOnlyItsOwnNote) {
    Synthesizer synthesizer = SineSynthesizer();
    Send(synthesizer, {0x90, 60, 127});
    Send(synthesizer, {0x90, 64, 127});
    Send(synthesizer, {0x91, 60, 127});
    Send(synthesizer, {0x80, 60, 64});
    RenderLeft(synthesizer, 100 * kMsFrames);
    EXPECT_FALSE(synthesizer.IsSounding(0, 60));
    EXPECT_TRUE(synthesizer.IsSounding(0, 64));
    EXPECT_TRUE(synthesizer.IsSounding(1, 60));
}

TEST(ChannelTest, VolumeExpressionAndPanShapeTheLevel) {
    auto levels = [](std::initializer_list<std::uint8_t> control) {
        Synthesizer synthesizer = SineSynthesizer();
        Send(synthesizer, control);
        Send(synthesizer, {0x90, 69, 127});
        std::vector<float> left(9600), right(9600);
        synthesizer.Render(left.data(), right.data(), 9600);
        return std::pair(RmsDb(left), RmsDb(right));
    };
    const auto [left, right] = levels({0xB0, 10, 64});
    EXPECT_NEAR(left, right, 0.2);
    EXPECT_NEAR(left - levels({0xB0, 7, 50}).first, 40.0 * std::log10(100.0 / 50.0), 0.1);
    EXPECT_NEAR(left - levels({0xB0, 11, 64}).first, 40.0 * std::log10(127.0 / 64.0), 0.1);
    const auto [hardLeft, silentRight] = levels({0xB0, 10, 0});
    EXPECT_GT(hardLeft, left);
    EXPECT_LT(silentRight, -100.0);
}

TEST(ChannelTest, NotesStartAndStopWithoutClicks) {
    // A sine at 440 Hz moves at most 2π·440/48000 of its amplitude a sample.
    Synthesizer synthesizer = SineSynthesizer();
    Send(synthesizer, {0x90, 69, 127});
    auto signal = RenderLeft(synthesizer, 4800);
    Send(synthesizer, {0x90, 69, 0});
    const auto release = RenderLeft(synthesizer, 4800);
    signal.insert(signal.end(), release.begin(), release.end());
    const float peak = *std::max_element(signal.begin(), signal.end());
    EXPECT_LT(LargestStep(signal), peak * 0.07f);
    EXPECT_EQ(signal.back(), 0.0f);
}

TEST(PolyphonyTest, ThirtyTwoNotesSoundAtOnce) {
    Synthesizer synthesizer = SineSynthesizer();
    for (int key = 40; key < 72; ++key) {
        Send(synthesizer, {0x90, static_cast<std::uint8_t>(key), 100});
    }
    RenderLeft(synthesizer, 480);
    EXPECT_EQ(synthesizer.ActiveNoteCount(), kMaxNotes);
    for (int key = 40; key < 72; ++key) {
        EXPECT_TRUE(synthesizer.IsSounding(0, key));
    }
}

TEST(PolyphonyTest, StealsTheQuietestReleasedNoteFirstThenTheOldest) {
    OperatorSettings carrier;
    carrier.rr = 3;  // long releases keep released notes sounding
    Synthesizer synthesizer = SineSynthesizer(carrier);
    for (int key = 40; key < 72; ++key) {
        Send(synthesizer, {0x90, static_cast<std::uint8_t>(key), 100});
        RenderLeft(synthesizer, 48);
    }
    Send(synthesizer, {0x90, 50, 0});  // released first: the quietest
    RenderLeft(synthesizer, 100 * kMsFrames);
    Send(synthesizer, {0x90, 60, 0});
    RenderLeft(synthesizer, 48);
    Send(synthesizer, {0x90, 80, 100});
    EXPECT_FALSE(synthesizer.IsSounding(0, 50));
    EXPECT_TRUE(synthesizer.IsSounding(0, 60));
    EXPECT_TRUE(synthesizer.IsSounding(0, 40));
    Send(synthesizer, {0x90, 81, 100});
    EXPECT_FALSE(synthesizer.IsSounding(0, 60));
    Send(synthesizer, {0x90, 82, 100});  // every note is held now: the oldest goes
    EXPECT_FALSE(synthesizer.IsSounding(0, 40));
    EXPECT_TRUE(synthesizer.IsSounding(0, 41));
    EXPECT_EQ(synthesizer.ActiveNoteCount(), kMaxNotes);
}

// Defines a sine drum at 125/0/0 note 40 that sounds at A5 and a sine melody at program 0 of the
// banks used, then plays note 40 on the channel after the bank selects: 880 Hz means drums, the
// note's own pitch (82.4 Hz) melody.
double PitchAfterBankSelects(std::uint8_t channel, std::initializer_list<std::uint8_t> banks) {
    VoiceParameters drum = SineVoice();
    drum.voiceBytes[0] = 81;
    Synthesizer synthesizer;
    Send(synthesizer, VoiceMessage(125, 0, 0, 40, drum));
    for (const std::uint8_t melodyBank : {124, 0, 2}) {
        Send(synthesizer, VoiceMessage(melodyBank, 0, 0, 0, SineVoice()));
    }
    for (const std::uint8_t bank : banks) {
        Send(synthesizer, {static_cast<std::uint8_t>(0xB0 | channel), 0x00, bank});
    }
    Send(synthesizer, {static_cast<std::uint8_t>(0x90 | channel), 40, 127});
    RenderLeft(synthesizer, 4800);
    return FrequencyHz(RenderLeft(synthesizer, 48000));
}

TEST(ChannelTest, OnlyTheMelodyAndDrumBanksChangeAChannelsKind) {
    EXPECT_NEAR(PitchAfterBankSelects(9, {}), 880.0, 1.0);
    EXPECT_NEAR(PitchAfterBankSelects(9, {0}), 880.0, 1.0) << "General MIDI drums on bank 0";
    EXPECT_NEAR(PitchAfterBankSelects(9, {124}), 82.4, 0.5);
    EXPECT_NEAR(PitchAfterBankSelects(9, {124, 2}), 82.4, 0.5);
    EXPECT_NEAR(PitchAfterBankSelects(0, {}), 82.4, 0.5);
    EXPECT_NEAR(PitchAfterBankSelects(0, {0}), 82.4, 0.5);
    EXPECT_NEAR(PitchAfterBankSelects(0, {125}), 880.0, 1.0);
    EXPECT_NEAR(PitchAfterBankSelects(0, {125, 0}), 880.0, 1.0);
}

}  // namespace
}  // namespace rolvik::synth::test
