#include "HandyPhoneCompiling.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "HandyPhoneVoice.h"
#include "Number.h"
#include "RegisterPitch.h"
#include "ScoreTrack.h"
#include "SevenBitGroups.h"
#include "SmafExclusive.h"

namespace rolvik {
namespace {

constexpr std::uint8_t kFullVelocity = 127;
constexpr int kBendCentre = 8192;
constexpr double kBendPerSemitone = 4096.0;  // the players' bend range is 2 semitones
constexpr double kBendRangeSemitones = 2.0;
constexpr int kKeyOnBit = 0x20;
constexpr std::size_t kChannels = 16;

ByteVector ExclusiveData(Bytes body) {
    ByteVector data;
    WriteNumber(data, static_cast<std::uint32_t>(body.size()));
    data.insert(data.end(), body.begin(), body.end());
    return data;
}

CompiledEvent MobileVoiceDefinition(const HandyPhoneVoice& voice) {
    ByteVector body = {kYamahaId,
                       kSmafDeviceId,
                       kModelMa3,
                       kMemoryMessage,
                       kVoiceDefinition,
                       kMelodyBank,
                       HandyPhoneBankLsb(voice.bank),
                       voice.program,
                       0x00 /* note */,
                       0x00 /* FM */};
    const ByteVector packed = PackSevenBitGroups(voice.parameters);
    body.insert(body.end(), packed.begin(), packed.end());
    body.push_back(0xF7);
    return {0xF0, ExclusiveData(body)};
}

CompiledEvent Note(std::uint8_t channel, std::uint8_t key, std::uint32_t gateMs) {
    ByteVector data = {key, kFullVelocity};
    WriteNumber(data, gateMs);
    return {static_cast<std::uint8_t>(0x90 | channel), std::move(data)};
}

CompiledEvent Bend(std::uint8_t channel, int value) {
    value = std::clamp(value, 0, 16383);
    return {static_cast<std::uint8_t>(0xE0 | channel),
            {static_cast<std::uint8_t>(value & 0x7F), static_cast<std::uint8_t>(value >> 7)}};
}

// A register write's address and value; none for any other exclusive.
struct RegisterWrite {
    std::uint8_t address = 0;
    std::uint8_t value = 0;
};

std::optional<RegisterWrite> ReadRegisterWrite(const Event& event) {
    if (event.status != 0xF0) {
        return std::nullopt;
    }
    const Bytes body = ExclusiveBody(event.data);
    if (body.size() != 6 || body[0] != kYamahaId || body[1] != kHandyPhoneDeviceId ||
        body[2] != kRegisterWrite || body[5] != 0xF7) {
        return std::nullopt;
    }
    return RegisterWrite{body[3], body[4]};
}

// What the FM registers of one channel hold, and the compiled note they sound, if any.
struct RegisterChannel {
    std::uint16_t fNumber = 0;
    std::uint8_t block = 0;
    // The note sounding: where it is in the output (to give it its gate when it ends), its key,
    // and its start.
    std::optional<std::size_t> heldEvent;
    std::size_t heldPiece = 0;
    std::uint8_t heldKey = 0;
    std::uint32_t heldSinceMs = 0;
};

class Translator {
  public:
    std::vector<std::vector<CompiledEvent>> Translate(const Event* first) {
        for (const Event* event = first; event; event = event->next.get()) {
            lastTimeMs_ = event->time;
            output_.emplace_back();
            TranslateEvent(*event);
        }
        for (std::size_t channel = 0; channel < kChannels; ++channel) {
            EndHeldNote(channel, lastTimeMs_);
        }
        return std::move(output_);
    }

  private:
    std::vector<CompiledEvent>& Current() { return output_.back(); }

    void TranslateEvent(const Event& event) {
        const std::uint8_t kind = event.status & 0xF0;
        const std::uint8_t channel = EventChannel(event);
        if (event.status == 0xF0) {
            TranslateExclusive(event);
        } else if (kind == 0x80 && !event.data.empty()) {
            RestoreSongBend(channel);
            Current().push_back(Note(channel, event.data[0], EventGate(event)));
        } else if (kind == 0x90 && !event.data.empty()) {
            RestoreSongBend(channel);
            Current().push_back({event.status, ByteVector(event.data.begin(), event.data.end())});
        } else if (kind == 0xB0 && event.data.size() >= 2 && event.data[0] == 0x00) {
            Current().push_back({event.status, {0x00, kMelodyBank}});
            Current().push_back({event.status, {0x20, HandyPhoneBankLsb(event.data[1])}});
        } else if (kind == 0xE0 && event.data.size() >= 2) {
            songBend_[channel] = (event.data[0] & 0x7F) | (event.data[1] & 0x7F) << 7;
            writtenBend_[channel] = songBend_[channel];
            Current().push_back({event.status, ByteVector(event.data.begin(), event.data.end())});
        } else {
            Current().push_back({event.status, ByteVector(event.data.begin(), event.data.end())});
        }
    }

