#include "RenderSlot.h"

#include <algorithm>

namespace rolvik::synth {

void RenderSlot::Attach(RenderCallback render) {
    const std::lock_guard lock(mutex_);
    render_ = std::move(render);
}

void RenderSlot::Detach() {
    const std::lock_guard lock(mutex_);
    render_ = nullptr;
}

void RenderSlot::Render(float* interleaved, int frames) {
    const std::lock_guard lock(mutex_);
    if (render_) {
        render_(interleaved, frames);
    } else {
        std::fill_n(interleaved, frames * kOutputChannels, 0.0f);
    }
}

}  // namespace rolvik::synth
