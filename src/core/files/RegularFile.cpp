#include "files/RegularFile.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray rememberedName;
}

void RememberNativeName(const QByteArray& nativeName) {
    rememberedName = nativeName;
}

QByteArray NativeName(const QString& name) {
    if (!rememberedName.isEmpty() && name == QFile::decodeName(rememberedName))
        return rememberedName;
    return QFile::encodeName(name);
}

RegularFile OpenRegularFile(const QByteArray& nativePath, int flags) {
    RegularFile file;
    const int descriptor = ::open(nativePath.constData(), flags | O_NONBLOCK | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        file.error = errno == EISDIR || errno == ENXIO ? FileOpenError::NotAFile : FileOpenError::CannotOpen;
        file.errorText = QString::fromLocal8Bit(std::strerror(errno));
        return file;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        file.error = FileOpenError::NotAFile;
        file.errorText = "not a plain file";
        return file;
    }
    // Back to ordinary blocking writes for the plain file.
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    file.descriptor = descriptor;
    return file;
}

WholeFile ReadRegularFile(const QByteArray& nativePath, qint64 maxBytes) {
    WholeFile whole;
    const RegularFile file = OpenRegularFile(nativePath, O_RDONLY);
    if (file.descriptor < 0) {
        whole.error = file.error;
        whole.errorText = file.errorText;
        return whole;
    }
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(file.descriptor, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            whole.error = FileOpenError::CannotOpen;
            whole.errorText = QString::fromLocal8Bit(std::strerror(errno));
            break;
        }
        if (got == 0)
            break;
        whole.bytes.append(buffer, got);
        if (whole.bytes.size() > maxBytes) {
            whole.tooLarge = true;
            whole.bytes.clear();
            break;
        }
    }
    ::close(file.descriptor);
    return whole;
}

bool WriteAll(int descriptor, const QByteArray& bytes) {
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(descriptor, bytes.constData() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

bool AppendWhole(const QByteArray& nativePath, const QByteArray& bytes) {
    const RegularFile file = OpenRegularFile(nativePath, O_WRONLY | O_APPEND | O_CREAT);
    if (file.descriptor < 0)
        return false;
    struct stat before {};
    const bool sized = ::fstat(file.descriptor, &before) == 0;
    const bool ok = sized && WriteAll(file.descriptor, bytes);
    // A part written before a failure (disk full) is cut off again.
    if (sized && !ok)
        (void)::ftruncate(file.descriptor, before.st_size);
    return ::close(file.descriptor) == 0 && ok;
}
