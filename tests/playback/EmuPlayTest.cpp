#include <gmock/gmock.h>

#include "EngineTest.h"

namespace rolvik {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class EmuPlayTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        document->fileData = {'M', 'M', 'M', 'D', 0, 0, 0, 2, 0xAB, 0xCD};
    }

    std::unique_ptr<Smaf> document = CreateSmaf(4, 4);
};

TEST_F(EmuPlayTest, RefusesAMissingDocumentOrOneWithoutBytes) {
    EXPECT_EQ(engine->emu().EmuSMAFPlay(nullptr, 0), 0);
    document->fileData.clear();
    EXPECT_EQ(engine->emu().EmuSMAFPlay(document.get(), 0), 0);
    EXPECT_THAT(recorder.Texts(),
                ElementsAre("EmuSMAFPlay: smaf == NULL, it is probably a program bug!",
                            "EmuSMAFPlay: No data. Please compile before EmuPlay."));
    EXPECT_THAT(fake.calls, IsEmpty()) << "the engine stays in MIDI use";
}

TEST_F(EmuPlayTest, StartsTheSequencerWithTheControlsAtThePosition) {
    engine->controls() = {99, 115, -2, false};
    ASSERT_EQ(engine->emu().EmuSMAFPlay(document.get(), 1234), 1);
    EXPECT_THAT(recorder.messages, IsEmpty());
    EXPECT_THAT(
        fake.Names(),
        ElementsAre("MaSound_EmuTerminate", "MaSound_EmuInitialize", "MaSound_Initialize",
                    "MaSound_DeviceControl", "MaSound_DeviceControl", "MaSound_DeviceControl",
                    "MaSound_DeviceControl", "MaSound_DeviceControl", "MaSound_Create",
                    "MaSound_Load", "MaSound_Open", "MaSound_Standby", "MaSound_Control",
                    "MaSound_Control", "MaSound_Control", "MaSound_Seek", "MaSound_Start"));
    const auto& calls = fake.calls;
    EXPECT_EQ(calls[1].args, Args({48000, 2, Address(engine->binding().WorkPointer())}));
    EXPECT_EQ(calls[2].args, Args({0, Address(engine->binding().WorkBlock()), 0}));
    EXPECT_EQ(calls[3].args, Args({0x0D, 0, 0, 0}));
    EXPECT_EQ(calls[8].args, Args({1}));
    EXPECT_EQ(calls[9].args, Args({1, 10, 1, 0, 0}));
    EXPECT_EQ(calls[9].bytes, document->fileData);
    EXPECT_EQ(calls[10].args, Args({1, 1, 0, 0}));
    EXPECT_EQ(calls[11].args, Args({1, 1, 0}));
    EXPECT_EQ(calls[12].args[2], 0);
    EXPECT_EQ(calls[12].pointedValue, 99);
    EXPECT_EQ(calls[13].args[2], 2);
    EXPECT_EQ(calls[13].pointedValue, -2);
    EXPECT_EQ(calls[14].args[2], 1);
    EXPECT_EQ(calls[14].pointedValue, 115);
    EXPECT_EQ(calls[15].args, Args({1, 1, 1234, 0, 0}));
    EXPECT_EQ(calls[16].args, Args({1, 1, 1, 0}));
}

struct FailingStep {
    const char* name;
    std::int64_t selector;  // the first argument that picks the call, or -1 for any
    std::int32_t result;
    const char* text;
};

TEST_F(EmuPlayTest, EachFailingStepStopsTheStartWithItsMessage) {
    const FailingStep steps[] = {
        {"MaSound_EmuInitialize", 48000, 3, "EmuInitialize2 failed!"},
        {"MaSound_Initialize", -1, 3, "Initialize failed!"},
        {"MaSound_DeviceControl", 0x0D, 3, "DeviceControl(0x0D, 0, 0, 0) failed!"},
        {"MaSound_DeviceControl", 0x08, 3, "DeviceControl(0x08, 2, 0, 0) failed!"},
        {"MaSound_Create", -1, 0, "Create failed!"},
        {"MaSound_Load", -1, 0, "Load failed!\nMay be incorrect SMAF specified.(CRC etc.)"},
        {"MaSound_Open", -1, 3, "Open failed!"},
        {"MaSound_Standby", -1, 3, "Standby failed!"},
        {"MaSound_Control", 0, 3, "Control volume failed!"},
        {"MaSound_Control", 2, 3, "Control keypitch failed!"},
        {"MaSound_Control", 1, 3, "Control tempo failed!"},
        {"MaSound_Seek", -1, 3, "Seek failed"},
        {"MaSound_Start", -1, 3, "Start failed!"},
    };
    for (const FailingStep& step : steps) {
        SCOPED_TRACE(step.text);
        fake.Reset();
        recorder.messages.clear();
        fake.answer = [&step](const fake::EngineCall& call) -> std::optional<std::int32_t> {
            const std::size_t selectorIndex = call.name == "MaSound_Control" ? 2 : 0;
            if (call.name == step.name &&
                (step.selector < 0 || call.args[selectorIndex] == step.selector)) {
                return step.result;
            }
            return std::nullopt;
        };
        EXPECT_EQ(engine->emu().EmuSMAFPlay(document.get(), 0), 0);
        EXPECT_THAT(recorder.Texts(), ElementsAre(step.text));
        EXPECT_EQ(fake.calls.back().name, step.name) << "nothing runs after the failing step";
    }
}

