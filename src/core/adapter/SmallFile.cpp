#include "adapter/SmallFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
// Closes the descriptor on every way out.
struct FileHandle {
    int fd;
    ~FileHandle() {
        if (fd >= 0)
            ::close(fd);
    }
};
} // namespace

SmallFileFault ReadSmallFile(const std::string& path, size_t limit, std::string& text, std::string& error) {
    const auto missing = [&](const std::string& why) {
        error = path + why;
        return SmallFileFault::Missing;
    };
    const auto tooLarge = [&] {
        error = path + " is larger than " + std::to_string(limit) + " bytes";
        return SmallFileFault::TooLarge;
    };
    if (path.empty()) {
        error = "no file named";
        return SmallFileFault::Missing;
    }
    // Looked at before it is opened: opening a device can already do something.
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return missing(std::string(" cannot be read: ") + std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return missing(" is not a regular file");
    // Non-blocking, so a FIFO put in the file's place meanwhile cannot hang the program;
    // what was opened is looked at again.
    const FileHandle file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0)
        return missing(std::string(" cannot be read: ") + std::strerror(errno));
    if (::fstat(file.fd, &info) != 0 || !S_ISREG(info.st_mode))
        return missing(" is not a regular file");
    if (static_cast<unsigned long long>(info.st_size) > limit)
        return tooLarge();
    // Read at most one chunk past the limit: a file that grows while it is read is caught too.
    std::string read;
    char chunk[4096];
    for (;;) {
        const ssize_t got = ::read(file.fd, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return missing(std::string(" cannot be read: ") + std::strerror(errno));
        if (got == 0)
            break;
        read.append(chunk, static_cast<size_t>(got));
        if (read.size() > limit)
            return tooLarge();
    }
    text = std::move(read);
    return SmallFileFault::None;
}
