#pragma once

#include <QByteArrayView>
#include <QDialog>
#include <QRect>
#include <QString>
#include <cstdint>

class QLabel;

namespace rolvik {

// The program's file version, as four numbers.
struct ProgramVersion {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;

    friend bool operator==(const ProgramVersion&, const ProgramVersion&) = default;
};

// The version compiled into the program as the resource ":/rolvik/version" (the library
// rolvik_resources); 0.0.0.0 when the program was built without it or it cannot be read.
ProgramVersion ReadProgramVersion();

// "major.minor.build.revision", each part a number from 0 to 65535; anything else is 0.0.0.0.
ProgramVersion ParseProgramVersion(QByteArrayView text);

// "Version 2007.2.21.1".
QString VersionText(const ProgramVersion& version);

// The About box: the program's name with its letters running diagonally, what it is, its version
// and its icon (":/rolvik/icon.png" when the resources are linked in). Laid out in dialog units of
// its own font, so that it keeps its proportions with any font the system substitutes.
class AboutBox : public QDialog {
  public:
    explicit AboutBox(QWidget* owner);

    // A rectangle in dialog units converted to pixels: x and widths in quarters of the font's
    // average character width, y and heights in eighths of its height, rounded to the nearest.
    QRect DialogUnitsToPixels(int x, int y, int width, int height) const;

  private:
    QLabel* AddText(const QString& text, QRect dialogUnits, Qt::Alignment alignment);
    void AddIcon();
    void AddOkButton();

    int averageCharWidthPx_;
    int charHeightPx_;
};

// Shows the About box modally over the owner (or alone when null), centred on the screen, and
// returns when it is closed by OK, Enter, Esc or the close box.
void RunAboutBox(QWidget* owner);

}  // namespace rolvik
