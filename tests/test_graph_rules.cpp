#include "views/StripChartRules.h"

#include <gtest/gtest.h>

TEST(GraphHistoryRule, TrimsOnlyAfterAFullChunkBeyondTheHistory) {
    struct Row {
        const char* name;
        double oldest;
        double newest;
        std::optional<double> trimKey;
    };
    const Row rows[] = {
        {"empty span keeps everything", 1000, 1000, std::nullopt},
        {"exactly the history keeps everything", 0, kHistorySeconds, std::nullopt},
        // Trimming at every sample would cost a search per append; it waits for a whole chunk.
        {"history plus a chunk still keeps everything", 0, kHistorySeconds + kTrimChunkSeconds, std::nullopt},
        {"past the chunk drops back to the history", 0, kHistorySeconds + kTrimChunkSeconds + 1,
         kTrimChunkSeconds + 1},
        {"long gap drops all but the history", 100, 100000, 100000 - kHistorySeconds},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const auto key = HistoryTrimKey(row.oldest, row.newest);
        ASSERT_EQ(key.has_value(), row.trimKey.has_value());
        if (key) {
            EXPECT_DOUBLE_EQ(*key, *row.trimKey);
        }
    }
}

TEST(GraphZoomRule, TimeHandleMovesTheLeftEndWithTheMouse) {
    struct Row {
        const char* name;
        double span;
        int dragRight;
        int axisPixels;
        double expected;
    };
    const Row rows[] = {
        {"half the axis to the right halves the span", 60, 250, 500, 30},
        {"half the axis to the left widens by half", 60, -250, 500, 90},
        {"no movement keeps the span", 60, 0, 500, 60},
        {"past the right end stops at the shortest span", 60, 600, 500, kMinTimeSpan},
        {"far to the left stops at the history held", 6000, -5000, 500, kHistorySeconds},
        // A collapsed plot area must not divide by zero.
        {"no plot area leaves the span", 60, 100, 0, 60},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_DOUBLE_EQ(DraggedTimeSpan(row.span, row.dragRight, row.axisPixels), row.expected);
    }
}

TEST(GraphZoomRule, TemperatureHandlesMoveTheirOwnEnd) {
    struct Row {
        const char* name;
        bool upper;
        int dragDown;
        int axisPixels;
        double low;
        double high;
    };
    // From the stored range -40..130 (170 °C) on a 340-pixel axis: 2 pixels per degree.
    const Row rows[] = {
        {"upper end down narrows", true, 40, 340, -40, 110},
        {"upper end up widens", true, -40, 340, -40, 150},
        {"upper end cannot pass the lower end", true, 400, 340, -40, -40 + kMinTemperatureRange},
        {"upper end stops at the highest reading", true, -1000, 340, -40, kHighestTemperature},
        {"lower end up narrows", false, -40, 340, -20, 130},
        {"lower end down widens", false, 20, 340, -50, 130},
        {"lower end cannot pass the upper end", false, -400, 340, 130 - kMinTemperatureRange, 130},
        {"lower end stops at the lowest reading", false, 1000, 340, kLowestTemperature, 130},
        {"no plot area leaves the range", true, 40, 0, -40, 130},
    };
    const TemperatureRange stored{kStoredTemperatureLow, kStoredTemperatureHigh};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const TemperatureRange range = row.upper ? DraggedUpperEnd(stored, row.dragDown, row.axisPixels)
                                                 : DraggedLowerEnd(stored, row.dragDown, row.axisPixels);
        EXPECT_DOUBLE_EQ(range.low, row.low);
        EXPECT_DOUBLE_EQ(range.high, row.high);
    }
}

TEST(GraphViewRule, AutoscaleAddsAMarginWithinTheChipRange) {
    struct Row {
        const char* name;
        double lowest, highest, low, high;
    };
    const Row rows[] = {
        {"spread of ten gets half a degree each side", 20, 30, 19.5, 30.5},
        // A flat line would otherwise give an empty axis.
        {"flat line gets a whole degree", 25, 25, 24.5, 25.5},
        {"margin stops at the chip's extremes", -64, 255, -64, 255},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const TemperatureRange range = AutoscaledRange(row.lowest, row.highest);
        EXPECT_DOUBLE_EQ(range.low, row.low);
        EXPECT_DOUBLE_EQ(range.high, row.high);
    }
}

TEST(GraphViewRule, WheelZoomKeepsThePointerKeyInPlace) {
    struct Row {
        const char* name;
        TimeRange range;
        double pointer, factor, lower, upper;
    };
    const Row rows[] = {
        {"halving around the middle", {0, 60}, 30, 0.5, 15, 45},
        {"doubling around the right end", {0, 60}, 60, 2, -60, 60},
        {"never below the smallest span", {0, 60}, 0, 0.001, 0, kMinTimeSpan},
        {"never beyond the history", {0, 60}, 60, 1e6, 60 - kHistorySeconds, 60},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        const TimeRange zoomed = ZoomedTimeRange(row.range, row.pointer, row.factor);
        EXPECT_DOUBLE_EQ(zoomed.lower, row.lower);
        EXPECT_DOUBLE_EQ(zoomed.upper, row.upper);
    }
}
