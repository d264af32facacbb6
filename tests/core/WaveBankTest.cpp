#include "core/Adpcm.h"
#include "core/Chunk.h"
#include "core/Event.h"
#include "core/FileIO.h"
#include "core/Loader.h"
#include "core/ShowMessage.h"
#include "core/Smaf.h"
#include "core/StreamWaveMessage.h"
#include "core/WaveBank.h"
#include "tests/support/Corpus.h"
#include "tests/support/SmafImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace rolvik {
namespace {

using testing::Concat;
using testing::MakeChunk;
using testing::MakeFile;
using testing::MakeTrack;

// An exclusive of the setup data: F0, its length, the bytes and F7.
ByteVector SetupExclusive(const ByteVector& body) {
    ByteVector event{0xF0, static_cast<std::uint8_t>(body.size() + 1)};
    event.insert(event.end(), body.begin(), body.end());
    event.push_back(0xF7);
    return event;
}

ByteVector WaveRecord(std::uint8_t model, std::uint8_t id, const ByteVector& data) {
    return Concat({{0x43, 0x79, model, 0x7F, 0x03, id, 0x00}, data});
}

ByteVector StreamWave(std::uint8_t number, std::uint8_t type, std::uint16_t rate,
                      const ByteVector& data) {
    ByteVector contents{type, static_cast<std::uint8_t>(rate >> 8),
                        static_cast<std::uint8_t>(rate & 0xFF)};
    contents.insert(contents.end(), data.begin(), data.end());
    return MakeChunk(std::string{'M', 'w', 'a', static_cast<char>(number)}, contents);
}

ByteVector SongWith(const ByteVector& setup, const ByteVector& stream) {
    return MakeFile(MakeTrack(5, 2, 2, 2,
                              Concat({MakeChunk("Mtsu", setup), MakeChunk("Mtsq", {0x00, 0x00}),
                                      MakeChunk("Mtsp", stream)})));
}

TEST(WaveBank, ReadsPlainAndPackedRecordsAndStreamWavesApart) {
    // The packed record holds 0x87 0x01: the flag byte 0x40 gives the first byte its bit 7.
    const ByteVector setup =
        Concat({SetupExclusive(WaveRecord(0x07, 2, {0x07, 0x70})),
                SetupExclusive(WaveRecord(0x06, 3, {0x40, 0x07, 0x01})),
                SetupExclusive({0x43, 0x79, 0x07, 0x7F, 0x01, 0x7D, 0x00, 0x02, 0x23, 0x01})});
    const ByteVector stream =
        Concat({StreamWave(2, 0x20, 8000, {0x77}), StreamWave(4, 0xA0, 24000, {0x07})});
    const WaveBank bank = ReadWaveBank(SongWith(setup, stream));

    ASSERT_EQ(bank.records.size(), 2u);
    EXPECT_EQ(bank.records.at(2).samples, DecodeAdpcm(ByteVector{0x07, 0x70}));
    EXPECT_EQ(bank.records.at(2).rateHz, 0u);
    EXPECT_EQ(bank.records.at(3).samples, DecodeAdpcm(ByteVector{0x87, 0x01}));

    ASSERT_EQ(bank.streams.size(), 2u);
    EXPECT_EQ(bank.streams.at(2).rateHz, 8000u);
    EXPECT_EQ(bank.streams.at(2).samples, DecodeAdpcm(ByteVector{0x77}));
    EXPECT_EQ(bank.streams.at(4).channels, 2);
    EXPECT_EQ(bank.streams.at(4).frames(), 1u);

    // Number 2 names a record for a voice; the stream of that number stays a stream.
    EXPECT_EQ(bank.ForVoice(2), &bank.records.at(2));
    EXPECT_EQ(bank.Stream(2), &bank.streams.at(2));
    EXPECT_EQ(bank.ForVoice(4), &bank.streams.at(4));
    EXPECT_EQ(bank.ForVoice(9), nullptr);
}

TEST(WaveBank, LeavesOutBrokenWavesAndKeepsTheRest) {
    const ByteVector setup = Concat({
        SetupExclusive({0x43, 0x79, 0x07, 0x7F, 0x03, 0x01}),  // no data byte
        SetupExclusive(WaveRecord(0x05, 2, {0x11})),           // unknown chip model
        SetupExclusive(WaveRecord(0x07, 3, {0x11})),
        {0xF0, 0x7F, 0x43},  // a length beyond the end
    });
    const ByteVector stream = Concat({
        StreamWave(1, 0x20, 0, {0x11}),      // no rate
        StreamWave(2, 0x01, 8000, {0x11}),   // unknown coding
        MakeChunk("Mwa\x03", {0x20, 0x1F}),  // header cut short
        StreamWave(4, 0x20, 8000, {0x11}),
    });
    const WaveBank bank = ReadWaveBank(SongWith(setup, stream));
    EXPECT_EQ(bank.records.size(), 1u);
    EXPECT_TRUE(bank.records.contains(3));
    EXPECT_EQ(bank.streams.size(), 1u);
    EXPECT_TRUE(bank.streams.contains(4));
}

TEST(StreamWaveMessage, CarriesAStreamWaveThroughSevenBitBytes) {
    const ByteVector contents = {0xA0, 0x5D, 0xC0, 0xFF, 0x00, 0x80, 0x7F, 0x81, 0x11, 0x22, 0x33};
    const ByteVector song = SongWith(
        {}, StreamWave(200, 0xA0, 24000, {0xFF, 0x00, 0x80, 0x7F, 0x81, 0x11, 0x22, 0x33}));
    const auto found = FindStreamWaves(song);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].number, 200);
    EXPECT_TRUE(BytesEqual(found[0].contents, contents));

    const ByteVector message = MakeStreamWaveMessage(found[0]);
    EXPECT_EQ(message.front(), 0xF0);
    EXPECT_EQ(message.back(), 0xF7);
    for (std::size_t i = 1; i + 1 < message.size(); ++i) {
        EXPECT_LT(message[i], 0x80) << i;
    }
    std::uint8_t number = 0;
    ByteVector read;
    ASSERT_TRUE(ReadStreamWaveMessage(message, number, read));
    EXPECT_EQ(number, 200);
    EXPECT_EQ(read, contents);

    EXPECT_FALSE(
        ReadStreamWaveMessage(ByteVector{0xF0, 0x7D, 0x52, 0x56, 0x01, 0xF7}, number, read));
    EXPECT_FALSE(
        ReadStreamWaveMessage(ByteVector{0xF0, 0x43, 0x79, 0x07, 0x7F, 0x03, 0xF7}, number, read));
}

