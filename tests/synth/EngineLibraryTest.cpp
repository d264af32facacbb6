#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sndfile.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "SynthTestSupport.h"
#include "core/CheckCode.h"
#include "core/Compiler.h"
#include "core/Number.h"
#include "core/Smaf.h"
#include "core/StreamWaveMessage.h"
#include "synth/EmulatorInterface.h"

namespace rolvik::synth::test {
namespace {

std::filesystem::path EngineLibraryPath() {
    return std::filesystem::read_symlink("/proc/self/exe").parent_path() / ROLVIK_ENGINE_FILE_NAME;
}

template <typename Function>
Function Resolve(void* library, const char* name) {
    return reinterpret_cast<Function>(dlsym(library, name));
}

// The engine library, loaded as the program loads it, with its functions by name.
class EngineLibrary {
  public:
    EngineLibrary() : handle_(dlopen(EngineLibraryPath().c_str(), RTLD_NOW | RTLD_LOCAL)) {}
    ~EngineLibrary() {
        if (handle_ != nullptr) {
            dlclose(handle_);
        }
    }
    void* handle() const { return handle_; }

#define ROLVIK_ENGINE_FUNCTION(name) name##_t name = Resolve<name##_t>(handle_, #name);
    void* handle_;
    ROLVIK_ENGINE_FUNCTION(MaSound_EmuInitialize)
    ROLVIK_ENGINE_FUNCTION(MaSound_Initialize)
    ROLVIK_ENGINE_FUNCTION(MaSound_DeviceControl)
    ROLVIK_ENGINE_FUNCTION(MaSound_Terminate)
    ROLVIK_ENGINE_FUNCTION(MaSound_Create)
    ROLVIK_ENGINE_FUNCTION(MaSound_Load)
    ROLVIK_ENGINE_FUNCTION(MaSound_Control)
    ROLVIK_ENGINE_FUNCTION(MaSound_Open)
    ROLVIK_ENGINE_FUNCTION(MaSound_Standby)
    ROLVIK_ENGINE_FUNCTION(MaSound_Start)
    ROLVIK_ENGINE_FUNCTION(MaSound_GetEmuInfo)
    ROLVIK_ENGINE_FUNCTION(MaSound_Stop)
    ROLVIK_ENGINE_FUNCTION(MaSound_Seek)
    ROLVIK_ENGINE_FUNCTION(MaSound_Close)
    ROLVIK_ENGINE_FUNCTION(MaSound_Unload)
    ROLVIK_ENGINE_FUNCTION(MaSound_Delete)
    ROLVIK_ENGINE_FUNCTION(MaSound_EmuTerminate)
    ROLVIK_ENGINE_FUNCTION(SetMidiMsg)
#undef ROLVIK_ENGINE_FUNCTION

    std::int32_t Send(std::initializer_list<std::uint8_t> bytes) {
        const ByteVector message(bytes);
        return SetMidiMsg(message.data(), static_cast<std::int32_t>(message.size()));
    }

    // The start-up of MIDI use, as the program's binding runs it.
    void StartMidiUse() {
        ASSERT_EQ(MaSound_EmuInitialize(48000, 0, nullptr), 0);
        for (auto [command, p1] : {std::pair{5, 2}, {6, 0}, {8, 2}, {9, 0}}) {
            ASSERT_EQ(MaSound_DeviceControl(command, p1, 0, 0), 0);
        }
    }

    // The stop of sequencer use, which also follows a failed start.
    void StopSequencerUse() {
        MaSound_Stop(1, 1, 0);
        MaSound_Close(1, 1, 0);
        MaSound_Unload(1, 1, 0);
        MaSound_Delete(1);
        MaSound_Terminate();
        MaSound_EmuTerminate();
    }

