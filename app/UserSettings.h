#pragma once

#include <QSize>
#include <QString>
#include <QStringList>
#include <optional>

#include "convert/RingtoneChoice.h"

class QWidget;

namespace rolvik {

// What the program remembers between runs, in the user's settings file (QSettings, organisation
// "Rolvik", application "rolvik"): where its windows were, the folder last used by Load and Save,
// the files opened or saved last, the piano roll's row height, whether the view follows
// playback, whether the players repeat the song and how long the last audio export played it. The
// other settings of the keyboard entry are not among them: they take their defaults at every start.

inline constexpr int kRecentFileCount = 8;

// The folder of the file last opened with Load or written with Save; empty before the first.
QString LastFolder();
void RememberFolderOf(const QString& filePath);

// The recent files, the most recent first, at most kRecentFileCount of them.
QStringList RecentFiles();
// Puts the file at the top of the list, dropping an older entry for it and the oldest beyond
// kRecentFileCount.
void AddRecentFile(const QString& filePath);
void RemoveRecentFile(const QString& filePath);

// Gives the top-level window the place it had when the last run saved it, or else the size
// `preferred`; either way it fits the available area of its screen.
void RestoreWindowPlace(QWidget& window, const QString& name, QSize preferred);
void SaveWindowPlace(const QWidget& window, const QString& name);

// The row height the roll had when the last run ended; none before the first, or when the value
// stored is not a height.
std::optional<int> RememberedRowHeight();
void RememberRowHeight(int pixels);

// Whether the view followed playback when it was last chosen; false before the first choice.
bool RememberedFollowPlayback();
void RememberFollowPlayback(bool follow);

// Whether the players repeated the song when Repeat was last chosen; false before the first choice.
bool RememberedRepeat();
void RememberRepeat(bool repeat);

// How long the last audio export played the song; once as written before the first export.
RingtoneChoice RememberedRingtone();
void RememberRingtone(const RingtoneChoice& choice);

}  // namespace rolvik
