#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "SynthTestSupport.h"
#include "core/WaveBank.h"
#include "synth/ChipDrums.h"

namespace rolvik::synth::test {
namespace {

constexpr std::uint8_t kRecordId = 5;
constexpr int kBlock = 2400;  // 50 ms

// A sine wave of `periodFrames` frames a cycle, at three quarters of full scale.
Wave SineWave(std::uint32_t rateHz, int frames, double periodFrames, int channels = 1) {
    Wave wave;
    wave.rateHz = rateHz;
    wave.channels = channels;
    for (int i = 0; i < frames; ++i) {
        const double phase = 2.0 * std::numbers::pi * i / periodFrames;
        for (int side = 0; side < channels; ++side) {
            wave.samples.push_back(static_cast<std::int16_t>(24000.0 * std::sin(phase)));
        }
    }
    return wave;
}

// The definition of a sampled voice, plain as MA-5 songs send it: rate, panpot off, the
// envelope (attack at once, full sustain), loop start, end point and the wave byte.
ByteVector SampledVoiceMessage(std::uint8_t bankMsb, std::uint8_t program, std::uint8_t note,
                               std::uint16_t rateHz, std::uint16_t loopStart,
                               std::uint16_t endPoint, std::uint8_t waveByte) {
    return {0xF0,
            0x43,
            0x79,
            0x07,
            0x7F,
            0x01,
            bankMsb,
            0x00,
            program,
            note,
            0x01,
            static_cast<std::uint8_t>(rateHz >> 8),
            static_cast<std::uint8_t>(rateHz & 0xFF),
            0x78,  // panpot 15, not used
            0x00,  // LFO
            0x00,  // SR 0
            0xF0,  // RR 15, DR 0
            0xF0,  // AR 15, SL 0
            0x00,  // TL 0
            0x00,
            0x00,
            0x00,
            static_cast<std::uint8_t>(loopStart >> 8),
            static_cast<std::uint8_t>(loopStart & 0xFF),
            static_cast<std::uint8_t>(endPoint >> 8),
            static_cast<std::uint8_t>(endPoint & 0xFF),
            waveByte,
            0xF7};
}

class SampledSoundTest : public ::testing::Test {
  protected:
    SampledSoundTest() {
        // 1000 Hz at 24000 Hz; 50 ms of it.
        bank_.records[kRecordId] = SineWave(0, 1200, 24.0);
        synthesizer_.SetSongWaves(&bank_);
    }

    std::vector<float> Strike(std::uint8_t channel, std::uint8_t key, int frames = kBlock) {
        Send(synthesizer_, {static_cast<std::uint8_t>(0x90 | channel), key, 0x7F});
        return RenderLeft(synthesizer_, frames);
    }

