#pragma once
// Checks a whole settings file before a recall writes anything: the recall goes
// ahead only when every line after the "{" is an entry the reader takes exactly
// as written. Pure: no widget and no chip inside.
//
// Accepted, as the program writes and as the reader tolerates: any header before
// the "{" line (a "{" in the comment too), entries "0x" + one or two hexadecimal
// digits of either case, TAB, "0x" + one or two digits, then blanks and an
// optional "//" comment; blank lines between entries; a "}" line; CR LF line ends,
// the last line's may be missing. Every address must be a writable register's.
#include <QByteArray>
#include <QList>
#include <QString>
#include <cstdint>
#include <functional>

struct SettingsCheck {
    bool passed = false;
    // The first bad line, counted from 1; 0 when the file has no "{" at all.
    int badLine = 0;
    // What is wrong there, in words that follow "line N ".
    QString problem;
    // The writes a recall of a passed file makes, in file order.
    struct Entry {
        int32_t address;
        int32_t data;
        bool operator==(const Entry& other) const { return address == other.address && data == other.data; }
    };
    QList<Entry> entries;
};

SettingsCheck CheckSettingsFile(const QByteArray& bytes,
                                const std::function<bool(int32_t)>& isWritableAddress);
