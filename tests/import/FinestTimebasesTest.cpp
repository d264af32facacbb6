#include "import/FinestTimebases.h"

#include <gtest/gtest.h>

#include "core/Number.h"

namespace rolvik {
namespace {

void AddNote(Smaf& smaf, std::uint32_t timeMs, std::uint32_t gateMs) {
    ByteVector data{60, 100};
    WriteNumber(data, gateMs);
    InsertEvent(smaf, std::make_unique<Event>(timeMs, 0x90, std::move(data)));
}

// A four-byte number counts up to 2^28 - 1 ticks; a millisecond more needs two-millisecond ticks.
constexpr std::uint32_t kMaxTicks = 0x0FFFFFFF;

TEST(ChooseFinestTimebases, TakesMillisecondsWhileEveryNumberFits) {
    auto smaf = CreateSmaf(0, 0);
    AddNote(*smaf, kMaxTicks, kMaxTicks);
    ChooseFinestTimebases(*smaf);
    EXPECT_EQ(smaf->durationBase, 1u);
    EXPECT_EQ(smaf->gateBase, 1u);
}

TEST(ChooseFinestTimebases, CoarsensDurationsAndGatesEachOnTheirOwn) {
    auto longGap = CreateSmaf(0, 0);
    AddNote(*longGap, 100, 500);
    AddNote(*longGap, 100 + kMaxTicks + 1, 500);
    ChooseFinestTimebases(*longGap);
    EXPECT_EQ(longGap->durationBase, 2u);
    EXPECT_EQ(longGap->gateBase, 1u);

    auto longNote = CreateSmaf(0, 0);
    AddNote(*longNote, 0, 0xFFFFFFFF);
    ChooseFinestTimebases(*longNote);
    EXPECT_EQ(longNote->durationBase, 1u);
    EXPECT_EQ(longNote->gateBase, 20u);
}

}  // namespace
}  // namespace rolvik
