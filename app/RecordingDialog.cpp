#include "RecordingDialog.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QStringList>

#include "UserSettings.h"
#include "core/AudioTrack.h"
#include "import/RecordingRingtone.h"

namespace rolvik {

std::optional<RecordingChoice> AskRecording(QWidget* owner) {
    RecordingChoice choice;
    choice.path = QFileDialog::getOpenFileName(
        owner, QStringLiteral("New from Recording"), LastFolder(),
        QStringLiteral("Recordings (*.wav *.flac *.ogg *.opus *.mp3);;All files (*)"));
    if (choice.path.isEmpty()) {
        return std::nullopt;
    }
    QStringList rates;
    int preferred = 0;
    for (const std::uint32_t rateHz : kAudioTrackRatesHz) {
        if (rateHz == kDefaultRecordingRateHz) {
            preferred = static_cast<int>(rates.size());
        }
        rates << QStringLiteral("%1 Hz").arg(rateHz);
    }
    bool accepted = false;
    const QString rate = QInputDialog::getItem(owner, QStringLiteral("New from Recording"),
                                               QStringLiteral("Rate of the audio track:"), rates,
                                               preferred, false, &accepted);
    if (!accepted) {
        return std::nullopt;
    }
    choice.rateHz = kAudioTrackRatesHz[static_cast<std::size_t>(rates.indexOf(rate))];
    return choice;
}

}  // namespace rolvik
