#include "AudioTrack.h"

#include <array>
#include <optional>

#include "Adpcm.h"
#include "ByteReader.h"
#include "Chunk.h"
#include "Number.h"
#include "SeekPoints.h"
#include "Timebase.h"

namespace rolvik {
namespace {

// Header: format type, sequence type, wave type (two bytes), timebases of durations and gates.
constexpr std::size_t kHeaderSize = 6;
// First wave-type byte: bit 7 two channels, bits 6-4 the coding (1: ADPCM), bits 3-0 the rate.
constexpr std::uint8_t kMonoAdpcm = 0x10;

// Control kinds of the three-byte form.
constexpr std::uint8_t kVolumeControl = 0x7;
constexpr std::uint8_t kPanpotControl = 0xA;
constexpr std::uint8_t kExpressionControl = 0xB;
// The two-byte control of form 0 sets the expression in steps of 8.
constexpr std::uint8_t kShortExpressionForm = 0;

struct Timebases {
    std::uint32_t durationMs;
    std::uint32_t gateMs;
};

std::optional<std::uint32_t> RateHz(std::uint8_t waveType) {
    const std::uint8_t rateClass = waveType & 0x0F;
    if ((waveType & 0xF0) != kMonoAdpcm || rateClass >= kAudioTrackRatesHz.size()) {
        return std::nullopt;
    }
    return kAudioTrackRatesHz[rateClass];
}

std::optional<AudioEvent> ControlEvent(std::uint8_t control, std::optional<std::uint8_t> value) {
    AudioEvent event;
    event.channel = control >> 6;
    const int form = (control >> 4) & 0x03;
    if (form != 3) {
        if (form != kShortExpressionForm) {
            return std::nullopt;
        }
        event.kind = AudioEvent::Kind::Expression;
        event.value = static_cast<std::uint8_t>((control & 0x0F) * 8);
        return event;
    }
    switch (control & 0x0F) {
        case kVolumeControl:
            event.kind = AudioEvent::Kind::Volume;
            break;
        case kPanpotControl:
            event.kind = AudioEvent::Kind::Panpot;
            break;
        case kExpressionControl:
            event.kind = AudioEvent::Kind::Expression;
            break;
        default:
            return std::nullopt;
    }
    event.value = static_cast<std::uint8_t>(*value & 0x7F);
    return event;
}

// Walks the trigger sequence: a duration, then an event whose first byte says what it is (0x00 a
// control, 0xFF an exclusive or no operation, anything else a wave trigger followed by its gate).
// The stop point ends the walk.
class SequenceReader {
  public:
    SequenceReader(Bytes sequence, Timebases timebases, SeekPoints seek)
        : cursor_(sequence), timebases_(timebases), seek_(seek) {}

    void ReadInto(AudioTrack& track) {
        while (!cursor_.empty()) {
            const std::size_t offset = cursor_.offset();
            const auto duration = ReadShortNumber(cursor_);
            if (!duration) {
                break;
            }
            nowMs_ += *duration * timebases_.durationMs;
            if (seek_.stop == offset || !ReadEvent(track)) {
                break;
            }
        }
        track.endMs = nowMs_;
    }

  private:
    void Add(AudioTrack& track, AudioEvent event) {
        event.timeMs = nowMs_;
        track.events.push_back(event);
    }

    // False at the end of the sequence or at bytes that cannot be read.
    bool ReadEvent(AudioTrack& track) {
        const auto lead = cursor_.ReadByte();
        if (!lead) {
            return false;
        }
        if (*lead == 0x00) {
            return ReadControl(track);
        }
        if (*lead == 0xFF) {
            return SkipExclusiveOrNothing();
        }
        const auto gate = ReadShortNumber(cursor_);
        if (!gate) {
            return false;
        }
        AudioEvent trigger;
        trigger.channel = *lead >> 6;
        trigger.wave = *lead & 0x3F;
        trigger.gateMs = *gate * timebases_.gateMs;
        Add(track, trigger);
        return true;
    }

    bool ReadControl(AudioTrack& track) {
        const auto control = cursor_.ReadByte();
        if (!control || *control == 0x00) {
            return false;  // 00 00: the end of the sequence
        }
        const bool withValue = ((*control >> 4) & 0x03) == 3;
        const std::optional<std::uint8_t> value =
            withValue ? cursor_.ReadByte() : std::optional<std::uint8_t>{0};
        if (!value) {
            return false;
        }
        if (const auto event = ControlEvent(*control, value)) {
            Add(track, *event);
        }
        return true;
    }

    bool SkipExclusiveOrNothing() {
        const auto kind = cursor_.ReadByte();
        if (kind == std::uint8_t{0x00}) {
            return true;
        }
        if (kind != std::uint8_t{0xF0}) {
            return false;
        }
        const auto size = cursor_.ReadByte();
        return size && cursor_.Skip(*size);
    }

    ByteReader cursor_;
    Timebases timebases_;
    SeekPoints seek_;
    std::uint32_t nowMs_ = 0;
};

}  // namespace

std::optional<std::uint8_t> AudioTrackRateClass(std::uint32_t rateHz) {
    for (std::size_t rateClass = 0; rateClass < kAudioTrackRatesHz.size(); ++rateClass) {
        if (kAudioTrackRatesHz[rateClass] == rateHz) {
            return static_cast<std::uint8_t>(rateClass);
        }
    }
    return std::nullopt;
}

bool ReadAudioTrack(Bytes contents, AudioTrack& track) {
    if (contents.size() < kHeaderSize || contents[0] != 0x00) {
        return false;
    }
    const auto rate = RateHz(contents[2]);
    const auto durationMs = TimebaseMs(contents[4]);
    const auto gateMs = TimebaseMs(contents[5]);
    const Bytes run = contents.subspan(kHeaderSize);
    const auto sequence = FindChunk(run, "Atsq");
    if (!rate || !durationMs || !gateMs || !sequence) {
        return false;
    }
    track.rateHz = *rate;
    SeekPoints seek;
    if (const auto info = FindChunk(run, "AspI")) {
        ReadSeekPoints(info->contents, seek);
    }
    ChunkWalker chunks(run);
    while (auto entry = chunks.Next()) {
        if (BytesEqual(entry->id.first(3), "Awa")) {
            track.waves[entry->id[3]] = Wave{*rate, 1, DecodeAdpcm(entry->chunk.contents)};
        }
    }
    SequenceReader(sequence->contents, {*durationMs, *gateMs}, seek).ReadInto(track);
    return true;
}

std::vector<AudioTrack> ReadAudioTracks(const FileView& file) {
    std::vector<AudioTrack> tracks;
    for (const AudioTrackChunk& chunk : file.audioTracks) {
        AudioTrack track;
        if (ReadAudioTrack(chunk.contents, track)) {
            tracks.push_back(std::move(track));
        }
    }
    return tracks;
}

std::vector<AudioTrack> ReadAudioTracks(Bytes image) {
    return ReadAudioTracks(ViewFile(image));
}

}  // namespace rolvik
