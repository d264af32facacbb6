#pragma once

#include <sndfile.h>

#include <filesystem>
#include <memory>
#include <optional>

namespace rolvik::synth {

// A WAV file that records what an output plays. The first recording to a path in the process
// starts the file afresh; every later one appends, so that a file holds everything the process
// played to it in order, however often the engine was initialised in between.
class WavRecording {
  public:
    // Nothing when the file cannot be opened.
    static std::optional<WavRecording> Open(const std::filesystem::path& path);

    void Write(const float* interleaved, int frames) {
        sf_writef_float(file_.get(), interleaved, frames);
    }

  private:
    struct Closer {
        void operator()(SNDFILE* file) const { sf_close(file); }
    };

    explicit WavRecording(SNDFILE* file) : file_(file) {}

    std::unique_ptr<SNDFILE, Closer> file_;
};

}  // namespace rolvik::synth
