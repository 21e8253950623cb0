#include "views/GaugeScale.h"

#include <algorithm>
#include <array>
#include <cmath>

double GaugeScale::yOf(double value) const {
    const double clamped = std::clamp(value, minimum, maximum);
    return bottom - (clamped - minimum) * (bottom - top) / (maximum - minimum);
}

double GaugeScale::valueAt(double y, double step) const {
    const double value = minimum + (bottom - y) * (maximum - minimum) / (bottom - top);
    return std::clamp(SnapToStep(value, step), minimum, maximum);
}

double SnapToStep(double value, double step) {
    return std::round(value / step) * step;
}

double GraduationStep(const GaugeScale& scale, int labelHeight) {
    const double pixelsPerDegree = (scale.bottom - scale.top) / (scale.maximum - scale.minimum);
    for (const double step : std::array<double, 4>{10, 20, 25, 50})
        if (step * pixelsPerDegree >= 2.0 * labelHeight)
            return step;
    return 50;
}

std::vector<double> Graduations(const GaugeScale& scale, double step) {
    std::vector<double> values;
    for (double v = std::ceil(scale.minimum / step) * step; v <= scale.maximum; v += step)
        values.push_back(v);
    return values;
}
