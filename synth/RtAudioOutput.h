#pragma once

#include <RtAudio.h>

#include <memory>

#include "AudioOutput.h"

namespace rolvik::synth {

// The sound device through RtAudio; the callback runs on RtAudio's audio thread.
class RtAudioOutput : public AudioOutput {
  public:
    RtAudioOutput();
    ~RtAudioOutput() override { Stop(); }

    // Opens the default output device; false (with the reason in `error`) when there is none.
    bool Open(std::string& error);
    bool Start(RenderCallback render) override;
    // Drops what the device still buffers rather than waiting for it to play: a device that has
    // stopped calling back would never let a drain end.
    void Stop() override;
    bool IsDevice() const override { return true; }

  private:
    static int Callback(void* output, void* input, unsigned int frames, double time,
                        RtAudioStreamStatus status, void* self);

    std::unique_ptr<RtAudio> audio_;  // made after ALSA's complaints are silenced
    RenderCallback render_;
};

}  // namespace rolvik::synth
