#pragma once
// Readings held back after the extended range is switched. The chip keeps the
// temperature registers of its last conversion, made under the old range, until
// it has finished a conversion under the new one; decoding them with the new
// offset would show and log temperatures 64 °C off. Pure: the caller supplies
// the time and what it read from the chip.
#include <cstdint>

// The conversion period for a Conversion Rate value: 16 s at code 0, halving with
// each code up to 31.25 ms at code 9. "Continuous" (10 and above) converts at least
// that fast, so its period is taken as 31.25 ms.
double ConversionPeriodSeconds(int32_t conversionRate);

class RangeHold {
public:
    // The range bit changed on the chip at nowMs (any monotonic milliseconds). The
    // rate is asked for later (needsRate), so the writer's requests stay as they were.
    void rangeSwitched(double nowMs, bool standby);
    bool needsRate() const { return pending_ && periodMs_ < 0; }
    // A switch has not yet been settled: only then does the time matter.
    bool pending() const { return pending_; }
    // The Conversion Rate in force, read after the switch.
    void rateRead(int32_t conversionRate);
    // A new rate restarts the chip's conversion period.
    void rateWritten(double nowMs, int32_t conversionRate);
    // Configuration Reg 1 read back: in standby the chip does not convert at all.
    void standbySeen(double nowMs, bool standby);
    // True while the temperature registers may still hold an old-range conversion.
    bool holds(double nowMs) const;

private:
    bool pending_ = false;
    bool standby_ = false;
    double periodMs_ = -1; // unknown until the rate is read or written
    double fromMs_ = 0;    // the switch, or the latest wake from standby
    double untilMs_ = 0;
};
