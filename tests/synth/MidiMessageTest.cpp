#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "SynthTestSupport.h"
#include "synth/DefaultVoices.h"

namespace rolvik::synth::test {
namespace {

constexpr int kMsFrames = 48;

double Cents(double hz, double referenceHz) {
    return 1200.0 * std::log2(hz / referenceHz);
}

TEST(MidiMessageTest, RefusesMalformedMessages) {
    const ByteVector malformed[] = {
        {},                              // nothing
        {0x45, 0x40},                    // no status byte
        {0x90, 0x45},                    // note-on cut short
        {0x90, 0x45, 0x40, 0x00},        // a byte too many
        {0xC0, 0x01, 0x02},              // program change of three bytes
        {0xF0, 0x43, 0x79, 0x06, 0x7F},  // exclusive without its end
        {0xF1, 0x00},                    // not a message the engine takes
        // A voice definition whose parameters are cut short.
        {0xF0, 0x43, 0x79, 0x07, 0x7F, 0x01, 0x7C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0xF7},
    };
    for (const ByteVector& message : malformed) {
        EXPECT_FALSE(ParseMidiMessage(message).has_value()) << message.size() << " bytes";
    }
}

TEST(MidiMessageTest, TellsTheExclusivesApart) {
    const std::pair<ByteVector, MessageType> messages[] = {
        {{0xF0, 0x43, 0x79, 0x06, 0x7F, 0x7F, 0xF7}, MessageType::Reset},
        {{0xF0, 0x43, 0x79, 0x05, 0x7E, 0x09, 0x40, 0xF7}, MessageType::MasterVolume},
        {{0xF0, 0x43, 0x79, 0x06, 0x7F, 0x02, 0x7C, 0x00, 0x05, 0x00, 0xF7},
         MessageType::EraseVoice},
        {VoiceMessage(124, 0, 5, 0, SineVoice()), MessageType::DefineVoice},
        {{0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}, MessageType::Ignored},
        {{0xF0, 0x43, 0x79, 0x06, 0x7F, 0x01, 0x7C, 0x01, 0x00, 0x00, 0x03, 0x00, 0xF7},
         MessageType::Ignored},
    };
    for (const auto& [bytes, type] : messages) {
        const auto parsed = ParseMidiMessage(bytes);
        ASSERT_TRUE(parsed.has_value());
        EXPECT_EQ(parsed->type, type);
    }
}

TEST(MidiMessageTest, ReadsVoiceDefinitionsOfEveryKind) {
    // Four operators packed in seven-bit groups (48 bytes), with bytes that carry bit 7.
    OperatorSettings loud;
    loud.ws = 17;
    loud.fb = 5;
    loud.dam = 3;
    const VoiceParameters fourOperators = MakeVoice(5, {loud, {}, loud, {}});
    const ByteVector packed = VoiceMessage(124, 1, 7, 0, fourOperators);
    ASSERT_EQ(packed.size(), 48u);
    auto parsed = ParseMidiMessage(packed);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->key, (VoiceKey{124, 1, 7, 0}));
    EXPECT_EQ(parsed->voice.operators, fourOperators.operators);
    EXPECT_EQ(parsed->voice.operators[0].ws(), 17);
    EXPECT_EQ(ParseMidiMessage(VoiceMessage(124, 0, 0, 0, SineVoice()))->voice.operatorCount(), 2);

    // The same voice as plain bytes, as MA-5 songs carry it (42 bytes).
    ByteVector plain = {0xF0, 0x43, 0x79, 0x07, 0x7F, 0x01, 0x7D, 0x00, 0x00, 0x24, 0x00};
    plain.insert(plain.end(), fourOperators.voiceBytes.begin(), fourOperators.voiceBytes.end());
    for (const auto& op : fourOperators.operators) {
        plain.insert(plain.end(), op.bytes.begin(), op.bytes.end());
    }
    plain.push_back(0xF7);
    parsed = ParseMidiMessage(plain);
    ASSERT_TRUE(parsed.has_value());
    EXPECT_EQ(parsed->key, (VoiceKey{125, 0, 0, 0x24}));
    EXPECT_EQ(parsed->voice.operators, fourOperators.operators);

    // A PCM voice (31 bytes): its envelope becomes one operator; SUS sits at bit 2 of Q4.
    const ByteVector pcm = {0xF0, 0x43, 0x79, 0x07, 0x7F, 0x01, 0x7C, 0x00, 0x03, 0x00, 0x01,
                            0x00, 0x12, 0x34, 0x79, 0x40, 0x2C, 0x4F, 0xF2, 0x00, 0x10, 0x00,
                            0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x02, 0xF7};
    parsed = ParseMidiMessage(pcm);
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->type, MessageType::DefineVoice);
    const VoiceParameters& voice = parsed->voice;
    EXPECT_EQ(voice.kind, VoiceKind::Pcm);
    EXPECT_EQ(voice.operatorCount(), 1);
    EXPECT_EQ(voice.panpot(), 0x79 >> 3);
    EXPECT_TRUE(voice.panpotEnabled());
    EXPECT_EQ(voice.lfoRate(), 1);
    EXPECT_EQ(voice.operators[0].sr(), 2);
    EXPECT_TRUE(voice.operators[0].sus());
    EXPECT_EQ(voice.operators[0].rr(), 4);
    EXPECT_EQ(voice.operators[0].ar(), 15);

