#pragma once
// Checks a whole settings file before a recall writes anything: the recall goes
// ahead only when the reader would write exactly the entries the file lists.
// Pure: no widget and no chip inside.
//
// What a file lists: after the first line holding only "{" (blanks around it
// allowed), each line up to the first one that starts with "}" is blank or an entry:
// the first "0x" + hexadecimal digits is the address, the next "0x" + digits the
// value (neither glued to a letter: "0x3Z" is a typo), anything else on the line is
// text the recall passes over. The list is
// refused when a line is neither, holds a control character, names an address that
// is no writable register, or when the recall's reader would make anything else of
// the bytes (a three-digit number, an upper-case "X", a "{" in the header before
// the list, a value ending the line without a second character).
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
