#include "InstrumentMenu.h"

#include <QStringDecoder>
#include <cstring>

#include "GeneralMidiNames.h"

namespace rolvik {
namespace {

// An ampersand in a name is text, not a mnemonic.
QString MenuText(const QString& text) {
    return QString(text).replace(QLatin1Char('&'), QStringLiteral("&&"));
}

}  // namespace

QString InstrumentName(const VoiceSet& voices, int instrument) {
    if (instrument >= 0 && static_cast<std::uint32_t>(instrument) < voices.voiceCount()) {
        const auto& name = voices.voiceTable()[static_cast<std::size_t>(instrument)].name;
        QStringDecoder shiftJis("Shift_JIS");
        return shiftJis(
            QByteArray(name.data(), static_cast<qsizetype>(strnlen(name.data(), name.size()))));
    }
    const std::string_view name = GeneralMidiProgramName(instrument);
    return QString::fromLatin1(name.data(), static_cast<qsizetype>(name.size()));
}

std::unique_ptr<QMenu> BuildInstrumentMenu(const VoiceSet& voices, int currentInstrument) {
    auto menu = std::make_unique<QMenu>();
    for (int first = 0; first < kInstrumentCount; first += kInstrumentsPerSubmenu) {
        const int last = first + kInstrumentsPerSubmenu - 1;
        QMenu* submenu = menu->addMenu(QString::asprintf("Inst# %d - %d", first, last));
        const bool holdsCurrent = currentInstrument >= first && currentInstrument <= last;
        // Only the checked entries are checkable, so the others show no empty check box.
        submenu->menuAction()->setCheckable(holdsCurrent);
        submenu->menuAction()->setChecked(holdsCurrent);
        for (int instrument = first; instrument <= last; ++instrument) {
            QAction* item = submenu->addAction(MenuText(QString::asprintf("%d: ", instrument) +
                                                        InstrumentName(voices, instrument)));
            item->setData(kInstrumentCommandBase + instrument);
            item->setCheckable(instrument == currentInstrument);
            item->setChecked(instrument == currentInstrument);
        }
    }
    return menu;
}

}  // namespace rolvik