    // A HandyPhone song's voice on a drum bank: five bytes an operator. The decaying modulator
    // goes on falling at its release rate while held, the sustained carrier holds.
    parsed = ParseMidiMessage(ByteVector{0xF0, 0x43, 0x03, 0x02, 0x80, 0x05, 0xA8, 0x01, 0x3B, 0x72,
                                         0xF3, 0x52, 0x6E, 0x04, 0x81, 0xC0, 0x00, 0x80, 0xF7});
    ASSERT_TRUE(parsed.has_value());
    ASSERT_EQ(parsed->type, MessageType::DefineVoice);
    EXPECT_EQ(parsed->key, (VoiceKey{124, 0x40, 5, 0})) << "drum banks from LSB 64 on";
    EXPECT_EQ(parsed->voice.lfoRate(), 2);
    EXPECT_EQ(parsed->voice.operatorCount(), 2);
    const OperatorParameters& modulator = parsed->voice.operators[0];
    const OperatorParameters& carrier = parsed->voice.operators[1];
    EXPECT_EQ((std::array{modulator.multi(), modulator.sr(), modulator.rr(), modulator.dr(),
                          modulator.ar(), modulator.sl(), modulator.tl(), modulator.ksl(),
                          modulator.dvb(), modulator.dam(), modulator.ws(), modulator.fb()}),
              (std::array{3, 7, 7, 2, 15, 3, 20, 2, 1, 2, 6, 5}));
    EXPECT_TRUE(modulator.evb() && modulator.eam() && modulator.sus() && modulator.ksr());
    EXPECT_EQ((std::array{carrier.multi(), carrier.sr(), carrier.rr(), carrier.dr(), carrier.ar(),
                          carrier.tl(), carrier.dvb(), carrier.fb()}),
              (std::array{0, 0, 8, 1, 12, 0, 2, 0}));
    EXPECT_FALSE(carrier.evb() || carrier.eam() || carrier.sus() || carrier.ksr());
}

// The sound of program 0, note 69, on a fresh synthesiser after `prepare`.
std::vector<float> ProgramZeroNote(const std::function<void(Synthesizer&)>& prepare) {
    Synthesizer synthesizer;
    prepare(synthesizer);
    Send(synthesizer, {0x90, 69, 100});
    return RenderLeft(synthesizer, 200 * kMsFrames);
}

TEST(ExclusiveTest, VoiceDefinitionReplacesTheDefaultAndEraseBringsItBack) {
    const auto byDefault = ProgramZeroNote([](Synthesizer&) {});
    const auto defined =
        ProgramZeroNote([](Synthesizer& s) { Send(s, VoiceMessage(124, 0, 0, 0, SineVoice())); });
    EXPECT_NE(defined, byDefault);
    EXPECT_NEAR(Cents(FrequencyHz(std::span(defined).subspan(4800)), 440.0), 0.0, 1.0);
    const auto erased = ProgramZeroNote([](Synthesizer& s) {
        Send(s, VoiceMessage(124, 0, 0, 0, SineVoice()));
        Send(s, {0xF0, 0x43, 0x79, 0x06, 0x7F, 0x02, 0x7C, 0x00, 0x00, 0x00, 0xF7});
    });
    EXPECT_EQ(erased, byDefault);
}

TEST(ExclusiveTest, ResetSilencesAndMasterVolumeScales) {
    Synthesizer synthesizer;
    UseVoice(synthesizer, SineVoice());
    Send(synthesizer, {0x90, 69, 127});
    EXPECT_GT(Rms(RenderLeft(synthesizer, 4800)), 0.01);
    Send(synthesizer, {0xF0, 0x43, 0x79, 0x06, 0x7F, 0x7F, 0xF7});
    const auto afterReset = RenderLeft(synthesizer, 4800);
    EXPECT_EQ(Rms(afterReset), 0.0);

    auto levelAt = [](std::uint8_t volume) {
        Synthesizer s;
        UseVoice(s, SineVoice());
        Send(s, {0xF0, 0x43, 0x79, 0x05, 0x7E, 0x09, volume, 0xF7});
        Send(s, {0x90, 69, 127});
        const auto signal = RenderLeft(s, 9600);
        return RmsDb(std::span(signal).subspan(4800));
    };
    EXPECT_NEAR(levelAt(127) - levelAt(64), 40.0 * std::log10(127.0 / 64.0), 0.1);
    EXPECT_TRUE(std::isinf(levelAt(0)) || levelAt(0) < -200.0);
}

TEST(DefaultVoiceTest, EveryProgramAndGeneralMidiDrumSounds) {
    for (int program = 0; program < 128; ++program) {
        Synthesizer synthesizer;
        Send(synthesizer, {0xC0, static_cast<std::uint8_t>(program)});
        Send(synthesizer, {0x90, 60, 100});
        EXPECT_GT(Rms(RenderLeft(synthesizer, 300 * kMsFrames)), 0.003) << "program " << program;
    }
    for (int note = kFirstDefaultDrumNote; note <= kLastDefaultDrumNote; ++note) {
        Synthesizer synthesizer;
        Send(synthesizer, {0x99, static_cast<std::uint8_t>(note), 100});
        EXPECT_GT(Rms(RenderLeft(synthesizer, 100 * kMsFrames)), 0.003) << "drum " << note;
    }
}

TEST(DefaultVoiceTest, DrumVoiceSoundsAtItsOwnKey) {
    VoiceParameters drum = SineVoice();
    drum.voiceBytes[0] = 81;  // sounds at A5 whatever note plays it
    Synthesizer synthesizer;
    Send(synthesizer, VoiceMessage(125, 0, 0, 40, drum));
    Send(synthesizer, {0x99, 40, 127});
    RenderLeft(synthesizer, 4800);
    EXPECT_NEAR(Cents(FrequencyHz(RenderLeft(synthesizer, 48000)), 880.0), 0.0, 1.0);
}

}  // namespace
}  // namespace rolvik::synth::test
