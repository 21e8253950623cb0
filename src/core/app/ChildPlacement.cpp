#include "app/ChildPlacement.h"

#include <algorithm>

namespace {
int placedAlong(int position, int length, int areaLength) {
    if (length >= areaLength)
        return 0;
    return std::clamp(position, 0, areaLength - length);
}
} // namespace

QPoint ChildWindowPosition(QSize area, QRect window) {
    return {placedAlong(window.x(), window.width(), area.width()),
            placedAlong(window.y(), window.height(), area.height())};
}
