#pragma once
// The main window's position and size in the per-user settings store, in twips.
#include <QSettings>
#include <QString>
#include <memory>

struct MainGeometry {
    double left = 1000;
    double top = 1000;
    double width = 6500;
    double height = 6500;
    bool operator==(const MainGeometry& other) const {
        return left == other.left && top == other.top && width == other.width && height == other.height;
    }
};

// The store under the application title; its folder follows QSettings::setPath.
std::unique_ptr<QSettings> OpenMainSettings();

// A stored text as a number of twips, or the default when it is absent or not a
// finite number (a width or height must also be above zero).
double StoredTwips(const QVariant& stored, double defaultValue, bool mustBePositive);

MainGeometry ReadMainGeometry(QSettings& settings);
// Writes "MainLeft", "MainTop", "MainWidth", "MainHeight" in that order, as text.
void WriteMainGeometry(QSettings& settings, const MainGeometry& geometry);
