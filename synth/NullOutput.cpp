#include "NullOutput.h"

#include <sndfile.h>

#include <array>
#include <chrono>

namespace rolvik::synth {
namespace {

constexpr int kPeriodFrames = kOutputSampleRateHz / 100;

SNDFILE* OpenWav(const std::filesystem::path& path) {
    SF_INFO info{};
    info.samplerate = kOutputSampleRateHz;
    info.channels = kOutputChannels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file != nullptr) {
        sf_command(file, SFC_SET_CLIPPING, nullptr, SF_TRUE);
    }
    return file;
}

}  // namespace

void NullOutput::Start(RenderCallback render) {
    Stop();
    thread_ = std::jthread(
        [this, render = std::move(render)](std::stop_token stop) { Run(render, stop); });
}

void NullOutput::Stop() {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

void NullOutput::Run(RenderCallback render, std::stop_token stop) {
    SNDFILE* file = wavPath_ ? OpenWav(*wavPath_) : nullptr;
    std::array<float, kPeriodFrames * kOutputChannels> buffer{};
    auto due = std::chrono::steady_clock::now();
    while (!stop.stop_requested()) {
        render(buffer.data(), kPeriodFrames);
        if (file != nullptr) {
            sf_writef_float(file, buffer.data(), kPeriodFrames);
        }
        due += std::chrono::milliseconds(10);
        std::this_thread::sleep_until(due);
    }
    if (file != nullptr) {
        sf_close(file);
    }
}

}  // namespace rolvik::synth