TEST(WaveBank, CorpusWavesDecodeAroundZero) {
    ROLVIK_REQUIRE_CORPUS();
    // Decoded in the right nibble order the waves of real songs stay centred; the other order
    // drifts far off.
    for (const char* name :
         {"vavi__EndlessWay.mmf", "libsmaf__Pop_STAR.mmf", "libsmaf__Cello_suit_No.1.mmf",
          "libsmaf__Sound_71.mmf", "libsmaf__Skipping_tones.mmf", "libsmaf__Sound_73_2.mmf"}) {
        std::ifstream in(std::filesystem::path(ROLVIK_CORPUS_DIR) / name, std::ios::binary);
        const ByteVector image{std::istreambuf_iterator<char>(in), {}};
        const WaveBank bank = ReadWaveBank(image);
        ASSERT_FALSE(bank.empty()) << name;
        for (const auto& waves : {bank.records, bank.streams}) {
            for (const auto& [number, wave] : waves) {
                double sum = 0;
                for (const std::int16_t sample : wave.samples) {
                    sum += sample;
                }
                EXPECT_LT(std::abs(sum / wave.samples.size()), 1000.0)
                    << name << " " << int(number);
            }
        }
    }
}

TEST(WaveBank, CorpusStereoStreamWavesLastAsLongAsTheNotesThatPlayThem) {
    ROLVIK_REQUIRE_CORPUS();
    // Type 0xA0 holds one code for each side in every byte, at the rate the wave states: so read,
    // each wave lasts as long as the gate of the drum note that plays it (key k plays wave k + 1).
    // Read as one stream of all the codes it would last twice as long, and drift.
    for (const char* name : {"libsmaf__Skipping_tones.mmf", "libsmaf__Sound_71.mmf",
                             "libsmaf__Sound_72_2.mmf", "libsmaf__Sound_73_2.mmf"}) {
        auto smaf = CreateSmaf(0, 0);
        const auto image = ReadWholeFile(std::filesystem::path(ROLVIK_CORPUS_DIR) / name);
        ASSERT_TRUE(image.has_value()) << name;
        smaf->fileData = *image;
        ScopedMessageHandler silence([](std::string_view, std::string_view, MessageIcon) {});
        ASSERT_TRUE(LoadSmaf(*smaf)) << name;
        const WaveBank bank = ReadWaveBank(smaf->fileData);
        ASSERT_EQ(bank.streams.size(), 1u) << name;
        const auto& [number, wave] = *bank.streams.begin();
        EXPECT_EQ(wave.channels, 2) << name;
        const Event* note = smaf->events.get();
        while (note && !(IsNoteEvent(*note) && EventKey(*note) + 1 == number)) {
            note = note->next.get();
        }
        ASSERT_NE(note, nullptr) << name;
        const double waveMs = 1000.0 * static_cast<double>(wave.frames()) / wave.rateHz;
        EXPECT_GT(waveMs, 0.9 * EventGate(*note)) << name;
        EXPECT_LT(waveMs, 1.25 * EventGate(*note)) << name;
    }
}

}  // namespace
}  // namespace rolvik
