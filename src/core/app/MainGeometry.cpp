#include "app/MainGeometry.h"

#include <algorithm>
#include <cmath>

namespace {
const QString kSection = QStringLiteral("Settings");
// 100 and 30 pixels at 15 twips per pixel.
constexpr double kSmallestSideTwips = 1500;
constexpr double kTitleBarTwips = 450;
constexpr double kGrabWidthTwips = 1500;

// The title bar can be reached: its whole height and a grip's width lie on one screen.
bool titleBarOnScreen(const MainGeometry& g, const QList<QRectF>& screens) {
    const QRectF titleBar(g.left, g.top, g.width, kTitleBarTwips);
    for (const QRectF& screen : screens) {
        const QRectF shared = titleBar.intersected(screen);
        if (shared.height() >= kTitleBarTwips && shared.width() >= std::min(g.width, kGrabWidthTwips))
            return true;
    }
    return false;
}
} // namespace

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

MainGeometry GeometryOnScreens(const MainGeometry& stored, const QList<QRectF>& screens) {
    const MainGeometry defaults;
    QRectF extent;
    for (const QRectF& screen : screens)
        extent = extent.united(screen);
    auto saneSide = [&screens](double side, double largest, double defaultSide) {
        return side >= kSmallestSideTwips && (screens.isEmpty() || side <= largest) ? side : defaultSide;
    };
    MainGeometry kept = stored;
    kept.width = saneSide(stored.width, extent.width(), defaults.width);
    kept.height = saneSide(stored.height, extent.height(), defaults.height);
    if (screens.isEmpty())
        return kept;
    // Each position value keeps its stored number when the other's default is enough.
    for (const auto& [left, top] :
         {std::pair{kept.left, kept.top}, std::pair{defaults.left, kept.top},
          std::pair{kept.left, defaults.top}, std::pair{defaults.left, defaults.top}}) {
        MainGeometry candidate = kept;
        candidate.left = left;
        candidate.top = top;
        if (titleBarOnScreen(candidate, screens))
            return candidate;
    }
    kept.left = defaults.left;
    kept.top = defaults.top;
    return kept;
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
