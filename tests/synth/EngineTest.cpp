#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

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

// A sound device that keeps calling back and keeps the left side of everything it was given.
class RecordingDevice : public AudioOutput {
  public:
    explicit RecordingDevice(std::vector<float>& heard) : heard_(heard) {}
    ~RecordingDevice() override { Stop(); }

    bool Start(RenderCallback render) override {
        thread_ = std::jthread([this, render = std::move(render)](std::stop_token stop) {
            std::array<float, 2 * 256> buffer{};
            while (!stop.stop_requested()) {
                render(buffer.data(), 256);
                for (int i = 0; i < 256; ++i) {
                    heard_.push_back(buffer[2 * i]);
                }
                std::this_thread::sleep_for(1ms);
            }
        });
        return true;
    }
    void Stop() override {
        thread_.request_stop();
        if (thread_.joinable()) {
            thread_.join();
        }
    }
    bool IsDevice() const override { return true; }

  private:
    std::vector<float>& heard_;
    std::jthread thread_;
};

// A note of the program's default voice, or of `voice` when given.
ByteVector SongOfOneNote(std::uint32_t gateMs, const VoiceParameters* voice = nullptr) {
    auto smaf = CreateSmaf(1, 1);
    if (voice != nullptr) {
        const ByteVector message = VoiceMessage(124, 0, 0, 0, *voice);
        ByteVector data;
        WriteNumber(data, static_cast<std::uint32_t>(message.size() - 1));
        data.insert(data.end(), message.begin() + 1, message.end());
        InsertEvent(*smaf, std::make_unique<Event>(0, 0xF0, data));
    }
    ByteVector note = {69, 100};
    WriteNumber(note, gateMs);
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
    const ByteVector song = SongOfOneNote(200);
    ASSERT_EQ(engine.Load(1, song.data(), static_cast<std::int32_t>(song.size())), 1);
    ASSERT_EQ(engine.Open(1), 0);
    ASSERT_EQ(engine.Standby(1), 0);
    ASSERT_EQ(engine.Seek(1, 0), 0);
    ASSERT_EQ(engine.Start(1, 1), 0);
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

TEST(EngineTest, StopAndTeardownFadeASoundingNoteOut) {
    // A held sine that would release slowly: only the stop's fade can end it.
    const VoiceParameters voice = SineVoice({.rr = 2});
    std::vector<float> heard;
    Engine engine([&heard] { return std::make_unique<RecordingDevice>(heard); });
    ASSERT_EQ(engine.EmuInitialize(48000, 2), 0);
    ASSERT_EQ(engine.Create(1), 1);
    const ByteVector song = SongOfOneNote(5000, &voice);
    ASSERT_EQ(engine.Load(1, song.data(), static_cast<std::int32_t>(song.size())), 1);
    ASSERT_EQ(engine.Open(1), 0);
    ASSERT_EQ(engine.Start(1, 1), 0);
    EXPECT_TRUE(WaitFor([&] { return engine.Control(1, 4, nullptr) >= 100; }));
    engine.Stop(1);
    engine.Delete(1);
    engine.EmuTerminate();
    ASSERT_GT(heard.size(), 100u * 48);
    // A cut leaves a step as large as the sine's value where it was cut; a fade only the steps of
    // the sine itself.
    const float steadyStep = LargestStep(std::span(heard).subspan(50 * 48, 20 * 48));
    EXPECT_LT(LargestStep(heard), 1.5f * steadyStep) << "a fade, not a cut";
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
