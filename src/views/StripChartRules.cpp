#include "views/StripChartRules.h"

#include <algorithm>

std::optional<double> HistoryTrimKey(double oldestKey, double newestKey) {
    if (newestKey - oldestKey <= kHistorySeconds + kTrimChunkSeconds)
        return std::nullopt;
    return newestKey - kHistorySeconds;
}

double DraggedTimeSpan(double span, int dragRightPixels, int axisPixels) {
    if (axisPixels <= 0)
        return span;
    const double moved = span - dragRightPixels * span / axisPixels;
    return std::clamp(moved, kMinTimeSpan, kHistorySeconds);
}

TemperatureRange DraggedUpperEnd(TemperatureRange range, int dragDownPixels, int axisPixels) {
    if (axisPixels <= 0)
        return range;
    const double moved = range.high - dragDownPixels * (range.high - range.low) / axisPixels;
    return {range.low, std::clamp(moved, range.low + kMinTemperatureRange, kHighestTemperature)};
}

TemperatureRange DraggedLowerEnd(TemperatureRange range, int dragDownPixels, int axisPixels) {
    if (axisPixels <= 0)
        return range;
    const double moved = range.low - dragDownPixels * (range.high - range.low) / axisPixels;
    return {std::clamp(moved, kLowestTemperature, range.high - kMinTemperatureRange), range.high};
}
