#include "files/SettingsCheck.h"

#include "adapter/HexDigit.h"

#include <optional>

namespace {
struct Line {
    qsizetype begin;
    qsizetype end; // the line feed, or the end of the file
    bool hasLineEnd;
};

QList<Line> splitLines(const QByteArray& bytes) {
    QList<Line> lines;
    qsizetype begin = 0;
    while (begin < bytes.size()) {
        const qsizetype lineFeed = bytes.indexOf('\n', begin);
        if (lineFeed < 0) {
            lines.append({begin, bytes.size(), false});
            break;
        }
        lines.append({begin, lineFeed, true});
        begin = lineFeed + 1;
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

// "0x" and one or two digits at `pos`: the reader takes exactly two characters
// after the marker, so a third digit would be misread.
int hexField(const QByteArray& text, qsizetype& pos) {
    if (pos + 1 >= text.size() || text[pos] != '0' || text[pos + 1] != 'x')
        return -1;
    pos += 2;
    int value = 0;
    int digits = 0;
    while (pos < text.size() && digits < 3 && HexDigitValue(text[pos]) >= 0) {
        value = value * 16 + HexDigitValue(text[pos]);
        ++pos;
        ++digits;
    }
    return digits == 1 || digits == 2 ? value : -1;
}

std::optional<SettingsCheck::Entry> parseEntry(const QByteArray& text) {
    qsizetype pos = 0;
    const int address = hexField(text, pos);
    if (address < 0 || pos >= text.size() || !isBlank(text[pos]))
        return std::nullopt;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    const int data = hexField(text, pos);
    if (data < 0)
        return std::nullopt;
    while (pos < text.size() && isBlank(text[pos]))
        ++pos;
    if (pos < text.size() && !text.mid(pos, 2).startsWith("//"))
        return std::nullopt;
    return SettingsCheck::Entry{address, data};
}

SettingsCheck refused(int lineIndex, const QString& problem) {
    SettingsCheck check;
    check.badLine = lineIndex + 1;
    check.problem = problem;
    return check;
}
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
    int braceLine = 0;
    while (lines[braceLine].end < firstBrace)
        ++braceLine;
    auto textOf = [&](int i) { return bytes.mid(lines[i].begin, lines[i].end - lines[i].begin); };
    auto withoutLineEnd = [&](int i) {
        QByteArray text = textOf(i);
        if (lines[i].hasLineEnd && text.endsWith('\r'))
            text.chop(1);
        return text;
    };

    int start = braceLine;
    while (start < lines.size() && withoutLineEnd(start) != "{")
        ++start;
    if (start == lines.size())
        return refused(braceLine, "holds a \"{\", but no line holding only \"{\" starts the register list");

    // A "{" in the header (the comment, say) is where the reader starts: it then
    // skips its line, takes the next line's first character as a possible "}",
    // and searches for the first "x". That must be the first entry's.
    if (start > braceLine) {
        const QString early =
            QString(" the \"{\" on line %1 starts the register list early").arg(braceLine + 1);
        const Line& next = lines[braceLine + 1];
        if (bytes[next.begin] == '}')
            return refused(braceLine + 1, "would end the register list at once:" + early);
        const qsizetype marker = bytes.indexOf('x', next.begin + 1);
        if (marker >= 0 && marker < lines[start].end) {
            int markerLine = braceLine + 1;
            while (lines[markerLine].end < marker)
                ++markerLine;
            return refused(markerLine, "would be misread:" + early);
        }
    }

    SettingsCheck check;
    bool ended = false;
    for (int i = start; i < lines.size(); ++i) {
        QByteArray text = textOf(i);
        if (lines[i].hasLineEnd) {
            if (!text.endsWith('\r'))
                return refused(i, "does not end with CR LF");
            text.chop(1);
        }
        if (text.contains('\r'))
            return refused(i, "holds a carriage return inside the line");
        if (i == start)
            continue;
        if (ended) {
            if (!allBlank(text))
                return refused(i, "follows the closing \"}\"");
            continue;
        }
        if (text.startsWith('}')) {
            if (!allBlank(text.mid(1)))
                return refused(i, "has text after the closing \"}\"");
            ended = true;
            continue;
        }
        if (allBlank(text))
            continue;
        const std::optional<SettingsCheck::Entry> entry = parseEntry(text);
        if (!entry)
            return refused(i, "is not a register entry (\"0x\" and the address, TAB, \"0x\" and the value, "
                              "then an optional \"//\" comment)");
        if (!isWritableAddress(entry->address))
            return refused(i, QString("names register 0x%1, which cannot be written")
                                  .arg(QString::number(entry->address, 16).toUpper()));
        check.entries.append(*entry);
    }
    if (!ended)
        return refused(static_cast<int>(lines.size()) - 1, "ends the file before the closing \"}\"");
    check.passed = true;
    return check;
}
