// A fake i2c-dev bus for the real program and its real LinuxI2cDevice (loaded with
// LD_PRELOAD): open, fstat, ioctl, close and readlink are interposed for one fake device
// path and answered by the simulated chip. See README.md.
#include "FakeConfig.h"
#include "adapter/SimBoard.h"
#include "adapter/SimConfig.h"

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/i2c-dev.h>
#include <linux/i2c.h>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

constexpr unsigned kI2cMajor = 89;

template <typename Function> Function real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

struct Bus {
    std::map<std::string, std::string> settings = fakes::ReadSettings("OTK5530_FAKE_I2C");
    std::string path = settings.count("path") ? settings.at("path") : "";
    unsigned number = static_cast<unsigned>(fakes::Number(settings, "bus", 7));
    std::map<int, std::string> claimed; // address -> driver
    std::unique_ptr<SimBoard> board;
    std::set<int> fds;
    int slave = -1;
    long transfers = 0;
    std::FILE* journal = nullptr;
    std::recursive_mutex lock;

    Bus() {
        // "busy=0x4C:lm90+0x18:jc42"
        std::string rest = settings.count("busy") ? settings.at("busy") : "";
        while (!rest.empty()) {
            const size_t plus = rest.find('+');
            const std::string item = rest.substr(0, plus);
            const size_t colon = item.find(':');
            claimed[static_cast<int>(std::strtol(item.substr(0, colon).c_str(), nullptr, 0))] =
                colon == std::string::npos ? "" : item.substr(colon + 1);
            rest = plus == std::string::npos ? "" : rest.substr(plus + 1);
        }
        SimConfig config;
        std::string error;
        const char* text = std::getenv("OTK5530_SIM");
        ParseSimConfig(text ? text : "", config, error);
        board = std::make_unique<SimBoard>(config);
        uint8_t noData = 0;
        board->VendorIORequest(0xDD, 0x30, 0x33, 0, 0, &noData); // the bus needs no set-up of ours
        if (settings.count("journal"))
            journal = std::fopen(settings.at("journal").c_str(), "w");
    }
    void note(const std::string& line) {
        if (journal) {
            std::fprintf(journal, "%s\n", line.c_str());
            std::fflush(journal);
        }
    }
    bool isFake(int fd) { return fds.count(fd) != 0; }

    int functionality(unsigned long* bits) {
        if (settings.count("funcs") && settings.at("funcs") == "none")
            return ENOTTY;
        *bits = static_cast<unsigned long>(
            fakes::Number(settings, "funcs", I2C_FUNC_I2C | I2C_FUNC_SMBUS_BYTE | I2C_FUNC_SMBUS_BYTE_DATA));
        return 0;
    }
    int setSlave(unsigned long address, bool force) {
        if (address > 0x7F)
            return EINVAL;
        if (claimed.count(static_cast<int>(address)) && !force)
            return EBUSY;
        slave = static_cast<int>(address);
        return 0;
    }
    int transfer(i2c_smbus_ioctl_data* request) {
        if (request->size != I2C_SMBUS_BYTE_DATA)
            return EINVAL;
        ++transfers;
        const long eioAfter = fakes::Number(settings, "eio_after", -1);
        if (eioAfter >= 0 && transfers > eioAfter)
            return EIO;
        const long nackAfter = fakes::Number(settings, "nack_after", -1);
        SimChip* chip = board->ChipAt(slave);
        if (!chip || (nackAfter >= 0 && transfers > nackAfter))
            return ENXIO;
        if (request->read_write == I2C_SMBUS_READ) {
            request->data->byte = chip->Read(request->command);
            note("read " + std::to_string(slave) + " " + std::to_string(request->command) + " = " +
                 std::to_string(request->data->byte));
        } else {
            chip->Write(request->command, request->data->byte);
            note("write " + std::to_string(slave) + " " + std::to_string(request->command) + " = " +
                 std::to_string(request->data->byte));
        }
        return 0;
    }
};

Bus& bus() {
    static Bus instance;
    return instance;
}

bool fakePath(const char* path) {
    return path && !bus().path.empty() && bus().path == path;
}

// The fake bus is a descriptor of /dev/null, so every call we do not answer still works on it.
int openFake() {
    using Open = int (*)(const char*, int, ...);
    static const Open realOpen = real<Open>("open");
    const int fd = realOpen("/dev/null", O_RDWR | O_CLOEXEC);
    if (fd >= 0) {
        std::lock_guard<std::recursive_mutex> guard(bus().lock);
        bus().fds.insert(fd);
    }
    return fd;
}

