#pragma once

#include <atomic>
#include <filesystem>
#include <optional>
#include <thread>

#include "AudioOutput.h"

namespace rolvik::synth {

// Keeps real time without a device: a thread asks for 10 ms of sound every 10 ms and drops it,
// or writes it to a WAV file when given a path.
class NullOutput : public AudioOutput {
  public:
    explicit NullOutput(std::optional<std::filesystem::path> wavPath = std::nullopt)
        : wavPath_(std::move(wavPath)) {}
    ~NullOutput() override { Stop(); }

    bool Start(RenderCallback render) override;
    void Stop() override;

  private:
    void Run(RenderCallback render, std::stop_token stop);

    std::optional<std::filesystem::path> wavPath_;
    std::jthread thread_;
};

}  // namespace rolvik::synth
