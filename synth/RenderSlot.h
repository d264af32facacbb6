#pragma once

#include <mutex>

#include "AudioOutput.h"

namespace rolvik::synth {

// The callback an output's thread calls, attached and detached while that thread keeps running.
// A detached slot renders silence, so a stream can stay open and in time between two users.
class RenderSlot {
  public:
    void Attach(RenderCallback render);
    // Returns once the callback will not be called again: a render under way is waited for.
    void Detach();
    // Fills `frames` frames with the attached callback's sound, or with silence.
    void Render(float* interleaved, int frames);

  private:
    std::mutex mutex_;
    RenderCallback render_;
};

}  // namespace rolvik::synth
