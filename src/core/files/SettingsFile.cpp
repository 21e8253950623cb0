#include "files/SettingsFile.h"

#include "device/ApplicationTitle.h"
#include "device/NumberText.h"
#include "device/RegMapStuff.h"

namespace {
// Control characters become blanks: a pasted line break would otherwise start a
// line of its own, even a "{" that the recall takes for the register list.
QString withoutControlCharacters(QString text) {
    for (QChar& c : text)
        if (c.category() == QChar::Other_Control && c != '\t')
            c = ' ';
    return text;
}

// The comment loses its surrounding blanks only; anything else typed stays.
QString withoutSurroundingBlanks(const QString& text) {
    int first = 0;
    int last = text.size();
    while (first < last && text[first] == ' ')
        ++first;
    while (last > first && text[last - 1] == ' ')
        --last;
    return text.mid(first, last - first);
}
} // namespace

QStringList SettingsHeaderLines(const QString& comment, const QDateTime& savedAt) {
    // A fixed date and time form, so a file reads the same whatever the machine's locale.
    const QString date = savedAt.date().toString("dd/MM/yyyy");
    const QString time = savedAt.time().toString("HH:mm:ss");
    return {"Korvane Labs Inc.",
            kApplicationTitle,
            "",
            "Saved: " + date + " at " + time,
            "",
            "Comment : " + withoutSurroundingBlanks(withoutControlCharacters(comment)),
            ""};
}

QString SettingsEntryLine(const SettingsEntry& entry) {
    return "0x" + HexText(entry.writeAddr) + "\t0x" + HexText(entry.value) + "\t // " + entry.description;
}

QList<SettingsEntry> SettingsEntries(bool onlyNonDefaults,
                                     const std::function<int(int32_t readAddr)>& readRegister) {
    QList<SettingsEntry> entries;
    for (const RegisterRecord& record : RegMapStuff::RegisterTable) {
        if (record.ReadOnly)
            continue;
        const int value = readRegister(record.ReadAddr);
        if (!onlyNonDefaults || value != record.DefaultValue)
            entries.append({record.WriteAddr, value, record.Description});
    }
    return entries;
}

QByteArray SettingsFileBytes(const QStringList& headerLines, const QList<SettingsEntry>& entries) {
    QStringList lines = headerLines;
    lines << "Address\tData\tRegister"
          << "{";
    for (const SettingsEntry& entry : entries)
        lines << SettingsEntryLine(entry);
    lines << "}";
    QByteArray bytes;
    for (const QString& line : lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

bool IsWritableRegisterAddress(int32_t address) {
    for (const RegisterRecord& record : RegMapStuff::RegisterTable)
        if (!record.ReadOnly && record.WriteAddr == address)
            return true;
    return false;
}
