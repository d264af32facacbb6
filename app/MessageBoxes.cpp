#include "MessageBoxes.h"

#include <QApplication>

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
        QMessageBox box(MainWindowOrNone());
        ConfigureMessageBox(box, text, caption, icon);
        box.exec();
    };
}

}  // namespace rolvik
