#pragma once
// A Linux I2C bus seen through its i2c-dev device file, kept behind an interface so
// tests can stand in for the kernel.
#include <cstdint>
#include <string>

class I2cDevice {
public:
    // Every call returns 0 or the errno of its failure.
    virtual ~I2cDevice() = default;
    // Opens the bus device file, closing any open one first.
    virtual int Open(const std::string& path) = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Addresses the following transfers to a 7-bit device address.
    virtual int SetSlave(int address) = 0;
    virtual int ReadByteData(uint8_t reg, uint8_t& value) = 0;
    virtual int WriteByteData(uint8_t reg, uint8_t value) = 0;
};

// The bus of the kernel's i2c-dev driver: I2C_SLAVE and SMBus byte-data transfers.
class LinuxI2cDevice : public I2cDevice {
public:
    LinuxI2cDevice() = default;
    ~LinuxI2cDevice() override;
    LinuxI2cDevice(const LinuxI2cDevice&) = delete;
    LinuxI2cDevice& operator=(const LinuxI2cDevice&) = delete;

    int Open(const std::string& path) override;
    void Close() override;
    bool IsOpen() const override { return fd_ >= 0; }
    int SetSlave(int address) override;
    int ReadByteData(uint8_t reg, uint8_t& value) override;
    int WriteByteData(uint8_t reg, uint8_t value) override;

private:
    int fd_ = -1;
};
