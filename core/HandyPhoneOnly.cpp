#include "HandyPhoneOnly.h"

#include "ScoreTrack.h"

namespace rolvik {

bool IsHandyPhoneOnly(const FileView& file) {
    bool handyPhoneTrack = false;
    for (const ScoreTrackView& track : file.scoreTracks) {
        if (track.formatType == kMobileStandardCompressed || track.formatType == kMobileStandard) {
            return false;
        }
        handyPhoneTrack = handyPhoneTrack || track.formatType == kHandyPhoneStandard;
    }
    return handyPhoneTrack;
}

bool IsHandyPhoneOnly(Bytes fileImage) {
    return IsHandyPhoneOnly(ViewFile(fileImage));
}

}  // namespace rolvik
