#include "EngineCore.h"

#include <algorithm>

namespace rolvik::synth {

void EngineCore::Apply(const Command& command) {
    switch (command.type) {
        case CommandType::Midi:
            synthesizer_.Apply(command.midi);
            break;
        case CommandType::DefineWave:
            synthesizer_.DefineWave(static_cast<std::uint8_t>(command.value), command.wave);
            break;
        case CommandType::DefineStreamWave:
            synthesizer_.DefineStreamWave(static_cast<std::uint8_t>(command.value), command.wave);
            break;
        case CommandType::SetSong:
            sequencer_.SetSong(command.song);
            break;
        case CommandType::Seek:
            sequencer_.Seek(static_cast<std::uint32_t>(command.value));
            break;
        case CommandType::SeekToFirstEvent:
            sequencer_.SeekToFirstEvent();
            break;
        case CommandType::Loop:
            sequencer_.SetLooping(command.value != 0);
            break;
        case CommandType::Start:
            sequencer_.Start();
            break;
        case CommandType::Stop:
            sequencer_.Stop();
            break;
        case CommandType::Finish:
            sequencer_.Finish();
            break;
        case CommandType::Volume:
            sequencer_.SetVolume(command.value);
            break;
        case CommandType::Tempo:
            sequencer_.SetTempo(command.value);
            break;
        case CommandType::KeyPitch:
            sequencer_.SetKeyPitch(command.value);
            break;
    }
}

void EngineCore::Render(float* left, float* right, int frames) {
    sequencer_.Render(left, right, frames);
    outputStage_.Process(left, right, frames);
}

void EngineCore::RenderInterleaved(float* output, int frames) {
    for (int done = 0; done < frames;) {
        const int block = std::min(kScratchFrames, frames - done);
        Render(scratchLeft_.data(), scratchRight_.data(), block);
        for (int i = 0; i < block; ++i) {
            output[2 * (done + i)] = scratchLeft_[i];
            output[2 * (done + i) + 1] = scratchRight_[i];
        }
        done += block;
    }
}

}  // namespace rolvik::synth
