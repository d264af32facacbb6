#include "HandyPhoneChannels.h"

#include "core/FileView.h"
#include "core/ScoreTrack.h"

namespace rolvik {
namespace {

// ChType of a track channel: the low two bits of its status nibble.
std::uint8_t ChannelType(const ScoreTrackView& track, unsigned trackChannel) {
    return HandyPhoneChannelStatus(track.channelStatus, trackChannel) & kChannelTypeBits;
}

bool SelectsDrumBank(const Event& event) {
    constexpr std::uint8_t kBankSelectMsb = 0;
    constexpr std::uint8_t kDrumBankBit = 0x80;
    return StatusKind(event.status) == kControlChange && event.data.size() >= 2 &&
           event.data[0] == kBankSelectMsb && (event.data[1] & kDrumBankBit) != 0;
}

}  // namespace

HandyPhoneChannels FindHandyPhoneChannels(const Smaf& document) {
    HandyPhoneChannels channels;
    for (const ScoreTrackView& track : ViewFile(document.fileData).scoreTracks) {
        if (!track.wholeHeader || track.formatType != kHandyPhoneStandard) {
            continue;
        }
        for (unsigned trackChannel = 0; trackChannel < kChannelsPerHandyPhoneTrack;
             ++trackChannel) {
            const unsigned channel = (track.channelBase + trackChannel) % 16;
            channels.all.set(channel);
            channels.rhythm.set(channel, ChannelType(track, trackChannel) == kRhythmChannel);
        }
    }
    for (const Event* event = document.events.get(); event; event = event->next.get()) {
        if (SelectsDrumBank(*event) && channels.all[EventChannel(*event)]) {
            channels.rhythm.set(EventChannel(*event));
        }
    }
    return channels;
}

}  // namespace rolvik
