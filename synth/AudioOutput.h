#pragma once

#include <functional>
#include <memory>

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

}  // namespace rolvik::synth
