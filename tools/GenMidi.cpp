#include "GenMidi.h"

#include "core/ByteReader.h"
#include "core/Chunk.h"

namespace rolvik::tools {
namespace {

constexpr std::size_t kHeaderSize = 8;
constexpr std::size_t kInstrumentSize = 36;
constexpr std::size_t kNameSize = 32;

GenMidiOperator ReadOperator(ByteReader& cursor) {
    GenMidiOperator op;
    op.characteristic = *cursor.ReadByte();
    op.attackDecay = *cursor.ReadByte();
    op.sustainRelease = *cursor.ReadByte();
    op.waveform = *cursor.ReadByte();
    op.keyScale = *cursor.ReadByte();
    op.level = *cursor.ReadByte();
    return op;
}

std::uint16_t ReadU16LittleEndian(ByteReader& cursor) {
    const std::uint8_t low = *cursor.ReadByte();
    const std::uint8_t high = *cursor.ReadByte();
    return static_cast<std::uint16_t>(low | (high << 8));
}

GenMidiVoice ReadVoice(ByteReader& cursor) {
    GenMidiVoice voice;
    voice.modulator = ReadOperator(cursor);
    voice.feedback = *cursor.ReadByte();
    voice.carrier = ReadOperator(cursor);
    cursor.Skip(1);
    voice.noteOffsetSemitones = static_cast<std::int16_t>(ReadU16LittleEndian(cursor));
    return voice;
}

std::string ReadName(ByteReader& cursor) {
    Bytes field = *cursor.ReadBytes(kNameSize);
    std::string name;
    for (std::uint8_t byte : field) {
        if (byte == 0) {
            break;
        }
        name.push_back(static_cast<char>(byte));
    }
    return name;
}

}  // namespace

std::optional<std::vector<GenMidiInstrument>> ParseGenMidi(Bytes lump) {
    constexpr std::size_t kLumpSize =
        kHeaderSize + kGenMidiInstrumentCount * (kInstrumentSize + kNameSize);
    if (lump.size() < kLumpSize || !BytesEqual(lump.first(kHeaderSize), "#OPL_II#")) {
        return std::nullopt;
    }
    // The size check above makes every read below succeed.
    ByteReader cursor(lump.subspan(kHeaderSize));
    std::vector<GenMidiInstrument> instruments(kGenMidiInstrumentCount);
    for (GenMidiInstrument& instrument : instruments) {
        instrument.flags = ReadU16LittleEndian(cursor);
        instrument.fineTune = *cursor.ReadByte();
        instrument.fixedNote = *cursor.ReadByte();
        for (GenMidiVoice& voice : instrument.voices) {
            voice = ReadVoice(cursor);
        }
    }
    for (GenMidiInstrument& instrument : instruments) {
        instrument.name = ReadName(cursor);
    }
    return instruments;
}

}  // namespace rolvik::tools
