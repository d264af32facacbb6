#include <gtest/gtest.h>

#include "SynthTestSupport.h"
#include "synth/VoiceTable.h"

namespace rolvik::synth::test {
namespace {

VoiceKey KeyOf(std::size_t i) {
    return {static_cast<std::uint8_t>(124 + i % 2), static_cast<std::uint8_t>(i / 256),
            static_cast<std::uint8_t>(i / 2 % 128), static_cast<std::uint8_t>(i % 7)};
}

VoiceParameters VoiceOf(std::size_t i) {
    VoiceParameters voice = SineVoice();
    voice.voiceBytes[0] = static_cast<std::uint8_t>(i);
    voice.voiceBytes[1] = static_cast<std::uint8_t>(i >> 8);
    return voice;
}

bool Holds(const VoiceTable& table, std::size_t i) {
    const VoiceParameters* voice = table.Find(KeyOf(i));
    return voice != nullptr && voice->voiceBytes == VoiceOf(i).voiceBytes;
}

// Erasing shifts entries back along their probes: every other entry must stay reachable.
TEST(VoiceTableTest, KeepsEveryEntryThroughErasesAndRefusesBeyondItsCapacity) {
    VoiceTable table;
    for (std::size_t i = 0; i < VoiceTable::kCapacity; ++i) {
        ASSERT_TRUE(table.Define(KeyOf(i), VoiceOf(i)));
    }
    EXPECT_FALSE(table.Define(KeyOf(VoiceTable::kCapacity), VoiceOf(0)));
    EXPECT_TRUE(table.Define(KeyOf(5), VoiceOf(5))) << "replacing needs no room";
    for (std::size_t i = 0; i < VoiceTable::kCapacity; i += 3) {
        table.Erase(KeyOf(i));
    }
    table.Erase(KeyOf(0));
    for (std::size_t i = 0; i < VoiceTable::kCapacity; ++i) {
        ASSERT_EQ(Holds(table, i), i % 3 != 0) << i;
    }
    EXPECT_EQ(table.size(), VoiceTable::kCapacity - VoiceTable::kCapacity / 3);
    for (std::size_t i = 0; i < VoiceTable::kCapacity; i += 3) {
        ASSERT_TRUE(table.Define(KeyOf(i), VoiceOf(i)));
    }
    for (std::size_t i = 0; i < VoiceTable::kCapacity; ++i) {
        ASSERT_TRUE(Holds(table, i)) << i;
    }
}

}  // namespace
}  // namespace rolvik::synth::test
