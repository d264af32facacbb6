#include "core/Adpcm.h"
#include "core/AudioTrack.h"
#include "core/AudioTrackFile.h"
#include "core/CheckCode.h"
#include "core/Chunk.h"
#include "core/RecordingTrack.h"
#include "tests/support/SmafImage.h"

#include <gtest/gtest.h>

#include <string>

namespace rolvik {
namespace {

using testing::Concat;
using testing::MakeChunk;
using testing::MakeFile;

const std::string kAudioTrackId{'A', 'T', 'R', '\0'};

// Volume 100 at 40 ms; at 60 ms a trigger of wave 1 on channel 1 with a gate of
// 256 ticks; 576 ms later a no-operation, then the end of the sequence.
const ByteVector kSequence = {
    0x0A, 0x00, 0x37, 0x64,              // offset 0: 40 ms, volume of channel 0
    0x05, 0x41, 0x81, 0x00,              // offset 4: 20 ms more, trigger
    0x80, 0x10, 0xFF, 0x00,              // offset 8: 576 ms, no operation
    0x00, 0x00, 0x00,                    // offset 12: the end
    0x00, 0x00, 0x00, 0x05, 0x41, 0x10,  // after the end: not read
};

ByteVector SeekInfo(std::uint32_t start, std::uint32_t stop) {
    ByteVector info{'s', 't', ':', 0, 0, 0, static_cast<std::uint8_t>(start), ','};
    const ByteVector stopItem{'s', 'p', ':', 0, 0, 0, static_cast<std::uint8_t>(stop), ','};
    info.insert(info.end(), stopItem.begin(), stopItem.end());
    return info;
}

ByteVector AudioTrackContents(std::uint8_t waveType, const ByteVector& run) {
    return Concat({{0x00, 0x00, waveType, 0x00, 0x02, 0x02}, run});
}

ByteVector AudioOnlySong(const ByteVector& info) {
    return MakeFile(MakeChunk(
        kAudioTrackId,
        AudioTrackContents(0x11, Concat({MakeChunk("AspI", info), MakeChunk("Atsq", kSequence),
                                         MakeChunk("Awa\x01", {0x17, 0x71})}))));
}

TEST(AudioTrack, ReadsTriggersAndControlsFromTheBeginningOfTheSequence) {
    const auto tracks = ReadAudioTracks(AudioOnlySong(SeekInfo(4, 0xFF)));
    ASSERT_EQ(tracks.size(), 1u);
    const AudioTrack& track = tracks[0];
    EXPECT_EQ(track.rateHz, 8000u);
    ASSERT_EQ(track.waves.size(), 1u);
    EXPECT_EQ(track.waves.at(1).samples, DecodeAdpcm(ByteVector{0x17, 0x71}));
    EXPECT_EQ(track.waves.at(1).rateHz, 8000u);

    ASSERT_EQ(track.events.size(), 2u);
    EXPECT_EQ(track.events[0].kind, AudioEvent::Kind::Volume);
    EXPECT_EQ(track.events[0].timeMs, 40u);
    EXPECT_EQ(track.events[0].value, 100);
    EXPECT_EQ(track.events[1].kind, AudioEvent::Kind::Trigger);
    EXPECT_EQ(track.events[1].timeMs, 60u);
    EXPECT_EQ(track.events[1].channel, 1);
    EXPECT_EQ(track.events[1].wave, 1);
    EXPECT_EQ(track.events[1].gateMs, 1024u);
    EXPECT_EQ(track.endMs, 60u + 576u);
}

TEST(AudioTrack, StopPointEndsTheSequence) {
    const auto tracks = ReadAudioTracks(AudioOnlySong(SeekInfo(0, 4)));
    ASSERT_EQ(tracks.size(), 1u);
    EXPECT_EQ(tracks[0].events.size(), 1u);
    EXPECT_EQ(tracks[0].endMs, 60u);
}

TEST(AudioTrack, RateComesFromTheLowBitsOfTheFirstWaveTypeByte) {
    const ByteVector run = MakeChunk("Atsq", {0x00, 0x00, 0x00});
    const std::pair<std::uint8_t, std::uint32_t> known[] = {
        {0x10, 4000}, {0x11, 8000}, {0x12, 11025}, {0x13, 22050}, {0x14, 44100}};
    for (const auto& [type, rate] : known) {
        AudioTrack track;
        EXPECT_TRUE(ReadAudioTrack(AudioTrackContents(type, run), track));
        EXPECT_EQ(track.rateHz, rate);
    }
    for (const std::uint8_t unknown : {0x15, 0x90, 0x20}) {
        AudioTrack track;
        EXPECT_FALSE(ReadAudioTrack(AudioTrackContents(unknown, run), track)) << int(unknown);
    }
}

TEST(AudioTrack, LeavesOutTracksThatCannotPlay) {
    AudioTrack track;
    EXPECT_FALSE(ReadAudioTrack(ByteVector{0x00, 0x00, 0x11}, track));  // header cut short
    EXPECT_FALSE(ReadAudioTrack(AudioTrackContents(0x11, {}), track));  // no sequence
    ByteVector badTimebase = AudioTrackContents(0x11, MakeChunk("Atsq", {0x00, 0x00, 0x00}));
    badTimebase[4] = 0x04;
    EXPECT_FALSE(ReadAudioTrack(badTimebase, track));
}

TEST(AudioTrack, SequenceCutShortKeepsWhatCameBefore) {
    const ByteVector cut = {0x01, 0x41, 0x05, 0x02, 0x41, 0x81};  // the second gate is cut
    AudioTrack track;
    ASSERT_TRUE(ReadAudioTrack(AudioTrackContents(0x11, MakeChunk("Atsq", cut)), track));
    ASSERT_EQ(track.events.size(), 1u);
    EXPECT_EQ(track.events[0].gateMs, 20u);
}

// A track made for a recording plays its one wave whole from the start asked for, and ends with
// it; a long wave or a late start takes coarser ticks or waiting events, which must not shift it.
TEST(RecordingTrack, PlaysTheWaveOnceFromItsStartAndEndsWithIt) {
    struct Case {
        std::size_t samples;
        std::uint32_t rateHz;
        std::uint32_t startMs;
        std::uint32_t triggerMs;
        std::uint32_t endMs;
    };
    const Case cases[] = {
        {8000, 8000, 0, 0, 1000},              // 250 ticks of 4 ms
        {8001, 8000, 10, 8, 1012},             // 1001 ms, rounded up to whole ticks
        {22050 * 70, 22050, 0, 0, 70000},      // past 16511 ticks of 4 ms: 5 ms ticks
        {4000 * 800, 4000, 0, 0, 800000},      // 50 ms ticks
        {8000, 8000, 100000, 100000, 101000},  // a start beyond one duration
    };
    for (const Case& c : cases) {
        const ByteVector codes((c.samples + 1) / 2, 0x08);
        const auto contents = BuildRecordingTrack({codes, c.samples, c.rateHz}, c.startMs);
        ASSERT_TRUE(contents) << c.samples;
        AudioTrack track;
        ASSERT_TRUE(ReadAudioTrack(*contents, track));
        EXPECT_EQ(track.rateHz, c.rateHz);
        EXPECT_EQ(track.waves.at(1).samples.size(), codes.size() * 2);
        ASSERT_EQ(track.events.size(), 2u) << c.samples;
        EXPECT_EQ(track.events[0].kind, AudioEvent::Kind::Volume);
        EXPECT_EQ(track.events[0].value, 127);
        EXPECT_EQ(track.events[1].kind, AudioEvent::Kind::Trigger);
        EXPECT_EQ(track.events[1].timeMs, c.triggerMs) << c.samples;
        EXPECT_EQ(track.endMs, c.endMs) << c.samples;
        EXPECT_EQ(track.events[1].gateMs, c.endMs - c.triggerMs) << c.samples;
    }
    EXPECT_FALSE(BuildRecordingTrack({ByteVector(4), 8, 12000}, 0));
    EXPECT_FALSE(BuildRecordingTrack({{}, std::size_t{kMaxRecordingMs} * 4 + 4, 4000}, 0));
}

TEST(RecordingFile, AudioOnlyFileHoldsTheTextsAndTheTrackUnderItsCheckCode) {
    const ByteVector info = {0x00, 0x32, 0x01, 0xF8, 0x00, 'S', 'T', ':', 'x', ','};
    const ByteVector track = AudioTrackContents(0x11, MakeChunk("Atsq", {0x00, 0x00, 0x00}));
    const ByteVector file = BuildAudioOnlySmaf(info, track);
    EXPECT_TRUE(HasValidCheckCode(file));
    EXPECT_EQ(file, MakeFile(Concat({MakeChunk("CNTI", info), MakeChunk(kAudioTrackId, track)})));
}

// The song keeps every byte of its chunks; the new track takes the first free number.
TEST(RecordingFile, AddingATrackKeepsTheSongsChunksByteForByte) {
    const ByteVector track = AudioTrackContents(0x11, MakeChunk("Atsq", {0x00, 0x00, 0x00}));
    const ByteVector chunks =
        Concat({MakeChunk("CNTI", {0x00, 0x32, 0x00, 0xF8, 0x00}), MakeChunk(kAudioTrackId, track),
                MakeChunk("ATR\x01", track)});
    const auto joined = AddAudioTrack(MakeFile(chunks), track);
    ASSERT_TRUE(joined);
    EXPECT_TRUE(HasValidCheckCode(*joined));
    EXPECT_EQ(*joined, MakeFile(Concat({chunks, MakeChunk("ATR\x02", track)})));
    EXPECT_EQ(ReadAudioTracks(*joined).size(), 3u);

    ByteVector cut = MakeFile(chunks);
    cut.pop_back();
    EXPECT_FALSE(AddAudioTrack(cut, track));
    EXPECT_FALSE(AddAudioTrack(chunks, track));
}

}  // namespace
}  // namespace rolvik
