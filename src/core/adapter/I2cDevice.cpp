#include "adapter/I2cDevice.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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
    // Non-blocking, so a FIFO in the bus's place cannot hang the program.
    fd_ = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NONBLOCK);
    if (fd_ < 0)
        return errno;
    struct stat info {};
    if (::fstat(fd_, &info) != 0 || !S_ISCHR(info.st_mode)) {
        Close();
        return ENOTTY;
    }
    bus_ = minor(info.st_rdev);
    return 0;
}

void LinuxI2cDevice::Close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

int LinuxI2cDevice::Functionality(unsigned long& bits) {
    return ioctl(fd_, I2C_FUNCS, &bits) < 0 ? errno : 0;
}

int LinuxI2cDevice::SetSlave(int address, bool force) {
    return ioctl(fd_, force ? I2C_SLAVE_FORCE : I2C_SLAVE, static_cast<unsigned long>(address)) < 0 ? errno
                                                                                                    : 0;
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

std::string LinuxI2cDevice::BoundDriver(int address, std::string& deviceName) const {
    char name[32];
    std::snprintf(name, sizeof name, "%u-%04x", bus_, static_cast<unsigned>(address));
    deviceName = name;
    const std::string link = "/sys/bus/i2c/devices/" + deviceName + "/driver";
    char target[PATH_MAX];
    const ssize_t length = ::readlink(link.c_str(), target, sizeof target - 1);
    if (length <= 0)
        return {};
    const std::string driver(target, static_cast<size_t>(length));
    return driver.substr(driver.find_last_of('/') + 1);
}
