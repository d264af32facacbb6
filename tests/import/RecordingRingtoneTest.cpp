#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "core/AudioTrack.h"
#include "core/CheckCode.h"
#include "core/Chunk.h"
#include "core/ContentsInfoBody.h"
#include "core/Loader.h"
#include "import/RecordingRingtone.h"
#include "tests/support/MessageRecorder.h"

namespace rolvik {
namespace {

namespace fs = std::filesystem;

class RecordingFiles {
  public:
    RecordingFiles()
        : folder_(fs::temp_directory_path() / ("rolvik-recording-" + std::to_string(::getpid()))) {
        fs::create_directories(folder_);
    }
    ~RecordingFiles() { fs::remove_all(folder_); }

    fs::path Path(const std::string& name) const { return folder_ / name; }

    // A mono WAV of `seconds` at `rateHz` (8-bit when asked, to keep long files small) whose
    // samples `level` gives.
    fs::path Wave(const std::string& name, double seconds, int rateHz, double level,
                  int format = SF_FORMAT_PCM_16) const {
        const fs::path path = folder_ / name;
        SF_INFO info{};
        info.samplerate = rateHz;
        info.channels = 2;
        info.format = SF_FORMAT_WAV | format;
        SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
        const auto frames = static_cast<std::size_t>(seconds * rateHz);
        std::vector<float> samples(frames * 2);
        for (std::size_t i = 0; i < frames; ++i) {
            samples[2 * i] = static_cast<float>(level * std::sin(i * 2 * M_PI * 440 / rateHz));
            samples[2 * i + 1] = samples[2 * i];
        }
        sf_writef_float(file, samples.data(), static_cast<sf_count_t>(frames));
        sf_close(file);
        return path;
    }

    fs::path Text(const std::string& name, const std::string& text) const {
        const fs::path path = folder_ / name;
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fputs(text.c_str(), file);
        std::fclose(file);
        return path;
    }

  private:
    fs::path folder_;
};

RingtoneOptions Options(std::uint32_t rateHz, std::optional<std::uint64_t> maxBytes = {}) {
    RingtoneOptions options;
    options.rateHz = rateHz;
    options.maxBytes = maxBytes;
    return options;
}

struct Refusal {
    const char* name;
    std::function<RingtoneResult(const RecordingFiles&)> make;
    std::string message;
};

void PrintTo(const Refusal& refusal, std::ostream* out) {
    *out << refusal.name;
}

class RefusedRecording : public ::testing::TestWithParam<Refusal> {};

// Each refusal makes no file and names what is wrong in its own words.
TEST_P(RefusedRecording, MakesNoFileAndSaysWhy) {
    const RecordingFiles files;
    const RingtoneResult result = GetParam().make(files);
    EXPECT_FALSE(result.file);
    std::string expected = GetParam().message;
    const std::size_t at = expected.find("{}");
    if (at != std::string::npos) {
        expected.replace(at, 2, files.Path(GetParam().name).string());
    }
    EXPECT_EQ(result.message, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Recordings, RefusedRecording,
    ::testing::Values(
        Refusal{"text.wav",
                [](const RecordingFiles& files) {
                    return RecordingToRingtone(files.Text("text.wav", "not a sound"), {});
                },
                "Can't read the recording {}:\nFormat not recognised."},
        Refusal{"silent.wav",
                [](const RecordingFiles& files) {
                    return RecordingToRingtone(files.Wave("silent.wav", 1, 8000, 0), {});
                },
                "The recording {} holds only silence."},
        Refusal{"long.wav",
                [](const RecordingFiles& files) {
                    const auto path = files.Wave("long.wav", 826, 4000, 0.5, SF_FORMAT_PCM_U8);
                    return RecordingToRingtone(path, Options(4000));
                },
                "The recording {} is too long: an audio track plays at most 825.5 seconds."},
        Refusal{"large.wav",
                [](const RecordingFiles& files) {
                    const auto path = files.Wave("large.wav", 2, 44100, 0.5);
                    return RecordingToRingtone(path, Options(8000, 4000));
                },
                "The ringtone would take 8089 bytes, more than the 4000 allowed.\nAt 8000 Hz, "
                "0.9 seconds of the recording fit."},
        Refusal{"notsmaf.wav",
                [](const RecordingFiles& files) {
                    const auto path = files.Wave("notsmaf.wav", 1, 8000, 0.5);
                    return RecordingIntoSong(path, ByteVector{'M', 'T', 'h', 'd'}, {});
                },
                "The song has no whole SMAF file chunk to add a track to."}));

// What the loader, the check code and the audio track reader make of a new ringtone: no notice, a
// valid check code, the rate asked for, the recording's length and the texts in their code.
TEST(RecordingToRingtone, WritesAFileThatLoadsWithoutNotice) {
    const RecordingFiles files;
    const fs::path wave = files.Wave("tone.wav", 2.5, 44100, 0.5);
    RingtoneOptions options = Options(22050);
    options.texts = {"Ringtone, live", "Me", ""};
    const RingtoneResult result = RecordingToRingtone(wave, options);
    ASSERT_TRUE(result.file) << result.message;
    EXPECT_TRUE(HasValidCheckCode(*result.file));
    const testing::MessageRecorder recorder;
    auto smaf = CreateSmaf(0, 0);
    smaf->fileData = *result.file;
    EXPECT_TRUE(LoadSmaf(*smaf));
    EXPECT_TRUE(recorder.messages.empty());
    const auto tracks = ReadAudioTracks(*result.file);
    ASSERT_EQ(tracks.size(), 1u);
    EXPECT_EQ(tracks[0].rateHz, 22050u);
    EXPECT_NEAR(tracks[0].endMs, 2500.0, 25.0);
    const auto info = FindChunk(FileChunkRun(*result.file), "CNTI");
    ASSERT_TRUE(info);
    const std::string text(info->contents.begin() + 5, info->contents.end());
    EXPECT_EQ(text, "ST:Ringtone\\, live,AN:Me,");
}

// The texts go in the narrowest code that holds all of them.
TEST(BuildContentsInfo, DeclaresTheFirstCodeThatHoldsEveryText) {
    struct Case {
        ContentsTexts texts;
        std::uint8_t code;
    };
    const Case cases[] = {
        {{"Café", "", ""}, 0x01},
        {{"Café", "着メロ", ""}, 0x23},
        {{"着メロ", "Band", ""}, 0x00},
        {{"Ωμέγα", "", "한국"}, 0x23},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(BuildContentsInfo(c.texts)[2], c.code) << c.texts.title;
    }
}

}  // namespace
}  // namespace rolvik
