#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <mutex>
#include <optional>
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
// A song of one note of A4, in the given voice, and, when given, an end of sequence at `endMs`.
ByteVector SongOfOneNote(std::uint32_t gateMs, const VoiceParameters* voice = nullptr,
                         std::optional<std::uint32_t> endMs = std::nullopt) {
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
    if (endMs) {
        InsertEvent(*smaf, std::make_unique<Event>(*endMs, 0xFF, ByteVector{0x2F, 0x00}));
    }
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

// Started with no loop count, the sequencer goes back from the end to the start until stopped: a
// note that fills the loop sounds on without a gap, and every pass after the first (which begins
// in silence, not in the release of the pass before) is the same.
TEST(EngineTest, LoopingStartPlaysTheSongAgainWithoutAGap) {
    const VoiceParameters voice = SineVoice({.rr = 15});
    const ByteVector song = SongOfOneNote(300, &voice, 300);
    std::vector<float> heard;
    Engine engine([&heard] { return std::make_unique<RecordingDevice>(heard); });
    ASSERT_EQ(engine.EmuInitialize(48000, 2), 0);
    ASSERT_EQ(engine.Create(1), 1);
    ASSERT_EQ(engine.Load(1, song.data(), static_cast<std::int32_t>(song.size())), 1);
    ASSERT_EQ(engine.Open(1), 0);
    ASSERT_EQ(engine.Start(1, 0), 0);
    std::this_thread::sleep_for(1s);
    EXPECT_EQ(engine.Control(1, 6, nullptr), 4) << "still playing";
    engine.Stop(1);
    engine.Delete(1);
    engine.EmuTerminate();
    const auto onset = std::find_if(heard.begin(), heard.end(), [](float s) { return s != 0; });
    const auto start = static_cast<std::size_t>(onset - heard.begin());
    constexpr std::size_t kLoopFrames = 300 * 48;
    ASSERT_GT(heard.size(), start + 4 * kLoopFrames);
    const std::span<const float> loops(heard.data() + start, 3 * kLoopFrames);
    for (std::size_t at = 0; at + 5 * 48 <= loops.size(); at += 5 * 48) {
        ASSERT_GT(Rms(loops.subspan(at, 5 * 48)), 0.01) << "a gap at " << at / 48 << " ms";
    }
    for (std::size_t i = 2 * kLoopFrames; i < 3 * kLoopFrames; ++i) {
        ASSERT_NEAR(loops[i], loops[i - kLoopFrames], 1e-3) << i;
    }
    // At the seam the note struck again overlaps the release of the one before, as any repeated
    // note does, which may double the sine's steps; a click would jump far beyond that.
    EXPECT_LT(LargestStep(loops), 2.0f * LargestStep(loops.first(kLoopFrames - 48))) << "no click";
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
