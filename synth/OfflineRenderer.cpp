#include "OfflineRenderer.h"

#include <algorithm>

#include "EnvelopeRates.h"

namespace rolvik::synth {
namespace {

Command MakeCommand(CommandType type, std::int32_t value = 0) {
    Command command;
    command.type = type;
    command.value = value;
    return command;
}

}  // namespace

OfflineRenderer::OfflineRenderer(const Song& song, const RenderOptions& options)
    : options_(options) {
    Command load = MakeCommand(CommandType::SetSong);
    load.song = &song;
    core_.Apply(load);
    core_.Apply(MakeCommand(CommandType::Volume, options.volume));
    core_.Apply(MakeCommand(CommandType::KeyPitch, options.keyPitch));
    core_.Apply(MakeCommand(CommandType::Tempo, options.tempo));
    core_.Apply(MakeCommand(CommandType::Seek, static_cast<std::int32_t>(options.fromMs)));
    core_.Apply(MakeCommand(CommandType::Start));
}

int OfflineRenderer::Render(float* left, float* right, int frames) {
    const std::int64_t maxTailFrames = static_cast<std::int64_t>(options_.maxTailMs) * 48;
    const std::int64_t fadeFrames = static_cast<std::int64_t>(kDampTimeMs * 48);
    const std::int64_t fadeStart = std::max<std::int64_t>(0, maxTailFrames - fadeFrames);
    if (stopped_ && (tailFrames_ >= maxTailFrames || core_.synthesizer().ActiveNoteCount() == 0)) {
        return 0;
    }
    int count = frames;
    if (stopped_) {
        if (!damped_ && tailFrames_ >= fadeStart) {
            core_.Apply(MakeCommand(CommandType::Stop));
            damped_ = true;
        }
        const std::int64_t until = damped_ ? maxTailFrames : fadeStart;
        count = static_cast<int>(std::min<std::int64_t>(frames, until - tailFrames_));
        tailFrames_ += count;
    }
    core_.Render(left, right, count);
    const Sequencer& sequencer = core_.sequencer();
    const bool pastEnd = options_.toMs && sequencer.positionMs() >= *options_.toMs;
    if (!stopped_ && (sequencer.ended() || pastEnd)) {
        core_.Apply(MakeCommand(CommandType::Finish));
        stopped_ = true;
    }
    return count;
}

}  // namespace rolvik::synth
