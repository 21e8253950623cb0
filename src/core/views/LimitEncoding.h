#pragma once
// How the limits window turns limit registers into slider temperatures and back.
// Pure rules: no widget and no chip inside; the bytes are the codec's (chip/TemperatureCodec.h).
#include <cstdint>
#include <functional>
#include <vector>

// The limit registers behind one gauge. Local limits have no fraction register (0).
struct LimitRegisters {
    int32_t lowRead;
    int32_t lowWrite;
    int32_t lowFraction;
    int32_t highRead;
    int32_t highWrite;
    int32_t highFraction;
    int32_t therm;
};

// Gauge 0 Local, 1 the shared remote registers (Remote1 or Remote2 by Config Reg 1 bit 3), 2 Remote2's own.
constexpr int kGaugeCount = 3;
const LimitRegisters& GaugeLimitRegisters(int gauge);

// The gauges that show a register written at writeAddress, in gauge order; none for a
// register that is not a limit. While Remote2 is selected the shared registers reach
// Remote2, so gauges 1 and 2 then show the same limits.
std::vector<int> GaugesShowingWrite(int32_t writeAddress, bool remote2Selected);

// Slider temperatures in °C.
struct GaugeLimits {
    double low = 0;
    double high = 0;
    double therm = 0;
};

// The resolution the chip keeps for each limit of a gauge, in °C: a quarter degree
// where a limit has a fraction register, else whole degrees (every THERM limit).
struct GaugeLimitSteps {
    double low;
    double high;
    double therm;
};
GaugeLimitSteps LimitStepsOfGauge(int gauge);

struct LimitWrite {
    int32_t reg;
    int32_t data;
    bool operator==(const LimitWrite& other) const { return reg == other.reg && data == other.data; }
};

// Every limit register of the gauge, in the order they are written: low, high, THERM.
std::vector<LimitWrite> GaugeLimitWrites(int gauge, const GaugeLimits& limits, bool extended);
// Reads the gauge's limit registers through readByte in the chip's order and converts them.
GaugeLimits ReadGaugeLimitBytes(int gauge, bool extended, const std::function<int32_t(int32_t)>& readByte);
