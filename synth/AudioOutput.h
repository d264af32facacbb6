#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "EmulatorInterface.h"

namespace rolvik::synth {

constexpr int kOutputChannels = 2;

// Fills `frames` frames of interleaved stereo; called on the output's own thread.
using RenderCallback = std::function<void(float* interleaved, int frames)>;

// Where the engine's sound goes in real time. Start runs the callback on the output's thread
// until Stop, which returns once the callback will not be called again; an output may be started
// again after Stop.
class AudioOutput {
  public:
    virtual ~AudioOutput() = default;
    // False when the output will not run; the callback is not called then.
    virtual bool Start(RenderCallback render) = 0;
    virtual void Stop() = 0;
    // Whether a sound device calls back, which may stop doing so; an output of our own keeps
    // calling back.
    virtual bool IsDevice() const { return false; }
};

// The output chosen by the environment variable ROLVIK_AUDIO: unset for the sound device, "null"
// for a silent output that keeps real time, "wav:PATH" for one that also writes what it plays to
// PATH. Without a usable device the silent output stands in, which is said once on stderr.
std::unique_ptr<AudioOutput> OpenAudioOutput();

// Says once in the process, on stderr, that sound goes nowhere and why, and keeps later
// OpenAudioOutput calls from looking for the device again.
void NoteNoAudioOutput(std::string_view reason);

}  // namespace rolvik::synth
