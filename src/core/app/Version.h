#pragma once
// The application's version numbers: the splash and the about box show them.
#include "device/ApplicationTitle.h"

#include <QString>

constexpr int kVersionMajor = 1;
constexpr int kVersionMinor = 0;
constexpr int kVersionRevision = 2;

inline QString VersionText() {
    return QString::number(kVersionMajor) + "." + QString::number(kVersionMinor) + "." +
           QString::number(kVersionRevision);
}
