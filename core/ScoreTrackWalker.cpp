#include "ScoreTrackWalker.h"

#include "ScoreTrack.h"

namespace rolvik {

std::optional<ScoreTrackWalker::Track> ScoreTrackWalker::Next() {
    while (auto entry = chunks_.Next()) {
        if (BytesEqual(entry->id.first(3), "MTR")) {
            Track track{entry->chunk, channelBase_};
            channelBase_ += kChannelsPerHandyPhoneTrack;
            return track;
        }
    }
    return std::nullopt;
}

}  // namespace rolvik
