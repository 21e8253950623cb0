#include "views/ChartReadoutRules.h"

#include <cmath>
#include <gtest/gtest.h>
#include <vector>

TEST(GraphStatisticsRule, KnownSamplesGiveKnownNumbers) {
    struct Row {
        const char* name;
        std::vector<double> samples;
        double min, max, mean, deviation;
    };
    const Row rows[] = {
        {"textbook set", {2, 4, 4, 4, 5, 5, 7, 9}, 2, 9, 5, 2},
        {"single sample has no spread", {25.25}, 25.25, 25.25, 25.25, 0},
        {"below zero", {-10, -20}, -20, -10, -15, 5},
        // A naive sum of squares loses every digit here; the running mean keeps them.
        {"flat at a large offset",
         {1e9 + 1, 1e9 + 2, 1e9 + 3},
         1e9 + 1,
         1e9 + 3,
         1e9 + 2,
         std::sqrt(2.0 / 3)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SampleStatistics statistics;
        for (double sample : row.samples)
            statistics.add(sample);
        EXPECT_EQ(statistics.count(), int(row.samples.size()));
        EXPECT_DOUBLE_EQ(statistics.min(), row.min);
        EXPECT_DOUBLE_EQ(statistics.max(), row.max);
        EXPECT_DOUBLE_EQ(statistics.mean(), row.mean);
        EXPECT_NEAR(statistics.standardDeviation(), row.deviation, 1e-6);
        EXPECT_DOUBLE_EQ(statistics.peakToPeak(), row.max - row.min);
    }
}

TEST(GraphStatisticsRule, LinesNameTheChannelAndSayWhenEmpty) {
    SampleStatistics statistics;
    EXPECT_EQ(StatisticsLine("Local", statistics), "Local  no samples");
    for (double sample : {20.0, 30.0})
        statistics.add(sample);
    EXPECT_EQ(StatisticsLine("Remote1", statistics),
              "Remote1  min 20.00  max 30.00  mean 25.00  σ 5.00  p-p 10.00 °C");
}

TEST(GraphCursorRule, DifferencesBetweenTheCursors) {
    struct Row {
        const char* name;
        std::optional<double> first, second;
        double seconds;
        const char* line;
    };
    const Row rows[] = {
        {"rising over ten seconds", 25, 26, 10, "Δ Local +1.00 °C  +6.00 °C/min"},
        {"falling, cursors swapped", 26, 25, -10, "Δ Local -1.00 °C  +6.00 °C/min"},
        // Both cursors on one instant: no rate rather than a division by zero.
        {"same instant", 25, 25.5, 0, "Δ Local +0.50 °C  — °C/min"},
        {"no reading before the history", std::nullopt, 26, 10, "Δ Local no sample"},
        {"no reading after the newest sample", 25, std::nullopt, 10, "Δ Local no sample"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(CursorDeltaLine("Local", row.first, row.second, row.seconds), row.line);
    }
}

// A cursor reads the sample in force at its time, and only while the trace was being sampled there.
TEST(GraphCursorRule, ReadsTheSampleInForceOrNone) {
    struct Sample {
        double key, value;
    };
    // Sampled every 50 ms, then nothing for almost two seconds (the window was closed, the clock set
    // back), then two more samples.
    const std::vector<Sample> samples{{10.00, 1}, {10.05, 2}, {10.10, 3}, {12.00, 4}, {12.05, 5}};
    constexpr double kLongestGap = 0.15;
    const struct {
        const char* name;
        double key;
        std::optional<double> value;
    } rows[] = {
        {"before the oldest sample", 9.99, std::nullopt},
        {"on the oldest sample", 10.00, 1},
        {"between two samples", 10.07, 2},
        {"within the longest gap after a sample", 10.24, 3},
        {"in the gap, too long after the sample before", 10.26, std::nullopt},
        {"on the newest sample", 12.05, 5},
        // The newest sample's value holds only until the next one is due, which has not been read yet.
        {"after the newest sample", 12.06, std::nullopt},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const auto found = SampleAtCursor(samples.begin(), samples.end(), row.key, kLongestGap);
        EXPECT_EQ(found == samples.end() ? std::nullopt : std::optional<double>(found->value), row.value);
    }
    const std::vector<Sample> none;
    EXPECT_EQ(SampleAtCursor(none.begin(), none.end(), 10, kLongestGap), none.end());
}

TEST(GraphCursorRule, CursorsGoAThirdAndTwoThirdsIntoTheSamplesOnScreen) {
    const auto places = CursorPlaces(30, 60);
    ASSERT_TRUE(places.has_value());
    EXPECT_DOUBLE_EQ(places->first, 40);
    EXPECT_DOUBLE_EQ(places->second, 50);
    // One sample, or none (the oldest after the newest): nothing to stand among yet.
    EXPECT_FALSE(CursorPlaces(30, 30).has_value());
}

TEST(GraphCursorRule, PointerTimeAndChannelNames) {
    EXPECT_EQ(PointerTimeText(QDateTime(QDate(2026, 12, 8), QTime(13, 7, 0, 250))),
              "2026-12-08 13:07:00.250");
    EXPECT_EQ(ChannelOfCaption("Remote2 = 30.50°C", "Remote1"), "Remote2");
    EXPECT_EQ(ChannelOfCaption("Local", "Local"), "Local");
    // The hidden third trace has an empty caption.
    EXPECT_EQ(ChannelOfCaption("", "Remote2"), "Remote2");
}
