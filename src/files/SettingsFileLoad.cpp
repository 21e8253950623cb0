#include "files/SettingsFileLoad.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
constexpr qint64 kLargestSettingsFile = 1024 * 1024;
}

std::optional<QByteArray> LoadSettingsFile(const QString& path, QString& refusal) {
    const QString shown = QDir::toNativeSeparators(path);
    // A device or pipe could block the open or never end: only plain files are read.
    if (!QFileInfo(path).isFile()) {
        refusal = QString("\"%1\" is not a settings file.").arg(shown);
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        refusal = QString("The settings file\n%1\ncould not be opened (%2).").arg(shown, file.errorString());
        return std::nullopt;
    }
    const QByteArray bytes = file.read(kLargestSettingsFile + 1);
    if (bytes.size() > kLargestSettingsFile) {
        refusal = QString("The file\n%1\nis too large to be a settings file.").arg(shown);
        return std::nullopt;
    }
    return bytes;
}
