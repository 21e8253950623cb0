#include "views/LimitEncoding.h"

#include "chip/ChipRegisters.h"
#include "chip/TemperatureCodec.h"

#include <array>

namespace {
constexpr std::array<LimitRegisters, kGaugeCount> kGaugeRegisters{{
    {kLocalLowLimitRead, kLocalLowLimitWrite, 0, kLocalHighLimitRead, kLocalHighLimitWrite, 0,
     kLocalThermLimit},
    {kRemote1LowLimitHighRead, kRemote1LowLimitHighWrite, kRemote1LowLimitLow, kRemote1HighLimitHighRead,
     kRemote1HighLimitHighWrite, kRemote1HighLimitLow, kRemote1ThermLimit},
    {kRemote2LowLimitHigh, kRemote2LowLimitHigh, kRemote2LowLimitLow, kRemote2HighLimitHigh,
     kRemote2HighLimitHigh, kRemote2HighLimitLow, kRemote2ThermLimit},
}};
} // namespace

GaugeLimitSteps LimitStepsOfGauge(int gauge) {
    const LimitRegisters& regs = GaugeLimitRegisters(gauge);
    return {regs.lowFraction ? 0.25 : 1.0, regs.highFraction ? 0.25 : 1.0, 1.0};
}

const LimitRegisters& GaugeLimitRegisters(int gauge) {
    return kGaugeRegisters.at(gauge);
}

std::vector<int> GaugesShowingWrite(int32_t writeAddress, bool remote2Selected) {
    std::vector<int> gauges;
    for (int g = 0; g < kGaugeCount; ++g) {
        const LimitRegisters& r = kGaugeRegisters[g];
        for (const int32_t reg : {r.lowWrite, r.lowFraction, r.highWrite, r.highFraction, r.therm})
            if (reg != 0 && reg == writeAddress)
                gauges.push_back(g);
    }
    if (remote2Selected && !gauges.empty() && gauges.front() != 0)
        return {1, 2};
    return gauges;
}

std::vector<LimitWrite> GaugeLimitWrites(int gauge, const GaugeLimits& limits, bool extended) {
    const LimitRegisters& r = GaugeLimitRegisters(gauge);
    if (r.lowFraction == 0)
        return {{r.lowWrite, WholeDegreeLimitByte(limits.low, extended)},
                {r.highWrite, WholeDegreeLimitByte(limits.high, extended)},
                {r.therm, WholeDegreeLimitByte(limits.therm, extended)}};
    return {{r.lowWrite, RemoteLimitHighByte(limits.low, extended)},
            {r.lowFraction, RemoteLimitFractionByte(limits.low)},
            {r.highWrite, RemoteLimitHighByte(limits.high, extended)},
            {r.highFraction, RemoteLimitFractionByte(limits.high)},
            {r.therm, WholeDegreeLimitByte(limits.therm, extended)}};
}

GaugeLimits ReadGaugeLimitBytes(int gauge, bool extended, const std::function<int32_t(int32_t)>& readByte) {
    const LimitRegisters& r = GaugeLimitRegisters(gauge);
    GaugeLimits limits;
    if (r.lowFraction == 0) {
        limits.low = WholeDegreeCelsius(readByte(r.lowRead), extended);
        limits.high = WholeDegreeCelsius(readByte(r.highRead), extended);
    } else {
        // Each read's value is taken before the next read is issued.
        const int32_t lowHigh = readByte(r.lowRead);
        limits.low = RemoteQuarterCelsius(lowHigh, readByte(r.lowFraction), extended);
        const int32_t highHigh = readByte(r.highRead);
        limits.high = RemoteQuarterCelsius(highHigh, readByte(r.highFraction), extended);
    }
    limits.therm = WholeDegreeCelsius(readByte(r.therm), extended);
    return limits;
}
