#include "cli/CliSettings.h"

#include "cli/CliConnect.h"
#include "cli/CliExit.h"
#include "cli/CliStream.h"
#include "device/ChipAccess.h"
#include "device/Clock.h"
#include "device/RegMapStuff.h"
#include "files/RegularFile.h"
#include "files/SettingsCheck.h"
#include "files/SettingsCompare.h"
#include "files/SettingsFile.h"
#include "files/SettingsReader.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {
// A settings file holds about 1.5 KB; anything far larger is not one.
constexpr qint64 kLargestSettingsFile = 1024 * 1024;

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
    if (path.isEmpty()) {
        if (!WriteAll(STDOUT_FILENO, bytes))
            throw CliError{kExitUsage, "standard output could not be written"};
        return;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || file.write(bytes) != bytes.size() ||
        !file.commit()) {
        const QString reason = file.errorString();
        file.cancelWriting();
        throw CliError{kExitUsage, path + ": the settings could not be saved (" + reason +
                                       "); an earlier file of that name is unchanged"};
    }
}

QByteArray readStandardInput(bool& tooLarge) {
    QByteArray bytes;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, stdin)) > 0 && bytes.size() <= kLargestSettingsFile)
        bytes.append(buffer, static_cast<qsizetype>(got));
    tooLarge = bytes.size() > kLargestSettingsFile;
    return bytes;
}

// "Nothing was written to the chip" only where a write was on the table.
QString refusal(const CliArgs& args, const QString& shown, const QString& what) {
    const bool writing = args.verb == "recall" && !args.dryRun;
    return shown + ": " + what + (writing ? ". Nothing was written to the chip." : ".");
}
} // namespace

std::optional<QByteArray> LoadSettingsOperand(const CliArgs& args) {
    const QString& operand = args.operands.value(0);
    if (args.verb == "save") {
        const QFileInfo target(operand);
        // Only a plain file is replaced: a folder, pipe or device keeps what it is.
        if (!IsStandardOutput(operand) && target.exists() && !target.isFile())
            throw CliError{kExitUsage, operand + ": not a plain file; nothing was saved"};
        return std::nullopt;
    }
    if (args.verb != "recall" && args.verb != "diff")
        return std::nullopt;
    WholeFile file;
    const bool standardInput = IsStandardInput(operand);
    const QString shown = standardInput ? QString("standard input") : operand;
    if (standardInput) {
        file.bytes = readStandardInput(file.tooLarge);
    } else {
        // A device or pipe could block the open or never end: only plain files are read.
        file = ReadRegularFile(NativeName(operand), kLargestSettingsFile);
    }
    if (file.error == FileOpenError::NotAFile)
        throw CliError{kExitUsage, refusal(args, shown, "not a plain file (use - for standard input)")};
    if (file.error == FileOpenError::CannotOpen)
        throw CliError{kExitUsage, refusal(args, shown, "cannot be opened (" + file.errorText + ")")};
    if (file.tooLarge)
        throw CliError{kExitUsage, refusal(args, shown, "too large to be a settings file")};
    // A damaged file is never half applied: the whole file is checked before the first write.
    const SettingsCheck check = CheckSettingsFile(file.bytes, IsWritableRegisterAddress);
    if (!check.passed)
        throw CliError{kExitUsage,
                       refusal(args, shown,
                               "cannot be read as a settings file: " +
                                   (check.badLine > 0 ? QString("line %1 ").arg(check.badLine) : QString()) +
                                   check.problem)};
    return file.bytes;
}

Report SettingsVerb(const CliArgs& args, const std::optional<QByteArray>& file, int& status) {
    status = kExitSuccess;
    if (args.verb == "save") {
        const QStringList header = SettingsHeaderLines(args.comment, Clock::LocalNow());
        const QList<SettingsEntry> entries = SettingsEntries(args.changedOnly, readChip);
        const QString target = IsStandardOutput(args.operands.at(0)) ? QString() : args.operands.at(0);
        saveFile(target, SettingsFileBytes(header, entries));
        Report report{"save"};
        // On standard output the file is the whole output.
        if (target.isEmpty())
            return report;
        for (const SettingsEntry& entry : entries)
            report.rows.push_back({ByteCell("register", entry.writeAddr), TextCell("name", entry.description),
                                   ByteCell("value", entry.value)});
        return report;
    }
    const RecallPlan plan = ReadRecallPlan(*file);
    Report report{args.verb};
    for (const RecallChange& change : RecallChanges(plan.entries, readChip))
        report.rows.push_back(changeRow(change));
    if (args.verb == "diff")
        status = report.rows.empty() ? kExitSuccess : kExitMismatch;
    return report;
}

int RecallVerb(const CliArgs& args, const QByteArray& file) {
    // The output is written as the recall goes: an earlier file of the name starts afresh.
    if (!args.output.isEmpty() && !QFile(args.output).open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw CliError{kExitUsage, "-o " + args.output + ": the file could not be opened for writing"};
    const RecallPlan plan = ReadRecallPlan(file);
    const std::vector<int> records = MatchEntriesToRecords(plan.entries);
    bool sinkFailed = false;
    RowStream stream("recall", args.format, [&](const QByteArray& bytes) {
        const bool written = args.output.isEmpty() ? WriteAll(STDOUT_FILENO, bytes)
                                                   : AppendWhole(NativeName(args.output), bytes);
        sinkFailed = sinkFailed || !written;
    });
    qsizetype longestName = 0;
    for (int record : records)
        if (record != RegMapStuff::kNotFound)
            longestName = std::max(longestName, RegMapStuff::RegisterTable[record].Description.size());
    stream.reserveWidth("name", longestName);
    SetLinkLossEnding([&stream](const QString& failure) { stream.fail(failure); });
    size_t next = 0;
    RecallSettings(file,
                   {[] {},
                    [&](int32_t address, int32_t value) {
                        WriteChip(address, value);
                        // Shown once on the chip: a lost link leaves exactly these lines.
                        const int record = next < records.size() ? records[next] : RegMapStuff::kNotFound;
                        ++next;
                        stream.row({ByteCell("register", address),
                                    record == RegMapStuff::kNotFound
                                        ? MissingCell("name", {}, "no register of the table")
                                        : TextCell("name", RegMapStuff::RegisterTable[record].Description),
                                    ByteCell("written", value)});
                    }});
    // A register that does not take its value (locked, reserved bits) is a failed recall.
    const std::vector<RecallChange> left = RecallChanges(plan.entries, readChip);
    SetLinkLossEnding({});
    stream.end();
    if (sinkFailed)
        throw CliError{kExitUsage, (args.output.isEmpty() ? QString("standard output") : args.output) +
                                       " could not be written; the recall went on"};
    for (const RecallChange& change : left)
        std::fprintf(stderr, "%s: %s %s: wrote %s, %s\n", kToolName, qPrintable(ByteText(change.writeAddr)),
                     qPrintable(change.name), qPrintable(ByteText(change.fileValue)),
                     change.chipValue < 0 ? "cannot be read back"
                                          : qPrintable("reads " + ByteText(change.chipValue)));
    if (!left.empty())
        throw CliError{kExitMismatch, "the chip read back other than written"};
    return kExitSuccess;
}
