// The real otk5530-cli as a child process on the simulated board (OTK5530_SIM) and through
// the fake USB and I2C transports: each verb's outcome and each exit status, the settings
// file against the program's own reader and writer, and the log against the program's log.
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "files/LogLines.h"
#include "files/LogStart.h"
#include "files/SettingsCheck.h"
#include "files/SettingsFile.h"
#include "files/SettingsReader.h"
#include "support/FakeBoundary.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace {

constexpr int kRunTimeoutMs = 60000;

struct Outcome {
    int exitCode = -1;
    QString out;
    QString err;
};

QString cliPath() {
    return QCoreApplication::applicationDirPath() + "/otk5530-cli";
}

// No display and no platform plugin: the tool must not need one.
QProcessEnvironment cliEnvironment(const QString& sim,
                                   QProcessEnvironment env = QProcessEnvironment::systemEnvironment()) {
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "OTK5530_ADAPTER"})
        env.remove(name);
    env.insert("OTK5530_SIM", sim);
    return env;
}

Outcome runCli(const QStringList& arguments, const QString& sim = "drift=off",
               const QProcessEnvironment& env = {}, const QString& program = cliPath()) {
    QProcess process;
    process.setProcessEnvironment(env.isEmpty() ? cliEnvironment(sim) : env);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(kRunTimeoutMs);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    EXPECT_TRUE(finished) << arguments.join(' ').toStdString();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct VerbRun {
    const char* name;
    QStringList arguments;
    QString sim;
    int exitCode;
    QStringList outParts; // each on stdout
    QStringList errParts; // each on stderr
};

class CliVerbs : public ::testing::TestWithParam<VerbRun> {};

TEST_P(CliVerbs, GivesItsOutcomeAndExitStatus) {
    const VerbRun& run = GetParam();
    const Outcome outcome = runCli(run.arguments, run.sim);
    EXPECT_EQ(outcome.exitCode, run.exitCode) << outcome.err.toStdString();
    for (const QString& part : run.outParts)
        EXPECT_TRUE(outcome.out.contains(part)) << "missing " << part.toStdString() << " in\n"
                                                << outcome.out.toStdString();
    for (const QString& part : run.errParts)
        EXPECT_TRUE(outcome.err.contains(part)) << "missing " << part.toStdString() << " in\n"
                                                << outcome.err.toStdString();
    // Every message on stderr is the tool's own line.
    for (const QString& line : outcome.err.split('\n', Qt::SkipEmptyParts))
        EXPECT_TRUE(line.startsWith("otk5530-cli: ")) << line.toStdString();
}

const QString kSteady = "drift=off";
// Local 25 °C is byte 89 in the extended range; the high limit byte 0x55 is 21 °C there.
const QString kExtended = "drift=off,reg.03=0x04";
const QString kRemote2Selected = "drift=off,reg.03=0x08";
// Every request fails, the firmware download first: bad input must be refused before it.
const QString kNoRequest = "fail_after=0";

INSTANTIATE_TEST_SUITE_P(
    Outcomes, CliVerbs,
    ::testing::Values(
        VerbRun{"Version", {"--version"}, kSteady, 0, {"otk5530-cli 1.0.2\n"}, {}},
        VerbRun{"ScanListsEveryChip",
                {"scan"},
                "drift=off,address=0x4C+0x4D",
                0,
                {"0x4C     0x41", "0x4D     0x41"},
                {}},
        VerbRun{"InfoDecodesTheConfiguration",
                {"info"},
                "drift=off,reg.03=0x24,reg.24=0x80",
                0,
                {"extended -64..191 °C", "THERM2", "lock                      yes", "16/s (62.5 ms)"},
                {}},
        VerbRun{"InfoNamesAnOpenDiode",
                {"info"},
                "drift=off,open=2",
                0,
                {"range                     normal 0..255 °C", "remote2                   open diode"},
                {}},
        VerbRun{"InfoAtAGivenAddress",
                {"info", "--address", "0x4D"},
                "drift=off,address=0x4C+0x4D",
                0,
                {"address                   0x4D"},
                {}},
        VerbRun{"ReadByNameAndAddress",
                {"read", "local_temp_high_limit", "0x01", "16"},
                kSteady,
                0,
                {"0x05      Local Temp High Limit", "85 °C", "33.75 °C", ".75 °C"},
                {}},
        VerbRun{"ReadInTheRangeInForce",
                {"read", "0", "0x05"},
                kExtended,
                0,
                {"0x59   25 °C", "0x55   21 °C"},
                {}},
        VerbRun{"ReadSharedRecordOfTheOtherChannel",
                {"read", "remote 1 temp high byte"},
                kRemote2Selected,
                0,
                {"selects Remote 2"},
                {}},
        VerbRun{"WriteWithMaskReadsBack",
                {"write", "0x09", "0xff", "--mask", "0x04"},
                kSteady,
                0,
                {"0x09      Configuration Reg 1  0x00    0x04  0x04     0x04       yes"},
                {}},
        VerbRun{"WriteByReadAddress",
                {"write", "conversion rate", "5"},
                kSteady,
                0,
                {"0x0A", "0x05       yes"},
                {}},
        VerbRun{"TempsOnce", {"temps"}, kSteady, 0, {"25 °C", "33.75 °C", "30.5 °C"}, {}},
        // The chip reads eighths; the tool shows quarters: bit 5 of the low byte is dropped.
        VerbRun{"TempsDropTheEighthOfADegree",
                {"--format", "csv", "temps"},
                "drift=off,remote1=33.875",
                0,
                {",25,,33.75,,30.5,,false\n"},
                {}},
        VerbRun{"TempsWithoutRemote1WhileRemote2Selected",
                {"--format", "csv", "temps"},
                kRemote2Selected,
                0,
                {",25,,,30.5,,false\n"},
                {}},
        VerbRun{
            "LimitsAllNine", {"limits"}, kSteady, 0, {"local    high   85 °C", "remote2  therm  85 °C"}, {}},
        VerbRun{"LimitSetToTheQuarter",
                {"limits", "remote1.high=70.25", "local.low=-10"},
                "drift=off,reg.03=0x04",
                0,
                {"remote1  high  70.25 °C  70.25 °C", "local    low   -10 °C    -10 °C"},
                {}},
        // A normal-range byte holds 0..255 °C, as the limits window encodes it.
        VerbRun{"LimitAboveOneHundredTwentySevenInTheNormalRange",
                {"limits", "local.high=200"},
                kSteady,
                0,
                {"local    high  200 °C  200 °C"},
                {}},
        VerbRun{"LimitOutsideTheNormalRangeNamesItsTrueBounds",
                {"limits", "local.high=-5"},
                kSteady,
                2,
                {},
                {"local.high=-5: not a temperature this limit holds in the normal range (0..255 °C)"}},
        VerbRun{
            "LimitOutsideTheExtendedRange",
            {"limits", "remote2.therm=192"},
            kExtended,
            2,
            {},
            {"remote2.therm=192: not a temperature this limit holds in the extended range (-64..191 °C)"}},
        VerbRun{"WholeDegreeLimitRefusesAFraction",
                {"limits", "local.high=85.5"},
                kSteady,
                2,
                {},
                {"whole degrees only; the nearest values it can hold are 85 and 86 °C"}},
        VerbRun{"RemoteLimitRefusesAnInexactValue",
                {"limits", "remote1.high=85.3"},
                kSteady,
                2,
                {},
                {"quarter degrees only; the nearest values it can hold are 85.25 and 85.5 °C"}},
        VerbRun{"LowAboveHighRefused",
                {"limits", "remote1.high=60", "remote1.low=70"},
                kSteady,
                2,
                {},
                {"remote1: the low limit 70 °C would lie above the high limit 60 °C"}},
        VerbRun{"LowAboveHighForced",
                {"limits", "remote1.high=60", "remote1.low=70", "--force"},
                kSteady,
                0,
                {"remote1  low   70 °C"},
                {}},
        VerbRun{"StatusDecodesTheLampsBits",
                {"status", "--format", "ndjson"},
                "drift=off,open=2",
                0,
                {"\"name\":\"D2 Open\",\"register\":35,\"set\":true",
                 "\"name\":\"D1 Open\",\"register\":2,\"set\":false"},
                {}},
        // The byte stays as read; only the temperature gives way to the fault.
        VerbRun{"ReadFlagsAFaultWithTheStatusRegister",
                {"read", "0x30", "status_reg_2"},
                "drift=off,open=2",
                0,
                {"0xFF   open diode"},
                {}},
        VerbRun{"SensorsShowTheOpenDiode",
                {"sensors"},
                "drift=off,open=2",
                0,
                {"otk5530-sim-4c\n", "remote1:    +33.75°C  (high = +85.0°C, low = +0.0°C, crit = +85.0°C)\n",
                 "remote2:        OPEN", "ALARM THERM OPEN"},
                {}},
        VerbRun{"TempsNamesTheFaultAndTheAlarms",
                {"temps", "--format", "json"},
                "drift=off,open=1,remote2=90",
                0,
                {"\"fault\": \"open diode\"", "\"value\": null", "\"high\""},
                {}},
        VerbRun{"OutputDashIsStandardOutput", {"info", "-o", "-"}, kSteady, 0, {"manufacturer_id"}, {}},
        VerbRun{"SaveDashWritesTheFileOnStandardOutput", {"save", "-"}, kSteady, 0, {"\r\n0xB\t0x55\t"}, {}},
        // Reserved bits read 0: the write does not take as given.
        VerbRun{"ReadBackMismatch",
                {"write", "configuration reg 2", "0xFF"},
                kSteady,
                3,
                {"0x80       no"},
                {"read back other than written"}},
        // The lock keeps the limit: the read-back shows it.
        VerbRun{
            "LockedLimitMismatch", {"limits", "local.high=60"}, "drift=off,reg.24=0x80", 3, {"85 °C"}, {}},
        VerbRun{"UnknownVerb", {"frobnicate"}, kSteady, 2, {}, {"unknown verb frobnicate"}},
        VerbRun{"UnknownOption", {"read", "0", "--fast"}, kSteady, 2, {}, {"unknown option --fast"}},
        VerbRun{"OptionOfAnotherVerb",
                {"read", "0", "--mask", "1"},
                kSteady,
                2,
                {},
                {"--mask is not an option of read"}},
        VerbRun{"UnknownRegister", {"read", "0x42"}, kNoRequest, 2, {}, {"0x42: no such register"}},
        VerbRun{"ValueOutOfRange", {"write", "0x0B", "256"}, kNoRequest, 2, {}, {"256: not a byte"}},
        VerbRun{"ReadOnlyRegister",
                {"write", "status reg 1", "0"},
                kNoRequest,
                2,
                {},
                {"Status Reg 1 is read-only"}},
        VerbRun{"UnreachableSharedRecord",
                {"write", "remote 1 therm limit", "50"},
                kRemote2Selected,
                2,
                {},
                {"not reachable now"}},
        VerbRun{"LimitOutOfEveryRange",
                {"limits", "remote2.therm=300"},
                kNoRequest,
                2,
                {},
                {"remote2.therm=300: not a temperature"}},
        VerbRun{"IntervalTooShort", {"log", "--interval", "5"}, kSteady, 2, {}, {"--interval 5"}},
        VerbRun{"AddressOutsideTheSearch", {"info", "--address", "0x10"}, kSteady, 2, {}, {"--address 0x10"}},
        VerbRun{"OtkFormatOnlyForLog", {"dump", "--format", "otk"}, kSteady, 2, {}, {"only for log"}},
        // The extended range's offset applies to the metrics as to every reading: 25 °C, high limit 21 °C.
        VerbRun{"PromInTheExtendedRange",
                {"temps", "--format", "prom"},
                kExtended,
                0,
                {"otk5530_temp_celsius{chip=\"sim-0x4c\",sensor=\"local\"} 25\n",
                 "otk5530_temp_max_celsius{chip=\"sim-0x4c\",sensor=\"local\"} 21\n"},
                {}},
        VerbRun{"PromOnlyForTempsAndLog",
                {"info", "--format", "prom"},
                kNoRequest,
                2,
                {},
                {"only for temps and log"}},
        VerbRun{"PromLogNeedsAFile", {"log", "--format", "prom"}, kNoRequest, 2, {}, {"give -o FILE"}},
        VerbRun{"NoChip", {"info"}, "address=none", 4, {}, {"no OTK5530 found"}},
        VerbRun{"NoChipAtTheAddress",
                {"read", "0", "--address", "0x4D"},
                kSteady,
                4,
                {},
                {"no OTK5530 answers at 0x4D"}},
        VerbRun{"ScanFindsNothing", {"scan"}, "address=none", 4, {}, {"no OTK5530 answers"}},
        VerbRun{"FirmwareFails",
                {"info"},
                "firmware=fail",
                1,
                {},
                {"Firmware failed to download - Check USB connections"}},
        VerbRun{"BusNeverSetUp",
                {"info"},
                "setup_failures=25",
                1,
                {},
                {"Initial Connection Failed - Check USB connections"}},
        VerbRun{"LinkLostMidDump",
                {"dump"},
                "fail_after=30",
                1,
                {},
                {"Communications Interrupted - Check USB connections"}}),
    [](const ::testing::TestParamInfo<VerbRun>& row) { return row.param.name; });

TEST(CliHelp, ShowsEveryVerbWithAnExample) {
    const Outcome outcome = runCli({"--help"});
    EXPECT_EQ(outcome.exitCode, 0);
    for (const char* verb : {"scan", "info", "read", "write", "temps", "dump", "log", "save", "recall",
                             "diff", "limits", "status", "sensors"})
        EXPECT_TRUE(outcome.out.contains(QString("  otk5530-cli ") + verb) ||
                    outcome.out.contains(QRegularExpression(QString("otk5530-cli (--\\S+ \\S+ )*") + verb)))
            << verb;
}

// The tool runs where there is no display: nothing it loads draws.
TEST(CliBuild, LoadsNeitherQtGuiNorQtWidgets) {
    QProcess ldd;
    ldd.start("ldd", {cliPath()});
    ASSERT_TRUE(ldd.waitForFinished(kRunTimeoutMs));
    const QString libraries = QString::fromLocal8Bit(ldd.readAllStandardOutput());
    ASSERT_TRUE(libraries.contains("libQt6Core")) << libraries.toStdString();
    EXPECT_FALSE(libraries.contains("libQt6Gui")) << libraries.toStdString();
    EXPECT_FALSE(libraries.contains("libQt6Widgets")) << libraries.toStdString();
}

// The formats carry the same values: JSON with units, CSV with a header and a line per register.
TEST(CliFormats, DumpAsJsonAndCsvAgree) {
    const Outcome json = runCli({"dump", "--format", "json"});
    const Outcome csv = runCli({"dump", "--format=csv"});
    ASSERT_EQ(json.exitCode, 0);
    ASSERT_EQ(csv.exitCode, 0);
    const QJsonArray rows = QJsonDocument::fromJson(json.out.toUtf8()).object().value("results").toArray();
    const QStringList lines = csv.out.split("\n", Qt::SkipEmptyParts);
    ASSERT_EQ(rows.size(), RegMapStuff::kRegisterCount - 1);
    ASSERT_EQ(lines.size(), rows.size() + 1);
    EXPECT_TRUE(lines[0].startsWith(
        "chip_address,register,write_address,name,value,default,differs,read_only,temperature (°C)"));
    const QJsonObject local = rows.at(0).toObject();
    EXPECT_EQ(local.value("value").toInt(), 25);
    EXPECT_EQ(local.value("temperature").toObject().value("unit").toString(), "°C");
    EXPECT_EQ(local.value("temperature").toObject().value("value").toDouble(), 25.0);
    EXPECT_EQ(local.value("chip_address").toInt(), 0x4C);
    EXPECT_TRUE(lines[1].startsWith("0x4C,0x00,,Local Temp Value,0x19,0x00,true,true,25,"))
        << lines[1].toStdString();
}

TEST(CliFormats, OutputFileIsWrittenWholeAndStdoutStaysEmpty) {
    QTemporaryDir dir;
    const QString path = dir.filePath("info.json");
    const Outcome outcome = runCli({"info", "-o", path, "--format", "json", "-y"});
    EXPECT_EQ(outcome.exitCode, 0);
    EXPECT_TRUE(outcome.out.isEmpty());
    EXPECT_EQ(QJsonDocument::fromJson(readAll(path)).object().value("manufacturer_id").toInt(), 0x41);
    // A folder in the file's place is refused and stays a folder.
    const Outcome refused = runCli({"info", "-o", dir.path()});
    EXPECT_EQ(refused.exitCode, 2);
}

struct TextfileRun {
    const char* name;
    QString sim;
    int exitCode;
    QStringList fileParts; // each in the last file written
    QStringList missingParts;
};

class CliTextfile : public ::testing::TestWithParam<TextfileRun> {};

// node_exporter reads the file at any moment: every read finds a whole exposition, the temporary
// file (which node_exporter would also read if it ended in .prom) is gone at the end.
TEST_P(CliTextfile, EverySampleReplacesTheWholeFile) {
    const TextfileRun& run = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("otk5530.prom");
    QProcess process;
    process.setProcessEnvironment(cliEnvironment(run.sim));
    process.start(cliPath(), {"log", "--format", "prom", "-o", path, "--interval", "50", "--samples", "40"});
    ASSERT_TRUE(process.waitForStarted());
    int wholeReads = 0;
    while (!process.waitForFinished(1)) {
        const QByteArray bytes = readAll(path);
        if (bytes.isEmpty())
            continue;
        ++wholeReads;
        ASSERT_TRUE(bytes.startsWith("# HELP ") &&
                    bytes.endsWith("otk5530_exporter_build_info{version=\"1.0.2\"} 1\n"))
            << bytes.toStdString();
    }
    EXPECT_GT(wholeReads, 0);
    EXPECT_EQ(process.exitCode(), run.exitCode) << process.readAllStandardError().toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"otk5530.prom"});
    const QString text = QString::fromUtf8(readAll(path));
    for (const QString& part : run.fileParts)
        EXPECT_TRUE(text.contains(part)) << "missing " << part.toStdString() << " in\n" << text.toStdString();
    for (const QString& part : run.missingParts)
        EXPECT_FALSE(text.contains(part)) << part.toStdString() << " in\n" << text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Runs, CliTextfile,
    ::testing::Values(TextfileRun{"BoardUp", kSteady, 0, {"otk5530_up{chip=\"sim-0x4c\"} 1\n"}, {}},
                      // The diode opens during the run (the run lasts at least 1.95 s on its schedule).
                      TextfileRun{"DiodeOpensMidRun",
                                  "drift=off,open1_at=0.5",
                                  0,
                                  {"otk5530_temp_fault{chip=\"sim-0x4c\",sensor=\"remote1\"} 1\n"},
                                  {"otk5530_temp_celsius{chip=\"sim-0x4c\",sensor=\"remote1\"}"}},
                      // The collector shows the board down instead of its last temperatures going stale.
                      TextfileRun{"LostLinkLeavesTheBoardDown",
                                  "drift=off,fail_after=150",
                                  1,
                                  {"otk5530_up{chip=\"sim-0x4c\"} 0\n",
                                   "otk5530_bus_errors_total{chip=\"sim-0x4c\"} 1\n"},
                                  {"otk5530_temp_celsius"}}),
    [](const ::testing::TestParamInfo<TextfileRun>& row) { return row.param.name; });

