#include "UserSettings.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSettings>
#include <QWidget>

namespace rolvik {
namespace {

const QString kLastFolderKey = QStringLiteral("lastFolder");
const QString kRecentFilesKey = QStringLiteral("recentFiles");
const QString kRowHeightKey = QStringLiteral("pianoRoll/rowHeight");
const QString kFollowPlaybackKey = QStringLiteral("pianoRoll/followPlayback");
const QString kRepeatKey = QStringLiteral("playback/repeat");
const QString kLoopsKey = QStringLiteral("export/loops");
const QString kLengthKey = QStringLiteral("export/length");
const QString kFadeKey = QStringLiteral("export/fade");

// A stored value counts only while it is one the export dialog could have given.
std::optional<double> StoredNumber(const QSettings& settings, const QString& key, double low,
                                   double high) {
    bool isNumber = false;
    const double value = settings.value(key).toDouble(&isNumber);
    if (!isNumber || !(value >= low && value <= high)) {
        return std::nullopt;
    }
    return value;
}

void StoreNumber(QSettings& settings, const QString& key, std::optional<double> value) {
    if (value) {
        settings.setValue(key, *value);
    } else {
        settings.remove(key);
    }
}

QSettings UserSettings() {
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Rolvik"),
                     QStringLiteral("rolvik"));
}

QString PlaceKey(const QString& name) {
    return QStringLiteral("windows/") + name;
}

// The window manager puts a frame around the client area: a tenth of the screen is left for it.
QSize RoomOnScreen(const QWidget& window) {
    const QScreen* screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().size() * 0.9
                  : QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

}  // namespace

QString LastFolder() {
    return UserSettings().value(kLastFolderKey).toString();
}

void RememberFolderOf(const QString& filePath) {
    UserSettings().setValue(kLastFolderKey, QFileInfo(filePath).absolutePath());
}

QStringList RecentFiles() {
    return UserSettings().value(kRecentFilesKey).toStringList().mid(0, kRecentFileCount);
}

void AddRecentFile(const QString& filePath) {
    const QString path = QFileInfo(filePath).absoluteFilePath();
    QStringList files = RecentFiles();
    files.removeAll(path);
    files.prepend(path);
    UserSettings().setValue(kRecentFilesKey, files.mid(0, kRecentFileCount));
}

void RemoveRecentFile(const QString& filePath) {
    QStringList files = RecentFiles();
    files.removeAll(filePath);
    UserSettings().setValue(kRecentFilesKey, files);
}

void RestoreWindowPlace(QWidget& window, const QString& name, QSize preferred) {
    const QByteArray place = UserSettings().value(PlaceKey(name)).toByteArray();
    if (place.isEmpty() || !window.restoreGeometry(place)) {
        window.resize(preferred);
    }
    window.resize(window.size().boundedTo(RoomOnScreen(window)));
}

void SaveWindowPlace(const QWidget& window, const QString& name) {
    UserSettings().setValue(PlaceKey(name), window.saveGeometry());
}

std::optional<int> RememberedRowHeight() {
    bool isNumber = false;
    const int pixels = UserSettings().value(kRowHeightKey).toInt(&isNumber);
    return isNumber && pixels > 0 ? std::optional<int>(pixels) : std::nullopt;
}

void RememberRowHeight(int pixels) {
    UserSettings().setValue(kRowHeightKey, pixels);
}

bool RememberedFollowPlayback() {
    return UserSettings().value(kFollowPlaybackKey, false).toBool();
}

void RememberFollowPlayback(bool follow) {
    UserSettings().setValue(kFollowPlaybackKey, follow);
}

bool RememberedRepeat() {
    return UserSettings().value(kRepeatKey, false).toBool();
}

void RememberRepeat(bool repeat) {
    UserSettings().setValue(kRepeatKey, repeat);
}

RingtoneChoice RememberedRingtone() {
    const QSettings settings = UserSettings();
    RingtoneChoice choice;
    if (const auto loops =
            StoredNumber(settings, kLoopsKey, kMinRingtoneLoops, kMaxRingtoneLoops)) {
        choice.loops = static_cast<int>(*loops);
    }
    choice.lengthSeconds =
        StoredNumber(settings, kLengthKey, kMinRingtoneSeconds, kMaxRingtoneSeconds);
    choice.fadeSeconds = StoredNumber(settings, kFadeKey, 0.0, kMaxRingtoneFadeSeconds);
    if (choice.loops && choice.lengthSeconds) {
        choice.lengthSeconds.reset();
    }
    return choice;
}

void RememberRingtone(const RingtoneChoice& choice) {
    QSettings settings = UserSettings();
    StoreNumber(settings, kLoopsKey,
                choice.loops ? std::optional<double>(*choice.loops) : std::nullopt);
    StoreNumber(settings, kLengthKey, choice.lengthSeconds);
    StoreNumber(settings, kFadeKey, choice.fadeSeconds);
}

}  // namespace rolvik
