#include <gtest/gtest.h>

#include <array>
#include <chrono>
#include <thread>

#include "SynthTestSupport.h"
#include "core/Compiler.h"
#include "core/Number.h"
#include "core/Smaf.h"
#include "synth/Engine.h"
#include "synth/NullOutput.h"

namespace rolvik::synth::test {
namespace {

using namespace std::chrono_literals;

// A sound device that will not start, or that calls back a few times and then never again.
class FailingDevice : public AudioOutput {
  public:
    FailingDevice(bool starts, int calls) : starts_(starts), calls_(calls) {}
    ~FailingDevice() override { Stop(); }

    bool Start(RenderCallback render) override {
        if (!starts_) {
            return false;
        }
        thread_ = std::jthread([render = std::move(render), calls = calls_] {
            std::array<float, 2 * 256> buffer{};
            for (int i = 0; i < calls; ++i) {
                render(buffer.data(), 256);
            }
        });
        return true;
    }
    void Stop() override {
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    bool IsDevice() const override { return true; }

  private:
    bool starts_;
    int calls_;
    std::jthread thread_;
};

ByteVector ShortSong() {
    auto smaf = CreateSmaf(1, 1);
    ByteVector note = {69, 100};
    WriteNumber(note, 200);
    InsertEvent(*smaf, std::make_unique<Event>(0, 0x90, note));
    return CompileSMAF(*smaf).value();
}

// Plays in MIDI use with more messages than the queue holds (as the preset voices send), then a
// song in sequencer use to its end.
void UseTheEngine(Engine& engine) {
    ASSERT_EQ(engine.EmuInitialize(48000, 0), 0);
    const std::uint8_t noteOn[] = {0x90, 69, 100};
    for (int i = 0; i < 2000; ++i) {
        ASSERT_EQ(engine.SetMidiMsg(noteOn, 3), 0) << "message " << i;
    }
    engine.EmuTerminate();
    ASSERT_EQ(engine.EmuInitialize(48000, 2), 0);
    ASSERT_EQ(engine.Create(1), 1);
    const ByteVector song = ShortSong();
    ASSERT_EQ(engine.Load(1, song.data(), static_cast<std::int32_t>(song.size())), 1);
    ASSERT_EQ(engine.Open(1), 0);
    ASSERT_EQ(engine.Standby(1), 0);
    ASSERT_EQ(engine.Seek(1, 0), 0);
    ASSERT_EQ(engine.Start(1), 0);
    EXPECT_TRUE(WaitFor([&] { return engine.Control(1, 6, nullptr) == 3; }));
    engine.Delete(1);
    engine.EmuTerminate();
}

TEST(EngineTest, FallsBackToTheSilentOutputWhenTheDeviceFails) {
    testing::internal::CaptureStderr();
    const std::pair<bool, int> devices[] = {{false, 0}, {true, 0}, {true, 5}};
    for (const auto& [starts, calls] : devices) {
        Engine engine([starts, calls] { return std::make_unique<FailingDevice>(starts, calls); },
                      100ms);
        const auto began = std::chrono::steady_clock::now();
        UseTheEngine(engine);
        EXPECT_LT(std::chrono::steady_clock::now() - began, 5s)
            << "starts " << starts << ", calls " << calls;
    }
    const std::string notices = testing::internal::GetCapturedStderr();
    EXPECT_EQ(notices,
              "Rolvik engine: no audio output (the sound stream did not start); playing silently\n")
        << "said once in the process";
}

// A new stream would take the sound server's buffering time again at every play.
TEST(EngineTest, OpensOneOutputForItsWholeLife) {
    int opened = 0;
    {
        Engine engine([&opened] {
            ++opened;
            return std::make_unique<NullOutput>();
        });
        UseTheEngine(engine);
        UseTheEngine(engine);
    }
    EXPECT_EQ(opened, 1);
}

}  // namespace
}  // namespace rolvik::synth::test
