// The real program, run as a child process on the simulated board with every
// window open and logging on, while the board fails every request after the
// first N: start-up, window loads and monitoring ticks each lose the link.
#include "support/ProgramProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {
const QString kTitle = "OTK5530 Evaluation Software";
const QString kFirmwareFailed = "Firmware failed to download - Check USB connections";
const QString kInitialConnectionFailed = "Initial Connection Failed - Check USB connections";
const QString kCommunicationsInterrupted = "Communications Interrupted - Check USB connections";
const QStringList kEveryWindow{"frmRegMap",    "frmLimits", "frmConfig", "frmSave",
                               "frmSWOptions", "frmAbout",  "frmLogging"};
// Only a bound for a hung run: every run ends by itself on its fault.
constexpr int kRunTimeoutMs = 90000;

// Requests of a run without failures up to the device model: the firmware download,
// one bus set-up, the address search from 0x18 to the chip at 0x4C, Configuration Reg 1.
constexpr long kFirstSearchRequest = 3;
constexpr long kStartUpRequests = 2 + (0x4C - 0x18 + 1) + 1;

struct FaultCase {
    const char* name;
    long failAfter;
    QString message;
    bool linesLogged; // the failure comes after the first ticks logged
};

const FaultCase kCases[] = {
    {"FirmwareDownload", 0, kFirmwareFailed, false},
    // The board then refuses all 20 set-up attempts.
    {"EveryBusSetUpAttempt", 1, kInitialConnectionFailed, false},
    {"FirstAddressSearchRead", kFirstSearchRequest - 1, kCommunicationsInterrupted, false},
    {"MidAddressSearch", kFirstSearchRequest + 20, kCommunicationsInterrupted, false},
    {"DeviceModelRead", kStartUpRequests - 1, kCommunicationsInterrupted, false},
    // The limits window's load is the first to read after start-up.
    {"FirstWindowLoad", kStartUpRequests, kCommunicationsInterrupted, false},
    {"LaterWindowLoads", kStartUpRequests + 1, kCommunicationsInterrupted, false},
    {"EarlyMonitoring", kStartUpRequests + 50, kCommunicationsInterrupted, false},
    {"AfterSecondsOfMonitoring", kStartUpRequests + 500, kCommunicationsInterrupted, true},
};

struct ProgramRun {
    const FaultCase* c;
    std::unique_ptr<QTemporaryDir> home;
    std::unique_ptr<QProcess> process;
    QString logFile() const { return home->filePath("log.csv"); }
    QString settingsFile() const { return StoredSettingsFile(home->path(), kTitle); }
};

void start(ProgramRun& run) {
    run.home = std::make_unique<QTemporaryDir>();
    run.process = std::make_unique<QProcess>();
    run.process->setProcessEnvironment(
        UnattendedEnvironment(run.home->path(), QString("fail_after=%1").arg(run.c->failAfter)));
    run.process->start(ProgramPath(),
                       {"--open", kEveryWindow.join(','), "--continuous-read", "--log", run.logFile()});
}

QStringList messageLines(const QString& stderrText) {
    QStringList found;
    for (const QString& line : stderrText.split('\n'))
        if (line.startsWith(kTitle + ":"))
            found << line;
    return found;
}

// Every line of the log ends with CR LF, and every data line has all its columns.
void expectCompleteLogLines(const QString& path, bool linesLogged) {
    QFile file(path);
    if (!file.exists() && !linesLogged)
        return; // the failure came before logging started
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_TRUE(bytes.endsWith("\r\n")) << "the file ends inside a line";
    const QList<QByteArray> lines = bytes.left(bytes.size() - 2).split('\n');
    for (int i = 0; i < lines.size() - 1; ++i)
        EXPECT_TRUE(lines[i].endsWith('\r')) << "line " << i << " has no CR";
    bool inData = false;
    int dataLines = 0;
    for (QByteArray line : lines) {
        line = line.trimmed();
        if (inData) {
            EXPECT_EQ(line.count(','), 4) << line.toStdString();
            ++dataLines;
        }
        inData = inData || line.startsWith("Time ,");
    }
    if (linesLogged) {
        EXPECT_GT(dataLines, 0);
    }
}
} // namespace

TEST(FaultInjection, EveryLostLinkGivesOneMessageUnloadsEveryWindowAndEndsWithStatusOne) {
    std::vector<ProgramRun> runs;
    for (const FaultCase& c : kCases)
        runs.push_back(ProgramRun{&c, nullptr, nullptr});
    for (ProgramRun& run : runs)
        start(run);
    for (ProgramRun& run : runs) {
        SCOPED_TRACE(run.c->name);
        QProcess& process = *run.process;
        const auto [finished, errors] = WaitForProgramEnd(process, kRunTimeoutMs);
        ASSERT_TRUE(finished) << "hung; stderr: " << errors.toStdString();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "crashed; stderr: " << errors.toStdString();
        EXPECT_EQ(process.exitCode(), 1) << errors.toStdString();
        EXPECT_EQ(messageLines(errors), QStringList{kTitle + ": " + run.c->message}) << errors.toStdString();

        ASSERT_TRUE(QFile::exists(run.settingsFile())) << "the main window's unload did not run";
        QSettings stored(run.settingsFile(), QSettings::IniFormat);
        for (const char* key : {"MainLeft", "MainTop", "MainWidth", "MainHeight"}) {
            bool isNumber = false;
            stored.value(QString("Settings/") + key).toString().toDouble(&isNumber);
            EXPECT_TRUE(isNumber) << key;
        }
        expectCompleteLogLines(run.logFile(), run.c->linesLogged);
    }
}

TEST(UnattendedCommandLine, RefusesUnknownWindowsUnwritableLogsAndBadWorkspacesWithStatusTwo) {
    QTemporaryDir home;
    const struct {
        const char* name;
        QStringList arguments;
        QString named; // what the refusal must mention
    } cases[] = {
        {"UnknownWindow", {"--open", "frmRegMap,frmNowhere"}, "frmNowhere"},
        // Refused after start-up, when the log file is first written.
        {"LogInAMissingFolder",
         {"--log", home.filePath("missing/log.csv")},
         home.filePath("missing/log.csv")},
        {"LogOnAFolder", {"--log", home.path()}, home.path()},
        // Refused before any window of it opens, and before --log starts logging.
        {"WorkspaceOnAFolder",
         {"--workspace", home.path(), "--log", home.filePath("log.csv")},
         "no plain file"},
        {"MissingWorkspace", {"--workspace", home.filePath("gone.otkws")}, home.filePath("gone.otkws")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QProcess process;
        process.setProcessEnvironment(UnattendedEnvironment(home.path(), ""));
        process.start(ProgramPath(), c.arguments);
        ASSERT_TRUE(process.waitForFinished(kRunTimeoutMs));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 2);
        EXPECT_TRUE(QString::fromLocal8Bit(process.readAllStandardError()).contains(c.named));
    }
    EXPECT_FALSE(QFile::exists(home.filePath("log.csv")));
}
