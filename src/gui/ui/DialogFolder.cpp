#include "ui/DialogFolder.h"

#include "device/USBStuff.h"

#include <QDir>
#include <QFileInfo>

QString DialogStartFolder() {
    const QString folder = USBStuff::ApplicationFolder();
    const QFileInfo info(folder);
    return info.isDir() && info.isWritable() ? folder : QDir::homePath();
}
