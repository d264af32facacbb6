#include <cmath>
#include <filesystem>
#include <vector>

#include "EngineTest.h"
#include "core/FileIO.h"
#include "core/Loader.h"
#include "synth/Engine.h"
#include "synth/OfflineRenderer.h"
#include "tests/support/Corpus.h"

namespace rolvik {
namespace {

constexpr int kFramesPerMs = 48;
// MidiPlay's timer runs every 10 ms; ticking every 1 ms here keeps the lateness of its events out
// of the comparison, which is about what each player sounds.
constexpr int kTickMs = 1;
constexpr int kMeasuredSeconds = 8;
constexpr double kHeardDb = -60.0;

// An output that renders only when the test pulls a block from it, so that MidiPlay's messages
// and the sound they make keep in step with the test's clock.
class PulledOutput : public synth::AudioOutput {
  public:
    bool Start(synth::RenderCallback render) override {
        render_ = std::move(render);
        return true;
    }
    void Stop() override { render_ = nullptr; }

    void Pull(std::vector<float>& interleaved) {
        render_(interleaved.data(), static_cast<int>(interleaved.size() / 2));
    }

  private:
    synth::RenderCallback render_;
};

// The level of each second of a stereo signal, in dB of full scale.
class SecondLevels {
  public:
    void Add(float left, float right) {
        energy_ += left * left + right * right;
        if (++frames_ == 1000 * kFramesPerMs) {
            levelsDb.push_back(10.0 * std::log10(energy_ / (2.0 * frames_) + 1e-20));
            energy_ = 0.0;
            frames_ = 0;
        }
    }

    std::vector<double> levelsDb;

  private:
    double energy_ = 0.0;
    int frames_ = 0;
};

class PlayersAgreeTest : public EngineTest {
  protected:
    // EmuPlay: the engine's sequencer on the file's bytes.
    std::vector<double> SequencerLevels(const ByteVector& file) {
        const auto song = synth::LoadSong(file);
        EXPECT_NE(song, nullptr);
        SecondLevels levels;
        if (!song) {
            return levels.levelsDb;
        }
        synth::RenderOptions options;
        options.toMs = kMeasuredSeconds * 1000;
        synth::OfflineRenderer renderer(*song, options);
        std::vector<float> left(1000 * kFramesPerMs), right(left.size());
        while (levels.levelsDb.size() < kMeasuredSeconds) {
            const int frames =
                renderer.Render(left.data(), right.data(), static_cast<int>(left.size()));
            if (frames == 0) {
                break;
            }
            for (int i = 0; i < frames; ++i) {
                levels.Add(left[i], right[i]);
            }
        }
        return levels.levelsDb;
    }

    // MidiPlay: the event list sent message by message to the engine in MIDI use, one timer tick
    // at a time.
    std::vector<double> MidiPlayLevels(const ByteVector& file) {
        PulledOutput* output = nullptr;
        synth::Engine engine([&output] {
            auto opened = std::make_unique<PulledOutput>();
            output = opened.get();
            return opened;
        });
        EXPECT_EQ(engine.EmuInitialize(kOutputSampleRateHz, kEngineModeMidi), 0);
        fake.answer = [&engine](const fake::EngineCall& call) -> std::optional<std::int32_t> {
            if (call.name != "SetMidiMsg") {
                return std::nullopt;
            }
            return engine.SetMidiMsg(call.bytes.data(),
                                     static_cast<std::int32_t>(call.bytes.size()));
        };
        auto document = CreateSmaf(0, 0);
        document->fileData = file;
        EXPECT_EQ(LoadSmaf(*document), 1);
        EXPECT_EQ(this->engine->midi().EmuMIDIPlay(document.get(), 0), 1);
        const std::uint32_t startMs = nowMs;
        SecondLevels levels;
        std::vector<float> block(2 * kTickMs * kFramesPerMs);
        for (int ms = 0; levels.levelsDb.size() < kMeasuredSeconds; ms += kTickMs) {
            nowMs = startMs + static_cast<std::uint32_t>(ms);
            EXPECT_EQ(this->engine->midi().EmuMIDIProc(), 1);
            fake.calls.clear();
            output->Pull(block);
            for (std::size_t i = 0; i < block.size(); i += 2) {
                levels.Add(block[i], block[i + 1]);
            }
        }
        this->engine->midi().EmuMIDIStop();
        fake.answer = nullptr;
        return levels.levelsDb;
    }
};

TEST_F(PlayersAgreeTest, SongsWithTheirOwnSampledVoicesSoundAlikeInBothPlayers) {
    ROLVIK_REQUIRE_CORPUS();
    for (const char* name :
         {"libsmaf__Sound_5.mmf", "libsmaf__Pop_STAR.mmf", "vavi__LoveLife.mmf",
          "vavi__Almarock.mmf", "libsmaf__Melody09.mmf", "libsmaf__Cello_suit_No.1.mmf"}) {
        const auto file = ReadWholeFile(std::filesystem::path(ROLVIK_CORPUS_DIR) / name);
        ASSERT_TRUE(file.has_value()) << name;
        const std::vector<double> sequencer = SequencerLevels(*file);
        const std::vector<double> midiPlay = MidiPlayLevels(*file);
        for (std::size_t second = 0; second < sequencer.size(); ++second) {
            if (sequencer[second] < kHeardDb && midiPlay[second] < kHeardDb) {
                continue;
            }
            EXPECT_NEAR(midiPlay[second], sequencer[second], 1.0) << name << " second " << second;
        }
    }
}

}  // namespace
}  // namespace rolvik
