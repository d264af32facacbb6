#pragma once

#include <functional>
#include <memory>

namespace rolvik::synth {

constexpr int kOutputSampleRateHz = 48000;
constexpr int kOutputChannels = 2;

// Fills `frames` frames of interleaved stereo; called on the output's own thread.
using RenderCallback = std::function<void(float* interleaved, int frames)>;

// Where the engine's sound goes in real time. Start runs the callback on the output's thread
// until Stop, which returns once the callback will not be called again.
class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    virtual void Start(RenderCallback render) = 0;
    virtual void Stop() = 0;
};

// The output chosen by the environment variable ROLVIK_AUDIO: unset for the sound device, "null"
// for a silent output that keeps real time, "wav:PATH" for one that also writes what it plays to
// PATH. Without a usable device the silent output stands in, which is said once on stderr.
std::unique_ptr<AudioOutput> OpenAudioOutput();

}  // namespace rolvik::synth
