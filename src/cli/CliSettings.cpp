#include "cli/CliSettings.h"

#include "cli/CliExit.h"
#include "device/ChipAccess.h"
#include "device/Clock.h"
#include "files/SettingsCompare.h"
#include "files/SettingsFile.h"
#include "files/SettingsFileLoad.h"
#include "files/SettingsReader.h"

#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>

namespace {
int readChip(int32_t readAddr) {
    return ReadChip(readAddr);
}

Row changeRow(const RecallChange& change) {
    return {ByteCell("register", change.writeAddr), TextCell("name", change.name),
            change.chipValue < 0 ? MissingCell("chip", {}, "no register to read back")
                                 : ByteCell("chip", change.chipValue),
            ByteCell("file", change.fileValue)};
}

void saveFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size() ||
        !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw CliError{kExitUsage, path + ": the settings could not be saved (" + reason +
                                       "); an earlier file of that name is unchanged"};
    }
}
} // namespace

std::optional<QByteArray> LoadSettingsOperand(const CliArgs& args) {
    if (args.verb == "save") {
        const QFileInfo target(args.operands.at(0));
        // Only a plain file is replaced: a folder, pipe or device keeps what it is.
        if (target.exists() && !target.isFile())
            throw CliError{kExitUsage, args.operands.at(0) + ": not a plain file; nothing was saved"};
        return std::nullopt;
    }
    if (args.verb != "recall" && args.verb != "diff")
        return std::nullopt;
    QString refusal;
    std::optional<QByteArray> bytes = LoadSettingsFile(args.operands.at(0), refusal);
    if (!bytes)
        throw CliError{kExitUsage, refusal.replace('\n', ' ')};
    return bytes;
}

Report SettingsVerb(const CliArgs& args, const std::optional<QByteArray>& file, int& status) {
    status = kExitSuccess;
    if (args.verb == "save") {
        const QStringList header = SettingsHeaderLines(args.comment, Clock::LocalNow());
        const QList<SettingsEntry> entries = SettingsEntries(args.changedOnly, readChip);
        saveFile(args.operands.at(0), SettingsFileBytes(header, entries));
        Report report{"save"};
        for (const SettingsEntry& entry : entries)
            report.rows.push_back({ByteCell("register", entry.writeAddr), TextCell("name", entry.description),
                                   ByteCell("value", entry.value)});
        return report;
    }
    const RecallPlan plan = ReadRecallPlan(*file);
    const std::vector<RecallChange> changes = RecallChanges(plan.entries, readChip);
    Report report{args.verb};
    for (const RecallChange& change : changes)
        report.rows.push_back(changeRow(change));
    if (args.verb == "diff") {
        status = changes.empty() ? kExitSuccess : kExitMismatch;
        return report;
    }
    if (args.dryRun)
        return report;
    RecallSettings(*file, {[] {}, [](int32_t address, int32_t value) { WriteChip(address, value); }});
    // A register that does not take its value (locked, reserved bits) is a failed recall.
    const std::vector<RecallChange> left = RecallChanges(plan.entries, readChip);
    if (!left.empty())
        status = kExitMismatch;
    for (size_t i = 0; i < changes.size(); ++i) {
        const auto still = std::find_if(left.begin(), left.end(), [&](const RecallChange& change) {
            return change.record == changes[i].record && change.writeAddr == changes[i].writeAddr;
        });
        report.rows[i].push_back(FlagCell("taken", still == left.end()));
    }
    return report;
}
