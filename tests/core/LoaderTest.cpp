#include "core/CheckCode.h"
#include "core/Chunk.h"
#include "core/Compiler.h"
#include "core/FileIO.h"
#include "core/Loader.h"
#include "core/ShowMessage.h"
#include "tests/support/Corpus.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/SmafImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace rolvik {
namespace {

using testing::Concat;
using testing::MakeChunk;
using testing::MakeFile;
using testing::MakeTrack;
using testing::MessageRecorder;
using testing::ShownMessage;

const ShownMessage kHpsNotice{
    "Notice: This is written in HPS format, Rolvik can't convert accurately. Sorry.\n"
    "(This message will appear several times.)",
    "Notice", MessageIcon::Information};
const ShownMessage kVoiceSetNotice{
    "Notice: There are some VoiceSet Exclusives, but Rolvik can't emulate accurately. Use "
    "EmuPlay to play accrately.",
    "Notice", MessageIcon::Information};

ShownMessage Error(std::string text) {
    return {std::move(text), "Error", MessageIcon::Error};
}

std::filesystem::path Corpus(const std::string& name) {
    return std::filesystem::path(ROLVIK_CORPUS_DIR) / name;
}

std::vector<std::filesystem::path> CorpusFiles() {
    std::vector<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator(ROLVIK_CORPUS_DIR)) {
        const std::string extension = entry.path().extension().string();
        if (extension == ".mmf" || extension == ".MMF") {
            files.push_back(entry.path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::unique_ptr<Smaf> LoadImage(ByteVector image) {
    auto smaf = CreateSmaf(0, 0);
    smaf->fileData = std::move(image);
    EXPECT_TRUE(LoadSmaf(*smaf));
    return smaf;
}

struct Flat {
    std::uint32_t time;
    std::uint8_t status;
    ByteVector data;
    bool operator==(const Flat&) const = default;
};

std::vector<Flat> Flatten(const Smaf& smaf) {
    std::vector<Flat> events;
    for (const Event* e = smaf.events.get(); e; e = e->next.get()) {
        events.push_back({e->time, e->status, e->data});
    }
    return events;
}

// A sequence: control change at 0, a note of gate 4 ticks 2 ticks later, then end of sequence.
const ByteVector kSequence{0x00, 0xB0, 0x07, 0x64, 0x02, 0x81, 0x3C, 0x04, 0x01, 0xFF, 0x2F, 0x00};

TEST(OpenSmaf, ReportsFilesThatCannotBeOpenedOrAreNotSmaf) {
    MessageRecorder log;
    EXPECT_EQ(OpenSmaf("/nonexistent/song.mmf"), nullptr);
    const std::filesystem::path text =
        std::filesystem::temp_directory_path() / "rolvik-loader-not-smaf.txt";
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(text, ByteVector{'h', 'e', 'l', 'l', 'o'}, error));
    EXPECT_EQ(OpenSmaf(text), nullptr);
    std::filesystem::remove(text);
    // A device that never ends is refused once it has given more than any song holds.
    EXPECT_EQ(OpenSmaf("/dev/zero"), nullptr);
    EXPECT_EQ(log.messages,
              (std::vector<ShownMessage>{
                  Error("Can't open /nonexistent/song.mmf"), Error("This is not SMAF"),
                  Error("The file holds more than the 67108864 bytes it may have")}));
}

TEST(LoadSmaf, FindsFileChunkAfterOtherChunksAndAnyTrackNumber) {
    const ByteVector image =
        Concat({MakeChunk("JUNK", {1, 2, 3}),
                MakeFile(Concat({MakeChunk("CNTI", {0, 0, 0, 0, 0}),
                                 MakeTrack(0x05, 2, 0x02, 0x02, MakeChunk("Mtsq", kSequence))}))});
    auto smaf = LoadImage(image);
    EXPECT_EQ(smaf->durationBase, 4u);
    EXPECT_EQ(Flatten(*smaf),
              (std::vector<Flat>{
                  {0, 0xB0, {0x07, 0x64}}, {8, 0x81, {0x3C, 0x10}}, {12, 0xFF, {0x2F, 0x00}}}));
}

TEST(LoadSmaf, FileWithoutScoreTrackLoadsEmpty) {
    auto smaf = LoadImage(MakeFile(MakeChunk("CNTI", {0, 0, 0, 0, 0})));
    EXPECT_EQ(smaf->events, nullptr);
    EXPECT_EQ(smaf->durationBase, 0u);
}

TEST(LoadSmaf, TrackWithoutTimebasesFailsAndStopsTheWalk) {
    MessageRecorder log;
    auto smaf = CreateSmaf(0, 0);
    smaf->fileData = MakeFile(Concat({MakeTrack(1, 2, 0x04, 0x02, MakeChunk("Mtsq", kSequence)),
                                      MakeTrack(2, 2, 0x02, 0x02, MakeChunk("Mtsq", kSequence))}));
    EXPECT_FALSE(LoadSmaf(*smaf));
    smaf->fileData = MakeFile(MakeTrack(1, 2, 0x02, 0x04, MakeChunk("Mtsq", kSequence)));
    EXPECT_FALSE(LoadSmaf(*smaf));
    smaf->fileData = MakeFile(MakeChunk("MTR\x01", {}));
    EXPECT_FALSE(LoadSmaf(*smaf));
    EXPECT_EQ(log.messages,
              (std::vector<ShownMessage>{
                  Error("Unknown duration timebase"), Error("Unknown gatetime timebase"),
                  Error("Score track of 0 bytes is too short for its header")}));
    EXPECT_EQ(smaf->events, nullptr);
}

TEST(LoadSmaf, LaterFormatHasTimebasesCheckedButYieldsNothing) {
    auto smaf = LoadImage(MakeFile(MakeTrack(7, 3, 0x10, 0x11, MakeChunk("Mtsq", kSequence))));
    EXPECT_EQ(smaf->events, nullptr);
    EXPECT_EQ(smaf->durationBase, 10u);
    EXPECT_EQ(smaf->gateBase, 20u);
}

TEST(LoadSmaf, SetupOnlyTrackYieldsSetupEvents) {
    const ByteVector setup{0xF0, 0x03, 0x43, 0x01, 0xF7};
    auto smaf = LoadImage(MakeFile(MakeTrack(5, 2, 0x02, 0x02, MakeChunk("Mtsu", setup))));
    EXPECT_EQ(Flatten(*smaf), (std::vector<Flat>{{0, 0xF0, {0x03, 0x43, 0x01, 0xF7}}}));
}

TEST(LoadSmaf, SeekPointsMarkStartAndStop) {
    const ByteVector onlyStop{'s', 'p', ':', 0, 0, 0, 8, ','};
    auto smaf = LoadImage(MakeFile(MakeTrack(
        5, 2, 0x02, 0x02, Concat({MakeChunk("MspI", onlyStop), MakeChunk("Mtsq", kSequence)}))));
    ASSERT_NE(smaf->stop, nullptr);
    EXPECT_EQ(smaf->stop->status, 0xFF);
    EXPECT_EQ(smaf->start, smaf->events.get());

    const ByteVector both{'s', 't', ':', 0, 0, 0, 4, ',', 's', 'p', ':', 0, 0, 0, 8, ','};
    smaf = LoadImage(MakeFile(MakeTrack(
        5, 2, 0x02, 0x02, Concat({MakeChunk("MspI", both), MakeChunk("Mtsq", kSequence)}))));
    ASSERT_NE(smaf->start, nullptr);
    EXPECT_EQ(smaf->start->status, 0x81);
    EXPECT_EQ(smaf->StartOffset(), 0u);
}

TEST(LoadSmaf, HandyPhoneTracksSpreadChannelsAndGiveEachMessageOnce) {
    MessageRecorder log;
    // Three unknown controls (kind 5, whose byte 0x35 is read next as a duration), a note (key
    // 0x1A = octave 1, note 10) on channel 1 of each track, then end of sequence.
    const ByteVector sequence{0x00, 0x00, 0x35, 0x00, 0x35, 0x00,
                              0x35, 0x5A, 0x04, 0x00, 0x00, 0x00};
    auto smaf = CreateSmaf(0, 0);
    smaf->fileData = MakeFile(Concat({MakeTrack(1, 0, 0x02, 0x02, MakeChunk("Mtsq", sequence)),
                                      MakeTrack(2, 0, 0x02, 0x02, MakeChunk("Mtsq", sequence))}));
    EXPECT_TRUE(LoadSmaf(*smaf));
    EXPECT_EQ(log.messages, (std::vector<ShownMessage>{kHpsNotice, Error("What's this? 00")}));
    std::vector<int> noteChannels;
    for (const Event* e = smaf->events.get(); e; e = e->next.get()) {
        if (IsNoteEvent(*e)) {
            noteChannels.push_back(EventChannel(*e));
        }
    }
    EXPECT_EQ(noteChannels, (std::vector<int>{1, 5}));
}

TEST(LoadSmaf, VoiceSetExclusivesGiveOneNoticeAfterConversion) {
    MessageRecorder log;
    ByteVector voice{0x00, 0xF0, 0x1F};
    voice.insert(voice.end(), 30, 0x01);
    voice.push_back(0xF7);
    const ByteVector sequence = Concat({voice, voice, {0x00, 0xFF, 0x2F, 0x00}});
    LoadImage(MakeFile(MakeTrack(5, 2, 0x02, 0x02, MakeChunk("Mtsq", sequence))));
    EXPECT_EQ(log.messages, std::vector<ShownMessage>{kVoiceSetNotice});
}

TEST(LoadSmaf, CompressedSequenceStatingHugeSizeIsRefusedBeforeDecoding) {
    const struct {
        ByteVector sequence;
        std::string message;
    } cases[] = {
        {{0x7F, 0xFF, 0xFF, 0xFF, 0x00, 0x01},
         "Compressed sequence states 2147483647 bytes, more than the 16777216 a song may have"},
        // One more byte than two bytes of code can make at 8 bytes a bit.
        {{0x00, 0x00, 0x00, 0x81, 0x22, 0x80}, "SMAF: LoadSmaf: huffmanDecode failed"},
    };
    for (const auto& [sequence, message] : cases) {
        MessageRecorder log;
        auto smaf = CreateSmaf(0, 0);
        smaf->fileData = MakeFile(MakeTrack(5, 1, 0x02, 0x02, MakeChunk("Mtsq", sequence)));
        EXPECT_FALSE(LoadSmaf(*smaf));
        EXPECT_EQ(log.messages, std::vector<ShownMessage>{Error(message)});
    }
}

TEST(OpenSmaf, FaultyCodeTreeReportsTwiceAndGivesNoDocument) {
    MessageRecorder log;
    // Nothing but 1 bits opens internal nodes until there are too many.
    const ByteVector sequence = Concat({{0x00, 0x00, 0x00, 0x04}, ByteVector(64, 0xFF)});
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "rolvik-loader-faulty-tree.mmf";
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(
        path, MakeFile(MakeTrack(5, 1, 0x02, 0x02, MakeChunk("Mtsq", sequence))), error));
    EXPECT_EQ(OpenSmaf(path), nullptr);
    std::filesystem::remove(path);
    EXPECT_EQ(log.messages,
              (std::vector<ShownMessage>{Error("Incorrect tree"),
                                         Error("SMAF: LoadSmaf: huffmanDecode failed")}));
}

TEST(LoadSmaf, DecodedSequenceOfStrayBytesReportsOnce) {
    MessageRecorder log;
    // The largest size two bytes of code may declare (8 bytes a bit), and a tree that is one leaf,
    // 0x45: every byte decodes to a byte that is no status.
    const ByteVector sequence{0x00, 0x00, 0x00, 0x80, 0x22, 0x80};
    auto smaf = LoadImage(MakeFile(MakeTrack(5, 1, 0x02, 0x02, MakeChunk("Mtsq", sequence))));
    EXPECT_EQ(Flatten(*smaf), (std::vector<Flat>{{0x45 * 4, 0x45, {}}}));
    EXPECT_EQ(log.messages,
              (std::vector<ShownMessage>{{"ConvertEvents(MSF-import): Program's bug or Illegal "
                                          "SMAF file",
                                          "What the hell...?", MessageIcon::None}}));
}

TEST(LoadSmaf, TrackChunkStatingMoreThanThereIsReadsOnlyWhatIsThere) {
    ByteVector image = MakeFile(MakeTrack(5, 2, 0x02, 0x02, MakeChunk("Mtsq", kSequence)));
    image[image.size() - 2 - kSequence.size() - 1] = 0xFF;  // the Mtsq size's low byte
    image.resize(image.size() - 4);
    auto smaf = CreateSmaf(0, 0);
    smaf->fileData = image;
    EXPECT_TRUE(LoadSmaf(*smaf));
    EXPECT_NE(smaf->events, nullptr);
}

TEST(LoadSmaf, FileCutShortKeepsTheBytesItStillHas) {
    const ByteVector whole = MakeFile(MakeTrack(5, 2, 0x02, 0x02, MakeChunk("Mtsq", kSequence)));
    const std::vector<Flat> allEvents = Flatten(*LoadImage(whole));
    ASSERT_EQ(allEvents.size(), 3u);
    // Without its check code the file still holds every event; one byte less cuts the last one.
    EXPECT_EQ(Flatten(*LoadImage(ByteVector(whole.begin(), whole.end() - 2))), allEvents);
    EXPECT_EQ(Flatten(*LoadImage(ByteVector(whole.begin(), whole.end() - 3))),
              std::vector<Flat>(allEvents.begin(), allEvents.end() - 1));
    // A stated size too small for a check code leaves nothing to read.
    ByteVector tiny = MakeFile(MakeTrack(5, 2, 0x02, 0x02, MakeChunk("Mtsq", kSequence)));
    tiny[7] = 1;
    EXPECT_EQ(LoadImage(tiny)->events, nullptr);
}

// Nothing converts an MA-7 track: the song says so once when it opens, not later as a failure.
TEST(LoadSmaf, AnMa7TrackGivesOneNotice) {
    MessageRecorder log;
    auto smaf = OpenSmaf(Corpus("libsmaf__Utada_Hikaru_-_First_Love.mmf"));
    ASSERT_NE(smaf, nullptr);
    EXPECT_TRUE(smaf->hasMa7Track);
    EXPECT_EQ(log.messages, (std::vector<ShownMessage>{{std::string(kMa7NoticeText), "Notice",
                                                        MessageIcon::Information}}));
    EXPECT_FALSE(OpenSmaf(Corpus("dlunch__midi.mmf"))->hasMa7Track);
}

// Whatever the frame of a file lacks, what is there loads, and one notice says what is wrong.
TEST(LoadSmaf, DamagedFileLoadsWhatIsThereWithOneNotice) {
    const ByteVector whole = MakeFile(MakeTrack(5, 2, 0x02, 0x02, MakeChunk("Mtsq", kSequence)));
    ByteVector cutShort(whole.begin(), whole.end() - 5);
    ByteVector oversizedTrack = whole;
    oversizedTrack[8 + 7] += 4;  // the track chunk's size, low byte: it now covers the check code
    ByteVector wrongCheckCode = whole;
    wrongCheckCode.back() ^= 1;
    const struct {
        const char* damage;
        ByteVector image;
        std::string notice;
    } cases[] = {
        {"cut short", cutShort,
         "Notice: This file is cut short: it ends 5 bytes before the end its file chunk states (" +
             std::to_string(whole.size() - 8) +
             " bytes). Rolvik loads what is there; the rest of the song is missing."},
        {"oversized track", oversizedTrack,
         "Notice: A chunk in this file states " + std::to_string(whole.size() - 14) +
             " bytes, but only " + std::to_string(whole.size() - 18) +
             " are there: the file is damaged. Rolvik loads what is there."},
        {"wrong check code", wrongCheckCode,
         "Notice: This file fails its check code: it is damaged. Rolvik loads what can be read; "
         "EmuPlay plays it only after a compile."},
    };
    for (const auto& [damage, image, notice] : cases) {
        MessageRecorder log;
        auto smaf = LoadImage(image);
        EXPECT_NE(smaf->events, nullptr) << damage;
        EXPECT_EQ(log.messages,
                  (std::vector<ShownMessage>{{notice, "Notice", MessageIcon::Information}}))
            << damage;
    }
}

// The corpus README summarises every file's chunks; a file with HandyPhone Standard tracks
// ("fmt=0") must give the notice once, a file that fails its check code one notice of damage, and
// no file may give an error.
std::map<std::string, int> HandyPhoneTracksFromCorpusReadme() {
    std::ifstream readme(std::filesystem::path(ROLVIK_CORPUS_DIR) / "README.md");
    std::map<std::string, int> tracks;
    std::string line;
    while (std::getline(readme, line)) {
        if (line.rfind("| ", 0) != 0 || line.find("__") == std::string::npos) {
            continue;
        }
        const std::string name = line.substr(2, line.find(' ', 2) - 2);
        int count = 0;
        for (std::size_t at = line.find("MTR"); at != std::string::npos;
             at = line.find("MTR", at + 1)) {
            count += line.compare(line.find('(', at) + 1, 6, "fmt=0 ") == 0 ? 1 : 0;
        }
        tracks[name] = count;
    }
    return tracks;
}

TEST(CorpusFiles, EveryFileLoadsWithTheMessagesItShouldGive) {
    ROLVIK_REQUIRE_CORPUS();
    const std::map<std::string, int> handyPhoneTracks = HandyPhoneTracksFromCorpusReadme();
    ASSERT_GT(handyPhoneTracks.size(), 70u);
    for (const auto& path : CorpusFiles()) {
        MessageRecorder log;
        auto smaf = OpenSmaf(path);
        ASSERT_NE(smaf, nullptr) << path;
        int notices = 0;
        int damageNotices = 0;
        for (const ShownMessage& message : log.messages) {
            const bool damage =
                message.caption == "Notice" && message.text.find("damaged") != std::string::npos;
            const bool ma7 = message.text == kMa7NoticeText;
            EXPECT_TRUE(message == kHpsNotice || message == kVoiceSetNotice || damage || ma7)
                << path << ": " << ::testing::PrintToString(message);
            notices += message == kHpsNotice ? 1 : 0;
            damageNotices += damage ? 1 : 0;
        }
        const auto expected = handyPhoneTracks.find(path.filename().string());
        ASSERT_NE(expected, handyPhoneTracks.end()) << path;
        EXPECT_EQ(notices, std::min(expected->second, 1)) << path;
        EXPECT_EQ(damageNotices, HasValidCheckCode(smaf->fileData) ? 0 : 1) << path;
    }
}

TEST(CorpusFiles, CompressedTwinGivesTheSameEvents) {
    ROLVIK_REQUIRE_CORPUS();
    auto plain = OpenSmaf(Corpus("vavi__B_z_-_Love_phantom.mmf"));
    auto compressed = OpenSmaf(Corpus("vavi__B_z_-_Love_phantom_c.mmf"));
    ASSERT_TRUE(plain && compressed);
    EXPECT_GT(Flatten(*plain).size(), 1000u);
    EXPECT_EQ(Flatten(*plain), Flatten(*compressed));
}

// What a compiled file must keep of the file it came from, gathered chunk by chunk: "CNTI",
// "OPDA", every audio track whole, and the stream waves and channel status of the Mobile Standard
// score tracks.
struct CarriedParts {
    ByteVector contentsInfo;
    ByteVector optionalData;
    std::vector<ByteVector> audioTracks;
    ByteVector streamWaves;
    ByteVector mobileChannelStatus;
};

ByteVector Copy(Bytes bytes) {
    return ByteVector(bytes.begin(), bytes.end());
}

CarriedParts FindCarriedParts(Bytes image) {
    CarriedParts parts;
    const Bytes run = FileChunkRun(image);
    ChunkWalker walker(run);
    while (auto entry = walker.Next()) {
        const Bytes contents = entry->chunk.contents;
        const std::string id(entry->id.begin(), entry->id.end());
        if (id == "CNTI") {
            parts.contentsInfo = Copy(contents);
        } else if (id == "OPDA") {
            parts.optionalData = Copy(contents);
        } else if (id.starts_with("ATR")) {
            parts.audioTracks.push_back(Concat({Copy(entry->id), Copy(contents)}));
        } else if (id.starts_with("MTR") && contents.size() >= 20 &&
                   (contents[0] == 1 || contents[0] == 2)) {
            parts.mobileChannelStatus = Copy(contents.subspan(4, 16));
            if (const auto stream = FindChunk(contents.subspan(20), "Mtsp")) {
                parts.streamWaves = Copy(stream->contents);
            }
        }
    }
    return parts;
}

TEST(CorpusFiles, CompileKeepsTheWholeSongAndLoadCompileIsStable) {
    ROLVIK_REQUIRE_CORPUS();
    ScopedMessageHandler quiet([](std::string_view, std::string_view, MessageIcon) {});
    int compiled = 0;
    int withCarriedData = 0;
    for (const auto& path : CorpusFiles()) {
        auto smaf = OpenSmaf(path);
        if (!smaf || smaf->durationBase == 0) {
            continue;
        }
        const CarriedParts original = FindCarriedParts(smaf->fileData);
        const std::uint32_t startOffset = smaf->StartOffset();
        const std::optional<std::uint32_t> stopTime =
            smaf->stop ? std::optional(smaf->stop->time) : std::nullopt;
        const auto first = CompileSMAF(*smaf);
        ASSERT_TRUE(first.has_value()) << path;
        EXPECT_TRUE(HasValidCheckCode(*first)) << path;
        const CarriedParts kept = FindCarriedParts(*first);
        EXPECT_EQ(kept.contentsInfo, original.contentsInfo) << path;
        EXPECT_EQ(kept.optionalData, original.optionalData) << path;
        EXPECT_EQ(kept.audioTracks, original.audioTracks) << path;
        EXPECT_EQ(kept.streamWaves, original.streamWaves) << path;
        if (!original.mobileChannelStatus.empty()) {
            EXPECT_EQ(kept.mobileChannelStatus, original.mobileChannelStatus) << path;
        }
        withCarriedData += original.audioTracks.empty() && original.streamWaves.empty() ? 0 : 1;
        smaf->fileData = *first;
        ASSERT_TRUE(LoadSmaf(*smaf)) << path;
        EXPECT_EQ(smaf->StartOffset(), startOffset) << path << ": plays from the same point";
        EXPECT_EQ(smaf->stop ? std::optional(smaf->stop->time) : std::nullopt, stopTime) << path;
        EXPECT_EQ(CompileSMAF(*smaf), first) << path;
        ++compiled;
    }
    EXPECT_GT(compiled, 50);
    EXPECT_GT(withCarriedData, 20);
}

TEST(CorpusFiles, CheckCodesMatchIndependentlyVerifiedValues) {
    ROLVIK_REQUIRE_CORPUS();
    const std::map<std::string, std::uint16_t> known{{"vavi__ClubGroove.mmf", 0x4927},
                                                     {"libsmaf__j-sh010_46.mmf", 0x32CD},
                                                     {"dlunch__midi.mmf", 0xF2B6}};
    for (const auto& [name, code] : known) {
        const auto image = ReadWholeFile(Corpus(name));
        ASSERT_TRUE(image.has_value()) << name;
        EXPECT_EQ(SmafCheckCode(Bytes(*image).first(image->size() - 2)), code) << name;
        EXPECT_TRUE(HasValidCheckCode(*image)) << name;
    }
    const auto notSmaf = ReadWholeFile(Corpus("libsmaf__Sound_1_5.mmf"));
    ASSERT_TRUE(notSmaf.has_value());
    EXPECT_FALSE(HasValidCheckCode(*notSmaf));
}

}  // namespace
}  // namespace rolvik
