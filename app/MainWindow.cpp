#include "MainWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

#include "NoticeBar.h"
#include "StatusBar.h"
#include "Toolbar.h"
#include "TrackMenu.h"
#include "UserSettings.h"
#include "core/ShowMessage.h"
#include "ui/detail/DetailView.h"
#include "ui/pianoroll/PianoRoll.h"

namespace rolvik {
namespace {

const QString kIconPath = QStringLiteral(":/rolvik/icon.png");
const QString kMainWindowPlace = QStringLiteral("main");
const QString kDetailWindowPlace = QStringLiteral("detail");

QString MenuTitle(MenuName menu) {
    switch (menu) {
        case MenuName::File:
            return QStringLiteral("&File");
        case MenuName::Music:
            return QStringLiteral("&Music");
        case MenuName::Window:
            return QStringLiteral("&Window");
        case MenuName::Help:
            return QStringLiteral("&Help");
    }
    return {};
}

// A toolbar button's text: the menu text without its mnemonic and shortcut.
QString ButtonTextOf(std::string_view menuText) {
    QString text = QString::fromLatin1(menuText.data(), static_cast<qsizetype>(menuText.size()));
    text = text.left(text.indexOf(QLatin1Char('\t')));
    return text.remove(QLatin1Char('&'));
}

// A toolbar button's tip names the command and the key that runs it.
QString ToolTipOf(const CommandEntry& entry) {
    const QString name = ButtonTextOf(entry.text);
    if (entry.shortcut == QKeyCombination()) {
        return name;
    }
    return QStringLiteral("%1 (%2)").arg(
        name, QKeySequence(entry.shortcut).toString(QKeySequence::NativeText));
}

}  // namespace

MainWindow::MainWindow(EngineSession& engine, ShellHooks hooks)
    : hooks_(std::move(hooks)),
      timers_([this](int timer) { TimerTick(timer); }),
      engine_(engine),
      playback_(engine) {
    setObjectName(QStringLiteral("RolvikWC"));
    setWindowTitle(QStringLiteral("Rolvik"));
    setWindowIcon(QIcon(kIconPath));
    setAcceptDrops(true);
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);

    BuildMenus();
    BuildToolbar();
    auto* centre = new QWidget(this);
    auto* column = new QVBoxLayout(centre);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    noticeBar_ = new NoticeBar(centre);
    pianoRoll_ = new PianoRoll(session_, centre);
    column->addWidget(noticeBar_);
    column->addWidget(pianoRoll_, 1);
    setCentralWidget(centre);
    statusBar_ = new StatusBar(this);
    setStatusBar(statusBar_);
    SetUpRepeat();
    ConnectPianoRoll();
    BuildEditMenu();
    AddFindingKeys();
    ListenToSession();
    RestoreViewChoices();

    detailView_ = std::make_unique<DetailView>();
    detailView_->setWindowTitle(QStringLiteral("Rolvik - DetailView"));
    detailView_->setWindowIcon(QIcon(kIconPath));
    detailView_->SetPlayPositionSource([this] { return playback_.positionMs(); });
    RestoreWindowPlace(*detailView_, kDetailWindowPlace, QSize(640, 480));
    BuildDocumentCommands();

    RestoreWindowPlace(*this, kMainWindowPlace, QSize(800, 560));
    EnableDocumentCommands();
}

// The detail window goes with this one.
MainWindow::~MainWindow() {
    timers_.Stop();
    detailView_.reset();
}

QAction* MainWindow::action(CommandId id) const {
    const auto found = actions_.find(id);
    return found == actions_.end() ? nullptr : found->second;
}

void MainWindow::BuildMenus() {
    std::map<MenuName, QMenu*> menus;
    for (const MenuName name : {MenuName::File, MenuName::Music}) {
        menus[name] = menuBar()->addMenu(MenuTitle(name));
    }
    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    trackMenu_ = FillViewMenu(*view);
    connect(trackMenu_, &TrackMenuGrid::TrackChosen, this, &MainWindow::SelectTrack);
    BuildViewItems(*view);
    for (const MenuName name : {MenuName::Window, MenuName::Help}) {
        menus[name] = menuBar()->addMenu(MenuTitle(name));
    }

    const std::vector<QIcon> images = ToolbarImages();
    for (const CommandEntry& entry : CommandTable()) {
        QMenu* menu = menus[entry.menu];
        if (entry.id == CommandId::Exit) {
            recentFilesMenu_ = menu->addMenu(QStringLiteral("Recent files"));
        }
        if (entry.separatorBefore) {
            menu->addSeparator();
        }
        actions_[entry.id] = AddCommand(*menu, entry, images);
    }
}

QAction* MainWindow::AddCommand(QMenu& menu, const CommandEntry& entry,
                                const std::vector<QIcon>& images) {
    const QString text =
        QString::fromLatin1(entry.text.data(), static_cast<qsizetype>(entry.text.size()));
    QAction* item = menu.addAction(text);
    if (entry.toolbarImage != kNoToolbarImage &&
        static_cast<std::size_t>(entry.toolbarImage) < images.size()) {
        item->setIcon(images[static_cast<std::size_t>(entry.toolbarImage)]);
    }
    item->setIconVisibleInMenu(false);  // the toolbar images are the buttons' alone
    item->setIconText(ButtonTextOf(entry.text));
    item->setToolTip(ToolTipOf(entry));
    const CommandId id = entry.id;
    connect(item, &QAction::triggered, this, [this, id] { RunCommand(id); });
    // A shortcut that the menu text does not name stays out of the menu's shortcut column.
    if (entry.shortcut != QKeyCombination() && text.contains(QLatin1Char('\t'))) {
        item->setShortcut(QKeySequence(entry.shortcut));
        item->setShortcutContext(Qt::WindowShortcut);
        addAction(item);
    } else if (entry.shortcut != QKeyCombination()) {
        auto* shortcut = new QShortcut(QKeySequence(entry.shortcut), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, item, &QAction::trigger);
    }
    return item;
}

