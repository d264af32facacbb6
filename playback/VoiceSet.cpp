#include "VoiceSet.h"

#include <algorithm>
#include <optional>

#include "core/BitReader.h"
#include "core/ByteReader.h"
#include "core/Chunk.h"
#include "core/FileIO.h"
#include "core/ShowMessage.h"

namespace rolvik {

namespace {

constexpr std::size_t kFileHeaderSize = 8;
constexpr std::size_t kRecordHeadSize = 24;  // up to and including the name
constexpr std::size_t kNameSize = 16;
constexpr std::size_t kFmPartSize = 31;
constexpr std::size_t kPcmPartSize = 16;

void ShowError(const char* text) {
    ShowMessage(text, "Error", MessageIcon::Error);
}

std::optional<ByteVector> ReadVoiceSetFile(const std::filesystem::path& path) {
    ReadFailure failure{};
    std::optional<ByteVector> bytes = ReadWholeFile(path, failure);
    if (!bytes) {
        const ReadFailureTexts texts = {
            "DefMA3_16.vm3 couldn't open\nIt isn't required, but there are some affections.",
            "Couldn't allocate memory", "Couldn't read correctly", TooLargeToReadText()};
        ShowError(texts[static_cast<std::size_t>(failure)].c_str());
    }
    return bytes;
}

std::uint8_t Bits(BitReader& reader, unsigned count) {
    return static_cast<std::uint8_t>(ReadBits(reader, count));
}

bool Flag(BitReader& reader) {
    return ReadBits(reader, 1) != 0;
}

void ReadFmOperator(BitReader& reader, VoiceOperator& op) {
    op.sr = Bits(reader, 4);
    op.xof = Flag(reader);
    ReadBits(reader, 1);
    op.sus = Flag(reader);
    op.ksr = Flag(reader);
    op.rr = Bits(reader, 4);
    op.dr = Bits(reader, 4);
    op.ar = Bits(reader, 4);
    op.sl = Bits(reader, 4);
    op.tl = Bits(reader, 6);
    op.ksl = Bits(reader, 2);
    op.amDepth = Bits(reader, 3);
    op.amEnable = Flag(reader);
    op.vibDepth = Bits(reader, 3);
    op.vibEnable = Flag(reader);
    op.multi = Bits(reader, 4);
    ReadBits(reader, 1);
    op.dt = Bits(reader, 3);
    op.ws = Bits(reader, 5);
    op.fb = Bits(reader, 3);
}

void ReadFmPart(Bytes part, Voice& voice) {
    BitReader reader = NewBitReader(part);
    voice.drumKey = Bits(reader, 8);
    voice.panpot = Bits(reader, 5);
    ReadBits(reader, 3);
    voice.lfo = Bits(reader, 2);
    voice.panpotEnable = Flag(reader);
    ReadBits(reader, 2);
    voice.algorithm = Bits(reader, 3);
    for (VoiceOperator& op : voice.operators) {
        ReadFmOperator(reader, op);
    }
}

void ReadPcmPart(Bytes part, Voice& voice) {
    BitReader reader = NewBitReader(part);
    VoiceOperator& op = voice.operators[0];
    voice.waveWord1 = ReadBits(reader, 16);
    voice.panpot = Bits(reader, 5);
    ReadBits(reader, 2);
    voice.panpotEnable = Flag(reader);
    voice.lfo = Bits(reader, 2);
    ReadBits(reader, 6);
    op.sr = Bits(reader, 4);
    op.xof = Flag(reader);
    ReadBits(reader, 1);
    op.sus = Flag(reader);
    ReadBits(reader, 1);
    op.rr = Bits(reader, 4);
    op.dr = Bits(reader, 4);
    op.ar = Bits(reader, 4);
    op.sl = Bits(reader, 4);
    op.tl = Bits(reader, 6);
    ReadBits(reader, 2);
    ReadBits(reader, 1);
    op.amDepth = Bits(reader, 2);
    op.amEnable = Flag(reader);
    ReadBits(reader, 1);
    op.vibDepth = Bits(reader, 2);
    op.vibEnable = Flag(reader);
    ReadBits(reader, 16);
    voice.waveWord2 = ReadBits(reader, 16);
    voice.waveWord3 = ReadBits(reader, 16);
    voice.waveFlag = Flag(reader);
    ReadBits(reader, 4);
    voice.waveBits = Bits(reader, 3);
}

std::size_t PartSize(int type) {
    switch (type) {
        case kVoiceTypeFm:
            return kFmPartSize;
        case kVoiceTypePcm:
            return kPcmPartSize;
        default:
            return 0;
    }
}

// Reads the record at the start of `record` (which runs to the end of the file) into a voice; none
// when the bytes its type needs are not all there.
std::optional<Voice> ReadRecord(Bytes record) {
    if (record.size() < kRecordHeadSize) {
        return std::nullopt;
    }
    Voice voice;
    voice.bankMsb = record[3];
    voice.bankLsb = record[4];
    voice.program = record[5];
    voice.note = record[6];
    voice.type = record[7];
    std::copy_n(record.begin() + 8, kNameSize, voice.name.begin());
    const std::size_t partSize = PartSize(voice.type);
    if (record.size() < kRecordHeadSize + partSize) {
        return std::nullopt;
    }
    Bytes part = record.subspan(kRecordHeadSize, partSize);
    if (voice.type == kVoiceTypeFm) {
        ReadFmPart(part, voice);
    } else if (voice.type == kVoiceTypePcm) {
        ReadPcmPart(part, voice);
    }
    return voice;
}

}  // namespace

void VoiceSet::LoadVoiceSetBytes(Bytes file) {
    if (file.size() < 4 || !BytesEqual(file.first(4), "FMM3")) {
        ShowError("This is not FMM3");
        return;
    }
    ByteReader header(file.subspan(4));
    const std::optional<std::uint32_t> recordAreaSize = header.ReadU32BigEndian();
    if (!recordAreaSize) {
        return;
    }
    // Every record moves on by at least 3 bytes, and one that does not fit ends the walk, so the
    // walk ends within the file whatever the sizes claim.
    for (std::size_t r = kFileHeaderSize; r - kFileHeaderSize < *recordAreaSize;) {
        std::optional<Voice> voice = ReadRecord(file.subspan(std::min(r, file.size())));
        if (!voice) {
            return;
        }
        voiceTable_.push_back(*voice);
        r += 3 + std::size_t{file[r + 2]};
    }
}

void VoiceSet::LoadVoiceSet(const std::filesystem::path& path) {
    if (std::optional<ByteVector> file = ReadVoiceSetFile(path)) {
        LoadVoiceSetBytes(*file);
    }
}

}  // namespace rolvik
