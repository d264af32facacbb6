#include <gmock/gmock.h>

#include <filesystem>
#include <fstream>

#include "EngineTest.h"
#include "core/FileIO.h"
#include "playback/VoiceMessage.h"
#include "synth/DefaultDrumKit.h"
#include "tools/DefaultVoiceSet.h"

namespace rolvik {
namespace engine_defaults {

template <std::size_t Count>
using DefaultVoiceTable = std::array<std::array<std::uint8_t, 31>, Count>;

#include "synth/DefaultVoices.inc"

}  // namespace engine_defaults

namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

struct RecordHead {
    std::uint8_t bankMsb;
    std::uint8_t bankLsb;
    std::uint8_t program;
    std::uint8_t note;
    std::uint8_t type;
};

// One record: its two unread bytes, L, the head, a 16-byte name and the given part.
ByteVector Record(const RecordHead& head, const char* name, const ByteVector& part,
                  std::optional<std::uint8_t> length = std::nullopt) {
    ByteVector record = {0xEE,         0xEE,         0,         head.bankMsb,
                         head.bankLsb, head.program, head.note, head.type};
    record[2] = length.value_or(static_cast<std::uint8_t>(21 + part.size()));
    std::string padded(name);
    padded.resize(16, '\0');
    record.insert(record.end(), padded.begin(), padded.end());
    record.insert(record.end(), part.begin(), part.end());
    return record;
}

ByteVector VoiceSetFile(const std::vector<ByteVector>& records,
                        std::optional<std::uint32_t> statedSize = std::nullopt) {
    ByteVector area;
    for (const ByteVector& record : records) {
        area.insert(area.end(), record.begin(), record.end());
    }
    const std::uint32_t size = statedSize.value_or(static_cast<std::uint32_t>(area.size()));
    ByteVector file = {'F',
                       'M',
                       'M',
                       '3',
                       static_cast<std::uint8_t>(size >> 24),
                       static_cast<std::uint8_t>(size >> 16),
                       static_cast<std::uint8_t>(size >> 8),
                       static_cast<std::uint8_t>(size)};
    file.insert(file.end(), area.begin(), area.end());
    return file;
}

// An FM part: drum key 38, panpot 20, lfo 2, panpot enabled, algorithm 4; operator i has
// sr 1+i, xof, sus, ksr, rr 5, dr 6, ar 7, sl 8, tl 40+i, ksl 3, am 5 on, vib 6 on, multi 9,
// dt 4, ws 17, fb 5.
ByteVector FmPart() {
    ByteVector part = {38, 20 << 3, 0x80 | 0x20 | 4};
    for (int i = 0; i < 4; ++i) {
        const ByteVector op = {static_cast<std::uint8_t>((1 + i) << 4 | 0x0B),
                               0x56,
                               0x78,
                               static_cast<std::uint8_t>((40 + i) << 2 | 3),
                               0xBD,
                               0x94,
                               0x8D};
        part.insert(part.end(), op.begin(), op.end());
    }
    return part;
}

ByteVector PcmPart() {
    return {0x12, 0x34, 20 << 3 | 1, 0xC0, 0x3A, 0x56, 0x78, 41 << 2,
            0x5B, 0xFF, 0xFF,        0xAB, 0xCD, 0x87, 0x65, 0x85};
}

class VoiceSetTest : public EngineTest {};

TEST_F(VoiceSetTest, ReadsFmPcmAndOtherRecords) {
    engine->voices().LoadVoiceSetBytes(
        VoiceSetFile({Record({124, 0, 5, 0, 0}, "Piano", FmPart()),
                      Record({125, 1, 0, 36, 1}, "SixteenCharsLong", PcmPart()),
                      Record({7, 8, 9, 10, 2}, "Other", {})}));
    EXPECT_THAT(recorder.messages, IsEmpty());
    ASSERT_EQ(engine->voices().voiceCount(), 3u);

    const Voice& fm = engine->voices().voiceTable()[0];
    EXPECT_STREQ(fm.name.data(), "Piano");
    EXPECT_EQ(fm.program, 5);
    EXPECT_EQ(fm.drumKey, 38);
    EXPECT_EQ(fm.panpot, 20);
    EXPECT_EQ(fm.lfo, 2);
    EXPECT_TRUE(fm.panpotEnable);
    EXPECT_EQ(fm.algorithm, 4);
    const VoiceOperator& op4 = fm.operators[3];
    EXPECT_EQ(op4.sr, 4);
    EXPECT_TRUE(op4.xof && op4.sus && op4.ksr);
    EXPECT_EQ(op4.rr, 5);
    EXPECT_EQ(op4.dr, 6);
    EXPECT_EQ(op4.ar, 7);
    EXPECT_EQ(op4.sl, 8);
    EXPECT_EQ(op4.tl, 43);
    EXPECT_EQ(op4.ksl, 3);
    EXPECT_EQ(op4.amDepth, 5);
    EXPECT_TRUE(op4.amEnable);
    EXPECT_EQ(op4.vibDepth, 6);
    EXPECT_TRUE(op4.vibEnable);
    EXPECT_EQ(op4.multi, 9);
    EXPECT_EQ(op4.dt, 4);
    EXPECT_EQ(op4.ws, 17);
    EXPECT_EQ(op4.fb, 5);

    const Voice& pcm = engine->voices().voiceTable()[1];
    EXPECT_STREQ(pcm.name.data(), "SixteenCharsLong");
    EXPECT_EQ(pcm.type, 1);
    EXPECT_EQ(pcm.waveWord1, 0x1234u);
    EXPECT_EQ(pcm.panpot, 20);
    EXPECT_TRUE(pcm.panpotEnable);
    EXPECT_EQ(pcm.lfo, 3);
    EXPECT_EQ(pcm.operators[0].sr, 3);
    EXPECT_TRUE(pcm.operators[0].xof);
    EXPECT_TRUE(pcm.operators[0].sus);
    EXPECT_EQ(pcm.operators[0].tl, 41);
    EXPECT_EQ(pcm.operators[0].amDepth, 2);
    EXPECT_TRUE(pcm.operators[0].amEnable);
    EXPECT_EQ(pcm.operators[0].vibDepth, 1);
    EXPECT_TRUE(pcm.operators[0].vibEnable);
    EXPECT_EQ(pcm.waveWord2, 0xABCDu);
    EXPECT_EQ(pcm.waveWord3, 0x8765u);
    EXPECT_TRUE(pcm.waveFlag);
    EXPECT_EQ(pcm.waveBits, 5);

    const Voice& other = engine->voices().voiceTable()[2];
    EXPECT_EQ(other.type, 2);
    EXPECT_EQ(other.note, 10);
    EXPECT_EQ(other.operators[0].tl, 0);
    EXPECT_EQ(BuildPcmVoiceMessage(other).size(), 31u);
}

TEST_F(VoiceSetTest, HostileFilesEndTheReadingWithinTheBytes) {
    // Each wrong magic byte is refused.
    for (std::size_t i = 0; i < 4; ++i) {
        ByteVector file = VoiceSetFile({});
        file[i] ^= 0x20;
        engine->voices().LoadVoiceSetBytes(file);
    }
    EXPECT_THAT(recorder.Texts(), ElementsAre("This is not FMM3", "This is not FMM3",
                                              "This is not FMM3", "This is not FMM3"));
    recorder.messages.clear();

    engine->voices().LoadVoiceSetBytes(VoiceSetFile({Record({124, 0, 1, 0, 0}, "x", FmPart())}, 0));
    engine->voices().LoadVoiceSetBytes(ByteVector{'F', 'M', 'M', '3', 0, 0});
    EXPECT_EQ(engine->voices().voiceCount(), 0u);

    // A stated size beyond the file, a record cut short, and L stepping into the middle.
    ByteVector truncated = VoiceSetFile(
        {Record({124, 0, 1, 0, 0}, "kept", FmPart()), Record({124, 0, 2, 0, 0}, "cut", FmPart())},
        0xFFFFFFFF);
    truncated.resize(truncated.size() - 1);
    engine->voices().LoadVoiceSetBytes(truncated);
    EXPECT_EQ(engine->voices().voiceCount(), 1u);
    engine->voices().LoadVoiceSetBytes(
        VoiceSetFile({Record({1, 0, 0, 0, 9}, "", {}, 0), ByteVector(21, 0)}));
    EXPECT_THAT(recorder.messages, IsEmpty());
    EXPECT_EQ(engine->voices().voiceCount(), 2u);
}

TEST_F(VoiceSetTest, FileFailuresShowTheirMessages) {
    engine->voices().LoadVoiceSet("/nonexistent/DefMA3_16.vm3");
    engine->voices().LoadVoiceSet(std::filesystem::temp_directory_path());
    EXPECT_THAT(recorder.Texts(),
                ElementsAre("DefMA3_16.vm3 couldn't open\nIt isn't required, but there are some "
                            "affections.",
                            "DefMA3_16.vm3 couldn't open\nIt isn't required, but there are some "
                            "affections."));
    EXPECT_EQ(engine->voices().voiceCount(), 0u);
}

TEST_F(VoiceSetTest, PresetVoicesCopiesMelodyAndDrumVoices) {
    engine->voices().LoadVoiceSetBytes(
        VoiceSetFile({Record({124, 0, 5, 0, 0}, "melody", FmPart()),
                      Record({125, 0, 0, 36, 0}, "drum", FmPart()),
                      Record({124, 1, 7, 0, 1}, "elsewhere", PcmPart())}));
    engine->PresetVoices();
    const std::vector<ByteVector> sent = fake.MidiMessages();
    ASSERT_EQ(sent.size(), 2u + 10 + 9 + 1);
    EXPECT_EQ(sent[0], (ByteVector{0xF0, 0x43, 0x79, 0x06, 0x7F, 0x7F, 0xF7}));
    EXPECT_EQ(sent[1], (ByteVector{0xF0, 0x43, 0x79, 0x05, 0x7E, 0x09, 127, 0xF7}));
    for (int lsb = 0; lsb < 10; ++lsb) {
        const ByteVector& message = sent[2 + lsb];
        EXPECT_EQ(ByteVector(message.begin() + 6, message.begin() + 10),
                  (ByteVector{124, static_cast<std::uint8_t>(lsb), 5, 0}));
    }
    const std::vector<int> drumPrograms = {0, 2, 3, 4, 5, 6, 7, 8, 9};
    for (std::size_t i = 0; i < drumPrograms.size(); ++i) {
        const ByteVector& message = sent[12 + i];
        EXPECT_EQ(ByteVector(message.begin() + 6, message.begin() + 10),
                  (ByteVector{125, 0, static_cast<std::uint8_t>(drumPrograms[i]), 36}));
    }
    EXPECT_EQ(sent.back().size(), 31u);
    EXPECT_EQ(sent.back()[7], 1);
    EXPECT_EQ(sent.back()[10], 0x01);
    EXPECT_EQ(engine->voices().voiceTable()[0].bankLsb, 0) << "the copies leave the table alone";
}

TEST_F(VoiceSetTest, RefusedMessagesAreReported) {
    engine->voices().LoadVoiceSetBytes(
        VoiceSetFile({Record({125, 0, 0, 200, 0}, "drum", FmPart())}));
    fake.answer = [](const fake::EngineCall& call) -> std::optional<std::int32_t> {
        return call.bytes.size() > 8 && call.bytes[8] == 3 ? std::optional(1) : std::nullopt;
    };
    engine->PresetVoices();
    EXPECT_THAT(
        recorder.Texts(),
        ElementsAre("PresetVoices EmuSetMidiMsg(Assign) failed at Bank125:0, PC3, Note200"));
    EXPECT_EQ(fake.MidiMessages().size(), 2u + 9) << "the other assignments still go out";

    recorder.messages.clear();
    fake.calls.clear();
    fake.results["SetMidiMsg"] = 1;
    engine->PresetVoices();
    EXPECT_THAT(recorder.Texts(), ElementsAre("SetMidiMsg ini failed"));
    EXPECT_EQ(fake.calls.size(), 1u);
}

TEST(VoiceMessageTest, PacksParametersInSevenBitGroups) {
    Voice voice;
    voice.bankMsb = 124;
    voice.program = 3;
    voice.drumKey = 0x90;  // written whole
    voice.panpot = 17;     // 136: bit 7 goes to the flag byte
    voice.algorithm = 1;
    voice.operators[0].ws = 17;
    voice.operators[0].fb = 5;
    voice.operators[0].amDepth = 5;  // 0xA0, written whole
    const ByteVector two = BuildFmVoiceMessage(voice);
    ASSERT_EQ(two.size(), 32u);
    EXPECT_EQ(ByteVector(two.begin(), two.begin() + 11),
              (ByteVector{0xF0, 0x43, 0x79, 0x07, 0x7F, 0x01, 124, 0, 3, 0, 0x00}));
    // Group 1: P0 P1 P2 O0 O1 O2 O3; group 2: O4 O5 O6 and operator 2's first four.
    EXPECT_EQ(two[11], 0x20);
    EXPECT_EQ(two[12], 0x90);
    EXPECT_EQ(two[13], 0x08);
    EXPECT_EQ(two[19], 0x10);
    EXPECT_EQ(two[20], 0xA0);
    EXPECT_EQ(two[22], 0x0D);
    EXPECT_EQ(two.back(), 0xF7);

    voice.algorithm = 2;
    EXPECT_EQ(BuildFmVoiceMessage(voice).size(), 48u);

    voice.waveWord2 = 0x8000 | 0x0102;
    voice.waveFlag = true;
    const ByteVector pcm = BuildPcmVoiceMessage(voice);
    ASSERT_EQ(pcm.size(), 31u);
    EXPECT_EQ(pcm[10], 0x01);
    // Group 2 holds Q7 to Q13: Q11, the high byte of waveWord2, loses bit 15 and sets no flag.
    EXPECT_EQ(pcm[19], 0x00);
    EXPECT_EQ(pcm[24], 0x01);
    // Group 3 holds Q14 and Q15; the wave flag's bit 7 goes to the flag byte.
    EXPECT_EQ(pcm[27], 0x20);
    EXPECT_EQ(pcm[29], 0x00);
}

TEST_F(VoiceSetTest, OurVoiceSetIsMadeFromGenMidiAndLoadsWhole) {
    const std::filesystem::path committed =
        std::filesystem::path(ROLVIK_SOURCE_DIR) / "res" / "DefMA3_16.vm3";
    const auto lump =
        ReadWholeFile(std::filesystem::path(ROLVIK_SOURCE_DIR) / "../shared/data/GENMIDI.lmp");
    if (lump) {
        EXPECT_EQ(tools::BuildDefaultVoiceSet(*lump), ReadWholeFile(committed))
            << "res/DefMA3_16.vm3 is out of date: run rolvik-make-voiceset";
    }
    engine->voices().LoadVoiceSet(committed);
    EXPECT_THAT(recorder.messages, IsEmpty());
    ASSERT_EQ(engine->voices().voiceCount(), 128u + 47);
    EXPECT_STREQ(engine->voices().voiceTable()[0].name.data(), "Acoustic Grand P");
    EXPECT_EQ(engine->voices().voiceTable()[127].program, 127);
    EXPECT_EQ(engine->voices().voiceTable()[128].bankMsb, 125);
    EXPECT_EQ(engine->voices().voiceTable()[128].note, 35);
    EXPECT_EQ(engine->voices().voiceTable()[174].note, 81);

    engine->PresetVoices();
    EXPECT_EQ(fake.MidiMessages().size(), 2u + 128 * 10 + 47 * 9);
    EXPECT_THAT(recorder.messages, IsEmpty());
}

// MidiPlay assigns our voice set over the engine's built-in voices; both come from the same lump
// through the same mapping, with the same kit drums of the chip's waves, so a song sounds alike
// with and without the voice set.
TEST(DefaultVoiceSetTest, CarriesTheEngineBuiltInVoices) {
    const auto file =
        ReadWholeFile(std::filesystem::path(ROLVIK_SOURCE_DIR) / "res" / "DefMA3_16.vm3");
    ASSERT_TRUE(file);
    std::vector<std::vector<std::uint8_t>> parts;
    for (std::size_t r = 8; r + 24 < file->size(); r += 3 + (*file)[r + 2]) {
        const std::size_t partSize = (*file)[r + 7] == 0 ? 31 : synth::kPcmBytes;
        ASSERT_LE(r + 24 + partSize, file->size());
        parts.emplace_back(file->begin() + r + 24, file->begin() + r + 24 + partSize);
    }
    ASSERT_EQ(parts.size(), 175u);
    for (std::size_t program = 0; program < 128; ++program) {
        const auto& builtIn = engine_defaults::kDefaultMelodyVoiceBytes[program];
        EXPECT_EQ(parts[program], std::vector<std::uint8_t>(builtIn.begin(), builtIn.end()))
            << "program " << program;
    }
    for (std::size_t drum = 0; drum < 47; ++drum) {
        const auto& fm = engine_defaults::kDefaultDrumVoiceBytes[drum];
        std::vector<std::uint8_t> builtIn(fm.begin(), fm.end());
        for (const synth::KitDrum& kit : synth::kKitDrums) {
            if (kit.note == 35 + drum) {
                const auto pcm = synth::KitVoiceBytes(kit);
                builtIn.assign(pcm.begin(), pcm.end());
            }
        }
        EXPECT_EQ(parts[128 + drum], builtIn) << "drum note " << 35 + drum;
    }
}

}  // namespace
}  // namespace rolvik
