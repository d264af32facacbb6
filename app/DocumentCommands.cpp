// The main window's commands on the document: open, New, Close, Compile and Save.

#include <QFile>

#include "MainWindow.h"
#include "core/Compiler.h"
#include "core/FileIO.h"
#include "core/Loader.h"
#include "core/ShowMessage.h"
#include "import/MidiImport.h"
#include "ui/detail/DetailView.h"
#include "ui/pianoroll/PianoRoll.h"

namespace rolvik {
namespace {

bool IsMidiFileName(const std::filesystem::path& path) {
    const QString extension = QString::fromStdString(path.extension().string()).toLower();
    return extension == QLatin1String(".mid") || extension == QLatin1String(".midi");
}

}  // namespace

void MainWindow::LoadSmaf() {
    const QString path = hooks_.askOpenPath(this);
    if (!path.isEmpty()) {
        OpenFile(QFile::encodeName(path).toStdString());
    }
}

// A failed SMAF open leaves no document: the previous one is closed before the attempt. A MIDI
// file is imported first and replaces the document only when the import succeeds.
void MainWindow::OpenFile(const std::filesystem::path& path) {
    if (!MayDiscardEdits()) {
        return;
    }
    if (IsMidiFileName(path)) {
        ImportMidiFile(path);
        return;
    }
    CloseDocument();
    playPosition_ = 0;
    smaf_ = OpenSmaf(path);
    ShowDocument();
}

void MainWindow::ImportMidiFile(const std::filesystem::path& path) {
    std::unique_ptr<Smaf> imported = ImportStandardMidiFile(path);
    if (!imported) {
        return;
    }
    CloseDocument();
    playPosition_ = 0;
    smaf_ = std::move(imported);
    ShowDocument();
}

void MainWindow::NewDocument() {
    if (!MayDiscardEdits()) {
        return;
    }
    CloseDocument();
    try {
        smaf_ = CreateSmaf(4, 4);
    } catch (const std::bad_alloc&) {
        ShowMessage("CreateSmaf failed", "Error", MessageIcon::Error);
    }
    ShowDocument();
}

void MainWindow::ShowDocument() {
    detailView_->SetDocument(smaf_.get());
    Roll(PianoRollCommand::SetDocument, reinterpret_cast<qint64>(smaf_.get()));
    UpdateTitle();
}

void MainWindow::CloseDocument() {
    if (!smaf_) {
        return;
    }
    Stop();
    Roll(PianoRollCommand::SetPlayPosition, 0);
    smaf_ = CloseSmaf(std::move(smaf_));
    compiledUnsaved_ = false;
    detailView_->SetDocument(nullptr);
    Roll(PianoRollCommand::SetDocument, 0);
    UpdateTitle();
    update();
}

// The reload frees and rebuilds the event list, so a running player is stopped first: neither
// MidiPlay's walk nor the sequencer's copy of the old bytes may outlive them.
void MainWindow::CompileDocument() {
    if (!smaf_) {
        ShowMessage("SMAF not opened", "CompileSMAF Error", MessageIcon::Error);
        return;
    }
    std::optional<ByteVector> compiled = CompileSMAF(*smaf_);
    if (!compiled) {
        ShowMessage("SMAF compile failed", "CompileSMAF Error", MessageIcon::Error);
        return;
    }
    Stop();
    smaf_->fileData = std::move(*compiled);
    Roll(PianoRollCommand::SetSelectedNote, 0);
    pianoRoll_->ForgetEdits();
    rolvik::LoadSmaf(*smaf_);
    compiledUnsaved_ = true;
    detailView_->viewport()->update();
    RepaintRoll();
    ShowMessage("SMAF successfully compiled.\nTest with Emuplay or save SMAF.", "CompileSMAF",
                MessageIcon::Information);
}

// The bytes go to a temporary file that is renamed into place, so a failed save never leaves
// half a file where the old one was.
void MainWindow::SaveDocument() {
    if (!smaf_) {
        ShowMessage("SMAF not opened", "Error", MessageIcon::Error);
        return;
    }
    if (smaf_->fileData.empty()) {
        ShowMessage("SMAF not compiled", "Error", MessageIcon::Error);
        return;
    }
    const QString path = hooks_.askSavePath(this);
    if (path.isEmpty()) {
        return;
    }
    std::string error;
    if (!WriteFileAtomically(QFile::encodeName(path).toStdString(), smaf_->file(), error)) {
        ShowMessage("Can't open file to write\n" + error, "Error", MessageIcon::Error);
        return;
    }
    compiledUnsaved_ = false;
}

}  // namespace rolvik
