#pragma once
// What recalling a settings file would do to the chip, without writing: the file's
// entries read with the recall's own rules, each matched to its register record and
// compared with the chip. Pure: no widget and no chip inside.
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

#include "files/SettingsReader.h"

struct RecallEntry {
    int32_t writeAddr = 0;
    int32_t value = 0;
};

struct RecallPlan {
    RecallOutcome outcome = RecallOutcome::NoListStart;
    std::vector<RecallEntry> entries; // in the order a recall writes them
};

// The one place the compare and the preview parse a file; a whole-file checker can
// take the recall reader's place here.
RecallPlan ReadRecallPlan(const QByteArray& bytes);

// The record an entry belongs to: the n-th entry of a write address is the n-th record
// with that write address (a saved file lists the records in table order), the last
// such record for further entries; RegMapStuff::kNotFound for an address no record has.
std::vector<int> MatchEntriesToRecords(const std::vector<RecallEntry>& entries);

struct RecallChange {
    int32_t writeAddr = 0;
    int record = 0; // RegMapStuff::kNotFound for an unknown address
    QString name;
    int chipValue = -1; // -1: the address has no register to read back
    int32_t fileValue = 0;
};

// The entries that would change the chip: those whose value differs from the byte
// readRegister gives at their record's read address (each address read once).
std::vector<RecallChange> RecallChanges(const std::vector<RecallEntry>& entries,
                                        const std::function<int(int32_t readAddr)>& readRegister);
