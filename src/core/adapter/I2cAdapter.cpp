#include "adapter/I2cAdapter.h"

#include "adapter/VendorRequests.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <linux/i2c.h>

namespace {

constexpr int16_t kClaimedByKernel = 1;

std::string hex(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(value));
    return text;
}

std::string openHint(int error) {
    switch (error) {
    case ENOENT:
        return "; load the kernel's i2c-dev module (sudo modprobe i2c-dev) and find the bus with i2cdetect "
               "-l";
    case EACCES:
    case EPERM:
        return "; add your user to the group i2c (sudo adduser $USER i2c) and log in again";
    default:
        return {};
    }
}

} // namespace

I2cAdapter::I2cAdapter(std::unique_ptr<I2cDevice> device, std::string path, bool force)
    : device_(std::move(device)), path_(std::move(path)), force_(force) {}

bool I2cAdapter::Open(std::string& error) {
    const int result = device_->Open(path_);
    if (result == ENOTTY) {
        error = Description() + " refused: " + path_ + " is no I2C adapter device (/dev/i2c-N of i2c-dev)";
        return false;
    }
    if (result != 0) {
        error = Description() + " cannot be opened: " + std::strerror(result) + openHint(result);
        return false;
    }
    unsigned long bits = 0;
    const int asked = device_->Functionality(bits);
    if (asked != 0) {
        device_->Close();
        error = Description() + " refused: " + path_ +
                " is no I2C adapter device (I2C_FUNCS: " + std::strerror(asked) + ")";
        return false;
    }
    constexpr unsigned long needed = I2C_FUNC_SMBUS_READ_BYTE_DATA | I2C_FUNC_SMBUS_WRITE_BYTE_DATA;
    if ((bits & needed) != needed) {
        device_->Close();
        char text[24];
        std::snprintf(text, sizeof text, "0x%08lx", bits);
        error = Description() +
                " refused: the bus cannot do SMBus byte-data reads and writes (functionality " + text + ")";
        return false;
    }
    return true;
}

std::string I2cAdapter::Description() const {
    return "Linux I2C bus " + path_;
}

int16_t I2cAdapter::LoadFirmWare(const char*) {
    return 0;
}

std::string I2cAdapter::FailureDetail() const {
    if (!lastFailure_.empty() || claimed_.empty())
        return lastFailure_;
    std::string text;
    for (const auto& [address, note] : claimed_)
        text += (text.empty() ? "" : "; ") + note;
    return text;
}

int16_t I2cAdapter::VendorIORequest(int16_t request, int32_t value, int32_t index, int16_t direction,
                                    int16_t length, uint8_t* buffer) {
    if (request == VendorRequest::BusSetUp && direction == 0)
        return busSetUp(value, index);
    const bool read = direction == 1 &&
                      (request == VendorRequest::RegisterAccess || request == VendorRequest::RegisterPoll);
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
    const int result = device_->Open(path_);
    if (result != 0) {
        lastFailure_ = Description() + " cannot be opened: " + std::strerror(result);
        return kSetUpFailed;
    }
    lastFailure_.clear();
    return 0;
}

bool I2cAdapter::passesOver(int32_t device, int error) const {
    // Only the two codes bus drivers use for a missing acknowledge; EIO is a bus fault.
    // Once a chip has answered at an address, its silence is a lost link.
    return (error == ENXIO || error == EREMOTEIO) && answered_.count(device) == 0;
}

int16_t I2cAdapter::failed(const std::string& what, int error) {
    lastFailure_ = what + " on " + path_ + " failed: " + std::strerror(error);
    return kTransferFailed;
}

int16_t I2cAdapter::address(int32_t device, const std::string& what) {
    const int result = device_->SetSlave(device, force_);
    if (result == 0)
        return 0;
    if (result != EBUSY || answered_.count(device) != 0)
        return failed(what, result);
    // Like i2cdetect's "UU": not ours to talk to. Kept, so a search that finds nothing says why.
    if (claimed_.count(device) == 0) {
        std::string deviceName;
        const std::string driver = device_->BoundDriver(device, deviceName);
        claimed_[device] =
            "address " + hex(device) + " on " + path_ + " is in use by " +
            (driver.empty() ? std::string("a kernel driver")
                            : "the kernel driver " + driver + "; unbind it with: echo " + deviceName +
                                  " | sudo tee /sys/bus/i2c/drivers/" + driver + "/unbind") +
            "; or start with --adapter i2c:" + path_ + ",force to use it anyway";
    }
    return kClaimedByKernel;
}

int16_t I2cAdapter::registerRead(int32_t device, int32_t reg, int16_t length, uint8_t* buffer) {
    if (device < kFirstDeviceAddress || device > kLastDeviceAddress || reg < 0 || reg > 0xFF || length < 1 ||
        buffer == nullptr)
        return kUnknownRequest;
    const std::string what = "reading register " + hex(reg) + " of the chip at " + hex(device);
    const int16_t addressed = address(device, what);
    if (addressed == kClaimedByKernel) {
        buffer[0] = kNoAcknowledge;
        return 0;
    }
    if (addressed != 0)
        return addressed;
    uint8_t byte = 0;
    const int result = device_->ReadByteData(static_cast<uint8_t>(reg), byte);
    if (result == 0) {
        answered_.insert(device);
        buffer[0] = byte;
        return 0;
    }
    if (!passesOver(device, result))
        return failed(what, result);
    buffer[0] = kNoAcknowledge;
    return 0;
}

// As on the adapter, a write where no chip was ever found completes and goes nowhere.
int16_t I2cAdapter::registerWrite(int32_t device, int32_t index) {
    if (device < kFirstDeviceAddress || device > kLastDeviceAddress)
        return kUnknownRequest;
    // Two's complement bits, so a negative index still carries its data byte in bits 15..8.
    const auto bits = static_cast<uint32_t>(index);
    const auto reg = static_cast<uint8_t>(bits & 0xFF);
    const std::string what = "writing register " + hex(reg) + " of the chip at " + hex(device);
    const int16_t addressed = address(device, what);
    // A write that a kernel driver's address swallowed would claim a change that never happened.
    if (addressed == kClaimedByKernel)
        return failed(what, EBUSY);
    if (addressed != 0)
        return addressed;
    const int result = device_->WriteByteData(reg, static_cast<uint8_t>((bits >> 8) & 0xFF));
    if (result == 0) {
        answered_.insert(device);
        return 0;
    }
    return passesOver(device, result) ? 0 : failed(what, result);
}
