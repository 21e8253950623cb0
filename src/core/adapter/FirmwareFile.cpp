#include "adapter/FirmwareFile.h"

#include "adapter/SmallFile.h"

#include <algorithm>
#include <sstream>

namespace {

std::string hexAddress(uint32_t address) {
    std::ostringstream text;
    text << "0x" << std::uppercase << std::hex << address;
    return text.str();
}

FirmwareCheck failed(FirmwareFault fault, std::string error) {
    FirmwareCheck check;
    check.fault = fault;
    check.error = std::move(error);
    return check;
}

bool insideRam(uint32_t start, uint32_t end) {
    return end <= kProgramRamEnd || (start >= kDataRamStart && end <= kDataRamEnd);
}

} // namespace

FirmwareCheck ReadFirmwareFile(const char* path) {
    if (path == nullptr || *path == '\0')
        return failed(FirmwareFault::Missing, "no firmware file named");
    std::string text, error;
    switch (ReadSmallFile(path, kFirmwareFileLimit, text, error)) {
    case SmallFileFault::Missing:
        return failed(FirmwareFault::Missing, error);
    case SmallFileFault::TooLarge:
        return failed(FirmwareFault::Corrupt, error + ": no firmware image is");
    case SmallFileFault::None:
        break;
    }
    FirmwareCheck check;
    check.image = ReadIntelHex(text);
    if (!check.image.verdict.ok)
        return failed(FirmwareFault::Corrupt, std::string(path) + ": " + check.image.verdict.error);
    return check;
}

FirmwareCheck CheckAdapterFirmware(const char* path) {
    FirmwareCheck check = ReadFirmwareFile(path);
    if (check.fault != FirmwareFault::None)
        return check;
    const std::string name = path;
    const std::string remedy = "; put the USB adapter's own firmware image there, or use --adapter sim";
    std::string everyByte;
    for (const HexDataRecord& record : check.image.records) {
        const uint32_t start = record.address;
        const uint32_t end = start + static_cast<uint32_t>(record.bytes.size());
        if (start <= kCpuControlRegister && kCpuControlRegister < end)
            return failed(FirmwareFault::OutsideRam, name + ": the record at " + hexAddress(start) +
                                                         " covers the adapter's CPU control register 0xE600" +
                                                         remedy);
        if (!insideRam(start, end))
            return failed(FirmwareFault::OutsideRam,
                          name + ": the record at " + hexAddress(start) +
                              " lies outside the RAM the firmware load reaches (0x0000-0x3FFF, "
                              "0xE000-0xE1FF)" +
                              remedy);
        everyByte.append(record.bytes.begin(), record.bytes.end());
    }
    // Searched across record boundaries: the marker may be split over two records.
    if (everyByte.find(kSimulatedImageMarker) != std::string::npos)
        return failed(FirmwareFault::NotAdapterCode,
                      name + " is the simulated board's image, not USB adapter firmware" + remedy);
    return check;
}