    std::int32_t Status() {
        return MaSound_Control(1, 1, 6, nullptr, 0);
    }
    std::int32_t PositionMs() {
        return MaSound_Control(1, 1, 4, nullptr, 0);
    }
};

// Two notes of a sine on channel 0 with the LED bit: 0–400 and 600–1000 ms.
ByteVector TwoNoteSong() {
    auto smaf = CreateSmaf(1, 1);
    const ByteVector voice = VoiceMessage(124, 0, 0, 0, SineVoice());
    ByteVector exclusive;
    WriteNumber(exclusive, static_cast<std::uint32_t>(voice.size() - 1));
    exclusive.insert(exclusive.end(), voice.begin() + 1, voice.end());
    InsertEvent(*smaf, std::make_unique<Event>(0, 0xF0, exclusive));
    for (std::uint32_t time : {0u, 600u}) {
        ByteVector note = {69, 100};
        WriteNumber(note, 400);
        InsertEvent(*smaf, std::make_unique<Event>(time, 0x90, note));
    }
    ByteVector file = CompileSMAF(*smaf).value();
    file[33] = 0x10;  // channel 0 lights the LED
    const std::uint16_t code = SmafCheckCode(Bytes(file).first(file.size() - 2));
    file[file.size() - 2] = static_cast<std::uint8_t>(code >> 8);
    file[file.size() - 1] = static_cast<std::uint8_t>(code & 0xFF);
    return file;
}

class EngineLibraryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("ROLVIK_AUDIO", "null", 1);
        ASSERT_NE(engine.handle(), nullptr) << dlerror();
    }
    void TearDown() override { engine.MaSound_EmuTerminate(); }

    EngineLibrary engine;
};

TEST_F(EngineLibraryTest, ExportsTheFunctionTableAndNothingOfItsInsides) {
    EXPECT_NE(engine.MaSound_EmuInitialize, nullptr);
    EXPECT_NE(engine.MaSound_Initialize, nullptr);
    EXPECT_NE(engine.MaSound_DeviceControl, nullptr);
    EXPECT_NE(engine.MaSound_Terminate, nullptr);
    EXPECT_NE(engine.MaSound_Create, nullptr);
    EXPECT_NE(engine.MaSound_Load, nullptr);
    EXPECT_NE(engine.MaSound_Control, nullptr);
    EXPECT_NE(engine.MaSound_Open, nullptr);
    EXPECT_NE(engine.MaSound_Standby, nullptr);
    EXPECT_NE(engine.MaSound_Start, nullptr);
    EXPECT_NE(engine.MaSound_GetEmuInfo, nullptr);
    EXPECT_NE(engine.MaSound_Stop, nullptr);
    EXPECT_NE(engine.MaSound_Seek, nullptr);
    EXPECT_NE(engine.MaSound_Close, nullptr);
    EXPECT_NE(engine.MaSound_Unload, nullptr);
    EXPECT_NE(engine.MaSound_Delete, nullptr);
    EXPECT_NE(engine.MaSound_EmuTerminate, nullptr);
    EXPECT_NE(engine.SetMidiMsg, nullptr);
    EXPECT_EQ(dlsym(engine.handle(), "_ZN6rolvik5synth11Synthesizer6RenderEPfS2_i"), nullptr);
}

TEST_F(EngineLibraryTest, TakesMidiMessagesAndRefusesMalformedOnes) {
    EXPECT_NE(engine.Send({0x90, 69, 100}), 0) << "before start-up";
    engine.StartMidiUse();
    EXPECT_EQ(engine.Send({0xF0, 0x43, 0x79, 0x06, 0x7F, 0x7F, 0xF7}), 0);
    EXPECT_EQ(engine.Send({0xF0, 0x43, 0x79, 0x05, 0x7E, 0x09, 0x7F, 0xF7}), 0);
    const ByteVector voice = VoiceMessage(124, 0, 5, 0, SineVoice());
    EXPECT_EQ(engine.SetMidiMsg(voice.data(), static_cast<std::int32_t>(voice.size())), 0);
    EXPECT_EQ(engine.Send({0xB0, 0x00, 0x7C}), 0);
    EXPECT_EQ(engine.Send({0xC0, 0x05}), 0);
    EXPECT_EQ(engine.Send({0x90, 69, 127}), 0);
    EXPECT_EQ(engine.Send({0x90, 132, 127}), 0) << "a key pushed off the keyboard is ignored";
    EXPECT_EQ(engine.Send({0x90, 69, 0}), 0);
    EXPECT_EQ(engine.Send({0xF0, 0x7E, 0x7F, 0x09, 0x01, 0xF7}), 0);
    EXPECT_NE(engine.Send({0x90, 69}), 0);
    EXPECT_NE(engine.Send({0xF0, 0x43, 0x79}), 0);
    EXPECT_NE(engine.SetMidiMsg(nullptr, 3), 0);
    EXPECT_EQ(engine.MaSound_GetEmuInfo(4), 0);
}

