// The real program, run as a child process on the simulated board, as the desktop
// and the disk treat it: signals to end it, a pipe put in the log's or the settings
// store's place, a log name that is no valid UTF-8.
#include "app/SignalClose.h"
#include "support/ProgramProcess.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <dirent.h>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString kTitle = "OTK5530 Evaluation Software";
constexpr int kRunTimeoutMs = 40000;

class Program {
public:
    Program() { process.setProcessEnvironment(UnattendedEnvironment(home.path(), "drift=off")); }
    ~Program() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    QString program() const { return ProgramPath(); }
    void start(const QStringList& arguments) { process.start(program(), arguments); }
    QString logFile() const { return home.filePath("log.csv"); }
    QString settingsFile() const { return StoredSettingsFile(home.path(), kTitle); }
    // Waits, letting the child's output in, until `done` holds or the time-out passes.
    bool waitFor(const std::function<bool()>& done) {
        QElapsedTimer clock;
        clock.start();
        while (!done()) {
            if (clock.elapsed() > kRunTimeoutMs || process.state() == QProcess::NotRunning)
                return done();
            process.waitForReadyRead(100);
            errors += QString::fromLocal8Bit(process.readAllStandardError());
        }
        return true;
    }
    int dataLines() {
        QFile file(logFile());
        if (!file.open(QIODevice::ReadOnly))
            return 0;
        const QByteArray bytes = file.readAll();
        return static_cast<int>(bytes.count('\n')) - 4; // the run's title block has four lines
    }
    bool finish() {
        const bool finished = process.waitForFinished(kRunTimeoutMs);
        errors += QString::fromLocal8Bit(process.readAllStandardError());
        return finished;
    }
    // A process that has ended has no id: kill(0) would signal the whole process group.
    void signal(int number) {
        const qint64 pid = process.processId();
        ASSERT_GT(pid, 0) << "the program ended before it was signalled";
        ::kill(static_cast<pid_t>(pid), number);
    }

    QTemporaryDir home;
    QProcess process;
    QString errors;
};

void expectGeometryStored(const QString& settingsFile) {
    ASSERT_TRUE(QFile::exists(settingsFile)) << "the main window's unload did not run";
    QSettings stored(settingsFile, QSettings::IniFormat);
    for (const char* key : {"MainLeft", "MainTop", "MainWidth", "MainHeight"}) {
        bool isNumber = false;
        stored.value(QString("Settings/") + key).toString().toDouble(&isNumber);
        EXPECT_TRUE(isNumber) << key;
    }
}
} // namespace

TEST(ClosingSignals, EachClosesAsTheWindowDoesStoringTheGeometryAndEndingTheLogOnAWholeLine) {
    for (const int number : {SIGTERM, SIGINT, SIGHUP}) {
        SCOPED_TRACE(number);
        Program run;
        run.start({"--open", "frmRegMap,frmLimits", "--log", run.logFile()});
        ASSERT_TRUE(run.waitFor([&run] { return run.dataLines() >= 3; })) << run.errors.toStdString();
        run.signal(number);
        ASSERT_TRUE(run.finish()) << "hung after the signal";
        EXPECT_EQ(run.process.exitStatus(), QProcess::NormalExit) << run.errors.toStdString();
        EXPECT_EQ(run.process.exitCode(), 0);
        expectGeometryStored(run.settingsFile());
        QFile log(run.logFile());
        ASSERT_TRUE(log.open(QIODevice::ReadOnly));
        EXPECT_TRUE(log.readAll().endsWith(",\r\n"));
    }
}

// The second signal is for a close that does not finish: it ends the program at
// once, by that signal. The first only asks for the close.
TEST(ClosingSignals, SecondSignalEndsAtOnce) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            InstallSignalHandlers();
            std::raise(SIGTERM);
            std::fputs("still running after the first\n", stderr);
            std::raise(SIGINT);
            std::_Exit(0);
        },
        ::testing::KilledBySignal(SIGINT), "still running after the first");
}

// The log is reopened for every line: a pipe put in its place must not block the
// program. Logging stops with its message; monitoring and a polite end go on.
TEST(LogReplacedMidRun, ByAPipeStopsLoggingWithItsMessageAndNeverBlocks) {
    Program run;
    run.start({"--log", run.logFile()});
    ASSERT_TRUE(run.waitFor([&run] { return run.dataLines() >= 2; })) << run.errors.toStdString();
    ASSERT_TRUE(QFile::remove(run.logFile()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(run.logFile()).constData(), 0600), 0);
    EXPECT_TRUE(run.waitFor([&run] { return run.errors.contains("could not be written"); }))
        << run.errors.toStdString();
    EXPECT_EQ(run.process.state(), QProcess::Running);
    run.signal(SIGTERM);
    ASSERT_TRUE(run.finish()) << "blocked on the pipe";
    EXPECT_EQ(run.process.exitCode(), 0);
    expectGeometryStored(run.settingsFile());
}

// A pipe where the settings store's file belongs would block the start-up for
// good: the program says so, opens at the default place and stores nothing there.
TEST(SettingsStore, PipeInItsPlaceIsReportedAndNeverBlocks) {
    Program run;
    ASSERT_TRUE(QDir().mkpath(QFileInfo(run.settingsFile()).absolutePath()));
    ASSERT_EQ(::mkfifo(QFile::encodeName(run.settingsFile()).constData(), 0600), 0);
    run.start({});
    EXPECT_TRUE(run.waitFor([&run] { return run.errors.contains("cannot be used"); }))
        << run.errors.toStdString();
    run.signal(SIGTERM);
    ASSERT_TRUE(run.finish()) << "blocked on the pipe";
    EXPECT_EQ(run.process.exitCode(), 0) << run.errors.toStdString();
    struct stat info {};
    ASSERT_EQ(::stat(QFile::encodeName(run.settingsFile()).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

// A name that is no valid UTF-8 is still a name the file system accepts: the log
// is written under exactly those bytes. The shell builds the byte 0xFF.
TEST(LogName, NotValidUtf8IsUsedExactlyAsGiven) {
    Program run;
    const QByteArray folder = QFile::encodeName(run.home.path());
    run.process.start("/bin/sh", {"-c", "exec \"$0\" --log \"$1/log$(printf '\\377').csv\"", run.program(),
                                  run.home.path()});
    const QByteArray exactName = folder + "/log\xFF.csv";
    auto written = [&exactName] {
        struct stat info {};
        return ::stat(exactName.constData(), &info) == 0 && info.st_size > 0;
    };
    EXPECT_TRUE(run.waitFor(written)) << run.errors.toStdString();
    run.signal(SIGTERM);
    ASSERT_TRUE(run.finish());
    EXPECT_EQ(run.process.exitCode(), 0) << run.errors.toStdString();
    QList<QByteArray> logs; // as bytes: QDir would leave the odd name out
    DIR* listing = ::opendir(folder.constData());
    ASSERT_NE(listing, nullptr);
    while (const dirent* entry = ::readdir(listing))
        if (QByteArray(entry->d_name).startsWith("log"))
            logs.append(entry->d_name);
    ::closedir(listing);
    EXPECT_EQ(logs, QList<QByteArray>{"log\xFF.csv"}) << "written under another name";
    ::unlink(exactName.constData());
}
