// The main window's keys: entering settings with Shift held, choosing the visible track with a
// single key, and moving the play position with the arrow keys.

#include <QKeyEvent>
#include <QSlider>

#include "CommandTable.h"
#include "EntryKey.h"
#include "MainWindow.h"
#include "OptionTable.h"
#include "ui/pianoroll/PianoRoll.h"
#include "ui/settings/Settings.h"

namespace rolvik {
namespace {

constexpr std::uint32_t kArrowStepMs = 1000;
constexpr std::uint32_t kFineArrowStepMs = 100;

}  // namespace

void MainWindow::keyPressEvent(QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (event->key() == Qt::Key_Shift && !optionEntry_.active()) {
        optionEntry_.Begin();
        pianoRoll_->SetStatusText(optionEntry_.statusText());
        RepaintRoll();
    }
    if (optionEntry_.active()) {
        OptionKeyPress(*event);
    } else if (!(modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        if (const std::optional<int> track = TrackOfKey(EntryKeyOf(*event))) {
            SelectTrack(*track);
        }
        if (CurrentSettings().playVisibleOnly == 1) {
            playback_.SetTrackFilter(pianoRoll_->visibleTrack());
        }
        if (event->key() == Qt::Key_Delete) {
            pianoRoll_->DeleteSelectedNote();
        }
    }
    if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) && document()) {
        ArrowSeek(event->key(), modifiers.testFlag(Qt::ControlModifier));
    }
    event->accept();
}

void MainWindow::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Shift && !event->isAutoRepeat() && optionEntry_.active()) {
        EndOptionEntry();
    }
    event->accept();
}

void MainWindow::OptionKeyPress(QKeyEvent& event) {
    const char key = EntryKeyOf(event);
    if (key >= '0' && key <= '9') {
        optionEntry_.Digit(key - '0');
    } else if (key == '\b') {
        optionEntry_.Backspace();
    } else if ((key >= 'A' && key <= 'Z') || key == kEscapeOption || key == kHelpOption) {
        optionEntry_.ChooseLetter(key, OptionValue(key));
    } else if (key == '-') {
        optionEntry_.Negate();
    } else {
        return;
    }
    RepaintRoll();
}

std::optional<int> MainWindow::OptionValue(char letter) {
    const Option* option = OptionTable::Find(letter);
    return option ? option->get(*this) : std::nullopt;
}

void MainWindow::ApplyOption(char letter, int number) {
    const Option* option = OptionTable::Find(letter);
    if (option && option->InBounds(number)) {
        option->set(*this, number);
        volume_->setValue(playback_.volume());
    }
}

void MainWindow::EndOptionEntry() {
    const OptionEntry::Choice choice = optionEntry_.End();
    ApplyOption(choice.letter, choice.number);
    pianoRoll_->SetStatusText(nullptr);
    RepaintRoll();
}

// The title follows too, so that a stopped song shows where it will play from.
void MainWindow::ArrowSeek(int key, bool control) {
    const std::uint32_t step = control ? kFineArrowStepMs : kArrowStepMs;
    const std::uint32_t start = document()->StartOffset();
    const std::uint32_t position = playback_.positionMs();
    if (key == Qt::Key_Right) {
        Seek(position + step, SeekKind::Plain);
    } else {
        Seek(position >= start + step ? position - step : start, SeekKind::Plain);
    }
    UpdateTitle();
}

}  // namespace rolvik
