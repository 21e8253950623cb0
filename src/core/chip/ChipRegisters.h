#pragma once
// The OTK5530's register addresses and field masks by name, for the code that needs
// them: the simulated chip, the device layer and the windows. The register table
// (device/RegMapStuff) stays the description of every register; a test checks each
// address here against its record there.
#include <cstdint>

// Read addresses of the shared remote registers (0x01, 0x07, 0x08, 0x10..0x14, 0x19)
// reach Remote 1, or Remote 2 while Configuration Reg 1 bit 3 is set; Remote 2's own
// registers sit at 0x30..0x39.
inline constexpr uint8_t kLocalTemp = 0x00;
inline constexpr uint8_t kRemote1TempHigh = 0x01, kRemote1TempLow = 0x10;
inline constexpr uint8_t kStatus1 = 0x02, kStatus2 = 0x23;
inline constexpr uint8_t kConfig1Read = 0x03, kConfig1Write = 0x09;
inline constexpr uint8_t kConversionRateRead = 0x04, kConversionRateWrite = 0x0A;
inline constexpr uint8_t kLocalHighLimitRead = 0x05, kLocalHighLimitWrite = 0x0B;
inline constexpr uint8_t kLocalLowLimitRead = 0x06, kLocalLowLimitWrite = 0x0C;
inline constexpr uint8_t kLocalThermLimit = 0x20;
inline constexpr uint8_t kRemote1HighLimitHighRead = 0x07, kRemote1HighLimitHighWrite = 0x0D;
inline constexpr uint8_t kRemote1LowLimitHighRead = 0x08, kRemote1LowLimitHighWrite = 0x0E;
inline constexpr uint8_t kRemote1OffsetHigh = 0x11, kRemote1OffsetLow = 0x12;
inline constexpr uint8_t kRemote1HighLimitLow = 0x13, kRemote1LowLimitLow = 0x14;
inline constexpr uint8_t kRemote1ThermLimit = 0x19;
inline constexpr uint8_t kThermHysteresis = 0x21;
inline constexpr uint8_t kConsecutiveAlert = 0x22;
inline constexpr uint8_t kConfig2 = 0x24;
inline constexpr uint8_t kRemote2TempHigh = 0x30, kRemote2TempLow = 0x33;
inline constexpr uint8_t kRemote2HighLimitHigh = 0x31, kRemote2HighLimitLow = 0x36;
inline constexpr uint8_t kRemote2LowLimitHigh = 0x32, kRemote2LowLimitLow = 0x37;
inline constexpr uint8_t kRemote2OffsetHigh = 0x34, kRemote2OffsetLow = 0x35;
inline constexpr uint8_t kRemote2ThermLimit = 0x39;
inline constexpr uint8_t kManufacturerId = 0xFE;
inline constexpr uint8_t kDieRevision = 0xFF;

// What an OTK5530 answers at kManufacturerId; the start-up address search looks for it.
inline constexpr uint8_t kOurManufacturerId = 0x41;

// Configuration Reg 1 (bit 4 is reserved).
inline constexpr uint8_t kConfig1MaskAll = 0x80;
inline constexpr uint8_t kConfig1Standby = 0x40;
inline constexpr uint8_t kConfig1Pin8Therm2 = 0x20; // pin 8 is THERM2 rather than ALERT
inline constexpr uint8_t kConfig1Remote2Select = 0x08;
inline constexpr uint8_t kConfig1ExtendedRange = 0x04;
inline constexpr uint8_t kConfig1MaskRemote1 = 0x02;
inline constexpr uint8_t kConfig1MaskRemote2 = 0x01;

// Conversion Rate: averaging off in bit 7, the rate code in bits 3..0.
inline constexpr uint8_t kConversionRateNoAveraging = 0x80;
inline constexpr uint8_t kConversionRateCode = 0x0F;

// Configuration Reg 2: the register lock.
inline constexpr uint8_t kConfig2Lock = 0x80;

// Status Reg 1.
inline constexpr uint8_t kStatus1Busy = 0x80;
inline constexpr uint8_t kStatus1LocalHigh = 0x40, kStatus1LocalLow = 0x20;
inline constexpr uint8_t kStatus1Remote1High = 0x10, kStatus1Remote1Low = 0x08;
inline constexpr uint8_t kStatus1Diode1Open = 0x04;
inline constexpr uint8_t kStatus1Remote1Therm = 0x02, kStatus1LocalTherm = 0x01;
// Status Reg 2: Remote 2's bits at the places Remote 1's have in Status Reg 1, and ALERT.
inline constexpr uint8_t kStatus2Remote2High = 0x10, kStatus2Remote2Low = 0x08;
inline constexpr uint8_t kStatus2Diode2Open = 0x04;
inline constexpr uint8_t kStatus2Remote2Therm = 0x02, kStatus2Alert = 0x01;

// Remote temperature and limit low bytes: eighths of a degree in bits 7..5, of which
// limits and the program's readings count the quarters in bits 7..6.
inline constexpr uint8_t kRemoteEighths = 0xE0;
inline constexpr uint8_t kRemoteQuarters = 0xC0;
