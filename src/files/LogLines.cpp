#include "files/LogLines.h"

#include "device/GeneralStuff.h"
#include "device/NumberText.h"
#include "files/RegularFile.h"

#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const char* const kChannelTitles[3] = {"Local(°C) ,", "Remote1(°C) ,", "Remote2(°C) ,"};
const char* const kLineEnd = "\r\n";

// The log file as this run last left it. A file that has vanished, been replaced
// (rotated) or cut short since is a fresh file: it gets the run's title block
// before the next data line, so every run in a file starts with its titles.
struct LastAppend {
    QString name;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
};
LastAppend lastAppend;

// One append with one open and one close. Only a plain file is written, and the
// open never blocks (a pipe put in the log's place would hang it). A partly
// written line is cut off again so the file ends with complete lines only.
bool appendBytes(const QByteArray& bytes, bool startsRun) {
    const QString& path = GeneralStuff::LogFileName;
    if (path.isEmpty())
        return false;
    const RegularFile file = OpenRegularFile(NativeName(path), O_WRONLY | O_APPEND | O_CREAT);
    if (file.descriptor < 0)
        return false;
    struct stat before {};
    if (::fstat(file.descriptor, &before) != 0) {
        ::close(file.descriptor);
        return false;
    }
    const bool sameFile = lastAppend.name == path && lastAppend.device == before.st_dev &&
                          lastAppend.inode == before.st_ino && lastAppend.size <= before.st_size;
    const QByteArray text =
        startsRun || sameFile || lastAppend.name != path ? bytes : LogRunHeaderBytes() + bytes;
    const bool ok = WriteAll(file.descriptor, text);
    if (!ok)
        (void)::ftruncate(file.descriptor, before.st_size);
    struct stat after {};
    if (ok && ::fstat(file.descriptor, &after) == 0)
        lastAppend = {path, after.st_dev, after.st_ino, after.st_size};
    return ::close(file.descriptor) == 0 && ok;
}
} // namespace

QByteArray LogRunHeaderBytes() {
    return QByteArray(kLineEnd) + "OTK5530 Log File" + kLineEnd + kLineEnd + LogBytes(LogHeaderLine()) +
           kLineEnd;
}

QByteArray LogDataBytes() {
    return LogBytes(LogDataLine()) + kLineEnd;
}

QString LogHeaderLine() {
    QString line = "Time ,";
    for (int i = 0; i < 3; ++i)
        if (GeneralStuff::LogChannels[i])
            line += QString::fromUtf8(kChannelTitles[i]);
    return line;
}

QString LogDataLine() {
    // 64-bit product: a 32-bit one would overflow after about 24.8 days of nominal time.
    const int64_t milliseconds =
        static_cast<int64_t>(GeneralStuff::LogRowCount) * static_cast<int64_t>(GeneralStuff::LogInterval);
    const double seconds = std::round(static_cast<double>(milliseconds)) / 1000.0;
    QString line = TrimmedNumber(seconds) + ",";
    for (int i = 0; i < 3; ++i)
        if (GeneralStuff::LogChannels[i])
            line += StrNumber(GeneralStuff::Temperatures[i]) + ",";
    return line;
}

QByteArray LogBytes(const QString& line) {
    return line.toLatin1();
}

bool AppendLogRunHeader() {
    return appendBytes(LogRunHeaderBytes(), true);
}

bool AppendLogDataLine() {
    return appendBytes(LogDataBytes(), false);
}
