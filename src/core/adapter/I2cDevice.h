#pragma once
// A Linux I2C bus seen through its i2c-dev device file, kept behind an interface so
// tests can stand in for the kernel.
#include <cstdint>
#include <string>

class I2cDevice {
public:
    // Every call returns 0 or the errno of its failure.
    virtual ~I2cDevice() = default;
    // Opens the bus device file, closing any open one first. ENOTTY for a file that is no
    // character device.
    virtual int Open(const std::string& path) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // The bus adapter's functionality bits (I2C_FUNCS).
    virtual int Functionality(unsigned long& bits) = 0;
    // Addresses the following transfers to a 7-bit device address; `force` takes it even
    // when a kernel driver has claimed it (I2C_SLAVE_FORCE).
    virtual int SetSlave(int address, bool force) = 0;
    virtual int ReadByteData(uint8_t reg, uint8_t& value) = 0;
    virtual int WriteByteData(uint8_t reg, uint8_t value) = 0;
    // The kernel driver bound to a device address of the open bus ("lm90"), and the device's
    // name in sysfs ("5-004c"); an empty driver when none is known.
    virtual std::string BoundDriver(int address, std::string& deviceName) const = 0;
};

// The bus of the kernel's i2c-dev driver: I2C_FUNCS, I2C_SLAVE(_FORCE) and SMBus byte-data
// transfers; the bound drivers from /sys/bus/i2c/devices.
class LinuxI2cDevice : public I2cDevice {
public:
    LinuxI2cDevice() = default;
    ~LinuxI2cDevice() override;
    LinuxI2cDevice(const LinuxI2cDevice&) = delete;
    LinuxI2cDevice& operator=(const LinuxI2cDevice&) = delete;

    int Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    int Functionality(unsigned long& bits) override;
    int SetSlave(int address, bool force) override;
    int ReadByteData(uint8_t reg, uint8_t& value) override;
    int WriteByteData(uint8_t reg, uint8_t value) override;
    std::string BoundDriver(int address, std::string& deviceName) const override;

private:
    int fd_ = -1;
    unsigned bus_ = 0; // the i2c-dev minor number is the bus number
};
