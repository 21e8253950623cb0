#include "device/SettingsStore.h"

#include "device/ApplicationTitle.h"

#include <QFileInfo>

namespace {
// The store holds a few short values; QSettings reads it whole.
constexpr qint64 kLargestStore = 1024 * 1024;

bool plainFileOrAbsent(const QString& path) {
    const QFileInfo info(path);
    return !info.exists() || (info.isFile() && info.size() <= kLargestStore);
}
} // namespace

QString MainSettingsPath() {
    // Only its file name is wanted: the folder QSettings would use, setPath included.
    const QSettings probe(QSettings::NativeFormat, QSettings::UserScope, "otk5530-eval-settings-folder");
    return QFileInfo(probe.fileName()).absolutePath() + "/" + kApplicationTitle + "/" + kApplicationTitle +
           ".conf";
}

// The one file, read and written as text, without the organisation-wide and
// system-wide files a QSettings by application name would also read.
std::unique_ptr<QSettings> OpenMainSettings() {
    const QString path = MainSettingsPath();
    if (!plainFileOrAbsent(path) || !plainFileOrAbsent(path + ".lock"))
        return nullptr;
    return std::make_unique<QSettings>(path, QSettings::IniFormat);
}
