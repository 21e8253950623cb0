#include "files/SettingsFileLoad.h"

#include "files/RegularFile.h"
#include "files/SettingsCheck.h"
#include "files/SettingsFile.h"

#include <QDir>

namespace {
// A settings file holds about 1.5 KB; anything far larger is not one, and
// reading it character by character would only keep the timer paused.
constexpr qint64 kLargestSettingsFile = 1024 * 1024;
} // namespace

std::optional<QByteArray> LoadSettingsFile(const QString& path, QString& refusal) {
    const QString shown = QDir::toNativeSeparators(path);
    // A device or pipe could block the open or never end: only plain files are read.
    const WholeFile file = ReadRegularFile(NativeName(path), kLargestSettingsFile);
    if (file.error == FileOpenError::NotAFile) {
        refusal = QString("\"%1\" is not a settings file. Nothing was written to the chip.").arg(shown);
        return std::nullopt;
    }
    if (file.error == FileOpenError::CannotOpen) {
        refusal = QString("The settings file\n%1\ncould not be opened (%2).").arg(shown, file.errorText);
        return std::nullopt;
    }
    if (file.tooLarge) {
        refusal =
            QString("The file\n%1\nis too large to be a settings file. Nothing was written to the chip.")
                .arg(shown);
        return std::nullopt;
    }
    // A damaged file is never half applied: the whole file is checked before the first write.
    const SettingsCheck check = CheckSettingsFile(file.bytes, IsWritableRegisterAddress);
    if (!check.passed) {
        const QString where =
            check.badLine > 0 ? QString("cannot be recalled: line %1 ").arg(check.badLine) : "";
        refusal =
            QString("The file\n%1\n%2%3. Nothing was written to the chip.").arg(shown, where, check.problem);
        return std::nullopt;
    }
    return file.bytes;
}
