#include "core/MobileStandardConverter.h"

#include <gtest/gtest.h>

#include "ConvertedEvents.h"
#include "tests/support/MessageRecorder.h"
#include "tests/support/SmafImage.h"

namespace rolvik {
namespace {

using testing::Concat;
using testing::ConvertedEvent;
using testing::EventAt;
using testing::EventsOf;
using testing::MessageRecorder;
using testing::ShownMessage;

const ShownMessage kUnknownStatus{"ConvertEvents(MSF-import): Program's bug or Illegal SMAF file",
                                  "What the hell...?", MessageIcon::None};

std::unique_ptr<Smaf> Document(std::uint32_t durationBase = 4, std::uint32_t gateBase = 4) {
    return CreateSmaf(durationBase, gateBase);
}

void Sequence(Smaf& smaf, const ByteVector& stream, std::optional<std::uint32_t> start = 0,
              std::optional<std::uint32_t> stop = std::nullopt) {
    ConvertEvents(smaf, stream, false, start, stop);
}

TEST(ConvertEvents, ScalesDurationsAndGatesByTheTimebases) {
    auto smaf = Document(4, 4);
    Sequence(*smaf, {0x00, 0x90, 0x3C, 0x64, 0x19});
    EXPECT_EQ(EventsOf(*smaf), (std::vector<ConvertedEvent>{{0, 0x90, {0x3C, 0x64, 0x64}}}));

    // 50 ticks of 20 ms; a 40-tick gate at 50 ms needs one more byte than in the stream.
    auto wide = Document(20, 50);
    Sequence(*wide, {0x32, 0x83, 0x3C, 0x28, 0x32, 0xC3, 0x05});
    EXPECT_EQ(EventsOf(*wide), (std::vector<ConvertedEvent>{{1000, 0x83, {0x3C, 0x8F, 0x50}},
                                                            {2000, 0xC3, {0x05}}}));
}

TEST(ConvertEvents, CopiesEachStatusWithItsOwnDataLength) {
    auto smaf = Document();
    Sequence(*smaf, {0x00, 0xA1, 1,    2,    3,           //
                     0x00, 0xB2, 0x07, 0x64,              //
                     0x00, 0xC3, 0x05,                    //
                     0x00, 0xD4, 1,    2,                 //
                     0x00, 0xE5, 0x00, 0x40,              //
                     0x00, 0xF0, 0x03, 0x43, 0x79, 0xF7,  //
                     0x00, 0xFF, 0x00,                    //
                     0x00, 0xFF, 0x2F, 0x00});
    EXPECT_EQ(EventsOf(*smaf), (std::vector<ConvertedEvent>{{0, 0xA1, {1, 2, 3}},
                                                            {0, 0xB2, {0x07, 0x64}},
                                                            {0, 0xC3, {0x05}},
                                                            {0, 0xD4, {1, 2}},
                                                            {0, 0xE5, {0x00, 0x40}},
                                                            {0, 0xF0, {0x03, 0x43, 0x79, 0xF7}},
                                                            {0, 0xFF, {0x00}},
                                                            {0, 0xFF, {0x2F, 0x00}}}));
}

TEST(ConvertEvents, ExclusiveKeepsAMultiByteSize) {
    ByteVector stream{0x00, 0xF0, 0x81, 0x00};
    stream.insert(stream.end(), 128, 0x11);
    stream.insert(stream.end(), {0x00, 0xC0, 0x01});
    auto smaf = Document();
    Sequence(*smaf, stream);
    ASSERT_EQ(EventsOf(*smaf).size(), 2u);
    EXPECT_EQ(smaf->events->length(), 130u);
    EXPECT_EQ(smaf->events->next->status, 0xC0);
}

TEST(ConvertEvents, UnknownStatusIsReportedOnceAndEndsTheStream) {
    // 0x45 and 0xF1 are no status; FF 01 is no meta event.
    for (const ByteVector& stray : {ByteVector{0x45}, ByteVector{0xF1}, ByteVector{0xFF, 0x01}}) {
        MessageRecorder recorder;
        auto smaf = Document();
        Sequence(*smaf, Concat({{0x00, 0xC0, 0x01, 0x00}, stray, {0x00, 0xC0, 0x02, 0x00, 0x45}}));
        EXPECT_EQ(EventsOf(*smaf),
                  (std::vector<ConvertedEvent>{{0, 0xC0, {0x01}}, {0, stray[0], {}}}));
        EXPECT_EQ(recorder.messages, std::vector<ShownMessage>{kUnknownStatus});
    }
    // A long run of such bytes, as a tiny code tree decodes into, still gives one message.
    MessageRecorder recorder;
    auto smaf = Document();
    Sequence(*smaf, ByteVector(1 << 20, 0x45));
    EXPECT_EQ(EventsOf(*smaf).size(), 1u);
    EXPECT_EQ(recorder.messages.size(), 1u);
}

// The format writes numbers of at most four bytes; a longer one is refused with its event and all
// that follows, wherever it stands: a duration, a gate time, an exclusive's size.
TEST(ConvertEvents, NumberLongerThanFourBytesEndsTheStream) {
    const ByteVector fiveBytes{0x88, 0x80, 0x80, 0x80, 0x00};
    const ByteVector overlong[] = {
        fiveBytes,
        Concat({{0x00, 0x80, 0x3C}, fiveBytes}),
        Concat({{0x00, 0x90, 0x3C, 0x64}, fiveBytes}),
        Concat({{0x00, 0xF0}, fiveBytes}),
    };
    for (const ByteVector& event : overlong) {
        MessageRecorder recorder;
        auto smaf = Document(1, 1);
        Sequence(*smaf, Concat({{0xFF, 0xFF, 0xFF, 0x7F, 0xC0, 0x01}, event, {0x00, 0xC0, 0x02}}));
        EXPECT_EQ(EventsOf(*smaf), (std::vector<ConvertedEvent>{{0x0FFFFFFF, 0xC0, {0x01}}}));
        EXPECT_EQ(recorder.messages,
                  (std::vector<ShownMessage>{{"ConvertEvents(MSF-import): A number longer than "
                                              "four bytes: the track is read up to it",
                                              "Error", MessageIcon::Error}}));
    }
}

TEST(ConvertEvents, SetupDataHasNoDurationsAndLeavesStartAndStop) {
    auto smaf = Document();
    Event* earlier = InsertEvent(*smaf, std::make_unique<Event>(0, 0xC0, ByteVector{0x01}));
    ConvertEvents(*smaf, ByteVector{0xC1, 0x05, 0xB1, 0x07, 0x64}, true, 0, 2);
    EXPECT_EQ(EventsOf(*smaf), (std::vector<ConvertedEvent>{
                                   {0, 0xC0, {0x01}}, {0, 0xC1, {0x05}}, {0, 0xB1, {0x07, 0x64}}}));
    EXPECT_EQ(smaf->start, earlier);
    EXPECT_EQ(smaf->stop, nullptr);
}

TEST(ConvertEvents, StartAndStopAreTheEventsAtTheirOffsets) {
    const ByteVector stream{0x00, 0xC0, 0x01, 0x05, 0xC0, 0x02, 0x05, 0xC0, 0x03};
    auto smaf = Document();
    Sequence(*smaf, stream, 3, 6);
    const Event* firstTrackStart = EventAt(*smaf, 1);
    EXPECT_EQ(smaf->start, firstTrackStart);
    EXPECT_EQ(smaf->stop, EventAt(*smaf, 2));

    // An offset inside an event matches nothing; a later track's match wins over an earlier one.
    Sequence(*smaf, stream, 4, 0);
    EXPECT_EQ(smaf->start, firstTrackStart);
    EXPECT_EQ(smaf->stop, EventAt(*smaf, 1)) << "the second track's first event, behind the first";
}

TEST(ConvertEvents, DefaultStartIsTheFirstSequenceEventBehindTheSetup) {
    auto smaf = Document();
    ConvertEvents(*smaf, ByteVector{0xC0, 0x05}, true, std::nullopt, std::nullopt);
    Sequence(*smaf, {0x00, 0xB0, 0x07, 0x64});
    EXPECT_EQ(smaf->start, EventAt(*smaf, 1));

    auto empty = Document();
    Sequence(*empty, {});
    EXPECT_EQ(empty->events, nullptr);
    EXPECT_EQ(empty->start, nullptr);
}

TEST(ConvertEvents, EventCutShortByTheEndIsDropped) {
    const ByteVector complete{0x00, 0xC0, 0x07};
    const std::vector<ByteVector> cutShortTails{
        {0x81},                          // duration
        {0x00},                          // status
        {0x00, 0x90, 0x3C},              // gate
        {0x00, 0x90, 0x3C, 0x64, 0x81},  // gate number
        {0x00, 0x80},                    // key
        {0x00, 0xA0, 0x01, 0x02},        // third byte
        {0x00, 0xB0, 0x07},              // value
        {0x00, 0xF0, 0x81},              // exclusive size
        {0x00, 0xF0, 0x05, 0x43, 0x79},  // exclusive body
        {0x00, 0xFF},                    // meta kind
        {0x00, 0xFF, 0x2F},              // end of sequence
    };
    for (const ByteVector& tail : cutShortTails) {
        ByteVector stream = complete;
        stream.insert(stream.end(), tail.begin(), tail.end());
        MessageRecorder recorder;
        auto smaf = Document();
        Sequence(*smaf, stream, 3, 3);
        EXPECT_EQ(EventsOf(*smaf), (std::vector<ConvertedEvent>{{0, 0xC0, {0x07}}}))
            << "tail of " << tail.size() << " bytes starting " << int{tail[0]};
        EXPECT_EQ(smaf->start, smaf->events.get());
        EXPECT_EQ(smaf->stop, nullptr);
        EXPECT_TRUE(recorder.messages.empty());
    }
}

}  // namespace
}  // namespace rolvik
