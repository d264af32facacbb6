// The main window's commands on the document: open, New, Close, Compile and Save.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMenu>

#include "MainWindow.h"
#include "NoticeBar.h"
#include "UserSettings.h"
#include "core/ShowMessage.h"
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

void MainWindow::LoadSmaf() {
    const QString path = hooks_.askOpenPath(this);
    if (!path.isEmpty()) {
        RememberFolderOf(path);
        OpenFile(QFile::encodeName(path).toStdString());
    }
}

void MainWindow::OpenRecentFile(const QString& path) {
    if (!QFileInfo::exists(path)) {
        RemoveRecentFile(path);
        UpdateRecentFilesMenu();
        ShowMessage(QFile::encodeName(QDir::toNativeSeparators(path)).toStdString() +
                        "\nThis file is gone; it is taken off the recent files.",
                    "Notice", MessageIcon::Information);
        return;
    }
    OpenFile(QFile::encodeName(path).toStdString());
}

void MainWindow::NoteRecentFile(const std::filesystem::path& path) {
    AddRecentFile(QFile::decodeName(path.c_str()));
    UpdateRecentFilesMenu();
}

// Numbered entries, the most recent first; the menu is disabled while the list is empty.
void MainWindow::UpdateRecentFilesMenu() {
    recentFilesMenu_->clear();
    const QStringList files = RecentFiles();
    for (qsizetype index = 0; index < files.size(); ++index) {
        const QString& path = files[index];
        QAction* item = recentFilesMenu_->addAction(
            QStringLiteral("&%1 %2").arg(index + 1).arg(QDir::toNativeSeparators(path)));
        connect(item, &QAction::triggered, this, [this, path] { OpenRecentFile(path); });
    }
    recentFilesMenu_->setEnabled(!files.isEmpty());
}

// The file's content decides how it opens, not its name. Either way the song that was open stays
// until the new one has loaded (a SMAF file) or been imported and compiled (a MIDI file). The
// notices of the previous open go as this one begins, so the bar shows only the new file's.
void MainWindow::OpenFile(const std::filesystem::path& path) {
    if (!MayDiscardEdits()) {
        return;
    }
    noticeBar_->Clear();
    if (!session_.Open(path)) {
        return;
    }
    playback_.SetPosition(0);
    pianoRoll_->SetPlayPosition(0);
    documentName_ = FileNameOf(path);
    ShowDocument();
    NoteRecentFile(path);
}

void MainWindow::NewDocument() {
    if (!MayDiscardEdits()) {
        return;
    }
    CloseDocument();
    session_.New();
    documentName_ = kNewSongName;
    ShowDocument();
}

void MainWindow::ShowDocument() {
    EnableDocumentCommands();
    detailView_->SetDocument(document());
    pianoRoll_->ShowDocument();
    UpdateTitle();
}

void MainWindow::CloseDocument() {
    if (!document()) {
        return;
    }
    Stop();
    pianoRoll_->SetPlayPosition(0);
    noticeBar_->Clear();
    session_.Close();
    ShowDocument();
    update();
}

// The reload frees and rebuilds the event list; the session has the player stopped first, so that
// neither MidiPlay's walk nor the sequencer's copy of the old bytes outlives them.
bool MainWindow::CompileIntoDocument() {
    if (!session_.Compile()) {
        return false;
    }
    detailView_->viewport()->update();
    RepaintRoll();
    UpdateStatus();
    return true;
}

void MainWindow::CompileDocument() {
    if (!document()) {
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
bool MainWindow::TakeInEditsBeforeSave() {
    pianoRoll_->FinishDrag();
    if (!session_.HasUncompiledEdits()) {
        return true;
    }
    switch (hooks_.askCompileBeforeSave(this)) {
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
void MainWindow::SaveDocument() {
    if (!document()) {
        ShowMessage("SMAF not opened", "Error", MessageIcon::Error);
        return;
    }
    if (document()->fileData.empty()) {
        ShowMessage("SMAF not compiled", "Error", MessageIcon::Error);
        return;
    }
    const QString path = hooks_.askSavePath(this, SaveNameOf(session_.path()));
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
    UpdateStatus();
}

}  // namespace rolvik
