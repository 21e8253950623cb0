// What comes with otk5530-cli: its bash completion, run in bash as readline calls it, and
// its manual page, both checked against the tool's own help and register lookup.
#include "cli/CliRegisters.h"
#include "device/RegMapStuff.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <set>

namespace {
QString readText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

// Runs a bash snippet with the completion loaded; $1 is the line typed so far.
QStringList bashLines(const QString& snippet, const QString& line = {}, const QString& folder = {}) {
    QProcess bash;
    if (!folder.isEmpty())
        bash.setWorkingDirectory(folder);
    bash.start("bash", {"-c", "source \"$0\" || exit 9\n" + snippet, OTK_CLI_COMPLETION, line});
    if (!bash.waitForFinished(30'000) || bash.exitCode() != 0)
        return {"bash failed: " + QString::fromUtf8(bash.readAllStandardError())};
    QStringList lines = QString::fromUtf8(bash.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

// The replies for the line typed so far, with the cursor at its end.
QStringList complete(const QString& line, const QString& folder = {}) {
    return bashLines(
        "COMP_LINE=$1; COMP_POINT=${#COMP_LINE}; _otk5530_cli; printf '%s\\n' \"${COMPREPLY[@]}\"", line,
        folder);
}

QString toolHelp() {
    QProcess tool;
    tool.start(OTK_CLI_PROGRAM, {"--help"});
    tool.waitForFinished(30'000);
    return QString::fromUtf8(tool.readAllStandardOutput());
}

QStringList helpVerbs(const QString& help) {
    const QString verbs = help.section("Verbs:", 1).section("\n\n", 0, 0);
    QStringList names;
    static const QRegularExpression verbLine("^  ([a-z]+)\\b", QRegularExpression::MultilineOption);
    for (auto match = verbLine.globalMatch(verbs); match.hasNext();)
        names.append(match.next().captured(1));
    return names;
}

QStringList helpOptions(const QString& help) {
    QStringList names;
    static const QRegularExpression option("(?<![\\w-])(--[a-z][a-z-]*|-[a-z])\\b");
    for (auto match = option.globalMatch(help); match.hasNext();) {
        const QString name = match.next().captured(1);
        if (!names.contains(name))
            names.append(name);
    }
    return names;
}

struct CompletionCase {
    const char* name;
    const char* line;
    QStringList replies;
};

class CompletionCases : public ::testing::TestWithParam<CompletionCase> {};
} // namespace

TEST_P(CompletionCases, OffersWhatTheToolTakesAtThatPlace) {
    const CompletionCase& c = GetParam();
    QTemporaryDir folder;
    ASSERT_TRUE(QFile(folder.filePath("a.sav")).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QFile(folder.filePath("b.csv")).open(QIODevice::WriteOnly));
    ASSERT_TRUE(QDir(folder.path()).mkdir("sub"));
    QStringList expected = c.replies;
    expected.sort();
    EXPECT_EQ(complete(c.line, folder.path()), expected) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CompletionCases,
    ::testing::Values(
        CompletionCase{"VerbsFirst",
                       "otk5530-cli ",
                       {"scan", "info", "read", "write", "temps", "dump", "log", "save", "recall", "diff",
                        "limits", "status", "sensors", "serve"}},
        CompletionCase{"VerbByItsStart", "otk5530-cli re", {"read", "recall"}},
        // The option's value is no verb: the verb is still to come.
        CompletionCase{"VerbAfterAnOptionWithItsValue", "otk5530-cli --adapter usb d", {"dump", "diff"}},
        CompletionCase{
            "ReadOffersReadOnlyRegisters", "otk5530-cli read status_", {"status_reg_1", "status_reg_2"}},
        CompletionCase{"WriteLeavesReadOnlyRegistersOut", "otk5530-cli write status_", {}},
        CompletionCase{"NamesIgnoreCase", "otk5530-cli write Local_Temp_H", {"local_temp_high_limit"}},
        CompletionCase{"WriteValueIsNotCompleted", "otk5530-cli write conversion_rate ", {}},
        CompletionCase{"OpenQuoteIsCompletedInside", "otk5530-cli read 'conversion_r", {"conversion_rate"}},
        CompletionCase{"LimitsChannelAndKind",
                       "otk5530-cli limits remote1.",
                       {"remote1.high", "remote1.low", "remote1.therm"}},
        CompletionCase{"OtkFormatOnlyForLog",
                       "otk5530-cli log --format ",
                       {"text", "json", "ndjson", "csv", "otk", "prom"}},
        CompletionCase{"PromFormatForTempsAndLog", "otk5530-cli temps --format p", {"prom"}},
        CompletionCase{"I2cdumpOnlyForDump", "otk5530-cli dump --format i", {"i2cdump"}},
        CompletionCase{"I2cdetectOnlyForScan", "otk5530-cli scan --format i", {"i2cdetect"}},
        CompletionCase{
            "OtherVerbsWithoutOwnFormats", "otk5530-cli --format ", {"text", "json", "ndjson", "csv"}},
        CompletionCase{"LimitsForce", "otk5530-cli limits --f", {"--format", "--force"}},
        // readline replaces only what follows the "=", so the replies start there.
        CompletionCase{"ValueJoinedToItsOption", "otk5530-cli dump --format=j", {"json"}},
        CompletionCase{"UsbAdapter", "otk5530-cli --adapter u", {"usb"}},
        CompletionCase{"ChannelsNotYetListed",
                       "otk5530-cli log --channels remote1,",
                       {"remote1,local", "remote1,remote2"}},
        CompletionCase{
            "OptionsOfTheVerb",
            "otk5530-cli temps --",
            {"--adapter", "--address", "--format", "--help", "--version", "--watch", "--interval"}},
        CompletionCase{"RecallOffersSettingsFilesAndFolders", "otk5530-cli recall ", {"a.sav", "sub"}},
        CompletionCase{"SaveOffersEveryFile", "otk5530-cli save ", {"a.sav", "b.csv", "sub"}},
        CompletionCase{"OutputFile", "otk5530-cli dump -o b", {"b.csv"}}),
    [](const ::testing::TestParamInfo<CompletionCase>& row) { return row.param.name; });

// The completion lists the names; the tool's lookup decides what they name.
TEST(CliCompletion, EveryNameNamesItsOwnRegisterAndEveryRegisterHasOne) {
    RegMapStuff::BuildRegisterTable();
    const QStringList entries = bashLines("printf '%s\\n' \"${_otk5530_cli_registers[@]}\"");
    std::set<int> named;
    for (const QString& entry : entries) {
        const QString mode = entry.section(' ', 0, 0);
        const QString name = entry.section(' ', 1);
        const int index = FindRegisterOperand(name, false, false);
        ASSERT_NE(index, RegMapStuff::kNotFound) << name.toStdString();
        EXPECT_EQ(mode.toStdString(), RegMapStuff::RegisterTable[index].ReadOnly ? "ro" : "rw")
            << name.toStdString();
        EXPECT_TRUE(named.insert(index).second) << name.toStdString() << " names a register already named";
    }
    EXPECT_EQ(named.size(),
              static_cast<size_t>(RegMapStuff::kRegisterCount - 1)); // every record but the placeholder
}

TEST(CliDocs, ManualPageAndCompletionKnowEveryVerbAndOptionOfTheHelp) {
    const QString help = toolHelp();
    const QStringList verbs = helpVerbs(help);
    const QStringList options = helpOptions(help);
    ASSERT_GE(verbs.size(), 13) << help.toStdString();
    ASSERT_GE(options.size(), 10) << help.toStdString();
    const QString manual = readText(OTK_CLI_MANPAGE);
    const QString completion = readText(OTK_CLI_COMPLETION);
    for (const QString& verb : verbs) {
        // Each verb has its own entry: a tagged paragraph that starts with the verb in bold.
        const QRegularExpression entry("^\\.TP\\n(\\.BR? |\\.BI |\\\\fB)" + verb + "\\b",
                                       QRegularExpression::MultilineOption);
        EXPECT_TRUE(entry.match(manual).hasMatch())
            << "the manual page has no entry for " << verb.toStdString();
        EXPECT_TRUE(completion.contains(QRegularExpression("verbs=\"[a-z ]*\\b" + verb + "\\b")))
            << "the completion does not offer " << verb.toStdString();
    }
    for (const QString& option : options) {
        QString roff = option;
        roff.replace("-", "\\-");
        EXPECT_TRUE(manual.contains(roff)) << "the manual page does not describe " << option.toStdString();
        EXPECT_TRUE(completion.contains(QRegularExpression("(\\(| )" + option + "[ )]")))
            << "the completion does not offer " << option.toStdString();
    }
    // Every output format: an entry under OUTPUT FORMATS, and offered by the completion.
    const QStringList formats =
        help.section("--format ", 1).section('\n', 0, 0).trimmed().split('|', Qt::SkipEmptyParts);
    ASSERT_GE(formats.size(), 7) << help.toStdString();
    const QString formatsSection = manual.section(".SH OUTPUT FORMATS", 1).section(".SH ", 0, 0);
    for (const QString& format : formats) {
        EXPECT_TRUE(formatsSection.contains(".TP\n.B " + format + "\n"))
            << "the manual page has no entry for the format " << format.toStdString();
        EXPECT_TRUE(completion.contains(QRegularExpression("[( ]" + format + "[ )]")))
            << "the completion does not offer the format " << format.toStdString();
    }
}

TEST(CliDocs, ManualPageGivesEveryExitStatusOfTheHelp) {
    const QString help = toolHelp();
    const QString statuses = help.section("Exit status:", 1);
    const QString manual = readText(OTK_CLI_MANPAGE).section(".SH EXIT STATUS", 1).section(".SH ", 0, 0);
    static const QRegularExpression status("\\b([0-9]) ");
    int found = 0;
    for (auto match = status.globalMatch(statuses); match.hasNext(); ++found) {
        const QString code = match.next().captured(1);
        EXPECT_TRUE(manual.contains(".TP\n.B " + code + "\n"))
            << "the manual page misses exit status " << code.toStdString();
    }
    EXPECT_EQ(found, 5) << statuses.toStdString();
}
