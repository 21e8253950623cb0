#include "views/ChartRedrawRules.h"

#include <QtNumeric>
#include <cmath>

bool NewestSampleMovesAPixel(const std::optional<QPointF>& drawn, const QPointF& newest, double plotRight) {
    if (!drawn)
        return true;
    if (drawn->x() > plotRight && newest.x() > plotRight)
        return false;
    // Rows are whole pixels as the aliased trace rounds them; along the time axis the
    // whole picture shifts, so any shift of a full pixel shows.
    return std::abs(newest.x() - drawn->x()) >= 1 || qRound(newest.y()) != qRound(drawn->y());
}
