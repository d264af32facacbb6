// The main window's File → Export... and Convert Folder...: the same work as `rolvik-cli render`,
// `midi`, `report --json` and `convert`, with the long parts off the GUI thread.

#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QMessageBox>
#include <memory>
#include <sstream>

#include "BackgroundWork.h"
#include "DocumentCommands.h"
#include "ExportTypes.h"
#include "MainWindow.h"
#include "UserSettings.h"
#include "convert/ConvertBatch.h"
#include "convert/SongAudio.h"
#include "convert/SongTags.h"
#include "core/FileIO.h"
#include "core/ShowMessage.h"
#include "export/MidiExport.h"
#include "report/DetailReport.h"
#include "report/ReportJson.h"
#include "synth/Song.h"
#include "ui/pianoroll/PianoRoll.h"

namespace rolvik {
namespace {

constexpr const char* kLoadFailedText = "Load failed!\nMay be incorrect SMAF specified.(CRC etc.)";

struct AudioExport {
    ByteVector smafFile;
    AudioSettings settings;
    std::filesystem::path path;
    std::string error;
};

void RenderAudioExport(AudioExport& job, WorkControl& control) {
    const std::unique_ptr<synth::Song> song = synth::LoadSong(job.smafFile);
    if (!song) {
        job.error = kLoadFailedText;
        return;
    }
    WriteSongAudio(
        *song, job.settings, SongTags(job.smafFile),
        [&control](double done) {
            control.done = done;
            return !control.cancelled;
        },
        job.path, job.error);
}

ByteVector DocumentBytes(const Smaf& document, const ExportType& type) {
    if (type.format == ConvertFormat::Mid) {
        return ExportMidi(document, {.generalMidi = type.generalMidi});
    }
    std::ostringstream json;
    WriteReportAsJson(json, BuildDetailReport(&document, 0));
    const std::string text = json.str();
    return ByteVector(text.begin(), text.end());
}

QString SummaryText(const BatchSummary& summary) {
    return QStringLiteral("%1 converted, %2 failed, %3 skipped%4")
        .arg(summary.converted)
        .arg(summary.failed)
        .arg(summary.skipped)
        .arg(summary.stopped ? QStringLiteral(" (cancelled)") : QString());
}

QString FailureList(const BatchSummary& summary) {
    QStringList lines;
    for (const ConvertFailure& failure : summary.failures) {
        lines << QFile::decodeName(failure.input.c_str()) + QStringLiteral(": ") +
                     QString::fromStdString(failure.reason);
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace

void MainWindow::ExportDocument() {
    if (!document()) {
        ShowMessage("SMAF not opened", "Error", MessageIcon::Error);
        return;
    }
    QString chosenFilter;
    QString path = hooks_.askExportPath(this, chosenFilter);
    if (path.isEmpty()) {
        return;
    }
    const std::optional<ExportType> type = ExportTypeFor(path, chosenFilter);
    if (!type) {
        ShowMessage("Can't export to this kind of file:\n" + QFile::encodeName(path).toStdString(),
                    "Error", MessageIcon::Error);
        return;
    }
    if (!documents_->TakeInEditsBeforeSave()) {
        return;
    }
    RememberFolderOf(path);
    const std::filesystem::path target = QFile::encodeName(path).toStdString();
    if (!AudioFormatOf(type->format)) {
        std::string error;
        if (!WriteFileAtomically(target, DocumentBytes(*document(), *type), error)) {
            ShowMessage(error, "Error", MessageIcon::Error);
        }
        return;
    }
    if (document()->fileData.empty()) {
        ShowMessage("SMAF not compiled", "Error", MessageIcon::Error);
        return;
    }
    const std::optional<RingtoneChoice> ringtone = hooks_.askRingtone(this, RememberedRingtone());
    if (!ringtone) {
        return;
    }
    RememberRingtone(*ringtone);
    auto job = std::make_shared<AudioExport>();
    job->smafFile = document()->fileData;
    job->settings.format = *AudioFormatOf(type->format);
    ApplyRingtoneChoice(*ringtone, job->settings.render);
    job->path = target;
    BackgroundWork::Start(
        this, QStringLiteral("Exporting %1").arg(QFileInfo(path).fileName()),
        [job](WorkControl& control) { RenderAudioExport(*job, control); },
        [job] {
            if (!job->error.empty()) {
                ShowMessage(job->error, "Error", MessageIcon::Error);
            }
        });
}

void MainWindow::ConvertFolder() {
    const QString folder =
        QFileDialog::getExistingDirectory(this, QStringLiteral("Convert Folder"), LastFolder());
    if (folder.isEmpty()) {
        return;
    }
    QStringList labels;
    for (const ExportType& type : ExportTypes()) {
        labels << QString::fromLatin1(type.filter);
    }
    bool chosen = false;
    const QString label = QInputDialog::getItem(this, QStringLiteral("Convert Folder"),
                                                QStringLiteral("Convert every song into:"), labels,
                                                0, false, &chosen);
    const QString destination =
        chosen ? QFileDialog::getExistingDirectory(this, QStringLiteral("Destination"), folder)
               : QString();
    if (destination.isEmpty()) {
        return;
    }
    ConvertSettings settings;
    for (const ExportType& type : ExportTypes()) {
        if (label == QString::fromLatin1(type.filter)) {
            settings.format = type.format;
            settings.generalMidi = type.generalMidi;
        }
    }
    auto plan = std::make_shared<ConvertPlan>(
        PlanConversion({QFile::encodeName(folder).toStdString()}, settings.format,
                       std::filesystem::path(QFile::encodeName(destination).toStdString())));
    auto summary = std::make_shared<BatchSummary>();
    const unsigned jobs = std::max(1u, std::thread::hardware_concurrency());
    BackgroundWork::Start(
        this, QStringLiteral("Converting %1 files into %2").arg(plan->items.size()).arg(label),
        [plan, summary, settings, jobs](WorkControl& control) {
            std::size_t done = 0;
            const BatchObserver observer{
                {}, [&](std::size_t, const FileResult&) {
                    control.done =
                        static_cast<double>(++done) /
                        static_cast<double>(std::max<std::size_t>(1, plan->items.size()));
                }};
            *summary = RunBatch(*plan, settings, jobs, control.cancelled, observer);
        },
        [this, summary] {
            QMessageBox box(QMessageBox::Information, QStringLiteral("Convert Folder"),
                            SummaryText(*summary), QMessageBox::Ok, this);
            if (!summary->failures.empty()) {
                box.setDetailedText(FailureList(*summary));
            }
            box.exec();
        });
}

}  // namespace rolvik