TEST_F(EngineLibraryTest, StoppingASoundThatWasNeverCreatedIsHarmless) {
    engine.StopSequencerUse();
    engine.StopSequencerUse();
    engine.StartMidiUse();
    EXPECT_EQ(engine.MaSound_Create(1), 1);
    const ByteVector garbage = {'M', 'M', 'M', 'D', 0, 0, 0, 2, 0, 0};
    EXPECT_NE(engine.MaSound_Load(1, garbage.data(), static_cast<std::int32_t>(garbage.size()), 1,
                                  nullptr, nullptr),
              1);
    EXPECT_NE(engine.MaSound_Open(1, 1, 0, 0), 0);
    EXPECT_NE(engine.MaSound_Start(1, 1, 1, 0), 0);
    engine.StopSequencerUse();
    engine.StartMidiUse();
    EXPECT_EQ(engine.Send({0x90, 60, 100}), 0);
}

TEST_F(EngineLibraryTest, PlaysASongInRealTimeUntilItEnds) {
    engine.StartMidiUse();
    engine.MaSound_EmuTerminate();
    ASSERT_EQ(engine.MaSound_EmuInitialize(48000, 2, nullptr), 0);
    ASSERT_EQ(engine.MaSound_Initialize(0, nullptr, 0), 0);
    ASSERT_EQ(engine.MaSound_DeviceControl(0x0D, 0, 0, 0), 0);
    ASSERT_EQ(engine.MaSound_Create(1), 1);
    const ByteVector song = TwoNoteSong();
    ASSERT_EQ(engine.MaSound_Load(1, song.data(), static_cast<std::int32_t>(song.size()), 1,
                                  nullptr, nullptr),
              1);
    ASSERT_EQ(engine.MaSound_Open(1, 1, 0, 0), 0);
    ASSERT_EQ(engine.MaSound_Standby(1, 1, 0), 0);
    std::int32_t volume = 100, keyPitch = 0, tempo = 100, tooFast = 131;
    EXPECT_EQ(engine.MaSound_Control(1, 1, 0, &volume, 0), 0);
    EXPECT_EQ(engine.MaSound_Control(1, 1, 2, &keyPitch, 0), 0);
    EXPECT_EQ(engine.MaSound_Control(1, 1, 1, &tempo, 0), 0);
    EXPECT_NE(engine.MaSound_Control(1, 1, 1, &tooFast, 0), 0);
    ASSERT_EQ(engine.MaSound_Seek(1, 1, 0, 0, 0), 0);
    ASSERT_EQ(engine.MaSound_Start(1, 1, 1, 0), 0);
    EXPECT_EQ(engine.Status(), 4);
    EXPECT_TRUE(WaitFor([&] { return engine.MaSound_GetEmuInfo(4) == 1; }))
        << "LED while a note sounds";
    EXPECT_TRUE(WaitFor([&] { return engine.PositionMs() >= 100; }));

    // Moving: stop, seek, start.
    engine.MaSound_Stop(1, 1, 0);
    ASSERT_EQ(engine.MaSound_Seek(1, 1, 500, 0, 0), 0);
    ASSERT_EQ(engine.MaSound_Start(1, 1, 1, 0), 0);
    EXPECT_GE(engine.PositionMs(), 500);
    EXPECT_EQ(engine.Status(), 4);
    EXPECT_TRUE(WaitFor([&] { return engine.Status() == 3; }));
    EXPECT_NEAR(engine.PositionMs(), 1000, 30);
    engine.StopSequencerUse();
    engine.StartMidiUse();
    EXPECT_EQ(engine.Send({0x90, 60, 100}), 0);
}

