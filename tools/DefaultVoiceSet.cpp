#include "DefaultVoiceSet.h"

#include <array>
#include <cstddef>
#include <string>

#include "GenMidi.h"
#include "GenMidiFmVoice.h"
#include "core/ByteWriter.h"
#include "core/ScoreTrack.h"
#include "synth/DefaultDrumKit.h"

namespace rolvik::tools {
namespace {

constexpr std::uint8_t kTypeFm = 0;
constexpr std::uint8_t kTypePcm = 1;
constexpr std::size_t kNameSize = 16;
// Bytes of an FM record after its length byte: banks, program, note, type, name and the FM part.
constexpr std::uint8_t kFmRecordLength = 52;
// The same for a PCM record, whose PCM part is 16 bytes.
constexpr std::uint8_t kPcmRecordLength = 37;

struct RecordHead {
    std::uint8_t bankMsb;
    std::uint8_t bankLsb;
    std::uint8_t program;
    std::uint8_t note;
};

void AppendHead(ByteVector& out, std::uint8_t length, const RecordHead& head, std::uint8_t type,
                const std::string& name) {
    out.insert(out.end(),
               {0, 0, length, head.bankMsb, head.bankLsb, head.program, head.note, type});
    for (std::size_t i = 0; i < kNameSize; ++i) {
        out.push_back(i < name.size() ? static_cast<std::uint8_t>(name[i]) : 0);
    }
}

void AppendFmRecord(ByteVector& out, const RecordHead& head, const FmVoiceParameters& fm) {
    AppendHead(out, kFmRecordLength, head, kTypeFm, fm.name);
    const std::array<std::uint8_t, kFmVoiceBytes> part = FmVoiceBytes(fm);
    out.insert(out.end(), part.begin(), part.end());
}

// A kit drum of the chip's waves as the file's PCM part: rate, panpot and LFO off, the envelope
// with key-off ignored, TL, no modulation, two skipped bytes, loop start, end point and the wave
// byte with the flag for the chip's sample memory.
void AppendKitRecord(ByteVector& out, const RecordHead& head, const std::string& name,
                     const synth::KitDrum& kit) {
    constexpr std::uint8_t kNoKeyOff = 0x08;
    constexpr std::uint8_t kFastReleaseInstantDecay = 0xF0;
    constexpr std::uint8_t kInstantAttackFullSustain = 0xF0;
    constexpr std::uint8_t kChipMemory = 0x80;
    AppendHead(out, kPcmRecordLength, head, kTypePcm, name);
    const synth::ChipDrumLayout& layout = synth::LayoutOf(kit.drum);
    ByteWriter writer(out);
    writer.AppendU16BigEndian(kit.rateHz);
    writer.Append(std::array<std::uint8_t, 9>{
        0, 0, static_cast<std::uint8_t>(kit.sr << 4 | kNoKeyOff), kFastReleaseInstantDecay,
        kInstantAttackFullSustain, static_cast<std::uint8_t>(kit.tl << 2), 0, 0, 0});
    writer.AppendU16BigEndian(layout.loopStart);
    writer.AppendU16BigEndian(layout.frames);
    writer.AppendByte(static_cast<std::uint8_t>(kChipMemory | static_cast<std::uint8_t>(kit.drum)));
}

const synth::KitDrum* KitDrumOf(std::uint8_t key) {
    for (const synth::KitDrum& kit : synth::kKitDrums) {
        if (kit.note == key) {
            return &kit;
        }
    }
    return nullptr;
}

}  // namespace

std::optional<ByteVector> BuildDefaultVoiceSet(Bytes genMidiLump) {
    auto instruments = ParseGenMidi(genMidiLump);
    if (!instruments) {
        return std::nullopt;
    }
    ByteVector records;
    for (std::size_t program = 0; program < kGenMidiMelodyCount; ++program) {
        const RecordHead head{kMelodyBank, 0, static_cast<std::uint8_t>(program), 0};
        AppendFmRecord(records, head, MelodyVoiceFromGenMidi((*instruments)[program]));
    }
    for (std::size_t index = kGenMidiMelodyCount; index < kGenMidiInstrumentCount; ++index) {
        const auto key =
            static_cast<std::uint8_t>(kGenMidiFirstDrumKey + index - kGenMidiMelodyCount);
        const RecordHead head{kDrumBank, 0, 0, key};
        const FmVoiceParameters fm = DrumVoiceFromGenMidi(*instruments, key);
        if (const synth::KitDrum* kit = KitDrumOf(key)) {
            AppendKitRecord(records, head, fm.name, *kit);
        } else {
            AppendFmRecord(records, head, fm);
        }
    }
    ByteVector file = {'F', 'M', 'M', '3'};
    ByteWriter writer(file);
    writer.AppendU32BigEndian(static_cast<std::uint32_t>(records.size()));
    writer.Append(records);
    return file;
}

}  // namespace rolvik::tools
