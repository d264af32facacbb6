#include <gmock/gmock.h>

#include <array>

#include "EngineTest.h"
#include "playback/EngineFunctions.h"
#include "playback/EngineLocation.h"

namespace rolvik {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

class UnloadedEngineTest : public EngineTest {
  protected:
    UnloadedEngineTest() { loadInSetUp = false; }
};

TEST_F(UnloadedEngineTest, StartsTheEngineInMidiUseInsideItsWorkBlock) {
    ASSERT_EQ(engine->binding().LoadEmulator(), 1);
    EXPECT_THAT(fake.Names(), ElementsAre("MaSound_EmuInitialize", "MaSound_DeviceControl",
                                          "MaSound_DeviceControl", "MaSound_DeviceControl",
                                          "MaSound_DeviceControl"));
    EXPECT_EQ(fake.calls[0].args, Args({48000, 0, Address(engine->binding().WorkPointer())}));
    EXPECT_EQ(fake.calls[1].args, Args({5, 2, 0, 0}));
    EXPECT_EQ(fake.calls[2].args, Args({6, 0, 0, 0}));
    EXPECT_EQ(fake.calls[3].args, Args({8, 2, 0, 0}));
    EXPECT_EQ(fake.calls[4].args, Args({9, 0, 0, 0}));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(engine->binding().WorkPointer()) & 0xFF, 0x81u);
    EXPECT_GE(engine->binding().WorkPointer(), engine->binding().WorkBlock());
    EXPECT_LT(engine->binding().WorkPointer(), engine->binding().WorkBlock() + 256);
    EXPECT_THAT(recorder.messages, IsEmpty());

    engine->binding().ReleaseEmulator();
    EXPECT_EQ(fake.calls.back().name, "MaSound_EmuTerminate");
    EXPECT_EQ(engine->binding().WorkBlock(), nullptr);
}

TEST_F(UnloadedEngineTest, MissingLibraryIsNamedInTheMessage) {
    setenv("ROLVIK_ENGINE", "/nonexistent/librolvik-engine.so", 1);
    EXPECT_EQ(engine->binding().LoadEmulator(), 0);
    ASSERT_EQ(recorder.messages.size(), 1u);
    EXPECT_EQ(recorder.messages[0].text,
              "/nonexistent/librolvik-engine.so not found.\nIt requires to run this application.");
    EXPECT_EQ(recorder.messages[0].caption, "Error");
    EXPECT_EQ(recorder.messages[0].icon, MessageIcon::Error);
}

TEST_F(UnloadedEngineTest, MissingExportFailsWithoutAMessage) {
    setenv("ROLVIK_ENGINE", ROLVIK_FAKE_ENGINE_WITHOUT_MIDI, 1);
    EXPECT_EQ(engine->binding().LoadEmulator(), 0);
    EXPECT_THAT(recorder.messages, IsEmpty());
    EXPECT_THAT(fake.calls, IsEmpty());
}

TEST_F(UnloadedEngineTest, FailingStartUpStepsShowTheirMessages) {
    const std::array<std::pair<std::int64_t, const char*>, 4> commands = {{
        {5, "DeviceControl(0x05, 2, 0, 0) failed!"},
        {6, "DeviceControl(0x06, 0, 0, 0) failed!"},
        {8, "DeviceControl(0x08, 2, 0, 0) failed!"},
        {9, "DeviceControl(0x09, 0, 0, 0) failed!"},
    }};
    for (const auto& [command, text] : commands) {
        fake.Reset();
        recorder.messages.clear();
        fake.answer = [command](const fake::EngineCall& call) -> std::optional<std::int32_t> {
            if (call.name == "MaSound_DeviceControl" && call.args[0] == command) {
                return -1;
            }
            return std::nullopt;
        };
        EXPECT_EQ(engine->binding().LoadEmulator(), 0);
        EXPECT_THAT(recorder.Texts(), ElementsAre(text));
        EXPECT_EQ(fake.calls.back().args[0], command) << "set-up goes on after a failure";
        engine->binding().ReleaseEmulator();
    }

    fake.Reset();
    recorder.messages.clear();
    fake.results["MaSound_EmuInitialize"] = 1;
    EXPECT_EQ(engine->binding().LoadEmulator(), 0);
    EXPECT_THAT(recorder.Texts(), ElementsAre("EmuInitialize0 failed!"));
}

