#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "AllocationCount.h"
#include "SynthTestSupport.h"
#include "core/CheckCode.h"
#include "core/Compiler.h"
#include "core/FileIO.h"
#include "core/Number.h"
#include "core/Smaf.h"
#include "synth/EngineCore.h"
#include "tests/support/Corpus.h"

namespace rolvik::synth::test {
namespace {

Command MidiCommand(const ByteVector& bytes) {
    Command command;
    command.type = CommandType::Midi;
    command.midi = ParseMidiMessage(bytes).value();
    return command;
}

Command SongCommand(CommandType type, std::int32_t value = 0) {
    Command command;
    command.type = type;
    command.value = value;
    return command;
}

// What the preset voices send: every melody program on ten banks and a drum kit on nine programs.
std::vector<Command> PresetVoiceCommands() {
    std::vector<Command> commands;
    const VoiceParameters voice = SineVoice();
    for (std::uint8_t lsb = 0; lsb < 10; ++lsb) {
        for (std::uint8_t program = 0; program < 128; ++program) {
            commands.push_back(MidiCommand(VoiceMessage(124, lsb, program, 0, voice)));
        }
    }
    for (const std::uint8_t program : {0, 2, 3, 4, 5, 6, 7, 8, 9}) {
        for (std::uint8_t note = 35; note <= 81; ++note) {
            commands.push_back(MidiCommand(VoiceMessage(125, 0, program, note, voice)));
        }
    }
    return commands;
}

// Two thousand overlapping notes of ten seconds, one every 2 ms on the 16 channels.
ByteVector CrowdedSong() {
    auto smaf = CreateSmaf(1, 1);
    for (std::uint32_t i = 0; i < 2000; ++i) {
        ByteVector note = {static_cast<std::uint8_t>(36 + i % 60), 100};
        WriteNumber(note, 10000);
        InsertEvent(*smaf,
                    std::make_unique<Event>(2 * i, static_cast<std::uint8_t>(0x90 | i % 16), note));
    }
    return CompileSMAF(*smaf).value();
}

void RenderMs(EngineCore& core, std::vector<float>& buffer, int ms) {
    constexpr int kCallbackFrames = 512;
    for (int frames = 0; frames < ms * 48; frames += kCallbackFrames) {
        core.RenderInterleaved(buffer.data(), kCallbackFrames);
    }
}

TEST(AudioThreadTest, CommandsAndRenderingNeverCallTheAllocator) {
    const std::vector<Command> presets = PresetVoiceCommands();
    const auto song = LoadSong(CrowdedSong());
    ASSERT_NE(song, nullptr);
    auto core = std::make_unique<EngineCore>();
    std::vector<float> buffer(2 * 512);
    Command load = SongCommand(CommandType::SetSong);
    load.song = song.get();
    const Command erase =
        MidiCommand({0xF0, 0x43, 0x79, 0x06, 0x7F, 0x02, 0x7C, 0x03, 0x05, 0x00, 0xF7});
    std::vector<Command> notes;
    for (std::uint8_t key = 40; key < 80; ++key) {
        notes.push_back(MidiCommand({0x90, key, 100}));
        notes.push_back(MidiCommand({0x99, key, 100}));
    }

    const AllocationCount count;
    for (const Command& command : presets) {
        core->Apply(command);
    }
    core->Apply(erase);
    core->Apply(presets[3 * 128 + 5]);
    for (const Command& note : notes) {
        core->Apply(note);
    }
    RenderMs(*core, buffer, 200);
    core->Apply(load);
    core->Apply(SongCommand(CommandType::Start));
    RenderMs(*core, buffer, 6000);
    core->Apply(SongCommand(CommandType::Stop));
    core->Apply(SongCommand(CommandType::Seek, 3000));
    core->Apply(SongCommand(CommandType::Start));
    RenderMs(*core, buffer, 1000);
    EXPECT_EQ(count.allocations(), 0);
}

TEST(AudioThreadTest, SampledSoundNeverCallsTheAllocator) {
    ROLVIK_REQUIRE_CORPUS();
    // Wave records and stream waves played by voices and drum keys, and an audio track beside
    // score tracks; waves handed over as messages in MIDI use.
    std::vector<std::unique_ptr<Song>> songs;
    for (const char* name : {"libsmaf__Pop_STAR.mmf", "vavi__HappyPoppy.mmf"}) {
        const auto bytes = ReadWholeFile(std::string(ROLVIK_CORPUS_DIR) + "/" + name);
        ASSERT_TRUE(bytes.has_value()) << name;
        songs.push_back(LoadSong(*bytes));
        ASSERT_NE(songs.back(), nullptr) << name;
    }
    const Wave wave = songs[0]->waves.streams.begin()->second;
    Command defineWave = SongCommand(CommandType::DefineWave, 5);
    defineWave.wave = &wave;
    Command defineStream = SongCommand(CommandType::DefineStreamWave, 1);
    defineStream.wave = &wave;
    const Command streamNote = MidiCommand({0x99, 0, 100});
    auto core = std::make_unique<EngineCore>();
    std::vector<float> buffer(2 * 512);

    const AllocationCount count;
    core->Apply(defineWave);
    core->Apply(defineStream);
    core->Apply(streamNote);
    RenderMs(*core, buffer, 100);
    for (const auto& song : songs) {
        Command load = SongCommand(CommandType::SetSong);
        load.song = song.get();
        core->Apply(load);
        core->Apply(SongCommand(CommandType::Start));
        RenderMs(*core, buffer, 8000);
        core->Apply(SongCommand(CommandType::Stop));
        core->Apply(SongCommand(CommandType::Seek, 2300));
        core->Apply(SongCommand(CommandType::Start));
        RenderMs(*core, buffer, 1000);
    }
    EXPECT_EQ(count.allocations(), 0);
}

}  // namespace
}  // namespace rolvik::synth::test
