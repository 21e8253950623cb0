#pragma once
// The register settings file as text: its header, one entry per saved register,
// and the bytes written to disk. Pure: no widget and no chip inside.
#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

struct SettingsEntry {
    int32_t writeAddr = 0;
    int value = 0;
    QString description;
};

// Lines 1 to 7: maker, program, the save time (dd/MM/yyyy at HH:mm:ss) and the
// comment on one line (control characters but tab as blanks) with its surrounding blanks removed.
QStringList SettingsHeaderLines(const QString& comment, const QDateTime& savedAt);
// «0xA⇥0x8⇥ // Conversion Rate»: unpadded upper-case hexadecimal.
QString SettingsEntryLine(const SettingsEntry& entry);
// Walks the register table in index order, skipping read-only records; `readRegister`
// is given each record's read address. With `onlyNonDefaults`, registers holding
// their power-on default are left out.
QList<SettingsEntry> SettingsEntries(bool onlyNonDefaults,
                                     const std::function<int(int32_t readAddr)>& readRegister);
// The whole file: header, column titles, "{", the entries, "}", every line ending CR LF,
// in the single-byte code page.
QByteArray SettingsFileBytes(const QStringList& headerLines, const QList<SettingsEntry>& entries);
// True for the write address of a register a settings file may hold.
bool IsWritableRegisterAddress(int32_t address);
