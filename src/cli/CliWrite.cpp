#include "cli/CliWrite.h"

#include "cli/CliExit.h"

#include <QFileInfo>
#include <QSaveFile>
#include <cstdio>

void WriteOutput(const QByteArray& bytes, const QString& path) {
    if (path.isEmpty()) {
        std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
        std::fflush(stdout);
        return;
    }
    const QFileInfo target(path);
    if (target.exists() && !target.isFile())
        throw CliError{kExitUsage, "-o " + path + ": not a plain file; nothing was written"};
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size() ||
        !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw CliError{kExitUsage, "-o " + path + ": " + reason};
    }
}
