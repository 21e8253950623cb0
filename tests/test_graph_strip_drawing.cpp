// The plot area scrolls what it drew and draws only the new columns; the user
// must see exactly what a whole drawing shows.
#include "support/GraphWindowFixture.h"
#include "views/PlotArea.h"

#include <QImage>
#include <cmath>
#include <functional>

namespace {

struct StripCase {
    const char* name;
    double span;
    QSize windowSize;
    std::function<double(int)> wave; // the Local trace at the i-th update
};

void PrintTo(const StripCase& c, std::ostream* out) {
    *out << c.name;
}

class StripDrawing : public GraphWindowFixture, public ::testing::WithParamInterface<StripCase> {};

bool HasColour(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == colour)
                return true;
    return false;
}

TEST_P(StripDrawing, ScrolledPictureEqualsAWholeDrawingAfterAMinute) {
    const StripCase& c = GetParam();
    window.resize(c.windowSize);
    chart->setTimeSpan(c.span);
    auto* area = chart->plot()->findChild<PlotArea*>();
    ASSERT_NE(area, nullptr);
    chart->replotNow();
    const int wholeBefore = area->wholeDrawings();
    for (int i = 0; i < 20 * 60; ++i) {
        const double local = c.wave(i);
        feed(local, 33.75 + 0.25 * std::round(20 * std::sin(i / 90.0)), i % 40 < 20 ? 30.5 : 31);
        chart->replotNow();
    }
    // Scrolled all the while: only the first drawing after the resize drew it whole.
    EXPECT_LE(area->wholeDrawings() - wholeBefore, 1);
    const QImage scrolled = chart->plot()->grab().toImage();
    area->redrawAll();
    chart->replotNow();
    const QImage whole = chart->plot()->grab().toImage();
    EXPECT_EQ(area->wholeDrawings() - wholeBefore, 2);
    EXPECT_TRUE(HasColour(whole, qRgb(210, 0, 0))) << "the Local trace shows";
    ASSERT_EQ(scrolled.size(), whole.size());
    EXPECT_EQ(scrolled, whole);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StripDrawing,
    ::testing::Values(
        StripCase{"Minute", 60, {640, 420}, [](int i) { return 25 + std::round(3 * std::sin(i / 200.0)); }},
        StripCase{"TenSecondsOddWidth", 10, {517, 333}, [](int i) { return 25 + 0.25 * (i % 7); }},
        StripCase{"TwoSecondsSteepJumps", 2, {733, 461}, [](int i) { return (i / 3) % 2 ? -60.0 : 200.0; }},
        StripCase{"TenMinutesNoisy",
                  600,
                  {901, 500},
                  [](int i) { return 25 + 7 * std::sin(i * 1.7) + 0.3 * (i % 3); }},
        StripCase{"OddSpanSmall", 37, {300, 240}, [](int i) { return 40 + 20 * std::sin(i / 15.0); }}),
    [](const ::testing::TestParamInfo<StripCase>& row) { return std::string(row.param.name); });

} // namespace
