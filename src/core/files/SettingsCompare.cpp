#include "files/SettingsCompare.h"

#include "device/RegMapStuff.h"

#include <map>

using RegMapStuff::RegisterTable;

RecallPlan ReadRecallPlan(const QByteArray& bytes) {
    RecallPlan plan;
    plan.outcome = RecallSettings(bytes, {[] {},
                                          [&plan](int32_t address, int32_t data) {
                                              plan.entries.push_back({address, data});
                                          }});
    return plan;
}

std::vector<int> MatchEntriesToRecords(const std::vector<RecallEntry>& entries) {
    std::map<int32_t, int> seen;
    std::vector<int> records;
    for (const RecallEntry& entry : entries) {
        int occurrence = seen[entry.writeAddr]++;
        int match = RegMapStuff::kNotFound;
        for (int i = 1; i < RegMapStuff::kRegisterCount && entry.writeAddr != 0; ++i) {
            if (RegisterTable[i].WriteAddr != entry.writeAddr)
                continue;
            match = i;
            if (occurrence-- == 0)
                break;
        }
        records.push_back(match);
    }
    return records;
}

std::vector<RecallChange> RecallChanges(const std::vector<RecallEntry>& entries,
                                        const std::function<int(int32_t)>& readRegister) {
    const std::vector<int> records = MatchEntriesToRecords(entries);
    std::map<int32_t, int> chip;
    std::vector<RecallChange> changes;
    for (size_t i = 0; i < entries.size(); ++i) {
        RecallChange change{entries[i].writeAddr, records[i], {}, -1, entries[i].value};
        if (change.record != RegMapStuff::kNotFound) {
            const RegisterRecord& record = RegisterTable[change.record];
            change.name = record.Description;
            auto known = chip.find(record.ReadAddr);
            if (known == chip.end())
                known = chip.emplace(record.ReadAddr, readRegister(record.ReadAddr)).first;
            change.chipValue = known->second;
        }
        if (change.chipValue != change.fileValue)
            changes.push_back(change);
    }
    return changes;
}
