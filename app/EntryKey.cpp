#include "EntryKey.h"

#include <array>

#include "OptionEntry.h"

namespace rolvik {
namespace {

// Shift turns the digit, minus and slash keys into other characters; on a US layout these.
constexpr std::array<int, 10> kShiftedDigits = {
    Qt::Key_ParenRight, Qt::Key_Exclam,   Qt::Key_At,          Qt::Key_NumberSign,
    Qt::Key_Dollar,     Qt::Key_Percent,  Qt::Key_AsciiCircum, Qt::Key_Ampersand,
    Qt::Key_Asterisk,   Qt::Key_ParenLeft};

// Other layouts put other characters there; the keys' positions (X11 key codes of the main block)
// stay the same.
constexpr quint32 kScanCodeOne = 10;
constexpr quint32 kScanCodeZero = 19;
constexpr quint32 kScanCodeMinus = 20;
constexpr quint32 kScanCodeSlash = 61;

char FromKeyCode(int key) {
    if (key >= Qt::Key_0 && key <= Qt::Key_9) {
        return static_cast<char>('0' + (key - Qt::Key_0));
    }
    if (key >= Qt::Key_A && key <= Qt::Key_Z) {
        return static_cast<char>('A' + (key - Qt::Key_A));
    }
    for (std::size_t digit = 0; digit < kShiftedDigits.size(); ++digit) {
        if (key == kShiftedDigits[digit]) {
            return static_cast<char>('0' + digit);
        }
    }
    switch (key) {
        case Qt::Key_Escape:
            return kEscapeOption;
        case Qt::Key_Slash:
        case Qt::Key_Question:
            return kHelpOption;
        case Qt::Key_Minus:
        case Qt::Key_Underscore:
            return '-';
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            return '\b';
        default:
            return 0;
    }
}

char FromScanCode(quint32 code) {
    if (code >= kScanCodeOne && code < kScanCodeZero) {
        return static_cast<char>('1' + (code - kScanCodeOne));
    }
    switch (code) {
        case kScanCodeZero:
            return '0';
        case kScanCodeMinus:
            return '-';
        case kScanCodeSlash:
            return kHelpOption;
        default:
            return 0;
    }
}

}  // namespace

char EntryKeyOf(const QKeyEvent& event) {
    const char fromPosition = FromScanCode(event.nativeScanCode());
    return fromPosition ? fromPosition : FromKeyCode(event.key());
}

}  // namespace rolvik