TEST_F(EmuPlayTest, StopReturnsTheEngineToMidiUseEvenAfterAFailedStart) {
    fake.results["MaSound_Load"] = 0;
    engine->emu().EmuSMAFPlay(document.get(), 0);
    fake.Reset();
    engine->emu().EmuSMAFStop();
    EXPECT_THAT(fake.Names(),
                ElementsAre("MaSound_Stop", "MaSound_Close", "MaSound_Unload", "MaSound_Delete",
                            "MaSound_Terminate", "MaSound_EmuTerminate", "MaSound_EmuInitialize",
                            "MaSound_DeviceControl", "MaSound_DeviceControl",
                            "MaSound_DeviceControl", "MaSound_DeviceControl"));
    EXPECT_EQ(fake.calls[0].args, Args({1, 1, 0}));
    EXPECT_EQ(fake.calls[3].args, Args({1}));
    EXPECT_EQ(fake.calls[6].args, Args({48000, 0, Address(engine->binding().WorkPointer())}));

    ASSERT_EQ(engine->emu().EmuSMAFPlay(document.get(), 0), 1);
    recorder.messages.clear();
    fake.Reset();
    fake.answer = [](const fake::EngineCall& call) -> std::optional<std::int32_t> {
        return call.name == "MaSound_EmuInitialize" ? std::optional(1) : std::nullopt;
    };
    engine->emu().EmuSMAFStop();
    EXPECT_THAT(recorder.Texts(), ElementsAre("EmuInitialize0 failed!"));
    EXPECT_EQ(fake.calls.back().name, "MaSound_EmuInitialize");
}

TEST_F(EmuPlayTest, PlayerQueriesAskTheSequencerWhileItPlays) {
    EXPECT_EQ(playback.PlayerStatus(), -1);
    EXPECT_EQ(playback.PlayerPosition(), -1);
    EXPECT_EQ(playback.PlayerSeek(100), 0);
    EXPECT_THAT(fake.calls, IsEmpty());

    ASSERT_TRUE(playback.Start(PlayState::EmuPlay, *document));
    fake.calls.clear();
    fake.status = 3;
    fake.positionMs = 4321;
    fake.emuInfo = 3;
    EXPECT_EQ(playback.PlayerStatus(), 3);
    EXPECT_EQ(playback.PlayerPosition(), 4321);
    EXPECT_EQ(engine->emu().EmuDeviceInfo(), 3);
    EXPECT_EQ(fake.calls[0].args, Args({1, 1, 6, 0, 0}));
    EXPECT_EQ(fake.calls[1].args, Args({1, 1, 4, 0, 0}));
    EXPECT_EQ(fake.calls[2].args, Args({4}));

    fake.calls.clear();
    EXPECT_EQ(playback.PlayerSeek(2500), 1);
    EXPECT_THAT(fake.Names(), ElementsAre("MaSound_Stop", "MaSound_Seek", "MaSound_Start"));
    EXPECT_EQ(fake.calls[1].args, Args({1, 1, 2500, 0, 0}));

    fake.calls.clear();
    fake.results["MaSound_Seek"] = 1;
    EXPECT_EQ(playback.PlayerSeek(999999), 0);
    EXPECT_THAT(fake.Names(), ElementsAre("MaSound_Stop", "MaSound_Seek"))
        << "a refused seek leaves the sequencer stopped";
    EXPECT_THAT(recorder.messages, IsEmpty()) << "the shell reports a failed seek";

    fake.calls.clear();
    playback.SetRepeat(true);
    EXPECT_THAT(fake.Names(), ElementsAre("MaSound_Start"));
    EXPECT_EQ(fake.calls[0].args, Args({1, 1, 0, 0})) << "repeat reaches the running sequencer";
}

}  // namespace
}  // namespace rolvik