TEST(EngineFunctionsTest, ResolvesInTableOrderAndStopsAtTheFirstMissingExport) {
    std::vector<std::string> asked;
    auto everything = ResolveEngineFunctions([&](const char* name) -> void* {
        asked.push_back(name);
        return reinterpret_cast<void*>(&asked);
    });
    EXPECT_TRUE(everything.has_value());
    EXPECT_THAT(
        asked, ElementsAre("MaSound_EmuInitialize", "MaSound_Initialize", "MaSound_DeviceControl",
                           "MaSound_Terminate", "MaSound_Create", "MaSound_Load", "MaSound_Control",
                           "MaSound_Open", "MaSound_Standby", "MaSound_Start", "MaSound_GetEmuInfo",
                           "MaSound_Stop", "MaSound_Seek", "MaSound_Close", "MaSound_Unload",
                           "MaSound_Delete", "MaSound_EmuTerminate", "SetMidiMsg"));

    asked.clear();
    auto partial = ResolveEngineFunctions([&](const char* name) -> void* {
        asked.push_back(name);
        return asked.back() == "MaSound_Create" ? nullptr : reinterpret_cast<void*>(&asked);
    });
    EXPECT_FALSE(partial.has_value());
    EXPECT_EQ(asked.back(), "MaSound_Create");
    EXPECT_EQ(asked.size(), 5u);
}

TEST(EngineLocationTest, LooksBesideTheExecutableThenBySystemSearchUnlessOverridden) {
    const EngineLocation usual = LocateEngine(nullptr, "/opt/rolvik/bin");
    EXPECT_THAT(usual.candidates,
                ElementsAre("/opt/rolvik/bin/librolvik-engine.so", "librolvik-engine.so"));
    EXPECT_EQ(usual.shownName, "librolvik-engine.so");
    EXPECT_EQ(LocateEngine("", "/opt/rolvik/bin").candidates, usual.candidates);

    const EngineLocation overridden = LocateEngine("/tmp/other.so", "/opt/rolvik/bin");
    EXPECT_THAT(overridden.candidates, ElementsAre("/tmp/other.so"));
    EXPECT_EQ(overridden.shownName, "/tmp/other.so");
}

TEST(WorkPointerTest, IsTheFirstAddressEndingIn0x81) {
    alignas(256) static std::uint8_t memory[512];
    for (std::size_t offset = 0; offset < 256; ++offset) {
        std::uint8_t* block = memory + offset;
        std::uint8_t* pointer = WorkPointerOf(block);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(pointer) & 0xFF, 0x81u);
        EXPECT_GE(pointer, block);
        EXPECT_LT(pointer, block + 256);
    }
    EXPECT_EQ(WorkPointerOf(memory + 0x81), memory + 0x81);
    EXPECT_EQ(WorkPointerOf(memory + 0x82), memory + 0x181);
}

TEST_F(EngineTest, ControlsReachOnlyThePlayerThatRuns) {
    EXPECT_EQ(playback.SetVolume(90), 0);
    EXPECT_EQ(playback.SetTempo(80), 0);
    EXPECT_EQ(playback.SetKeyPitch(-3), 0);
    EXPECT_THAT(fake.calls, IsEmpty());
    EXPECT_EQ(playback.volume(), 90);
    EXPECT_EQ(playback.tempo(), 80);
    EXPECT_EQ(playback.keyPitch(), -3);

    std::unique_ptr<Smaf> document = CreateSmaf(4, 4);
    InsertEvent(*document, std::make_unique<Event>(0, 0xC0, ByteVector{1}));
    document->fileData = {'M', 'M', 'M', 'D', 0, 0, 0, 0};
    ASSERT_TRUE(playback.Start(PlayState::MidiPlay, *document));
    fake.calls.clear();
    EXPECT_EQ(playback.SetVolume(100), 0);
    EXPECT_EQ(playback.SetTempo(120), 0);
    EXPECT_THAT(fake.MidiMessages(),
                ElementsAre(ByteVector{0xF0, 0x43, 0x79, 0x05, 0x7E, 0x09, 100, 0xF7}));
    fake.results["SetMidiMsg"] = 5;
    EXPECT_EQ(playback.SetVolume(101), 1);
    EXPECT_EQ(playback.volume(), 101);
    EXPECT_THAT(recorder.messages, IsEmpty());
    fake.results.clear();
    playback.Stop();

    ASSERT_TRUE(playback.Start(PlayState::EmuPlay, *document));
    fake.calls.clear();
    EXPECT_EQ(playback.SetVolume(70), 0);
    EXPECT_EQ(playback.SetTempo(110), 0);
    EXPECT_EQ(playback.SetKeyPitch(5), 0);
    ASSERT_EQ(fake.calls.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(fake.calls[i].name, "MaSound_Control");
        EXPECT_EQ(fake.calls[i].args[2], static_cast<std::int64_t>(i));
    }
    EXPECT_EQ(fake.calls[0].pointedValue, 70);
    EXPECT_EQ(fake.calls[1].pointedValue, 110);
    EXPECT_EQ(fake.calls[2].pointedValue, 5);
    fake.results["MaSound_Control"] = 1;
    EXPECT_EQ(playback.SetKeyPitch(6), 1);
    EXPECT_EQ(playback.keyPitch(), 6);
}

TEST_F(EngineTest, RefusedMasterVolumeIsReported) {
    fake.results["SetMidiMsg"] = 1;
    EXPECT_EQ(engine->EmuMIDISetVolume(), 0);
    EXPECT_THAT(recorder.Texts(), ElementsAre("EmuMIDISetVolume failed"));
}

}  // namespace
}  // namespace rolvik
