#include "adapter/I2cDevice.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

int smbusTransfer(int fd, uint8_t readWrite, uint8_t command, i2c_smbus_data* data) {
    i2c_smbus_ioctl_data request{};
    request.read_write = readWrite;
    request.command = command;
    request.size = I2C_SMBUS_BYTE_DATA;
    request.data = data;
    return ioctl(fd, I2C_SMBUS, &request) < 0 ? errno : 0;
}

} // namespace

LinuxI2cDevice::~LinuxI2cDevice() {
    Close();
}

int LinuxI2cDevice::Open(const std::string& path) {
    Close();
    fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
    return fd_ < 0 ? errno : 0;
}

void LinuxI2cDevice::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

int LinuxI2cDevice::SetSlave(int address) {
    return ioctl(fd_, I2C_SLAVE, static_cast<unsigned long>(address)) < 0 ? errno : 0;
}

int LinuxI2cDevice::ReadByteData(uint8_t reg, uint8_t& value) {
    i2c_smbus_data data{};
    const int error = smbusTransfer(fd_, I2C_SMBUS_READ, reg, &data);
    if (error == 0)
        value = data.byte;
    return error;
}

int LinuxI2cDevice::WriteByteData(uint8_t reg, uint8_t value) {
    i2c_smbus_data data{};
    data.byte = value;
    return smbusTransfer(fd_, I2C_SMBUS_WRITE, reg, &data);
}
