#include "app/StartLogging.h"

#include "device/GeneralStuff.h"
#include "files/LogLines.h"

#include <QFileInfo>

using namespace GeneralStuff;

bool StartLoggingAllChannels(const QString& path) {
    // A device or pipe is no log file: opening one for writing could block.
    const QFileInfo target(path);
    if (path.isEmpty() || (target.exists() && !target.isFile()))
        return false;
    const QString oldFile = LogFileName;
    const std::array<bool, 3> oldChannels = LogChannels;
    LogFileName = path;
    LogChannels = {true, true, true};
    if (!AppendLogRunHeader()) {
        LogFileName = oldFile;
        LogChannels = oldChannels;
        return false;
    }
    LogRowCount = 0;
    LoggingActive = true;
    if (Views.main)
        Views.main->setStatusText("Logging Enabled");
    return true;
}
