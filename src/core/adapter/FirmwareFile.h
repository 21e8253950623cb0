#pragma once
// The adapter firmware file: read safely, and checked to be code the USB adapter can
// take and that is really the adapter's, before a single byte goes to the adapter.
#include "adapter/IntelHex.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// A 16 KiB image is about 45 KiB of Intel HEX; anything near this limit is no firmware.
constexpr size_t kFirmwareFileLimit = 1024 * 1024;

// Carried by the simulated board's image: the USB backend refuses to start it on a real adapter.
constexpr std::string_view kSimulatedImageMarker = "OTK5530 SIMULATED BOARD IMAGE - NOT ADAPTER CODE";

// The on-chip RAM the firmware-load request reaches, and the CPU control register that
// must never be written by an image (it would restart the CPU mid-download).
constexpr uint32_t kProgramRamEnd = 0x4000; // 0x0000..0x3FFF
constexpr uint32_t kDataRamStart = 0xE000;  // 0xE000..0xE1FF
constexpr uint32_t kDataRamEnd = 0xE200;
constexpr uint32_t kCpuControlRegister = 0xE600;

enum class FirmwareFault { None, Missing, Corrupt, OutsideRam, NotAdapterCode };

struct FirmwareCheck {
    FirmwareFault fault = FirmwareFault::None;
    std::string error; // one line naming the file and, for a record, its address
    HexImage image;    // the records, when there is no fault
};

// Reads the file only when it is a regular file of at most kFirmwareFileLimit bytes
// (a FIFO, a device or a folder is refused without blocking), and checks its text.
FirmwareCheck ReadFirmwareFile(const char* path);

// As ReadFirmwareFile, and then every record must lie in the RAM the load request
// reaches and the image must not be the simulated board's.
FirmwareCheck CheckAdapterFirmware(const char* path);
