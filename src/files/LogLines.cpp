#include "files/LogLines.h"

#include "device/GeneralStuff.h"
#include "device/NumberText.h"

#include <QFile>
#include <cmath>

namespace {
const char* const kChannelTitles[3] = {"Local(°C) ,", "Remote1(°C) ,", "Remote2(°C) ,"};
const char* const kLineEnd = "\r\n";

// Writes the bytes as one unbuffered append so a failure (disk full, file gone)
// shows at once; a partly written line is cut off again so the file ends with
// complete lines only.
bool appendBytes(const QString& path, const QByteArray& bytes) {
    if (path.isEmpty())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const qint64 sizeBefore = file.size();
    const bool written = file.write(bytes) == bytes.size();
    if (!written)
        file.resize(sizeBefore);
    file.close();
    return written && file.error() == QFileDevice::NoError;
}
} // namespace

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

QByteArray LogBytes(const QString& line) { return line.toLatin1(); }

bool AppendLogRunHeader() {
    const QByteArray block = QByteArray(kLineEnd) + "OTK5530 Log File" + kLineEnd + kLineEnd +
                             LogBytes(LogHeaderLine()) + kLineEnd;
    return appendBytes(GeneralStuff::LogFileName, block);
}

bool AppendLogDataLine() {
    return appendBytes(GeneralStuff::LogFileName, LogBytes(LogDataLine()) + kLineEnd);
}
