#include "files/LogRun.h"

#include "device/NumberText.h"
#include "files/RegularFile.h"

#include <cmath>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
const char* const kChannelTitles[3] = {"Local(°C) ,", "Remote1(°C) ,", "Remote2(°C) ,"};
const char* const kLineEnd = "\r\n";

// Single-byte code page: "°" is 0xB0.
QByteArray singleByte(const QString& line) {
    return line.toLatin1();
}
} // namespace

LogRun::LogRun(QString logFile, const std::array<bool, 3>& logChannels, int32_t logInterval)
    : file(std::move(logFile)), channels(logChannels), interval(logInterval) {}

QString LogRun::headerLine() const {
    QString line = "Time ,";
    for (int i = 0; i < 3; ++i)
        if (channels[i])
            line += QString::fromUtf8(kChannelTitles[i]);
    return line;
}

QString LogRun::dataLine(const Reading& reading) const {
    // 64-bit product: a 32-bit one would overflow after about 24.8 days of nominal time.
    const int64_t milliseconds = static_cast<int64_t>(rowCount) * static_cast<int64_t>(interval);
    const double seconds = std::round(static_cast<double>(milliseconds)) / 1000.0;
    QString line = TrimmedNumber(seconds) + ",";
    for (int i = 0; i < 3; ++i)
        if (channels[i])
            line += StrNumber(reading.temperatures[i]) + ",";
    return line;
}

QByteArray LogRun::headerBytes() const {
    return QByteArray(kLineEnd) + "OTK5530 Log File" + kLineEnd + kLineEnd + singleByte(headerLine()) +
           kLineEnd;
}

QByteArray LogRun::dataBytes(const Reading& reading) const {
    return singleByte(dataLine(reading)) + kLineEnd;
}

bool LogRun::appendHeader() {
    return appendBytes(headerBytes(), true);
}

bool LogRun::appendRow(const Reading& reading) {
    return appendBytes(dataBytes(reading), false);
}

// One append with one open and one close. Only a plain file is written, and the
// open never blocks (a pipe put in the log's place would hang it). A partly
// written line is cut off again so the file ends with complete lines only.
bool LogRun::appendBytes(const QByteArray& bytes, bool startsRun) {
    if (file.isEmpty())
        return false;
    const RegularFile opened = OpenRegularFile(NativeName(file), O_WRONLY | O_APPEND | O_CREAT);
    if (opened.descriptor < 0)
        return false;
    struct stat before {};
    if (::fstat(opened.descriptor, &before) != 0) {
        ::close(opened.descriptor);
        return false;
    }
    // A file that has vanished, been replaced (rotated) or cut short since is a fresh
    // file: it gets the run's title block first, so every run in a file starts with its titles.
    const bool sameFile = lastName == file && lastDevice == before.st_dev && lastInode == before.st_ino &&
                          lastSize <= before.st_size;
    const QByteArray text = startsRun || sameFile || lastName != file ? bytes : headerBytes() + bytes;
    const bool ok = WriteAll(opened.descriptor, text);
    if (!ok)
        (void)::ftruncate(opened.descriptor, before.st_size);
    struct stat after {};
    if (ok && ::fstat(opened.descriptor, &after) == 0) {
        lastName = file;
        lastDevice = after.st_dev;
        lastInode = after.st_ino;
        lastSize = after.st_size;
    }
    return ::close(opened.descriptor) == 0 && ok;
}
