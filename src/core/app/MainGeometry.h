#pragma once
// The main window's position and size in the per-user settings store, in twips.
#include "device/SettingsStore.h"

#include <QList>
#include <QRectF>
#include <QSettings>
#include <QString>

struct MainGeometry {
    double left = 1000;
    double top = 1000;
    double width = 6500;
    double height = 6500;
    bool operator==(const MainGeometry& other) const {
        return left == other.left && top == other.top && width == other.width && height == other.height;
    }
};

// A stored text as a number of twips, or the default when it is absent or not a
// finite number (a width or height must also be above zero).
double StoredTwips(const QVariant& stored, double defaultValue, bool mustBePositive);

MainGeometry ReadMainGeometry(QSettings& settings);
// The stored geometry made safe to apply on the available screens (in twips): a
// width or height below 1500 twips (100 px) or beyond the screens' extent, or a
// position that leaves less than a title bar's worth (450 × 1500 twips) on one
// screen, is replaced by its default. No screens: only the sizes are checked.
MainGeometry GeometryOnScreens(const MainGeometry& stored, const QList<QRectF>& screens);
// Writes "MainLeft", "MainTop", "MainWidth", "MainHeight" in that order, as text.
void WriteMainGeometry(QSettings& settings, const MainGeometry& geometry);
