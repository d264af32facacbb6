#include "NullOutput.h"

#include <array>
#include <chrono>

#include "WavRecording.h"

namespace rolvik::synth {
namespace {

constexpr int kPeriodFrames = kOutputSampleRateHz / 100;

}  // namespace

bool NullOutput::Start(RenderCallback render) {
    Stop();
    thread_ = std::jthread(
        [this, render = std::move(render)](std::stop_token stop) { Run(render, stop); });
    return true;
}

void NullOutput::Stop() {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

void NullOutput::Run(RenderCallback render, std::stop_token stop) {
    std::optional<WavRecording> recording;
    if (wavPath_) {
        recording = WavRecording::Open(*wavPath_);
    }
    std::array<float, kPeriodFrames * kOutputChannels> buffer{};
    auto due = std::chrono::steady_clock::now();
    while (!stop.stop_requested()) {
        render(buffer.data(), kPeriodFrames);
        if (recording) {
            recording->Write(buffer.data(), kPeriodFrames);
        }
        due += std::chrono::milliseconds(10);
        std::this_thread::sleep_until(due);
    }
}

}  // namespace rolvik::synth
