#include "adapter/I2cAdapter.h"

#include "adapter/VendorRequests.h"

#include <cerrno>
#include <cstring>

namespace {


// Bus drivers report a missing acknowledge with one of these. The adapter completes
// such a transfer: the start-up address search depends on it.
bool isNoAcknowledge(int error) {
    return error == ENXIO || error == EREMOTEIO || error == EIO;
}

// I2C_SLAVE refuses an address a kernel driver has bound; it is not ours to talk to,
// so it looks like an address where no chip answers.
bool isBoundByKernel(int error) {
    return error == EBUSY;
}

bool isDeviceAddress(int32_t device) {
    return device >= 0 && device <= 0x7F;
}

} // namespace

I2cAdapter::I2cAdapter(std::unique_ptr<I2cDevice> device, std::string path)
    : device_(std::move(device)), path_(std::move(path)) {}

bool I2cAdapter::Open(std::string& error) {
    const int result = device_->Open(path_);
    if (result != 0)
        error = Description() + " cannot be opened: " + std::strerror(result);
    return result == 0;
}

std::string I2cAdapter::Description() const {
    return "Linux I2C bus " + path_;
}

int16_t I2cAdapter::LoadFirmWare(const char*) {
    return 0;
}

int16_t I2cAdapter::VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction,
                                    int16_t length, uint8_t* buffer) {
    if (request == VendorRequest::BusSetUp && direction == 0)
        return busSetUp(value, index);
    const bool read = direction == 1 && (request == VendorRequest::RegisterAccess || request == VendorRequest::RegisterPoll);
    const bool write = direction == 0 && request == VendorRequest::RegisterAccess;
    if (!read && !write)
        return kUnknownRequest;
    if (!device_->IsOpen())
        return kBusNotOpen;
    return read ? registerRead(value, index, length, buffer) : registerWrite(value, index);
}

// Opens the bus afresh, so a bus that went away and came back is found again.
int16_t I2cAdapter::busSetUp(int32_t value, int32_t index) {
    if (value != VendorRequest::BusSetUpValue || index != VendorRequest::BusSetUpIndex)
        return kUnknownRequest;
    return device_->Open(path_) == 0 ? 0 : kSetUpFailed;
}

int16_t I2cAdapter::registerRead(int32_t device, int32_t reg, int16_t length, uint8_t* buffer) {
    if (!isDeviceAddress(device) || reg < 0 || reg > 0xFF || length < 1 || buffer == nullptr)
        return kUnknownRequest;
    const int addressed = device_->SetSlave(device);
    if (isBoundByKernel(addressed)) {
        buffer[0] = kNoAcknowledge;
        return 0;
    }
    if (addressed != 0)
        return kTransferFailed;
    uint8_t byte = 0;
    const int result = device_->ReadByteData(static_cast<uint8_t>(reg), byte);
    if (result != 0 && !isNoAcknowledge(result))
        return kTransferFailed;
    buffer[0] = result == 0 ? byte : kNoAcknowledge;
    return 0;
}

// As on the adapter, a write where no chip acknowledges completes and goes nowhere.
int16_t I2cAdapter::registerWrite(int32_t device, int32_t index) {
    if (!isDeviceAddress(device))
        return kUnknownRequest;
    const int addressed = device_->SetSlave(device);
    if (isBoundByKernel(addressed))
        return 0;
    if (addressed != 0)
        return kTransferFailed;
    // Two's complement bits, so a negative index still carries its data byte in bits 15..8.
    const auto bits = static_cast<uint32_t>(index);
    const int result =
        device_->WriteByteData(static_cast<uint8_t>(bits & 0xFF), static_cast<uint8_t>((bits >> 8) & 0xFF));
    return result == 0 || isNoAcknowledge(result) ? 0 : kTransferFailed;
}
