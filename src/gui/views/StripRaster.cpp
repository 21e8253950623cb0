#include "views/StripRaster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {
// a / b rounded to the nearest integer, halves upward; b > 0.
int64_t RoundedQuotient(int64_t a, int64_t b) {
    const int64_t twice = 2 * a + b;
    const int64_t divisor = 2 * b;
    return twice >= 0 ? twice / divisor : -((-twice + divisor - 1) / divisor);
}

void SetPixel(QImage& image, int x, int y, QRgb colour) {
    reinterpret_cast<QRgb*>(image.scanLine(y))[x] = colour;
}
} // namespace

int64_t KeyColumn(double key, double secondsPerPixel) {
    return std::llround(key / secondsPerPixel);
}

void DrawPixelLine(QImage& image, QPoint a, QPoint b, QRgb colour, int fromX) {
    if (b.x() < a.x())
        std::swap(a, b);
    const int64_t dx = b.x() - a.x();
    const int64_t dy = b.y() - a.y();
    const int left = std::max(fromX, 0);
    if (dx >= std::abs(dy)) {
        const int first = std::max(a.x(), left);
        const int last = std::min(b.x(), image.width() - 1);
        for (int x = first; x <= last; ++x) {
            const int64_t y = dx == 0 ? a.y() : a.y() + RoundedQuotient((x - a.x()) * dy, dx);
            if (y >= 0 && y < image.height())
                SetPixel(image, x, int(y), colour);
        }
        return;
    }
    const int step = dy > 0 ? 1 : -1;
    const int64_t length = std::abs(dy);
    // Along the rows, top to bottom, clipped to the image's rows.
    const int top = std::max(std::min(a.y(), b.y()), 0);
    const int bottom = std::min(std::max(a.y(), b.y()), image.height() - 1);
    for (int y = top; y <= bottom; ++y) {
        const int64_t along = int64_t(y - a.y()) * step;
        const int64_t x = a.x() + RoundedQuotient(along * dx, length);
        if (x >= left && x < image.width())
            SetPixel(image, int(x), y, colour);
    }
}

void DrawDottedRow(QImage& image, int y, int64_t firstColumn, QRgb colour, int fromX) {
    if (y < 0 || y >= image.height())
        return;
    int x = std::max(fromX, 0);
    if ((firstColumn + x) % 2 != 0)
        ++x;
    for (; x < image.width(); x += 2)
        SetPixel(image, x, y, colour);
}

void DrawDottedColumn(QImage& image, int x, QRgb colour) {
    if (x < 0 || x >= image.width())
        return;
    for (int y = 0; y < image.height(); y += 2)
        SetPixel(image, x, y, colour);
}

void ScrollLeft(QImage& image, int columns) {
    if (columns <= 0)
        return;
    const int kept = image.width() - columns;
    if (kept <= 0)
        return;
    for (int y = 0; y < image.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        std::memmove(row, row + columns, size_t(kept) * sizeof(QRgb));
    }
}
