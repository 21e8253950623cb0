#pragma once
// The strip chart's rules for how much history it keeps and how its zoom
// handles move the visible ranges. Pure functions: no widget inside.
#include <optional>

// Keys are seconds since the epoch; two hours keep the last hour in reach with room to spare.
constexpr double kHistorySeconds = 2 * 60 * 60;
// Old samples go a minute at a time, so trimming costs O(1) per sample on average.
constexpr double kTrimChunkSeconds = 60;

// The key before which samples are dropped, or nothing while the history still fits.
std::optional<double> HistoryTrimKey(double oldestKey, double newestKey);

constexpr double kStoredTimeSpan = 60;
constexpr double kMinTimeSpan = 2;
constexpr double kStoredTemperatureLow = -40;
constexpr double kStoredTemperatureHigh = 130;
// Every temperature the chip can report, normal or extended range.
constexpr double kLowestTemperature = -64;
constexpr double kHighestTemperature = 255;
constexpr double kMinTemperatureRange = 1;

struct TemperatureRange {
    double low;
    double high;
};

// The time handle is the left end of the time axis: dragging it right by some
// pixels moves that end right by as many pixels' worth of seconds, narrowing the span.
double DraggedTimeSpan(double span, int dragRightPixels, int axisPixels);
// The handles at the top and bottom ends of the temperature axis move that end
// with the mouse; dragging down is positive.
TemperatureRange DraggedUpperEnd(TemperatureRange range, int dragDownPixels, int axisPixels);
TemperatureRange DraggedLowerEnd(TemperatureRange range, int dragDownPixels, int axisPixels);

// The temperature range that just holds the visible samples, with a margin of a
// twentieth of their spread on each side (half a degree for a flat line), kept
// within what the chip can report.
TemperatureRange AutoscaledRange(double lowestSample, double highestSample);

struct TimeRange {
    double lower;
    double upper;
};
// The wheel zooms time around the pointer: the key under it stays where it is
// while the span is multiplied by factor, kept between the smallest span and the history.
TimeRange ZoomedTimeRange(TimeRange range, double pointerKey, double factor);
