#include "DefaultVoiceSet.h"

#include <array>
#include <cstddef>

#include "GenMidi.h"
#include "GenMidiFmVoice.h"
#include "core/ScoreTrack.h"

namespace rolvik::tools {
namespace {

constexpr std::uint8_t kTypeFm = 0;
constexpr std::size_t kNameSize = 16;
// Bytes of an FM record after its length byte: banks, program, note, type, name and the FM part.
constexpr std::uint8_t kFmRecordLength = 52;

struct RecordHead {
    std::uint8_t bankMsb;
    std::uint8_t bankLsb;
    std::uint8_t program;
    std::uint8_t note;
};

void AppendFmRecord(ByteVector& out, const RecordHead& head, const FmVoiceParameters& fm) {
    out.insert(out.end(), {0, 0, kFmRecordLength, head.bankMsb, head.bankLsb, head.program,
                           head.note, kTypeFm});
    for (std::size_t i = 0; i < kNameSize; ++i) {
        out.push_back(i < fm.name.size() ? static_cast<std::uint8_t>(fm.name[i]) : 0);
    }
    const std::array<std::uint8_t, kFmVoiceBytes> part = FmVoiceBytes(fm);
    out.insert(out.end(), part.begin(), part.end());
}

void AppendBigEndian32(ByteVector& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) {
        out.push_back(static_cast<std::uint8_t>(value >> shift));
    }
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
        AppendFmRecord(records, head, DrumVoiceFromGenMidi(*instruments, key));
    }
    ByteVector file = {'F', 'M', 'M', '3'};
    AppendBigEndian32(file, static_cast<std::uint32_t>(records.size()));
    file.insert(file.end(), records.begin(), records.end());
    return file;
}

}  // namespace rolvik::tools
