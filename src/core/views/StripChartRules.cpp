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

TemperatureRange AutoscaledRange(double lowestSample, double highestSample) {
    const double spread = highestSample - lowestSample;
    const double margin = spread > 0 ? spread / 20 : kMinTemperatureRange / 2;
    return {std::max(kLowestTemperature, lowestSample - margin),
            std::min(kHighestTemperature, highestSample + margin)};
}

TimeRange ZoomedTimeRange(TimeRange range, double pointerKey, double factor) {
    const double span = range.upper - range.lower;
    if (span <= 0 || factor <= 0)
        return range;
    const double zoomed = std::clamp(span * factor, kMinTimeSpan, kHistorySeconds);
    const double share = std::clamp((pointerKey - range.lower) / span, 0.0, 1.0);
    const double lower = pointerKey - share * zoomed;
    return {lower, lower + zoomed};
}
