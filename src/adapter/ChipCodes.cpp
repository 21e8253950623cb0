#include "adapter/ChipCodes.h"

#include "adapter/ChipRegisters.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kExtendedOffset = 64;
constexpr int kLargestEighths = 255 * 8 + 7;
} // namespace

uint8_t LocalTemperatureByte(double celsius, bool extended) {
    const double degrees = std::floor(celsius + 0.5) + (extended ? kExtendedOffset : 0);
    return static_cast<uint8_t>(std::clamp(degrees, 0.0, 255.0));
}

RemoteBytes RemoteTemperatureBytes(double celsius, bool extended) {
    const double eighths = std::floor(celsius * 8 + 0.5) + (extended ? kExtendedOffset * 8 : 0);
    const int code = static_cast<int>(std::clamp(eighths, 0.0, double(kLargestEighths)));
    return {static_cast<uint8_t>(code >> 3), static_cast<uint8_t>((code & 7) << 5)};
}

double LocalTemperatureCelsius(uint8_t value, bool extended) {
    return value - (extended ? kExtendedOffset : 0);
}

double RemoteTemperatureCelsius(uint8_t high, uint8_t low, bool extended) {
    return high + (low >> 5) / 8.0 - (extended ? kExtendedOffset : 0);
}

double RemoteOffset(uint8_t high, uint8_t low) {
    return static_cast<int8_t>(high) + (low >> 5) / 8.0;
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
