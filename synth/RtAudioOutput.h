#pragma once

#include <RtAudio.h>

#include <memory>

#include "AudioOutput.h"
#include "RenderSlot.h"

namespace rolvik::synth {

// The sound device through RtAudio; the callback runs on RtAudio's audio thread. The stream runs
// from the first Start until the output is destroyed, playing silence while no callback is
// attached, so that a new start sounds within one device buffer instead of waiting for a new
// stream to open and fill the sound server's buffer.
class RtAudioOutput : public AudioOutput {
  public:
    RtAudioOutput();
    ~RtAudioOutput() override { Close(); }

    // Opens the default output device; false (with the reason in `error`) when there is none.
    bool Open(std::string& error);
    bool Start(RenderCallback render) override;
    // Detaches the callback; the stream goes on with silence.
    void Stop() override { slot_.Detach(); }
    bool IsDevice() const override { return true; }

  private:
    static int Callback(void* output, void* input, unsigned int frames, double time,
                        RtAudioStreamStatus status, void* self);
    // Drops what the device still buffers rather than waiting for it to play: a device that has
    // stopped calling back would never let a drain end.
    void Close();

    std::unique_ptr<RtAudio> audio_;  // made after ALSA's complaints are silenced
    RenderSlot slot_;
};

}  // namespace rolvik::synth
