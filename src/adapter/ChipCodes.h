#pragma once
// How the simulated chip turns temperatures into register bytes and compares them
// with its limits.
#include <cstdint>

struct RemoteBytes {
    uint8_t high; // whole degrees (plus 64 in the extended range)
    uint8_t low;  // bits 7..5: 0.5, 0.25, 0.125 °C
};

// Whole degrees, rounded to nearest and clamped to what the range can show:
// 0..255 normally, -64..191 (stored plus 64) in the extended range.
uint8_t LocalTemperatureByte(double celsius, bool extended);
// Eighths of a degree, rounded to nearest and clamped like the local byte.
RemoteBytes RemoteTemperatureBytes(double celsius, bool extended);
// What the bytes read: the inverse of the two above, with the range's offset taken off.
double LocalTemperatureCelsius(uint8_t value, bool extended);
double RemoteTemperatureCelsius(uint8_t high, uint8_t low, bool extended);
// A remote offset: signed whole degrees in the high byte, eighths in low-byte bits 7..5.
double RemoteOffset(uint8_t high, uint8_t low);

// Comparison codes in 1/256 °C above the range's zero, so a reading and a limit of the
// same range compare as plain integers.
int RemoteReadingCode(uint8_t high, uint8_t low);
// Remote limits keep quarter degrees only: low-byte bits 5..0 do not count.
int RemoteLimitCode(uint8_t high, uint8_t low);
int WholeDegreeCode(uint8_t value);
