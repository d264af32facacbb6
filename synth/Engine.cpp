#include "Engine.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "EnvelopeRates.h"
#include "NullOutput.h"
#include "Sequencer.h"
#include "core/StreamWaveMessage.h"

namespace rolvik::synth {
namespace {

constexpr std::int32_t kStatusReady = 3;
constexpr std::int32_t kStatusPlaying = 4;
constexpr std::int32_t kDeviceInfoQuery = 4;
// How long a wait may go on once the silent output, which answers every 10 ms, has taken over.
constexpr std::chrono::seconds kSilentOutputGrace{1};

// Set-up commands of the device: the output's and the sequencer's settings. The engine has no
// settings to make for them; other commands are not known.
bool IsKnownDeviceCommand(std::int32_t command) {
    return command == 0x05 || command == 0x06 || command == 0x08 || command == 0x09 ||
           command == 0x0D;
}

}  // namespace

std::int32_t Engine::EmuInitialize(std::int32_t sampleRate, std::int32_t mode) {
    if (sampleRate != kOutputSampleRateHz || mode < 0 || mode > 2) {
        return kFailure;
    }
    EmuTerminate();
    core_ = std::make_unique<EngineCore>();
    while (queue_.TryPop()) {
    }
    postedCommands_ = 0;
    appliedCommands_ = 0;
    coreGeneration_ = 0;
    // The output outlives the switches between MIDI use and sequencer use, which terminate and
    // initialise again: opening a sound stream and filling the server's buffer takes far longer
    // than a key press may wait for its sound.
    if (!output_) {
        output_ = openOutput_();
    }
    StartOutput();
    return 0;
}

void Engine::StartOutput() {
    lastCallbacks_ = callbacks_.load(std::memory_order_relaxed);
    lastProgress_ = std::chrono::steady_clock::now();
    const bool started = output_->Start(
        [this](float* interleaved, int frames) { RenderOnOutputThread(interleaved, frames); });
    if (!started) {
        FallBackToSilentOutput("the sound stream did not start");
    }
}

void Engine::FallBackToSilentOutput(std::string_view reason) {
    output_->Stop();
    NoteNoAudioOutput(reason);
    output_ = std::make_unique<NullOutput>();
    StartOutput();
}

void Engine::CheckOutput() {
    if (!output_ || !output_->IsDevice()) {
        return;
    }
    const std::uint64_t calls = callbacks_.load(std::memory_order_relaxed);
    const auto now = std::chrono::steady_clock::now();
    if (calls != lastCallbacks_) {
        lastCallbacks_ = calls;
        lastProgress_ = now;
    } else if (now - lastProgress_ >= stallTimeout_) {
        FallBackToSilentOutput("the sound device stopped calling back");
    }
}

void Engine::EmuTerminate() {
    if (output_) {
        output_->Stop();
    }
    core_.reset();
    song_.reset();
    messageWaves_.clear();
    state_ = SoundState::None;
}

std::int32_t Engine::DeviceControl(std::int32_t command) {
    return core_ && IsKnownDeviceCommand(command) ? 0 : kFailure;
}

void Engine::RenderOnOutputThread(float* interleaved, int frames) {
    std::uint64_t applied = appliedCommands_.load(std::memory_order_relaxed);
    while (auto command = queue_.TryPop()) {
        if (command->type == CommandType::Start) {
            coreGeneration_ = static_cast<std::uint32_t>(command->value);
        }
        core_->Apply(*command);
        ++applied;
    }
    appliedCommands_.store(applied, std::memory_order_release);
    core_->RenderInterleaved(interleaved, frames);
    const Sequencer& sequencer = core_->sequencer();
    positionMs_.store(sequencer.positionMs(), std::memory_order_relaxed);
    deviceInfo_.store(sequencer.playing() ? sequencer.DeviceInfo() : 0, std::memory_order_relaxed);
    if (sequencer.playing() && sequencer.ended()) {
        endedGeneration_.store(coreGeneration_, std::memory_order_release);
    }
    renderedGeneration_.store(coreGeneration_, std::memory_order_release);
    renderedFrames_.fetch_add(static_cast<std::uint64_t>(frames), std::memory_order_release);
    callbacks_.fetch_add(1, std::memory_order_relaxed);
}

template <typename Condition>
bool Engine::WaitFor(Condition done) {
    const auto giveUp = std::chrono::steady_clock::now() + stallTimeout_ + kSilentOutputGrace;
    while (!done()) {
        CheckOutput();
        if (!output_ || std::chrono::steady_clock::now() >= giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

bool Engine::Post(const Command& command) {
    CheckOutput();
    if (!WaitFor([&] { return queue_.TryPush(command); })) {
        return false;
    }
    ++postedCommands_;
    return true;
}

bool Engine::WaitUntilApplied() {
    return WaitFor(
        [this] { return appliedCommands_.load(std::memory_order_acquire) >= postedCommands_; });
}

bool Engine::HasSound(std::int32_t sound) const {
    return sound == kSound && state_ != SoundState::None;
}

std::int32_t Engine::Create(std::int32_t sequenceType) {
    if (!core_ || sequenceType != kSound || state_ != SoundState::None) {
        return kFailure;
    }
    state_ = SoundState::Created;
    return kSound;
}

std::int32_t Engine::Load(std::int32_t sound, const std::uint8_t* bytes, std::int32_t size) {
    if (!HasSound(sound) || state_ != SoundState::Created || bytes == nullptr || size <= 0) {
        return kFailure;
    }
    auto song = LoadSong(Bytes(bytes, static_cast<std::size_t>(size)));
    if (!song) {
        return kFailure;
    }
    Command command;
    command.type = CommandType::SetSong;
    command.song = song.get();
    if (!Post(command)) {
        return kFailure;
    }
    song_ = std::move(song);
    seekPositionMs_ = 0;
    state_ = SoundState::Loaded;
    return kSound;
}

std::int32_t Engine::Open(std::int32_t sound) {
    if (!HasSound(sound) || state_ != SoundState::Loaded) {
        return kFailure;
    }
    state_ = SoundState::Opened;
    return 0;
}

std::int32_t Engine::Standby(std::int32_t sound) {
    return HasSound(sound) && state_ == SoundState::Opened ? 0 : kFailure;
}

std::int32_t Engine::Control(std::int32_t sound, std::int32_t control, const std::int32_t* value) {
    if (!HasSound(sound) || state_ == SoundState::Created) {
        return kFailure;
    }
    Command command;
    switch (control) {
        case 0:
            if (value == nullptr || *value < 0 || *value > 127) {
                return kFailure;
            }
            command.type = CommandType::Volume;
            break;
        case 1:
            if (value == nullptr || *value < kMinTempo || *value > kMaxTempo) {
                return kFailure;
            }
            command.type = CommandType::Tempo;
            break;
        case 2:
            if (value == nullptr || *value < -kMaxKeyPitch || *value > kMaxKeyPitch) {
                return kFailure;
            }
            command.type = CommandType::KeyPitch;
            break;
        case 4:
            CheckOutput();
            if (renderedGeneration_.load(std::memory_order_acquire) != startGeneration_) {
                return static_cast<std::int32_t>(seekPositionMs_);
            }
            return static_cast<std::int32_t>(positionMs_.load(std::memory_order_relaxed));
        case 6:
            CheckOutput();
            if (state_ != SoundState::Playing ||
                endedGeneration_.load(std::memory_order_acquire) == startGeneration_) {
                return kStatusReady;
            }
            return kStatusPlaying;
        default:
            return kFailure;
    }
    command.value = *value;
    return Post(command) ? 0 : kFailure;
}

std::int32_t Engine::Seek(std::int32_t sound, std::int32_t positionMs) {
    if (!HasSound(sound) || state_ == SoundState::Created || positionMs < 0) {
        return kFailure;
    }
    Command command;
    command.type = CommandType::Seek;
    command.value = positionMs;
    if (!Post(command)) {
        return kFailure;
    }
    seekPositionMs_ = static_cast<std::uint32_t>(positionMs);
    return 0;
}

std::int32_t Engine::Start(std::int32_t sound, std::int32_t loops) {
    if (!HasSound(sound) || (state_ != SoundState::Opened && state_ != SoundState::Playing)) {
        return kFailure;
    }
    Command loop;
    loop.type = CommandType::Loop;
    loop.value = loops == 0 ? 1 : 0;
    if (!Post(loop)) {
        return kFailure;
    }
    Command command;
    command.type = CommandType::Start;
    command.value = static_cast<std::int32_t>(startGeneration_ + 1);
    if (!Post(command)) {
        return kFailure;
    }
    ++startGeneration_;
    state_ = SoundState::Playing;
    return 0;
}

void Engine::Stop(std::int32_t sound) {
    if (!HasSound(sound) || state_ != SoundState::Playing) {
        return;
    }
    Command command;
    command.type = CommandType::Stop;
    state_ = SoundState::Opened;
    if (!Post(command) || !WaitUntilApplied()) {
        return;
    }
    // The notes fade out after a stop; what may follow at once (an unload, the engine's end)
    // would cut them off mid-fade, so the fade has been rendered when Stop returns.
    const std::uint64_t stoppedAt = renderedFrames_.load(std::memory_order_acquire);
    const auto fadeFrames = static_cast<std::uint64_t>(kDampTimeMs * kSampleRateHz / 1000.0);
    WaitFor(
        [&] { return renderedFrames_.load(std::memory_order_acquire) >= stoppedAt + fadeFrames; });
}

void Engine::Close(std::int32_t sound) {
    Stop(sound);
    if (HasSound(sound) && state_ == SoundState::Opened) {
        state_ = SoundState::Loaded;
    }
}

void Engine::Unload(std::int32_t sound) {
    Close(sound);
    if (!HasSound(sound) || state_ != SoundState::Loaded) {
        return;
    }
    Command command;
    command.type = CommandType::SetSong;
    // The rendering thread must have let go of the song before it is freed; an output that does
    // not take the command in time is stopped, which lets go of everything.
    if ((!Post(command) || !WaitUntilApplied()) && output_) {
        output_->Stop();
        output_.reset();
    }
    song_.reset();
    state_ = SoundState::Created;
}

void Engine::Delete(std::int32_t sound) {
    Unload(sound);
    if (HasSound(sound) && state_ == SoundState::Created) {
        state_ = SoundState::None;
    }
}

std::int32_t Engine::EmuInfo(std::int32_t info) {
    CheckOutput();
    if (info != kDeviceInfoQuery || state_ != SoundState::Playing) {
        return 0;
    }
    return deviceInfo_.load(std::memory_order_relaxed);
}

std::optional<bool> Engine::HandOverWave(Bytes message) {
    if (message.size() < 2 || message.front() != 0xF0 || message.back() != 0xF7) {
        return std::nullopt;
    }
    WaveBank decoded;
    std::uint8_t number = 0;
    ByteVector contents;
    if (ReadWaveRecord(message.subspan(1, message.size() - 2), decoded)) {
        auto& [id, wave] = *decoded.records.begin();
        return HandOver(CommandType::DefineWave, id, std::move(wave));
    }
    if (ReadStreamWaveMessage(message, number, contents) &&
        ReadStreamWave(number, contents, decoded)) {
        return HandOver(CommandType::DefineStreamWave, number,
                        std::move(decoded.streams.at(number)));
    }
    return std::nullopt;
}

bool Engine::HandOver(CommandType type, std::uint8_t number, Wave wave) {
    // Players send a song's set-up again at every start: the same wave is handed over once.
    const auto kept = std::find_if(
        messageWaves_.begin(), messageWaves_.end(), [&wave](const std::unique_ptr<Wave>& known) {
            return known->rateHz == wave.rateHz && known->channels == wave.channels &&
                   known->samples == wave.samples;
        });
    const Wave* handed = kept != messageWaves_.end() ? kept->get() : nullptr;
    if (handed == nullptr) {
        messageWaves_.push_back(std::make_unique<Wave>(std::move(wave)));
        handed = messageWaves_.back().get();
    }
    Command command;
    command.type = type;
    command.value = number;
    command.wave = handed;
    return Post(command);
}

std::int32_t Engine::SetMidiMsg(const std::uint8_t* message, std::int32_t size) {
    if (!core_ || message == nullptr || size <= 0) {
        return kFailure;
    }
    const Bytes bytes(message, static_cast<std::size_t>(size));
    if (const auto handedOver = HandOverWave(bytes)) {
        return *handedOver ? 0 : kFailure;
    }
    auto parsed = ParseMidiMessage(bytes);
    if (!parsed) {
        return kFailure;
    }
    Command command;
    command.type = CommandType::Midi;
    command.midi = *parsed;
    return Post(command) ? 0 : kFailure;
}

}  // namespace rolvik::synth
