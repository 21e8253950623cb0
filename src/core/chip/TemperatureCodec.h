#pragma once
// How the OTK5530 writes temperatures into register bytes, in both ranges: readings,
// limits, THERM limits and offsets. The simulated chip encodes with it, the program and
// the command-line tool decode with it. Bytes are never two's complement: the extended
// range stores °C + 64.
#include <cstdint>

struct RemoteBytes {
    uint8_t high; // whole degrees (plus 64 in the extended range)
    uint8_t low;  // bits 7..5: 0.5, 0.25, 0.125 °C
};

// What the chip stores --------------------------------------------------------------

// Whole degrees, rounded to nearest and clamped to what the range can show:
// 0..255 normally, -64..191 (stored plus 64) in the extended range.
uint8_t LocalTemperatureByte(double celsius, bool extended);
// Eighths of a degree, rounded to nearest and clamped like the local byte.
RemoteBytes RemoteTemperatureBytes(double celsius, bool extended);
// A whole-degree byte (the local reading, local limits, every THERM limit) as °C.
double WholeDegreeCelsius(int32_t byte, bool extended);
// A remote reading in the chip's full resolution, eighths of a degree.
double RemoteTemperatureCelsius(uint8_t high, uint8_t low, bool extended);
// A remote offset: signed whole degrees in the high byte, eighths in low-byte bits 7..5.
double RemoteOffset(uint8_t high, uint8_t low);

// What the program counts -----------------------------------------------------------

// Quarter degrees from a remote low byte: 0, .25, .5 or .75. Only bits 7..6 count:
// readings and limits stay in quarter degrees, bit 5 (0.125 °C) is dropped.
double RemoteQuarters(int32_t lowByte);
// A remote reading or limit: the high byte plus the quarter degrees of the low byte.
double RemoteQuarterCelsius(int32_t highByte, int32_t lowByte, bool extended);

// Limits the program writes ---------------------------------------------------------

// A byte of whole degrees: v (+64 in the extended range) rounded half to even.
int32_t WholeDegreeLimitByte(double value, bool extended);
// The whole-degree byte of a remote limit: floor of v (+64 in the extended range).
int32_t RemoteLimitHighByte(double value, bool extended);
// Bits 7..6 of a remote limit's low byte: quarter degrees of v, taken from v alone.
int32_t RemoteLimitFractionByte(double value);

// How the chip compares ---------------------------------------------------------------

// Comparison codes in 1/256 °C above the range's zero, so a reading and a limit of the
// same range compare as plain integers.
int RemoteReadingCode(uint8_t high, uint8_t low);
// Remote limits keep quarter degrees only: low-byte bits 5..0 do not count.
int RemoteLimitCode(uint8_t high, uint8_t low);
int WholeDegreeCode(uint8_t value);
