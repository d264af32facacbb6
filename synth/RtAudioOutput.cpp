#include "RtAudioOutput.h"

#include <alsa/asoundlib.h>
#include <pthread.h>

namespace rolvik::synth {
namespace {

// A live instrument must sound within a few milliseconds of a key: the callback renders 256 frames
// (5.3 ms) at a time and the device holds at most three such buffers (16 ms) ahead of what plays.
constexpr unsigned int kBufferFrames = 256;
constexpr unsigned int kDeviceBuffers = 3;

// ALSA reports every device it fails to open on stderr; whether a device was found is told once,
// by the engine itself.
void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

void* EndThroughPthreadExit(void*) {
    pthread_exit(nullptr);
}

// RtAudio's stream thread ends with pthread_exit, whose first use in a process loads the
// unwinder under the dynamic loader's lock. The stream may be closed while the engine library is
// being unloaded, with that lock held by the closing thread, which then waits for the stream
// thread forever; one thread ended the same way beforehand has the unwinder loaded already.
void LoadTheUnwinderOfThreadExits() {
    static const bool loaded = [] {
        pthread_t thread;
        return pthread_create(&thread, nullptr, EndThroughPthreadExit, nullptr) == 0 &&
               pthread_join(thread, nullptr) == 0;
    }();
    static_cast<void>(loaded);
}

}  // namespace

RtAudioOutput::RtAudioOutput() {
    LoadTheUnwinderOfThreadExits();
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
        RtAudio::StreamOptions options;
        options.numberOfBuffers = kDeviceBuffers;
        audio_->openStream(&parameters, nullptr, RTAUDIO_FLOAT32, kOutputSampleRateHz,
                           &bufferFrames, &RtAudioOutput::Callback, this, &options);
        return true;
    } catch (const RtAudioError& failure) {
        error = failure.getMessage();
        return false;
    }
}

bool RtAudioOutput::Start(RenderCallback render) {
    slot_.Attach(std::move(render));
    try {
        if (!audio_->isStreamRunning()) {
            audio_->startStream();
        }
        return true;
    } catch (const RtAudioError&) {
        slot_.Detach();
        return false;
    }
}

void RtAudioOutput::Close() {
    try {
        if (audio_->isStreamRunning()) {
            audio_->abortStream();
        }
        if (audio_->isStreamOpen()) {
            audio_->closeStream();
        }
    } catch (const RtAudioError&) {
        // The stream is gone either way; nothing is left to close.
    }
}

int RtAudioOutput::Callback(void* output, void*, unsigned int frames, double, RtAudioStreamStatus,
                            void* self) {
    static_cast<RtAudioOutput*>(self)->slot_.Render(static_cast<float*>(output),
                                                    static_cast<int>(frames));
    return 0;
}

}  // namespace rolvik::synth
