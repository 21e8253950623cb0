#include "app/MainGeometry.h"

#include "app/Version.h"

#include <cmath>

namespace {
const QString kSection = QStringLiteral("Settings");
}

std::unique_ptr<QSettings> OpenMainSettings() {
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kApplicationTitle,
                                       kApplicationTitle);
}

double StoredTwips(const QVariant& stored, double defaultValue, bool mustBePositive) {
    if (!stored.isValid())
        return defaultValue;
    bool ok = false;
    const double value = stored.toString().trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value) || (mustBePositive && value <= 0))
        return defaultValue;
    return value;
}

MainGeometry ReadMainGeometry(QSettings& settings) {
    const MainGeometry defaults;
    settings.beginGroup(kSection);
    MainGeometry geometry;
    geometry.left = StoredTwips(settings.value("MainLeft"), defaults.left, false);
    geometry.top = StoredTwips(settings.value("MainTop"), defaults.top, false);
    geometry.width = StoredTwips(settings.value("MainWidth"), defaults.width, true);
    geometry.height = StoredTwips(settings.value("MainHeight"), defaults.height, true);
    settings.endGroup();
    return geometry;
}

void WriteMainGeometry(QSettings& settings, const MainGeometry& geometry) {
    settings.beginGroup(kSection);
    settings.setValue("MainLeft", QString::number(geometry.left));
    settings.setValue("MainTop", QString::number(geometry.top));
    settings.setValue("MainWidth", QString::number(geometry.width));
    settings.setValue("MainHeight", QString::number(geometry.height));
    settings.endGroup();
    settings.sync();
}
