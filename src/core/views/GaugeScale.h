#pragma once
// The temperature gauge's vertical scale: where a temperature stands in pixels,
// which temperature a pointer position picks, and where graduations go.
// Pure rules: no widget inside.
#include <vector>

struct GaugeScale {
    double minimum = 0;   // °C at the bottom end
    double maximum = 127; // °C at the top end
    int top = 0;          // pixel row of the maximum
    int bottom = 0;       // pixel row of the minimum

    // The pixel row of a temperature; values beyond the scale stand at its ends.
    double yOf(double value) const;
    // The temperature under a pixel row, on a multiple of step and within the scale.
    double valueAt(double y, double step) const;
};

// The nearest multiple of step (a slider's resolution in °C).
double SnapToStep(double value, double step);
// Labelled graduations: multiples of a step of 10, 20, 25 or 50 °C far enough
// apart for labels of the given pixel height.
double GraduationStep(const GaugeScale& scale, int labelHeight);
std::vector<double> Graduations(const GaugeScale& scale, double step);
