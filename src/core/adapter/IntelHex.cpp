#include "adapter/IntelHex.h"

#include "adapter/HexDigit.h"

namespace {

constexpr uint8_t kData = 0x00;
constexpr uint8_t kEndOfFile = 0x01;
constexpr uint8_t kExtendedSegment = 0x02;
constexpr uint8_t kExtendedLinear = 0x04;
// Byte count, two address bytes, record type and checksum.
constexpr size_t kRecordOverhead = 5;

std::string_view trimmed(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    return line;
}

std::string hexByte(unsigned value) {
    static const char digits[] = "0123456789ABCDEF";
    return std::string("0x") + digits[(value >> 4) & 0xF] + digits[value & 0xF];
}

// Empty when the record is sound; `bytes` receives the whole record, checksum included.
std::string checkRecord(std::string_view record, std::vector<uint8_t>& bytes) {
    if (record.front() != ':')
        return "does not start with ':'";
    record.remove_prefix(1);
    if (record.size() % 2 != 0)
        return "has an odd number of hex digits";
    bytes.clear();
    for (size_t i = 0; i < record.size(); i += 2) {
        const int high = HexDigitValue(record[i]);
        const int low = HexDigitValue(record[i + 1]);
        if (high < 0 || low < 0)
            return "holds a character that is not a hex digit";
        bytes.push_back(static_cast<uint8_t>(high * 16 + low));
    }
    if (bytes.size() < kRecordOverhead)
        return "is too short for a record";
    const size_t count = bytes[0];
    if (bytes.size() != count + kRecordOverhead)
        return "byte count " + std::to_string(count) + " does not match its " +
               std::to_string(bytes.size() - kRecordOverhead) + " data bytes";
    unsigned sum = 0;
    for (uint8_t b : bytes)
        sum += b;
    if ((sum & 0xFF) != 0) {
        unsigned withoutChecksum = sum - bytes.back();
        return "checksum " + hexByte(bytes.back()) + " should be " +
               hexByte((0x100 - (withoutChecksum & 0xFF)) & 0xFF);
    }
    const uint8_t type = bytes[3];
    switch (type) {
    case kData:
        return {};
    case kEndOfFile:
        return count == 0 ? std::string() : "end-of-file record carries data";
    case kExtendedSegment:
    case kExtendedLinear:
        return count == 2 ? std::string() : "extended address record must carry 2 bytes";
    default:
        return "record type " + hexByte(type) + " is not supported";
    }
}

} // namespace

HexImage ReadIntelHex(std::string_view text) {
    HexImage image;
    uint32_t base = 0;
    bool ended = false;
    size_t lineNumber = 0;
    size_t start = 0;
    std::vector<uint8_t> bytes;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = trimmed(text.substr(start, end - start));
        start = end + 1;
        ++lineNumber;
        if (line.empty())
            continue;
        const std::string where = "line " + std::to_string(lineNumber) + ": ";
        if (ended)
            return {{false, where + "text after the end-of-file record"}, {}};
        const std::string fault = checkRecord(line, bytes);
        if (!fault.empty())
            return {{false, where + "record " + fault}, {}};
        const uint8_t type = bytes[3];
        const uint32_t field = static_cast<uint32_t>(bytes[1]) << 8 | bytes[2];
        const uint32_t payload =
            bytes.size() > kRecordOverhead ? static_cast<uint32_t>(bytes[4]) << 8 | bytes[5] : 0;
        if (type == kData)
            image.records.push_back({base + field, std::vector<uint8_t>(bytes.begin() + 4, bytes.end() - 1)});
        else if (type == kExtendedSegment)
            base = payload << 4;
        else if (type == kExtendedLinear)
            base = payload << 16;
        ended = type == kEndOfFile;
    }
    if (!ended)
        return {{false, "no end-of-file record"}, {}};
    image.verdict.ok = true;
    return image;
}

HexVerdict VerifyIntelHex(std::string_view text) {
    return ReadIntelHex(text).verdict;
}
