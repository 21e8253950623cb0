#include "device/RangeHold.h"

#include "chip/ChipRegisters.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kFastestCode = 9;

// The next conversion starts within one period of a switch (or of a new rate, or of
// waking), and a conversion ends within its own period: after two periods one has
// certainly been made under the new range, whatever the chip's conversion time.
double settleMs(double periodMs) {
    return 2 * periodMs;
}
} // namespace

double ConversionPeriodSeconds(int32_t conversionRate) {
    const int code = std::min(conversionRate & kConversionRateCode, kFastestCode);
    return 16.0 / std::ldexp(1.0, code);
}

void RangeHold::rangeSwitched(double nowMs, bool standby) {
    pending_ = true;
    standby_ = standby;
    periodMs_ = -1;
    fromMs_ = nowMs;
    untilMs_ = nowMs;
}

void RangeHold::rateRead(int32_t conversionRate) {
    if (!needsRate())
        return;
    periodMs_ = ConversionPeriodSeconds(conversionRate) * 1000;
    untilMs_ = std::max(untilMs_, fromMs_ + settleMs(periodMs_));
}

void RangeHold::rateWritten(double nowMs, int32_t conversionRate) {
    if (!holds(nowMs))
        return;
    periodMs_ = ConversionPeriodSeconds(conversionRate) * 1000;
    untilMs_ = std::max(untilMs_, nowMs + settleMs(periodMs_));
}

void RangeHold::standbySeen(double nowMs, bool standby) {
    if (!holds(nowMs)) {
        pending_ = false;
        return;
    }
    if (standby_ && !standby) {
        fromMs_ = nowMs;
        if (periodMs_ >= 0)
            untilMs_ = std::max(untilMs_, nowMs + settleMs(periodMs_));
    }
    standby_ = standby;
}

bool RangeHold::holds(double nowMs) const {
    return pending_ && (standby_ || periodMs_ < 0 || nowMs < untilMs_);
}
