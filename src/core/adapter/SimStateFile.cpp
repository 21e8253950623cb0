#include "adapter/SimStateFile.h"

#include "adapter/SimChip.h"
#include "adapter/SimText.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {
constexpr std::string_view kTitle = "OTK5530 simulated board state";
constexpr std::string_view kEnd = "end";

std::string hexByte(int value) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", value & 0xFF);
    return text;
}
} // namespace

std::string BoardStateText(const std::map<int, uint8_t>& registers) {
    std::string text = std::string(kTitle) + "\n";
    for (const auto& [address, value] : registers)
        text += hexByte(address) + " " + hexByte(value) + "\n";
    return text + std::string(kEnd) + "\n";
}

bool ParseBoardState(std::string_view text, std::map<int, uint8_t>& registers, std::string& error) {
    const std::vector<std::string_view> lines = TextLines(text);
    const std::vector<int> expected = SimChip::WritableAddresses();
    if (lines.empty() || lines[0] != kTitle) {
        error = LineRef(0) + "expected \"" + std::string(kTitle) + "\"";
        return false;
    }
    std::map<int, uint8_t> parsed;
    size_t i = 1;
    for (int address : expected) {
        // Exactly as the board writes it: an edited or damaged line is refused, never guessed at.
        const std::string_view line = i < lines.size() ? lines[i] : std::string_view();
        const std::string prefix = hexByte(address) + " ";
        const std::optional<int> value =
            line.size() == prefix.size() + 4 && line.substr(0, prefix.size()) == prefix
                ? ByteNumber(line.substr(prefix.size()), false)
                : std::nullopt;
        if (!value || line.substr(prefix.size()) != hexByte(*value)) {
            error = LineRef(i) + "expected register " + hexByte(address) + " and its value, such as " +
                    hexByte(address) + " 0x00";
            return false;
        }
        parsed[address] = static_cast<uint8_t>(*value);
        ++i;
    }
    if (i >= lines.size() || lines[i] != kEnd) {
        error = LineRef(i) + "expected \"end\"";
        return false;
    }
    if (i + 1 != lines.size()) {
        error = LineRef(i + 1) + "text after \"end\"";
        return false;
    }
    registers = parsed;
    return true;
}

bool SaveBoardState(const std::string& path, const std::map<int, uint8_t>& registers, std::string& error) {
    // A temporary name of this process's own: two boards saving at once never write one file.
    const std::string temporary = path + ".tmp" + std::to_string(::getpid());
    const std::string text = BoardStateText(registers);
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    int reason = fd < 0 ? errno : 0;
    size_t written = 0;
    while (reason == 0 && written < text.size()) {
        const ssize_t done = ::write(fd, text.data() + written, text.size() - written);
        if (done < 0 && errno == EINTR)
            continue;
        if (done <= 0)
            reason = done < 0 ? errno : EIO;
        else
            written += static_cast<size_t>(done);
    }
    if (fd >= 0 && ::close(fd) != 0 && reason == 0)
        reason = errno;
    if (reason == 0 && std::rename(temporary.c_str(), path.c_str()) == 0)
        return true;
    error = "the board state " + path + " cannot be written: " + std::strerror(reason != 0 ? reason : errno);
    ::unlink(temporary.c_str());
    return false;
}