    void TranslateExclusive(const Event& event) {
        const Bytes body = ExclusiveBody(event.data);
        if (const auto write = ReadRegisterWrite(event)) {
            WriteRegister(*write, event.time);
            return;
        }
        if (!body.empty() && body.back() == 0xF7) {
            if (const auto voice = ReadHandyPhoneVoice(body.first(body.size() - 1))) {
                Current().push_back(MobileVoiceDefinition(*voice));
                return;
            }
        }
        Current().push_back({event.status, ByteVector(event.data.begin(), event.data.end())});
    }

    // B0+n hold the low 8 bits of channel n's F-number; C0+n key-on (bit 5), the block (bits 4-2)
    // and the F-number's top 2 bits. A key-on strikes a note; while it is held, the pitch follows
    // every new frequency; a write that clears key-on ends it.
    void WriteRegister(const RegisterWrite& write, std::uint32_t timeMs) {
        const std::size_t channel = write.address & 0x0F;
        RegisterChannel& state = registers_[channel];
        const int kind = write.address & 0xF0;
        if (kind == 0xB0) {
            state.fNumber = static_cast<std::uint16_t>((state.fNumber & 0x300) | write.value);
        } else if (kind == 0xC0) {
            state.fNumber =
                static_cast<std::uint16_t>((state.fNumber & 0xFF) | (write.value & 0x03) << 8);
            state.block = static_cast<std::uint8_t>((write.value >> 2) & 0x07);
        } else {
            return;
        }
        if (kind == 0xC0 && (write.value & kKeyOnBit) == 0) {
            EndHeldNote(channel, timeMs);
            return;
        }
        const std::optional<double> pitch = RegisterPitch(state.fNumber, state.block);
        if (!pitch) {
            return;
        }
        if (state.heldEvent) {
            const double offset = *pitch - state.heldKey;
            if (std::abs(offset) <= kBendRangeSemitones) {
                WriteBend(channel, offset);
                return;
            }
            if (state.heldSinceMs == timeMs) {
                // Writes of one moment that move a note just struck leave one note, at the
                // frequency they end with.
                RekeyHeldNote(channel, *pitch);
                return;
            }
            EndHeldNote(channel, timeMs);
        } else if (kind != 0xC0) {
            return;
        }
        StartNote(channel, *pitch, timeMs);
    }

    static std::uint8_t NearestKey(double pitch) {
        return static_cast<std::uint8_t>(std::clamp(std::lround(pitch), 0l, 127l));
    }

    void StartNote(std::size_t channel, double pitch, std::uint32_t timeMs) {
        RegisterChannel& state = registers_[channel];
        state.heldKey = NearestKey(pitch);
        WriteBend(channel, pitch - state.heldKey);
        state.heldEvent = output_.size() - 1;
        state.heldPiece = Current().size();
        state.heldSinceMs = timeMs;
        Current().push_back(Note(static_cast<std::uint8_t>(channel), state.heldKey, 0));
    }

    void RekeyHeldNote(std::size_t channel, double pitch) {
        RegisterChannel& state = registers_[channel];
        state.heldKey = NearestKey(pitch);
        output_[*state.heldEvent][state.heldPiece] =
            Note(static_cast<std::uint8_t>(channel), state.heldKey, 0);
        WriteBend(channel, pitch - state.heldKey);
    }

    void EndHeldNote(std::size_t channel, std::uint32_t timeMs) {
        RegisterChannel& state = registers_[channel];
        if (!state.heldEvent) {
            return;
        }
        CompiledEvent& note = output_[*state.heldEvent][state.heldPiece];
        note = Note(static_cast<std::uint8_t>(channel), state.heldKey, timeMs - state.heldSinceMs);
        state.heldEvent.reset();
    }

    // The song's own bend on the channel moves register notes too: it adds to their offset.
    void WriteBend(std::size_t channel, double offsetSemitones) {
        const int value =
            songBend_[channel] + static_cast<int>(std::lround(offsetSemitones * kBendPerSemitone));
        if (value != writtenBend_[channel]) {
            Current().push_back(Bend(static_cast<std::uint8_t>(channel), value));
            writtenBend_[channel] = value;
        }
    }

    // A note that is no register note hears only the song's own bend.
    void RestoreSongBend(std::size_t channel) {
        if (writtenBend_[channel] != songBend_[channel] && !registers_[channel].heldEvent) {
            Current().push_back(Bend(static_cast<std::uint8_t>(channel), songBend_[channel]));
            writtenBend_[channel] = songBend_[channel];
        }
    }

    std::vector<std::vector<CompiledEvent>> output_;
    std::array<RegisterChannel, kChannels> registers_{};
    std::array<int, kChannels> songBend_ = MakeCentred();
    std::array<int, kChannels> writtenBend_ = MakeCentred();
    std::uint32_t lastTimeMs_ = 0;

    static std::array<int, kChannels> MakeCentred() {
        std::array<int, kChannels> bends{};
        bends.fill(kBendCentre);
        return bends;
    }
};

}  // namespace

std::vector<std::vector<CompiledEvent>> TranslateHandyPhoneEvents(const Event* first) {
    return Translator().Translate(first);
}

}  // namespace rolvik
