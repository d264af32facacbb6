#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "CommandQueue.h"
#include "EngineCore.h"
#include "OpenAudioOutput.h"
#include "Song.h"

namespace rolvik::synth {

using OutputOpener = std::function<std::unique_ptr<AudioOutput>()>;

// The engine behind the exported function table. Calls come from one thread (the caller's);
// sound is made on the audio output's thread, which gets every change through a lock-free queue
// and reports position, status and device flags back through atomics.
//
// The caller never waits on the output without limit: a sound device that will not start, or
// that has not called back for `stallTimeout`, is replaced by the silent output, which keeps
// real time; a wait that still finds no progress gives up and reports failure.
class Engine {
  public:
    // A PulseAudio stream calls back a few times, then pauses for about 1.5 s while the server
    // fills its buffer before it plays; a healthy device must not be taken for a stalled one.
    static constexpr std::chrono::milliseconds kDefaultStallTimeout{4000};

    explicit Engine(OutputOpener openOutput = OpenAudioOutput,
                    std::chrono::milliseconds stallTimeout = kDefaultStallTimeout)
        : openOutput_(std::move(openOutput)), stallTimeout_(stallTimeout) {}
    ~Engine() {
        EmuTerminate();
        output_.reset();
    }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    std::int32_t EmuInitialize(std::int32_t sampleRate, std::int32_t mode);
    void EmuTerminate();
    std::int32_t DeviceControl(std::int32_t command);

    std::int32_t Create(std::int32_t sequenceType);
    std::int32_t Load(std::int32_t sound, const std::uint8_t* bytes, std::int32_t size);
    std::int32_t Open(std::int32_t sound);
    std::int32_t Standby(std::int32_t sound);
    std::int32_t Control(std::int32_t sound, std::int32_t control, const std::int32_t* value);
    std::int32_t Seek(std::int32_t sound, std::int32_t positionMs);
    // Plays from the position; `loops` 0 repeats the song from its stop point back to its start
    // point until stopped, any other count plays it once. While playing, it changes only that.
    std::int32_t Start(std::int32_t sound, std::int32_t loops);
    void Stop(std::int32_t sound);
    void Close(std::int32_t sound);
    void Unload(std::int32_t sound);
    void Delete(std::int32_t sound);
    std::int32_t EmuInfo(std::int32_t info);

    std::int32_t SetMidiMsg(const std::uint8_t* message, std::int32_t size);

  private:
    enum class SoundState { None, Created, Loaded, Opened, Playing };

    static constexpr std::int32_t kSound = 1;
    static constexpr std::int32_t kFailure = -1;

    // The rendering thread's side; runs on the output's thread once it has started.
    void RenderOnOutputThread(float* interleaved, int frames);
    void StartOutput();
    // Replaces a device that failed with the silent output, saying why once in the process.
    void FallBackToSilentOutput(std::string_view reason);
    // Falls back when the device has not called back for the stall timeout.
    void CheckOutput();
    // Waits while the output makes progress until `done` holds; false when it gave up.
    template <typename Condition>
    bool WaitFor(Condition done);
    // Hands a command to the rendering thread, waiting while the queue is full; false when the
    // command could not be handed over.
    bool Post(const Command& command);
    // Waits until the rendering thread has taken every command posted so far.
    bool WaitUntilApplied();
    bool HasSound(std::int32_t sound) const;
    // A wave record or a stream wave sent as a message (MIDI use): decoded on the caller's
    // thread and handed to the rendering thread. Null when the message carries no wave,
    // otherwise whether the rendering thread got it.
    std::optional<bool> HandOverWave(Bytes message);
    bool HandOver(CommandType type, std::uint8_t number, Wave wave);

    OutputOpener openOutput_;
    std::chrono::milliseconds stallTimeout_;
    std::unique_ptr<EngineCore> core_;
    std::unique_ptr<AudioOutput> output_;
    std::atomic<std::uint64_t> callbacks_{0};  // calls of the render callback so far
    std::atomic<std::uint64_t> renderedFrames_{0};
    std::uint64_t lastCallbacks_ = 0;
    std::chrono::steady_clock::time_point lastProgress_;
    CommandQueue<Command, 1024> queue_;
    std::uint64_t postedCommands_ = 0;
    std::atomic<std::uint64_t> appliedCommands_{0};

    std::unique_ptr<Song> song_;
    // Every wave handed over by HandOverWave, kept until the engine terminates because
    // the rendering thread may still play any of them.
    std::vector<std::unique_ptr<Wave>> messageWaves_;
    SoundState state_ = SoundState::None;
    std::uint32_t startGeneration_ = 0;
    std::uint32_t seekPositionMs_ = 0;  // what the position is until the rendering thread reports

    // Published by the rendering thread after every buffer.
    std::atomic<std::uint32_t> positionMs_{0};
    std::atomic<std::uint32_t> endedGeneration_{0};
    std::atomic<std::uint32_t> renderedGeneration_{0};
    std::atomic<std::int32_t> deviceInfo_{0};
    // Written only by the rendering thread: the generation of the last Start it applied.
    std::uint32_t coreGeneration_ = 0;
};

}  // namespace rolvik::synth
