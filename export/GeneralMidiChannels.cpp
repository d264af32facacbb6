#include "GeneralMidiChannels.h"

#include <optional>

#include "core/SmafExclusive.h"

namespace rolvik {
namespace {

constexpr std::uint8_t kParameterChangeKind = 0x10;  // high nibble of the byte after the maker
constexpr std::uint8_t kBankSelectMsb = 0;

struct ChannelUse {
    std::bitset<16> used;    // has a channel event
    std::bitset<16> drum;    // selected the drum bank at some point
    std::bitset<16> melody;  // selected the melody bank at some point
};

ChannelUse FindChannelUse(const Smaf& document) {
    ChannelUse use;
    for (const Event* event = document.events.get(); event; event = event->next.get()) {
        if (event->status < kNoteOff || event->status >= kExclusive) {
            continue;
        }
        const std::uint8_t channel = EventChannel(*event);
        use.used.set(channel);
        if (StatusKind(event->status) != kControlChange || event->data.size() < 2 ||
            event->data[0] != kBankSelectMsb) {
            continue;
        }
        if (event->data[1] == kDrumBank) {
            use.drum.set(channel);
        } else if (event->data[1] == kMelodyBank) {
            use.melody.set(channel);
        }
    }
    return use;
}

bool PlaysMelodyOnDrumChannel(const ChannelUse& use, const HandyPhoneChannels& handyPhone) {
    if (handyPhone.all[kGeneralMidiDrumChannel]) {
        return !handyPhone.rhythm[kGeneralMidiDrumChannel];
    }
    return use.melody[kGeneralMidiDrumChannel] && !use.drum[kGeneralMidiDrumChannel];
}

// A channel no other source channel plays on once the drums have moved: one they left first.
std::optional<std::uint8_t> FreeChannel(const ChannelMap& channels, const ChannelUse& use) {
    for (const bool vacatedOnly : {true, false}) {
        for (std::uint8_t channel = 0; channel < channels.size(); ++channel) {
            const bool vacated = channels[channel] != channel;
            const bool free = vacatedOnly ? vacated : !use.used[channel];
            if (channel != kGeneralMidiDrumChannel && free) {
                return channel;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

ChannelMap IdentityChannels() {
    ChannelMap channels{};
    for (std::uint8_t channel = 0; channel < channels.size(); ++channel) {
        channels[channel] = channel;
    }
    return channels;
}

ChannelMap GeneralMidiChannels(const Smaf& document, const HandyPhoneChannels& handyPhone) {
    const ChannelUse use = FindChannelUse(document);
    const std::bitset<16> drums = use.drum | handyPhone.rhythm;
    ChannelMap channels = IdentityChannels();
    for (std::uint8_t channel = 0; channel < channels.size(); ++channel) {
        if (drums[channel]) {
            channels[channel] = kGeneralMidiDrumChannel;
        }
    }
    if (PlaysMelodyOnDrumChannel(use, handyPhone)) {
        channels[kGeneralMidiDrumChannel] =
            FreeChannel(channels, use).value_or(kGeneralMidiDrumChannel);
    }
    return channels;
}

bool IsChipExclusive(Bytes body) {
    return body.size() >= 2 && body[0] == kYamahaId && (body[1] & 0xF0) != kParameterChangeKind;
}

}  // namespace rolvik
