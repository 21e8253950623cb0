#include "chip/TemperatureCodec.h"

#include "chip/ChipRegisters.h"
#include "chip/RoundHalfEven.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kExtendedOffset = 64;
constexpr int kLargestEighths = 255 * 8 + 7;

double rangeOffset(bool extended) {
    return extended ? kExtendedOffset : 0;
}

// The gauge keeps its sliders on a -64..127 scale, so this only stops a stray value
// from reaching the chip as a wrapped or undefined number.
int32_t registerData(double value) {
    return static_cast<int32_t>(std::clamp(value, 0.0, 255.0));
}
} // namespace

uint8_t LocalTemperatureByte(double celsius, bool extended) {
    const double degrees = std::floor(celsius + 0.5) + rangeOffset(extended);
    return static_cast<uint8_t>(std::clamp(degrees, 0.0, 255.0));
}

RemoteBytes RemoteTemperatureBytes(double celsius, bool extended) {
    const double eighths = std::floor(celsius * 8 + 0.5) + rangeOffset(extended) * 8;
    const int code = static_cast<int>(std::clamp(eighths, 0.0, double(kLargestEighths)));
    return {static_cast<uint8_t>(code >> 3), static_cast<uint8_t>((code & 7) << 5)};
}

double WholeDegreeCelsius(int32_t byte, bool extended) {
    return byte - rangeOffset(extended);
}

double RemoteTemperatureCelsius(uint8_t high, uint8_t low, bool extended) {
    return high + (low >> 5) / 8.0 - rangeOffset(extended);
}

double RemoteOffset(uint8_t high, uint8_t low) {
    return static_cast<int8_t>(high) + (low >> 5) / 8.0;
}

double RemoteQuarters(int32_t lowByte) {
    return (lowByte & kRemoteQuarters) / 256.0;
}

double RemoteQuarterCelsius(int32_t highByte, int32_t lowByte, bool extended) {
    return highByte + RemoteQuarters(lowByte) - rangeOffset(extended);
}

int32_t WholeDegreeLimitByte(double value, bool extended) {
    return registerData(RoundHalfEven(value + rangeOffset(extended)));
}

int32_t RemoteLimitHighByte(double value, bool extended) {
    return registerData(std::floor(value) + rangeOffset(extended));
}

int32_t RemoteLimitFractionByte(double value) {
    const double quarters = RoundHalfEven(4.0 * value);
    // The remainder stays 0..3 for negative values too, as the two's-complement AND 3 does.
    const double remainder = quarters - 4.0 * std::floor(quarters / 4.0);
    return static_cast<int32_t>(remainder) * 64;
}

int RemoteReadingCode(uint8_t high, uint8_t low) {
    return high * 256 + (low & kRemoteEighths);
}

int RemoteLimitCode(uint8_t high, uint8_t low) {
    return high * 256 + (low & kRemoteQuarters);
}

int WholeDegreeCode(uint8_t value) {
    return value * 256;
}
