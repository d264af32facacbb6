#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AudioFormat.h"
#include "AudioTag.h"
#include "core/Bytes.h"

namespace rolvik {

// Encodes stereo float frames at the engine's rate into a file of one audio format, with the song's
// tags: in memory, or into an open file (the temporary file of an atomic write), for files too
// large to hold. Samples beyond full scale are clipped. The same frames and tags always give the
// same bytes.
class AudioEncoder {
  public:
    // Null with the reason in `error` when the format cannot be written. With a descriptor, the
    // file is written there, from its start; else it is kept in memory.
    static std::unique_ptr<AudioEncoder> Open(AudioFormat format, const std::vector<AudioTag>& tags,
                                              int sampleRateHz, std::string& error,
                                              std::optional<int> descriptor = std::nullopt);
    ~AudioEncoder();
    AudioEncoder(const AudioEncoder&) = delete;
    AudioEncoder& operator=(const AudioEncoder&) = delete;

    // `frames` frames of interleaved left and right samples.
    bool Write(const float* interleaved, int frames, std::string& error);
    // The whole file image, empty when written to a descriptor; the encoder is spent afterwards.
    std::optional<ByteVector> Finish(std::string& error);

  private:
    struct State;
    explicit AudioEncoder(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

}  // namespace rolvik