    WaveBank bank_;
    Synthesizer synthesizer_;
};

TEST_F(SampledSoundTest, DrumNotesPlayTheWaveAtItsOwnRateMelodyFromC4) {
    Send(synthesizer_, SampledVoiceMessage(125, 0, 36, 24000, 1200, 1200, kRecordId));
    EXPECT_NEAR(FrequencyHz(Strike(9, 36, 2000)), 1000.0, 2.0);
    Send(synthesizer_, {0xB9, 120, 0});

    Send(synthesizer_, SampledVoiceMessage(124, 0, 0, 24000, 0, 1200, kRecordId));
    for (const auto& [key, hz] : {std::pair{60, 1000.0}, {72, 2000.0}, {55, 749.2}}) {
        Send(synthesizer_, {0xB0, 120, 0});
        EXPECT_NEAR(FrequencyHz(Strike(0, static_cast<std::uint8_t>(key), 2000)), hz, 2.0) << key;
    }
}

TEST_F(SampledSoundTest, LoopKeepsTheWaveSoundingAndAOnceWaveEndsQuietly) {
    Send(synthesizer_, SampledVoiceMessage(124, 0, 0, 24000, 600, 1200, kRecordId));
    Send(synthesizer_, SampledVoiceMessage(124, 1, 0, 24000, 1199, 1200, kRecordId));

    const auto looped = Strike(0, 60, 10 * kBlock);
    EXPECT_GT(RmsDb(std::span(looped).last(kBlock)), -20.0);
    EXPECT_NEAR(FrequencyHz(std::span(looped).last(kBlock)), 1000.0, 2.0);

    Send(synthesizer_, {0xB0, 120, 0});
    Send(synthesizer_, {0xC1, 1});
    const auto once = Strike(1, 60, 2 * kBlock);
    EXPECT_GT(RmsDb(std::span(once).first(kBlock)), -20.0);
    EXPECT_LT(RmsDb(std::span(once).last(kBlock)), -120.0);
    EXPECT_EQ(synthesizer_.ActiveNoteCount(), 0);
    // The wave ends at a peak of its sine, yet fades out rather than jumping to silence.
    EXPECT_LT(LargestStep(once), 0.05f);
}

TEST_F(SampledSoundTest, WaveStartsAndStopsThroughTheEnvelope) {
    bank_.records[kRecordId] = Wave{0, 1, std::vector<std::int16_t>(4800, 30000)};
    synthesizer_.SetSongWaves(&bank_);
    Send(synthesizer_, SampledVoiceMessage(124, 0, 0, 48000, 0, 4800, kRecordId));
    const auto start = Strike(0, 60, 480);
    Send(synthesizer_, {0x80, 60, 0});
    const auto stop = RenderLeft(synthesizer_, 480);
    EXPECT_GT(start.back(), 0.2f);
    EXPECT_LT(LargestStep(start), 0.05f);
    EXPECT_LT(LargestStep(stop), 0.05f);
    EXPECT_LT(std::fabs(stop.back()), 1e-3f);
}

TEST_F(SampledSoundTest, WavesNeitherTheSongNorOurKitHasSoundAsFm) {
    // A wave of the chip's sample memory (bit 7) beyond our drum kit, and a wave number the song
    // does not carry.
    Send(synthesizer_, SampledVoiceMessage(125, 0, 38, 24000, 1200, 1200, 0x80 | 9));
    Send(synthesizer_, SampledVoiceMessage(124, 0, 0, 24000, 0, 1200, 9));
    for (const auto& [channel, key] : {std::pair<std::uint8_t, std::uint8_t>{9, 38}, {0, 69}}) {
        const auto heard = Strike(channel, key);
        EXPECT_GT(RmsDb(heard), -40.0) << int(channel);
        EXPECT_LT(ToneMagnitude(heard, 1000.0), 0.05) << int(channel);
        Send(synthesizer_, {static_cast<std::uint8_t>(0xB0 | channel), 120, 0});
    }
}

TEST_F(SampledSoundTest, ChipDrumWavesPlayOurKitWithTheSongsLoopPoints) {
    for (int number = 0; number < kChipDrumCount; ++number) {
        const ChipDrumLayout& layout = kChipDrumLayouts[number];
        ASSERT_EQ(ChipDrumWave(number)->frames(), layout.frames) << number;
        // Twice the wave's rate: it lasts half as long.
        Send(synthesizer_,
             SampledVoiceMessage(125, 0, 20, 2 * layout.rateHz, layout.loopStart, layout.frames,
                                 static_cast<std::uint8_t>(0x80 | number)));
        const int lengthFrames = layout.frames * 24000 / layout.rateHz;
        const auto heard = Strike(9, 20, lengthFrames);
        EXPECT_GT(RmsDb(heard), -40.0) << number;
        EXPECT_EQ(synthesizer_.SampledNoteCount(), 1) << number;
        RenderLeft(synthesizer_, lengthFrames / 10);
        const bool loops = layout.loopStart < layout.frames;
        EXPECT_EQ(synthesizer_.ActiveNoteCount(), loops ? 1 : 0) << number;
        Send(synthesizer_, {0xB9, 120, 0});
    }
}

TEST_F(SampledSoundTest, BuiltInKitPlaysTheChipDrumsWhereItHasThem) {
    for (const auto& [key, sampled] : {std::pair{36, true}, {42, true}, {49, true}, {39, false}}) {
        Strike(9, static_cast<std::uint8_t>(key), 480);
        EXPECT_EQ(synthesizer_.SampledNoteCount(), sampled ? 1 : 0) << key;
        Send(synthesizer_, {0xB9, 120, 0});
    }
}

TEST_F(SampledSoundTest, DrumKeyPlaysTheStreamWaveOfTheNextNumber) {
    bank_.streams[1] = SineWave(16000, 4000, 32.0);   // 500 Hz
    bank_.streams[3] = SineWave(8000, 4000, 4.0, 2);  // 2000 Hz on both sides
    synthesizer_.SetSongWaves(&bank_);
    EXPECT_NEAR(FrequencyHz(Strike(9, 0)), 500.0, 2.0);
    Send(synthesizer_, {0xB9, 120, 0});
    EXPECT_NEAR(FrequencyHz(Strike(9, 2)), 2000.0, 4.0);
    Send(synthesizer_, {0xB9, 120, 0});
    // No stream 2: key 1 is an ordinary drum note.
    EXPECT_LT(ToneMagnitude(Strike(9, 1), 500.0), 0.05);
    // Not on a melody channel; on a drum channel that selects bank 0, as songs converted from
    // General MIDI do.
    Send(synthesizer_, {0xB9, 120, 0});
    EXPECT_LT(ToneMagnitude(Strike(0, 0), 500.0), 0.05);
    Send(synthesizer_, {0xB0, 120, 0});
    Send(synthesizer_, {0xB9, 0, 0});
    EXPECT_NEAR(FrequencyHz(Strike(9, 0)), 500.0, 2.0);
}

// Each side of a stereo stream wave goes to its own side at the level a mono wave plays at: no
// pan law applied on top of the channel's, no halving, no fold-down.
TEST_F(SampledSoundTest, StereoStreamWaveKeepsItsSidesAtTheLevelOfAMonoOne) {
    bank_.streams[1] = SineWave(16000, 4000, 32.0);
    Wave leftOnly = SineWave(16000, 4000, 32.0, 2);
    for (std::size_t i = 1; i < leftOnly.samples.size(); i += 2) {
        leftOnly.samples[i] = 0;
    }
    bank_.streams[2] = leftOnly;
    synthesizer_.SetSongWaves(&bank_);
    const double monoDb = RmsDb(Strike(9, 0));
    Send(synthesizer_, {0xB9, 120, 0});
    Send(synthesizer_, {0x99, 1, 0x7F});
    std::vector<float> left(kBlock), right(kBlock);
    synthesizer_.Render(left.data(), right.data(), kBlock);
    EXPECT_NEAR(RmsDb(left), monoDb, 0.1);
    EXPECT_LT(RmsDb(right), -120.0);
}

TEST_F(SampledSoundTest, WaveRecordsArriveAsMessages) {
    synthesizer_.SetSongWaves(nullptr);
    Send(synthesizer_, SampledVoiceMessage(125, 0, 36, 24000, 1200, 1200, kRecordId));
    EXPECT_LT(ToneMagnitude(Strike(9, 36), 1000.0), 0.05);
    Send(synthesizer_, {0xB9, 120, 0});
    const Wave wave = SineWave(0, 1200, 24.0);
    synthesizer_.DefineWave(kRecordId, &wave);
    EXPECT_NEAR(FrequencyHz(Strike(9, 36, 2000)), 1000.0, 2.0);
}

}  // namespace
}  // namespace rolvik::synth::test