// A settings file the tool saves is read by the program's checker and reader, entry for
// entry; a file the program's writer made is compared and recalled by the tool.
TEST(CliSettings, SavedFileIsTheProgramsAndTheProgramsFileIsRecalled) {
    RegMapStuff::BuildRegisterTable();
    QTemporaryDir dir;
    const QString saved = dir.filePath("cli.sav");
    ASSERT_EQ(runCli({"save", saved, "--comment", "rack 3"}, "drift=off,reg.05=0x40").exitCode, 0);
    const QByteArray bytes = readAll(saved);
    EXPECT_TRUE(CheckSettingsFile(bytes, IsWritableRegisterAddress).passed);
    EXPECT_TRUE(bytes.contains("Comment : rack 3\r\n"));
    QList<SettingsCheck::Entry> recalled;
    EXPECT_EQ(RecallSettings(bytes, {[] {},
                                     [&](int32_t a, int32_t v) {
                                         recalled.append({a, v});
                                     }}),
              RecallOutcome::Complete);
    int writable = 0;
    for (const RegisterRecord& record : RegMapStuff::RegisterTable)
        writable += record.ReadOnly ? 0 : 1;
    EXPECT_EQ(recalled.size(), writable);
    EXPECT_TRUE(recalled.contains(SettingsCheck::Entry{0x0B, 0x40}));

    // The program's writer: the local high limit at 0x33, everything else at its default.
    const QByteArray programFile = SettingsFileBytes(
        SettingsHeaderLines("from the program", QDateTime::currentDateTime()),
        SettingsEntries(false, [](int32_t readAddr) {
            const int index = RegMapStuff::FindRegisterByReadAddr(readAddr);
            return readAddr == 0x05 ? 0x33 : int(RegMapStuff::RegisterTable[index].DefaultValue);
        }));
    const QString programPath = dir.filePath("program.sav");
    QFile file(programPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(programFile);
    file.close();
    struct Step {
        QStringList arguments;
        int exitCode;
        QString shown; // a pattern
    };
    for (const Step& step :
         {Step{{"diff", programPath}, 3, "0x0B +Local Temp High Limit +0x55 +0x33"},
          Step{{"recall", programPath, "--dry-run"}, 0, "0x0B +Local Temp High Limit +0x55 +0x33"},
          // The recall shows each register as written, the unchanged ones too.
          Step{{"recall", programPath}, 0, "0x0B +Local Temp High Limit +0x33\n"}}) {
        const Outcome outcome = runCli(step.arguments);
        EXPECT_EQ(outcome.exitCode, step.exitCode) << step.arguments.join(' ').toStdString();
        EXPECT_TRUE(outcome.out.contains(QRegularExpression(step.shown))) << outcome.out.toStdString();
    }
    // Recalled at power-on values the chip already holds: no difference left.
    EXPECT_EQ(runCli({"diff", programPath}, "drift=off,reg.05=0x33").exitCode, 0);
    // The file locks the registers (Configuration Reg 2 comes before Remote 2's own limits):
    // the later value does not take, and the recall says so.
    QByteArray locking = programFile;
    locking.replace("0x24\t0x0\t", "0x24\t0x80\t");
    QFile lockFile(dir.filePath("lock.sav"));
    ASSERT_TRUE(lockFile.open(QIODevice::WriteOnly));
    lockFile.write(locking);
    lockFile.close();
    const Outcome locked = runCli({"recall", lockFile.fileName()}, "drift=off,reg.31=0x20");
    EXPECT_EQ(locked.exitCode, 3);
    EXPECT_TRUE(
        locked.err.contains("otk5530-cli: 0x31 Remote 2 High Limit,High Byte: wrote 0x55, reads 0x20"))
        << locked.err.toStdString();
    // A damaged file is refused whole before the chip is touched.
    QFile damaged(dir.filePath("damaged.sav"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(programFile.left(programFile.indexOf("0xB\t")) + "0xB\t0x3Z\r\n}\r\n");
    damaged.close();
    const Outcome refused = runCli({"recall", damaged.fileName()}, "fail_after=0");
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_TRUE(refused.err.contains("cannot be read as a settings file: line")) << refused.err.toStdString();
    EXPECT_TRUE(refused.err.contains("Nothing was written to the chip")) << refused.err.toStdString();
    // Where nothing was to be written, nothing is said about writing.
    for (const QStringList& reading :
         {QStringList{"diff", damaged.fileName()}, QStringList{"recall", damaged.fileName(), "--dry-run"}}) {
        const Outcome checked = runCli(reading, "fail_after=0");
        EXPECT_EQ(checked.exitCode, 2);
        EXPECT_TRUE(checked.err.contains("cannot be read as a settings file: line"))
            << checked.err.toStdString();
        EXPECT_FALSE(checked.err.contains("written")) << checked.err.toStdString();
    }
}

// The tool's --format otk log holds exactly the bytes the program's log writer gives for
// the same rows (the schedule may skip a row on a loaded machine; the rows are taken from the file).
TEST(CliLog, OtkFormatIsTheProgramsLogByteForByte) {
    QTemporaryDir dir;
    const QString cliLog = dir.filePath("cli.csv");
    ASSERT_EQ(runCli({"log", "--interval", "20", "--samples", "6", "--channels", "local,remote2", "--format",
                      "otk", "-o", cliLog})
                  .exitCode,
              0);
    const QByteArray cliBytes = readAll(cliLog);
    const QList<QByteArray> lines = cliBytes.split('\n');
    ASSERT_EQ(lines.size(), 4 + 6 + 1) << cliBytes.constData();

    GeneralStuff::ResetSharedState();
    const QString programLog = dir.filePath("program.csv");
    ASSERT_FALSE(StartLogging(programLog, {true, false, true}, 20));
    GeneralStuff::Temperatures = {25.0f, 33.75f, 30.5f};
    for (int i = 4; i < 10; ++i) {
        GeneralStuff::LogRowCount = qRound(lines[i].split(',').at(0).toDouble() * 1000 / 20);
        ASSERT_TRUE(AppendLogDataLine(GeneralStuff::State.LastReading));
    }
    EXPECT_EQ(cliBytes, readAll(programLog));
    GeneralStuff::ResetSharedState();
}

// Rows stand on the interval's grid and a duration ends the run: 1 s at 100 ms is at most 10
// rows, each on a later multiple of the interval, with its wall-clock time.
TEST(CliLog, DurationEndsTheRunOnTheGrid) {
    const Outcome outcome = runCli({"log", "--interval", "100", "--duration", "1s", "--format", "csv"});
    ASSERT_EQ(outcome.exitCode, 0);
    const QStringList lines = outcome.out.split("\n", Qt::SkipEmptyParts);
    ASSERT_GE(lines.size(), 2);
    EXPECT_LE(lines.size(), 11);
    EXPECT_EQ(lines[0], "time,schedule (s),local (°C),local status,remote1 (°C),remote1 status,remote2 (°C),"
                        "remote2 status,alert");
    int lastRow = -1;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        EXPECT_TRUE(QDateTime::fromString(lines[i].section(',', 0, 0), Qt::ISODateWithMs).isValid())
            << lines[i].toStdString();
        const double schedule = lines[i].section(',', 1, 1).toDouble();
        const int row = qRound(schedule * 10);
        EXPECT_DOUBLE_EQ(schedule, row / 10.0) << lines[i].toStdString();
        EXPECT_GT(row, lastRow);
        EXPECT_LT(row, 10);
        lastRow = row;
    }
}

struct StopRun {
    const char* name;
    int signal;
    QString verb; // "log", or "temps" for temps --watch
    QString format;
};

class CliStop : public ::testing::TestWithParam<StopRun> {};

// A signal ends the run with status 0 and every line complete, the JSON document closed.
TEST_P(CliStop, SignalEndsWithEveryLineComplete) {
    const StopRun& run = GetParam();
    QTemporaryDir dir;
    const QString path = dir.filePath("log");
    QProcess process;
    process.setProcessEnvironment(cliEnvironment("drift=off"));
    process.start(cliPath(), {run.verb, run.verb == "temps" ? "--watch" : "--channels=local,remote1,remote2",
                              "--interval", "10", "--format", run.format, "-o", path});
    ASSERT_TRUE(process.waitForStarted());
    // Signalled once eight lines are out, however long a loaded machine takes for them.
    const QDeadlineTimer hung(kRunTimeoutMs);
    while (readAll(path).count('\n') < 8 && process.state() == QProcess::Running && !hung.hasExpired())
        QThread::msleep(10);
    // A tool that has ended has no id: kill(0) would signal the whole process group.
    ASSERT_GT(process.processId(), 0) << process.readAllStandardError().constData();
    ::kill(static_cast<pid_t>(process.processId()), run.signal);
    ASSERT_TRUE(process.waitForFinished(kRunTimeoutMs));
    EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    const QByteArray bytes = readAll(path);
    ASSERT_TRUE(bytes.endsWith('\n'));
    if (run.format == "json") {
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << bytes.constData();
        EXPECT_GE(document.object().value("results").toArray().size(), 7);
        return;
    }
    for (const QByteArray& line : bytes.split('\n')) {
        const bool data = !line.isEmpty() && !line.startsWith("time") && !line.startsWith("Time") &&
                          line != "\r" && !line.startsWith("OTK5530");
        if (data && run.format == "text") {
            EXPECT_TRUE(line.contains("30.5 °C") && line.endsWith("no")) << line.constData();
        } else if (data) {
            EXPECT_EQ(line.count(','), run.format == "otk" ? 4 : 8) << line.constData();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Signals, CliStop,
                         ::testing::Values(StopRun{"InterruptCsv", SIGINT, "log", "csv"},
                                           StopRun{"TerminateOtk", SIGTERM, "log", "otk"},
                                           StopRun{"InterruptJson", SIGINT, "log", "json"},
                                           StopRun{"TerminateWatch", SIGTERM, "temps", "text"}),
                         [](const ::testing::TestParamInfo<StopRun>& row) { return row.param.name; });

// The real USB and I2C code under the tool, through the fakes: connect, read, and a lost link.
struct FakeRun {
    const char* name;
    bool i2c;
    QStringList fakeSettings;
    QStringList arguments; // "%DIR%" stands for the run's folder
    int exitCode;
    QString outPart;
    QString errPart;
    QString journalPart;
    QStringList before; // a run through the same transport first (a save before a recall)
};

class CliFakes : public ::testing::TestWithParam<FakeRun> {};

TEST_P(CliFakes, RunsThroughTheRealTransport) {
    const FakeRun& run = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(CopyBesideSoundImage(cliPath(), dir.path(), "otk5530-cli"));
    const QString bus = dir.filePath("i2c-7");
    const QString journal = dir.filePath("journal.txt");
    const QProcessEnvironment env =
        cliEnvironment("drift=off", FakeBoundaryEnvironment(QProcessEnvironment::systemEnvironment(), run.i2c,
                                                            run.i2c ? OTK_FAKE_I2CDEV : OTK_FAKE_LIBUSB,
                                                            run.fakeSettings, journal, bus));
    const auto cli = [&](QStringList arguments) {
        arguments.replaceInStrings("%DIR%", dir.path());
        return runCli(QStringList{"--adapter", run.i2c ? "i2c:" + bus : "usb"} + arguments, {}, env,
                      dir.filePath("otk5530-cli"));
    };
    if (!run.before.isEmpty()) {
        ASSERT_EQ(cli(run.before).exitCode, 0);
    }
    const Outcome outcome = cli(run.arguments);
    EXPECT_EQ(outcome.exitCode, run.exitCode) << outcome.err.toStdString();
    EXPECT_TRUE(outcome.out.contains(run.outPart)) << outcome.out.toStdString();
    EXPECT_TRUE(outcome.err.contains(run.errPart)) << outcome.err.toStdString();
    EXPECT_TRUE(QString(readAll(journal)).contains(run.journalPart)) << readAll(journal).constData();
}

INSTANTIATE_TEST_SUITE_P(
    Transports, CliFakes,
    ::testing::Values(
        FakeRun{"UsbReadsAfterTheDownload",
                false,
                {},
                {"read", "0xFE"},
                0,
                "0x41",
                "",
                "CPU started on the loaded firmware",
                {}},
        FakeRun{"UsbUnpluggedMidDump",
                false,
                {"unplug_after=20"},
                {"dump"},
                1,
                "",
                "otk5530-cli: Communications Interrupted - Check USB connections",
                "unplugged",
                {}},
        // The chip label says where the board is: the adapter's bus and port, the I2C bus.
        FakeRun{"UsbPromLabel",
                false,
                {},
                {"temps", "--format", "prom"},
                0,
                "otk5530_up{chip=\"usb-1-2-0x4c\"} 1",
                "",
                "",
                {}},
        FakeRun{"I2cPromLabel",
                true,
                {},
                {"temps", "--format", "prom"},
                0,
                "otk5530_up{chip=\"i2c-7-0x4c\"} 1",
                "",
                "",
                {}},
        FakeRun{"I2cScan", true, {}, {"scan"}, 0, "0x4C     0x41", "", "read 76 254 = 65", {}},
        FakeRun{"I2cInfo", true, {}, {"info"}, 0, "Linux I2C bus", "", "read 76 3 = 0", {}},
        FakeRun{"I2cTemps", true, {}, {"temps"}, 0, "33.75 °C", "", "read 76 16 = 192", {}},
        FakeRun{
            "I2cLimits", true, {}, {"limits", "remote2.low=10.5"}, 0, "10.5 °C", "", "write 76 55 = 128", {}},
        FakeRun{"I2cLog",
                true,
                {},
                {"log", "--samples", "3", "--interval", "10", "--format", "otk"},
                0,
                ".02, 25, 33.75, 30.5,",
                "",
                "read 76 0 = 25",
                {}},
        FakeRun{"I2cSaveThenRecall",
                true,
                {},
                {"recall", "%DIR%/s.sav"},
                0,
                "",
                "",
                "write 76 9 = 0",
                {"save", "%DIR%/s.sav"}},
        FakeRun{"I2cDiff",
                true,
                {},
                {"diff", "%DIR%/s.sav"},
                0,
                "",
                "",
                "read 76 36 = 0",
                {"save", "%DIR%/s.sav"}},
        FakeRun{"I2cWriteLandsOnTheBus",
                true,
                {},
                {"write", "0x0B", "70"},
                0,
                "0x46       yes",
                "",
                "write 76 11 = 70",
                {}},
        FakeRun{"I2cBusFault", true, {"eio_after=60"}, {"dump"}, 1, "", "Input/output error", "", {}}),
    [](const ::testing::TestParamInfo<FakeRun>& row) { return row.param.name; });

} // namespace
