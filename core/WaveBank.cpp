#include "WaveBank.h"

#include "Adpcm.h"
#include "ByteReader.h"
#include "Event.h"
#include "Number.h"
#include "ScoreTrack.h"
#include "SevenBitGroups.h"
#include "SmafExclusive.h"

namespace rolvik {
namespace {

// 43 79 model 7F 03 id, then one byte that is not wave data.
constexpr std::size_t kWaveRecordHeadSize = 7;

// Stream wave type: bit 7 set for two channels; the other bits name the coding, and 0x20, 4-bit
// ADPCM, is the only one songs use.
constexpr std::uint8_t kStereo = 0x80;
constexpr std::uint8_t kCodingAndWidth = 0x7F;
constexpr std::uint8_t kFourBitAdpcm = 0x20;

// The setup data is a run of exclusives, F0, the length as a variable-length number, and the
// bytes up to and including F7. Anything else ends the run.
void ReadSetupWaves(Bytes setup, WaveBank& bank) {
    ByteReader cursor(setup);
    while (cursor.ReadByte() == kExclusive) {
        const auto length = ReadNumber(cursor);
        if (!length) {
            return;
        }
        const auto message = cursor.ReadBytes(*length);
        if (!message || message->empty() || message->back() != kEndOfExclusive) {
            return;
        }
        ReadWaveRecord(message->first(message->size() - 1), bank);
    }
}

}  // namespace

const Wave* WaveBank::ForVoice(std::uint8_t id) const {
    if (const auto record = records.find(id); record != records.end()) {
        return &record->second;
    }
    return Stream(id);
}

const Wave* WaveBank::Stream(std::uint8_t number) const {
    const auto stream = streams.find(number);
    return stream != streams.end() ? &stream->second : nullptr;
}

bool ReadWaveRecord(Bytes body, WaveBank& bank) {
    const std::optional<MemoryMessage> message = ReadMemoryMessage(body);
    if (body.size() <= kWaveRecordHeadSize || !message || message->kind != kWaveRecord) {
        return false;
    }
    const std::uint8_t model = message->model;
    const Bytes data = body.subspan(kWaveRecordHeadSize);
    Wave wave;
    wave.samples = model == kModelMa3 ? DecodeAdpcm(UnpackSevenBitGroups(data)) : DecodeAdpcm(data);
    bank.records[body[5]] = std::move(wave);
    return true;
}

bool ReadStreamWave(std::uint8_t number, Bytes contents, WaveBank& bank) {
    ByteReader cursor(contents);
    const auto type = cursor.ReadByte();
    const auto rate = cursor.ReadU16BigEndian();
    if (!type || !rate || *rate == 0 || (*type & kCodingAndWidth) != kFourBitAdpcm) {
        return false;
    }
    Wave wave;
    wave.rateHz = *rate;
    if ((*type & kStereo) != 0) {
        wave.channels = 2;
        wave.samples = DecodeStereoAdpcm(cursor.rest());
    } else {
        wave.samples = DecodeAdpcm(cursor.rest());
    }
    bank.streams[number] = std::move(wave);
    return true;
}

std::vector<StreamWaveChunk> FindStreamWaves(Bytes image) {
    return ViewFile(image).streamWaves;
}

WaveBank ReadWaveBank(const FileView& file) {
    WaveBank bank;
    for (const ScoreTrackView& track : file.scoreTracks) {
        const bool mobileStandard = track.wholeHeader && track.formatType != kHandyPhoneStandard;
        if (mobileStandard && track.setup) {
            ReadSetupWaves(*track.setup, bank);
        }
    }
    for (const StreamWaveChunk& stream : file.streamWaves) {
        ReadStreamWave(stream.number, stream.contents, bank);
    }
    return bank;
}

WaveBank ReadWaveBank(Bytes image) {
    return ReadWaveBank(ViewFile(image));
}

}  // namespace rolvik
