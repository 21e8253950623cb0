#pragma once
// Where a number becomes a register byte or a whole typed value it is rounded to the
// nearest whole number, halves to the even neighbour (12.5 → 12, 13.5 → 14).
#include <cmath>

inline double RoundHalfEven(double value) {
    const double lower = std::floor(value);
    const double diff = value - lower;
    if (diff < 0.5)
        return lower;
    if (diff > 0.5)
        return lower + 1.0;
    return std::fmod(lower, 2.0) == 0.0 ? lower : lower + 1.0;
}
