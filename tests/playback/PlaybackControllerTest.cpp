#include "playback/PlaybackController.h"

#include <gmock/gmock.h>

#include <filesystem>

#include "EngineTest.h"
#include "core/Loader.h"

namespace rolvik {
namespace {

using ::testing::Contains;

// The demo song playing from an event after its beginning, so that absolute positions and the
// players' own differ.
class PlaybackControllerTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        document = OpenSmaf(std::filesystem::path(ROLVIK_SOURCE_DIR) / "res" / "demo.mmf");
        ASSERT_NE(document, nullptr);
        Event* later = document->events.get();
        while (later && later->time <= static_cast<std::uint32_t>(later->delta)) {
            later = later->next.get();
        }
        document->start = later;
        offset = document->StartOffset();
        ASSERT_GT(offset, 0u);
    }

    std::unique_ptr<Smaf> document;
    std::uint32_t offset = 0;
    PlaybackController& controller = playback;
};

// EmuPlay counts from the start offset: the controller adds it when it reads the position and
// takes it off when it seeks. Any status but playing (4) and ended (3) is a failure.
TEST_F(PlaybackControllerTest, EmuPlayPositionsStatusAndStop) {
    controller.Start(PlayState::EmuPlay, *document);
    fake.positionMs = 1234;
    controller.ReadPosition();
    EXPECT_EQ(controller.positionMs(), offset + 1234);
    fake.calls.clear();
    EXPECT_TRUE(controller.Seek(offset + 500));
    EXPECT_EQ(fake.calls.at(1).args.at(2), 500) << fake.calls.at(1).name;
    fake.results["MaSound_Seek"] = 1;
    EXPECT_FALSE(controller.Seek(offset + 700)) << "the engine refused";
    EXPECT_EQ(controller.positionMs(), offset + 700);

    for (const auto& [status, expected] :
         {std::pair{4, PlayStatus::Playing}, std::pair{3, PlayStatus::Ended},
          std::pair{1, PlayStatus::Failed}}) {
        fake.status = status;
        EXPECT_EQ(controller.Status(), expected) << status;
    }
    fake.emuInfo = 3;
    EXPECT_EQ(controller.DeviceInfo(), 3);
    EXPECT_EQ(controller.Stop(), PlayState::EmuPlay);
    EXPECT_THAT(fake.Names(), Contains("MaSound_EmuTerminate"));
    EXPECT_EQ(controller.Stop(), PlayState::Idle);
    EXPECT_EQ(controller.DeviceInfo(), 0);
}

// MidiPlay counts from the song's beginning on the clock; an event leaving the list while it
// plays is stepped off first.
TEST_F(PlaybackControllerTest, MidiPlayRunsOnTheClockAndStepsOffRemovedEvents) {
    controller.SetPosition(offset + 100);
    controller.Start(PlayState::MidiPlay, *document);
    nowMs += 50;
    controller.Process();
    controller.ReadPosition();
    EXPECT_EQ(controller.positionMs(), offset + 150);
    const Event* next = engine->midi().MidiPlayer().nextEvent;
    ASSERT_NE(next, nullptr);
    controller.EventRemoving(*next);
    EXPECT_NE(engine->midi().MidiPlayer().nextEvent, next);

    // A MidiPlay that cannot start again at a seek has stopped: the status check reports it.
    fake.results["SetMidiMsg"] = 1;
    EXPECT_FALSE(controller.Seek(offset + 300));
    EXPECT_EQ(controller.Status(), PlayStatus::Failed);
    fake.results.clear();
    EXPECT_EQ(controller.Stop(), PlayState::MidiPlay);
}

// Two sessions side by side, as several renders at once need them: controls, MidiPlay's walk and
// which player runs stay each session's own.
TEST_F(PlaybackControllerTest, SessionsSideBySideKeepTheirOwnState) {
    EngineSession other([this] { return nowMs; });
    ASSERT_EQ(other.binding().LoadEmulator(), 1);
    PlaybackController otherController(other);
    otherController.SetVolume(40);
    otherController.SetRepeat(true);

    ASSERT_TRUE(controller.Start(PlayState::MidiPlay, *document));
    EXPECT_EQ(controller.volume(), 127);
    EXPECT_FALSE(controller.repeat());
    EXPECT_NE(engine->midi().MidiPlayer().nextEvent, nullptr);
    EXPECT_EQ(other.midi().MidiPlayer().nextEvent, nullptr);
    EXPECT_EQ(otherController.PlayerStatus(), -1);
    controller.Stop();
}

}  // namespace
}  // namespace rolvik
