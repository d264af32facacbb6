#include "core/HandyPhoneConverter.h"

#include "core/Number.h"

#include <gtest/gtest.h>

#include "ConvertedEvents.h"
#include "tests/support/MessageRecorder.h"

namespace rolvik {
namespace {

using testing::ConvertedEvent;
using testing::EventAt;
using testing::EventsOf;
using testing::MessageRecorder;
using testing::ShownMessage;

using Events = std::vector<ConvertedEvent>;

// Durations and gates of 20 ms a tick, so 5 ticks are 100 ms (0x64).
std::unique_ptr<Smaf> Document() {
    return CreateSmaf(20, 20);
}

Events ConvertSequence(const ByteVector& stream, unsigned channelBase = 0) {
    auto smaf = Document();
    ConvertHandyPhoneEvents(*smaf, stream, false, 0, std::nullopt, channelBase);
    return EventsOf(*smaf);
}

TEST(HandyPhoneConversion, NoteKeyComesFromOctaveBlockAndNote) {
    // Note byte 0x25: channel 0, octave block 2, note 5; the two-byte gate 81 05 is 261 ticks.
    EXPECT_EQ(ConvertSequence({0x00, 0x25, 0x05, 0x80, 0x00, 0x25, 0x81, 0x05}),
              (Events{{0, 0x80, {65, 0x64}}, {2560, 0x80, {65, 0xA8, 0x64}}}));
    // FF followed by neither F0 nor 00 is a note: channel 3, block 3, note 15, gate 5.
    EXPECT_EQ(ConvertSequence({0x00, 0xFF, 0x05}), (Events{{0, 0x83, {87, 0x64}}}));
}

TEST(HandyPhoneConversion, OctaveShiftAppliesToItsChannelWithinOneCall) {
    EXPECT_EQ(ConvertSequence({0x00, 0x00, 0xB2, 0x01,  // shift channel 2 up
                               0x00, 0x25, 0x05, 0x00, 0xA5, 0x05}),
              (Events{{0, 0xFF, {0x00}}, {0, 0x80, {65, 0x64}}, {0, 0x82, {77, 0x64}}}));
    // 84 shifts down 4 octaves: (-4 + 0 + 3) * 12 + 5 = -7, kept to 8 bits. 05 and 80 change
    // nothing.
    EXPECT_EQ(ConvertSequence({0x00, 0x00, 0x32, 0x84, 0x00, 0x00, 0x32, 0x05, 0x00, 0x00, 0x32,
                               0x80, 0x00, 0x05, 0x05})
                  .at(3),
              (ConvertedEvent{0, 0x80, {0xF9, 0x64}}));

    auto smaf = Document();
    ConvertHandyPhoneEvents(*smaf, ByteVector{0x00, 0x32, 0x01}, true, std::nullopt, std::nullopt,
                            0);
    ConvertHandyPhoneEvents(*smaf, ByteVector{0x00, 0x25, 0x05}, false, 0, std::nullopt, 0);
    EXPECT_EQ(EventsOf(*smaf).at(1), (ConvertedEvent{0, 0x80, {65, 0x64}}))
        << "a shift in the setup data does not carry into the sequence";
}

TEST(HandyPhoneConversion, ChannelBaseWrapsSoANoteStaysANote) {
    const ByteVector noteOnChannel1{0x00, 0x65, 0x05};
    EXPECT_EQ(ConvertSequence(noteOnChannel1, 4).at(0).status, 0x85);
    EXPECT_EQ(ConvertSequence(noteOnChannel1, 16).at(0), (ConvertedEvent{0, 0x81, {65, 0x64}}));
    EXPECT_EQ(ConvertSequence({0x00, 0xE5, 0x05}, 28).at(0).status, 0x8F);
    EXPECT_EQ(ConvertSequence({0x00, 0x00, 0x71, 0x05}, 20).at(0),
              (ConvertedEvent{0, 0xB5, {0x00, 0x05}}));
}

TEST(HandyPhoneConversion, ControlsBecomeChannelEvents) {
    EXPECT_EQ(ConvertSequence({0x00, 0x00, 0x1F,         // pitch bend, value 15
                               0x00, 0x00, 0x0F,         // expression
                               0x00, 0x00, 0x6F,         // modulation, channel 1
                               0x00, 0x00, 0x30, 0x05,   // program
                               0x00, 0x00, 0x31, 0x7C,   // bank select
                               0x00, 0x00, 0x33, 0x40,   // modulation
                               0x00, 0x00, 0xF4, 0x40,   // pitch bend, channel 3
                               0x00, 0x00, 0x37, 0x64,   // volume
                               0x00, 0x00, 0x3A, 0x40,   // panpot
                               0x00, 0x00, 0x3B, 0x7F},  // expression
                              4),
              (Events{{0, 0xE4, {0x00, 0x78}},
                      {0, 0xB4, {0x0B, 0x78}},
                      {0, 0xB5, {0x01, 0x78}},
                      {0, 0xC4, {0x05}},
                      {0, 0xB4, {0x00, 0x7C}},
                      {0, 0xB4, {0x01, 0x40}},
                      {0, 0xE7, {0x00, 0x40}},
                      {0, 0xB4, {0x07, 0x64}},
                      {0, 0xB4, {0x0A, 0x40}},
                      {0, 0xB4, {0x0B, 0x7F}}}));
}

TEST(HandyPhoneConversion, SequenceEndsAtThreeZeroBytes) {
    EXPECT_EQ(ConvertSequence({0x00, 0x25, 0x05, 0x05, 0x00, 0x00}),
              (Events{{0, 0x80, {65, 0x64}}, {100, 0xB0, {0x0B, 0x00}}}))
        << "a duration other than 0 makes it an expression";
    EXPECT_EQ(
        ConvertSequence({0x00, 0x25, 0x05, 0x05, 0x00, 0x00, 0x00, 0x00, 0x00, 0x26, 0x05}),
        (Events{{0, 0x80, {65, 0x64}}, {100, 0xB0, {0x0B, 0x00}}, {100, 0xFF, {0x2F, 0x00}}}));
    // Only at the start of an event: here three zeros run from a gate into the next event.
    EXPECT_EQ(ConvertSequence({0x00, 0x25, 0x00, 0x00, 0x00, 0x0F}),
              (Events{{0, 0x80, {65, 0x00}}, {0, 0xB0, {0x0B, 0x78}}}));

    // The stop point of these songs names the end.
    auto smaf = Document();
    ConvertHandyPhoneEvents(*smaf, ByteVector{0x00, 0x25, 0x05, 0x00, 0x00, 0x00, 0x00}, false, 0,
                            3, 0);
    ASSERT_NE(smaf->stop, nullptr);
    EXPECT_EQ(smaf->stop->data, (ByteVector{0x2F, 0x00}));
    EXPECT_EQ(EventsOf(*smaf).size(), 2u);

    auto setup = Document();
    ConvertHandyPhoneEvents(*setup, ByteVector{0x00, 0x00, 0x00, 0x00}, true, std::nullopt,
                            std::nullopt, 0);
    EXPECT_EQ(EventsOf(*setup), (Events{{0, 0xB0, {0x0B, 0x00}}, {0, 0xB0, {0x0B, 0x00}}}))
        << "setup data has no durations, so its zeros stay controls";
}

TEST(HandyPhoneConversion, UnknownControlIsReportedAndItsByteReadAsADuration) {
    MessageRecorder recorder;
    // Kind 5 is unknown; 0x35 is then 53 ticks, and 40 05 a note on channel 1.
    EXPECT_EQ(ConvertSequence({0x00, 0x00, 0x35, 0x40, 0x05}),
              (Events{{0, 0x00, {}}, {1060, 0x81, {36, 0x64}}}));
    EXPECT_EQ(recorder.messages,
              (std::vector<ShownMessage>{{"What's this? 00", "Error", MessageIcon::Error}}));
}

TEST(HandyPhoneConversion, ExclusiveStatesItsTrueSizeAsANumber) {
    auto smaf = Document();
    ConvertHandyPhoneEvents(*smaf, ByteVector{0xFF, 0xF0, 0x03, 0x43, 0x79, 0xF7, 0xFF, 0x00}, true,
                            std::nullopt, std::nullopt, 0);
    EXPECT_EQ(EventsOf(*smaf), (Events{{0, 0xF0, {0x03, 0x43, 0x79, 0xF7}}, {0, 0xFF, {0x00}}}));

    ByteVector stream{0x00, 0xFF, 0xF0, 200};
    stream.insert(stream.end(), 200, 0x11);
    stream.insert(stream.end(), {0x00, 0x25, 0x05});
    const Events events = ConvertSequence(stream);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(PeekNumber(events[0].data), 200u);
    EXPECT_EQ(NumberLength(events[0].data) + 200, events[0].data.size());
    EXPECT_EQ(events[1].status, 0x80);
}

TEST(HandyPhoneConversion, StartAndStopAreSetOnlyWhileNull) {
    const ByteVector stream{0x00, 0x25, 0x05, 0x05, 0x26, 0x05};
    auto smaf = Document();
    ConvertHandyPhoneEvents(*smaf, stream, false, 3, 3, 0);
    EXPECT_EQ(smaf->start, EventAt(*smaf, 0)) << "the first event in the list is already start";
    const Event* firstStop = EventAt(*smaf, 1);
    EXPECT_EQ(smaf->stop, firstStop);

    ConvertHandyPhoneEvents(*smaf, stream, false, 0, 0, 4);
    EXPECT_EQ(smaf->stop, firstStop);
    EXPECT_EQ(smaf->start, EventAt(*smaf, 0));
}

TEST(HandyPhoneConversion, EventCutShortByTheEndIsDropped) {
    const ByteVector complete{0x00, 0x00, 0x30, 0x07};
    const std::vector<ByteVector> cutShortTails{
        {0x80},                          // duration
        {0x00},                          // first byte
        {0x00, 0x25},                    // gate
        {0x00, 0x25, 0x85},              // gate's second byte
        {0x00, 0xFF},                    // byte after FF, read as a gate
        {0x00, 0xFF, 0xF0},              // exclusive size
        {0x00, 0xFF, 0xF0, 0x03, 0x43},  // exclusive body
        {0x00, 0x00},                    // control byte
        {0x00, 0x00, 0x30},              // control value
    };
    for (const ByteVector& tail : cutShortTails) {
        ByteVector stream = complete;
        stream.insert(stream.end(), tail.begin(), tail.end());
        MessageRecorder recorder;
        auto smaf = Document();
        ConvertHandyPhoneEvents(*smaf, stream, false, 0, 4, 0);
        EXPECT_EQ(EventsOf(*smaf), (Events{{0, 0xC0, {0x07}}}))
            << "tail of " << tail.size() << " bytes ending " << int{tail.back()};
        EXPECT_EQ(smaf->stop, nullptr);
        EXPECT_TRUE(recorder.messages.empty());
    }
}

}  // namespace
}  // namespace rolvik
