#include "adapter/FirmwareFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

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

// Closes the descriptor on every way out.
struct FileHandle {
    int fd;
    ~FileHandle() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

FirmwareCheck ReadFirmwareFile(const char* path) {
    if (path == nullptr || *path == '\0')
        return failed(FirmwareFault::Missing, "no firmware file named");
    const std::string name = path;
    // Looked at before it is opened: opening a device can already do something.
    struct stat info {};
    if (::stat(path, &info) != 0)
        return failed(FirmwareFault::Missing, name + " cannot be read: " + std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return failed(FirmwareFault::Missing, name + " is not a regular file");
    // Non-blocking, so a FIFO put in the file's place meanwhile cannot hang the program;
    // what was opened is looked at again.
    const FileHandle file{::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0)
        return failed(FirmwareFault::Missing, name + " cannot be read: " + std::strerror(errno));
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode))
        return failed(FirmwareFault::Missing, name + " is not a regular file");
    if (static_cast<unsigned long long>(info.st_size) > kFirmwareFileLimit)
        return failed(FirmwareFault::Corrupt, name + " is larger than " + std::to_string(kFirmwareFileLimit) +
                                                  " bytes: no firmware image is");
    // Read at most one byte past the limit: a file that grows while it is read is caught too.
    std::string text;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(file.fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return failed(FirmwareFault::Missing, name + " cannot be read: " + std::strerror(errno));
        if (got == 0)
            break;
        text.append(chunk, static_cast<size_t>(got));
        if (text.size() > kFirmwareFileLimit)
            return failed(FirmwareFault::Corrupt, name + " is larger than " +
                                                      std::to_string(kFirmwareFileLimit) +
                                                      " bytes: no firmware image is");
    }
    FirmwareCheck check;
    check.image = ReadIntelHex(text);
    if (!check.image.verdict.ok)
        return failed(FirmwareFault::Corrupt, name + ": " + check.image.verdict.error);
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
