#include "DocumentCommands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include "NoticeBar.h"
#include "UserSettings.h"
#include "core/Loader.h"
#include "core/ShowMessage.h"
#include "import/RecordingRingtone.h"
#include "ui/detail/DetailView.h"
#include "ui/pianoroll/PianoRoll.h"

namespace rolvik {
namespace {

const QString kNewSongName = QStringLiteral("New song");

QString FileNameOf(const std::filesystem::path& path) {
    return QFileInfo(QFile::decodeName(path.c_str())).fileName();
}

// A name typed without an extension gets the one of SMAF files.
QString WithSmafExtension(const QString& path) {
    return QFileInfo(path).suffix().isEmpty() ? path + QStringLiteral(".mmf") : path;
}

// The name the Save dialog offers: the song's own file name, with ".mmf" for a song imported from
// a MIDI file; none for a song that no file holds.
QString SaveNameOf(const std::filesystem::path& songPath) {
    if (songPath.empty()) {
        return {};
    }
    const QFileInfo file(QFile::decodeName(songPath.c_str()));
    if (file.suffix().compare(QStringLiteral("mmf"), Qt::CaseInsensitive) == 0) {
        return file.fileName();
    }
    return file.completeBaseName() + QStringLiteral(".mmf");
}

}  // namespace

DocumentCommands::DocumentCommands(QWidget& owner, const ShellHooks& hooks,
                                   DocumentSession& session, DocumentViews views,
                                   DocumentCommandsListener listener)
    : owner_(owner),
      hooks_(hooks),
      session_(session),
      views_(views),
      listener_(std::move(listener)) {
    UpdateRecentFilesMenu();
}

void DocumentCommands::Load() {
    const QString path = hooks_.askOpenPath(&owner_);
    if (!path.isEmpty()) {
        RememberFolderOf(path);
        Open(QFile::encodeName(path).toStdString());
    }
}

void DocumentCommands::OpenRecentFile(const QString& path) {
    if (!QFileInfo::exists(path)) {
        RemoveRecentFile(path);
        UpdateRecentFilesMenu();
        ShowMessage(QFile::encodeName(QDir::toNativeSeparators(path)).toStdString() +
                        "\nThis file is gone; it is taken off the recent files.",
                    "Notice", MessageIcon::Information);
        return;
    }
    Open(QFile::encodeName(path).toStdString());
}

void DocumentCommands::NoteRecentFile(const std::filesystem::path& path) {
    AddRecentFile(QFile::decodeName(path.c_str()));
    UpdateRecentFilesMenu();
}

// Numbered entries, the most recent first; the menu is disabled while the list is empty.
void DocumentCommands::UpdateRecentFilesMenu() {
    views_.recentFiles.clear();
    const QStringList files = RecentFiles();
    for (qsizetype index = 0; index < files.size(); ++index) {
        const QString& path = files[index];
        QAction* item = views_.recentFiles.addAction(
            QStringLiteral("&%1 %2").arg(index + 1).arg(QDir::toNativeSeparators(path)));
        QObject::connect(item, &QAction::triggered, &owner_,
                         [this, path] { OpenRecentFile(path); });
    }
    views_.recentFiles.setEnabled(!files.isEmpty());
}

// The file's content decides how it opens, not its name. Either way the song that was open stays
// until the new one has loaded (a SMAF file) or been imported and compiled (a MIDI file). The
// notices of the previous open go as this one begins, so the bar shows only the new file's.
void DocumentCommands::Open(const std::filesystem::path& path) {
    if (!MayDiscardEdits()) {
        return;
    }
    views_.notices.Clear();
    if (!session_.Open(path)) {
        return;
    }
    listener_.playFromStart();
    views_.roll.SetPlayPosition(0);
    documentName_ = FileNameOf(path);
    Show();
    NoteRecentFile(path);
}

void DocumentCommands::New() {
    if (!MayDiscardEdits()) {
        return;
    }
    CloseDocument();
    session_.New();
    documentName_ = kNewSongName;
    Show();
}

// A ringtone made from a recording as `rolvik-cli encode` makes it (its texts left empty), shown
// as a new document that Save writes.
void DocumentCommands::NewFromRecording() {
    if (!MayDiscardEdits()) {
        return;
    }
    const std::optional<RecordingChoice> choice = hooks_.askRecording(&owner_);
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
    if (!LoadSmaf(*smaf)) {
        return;
    }
    CloseDocument();
    session_.Adopt(std::move(smaf));
    Show();
}

void DocumentCommands::Show() {
    views_.detail.SetDocument(session_.document());
    views_.roll.ShowDocument();
    listener_.documentShown();
}

// A drag under way when a command comes from the keyboard counts as an edit made.
bool DocumentCommands::MayDiscardEdits() {
    views_.roll.FinishDrag();
    return !session_.HasUnsavedEdits() || hooks_.askDiscardEdits(&owner_);
}

void DocumentCommands::Close() {
    if (MayDiscardEdits()) {
        CloseDocument();
    }
}

void DocumentCommands::CloseDocument() {
    if (!session_.document()) {
        return;
    }
    listener_.stopPlaying();
    views_.roll.SetPlayPosition(0);
    views_.notices.Clear();
    session_.Close();
    Show();
}

// The reload frees and rebuilds the event list; the session has the player stopped first, so that
// neither MidiPlay's walk nor the sequencer's copy of the old bytes outlives them.
bool DocumentCommands::CompileIntoDocument() {
    if (!session_.Compile()) {
        return false;
    }
    views_.detail.viewport()->update();
    views_.roll.viewport()->update();
    listener_.statusChanged();
    return true;
}

void DocumentCommands::Compile() {
    if (!session_.document()) {
        ShowMessage("SMAF not opened", "CompileSMAF Error", MessageIcon::Error);
        return;
    }
    if (CompileIntoDocument()) {
        ShowMessage("SMAF successfully compiled.\nTest with Emuplay or save SMAF.", "CompileSMAF",
                    MessageIcon::Information);
    }
}

// Edits that no compile has taken in are not in the file image; Save asks whether to compile them
// rather than silently write the song without them.
bool DocumentCommands::TakeInEditsBeforeSave() {
    views_.roll.FinishDrag();
    if (!session_.HasUncompiledEdits()) {
        return true;
    }
    switch (hooks_.askCompileBeforeSave(&owner_)) {
        case CompileBeforeSave::Compile:
            return CompileIntoDocument();
        case CompileBeforeSave::SaveAsItIs:
            return true;
        case CompileBeforeSave::Cancel:
            break;
    }
    return false;
}

// The bytes go to a temporary file that is renamed into place, so a failed save never leaves
// half a file where the old one was.
void DocumentCommands::Save() {
    if (!session_.document()) {
        ShowMessage("SMAF not opened", "Error", MessageIcon::Error);
        return;
    }
    if (session_.document()->fileData.empty()) {
        ShowMessage("SMAF not compiled", "Error", MessageIcon::Error);
        return;
    }
    const QString path = hooks_.askSavePath(&owner_, SaveNameOf(session_.path()));
    if (path.isEmpty() || !TakeInEditsBeforeSave()) {
        return;
    }
    const QString target = WithSmafExtension(path);
    std::string error;
    if (!session_.Save(QFile::encodeName(target).toStdString(), error)) {
        ShowMessage("Can't open file to write\n" + error, "Error", MessageIcon::Error);
        return;
    }
    RememberFolderOf(target);
    NoteRecentFile(QFile::encodeName(target).toStdString());
    documentName_ = QFileInfo(target).fileName();
    listener_.statusChanged();
}

}  // namespace rolvik
