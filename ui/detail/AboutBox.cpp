#include "AboutBox.h"

#include <QByteArray>
#include <QFile>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QScreen>
#include <QStringDecoder>
#include <algorithm>

namespace rolvik {
namespace {

// "ＭＳ Ｐゴシック" as stored by the program, in Shift-JIS.
constexpr char kDialogFaceShiftJis[] =
    "\x82\x6C\x82\x72\x20\x82\x6F\x83\x53\x83\x56\x83\x62\x83\x4E";
// 9 points on a 96-dpi screen.
constexpr int kDialogFontPx = 12;
// The system's large icon, which a static icon control takes whatever size it was given.
constexpr int kIconSizePx = 32;

constexpr int kDialogWidthDu = 143;
constexpr int kDialogHeightDu = 99;
constexpr char kProductName[] = "Rolvik";

QFont DialogFont() {
    QStringDecoder decoder("Shift_JIS");
    QFont font;
    font.setFamilies(
        {decoder.decode(QByteArray(kDialogFaceShiftJis)), QStringLiteral("IPAPGothic")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(kDialogFontPx);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

// The average character width as dialog units define it: the width of the 52 Latin letters over
// 52, rounded to the nearest pixel.
int AverageCharWidthPx(const QFontMetrics& metrics) {
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    return (metrics.horizontalAdvance(letters) / 26 + 1) / 2;
}

int ScaleRounded(int value, int numerator, int denominator) {
    return (value * numerator + denominator / 2) / denominator;
}

// A substituted font can be wider than the one the layout was made for. Rather than cut a text
// off, its box grows away from the side it is aligned to, staying inside the dialog.
QRect WidenedToFit(QRect box, int textWidthPx, Qt::Alignment alignment, int dialogWidthPx) {
    const int missing = textWidthPx - box.width();
    if (missing <= 0) {
        return box;
    }
    if (alignment & Qt::AlignRight) {
        box.setLeft(std::max(0, box.left() - missing));
    } else if (alignment & Qt::AlignHCenter) {
        box.adjust(-(missing + 1) / 2, 0, missing / 2, 0);
    } else {
        box.setRight(std::min(dialogWidthPx - 1, box.right() + missing));
    }
    return box;
}

}  // namespace

ProgramVersion ParseProgramVersion(QByteArrayView text) {
    const QList<QByteArray> parts = text.toByteArray().trimmed().split('.');
    if (parts.size() != 4) {
        return {};
    }
    std::uint16_t numbers[4];
    for (int i = 0; i < 4; ++i) {
        bool isNumber = false;
        const uint number = parts[i].toUInt(&isNumber);
        if (!isNumber || number > 0xFFFF) {
            return {};
        }
        numbers[i] = static_cast<std::uint16_t>(number);
    }
    return {numbers[0], numbers[1], numbers[2], numbers[3]};
}

ProgramVersion ReadProgramVersion() {
    QFile resource(QStringLiteral(":/rolvik/version"));
    if (!resource.open(QIODevice::ReadOnly)) {
        return {};
    }
    return ParseProgramVersion(resource.readAll());
}

QString VersionText(const ProgramVersion& version) {
    return QStringLiteral("Version %1.%2.%3.%4")
        .arg(version.major)
        .arg(version.minor)
        .arg(version.build)
        .arg(version.revision);
}

AboutBox::AboutBox(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("About this software..."));
    setFont(DialogFont());
    const QFontMetrics metrics(font());
    averageCharWidthPx_ = AverageCharWidthPx(metrics);
    charHeightPx_ = metrics.height();
    setFixedSize(DialogUnitsToPixels(0, 0, kDialogWidthDu, kDialogHeightDu).size());

    AddOkButton();
    AddIcon();
    const QString name = QString::fromLatin1(kProductName);
    for (int k = 0; k < name.size(); ++k) {
        AddText(name.mid(k, 1), {30 + 10 * k, 5 + 10 * k, 8, 8}, Qt::AlignLeft);
    }
    AddText(QStringLiteral("PianoRoll SMAF Sequencer"), {55, 5, 81, 8}, Qt::AlignRight);
    AddText(VersionText(ReadProgramVersion()), {80, 20, 60, 8}, Qt::AlignRight)
        ->setObjectName(QStringLiteral("version"));
    AddText(QStringLiteral("for MA-3"), {105, 50, 28, 8}, Qt::AlignHCenter);
}

QRect AboutBox::DialogUnitsToPixels(int x, int y, int width, int height) const {
    return QRect(ScaleRounded(x, averageCharWidthPx_, 4), ScaleRounded(y, charHeightPx_, 8),
                 ScaleRounded(width, averageCharWidthPx_, 4),
                 ScaleRounded(height, charHeightPx_, 8));
}

QLabel* AboutBox::AddText(const QString& text, QRect dialogUnits, Qt::Alignment alignment) {
    auto* label = new QLabel(text, this);
    label->setAlignment(alignment | Qt::AlignTop);
    const QRect box = DialogUnitsToPixels(dialogUnits.x(), dialogUnits.y(), dialogUnits.width(),
                                          dialogUnits.height());
    label->setGeometry(WidenedToFit(box, label->sizeHint().width(), alignment, width()));
    return label;
}

void AboutBox::AddIcon() {
    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    icon->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    icon->setLineWidth(1);
    icon->setPixmap(QIcon(QStringLiteral(":/rolvik/icon.png")).pixmap(kIconSizePx));
    const int frame = 2 * icon->frameWidth();
    icon->setGeometry(QRect(DialogUnitsToPixels(5, 5, 0, 0).topLeft(),
                            QSize(kIconSizePx + frame, kIconSizePx + frame)));
}

void AboutBox::AddOkButton() {
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setDefault(true);
    ok->setGeometry(DialogUnitsToPixels(90, 80, 49, 14));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    ok->setFocus();
}

void RunAboutBox(QWidget* owner) {
    AboutBox box(owner);
    QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        box.move(screen->availableGeometry().center() - box.rect().center());
    }
    box.exec();
}

}  // namespace rolvik