void MainWindow::BuildToolbar() {
    toolbar_ = addToolBar(QStringLiteral("Toolbar"));
    toolbar_->setObjectName(QStringLiteral("toolbar"));
    toolbar_->setMovable(false);
    toolbar_->setFloatable(false);
    toolbar_->setIconSize(QSize(kToolbarImageWidth, kToolbarImageWidth));
    for (const std::optional<CommandId>& id : ToolbarLayout()) {
        if (!id) {
            toolbar_->addSeparator();
            continue;
        }
        toolbar_->addAction(actions_.at(*id));
    }
    volume_ = AddVolumeControl(*toolbar_, playback_);
}

void MainWindow::EnableDocumentCommands() {
    for (const auto& [id, item] : actions_) {
        if (NeedsDocument(id)) {
            item->setEnabled(document() != nullptr);
        }
    }
}

// MidiPlay steps off an event before an edit takes it out of the list it walks, and neither
// player nor the roll's selection may outlive a list that is freed or rebuilt.
void MainWindow::ListenToSession() {
    SessionListener listener;
    listener.eventRemoving = [this](const Event& event) { playback_.EventRemoving(event); };
    listener.listGoing = [this] {
        Stop();
        pianoRoll_->ClearSelection();
    };
    listener.editsChanged = [this] { EditsChanged(); };
    session_.SetListener(std::move(listener));
}

void MainWindow::RunCommand(CommandId id) {
    switch (id) {
        case CommandId::New:
            return documents_->New();
        case CommandId::NewFromRecording:
            return documents_->NewFromRecording();
        case CommandId::LoadSmaf:
            return documents_->Load();
        case CommandId::Close:
            return documents_->Close();
        case CommandId::Compile:
            return documents_->Compile();
        case CommandId::Save:
            return documents_->Save();
        case CommandId::Export:
            return ExportDocument();
        case CommandId::ConvertFolder:
            return ConvertFolder();
        case CommandId::Exit:
            close();
            return;
        case CommandId::EmuPlay:
            return EmuPlay();
        case CommandId::MidiPlay:
            return MidiPlay();
        case CommandId::Stop:
            return Stop();
        case CommandId::Rewind:
            return Rewind();
        case CommandId::MidiReset:
            return engine_.PresetVoices();
        case CommandId::Repeat:
            return SwitchRepeat();
        case CommandId::ShowDetail:
            return ShowDetail();
        case CommandId::HelpIndex:
            ShowMessage("There are no help.", "sorry", MessageIcon::Error);
            return;
        case CommandId::About:
            hooks_.showAbout(this);
            return;
        case CommandId::Undo:
        case CommandId::Redo:
            return StepHistory(id);
        case CommandId::TallerKeys:
        case CommandId::ShorterKeys:
        case CommandId::FitKeys:
        case CommandId::ZoomToFit:
        case CommandId::FollowPlayback:
        case CommandId::PlayOrStop:
        case CommandId::GoToSongStart:
        case CommandId::GoToSongEnd:
            return RunViewCommand(id);
        default:
            return SelectTrack(TrackOfCommand(id));
    }
}

void MainWindow::ShowDetail() {
    detailView_->show();
    detailView_->raise();
    detailView_->activateWindow();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!documents_->MayDiscardEdits()) {
        event->ignore();
        return;
    }
    documents_->CloseDocument();
    RememberRowHeight(pianoRoll_->rowHeight());
    SaveWindowPlace(*this, kMainWindowPlace);
    SaveWindowPlace(*detailView_, kDetailWindowPlace);
    detailView_->hide();
    event->accept();
}

void MainWindow::wheelEvent(QWheelEvent* event) {
    QCoreApplication::sendEvent(pianoRoll_->viewport(), event);
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        ShowInstrumentMenu(event->globalPosition().toPoint());
    }
    QMainWindow::mousePressEvent(event);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls() && event->mimeData()->urls().first().isLocalFile()) {
        event->acceptProposedAction();
    }
}

void MainWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile()) {
        return;
    }
    event->acceptProposedAction();
    OpenFile(QFile::encodeName(urls.first().toLocalFile()).toStdString());
}

void MainWindow::OpenFile(const std::filesystem::path& path) {
    documents_->Open(path);
}

void MainWindow::BuildDocumentCommands() {
    DocumentCommandsListener listener;
    listener.stopPlaying = [this] { Stop(); };
    listener.playFromStart = [this] { playback_.SetPosition(0); };
    listener.documentShown = [this] {
        EnableDocumentCommands();
        UpdateTitle();
        update();
    };
    listener.statusChanged = [this] { UpdateStatus(); };
    documents_ = std::make_unique<DocumentCommands>(
        *this, hooks_, session_,
        DocumentViews{*pianoRoll_, *noticeBar_, *detailView_, *recentFilesMenu_},
        std::move(listener));
}

}  // namespace rolvik
