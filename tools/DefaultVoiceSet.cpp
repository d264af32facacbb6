#include "DefaultVoiceSet.h"

#include <cstddef>

#include "GenMidi.h"
#include "GenMidiFmVoice.h"

namespace rolvik::tools {
namespace {

constexpr std::uint8_t kMelodyBank = 124;
constexpr std::uint8_t kDrumBank = 125;
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

std::uint8_t Bit(bool flag, int position) {
    return static_cast<std::uint8_t>(flag << position);
}

void AppendOperator(ByteVector& out, const FmOperatorParameters& op) {
    out.push_back(
        static_cast<std::uint8_t>(op.sr << 4 | Bit(op.xof, 3) | Bit(op.sus, 1) | Bit(op.ksr, 0)));
    out.push_back(static_cast<std::uint8_t>(op.rr << 4 | op.dr));
    out.push_back(static_cast<std::uint8_t>(op.ar << 4 | op.sl));
    out.push_back(static_cast<std::uint8_t>(op.tl << 2 | op.ksl));
    out.push_back(static_cast<std::uint8_t>(op.amDepth << 5 | Bit(op.amEnable, 4) |
                                            op.vibDepth << 1 | Bit(op.vibEnable, 0)));
    out.push_back(static_cast<std::uint8_t>(op.multi << 4 | op.dt));
    out.push_back(static_cast<std::uint8_t>(op.ws << 3 | op.fb));
}

void AppendFmRecord(ByteVector& out, const RecordHead& head, const FmVoiceParameters& fm) {
    out.insert(out.end(), {0, 0, kFmRecordLength, head.bankMsb, head.bankLsb, head.program,
                           head.note, kTypeFm});
    for (std::size_t i = 0; i < kNameSize; ++i) {
        out.push_back(i < fm.name.size() ? static_cast<std::uint8_t>(fm.name[i]) : 0);
    }
    out.push_back(fm.drumKey);
    out.push_back(static_cast<std::uint8_t>(fm.panpot << 3 | fm.basicOctave));
    out.push_back(static_cast<std::uint8_t>(fm.lfo << 6 | Bit(fm.panpotEnable, 5) | fm.algorithm));
    for (const FmOperatorParameters& op : fm.operators) {
        AppendOperator(out, op);
    }
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
