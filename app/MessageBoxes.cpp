#include "MessageBoxes.h"

#include <QApplication>

#include "NoticeBar.h"

namespace rolvik {
namespace {

QString FromBytes(std::string_view text) {
    return QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size()));
}

QWidget* MainWindowOrNone() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("RolvikWC")) {
            return window;
        }
    }
    return nullptr;
}

// Notices go to the main window's bar once it has one; they never need an answer.
NoticeBar* NoticeBarFor(std::string_view caption, MessageIcon icon, QWidget* window) {
    if (caption != "Notice" || icon != MessageIcon::Information || !window) {
        return nullptr;
    }
    return window->findChild<NoticeBar*>();
}

}  // namespace

void ConfigureMessageBox(QMessageBox& box, std::string_view text, std::string_view caption,
                         MessageIcon icon) {
    box.setWindowModality(Qt::ApplicationModal);
    box.setWindowTitle(FromBytes(caption));
    box.setText(FromBytes(text));
    box.setTextFormat(Qt::PlainText);
    box.setStandardButtons(QMessageBox::Ok);
    if (caption == "What the hell...?") {
        box.setIcon(QMessageBox::NoIcon);
        return;
    }
    switch (icon) {
        case MessageIcon::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageIcon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageIcon::None:
            box.setIcon(QMessageBox::NoIcon);
            break;
    }
}

MessageHandler MessageBoxHandler() {
    return [](std::string_view text, std::string_view caption, MessageIcon icon) {
        QWidget* window = MainWindowOrNone();
        if (NoticeBar* bar = NoticeBarFor(caption, icon, window)) {
            bar->Add(FromBytes(text));
            return;
        }
        QMessageBox box(window);
        ConfigureMessageBox(box, text, caption, icon);
        box.exec();
    };
}

}  // namespace rolvik
