#include "RtAudioOutput.h"

#include <alsa/asoundlib.h>

namespace rolvik::synth {
namespace {

constexpr unsigned int kBufferFrames = 512;

// ALSA reports every device it fails to open on stderr; whether a device was found is told once,
// by the engine itself.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

RtAudioOutput::RtAudioOutput() {
    snd_lib_error_set_handler(IgnoreAlsaError);
    audio_ = std::make_unique<RtAudio>();
    audio_->showWarnings(false);
}

bool RtAudioOutput::Open(std::string& error) {
    try {
        if (audio_->getDeviceCount() == 0) {
            error = "no audio device";
            return false;
        }
        RtAudio::StreamParameters parameters;
        parameters.deviceId = audio_->getDefaultOutputDevice();
        parameters.nChannels = kOutputChannels;
        unsigned int bufferFrames = kBufferFrames;
        audio_->openStream(&parameters, nullptr, RTAUDIO_FLOAT32, kOutputSampleRateHz,
                           &bufferFrames, &RtAudioOutput::Callback, this);
        return true;
    } catch (const RtAudioError& failure) {
        error = failure.getMessage();
        return false;
    }
}

bool RtAudioOutput::Start(RenderCallback render) {
    render_ = std::move(render);
    try {
        audio_->startStream();
        return true;
    } catch (const RtAudioError&) {
        Stop();
        render_ = nullptr;
        return false;
    }
}

void RtAudioOutput::Stop() {
    try {
        if (audio_->isStreamRunning()) {
            audio_->abortStream();
        }
        if (audio_->isStreamOpen()) {
            audio_->closeStream();
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
