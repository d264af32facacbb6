#pragma once

#include <QString>
#include <cstdint>
#include <optional>

class QWidget;

namespace rolvik {

// What File → New from Recording works from: an audio file and the rate of the audio track.
struct RecordingChoice {
    QString path;
    std::uint32_t rateHz = 0;
};

// Asks for the audio file, then for one of the rates an audio track states (8000 Hz offered
// first); none when either question is cancelled.
std::optional<RecordingChoice> AskRecording(QWidget* owner);

}  // namespace rolvik
