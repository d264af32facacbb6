#include "GeneralMidiChannels.h"

#include <bitset>

namespace rolvik {
namespace {

constexpr std::uint8_t kYamahaId = 0x43;
constexpr std::uint8_t kParameterChangeKind = 0x10;  // high nibble of the byte after the maker
constexpr std::uint8_t kBankSelectMsb = 0;

struct BankSelections {
    std::bitset<16> drum;   // selected the drum bank at some point
    std::bitset<16> other;  // selected some other bank at some point
};

BankSelections FindBankSelections(const Smaf& document) {
    BankSelections selections;
    for (const Event* event = document.events.get(); event; event = event->next.get()) {
        if ((event->status & 0xF0) != 0xB0 || event->data.size() < 2 ||
            event->data[0] != kBankSelectMsb) {
            continue;
        }
        if (event->data[1] == kDrumBank) {
            selections.drum.set(EventChannel(*event));
        } else {
            selections.other.set(EventChannel(*event));
        }
    }
    return selections;
}

}  // namespace

ChannelMap IdentityChannels() {
    ChannelMap channels{};
    for (std::uint8_t channel = 0; channel < channels.size(); ++channel) {
        channels[channel] = channel;
    }
    return channels;
}

ChannelMap GeneralMidiChannels(const Smaf& document) {
    const BankSelections selections = FindBankSelections(document);
    ChannelMap channels = IdentityChannels();
    const bool drumsOnNine =
        selections.drum[kGeneralMidiDrumChannel] || !selections.other[kGeneralMidiDrumChannel];
    int firstMoved = -1;
    for (std::uint8_t channel = 0; channel < channels.size(); ++channel) {
        if (channel != kGeneralMidiDrumChannel && selections.drum[channel]) {
            channels[channel] = kGeneralMidiDrumChannel;
            if (firstMoved < 0) {
                firstMoved = channel;
            }
        }
    }
    if (firstMoved >= 0 && !drumsOnNine) {
        channels[kGeneralMidiDrumChannel] = static_cast<std::uint8_t>(firstMoved);
    }
    return channels;
}

bool IsChipExclusive(Bytes body) {
    return body.size() >= 2 && body[0] == kYamahaId && (body[1] & 0xF0) != kParameterChangeKind;
}

}  // namespace rolvik
