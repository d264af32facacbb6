#pragma once

#include <array>
#include <cstdint>

#include "MidiMessage.h"
#include "OutputStage.h"
#include "Sequencer.h"
#include "Synthesizer.h"

namespace rolvik::synth {

enum class CommandType : std::uint8_t {
    Midi,
    DefineWave,
    DefineStreamWave,
    SetSong,
    Seek,
    SeekToFirstEvent,
    Loop,  // value 1: loop from the stop point back to the start point; 0: play to the end
    Start,
    Stop,
    Finish,
    Volume,
    Tempo,
    KeyPitch
};

// One request from the caller's thread to the thread that renders.
struct Command {
    CommandType type = CommandType::Midi;
    MidiMessage midi;
    const Song* song = nullptr;
    const Wave* wave = nullptr;  // owned by the engine for as long as it runs
    std::int32_t value = 0;      // position in ms, volume, tempo, key pitch or wave number
};

// The engine as the rendering thread sees it: the synthesiser and the sequencer, driven by
// commands and asked for samples. Deterministic: the same commands at the same frames give the
// same samples.
class EngineCore {
  public:
    EngineCore() : sequencer_(synthesizer_) {}
    EngineCore(const EngineCore&) = delete;
    EngineCore& operator=(const EngineCore&) = delete;

    void Apply(const Command& command);
    // Renders into interleaved stereo.
    void RenderInterleaved(float* output, int frames);
    // The sequencer's mix through the output stage: every sound the engine makes, FM, sampled and
    // recorded alike, leaves through here.
    void Render(float* left, float* right, int frames);

    const Sequencer& sequencer() const { return sequencer_; }
    const Synthesizer& synthesizer() const { return synthesizer_; }

  private:
    static constexpr int kScratchFrames = 256;

    Synthesizer synthesizer_;
    Sequencer sequencer_;
    OutputStage outputStage_;
    std::array<float, kScratchFrames> scratchLeft_{};
    std::array<float, kScratchFrames> scratchRight_{};
};

}  // namespace rolvik::synth
