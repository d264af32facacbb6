#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "StandardMidiFileImage.h"
#include "import/MidiImport.h"
#include "tests/support/MessageRecorder.h"

namespace rolvik {
namespace {

using testing::Concat;
using ::testing::ElementsAre;
using testing::kEndOfTrack;
using testing::MakeChunk;
using testing::MidiFile;
using testing::MidiTrack;
using testing::ShownMessage;
using testing::SmpteDivision;

struct BadFile {
    const char* name;
    ByteVector bytes;
    std::string message;
};

void PrintTo(const BadFile& file, std::ostream* out) {
    *out << file.name;
}

class RefusedMidiFile : public ::testing::TestWithParam<BadFile> {};

// Each bad file makes no document and one error message that says what is wrong.
TEST_P(RefusedMidiFile, MakesNoDocumentAndSaysWhy) {
    const testing::MessageRecorder recorder;
    EXPECT_EQ(ImportMidi(GetParam().bytes), nullptr);
    EXPECT_THAT(recorder.messages,
                ElementsAre(ShownMessage{GetParam().message, "Error", MessageIcon::Error}));
}

const ByteVector kNote{0x00, 0x90, 60, 100};

ByteVector StatingTracks(std::uint8_t count, ByteVector file) {
    constexpr std::size_t kTrackCountLowByte = 11;
    file[kTrackCountLowByte] = count;
    return file;
}
// The first track's length runs on into the track behind it by `by` bytes.
ByteVector LengtheningTheFirstTrack(std::uint8_t by, ByteVector file) {
    constexpr std::size_t kFirstTrackLengthLowByte = 21;
    file[kFirstTrackLengthLowByte] = static_cast<std::uint8_t>(file[kFirstTrackLengthLowByte] + by);
    return file;
}
const ByteVector kHeaderCutShort = MakeChunk("MThd", {0x00, 0x00, 0x00, 0x01});

// Events of the only track start at byte 22, behind the header chunk and the track's own header.
INSTANTIATE_TEST_SUITE_P(
    ImportMidi, RefusedMidiFile,
    ::testing::Values(
        BadFile{"Empty", {}, "Not a Standard MIDI file: it does not begin with \"MThd\""},
        BadFile{"Smaf", MakeChunk("MMMD", {0x00, 0x00}),
                "Not a Standard MIDI file: it does not begin with \"MThd\""},
        BadFile{"HeaderCutShort", kHeaderCutShort, "The MIDI file's header is cut short"},
        BadFile{"FormatTwo", MidiFile(2, 96, {MidiTrack({kEndOfTrack})}),
                "The MIDI file is of format 2; only formats 0 and 1 can be imported"},
        BadFile{"NoTracks", MidiFile(1, 96, {}), "The MIDI file has no tracks"},
        BadFile{"ZeroDivision", MidiFile(0, 0, {MidiTrack({kEndOfTrack})}),
                "The MIDI file's division is 0 ticks a quarter note"},
        BadFile{"UnknownFrameRate", MidiFile(0, SmpteDivision(23, 40), {MidiTrack({kEndOfTrack})}),
                "The MIDI file's division names 23 SMPTE frames a second; only 24, 25, 29 and "
                "30 exist"},
        BadFile{"ZeroTicksAFrame", MidiFile(0, SmpteDivision(25, 0), {MidiTrack({kEndOfTrack})}),
                "The MIDI file's division is 0 ticks an SMPTE frame"},
        BadFile{"MissingTrack", StatingTracks(2, MidiFile(1, 96, {MidiTrack({kEndOfTrack})})),
                "The MIDI file ends before track 2"},
        BadFile{"AbsurdTrackLength",
                Concat({StatingTracks(1, MidiFile(0, 96, {})),
                        ByteVector{'M', 'T', 'r', 'k', 0xFF, 0xFF, 0xFF, 0xF0}, kNote}),
                "Track 1 of the MIDI file is cut short"},
        BadFile{"FirstTrackRunsIntoTheSecond",
                LengtheningTheFirstTrack(8, MidiFile(1, 96,
                                                     {MidiTrack({kNote, kEndOfTrack}),
                                                      MidiTrack({kNote, kEndOfTrack})})),
                "Track 1 of the MIDI file states 16 bytes, which run past its end into the next "
                "track"},
        BadFile{"EventPastTrackEnd",
                MidiFile(0, 96, {MidiTrack({{0x00, 0xFF, 0x01, 0x0A, 'a', 'b'}})}),
                "Track 1 of the MIDI file is cut short"},
        BadFile{"DataWithoutStatus", MidiFile(0, 96, {MidiTrack({{0x00, 60, 100}, kEndOfTrack})}),
                "Track 1 of the MIDI file is damaged at byte 23: a data byte with no status "
                "before it"},
        BadFile{"StatusInsteadOfData",
                MidiFile(0, 96, {MidiTrack({{0x00, 0x90, 60, 0x90}, kEndOfTrack})}),
                "Track 1 of the MIDI file is damaged at byte 25: a status byte where a data "
                "byte belongs"},
        BadFile{"SystemMessage", MidiFile(0, 96, {MidiTrack({{0x00, 0xF1, 0x00}, kEndOfTrack})}),
                "Track 1 of the MIDI file is damaged at byte 23: a system message that has no "
                "place in a file"},
        BadFile{"FiveByteDelta",
                MidiFile(0, 96, {MidiTrack({{0x80, 0x80, 0x80, 0x80, 0x00}, kNote})}),
                "Track 1 of the MIDI file is damaged at byte 22: a number longer than four "
                "bytes"},
        // The slowest tempo and the coarsest division make 2^28 ticks last 142 years.
        BadFile{"TooLong",
                MidiFile(0, 1,
                         {MidiTrack({{0x00, 0xFF, 0x51, 0x03, 0xFF, 0xFF, 0xFF},
                                     {0xFF, 0xFF, 0xFF, 0x7F, 0x90, 60, 100},
                                     kEndOfTrack})}),
                "The MIDI file's song is too long: it lasts beyond 49 days"}),
    [](const ::testing::TestParamInfo<BadFile>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace rolvik
