#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "export/AudioEncoder.h"

namespace rolvik {
namespace {

constexpr int kRateHz = 48000;
constexpr int kFrames = kRateHz;  // one second
constexpr float kAmplitude = 0.5f;

std::vector<float> Sine() {
    std::vector<float> frames(2 * kFrames);
    for (int i = 0; i < kFrames; ++i) {
        frames[2 * i] = frames[2 * i + 1] =
            kAmplitude * static_cast<float>(std::sin(2 * M_PI * 440.0 * i / kRateHz));
    }
    return frames;
}

const std::vector<AudioTag> kTags = {
    {AudioTagField::Title, "Hoshi no Uta \xE2\x98\x85"},  // a star: text beyond Latin-1
    {AudioTagField::Artist, "Kaori"},
    {AudioTagField::Copyright, "(c) 2004"},
    {AudioTagField::Comment, "Word: Rin"},
};

ByteVector Encode(AudioFormat format) {
    std::string error;
    auto encoder = AudioEncoder::Open(format, kTags, kRateHz, error);
    EXPECT_TRUE(encoder) << error;
    const std::vector<float> frames = Sine();
    EXPECT_TRUE(encoder->Write(frames.data(), kFrames, error)) << error;
    return encoder->Finish(error).value_or(ByteVector{});
}

// What another program sees: the file read back through libsndfile's decoders.
struct Decoded {
    sf_count_t frames = 0;
    double rms = 0;
    std::string title, artist, copyright, comment;
};

std::string StringOf(SNDFILE* file, int type) {
    const char* text = sf_get_string(file, type);
    return text ? text : "";
}

Decoded Decode(const ByteVector& bytes, AudioFormat format) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("rolvik-encoder-test" + std::string(AudioFormatExtension(format)));
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    Decoded decoded;
    if (file == nullptr) {
        ADD_FAILURE() << "unreadable: " << sf_strerror(nullptr);
        return decoded;
    }
    std::vector<float> samples(2 * static_cast<std::size_t>(info.frames));
    decoded.frames = sf_readf_float(file, samples.data(), info.frames);
    for (const float sample : samples) {
        decoded.rms += static_cast<double>(sample) * sample;
    }
    decoded.rms =
        std::sqrt(decoded.rms / static_cast<double>(std::max<std::size_t>(1, samples.size())));
    decoded.title = StringOf(file, SF_STR_TITLE);
    decoded.artist = StringOf(file, SF_STR_ARTIST);
    decoded.copyright = StringOf(file, SF_STR_COPYRIGHT);
    decoded.comment = StringOf(file, SF_STR_COMMENT);
    sf_close(file);
    std::filesystem::remove(path);
    return decoded;
}

struct FormatCase {
    AudioFormat format;
    bool copyrightInComment;  // ID3 as written here has no copyright frame
};

class AudioEncoderTest : public testing::TestWithParam<FormatCase> {};

TEST_P(AudioEncoderTest, DecodesBackWithItsSoundAndTags) {
    const FormatCase& param = GetParam();
    const ByteVector bytes = Encode(param.format);
    const Decoded decoded = Decode(bytes, param.format);
    EXPECT_NEAR(decoded.frames, kFrames, kRateHz / 20);
    EXPECT_NEAR(decoded.rms, kAmplitude / std::sqrt(2.0), 0.05);
    EXPECT_EQ(decoded.title, kTags[0].value);
    EXPECT_EQ(decoded.artist, "Kaori");
    if (param.copyrightInComment) {
        EXPECT_EQ(decoded.comment, "Copyright: (c) 2004\nWord: Rin");
    } else {
        EXPECT_EQ(decoded.copyright, "(c) 2004");
        EXPECT_EQ(decoded.comment, "Word: Rin");
    }
}

// The Ogg encoders pick a random stream number: without care no two runs give the same file.
TEST_P(AudioEncoderTest, TheSameSoundGivesTheSameBytes) {
    EXPECT_EQ(Encode(GetParam().format), Encode(GetParam().format));
}

INSTANTIATE_TEST_SUITE_P(EveryFormat, AudioEncoderTest,
                         testing::Values(FormatCase{AudioFormat::Wav, false},
                                         FormatCase{AudioFormat::Flac, false},
                                         FormatCase{AudioFormat::Ogg, false},
                                         FormatCase{AudioFormat::Opus, false},
                                         FormatCase{AudioFormat::Mp3, true}));

}  // namespace
}  // namespace rolvik
