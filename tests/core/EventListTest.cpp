#include "core/EventBatch.h"
#include "core/Smaf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <utility>
#include <vector>

#include "tests/support/MessageRecorder.h"

namespace rolvik {
namespace {

Event* Add(Smaf& smaf, std::uint32_t time, std::uint8_t status = 0xB0) {
    return InsertEvent(smaf, std::make_unique<Event>(time, status, ByteVector{}));
}

std::vector<std::uint32_t> Times(const Smaf& smaf) {
    std::vector<std::uint32_t> times;
    for (const Event* e = smaf.events.get(); e; e = e->next.get()) {
        times.push_back(e->time);
    }
    return times;
}

// Every delta must equal the distance to the previous event (the first: its own time).
void ExpectDeltasConsistent(const Smaf& smaf) {
    std::uint32_t previous = 0;
    for (const Event* e = smaf.events.get(); e; e = e->next.get()) {
        EXPECT_EQ(static_cast<std::uint32_t>(e->delta), e->time - previous) << "at " << e->time;
        previous = e->time;
    }
}

TEST(InsertEvent, FirstEventBecomesHeadAndStart) {
    auto smaf = CreateSmaf(4, 4);
    Event* e = Add(*smaf, 120);
    EXPECT_EQ(smaf->events.get(), e);
    EXPECT_EQ(smaf->start, e);
    EXPECT_EQ(e->delta, 120);
}

TEST(InsertEvent, EqualTimesKeepInsertionOrder) {
    auto smaf = CreateSmaf(4, 4);
    Event* a = Add(*smaf, 10);
    Event* b = Add(*smaf, 10);
    Add(*smaf, 20);
    Event* c = Add(*smaf, 10);
    EXPECT_EQ(a->next.get(), b);
    EXPECT_EQ(b->next.get(), c);
    EXPECT_EQ(c->delta, 0);
    ExpectDeltasConsistent(*smaf);
}

TEST(InsertEvent, EarlierThanHeadBecomesHeadAndStart) {
    auto smaf = CreateSmaf(4, 4);
    Event* later = Add(*smaf, 100);
    Add(*smaf, 150);
    smaf->start = later->next.get();
    Event* early = Add(*smaf, 30);
    EXPECT_EQ(smaf->events.get(), early);
    EXPECT_EQ(smaf->start, early);
    EXPECT_EQ(later->delta, 70);
    ExpectDeltasConsistent(*smaf);
}

TEST(InsertEvent, HintDoesNotChangeWhereEventsLand) {
    auto smaf = CreateSmaf(4, 4);
    for (std::uint32_t t : {50u, 10u, 70u, 30u, 30u, 90u, 0u, 60u}) {
        Add(*smaf, t);
    }
    EXPECT_EQ(Times(*smaf), (std::vector<std::uint32_t>{0, 10, 30, 30, 50, 60, 70, 90}));
    ExpectDeltasConsistent(*smaf);
}

// A batch must leave the list, every delta and `start` exactly as inserting its events one by one
// would: into an empty list or behind events already there, in order or with times that go back.
TEST(EventBatch, BuildsTheListInsertEventWould) {
    std::mt19937 random(19);
    const std::vector<std::uint32_t> inOrder{0, 0, 5, 5, 9, 0x80000000u};
    std::vector<std::uint32_t> wrapping;
    std::vector<std::uint32_t> scattered;
    for (int i = 0; i < 500; ++i) {
        wrapping.push_back(i % 2 == 0 ? 0 : 0x80000000u);
        scattered.push_back(random() % 40);
    }
    for (const auto& times : {inOrder, wrapping, scattered}) {
        for (const bool listHasEvents : {false, true}) {
            auto oneByOne = CreateSmaf(4, 4);
            auto batched = CreateSmaf(4, 4);
            for (Smaf* smaf : {oneByOne.get(), batched.get()}) {
                if (listHasEvents) {
                    Add(*smaf, 5, 0xC0);
                    Add(*smaf, 0x80000000u, 0xC0);
                }
            }
            EventBatch batch(*batched);
            for (std::size_t i = 0; i < times.size(); ++i) {
                const auto status = static_cast<std::uint8_t>(i);
                Event* one = Add(*oneByOne, times[i], status);
                Event* twin = batch.Add(std::make_unique<Event>(times[i], status, ByteVector{}));
                EXPECT_EQ(batched->start == twin, oneByOne->start == one);
            }
            batch.Commit();
            const Event* a = oneByOne->events.get();
            for (const Event* b = batched->events.get(); a && b;
                 a = a->next.get(), b = b->next.get()) {
                EXPECT_EQ(std::make_pair(b->time, b->status), std::make_pair(a->time, a->status));
                EXPECT_EQ(b->delta, a->delta);
            }
            EXPECT_EQ(Times(*batched).size(), Times(*oneByOne).size());
        }
    }
}

TEST(InsertEvent, TimesComparedUnsigned) {
    auto smaf = CreateSmaf(4, 4);
    Add(*smaf, 0x80000000u);
    Add(*smaf, 5);
    EXPECT_EQ(Times(*smaf), (std::vector<std::uint32_t>{5, 0x80000000u}));
    ExpectDeltasConsistent(*smaf);
}

// Deltas wrap at 32 bits as the times do: a head at 2^31 ms ahead of an event at 0xF0000000 ms,
// and removing it again, must not overflow a signed delta.
TEST(InsertEvent, DeltasOfTimesBeyond2To31Wrap) {
    auto smaf = CreateSmaf(4, 4);
    Add(*smaf, 0xF0000000u);
    Event* head = Add(*smaf, 0x80000000u);
    Add(*smaf, 0xFFFFFFFFu);
    Add(*smaf, 0x7FFFFFFFu);
    EXPECT_EQ(Times(*smaf),
              (std::vector<std::uint32_t>{0x7FFFFFFFu, 0x80000000u, 0xF0000000u, 0xFFFFFFFFu}));
    ExpectDeltasConsistent(*smaf);
    RemoveEvent(*smaf, smaf->events.get());
    RemoveEvent(*smaf, head);
    EXPECT_EQ(smaf->events->delta, static_cast<std::int32_t>(0xF0000000u));
    ExpectDeltasConsistent(*smaf);
}

TEST(RemoveEvent, HeadRemovalRepairsDeltaAndStart) {
    auto smaf = CreateSmaf(4, 4);
    Event* head = Add(*smaf, 10);
    Event* second = Add(*smaf, 25);
    auto removed = RemoveEvent(*smaf, head);
    EXPECT_EQ(removed.get(), head);
    EXPECT_EQ(smaf->events.get(), second);
    EXPECT_EQ(smaf->start, second);
    EXPECT_EQ(second->delta, 25);
}

TEST(RemoveEvent, StartAndStopMoveToSuccessorOrNull) {
    auto smaf = CreateSmaf(4, 4);
    Add(*smaf, 0);
    Event* middle = Add(*smaf, 10);
    Event* last = Add(*smaf, 20);
    smaf->start = middle;
    smaf->stop = last;
    RemoveEvent(*smaf, middle);
    EXPECT_EQ(smaf->start, last);
    RemoveEvent(*smaf, last);
    EXPECT_EQ(smaf->start, nullptr);
    EXPECT_EQ(smaf->stop, nullptr);
}

TEST(RemoveEvent, UnknownEventChangesNothing) {
    auto smaf = CreateSmaf(4, 4);
    Event stranger(5, 0x90, {});
    EXPECT_EQ(RemoveEvent(*smaf, &stranger), nullptr);
    Add(*smaf, 3);
    EXPECT_EQ(RemoveEvent(*smaf, &stranger), nullptr);
    EXPECT_EQ(Times(*smaf), (std::vector<std::uint32_t>{3}));
}

TEST(RemoveEvent, MoveByRemoveAndReinsertKeepsDeltas) {
    auto smaf = CreateSmaf(4, 4);
    for (std::uint32_t t : {0u, 10u, 20u, 30u}) {
        Add(*smaf, t);
    }
    auto moved = RemoveEvent(*smaf, smaf->events->next.get());
    moved->time = 25;
    InsertEvent(*smaf, std::move(moved));
    EXPECT_EQ(Times(*smaf), (std::vector<std::uint32_t>{0, 20, 25, 30}));
    ExpectDeltasConsistent(*smaf);
}

// A fresh note that is moved at once: the event inserted last leaves the list and comes back.
TEST(RemoveEvent, EventInsertedLastCanBeRemovedAndInsertedAgain) {
    for (std::uint32_t newTime : {5u, 15u, 40u}) {
        auto smaf = CreateSmaf(4, 4);
        for (std::uint32_t t : {0u, 10u, 20u, 30u}) {
            Add(*smaf, t);
        }
        Event* fresh = Add(*smaf, 12, 0x90);
        auto moved = RemoveEvent(*smaf, fresh);
        ASSERT_EQ(moved.get(), fresh);
        moved->time = newTime;
        InsertEvent(*smaf, std::move(moved));
        Add(*smaf, 25);
        std::vector<std::uint32_t> expected{0, 10, 20, 25, 30, newTime};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Times(*smaf), expected) << "moved to " << newTime;
        ExpectDeltasConsistent(*smaf);
    }
}

TEST(EventGate, ReadsGateOfNotesOnly) {
    EXPECT_EQ(EventGate(Event(0, 0x83, {60, 0x83, 0x74})), 500u);
    EXPECT_EQ(EventGate(Event(0, 0x92, {60, 100, 0x10})), 16u);
    EXPECT_EQ(EventGate(Event(0, 0xB0, {7, 100})), 0u);
    EXPECT_EQ(EventGate(Event(0, 0xC0, {5})), 0u);
    EXPECT_EQ(EventGate(Event(0, 0xF0, {2, 0x43, 0xF7})), 0u);
    EXPECT_EQ(EventGate(Event(0, 0xFF, {0x2F, 0})), 0u);
    EXPECT_EQ(EventGate(Event(0, 0x90, {60})), 0u);
}

// Data of up to 14 bytes lives inside the event, longer data in a block of its own; both must copy,
// move and replace each other without losing a byte.
TEST(CompactBytes, KeepsEveryByteInlineAndOnTheHeap) {
    for (const std::size_t size : {0u, 14u, 15u, 300u}) {
        ByteVector bytes(size);
        std::iota(bytes.begin(), bytes.end(), std::uint8_t{1});
        CompactBytes data = bytes;
        EXPECT_EQ(data, bytes);
        CompactBytes copy = data;
        CompactBytes moved = std::move(data);
        EXPECT_EQ(copy, bytes);
        EXPECT_EQ(moved, bytes);
        for (const std::size_t other : {3u, 200u}) {
            CompactBytes replaced = ByteVector(other, 0xEE);
            replaced = copy;
            EXPECT_EQ(replaced, bytes) << size << " over " << other;
            replaced = ByteVector(other, 0xEE);
            EXPECT_EQ(replaced.size(), other);
        }
    }
}

TEST(Document, MillionEventsFreeWithoutRecursion) {
    auto smaf = CreateSmaf(4, 4);
    for (std::uint32_t t = 0; t < 1'000'000; ++t) {
        Add(*smaf, t);
    }
    FreeEvents(*smaf);
    EXPECT_EQ(smaf->events, nullptr);
    EXPECT_EQ(smaf->start, nullptr);
}

TEST(Document, ClosingNoDocumentIsReportedAsBug) {
    testing::MessageRecorder recorder;
    EXPECT_EQ(CloseSmaf(nullptr), nullptr);
    EXPECT_EQ(
        recorder.messages,
        (std::vector<testing::ShownMessage>{{"already smaf == NULL", "BUG?", MessageIcon::Error}}));
    recorder.messages.clear();
    EXPECT_EQ(CloseSmaf(CreateSmaf(4, 4)), nullptr);
    EXPECT_TRUE(recorder.messages.empty());
}

}  // namespace
}  // namespace rolvik
