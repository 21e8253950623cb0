#include "views/CachedText.h"

#include <qcustomplot.h>

#include <QTest>
#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Two plots alike but for their legend: QCustomPlot's own items and heading, or the cached ones.
struct LegendPlot {
    explicit LegendPlot(bool cached) {
        plot.resize(420, 260);
        plot.setAutoAddPlottableToLegend(false);
        plot.legend->setVisible(true);
        plot.legend->setBrush(QColor(255, 255, 255, 220));
        const QFont bold(plot.font().family(), -1, QFont::Bold);
        heading = cached ? new CachedTextElement(&plot, "Temperature (°C)", bold)
                         : new QCPTextElement(&plot, "Temperature (°C)", bold);
        heading->setLayer(plot.legend->layer());
        plot.legend->addElement(heading);
        for (const QColor colour : {QColor(210, 0, 0), QColor(0, 60, 220)}) {
            QCPGraph* trace = plot.addGraph();
            trace->setPen(QPen(colour, 1));
            trace->setName("Remote1 = 33.75°C");
            plot.legend->addItem(cached ? new CachedLegendItem(plot.legend, trace)
                                        : new QCPPlottableLegendItem(plot.legend, trace));
        }
        plot.show();
    }
    QImage picture() {
        plot.replot();
        return plot.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    }
    QCustomPlot plot;
    QCPTextElement* heading = nullptr;
};

// Largest difference of any colour channel of any pixel; a size mismatch counts as 255.
int LargestDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return 255;
    int largest = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    return largest;
}

TEST(LegendText, CachedLegendLooksLikeQCustomPlotsOwn) {
    struct Row {
        const char* name;
        QString caption; // set on the first trace before the picture
        QString heading = "Temperature (°C)";
    };
    const Row rows[] = {
        {"the first picture", "Remote1 = 33.75°C"},
        // The cache must not keep showing the old caption, nor its old width.
        {"a new caption", "Remote1 = 34°C"},
        {"a longer caption", "Remote1 = 101.25°C (diode open)"},
        {"no caption", ""},
        {"a new heading", "Remote1 = 34°C", "Temperature (°F)"},
    };
    LegendPlot own(false);
    LegendPlot cached(true);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&cached.plot));
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        own.plot.graph(0)->setName(row.caption);
        cached.plot.graph(0)->setName(row.caption);
        own.heading->setText(row.heading);
        cached.heading->setText(row.heading);
        // Rounding where the cached text is blended may differ by a step or two, no more.
        EXPECT_LE(LargestDifference(cached.picture(), own.picture()), 2);
    }
}

} // namespace
