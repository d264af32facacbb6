#pragma once

#include <QString>
#include <filesystem>
#include <functional>

#include "ShellHooks.h"
#include "edit/DocumentSession.h"

class QMenu;
class QWidget;

namespace rolvik {

class DetailView;
class NoticeBar;
class PianoRoll;

// The views that show the open document, which the document's commands keep up to date.
struct DocumentViews {
    PianoRoll& roll;
    NoticeBar& notices;
    DetailView& detail;
    QMenu& recentFiles;
};

// What the document's commands need the window to do; every one must be set.
struct DocumentCommandsListener {
    // The players stop before the list they follow goes.
    std::function<void()> stopPlaying;
    // A newly opened song plays from its start.
    std::function<void()> playFromStart;
    // Another song, or none, is shown: the commands that need one and the title follow.
    std::function<void()> documentShown;
    // The song's name or its compiled or saved state changed.
    std::function<void()> statusChanged;
};

// The commands on the one open document: open (by file, Load, recent files), New, New from
// Recording, Close, Compile and Save, with the questions they ask first and the recent files menu.
class DocumentCommands {
  public:
    // `owner` is the dialogs' parent; everything given outlives the commands.
    DocumentCommands(QWidget& owner, const ShellHooks& hooks, DocumentSession& session,
                     DocumentViews views, DocumentCommandsListener listener);
    DocumentCommands(const DocumentCommands&) = delete;
    DocumentCommands& operator=(const DocumentCommands&) = delete;

    void Open(const std::filesystem::path& path);
    void Load();
    void New();
    void NewFromRecording();
    void Close();
    void Compile();
    void Save();

    // Asks before edits that no saved file holds are thrown away; false: the user said no.
    bool MayDiscardEdits();
    // Closes the document without asking.
    void CloseDocument();

    // Before the document's bytes leave the program (Save, Export): asks whether to compile edits
    // that no compile has taken in; false: the user cancelled.
    bool TakeInEditsBeforeSave();
    // The file name the status bar shows for the open song.
    const QString& documentName() const { return documentName_; }

  private:
    void OpenRecentFile(const QString& path);
    void NoteRecentFile(const std::filesystem::path& path);
    void UpdateRecentFilesMenu();
    void Show();
    bool CompileIntoDocument();

    QWidget& owner_;
    const ShellHooks& hooks_;
    DocumentSession& session_;
    DocumentViews views_;
    DocumentCommandsListener listener_;
    QString documentName_;
};

}  // namespace rolvik
