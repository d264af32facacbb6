#include "OfflineRenderer.h"

#include <algorithm>

#include "EmulatorInterface.h"
#include "EnvelopeRates.h"

namespace rolvik::synth {
namespace {

constexpr std::int64_t kFramesPerMs = kOutputSampleRateHz / 1000;

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
    if (options.loops || options.lengthMs) {
        PlanRingtone(song);
    } else {
        core_.Apply(MakeCommand(CommandType::Seek, static_cast<std::int32_t>(options.fromMs)));
    }
    core_.Apply(MakeCommand(CommandType::Start));
}

std::int64_t OfflineRenderer::FramesOfSongMs(std::uint64_t songMs) const {
    return static_cast<std::int64_t>(songMs * kFramesPerMs * kWrittenTempo /
                                     static_cast<std::uint64_t>(options_.tempo));
}

void OfflineRenderer::PlanRingtone(const Song& song) {
    core_.Apply(MakeCommand(CommandType::Loop, 1));
    core_.Apply(MakeCommand(CommandType::SeekToFirstEvent));
    const std::int64_t fadeFrames = std::int64_t{options_.fadeMs} * kFramesPerMs;
    if (options_.lengthMs) {
        endFrame_ = std::int64_t{*options_.lengthMs} * kFramesPerMs;
        fadeFrames_ = std::min(fadeFrames, *endFrame_);
        return;
    }
    const std::uint32_t firstMs = song.endIndex > 0 ? song.events.front().timeMs : 0;
    const std::uint64_t introMs = song.startOffsetMs > firstMs ? song.startOffsetMs - firstMs : 0;
    const std::uint64_t loopMs = SongLengthMs(song);
    const std::int64_t loopsEnd =
        FramesOfSongMs(introMs + loopMs * static_cast<std::uint64_t>(std::max(*options_.loops, 0)));
    if (fadeFrames > 0) {
        endFrame_ = loopsEnd + fadeFrames;
        fadeFrames_ = fadeFrames;
    } else {
        finishFrame_ = loopsEnd;
    }
}

// Ends the ringtone at its planned frame, or lets the last loop's notes go there.
int OfflineRenderer::RenderRingtone(float* left, float* right, int frames) {
    if (endFrame_) {
        const int count =
            static_cast<int>(std::min<std::int64_t>(frames, *endFrame_ - renderedFrames_));
        core_.Render(left, right, count);
        FadeOut(left, right, count);
        renderedFrames_ += count;
        return count;
    }
    const int count =
        static_cast<int>(std::min<std::int64_t>(frames, *finishFrame_ - renderedFrames_));
    core_.Render(left, right, count);
    renderedFrames_ += count;
    if (renderedFrames_ == *finishFrame_) {
        core_.Apply(MakeCommand(CommandType::Loop, 0));
        core_.Apply(MakeCommand(CommandType::Finish));
        stopped_ = true;
    }
    return count;
}

// A straight line from full level down to silence over the last fadeFrames_ of the ringtone.
void OfflineRenderer::FadeOut(float* left, float* right, int frames) const {
    const std::int64_t fadeStart = *endFrame_ - fadeFrames_;
    for (int i = 0; i < frames; ++i) {
        const std::int64_t frame = renderedFrames_ + i;
        if (frame >= fadeStart) {
            const float gain =
                static_cast<float>(*endFrame_ - frame) / static_cast<float>(fadeFrames_);
            left[i] *= gain;
            right[i] *= gain;
        }
    }
}

int OfflineRenderer::Render(float* left, float* right, int frames) {
    if (endFrame_ || (finishFrame_ && !stopped_)) {
        return RenderRingtone(left, right, frames);
    }
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