// Reads the left channel of a WAV file.
std::vector<float> ReadWavLeft(const std::filesystem::path& path) {
    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    EXPECT_NE(file, nullptr);
    if (file == nullptr) {
        return {};
    }
    EXPECT_EQ(info.samplerate, 48000);
    EXPECT_EQ(info.channels, 2);
    std::vector<float> frames(static_cast<std::size_t>(info.frames) * 2);
    sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    std::vector<float> left;
    for (std::size_t i = 0; i < frames.size(); i += 2) {
        left.push_back(frames[i]);
    }
    return left;
}

// EmuPlay re-initialises the engine at its start and its stop: the file keeps what every
// initialisation played, one after the other.
TEST_F(EngineLibraryTest, WavOutputKeepsEverythingPlayedInTheProcessInOrder) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("rolvik-engine-" + std::to_string(getpid()) + ".wav");
    setenv("ROLVIK_AUDIO", ("wav:" + path.string()).c_str(), 1);
    const ByteVector voice = VoiceMessage(124, 0, 0, 0, SineVoice());
    for (const std::uint8_t key : {69, 81}) {
        engine.StartMidiUse();
        ASSERT_EQ(engine.SetMidiMsg(voice.data(), static_cast<std::int32_t>(voice.size())), 0);
        ASSERT_EQ(engine.Send({0x90, key, 127}), 0);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        engine.MaSound_EmuTerminate();
    }

    const std::vector<float> left = ReadWavLeft(path);
    std::filesystem::remove(path);
    ASSERT_GE(left.size(), 48000u * 5 / 10);
    const auto first = std::span(left).subspan(4800, 4800);
    const auto last = std::span(left).last(4800);
    EXPECT_GT(Rms(first), 0.01);
    EXPECT_NEAR(FrequencyHz(first), 440.0, 1.0);
    EXPECT_GT(Rms(last), 0.01);
    EXPECT_NEAR(FrequencyHz(last), 880.0, 2.0);
}

TEST_F(EngineLibraryTest, StreamWavesSentAsMessagesPlayOnDrumKeys) {
    const auto path = std::filesystem::temp_directory_path() /
                      ("rolvik-engine-stream-" + std::to_string(getpid()) + ".wav");
    setenv("ROLVIK_AUDIO", ("wav:" + path.string()).c_str(), 1);
    engine.StartMidiUse();
    // One second at 8000 Hz of a faint 4000 Hz square: codes 0 and 8 step up and down by 15.
    ByteVector contents = {0x20, 0x1F, 0x40};
    contents.insert(contents.end(), 4000, 0x80);
    const ByteVector message = MakeStreamWaveMessage({1, contents});
    ASSERT_EQ(engine.SetMidiMsg(message.data(), static_cast<std::int32_t>(message.size())), 0);
    ASSERT_EQ(engine.Send({0x99, 0, 127}), 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    engine.MaSound_EmuTerminate();

    SF_INFO info{};
    SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
    ASSERT_NE(file, nullptr);
    std::vector<float> frames(static_cast<std::size_t>(info.frames) * 2);
    sf_readf_float(file, frames.data(), info.frames);
    sf_close(file);
    std::filesystem::remove(path);
    std::vector<float> left;
    for (std::size_t i = 0; i < frames.size(); i += 2) {
        left.push_back(frames[i]);
    }
    // The faint wave, not the loud FM drum that key 0 would otherwise strike.
    EXPECT_LT(RmsDb(left), -50.0);
    EXPECT_GT(ToneMagnitude(left, 4000.0), 1e-5);
}

}  // namespace
}  // namespace rolvik::synth::test
