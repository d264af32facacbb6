#pragma once

#include <QMainWindow>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <vector>

#include "CommandTable.h"
#include "DocumentCommands.h"
#include "NotePreview.h"
#include "OptionEntry.h"
#include "PlayPositionTimers.h"
#include "ShellHooks.h"
#include "WindowTitle.h"
#include "core/Smaf.h"
#include "edit/DocumentSession.h"

class QSlider;
class QToolBar;

namespace rolvik {

class DetailView;
class NoticeBar;
class PianoRoll;
class StatusBar;
class TrackMenuGrid;

// The main window: menus, shortcuts and toolbar turn into operations on the one open document and
// on the two players, whose play-position timers it ticks; keys enter settings and move the play
// position. The detail window is its own top-level window, hidden until asked for, and goes with
// this one.
class MainWindow : public QMainWindow {
    Q_OBJECT

  public:
    enum class SeekKind { Plain, GoTo };

    // Builds the window over an engine session that outlives it.
    MainWindow(EngineSession& engine, ShellHooks hooks);
    ~MainWindow() override;

    void RunCommand(CommandId id);
    void OpenFile(const std::filesystem::path& path);

    // One tick of timer 0 (refresh) or timer 1 (MidiPlay's processing).
    void TimerTick(int timer);
    void Seek(std::uint32_t positionMs, SeekKind kind);
    // The keyboard entry's GoTo: the view follows unless the follow mode is NoFollow.
    void GoTo(std::uint32_t positionMs);

    Smaf* document() const { return session_.document(); }
    const DocumentSession& session() const { return session_; }
    PlayState playState() const { return playback_.state(); }
    std::uint32_t playPosition() const { return playback_.positionMs(); }
    int currentInstrument() const { return currentInstrument_; }
    PianoRoll& pianoRoll() const { return *pianoRoll_; }
    NoticeBar& noticeBar() const { return *noticeBar_; }
    DetailView& detailView() const { return *detailView_; }
    QToolBar& toolbar() const { return *toolbar_; }
    QSlider& volumeControl() const { return *volume_; }
    TrackMenuGrid& trackMenu() const { return *trackMenu_; }
    QMenu& recentFilesMenu() const { return *recentFilesMenu_; }
    StatusBar& songStatus() const { return *statusBar_; }
    QAction* action(CommandId id) const;
    PlayPositionTimers& playTimers() { return timers_; }
    // The controls of the player that the keyboard entry sets (tempo, volume, key pitch, tracks).
    PlaybackController& playback() { return playback_; }

    // The instrument menu at a screen position, as the middle button opens it.
    void ShowInstrumentMenu(QPoint globalPosition);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void BuildMenus();
    QAction* AddCommand(QMenu& menu, const CommandEntry& entry, const std::vector<QIcon>& images);
    void BuildToolbar();
    void EnableDocumentCommands();
    void ConnectPianoRoll();
    void ListenToSession();
    void BuildEditMenu();
    void UpdateEditActions();
    void StepHistory(CommandId id);
    void BuildViewItems(QMenu& view);
    void AddFindingKeys();
    void RestoreViewChoices();
    void EditsChanged();

    void BuildDocumentCommands();
    void ExportDocument();
    void ConvertFolder();
    void EmuPlay();
    void MidiPlay();
    void Stop();
    void Rewind();
    void SetUpRepeat();
    void SwitchRepeat();
    void ApplyRepeat(bool on);
    void ShowDetail();
    void SelectTrack(int track);
    void RunViewCommand(CommandId id);
    void PlayOrStop();
    void GoToSongStart();
    void GoToSongEnd();
    void SetFollowPlayback(bool follow);

    void StartPlaying(PlayState state);
    bool playing() const { return playback_.playing(); }
    void StatusCheck();
    void FollowPlayPosition();
    void MoveViewToPlay();
    void UpdateTitle();
    void UpdateStatus();
    void SetTitle(const char* title);
    void RepaintRoll();

    void OptionKeyPress(QKeyEvent& event);
    std::optional<int> OptionValue(char letter);
    void ApplyOption(char letter, int number);
    void EndOptionEntry();
    void ArrowSeek(int key, bool control);

    ShellHooks hooks_;
    PianoRoll* pianoRoll_ = nullptr;
    NoticeBar* noticeBar_ = nullptr;
    QToolBar* toolbar_ = nullptr;
    QSlider* volume_ = nullptr;
    TrackMenuGrid* trackMenu_ = nullptr;
    QMenu* recentFilesMenu_ = nullptr;
    StatusBar* statusBar_ = nullptr;
    std::unique_ptr<DetailView> detailView_;
    std::map<CommandId, QAction*> actions_;
    PlayPositionTimers timers_;

    DocumentSession session_;
    EngineSession& engine_;
    std::unique_ptr<DocumentCommands> documents_;
    PlaybackController playback_;
    std::uint32_t lastDetailRefresh_ = 0;
    bool inTimerTick_ = false;
    int currentInstrument_ = 0;
    PreviewedNote previewedNote_;
    OptionEntry optionEntry_;
};

}  // namespace rolvik
