#include "adapter/UsbAdapter.h"

#include "adapter/IntelHex.h"

#include <algorithm>
#include <fstream>
#include <limits>
#include <sstream>
#include <thread>
#include <vector>

namespace {

// wValue and wIndex are 16 bits on the wire: the low bits of the two's complement, so
// a negative write index still carries its data byte in bits 15..8.
uint16_t wireWord(int32_t value) {
    return static_cast<uint16_t>(static_cast<uint32_t>(value) & 0xFFFF);
}

int16_t errorStatus(int result) {
    return static_cast<int16_t>(
        result < std::numeric_limits<int16_t>::min() ? std::numeric_limits<int16_t>::min() : result);
}

std::string hexAddress(uint32_t address) {
    std::ostringstream text;
    text << "0x" << std::uppercase << std::hex << address;
    return text.str();
}

} // namespace

UsbAdapter::UsbAdapter(std::unique_ptr<UsbTransport> transport, UsbId id, Sleep sleep)
    : transport_(std::move(transport)), id_(id), sleep_(std::move(sleep)) {
    if (!sleep_)
        sleep_ = [](std::chrono::milliseconds span) { std::this_thread::sleep_for(span); };
}

bool UsbAdapter::Open(std::string& error) {
    return transport_->Open(id_, error);
}

std::string UsbAdapter::Description() const {
    const std::string location = transport_->Location();
    return "USB adapter " + UsbIdText(id_) + (location.empty() ? std::string() : " (" + location + ")");
}

int16_t UsbAdapter::VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction,
                                    int16_t length, uint8_t* buffer) {
    if (request < 0 || request > 0xFF || (direction != 0 && direction != 1))
        return kBadRequest;
    if (!transport_->IsOpen())
        return kNotOpen;
    const auto bRequest = static_cast<uint8_t>(request);
    if (direction == 0) {
        const int result = transport_->ControlTransfer(kVendorOut, bRequest, wireWord(value), wireWord(index),
                                                       nullptr, 0, kTimeoutMs);
        return result < 0 ? errorStatus(result) : 0;
    }
    if (length < 0 || (length > 0 && buffer == nullptr))
        return kBadRequest;
    // Received into a copy: a failed read leaves the caller's buffer as it was.
    std::vector<uint8_t> received(static_cast<size_t>(length));
    const int result =
        transport_->ControlTransfer(kVendorIn, bRequest, wireWord(value), wireWord(index), received.data(),
                                    static_cast<uint16_t>(length), kTimeoutMs);
    if (result < 0)
        return errorStatus(result);
    if (result != length)
        return kShortTransfer;
    std::copy(received.begin(), received.end(), buffer);
    return 0;
}

int16_t UsbAdapter::LoadFirmWare(const char* path) {
    if (path == nullptr)
        return firmwareFailure(kFirmwareMissing, "no firmware file named");
    std::ifstream file(path, std::ios::binary);
    if (!file)
        return firmwareFailure(kFirmwareMissing, std::string(path) + " cannot be read");
    std::ostringstream text;
    text << file.rdbuf();
    const HexImage image = ReadIntelHex(text.str());
    if (!image.verdict.ok)
        return firmwareFailure(kFirmwareCorrupt, std::string(path) + ": " + image.verdict.error);
    for (const HexDataRecord& record : image.records)
        if (record.address + record.bytes.size() > 0x10000)
            return firmwareFailure(kFirmwareDoesNotFit, "record at " + hexAddress(record.address) +
                                                            " lies beyond the adapter's 64 KiB");
    if (!transport_->IsOpen()) {
        std::string error;
        if (!transport_->Open(id_, error))
            return firmwareFailure(kFirmwareRefused, error);
    }

    uint8_t hold = 0x01;
    if (firmwareWrite(kCpuControl, &hold, 1) != 1)
        return firmwareFailure(kFirmwareRefused, "the adapter did not stop its CPU for the download");
    for (const HexDataRecord& record : image.records) {
        for (size_t offset = 0; offset < record.bytes.size(); offset += kFirmwareChunk) {
            const auto count =
                static_cast<uint16_t>(std::min<size_t>(kFirmwareChunk, record.bytes.size() - offset));
            const auto address = static_cast<uint16_t>(record.address + offset);
            std::vector<uint8_t> chunk(record.bytes.begin() + offset, record.bytes.begin() + offset + count);
            if (firmwareWrite(address, chunk.data(), count) != count)
                return firmwareFailure(kFirmwareRefused,
                                       "the adapter refused the firmware bytes at " + hexAddress(address));
        }
    }
    uint8_t release = 0x00;
    const int released = firmwareWrite(kCpuControl, &release, 1);
    // The adapter may leave the bus before it acknowledges its own release; whether it
    // comes back is what counts.
    if (released != 1 && released != UsbTransport::kErrorNoDevice)
        return firmwareFailure(kFirmwareRefused, "the adapter did not restart its CPU after the download");

    transport_->Close();
    if (!waitForReEnumeration())
        return firmwareFailure(kNoReEnumeration,
                               "USB adapter " + UsbIdText(id_) +
                                   " did not come back within 5 s of its firmware download");
    firmwareError_.clear();
    return 0;
}

int UsbAdapter::firmwareWrite(uint16_t address, uint8_t* bytes, uint16_t count) {
    return transport_->ControlTransfer(kVendorOut, kFirmwareLoad, address, 0, bytes, count, kTimeoutMs);
}

bool UsbAdapter::waitForReEnumeration() {
    std::string error;
    for (int attempt = 0; attempt < kReEnumerationTries; ++attempt) {
        sleep_(kReEnumerationStep);
        if (transport_->Open(id_, error))
            return true;
    }
    return false;
}

int16_t UsbAdapter::firmwareFailure(int16_t status, std::string message) {
    firmwareError_ = std::move(message);
    return status;
}
