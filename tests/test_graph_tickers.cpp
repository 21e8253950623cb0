#include "views/CachedTickers.h"

#include <gtest/gtest.h>

#include <functional>

namespace {
struct Labels {
    QVector<double> ticks;
    QVector<QString> texts;
};

Labels LabelsOf(QCPAxisTicker& ticker, const QCPRange& range, const QLocale& locale, int precision) {
    Labels labels;
    ticker.generate(range, locale, 'g', precision, labels.ticks, nullptr, &labels.texts);
    return labels;
}

struct Row {
    const char* name;
    double lower;
    double span; // the range shown
    double step; // how far it moves between redraws
    int redraws;
    // Applied to both tickers halfway: a change of style must not serve the texts made before it.
    std::function<void(QCPAxisTicker&)> changeHalfway;
    QLocale localeFromHalfway = QLocale::c();
    int precisionFromHalfway = 6;
};

// The cached ticker is driven through a series of ranges and must give the plain ticker's ticks and texts in
// each.
void ExpectSameLabels(QCPAxisTicker& cached, QCPAxisTicker& plain, const Row& row) {
    int textsCompared = 0;
    for (int i = 0; i < row.redraws; ++i) {
        const bool late = i >= row.redraws / 2;
        if (row.changeHalfway && i == row.redraws / 2) {
            row.changeHalfway(cached);
            row.changeHalfway(plain);
        }
        const QLocale locale = late ? row.localeFromHalfway : QLocale::c();
        const int precision = late ? row.precisionFromHalfway : 6;
        // A negative step jumps back and forth, as a drag or a zoom puts the view elsewhere.
        const double lower = row.lower + i * row.step + (row.step < 0 && i % 2 ? 500 : 0);
        const QCPRange range(lower, lower + row.span);
        const Labels expected = LabelsOf(plain, range, locale, precision);
        const Labels got = LabelsOf(cached, range, locale, precision);
        ASSERT_EQ(got.ticks, expected.ticks) << "redraw " << i;
        ASSERT_EQ(got.texts, expected.texts) << "redraw " << i;
        textsCompared += got.texts.size();
    }
    EXPECT_GE(textsCompared, row.redraws * 3); // a few labels in every range, or nothing was compared
}

constexpr double kStart = 1.8e9; // a key in seconds, as the chart's samples carry

void ChartTimeFormat(QCPAxisTicker& ticker) {
    auto& time = dynamic_cast<QCPAxisTickerDateTime&>(ticker);
    time.setDateTimeFormat("HH mm ss");
    time.setDateTimeSpec(Qt::LocalTime);
}

TEST(CachedTickers, TimeLabelsMatchTheUncachedTickerWhileTheViewMoves) {
    const Row rows[] = {
        {"one minute scrolling at 20 updates a second", kStart, 60, 0.05, 400, {}},
        {"two hours scrolling", kStart, 7200, 0.05, 200, {}},
        {"ten seconds zoomed in", kStart, 10, 0.05, 200, {}},
        {"the view jumping back and forth", kStart, 60, -37.3, 100, {}},
        {"the format changing", kStart, 60, 0.05, 100,
         [](QCPAxisTicker& t) { dynamic_cast<QCPAxisTickerDateTime&>(t).setDateTimeFormat("HH:mm:ss"); }},
        {"the time zone changing", kStart, 60, 0.05, 100,
         [](QCPAxisTicker& t) {
             dynamic_cast<QCPAxisTickerDateTime&>(t).setTimeZone(QTimeZone(3600 * 5 + 1800));
         }},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TimeAxisTicker cached;
        QCPAxisTickerDateTime plain;
        ChartTimeFormat(cached);
        ChartTimeFormat(plain);
        ExpectSameLabels(cached, plain, row);
    }
}

TEST(CachedTickers, ValueLabelsMatchTheUncachedTickerWhileTheRangeMoves) {
    const Row rows[] = {
        {"the stored temperature range, still", 0, 50, 0, 50, {}},
        {"a range zoomed step by step", -40, 165, -0.7, 200, {}},
        {"a range sliding in small steps", 20, 5, 0.013, 300, {}},
        {"the precision changing", 20, 0.01, 0, 20, {}, QLocale::c(), 2},
        {"the locale changing", 20, 1, 0, 20, {}, QLocale(QLocale::German)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ValueAxisTicker cached;
        QCPAxisTicker plain;
        ExpectSameLabels(cached, plain, row);
    }
}
} // namespace
