#include "StatusBar.h"

#include <QLabel>
#include <QStringList>
#include <cstdio>

namespace rolvik {
namespace {

QString PlayerText(PlayState player) {
    switch (player) {
        case PlayState::EmuPlay:
            return QStringLiteral("EmuPlay running");
        case PlayState::MidiPlay:
            return QStringLiteral("MidiPlay running");
        case PlayState::Idle:
            break;
    }
    return {};
}

// A label that is hidden while it has nothing to say, so the bar leaves no gap for it.
void SetShown(QLabel& label, const QString& text) {
    label.setText(text);
    label.setVisible(!text.isEmpty());
}

}  // namespace

std::string PlayTimeText(std::uint32_t timeMs) {
    char text[32];
    std::snprintf(text, sizeof text, "%u:%02u.%03u", timeMs / 60000u, timeMs / 1000u % 60u,
                  timeMs % 1000u);
    return text;
}

StatusBar::StatusBar(QWidget* parent)
    : QStatusBar(parent),
      file_(new QLabel(this)),
      uncompiled_(new QLabel(this)),
      player_(new QLabel(this)),
      repeat_(new QLabel(this)),
      position_(new QLabel(this)) {
    setObjectName(QStringLiteral("statusBar"));
    addWidget(file_);
    addWidget(uncompiled_);
    addPermanentWidget(player_);
    addPermanentWidget(repeat_);
    addPermanentWidget(position_);
    Show(SongStatus{});
    SetRepeat(false);
}

void StatusBar::Show(const SongStatus& status) {
    const bool open = !status.fileName.isEmpty();
    SetShown(*file_, open && status.unsaved ? status.fileName + QLatin1Char('*') : status.fileName);
    SetShown(*uncompiled_,
             open && status.uncompiled ? QString::fromLatin1(kUncompiledEditsText) : QString());
    SetShown(*player_, PlayerText(status.player));
    SetShown(*position_, open ? QString::fromStdString(PlayTimeText(status.positionMs) + " / " +
                                                       PlayTimeText(status.lengthMs))
                              : QString());
}

void StatusBar::SetRepeat(bool on) {
    SetShown(*repeat_, on ? QStringLiteral("Repeat") : QString());
}

QString StatusBar::shownText() const {
    QStringList texts;
    for (const QLabel* label : {file_, uncompiled_, player_, repeat_, position_}) {
        if (!label->text().isEmpty()) {
            texts << label->text();
        }
    }
    return texts.join(QStringLiteral(" | "));
}

}  // namespace rolvik