// fstat and fstat64 alike: the real answer, and the fake bus made a character device.
template <typename Stat> int statAsCharacterDevice(int (*realFstat)(int, Stat*), int fd, Stat* info) {
    const int result = realFstat(fd, info);
    if (result == 0 && bus().isFake(fd)) {
        info->st_mode = S_IFCHR | 0660;
        info->st_rdev = makedev(kI2cMajor, bus().number);
    }
    return result;
}

// The mode argument of open: passed only where the call may create a file.
mode_t modeArgument(int flags, va_list arguments) {
    return (flags & (O_CREAT | O_TMPFILE)) ? va_arg(arguments, mode_t) : 0;
}

int withErrno(int error) {
    if (error == 0)
        return 0;
    errno = error;
    return -1;
}

} // namespace

extern "C" {

int open(const char* path, int flags, ...) {
    if (fakePath(path))
        return openFake();
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    using Open = int (*)(const char*, int, ...);
    static const Open realOpen = real<Open>("open");
    return realOpen(path, flags, mode);
}

// The 64-bit forms are the plain ones with large files allowed.
int open64(const char* path, int flags, ...) {
    va_list arguments;
    va_start(arguments, flags);
    const mode_t mode = modeArgument(flags, arguments);
    va_end(arguments);
    return open(path, flags | O_LARGEFILE, mode);
}

int __open_2(const char* path, int flags) {
    if (fakePath(path))
        return openFake();
    using Open = int (*)(const char*, int);
    static const Open realOpen = real<Open>("__open_2");
    return realOpen(path, flags);
}

int __open64_2(const char* path, int flags) {
    return __open_2(path, flags | O_LARGEFILE);
}

int close(int fd) {
    {
        std::lock_guard<std::recursive_mutex> guard(bus().lock);
        bus().fds.erase(fd);
    }
    using Close = int (*)(int);
    static const Close realClose = real<Close>("close");
    return realClose(fd);
}

int fstat(int fd, struct stat* info) {
    static const auto realFstat = real<int (*)(int, struct stat*)>("fstat");
    return statAsCharacterDevice(realFstat, fd, info);
}

int fstat64(int fd, struct stat64* info) {
    static const auto realFstat = real<int (*)(int, struct stat64*)>("fstat64");
    return statAsCharacterDevice(realFstat, fd, info);
}

int ioctl(int fd, unsigned long request, ...) {
    va_list arguments;
    va_start(arguments, request);
    void* argument = va_arg(arguments, void*);
    va_end(arguments);
    Bus& b = bus();
    std::lock_guard<std::recursive_mutex> guard(b.lock);
    if (!b.isFake(fd)) {
        using Ioctl = int (*)(int, unsigned long, ...);
        static const Ioctl realIoctl = real<Ioctl>("ioctl");
        return realIoctl(fd, request, argument);
    }
    switch (request) {
    case I2C_FUNCS:
        return withErrno(b.functionality(static_cast<unsigned long*>(argument)));
    case I2C_SLAVE:
    case I2C_SLAVE_FORCE:
        return withErrno(b.setSlave(reinterpret_cast<unsigned long>(argument), request == I2C_SLAVE_FORCE));
    case I2C_SMBUS:
        return withErrno(b.transfer(static_cast<i2c_smbus_ioctl_data*>(argument)));
    default:
        return withErrno(ENOTTY);
    }
}

ssize_t readlink(const char* path, char* target, size_t size) {
    // /sys/bus/i2c/devices/<bus>-<address>/driver of a claimed address.
    Bus& b = bus();
    for (const auto& [address, driver] : b.claimed) {
        char link[96];
        std::snprintf(link, sizeof link, "/sys/bus/i2c/devices/%u-%04x/driver", b.number, address);
        if (std::strcmp(path, link) == 0 && !driver.empty()) {
            const std::string answer = "../../../../bus/i2c/drivers/" + driver;
            const size_t length = std::min(size, answer.size());
            std::memcpy(target, answer.data(), length);
            return static_cast<ssize_t>(length);
        }
    }
    using Readlink = ssize_t (*)(const char*, char*, size_t);
    static const Readlink realReadlink = real<Readlink>("readlink");
    return realReadlink(path, target, size);
}

} // extern "C"
