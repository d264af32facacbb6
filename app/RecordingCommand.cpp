// File → New from Recording: a ringtone made from a recording as `rolvik-cli encode` makes it (its
// texts left empty), shown as a new document that Save writes.

#include <QFile>

#include "MainWindow.h"
#include "core/Loader.h"
#include "core/ShowMessage.h"
#include "import/RecordingRingtone.h"

namespace rolvik {

void MainWindow::NewFromRecording() {
    if (!MayDiscardEdits()) {
        return;
    }
    const std::optional<RecordingChoice> choice = hooks_.askRecording(this);
    if (!choice) {
        return;
    }
    RingtoneOptions options;
    options.rateHz = choice->rateHz;
    RingtoneResult made =
        RecordingToRingtone(QFile::encodeName(choice->path).toStdString(), options);
    if (!made.file) {
        ShowMessage(made.message, "Error", MessageIcon::Error);
        return;
    }
    auto smaf = CreateSmaf(0, 0);
    smaf->fileData = std::move(*made.file);
    if (!rolvik::LoadSmaf(*smaf)) {
        return;
    }
    CloseDocument();
    session_.Adopt(std::move(smaf));
    ShowDocument();
}

}  // namespace rolvik
