#include "HandyPhoneChannels.h"

#include "core/Chunk.h"
#include "core/ScoreTrack.h"
#include "core/ScoreTrackWalker.h"

namespace rolvik {
namespace {

constexpr std::size_t kChannelStatusAt = 4;  // two bytes, two channels each
constexpr std::uint8_t kRhythm = 3;

// ChType of a track channel: bits 5-4 of its status nibble, the first channel in the high nibble.
std::uint8_t ChannelType(Bytes header, unsigned trackChannel) {
    const std::uint8_t status = header[kChannelStatusAt + trackChannel / 2];
    const unsigned shift = trackChannel % 2 == 0 ? 4 : 0;
    return (status >> shift) & 0x03;
}

bool SelectsDrumBank(const Event& event) {
    constexpr std::uint8_t kBankSelectMsb = 0;
    constexpr std::uint8_t kDrumBankBit = 0x80;
    return (event.status & 0xF0) == 0xB0 && event.data.size() >= 2 &&
           event.data[0] == kBankSelectMsb && (event.data[1] & kDrumBankBit) != 0;
}

}  // namespace

HandyPhoneChannels FindHandyPhoneChannels(const Smaf& document) {
    HandyPhoneChannels channels;
    ScoreTrackWalker tracks(FileChunkRun(document.fileData));
    while (const auto track = tracks.Next()) {
        const Bytes header = track->chunk.contents;
        if (header.size() >= kHandyPhoneHeaderSize && header[0] == kHandyPhoneStandard) {
            for (unsigned trackChannel = 0; trackChannel < kChannelsPerHandyPhoneTrack;
                 ++trackChannel) {
                const unsigned channel = (track->channelBase + trackChannel) % 16;
                channels.all.set(channel);
                channels.rhythm.set(channel, ChannelType(header, trackChannel) == kRhythm);
            }
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
