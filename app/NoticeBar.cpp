#include "NoticeBar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QStyle>
#include <QToolButton>

namespace rolvik {

NoticeBar::NoticeBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("NoticeBar"));
    setAccessibleName(QStringLiteral("Notice"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::ToolTipBase));
    colours.setColor(QPalette::WindowText, colours.color(QPalette::ToolTipText));
    setPalette(colours);

    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, this);
    auto* icon = new QLabel(this);
    icon->setPixmap(style()
                        ->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this)
                        .pixmap(iconSize, iconSize));
    icon->setAlignment(Qt::AlignTop);

    text_ = new QLabel(this);
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* close = new QToolButton(this);
    close->setObjectName(QStringLiteral("CloseNotice"));
    close->setAutoRaise(true);
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton, nullptr, this));
    close->setToolTip(QStringLiteral("Close"));
    connect(close, &QToolButton::clicked, this, &NoticeBar::Clear);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 4, 4);
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addWidget(text_, 1);
    layout->addWidget(close, 0, Qt::AlignTop);
    hide();
}

void NoticeBar::Add(const QString& text) {
    text_->setText(text_->text().isEmpty() ? text : text_->text() + QLatin1Char('\n') + text);
    show();
}

void NoticeBar::Clear() {
    text_->clear();
    hide();
}

QString NoticeBar::text() const {
    return text_->text();
}

}  // namespace rolvik
