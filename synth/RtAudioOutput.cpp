#include "RtAudioOutput.h"

namespace rolvik::synth {
namespace {

constexpr unsigned int kBufferFrames = 512;

}  // namespace

bool RtAudioOutput::Open(std::string& error) {
    audio_.showWarnings(false);
    try {
        if (audio_.getDeviceCount() == 0) {
            error = "no audio device";
            return false;
        }
        RtAudio::StreamParameters parameters;
        parameters.deviceId = audio_.getDefaultOutputDevice();
        parameters.nChannels = kOutputChannels;
        unsigned int bufferFrames = kBufferFrames;
        audio_.openStream(&parameters, nullptr, RTAUDIO_FLOAT32, kOutputSampleRateHz, &bufferFrames,
                          &RtAudioOutput::Callback, this);
        return true;
    } catch (const RtAudioError& failure) {
        error = failure.getMessage();
        return false;
    }
}

void RtAudioOutput::Start(RenderCallback render) {
    render_ = std::move(render);
    try {
        audio_.startStream();
    } catch (const RtAudioError&) {
        render_ = nullptr;
    }
}

void RtAudioOutput::Stop() {
    try {
        if (audio_.isStreamRunning()) {
            audio_.stopStream();
        }
        if (audio_.isStreamOpen()) {
            audio_.closeStream();
        }
    } catch (const RtAudioError&) {
        // The stream is gone either way; nothing is left to stop.
    }
}

int RtAudioOutput::Callback(void* output, void*, unsigned int frames, double, RtAudioStreamStatus,
                            void* self) {
    auto* out = static_cast<RtAudioOutput*>(self);
    out->render_(static_cast<float*>(output), static_cast<int>(frames));
    return 0;
}

}  // namespace rolvik::synth
