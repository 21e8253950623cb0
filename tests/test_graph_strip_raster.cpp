// The plot area's pixels: a line or a dotted grid row drawn from some column on
// must set exactly the pixels the whole drawing sets there, and a scrolled
// picture must equal one drawn afresh, or the scrolled chart would tear.
#include "views/StripRaster.h"

#include <QImage>
#include <gtest/gtest.h>

namespace {

QImage Blank() {
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Columns fromX and right of it of a; the rest of b.
QImage RightPart(const QImage& a, const QImage& b, int fromX) {
    QImage mixed = b;
    for (int y = 0; y < a.height(); ++y)
        for (int x = fromX; x < a.width(); ++x)
            mixed.setPixel(x, y, a.pixel(x, y));
    return mixed;
}

TEST(StripRaster, PartOfALineIsThatPartOfTheWholeLine) {
    struct Row {
        const char* name;
        QPoint a, b;
    };
    const Row rows[] = {
        {"shallow", {-5, 3}, {37, 17}},
        {"steep", {4, 40}, {20, -12}},
        {"from right to left", {45, 2}, {-3, 9}},
        {"vertical", {12, -3}, {12, 50}},
        {"one pixel", {8, 8}, {8, 8}},
        {"far outside", {-900, 5}, {50, 7}},
        {"steep halves", {3, 0}, {6, 29}},
    };
    const QRgb red = qRgb(210, 0, 0);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        QImage whole = Blank();
        DrawPixelLine(whole, row.a, row.b, red, 0);
        EXPECT_NE(whole, Blank()) << "the line shows";
        for (int fromX : {1, 7, 12, 13, 39}) {
            QImage part = Blank();
            DrawPixelLine(part, row.a, row.b, red, fromX);
            EXPECT_EQ(part, RightPart(whole, Blank(), fromX)) << "from column " << fromX;
        }
    }
}

TEST(StripRaster, ScrolledPictureEqualsOneDrawnAfresh) {
    const QRgb grey = qRgb(200, 200, 200);
    const QRgb red = qRgb(210, 0, 0);
    // A picture whose left column has the absolute number first.
    const auto draw = [&](int64_t first, int fromX, QImage& image) {
        DrawDottedRow(image, 10, first, grey, fromX);
        // A line fixed in absolute columns 100 to 130.
        DrawPixelLine(image, {int(100 - first), 2}, {int(130 - first), 25}, red, fromX);
    };
    for (int shift : {1, 2, 3, 17}) {
        SCOPED_TRACE(shift);
        QImage scrolled = Blank();
        draw(95, 0, scrolled);
        ScrollLeft(scrolled, shift);
        const int fromX = scrolled.width() - shift;
        for (int y = 0; y < scrolled.height(); ++y)
            for (int x = fromX; x < scrolled.width(); ++x)
                scrolled.setPixel(x, y, qRgb(255, 255, 255));
        draw(95 + shift, fromX, scrolled);
        QImage fresh = Blank();
        draw(95 + shift, 0, fresh);
        EXPECT_EQ(scrolled, fresh);
    }
}

} // namespace
