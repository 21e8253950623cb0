#include "files/SettingsCheck.h"

#include "adapter/HexDigit.h"
#include "files/SettingsReader.h"

#include <cctype>
#include <optional>
#include <vector>

namespace {
// One line without its line feed, and without the CR before it.
struct Line {
    qsizetype begin;
    QByteArray text;
};

QList<Line> splitLines(const QByteArray& bytes) {
    QList<Line> lines;
    qsizetype begin = 0;
    while (begin < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', begin);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        if (end < 0)
            end = bytes.size();
        QByteArray text = bytes.mid(begin, end - begin);
        if (text.endsWith('\r'))
            text.chop(1);
        lines.append({begin, text});
        begin = next;
    }
    return lines;
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool allBlank(const QByteArray& text) {
    for (const char c : text)
        if (!isBlank(c))
            return false;
    return true;
}

// Bytes no text editor puts in a line: binary junk, or a CR that ends no line.
std::optional<unsigned char> controlCharacter(const QByteArray& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t') || byte == 0x7F)
            return byte;
    }
    return std::nullopt;
}

// The number a "0x" (either case of x) at or after `pos` begins; the position moves past its
// digits. None when its digits run into a letter.
constexpr int kLongestNumber = 8;
std::optional<int64_t> nextNumber(const QByteArray& text, qsizetype& pos) {
    for (; pos + 1 < text.size(); ++pos) {
        if (text[pos] != '0' || (text[pos + 1] != 'x' && text[pos + 1] != 'X'))
            continue;
        pos += 2;
        int64_t value = 0;
        int digits = 0;
        // Digits past the longest number are counted, not added: a long run must not overflow.
        for (; pos < text.size() && HexDigitValue(text[pos]) >= 0; ++pos, ++digits)
            if (digits < kLongestNumber)
                value = value * 16 + HexDigitValue(text[pos]);
        // "0x3Z" is a typo, not 3 and a comment.
        const bool glued =
            pos < text.size() && (std::isalnum(static_cast<unsigned char>(text[pos])) || text[pos] == '_');
        if (digits == 0 || digits > kLongestNumber || glued)
            return std::nullopt;
        return value;
    }
    return std::nullopt;
}

QString hex(int64_t value) {
    return "0x" + QString::number(value, 16).toUpper();
}

QString writeText(int64_t address, int64_t data) {
    return QString("%1 to register %2").arg(hex(data), hex(address));
}

SettingsCheck refused(int lineIndex, const QString& problem) {
    SettingsCheck check;
    check.badLine = lineIndex + 1;
    check.problem = problem;
    return check;
}

struct Listed {
    int64_t address;
    int64_t data;
    int line;
};
} // namespace

SettingsCheck CheckSettingsFile(const QByteArray& bytes,
                                const std::function<bool(int32_t)>& isWritableAddress) {
    const qsizetype firstBrace = bytes.indexOf('{');
    if (firstBrace < 0) {
        SettingsCheck check;
        check.problem = "holds no register list (no \"{\" line)";
        return check;
    }
    const QList<Line> lines = splitLines(bytes);
    const auto lineOf = [&lines](qsizetype position) {
        int i = 0;
        while (i + 1 < lines.size() && lines[i + 1].begin <= position)
            ++i;
        return i;
    };
    int start = 0;
    while (start < lines.size() && lines[start].text.trimmed() != "{")
        ++start;
    if (start == lines.size())
        return refused(lineOf(firstBrace),
                       "holds a \"{\", but no line holding only \"{\" starts the register list");

    // What the file lists.
    std::vector<Listed> listed;
    int end = start + 1;
    for (; end < lines.size(); ++end) {
        const QByteArray& text = lines[end].text;
        if (const auto control = controlCharacter(text))
            return refused(
                end,
                QString("holds the control character %1, which no settings file holds").arg(hex(*control)));
        if (text.startsWith('}'))
            break;
        if (allBlank(text))
            continue;
        qsizetype pos = 0;
        const std::optional<int64_t> address = nextNumber(text, pos);
        const std::optional<int64_t> data = address ? nextNumber(text, pos) : std::nullopt;
        if (!data)
            return refused(end,
                           "is not a register entry (\"0x\" and the address, then \"0x\" and the value)");
        if (*address > 0xFF || !isWritableAddress(static_cast<int32_t>(*address)))
            return refused(end, QString("names register %1, which cannot be written").arg(hex(*address)));
        listed.push_back({*address, *data, end});
    }
    if (end == lines.size())
        return refused(static_cast<int>(lines.size()) - 1,
                       "ends the file before a line starting with \"}\" closes the register list");

    // What the recall's reader makes of the same bytes.
    std::vector<SettingsCheck::Entry> read;
    RecallSettings(bytes, {[] {},
                           [&read](int32_t address, int32_t data) {
                               read.push_back({address, data});
                           }});
    const int braceLine = lineOf(firstBrace);
    const QString early =
        braceLine < start ? QString(" (the recall starts at the \"{\" on line %1)").arg(braceLine + 1) : "";
    for (size_t i = 0; i < listed.size(); ++i) {
        if (i == read.size())
            return refused(listed[i].line, "would not be written: the recall stops before it" + early);
        if (read[i].address != listed[i].address || read[i].data != listed[i].data)
            return refused(listed[i].line, QString("would write %1 instead of %2")
                                                   .arg(writeText(read[i].address, read[i].data),
                                                        writeText(listed[i].address, listed[i].data)) +
                                               early);
    }
    if (read.size() > listed.size())
        return refused(end, QString("does not end the list for the recall, which would go on to write %1")
                                .arg(writeText(read[listed.size()].address, read[listed.size()].data)));

    SettingsCheck check;
    for (const Listed& entry : listed)
        check.entries.append({static_cast<int32_t>(entry.address), static_cast<int32_t>(entry.data)});
    check.passed = true;
    return check;
}
