// The logging window driven as a user does, and the log file it produces byte for byte.
#include "support/FilesTestSupport.h"

#include "app/Announcements.h"
#include "app/MonitoringCycle.h"
#include "device/GeneralStuff.h"
#include "device/USBStuff.h"
#include "files/LogLines.h"
#include "files/LogStart.h"
#include "files/frmLogging.h"
#include "ui/DialogFolder.h"
#include "ui/UpDownButtons.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <csignal>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QByteArray kRunTitle = "\r\nOTK5530 Log File\r\n\r\n";
const QByteArray kAllTitles = "Time ,Local(\xB0"
                              "C) ,Remote1(\xB0"
                              "C) ,Remote2(\xB0"
                              "C) ,\r\n";

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class LoggingWindow : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        GeneralStuff::LogInterval = 100;
        GeneralStuff::LogChannels = {true, true, true};
        USBStuff::SetApplicationFolder(folder.path());
        // As the shell connects an open logging window.
        QObject::connect(&Announcements::program(), &Announcements::loggingStopped, &window,
                         &frmLogging::loggingStopped);
        window.Form_Load();
        window.show();
        logPath = folder.filePath("run.csv");
    }
    void TearDown() override { StopAnswering(); }

    template <typename T> T* control(const char* name) { return window.findChild<T*>(name); }
    void typeInterval(const QString& text) {
        auto* box = control<QLineEdit>("txtLogInt");
        box->clear();
        QTest::keyClicks(box, text);
    }
    void clickLogButton() { QTest::mouseClick(control<QPushButton>("cmdLogData"), Qt::LeftButton); }
    void startInto(const QString& path, FileDialogSeen* seen = nullptr) {
        AnswerFileDialog(path, seen);
        clickLogButton();
    }
    // What the monitoring cycle does on each due log tick.
    void logOneLine() {
        ASSERT_TRUE(AppendLogDataLine(GeneralStuff::State.LastReading));
        ++GeneralStuff::LogRowCount;
    }

    QTemporaryDir folder;
    FakeMainWindow main;
    frmLogging window;
    QString logPath;
};

TEST_F(LoggingWindow, AllChannelsRunIsWrittenByteForByte) {
    FileDialogSeen seen;
    startInto(logPath, &seen);
    ASSERT_TRUE(GeneralStuff::LoggingActive);
    GeneralStuff::Temperatures = {25, 33.75f, 30.5f};
    logOneLine();
    logOneLine();
    GeneralStuff::Temperatures[2] = 30.75f;
    logOneLine();

    EXPECT_EQ(fileBytes(logPath), kRunTitle + kAllTitles +
                                      "0, 25, 33.75, 30.5,\r\n"
                                      ".1, 25, 33.75, 30.5,\r\n"
                                      ".2, 25, 33.75, 30.75,\r\n");
    EXPECT_EQ(control<QPushButton>("cmdLogData")->text(), "Click to stop logging...");
    EXPECT_EQ(main.statusTexts, std::vector<QString>{"Logging Enabled"});
    EXPECT_EQ(GeneralStuff::LogFileName, logPath);
    // The dialog opens existing files or takes a new name, in the program's folder.
    EXPECT_EQ(seen.acceptMode, QFileDialog::AcceptOpen);
    EXPECT_EQ(seen.fileMode, QFileDialog::AnyFile);
    EXPECT_EQ(seen.nameFilters, QStringList{"Log Files (*.csv)"});
    EXPECT_EQ(seen.directory, QDir(folder.path()).absolutePath());
}

TEST_F(LoggingWindow, Remote1OnlyLogsOneColumn) {
    QTest::mouseClick(control<QCheckBox>("chkLog_0"), Qt::LeftButton);
    QTest::mouseClick(control<QCheckBox>("chkLog_2"), Qt::LeftButton);
    startInto(logPath);
    GeneralStuff::Temperatures = {25, 33.75f, 30.5f};
    logOneLine();
    EXPECT_EQ(fileBytes(logPath), kRunTitle + "Time ,Remote1(\xB0"
                                              "C) ,\r\n0, 33.75,\r\n");
    EXPECT_EQ(GeneralStuff::LogChannels, (std::array<bool, 3>{false, true, false}));
}

TEST_F(LoggingWindow, SecondRunIntoSameFileAppendsItsOwnTitlesAndRestartsTime) {
    GeneralStuff::Temperatures = {20, 21, 22};
    startInto(logPath);
    logOneLine();
    logOneLine();
    clickLogButton();
    EXPECT_FALSE(GeneralStuff::LoggingActive);
    EXPECT_EQ(control<QPushButton>("cmdLogData")->text(), "Start Logging");
    EXPECT_EQ(main.statusTexts.back(), "Ready");

    startInto(logPath);
    logOneLine();
    const QByteArray run1 = kRunTitle + kAllTitles + "0, 20, 21, 22,\r\n.1, 20, 21, 22,\r\n";
    const QByteArray run2 = kRunTitle + kAllTitles + "0, 20, 21, 22,\r\n";
    EXPECT_EQ(fileBytes(logPath), run1 + run2);
}

// Logging started from the command line must leave the same file as the
// window's start: a run logged each way into its own file compares byte for byte,
// whatever channels the window held before.
TEST_F(LoggingWindow, StartUpLoggingWritesTheSameRunAsTheWindow) {
    GeneralStuff::Temperatures = {25, 33.75f, -0.5f};
    startInto(logPath);
    logOneLine();
    logOneLine();
    clickLogButton();

    GeneralStuff::LogChannels = {false, true, false};
    const QString startUpPath = folder.filePath("startup.csv");
    ASSERT_TRUE(StartLoggingAllChannels(startUpPath));
    EXPECT_TRUE(GeneralStuff::LoggingActive);
    EXPECT_EQ(GeneralStuff::LogRowCount, 0);
    EXPECT_EQ(GeneralStuff::LogFileName, startUpPath);
    EXPECT_EQ(main.statusTexts.back(), "Logging Enabled");
    logOneLine();
    logOneLine();
    EXPECT_EQ(fileBytes(startUpPath), fileBytes(logPath));
}

TEST_F(LoggingWindow, StartUpLoggingIntoAFolderKeepsLoggingOff) {
    GeneralStuff::LogChannels = {false, true, false};
    GeneralStuff::LogFileName = logPath;
    EXPECT_FALSE(StartLoggingAllChannels(folder.path()));
    EXPECT_FALSE(StartLoggingAllChannels(QString()));
    EXPECT_FALSE(GeneralStuff::LoggingActive);
    EXPECT_EQ(GeneralStuff::LogChannels, (std::array<bool, 3>{false, true, false}));
    EXPECT_EQ(GeneralStuff::LogFileName, logPath);
    EXPECT_TRUE(main.statusTexts.empty());
}

TEST_F(LoggingWindow, ValuesBelowOneDegreeHaveNoLeadingZero) {
    startInto(logPath);
    GeneralStuff::Temperatures = {0, 0.5f, -0.25f};
    logOneLine();
    EXPECT_TRUE(fileBytes(logPath).endsWith(kAllTitles + "0, 0, .5,-.25,\r\n"));
}

TEST_F(LoggingWindow, IntervalTextIsRoundedHalfToEven) {
    const struct {
        const char* typed;
        int32_t interval;
    } rows[] = {
        {"12.5", 12}, // half goes to the even neighbour, down here
        {"13.5", 14}, // and up here
        {"250 ms", 250},
        {"9.5", 10}, // the shortest interval, reached by rounding
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        typeInterval(row.typed);
        startInto(logPath);
        ASSERT_TRUE(GeneralStuff::LoggingActive);
        EXPECT_EQ(GeneralStuff::LogInterval, row.interval);
        clickLogButton();
    }
}

TEST_F(LoggingWindow, IntervalTooLargeIsRefusedBeforeTheFileIsTouched) {
    typeInterval("99999999999");
    RecordedMessages messages;
    startInto(logPath);
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].contains("out of range")) << messages.warnings[0].toStdString();
    EXPECT_FALSE(GeneralStuff::LoggingActive);
    EXPECT_EQ(GeneralStuff::LogInterval, 100);
    EXPECT_FALSE(QFile::exists(logPath));
    EXPECT_EQ(control<QPushButton>("cmdLogData")->text(), "Start Logging");
}

// A line on every tick, or a negative time column, is no log at an interval.
TEST_F(LoggingWindow, IntervalBelowTenIsRefusedAndLoggingStaysOff) {
    for (const char* typed : {"9", "0", "-100", "abc"}) {
        SCOPED_TRACE(typed);
        typeInterval(typed);
        MessageSeen message;
        AnswerMessageBox(&message);
        startInto(logPath);
        EXPECT_EQ(message.count, 1);
        EXPECT_TRUE(message.text.contains("logging interval")) << message.text.toStdString();
        EXPECT_FALSE(GeneralStuff::LoggingActive);
        EXPECT_EQ(GeneralStuff::LogInterval, 100);
        EXPECT_FALSE(QFile::exists(logPath));
        EXPECT_EQ(control<QPushButton>("cmdLogData")->text(), "Start Logging");
    }
}

TEST_F(LoggingWindow, NoChannelTickedWarnsAndStaysOff) {
    for (const char* name : {"chkLog_0", "chkLog_1", "chkLog_2"})
        QTest::mouseClick(control<QCheckBox>(name), Qt::LeftButton);
    RecordedMessages messages;
    startInto(logPath);
    EXPECT_EQ(messages.warnings, QStringList{"At least one item must be selected for logging"});
    EXPECT_FALSE(GeneralStuff::LoggingActive);
    EXPECT_EQ(GeneralStuff::LogChannels, (std::array<bool, 3>{false, false, false})); // the choice stays
    EXPECT_FALSE(QFile::exists(logPath));
    EXPECT_TRUE(main.statusTexts.empty());
}

TEST_F(LoggingWindow, FileThatCannotBeOpenedIsReportedAndLoggingStaysOff) {
    const QString unusable[] = {
        folder.filePath("no such folder/run.csv"),
        "/dev/null", // a device is no log file
    };
    for (const QString& path : unusable) {
        SCOPED_TRACE(path.toStdString());
        RecordedMessages messages;
        startInto(path);
        ASSERT_EQ(messages.warnings.size(), 1);
        EXPECT_TRUE(messages.warnings[0].contains("could not be opened"))
            << messages.warnings[0].toStdString();
        EXPECT_FALSE(GeneralStuff::LoggingActive);
        EXPECT_EQ(control<QPushButton>("cmdLogData")->text(), "Start Logging");
        EXPECT_TRUE(main.statusTexts.empty());
    }
}

// A refused attempt changes nothing of the running state; only the channel ticks
// stay as the user chose them, so the next opening of the window shows them.
TEST_F(LoggingWindow, RefusedStartLeavesTheLoggingStateAsItWas) {
    const struct {
        const char* refusal;
        QString path;
        const char* interval;
        bool anyChannel;
    } rows[] = {
        {"no channel", logPath, "250", false},
        {"interval out of range", logPath, "99999999999", true},
        {"file that cannot be created", folder.filePath("no such folder/run.csv"), "250", true},
        {"device for a file", "/dev/null", "250", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.refusal);
        const QString earlier = folder.filePath("earlier.csv");
        GeneralStuff::LogFileName = earlier;
        GeneralStuff::LogChannels = {false, true, false};
        GeneralStuff::LogInterval = 100;
        GeneralStuff::LogRowCount = 7;
        window.Form_Load();
        // Another choice than the state's: Local added, or Remote1 taken away.
        QTest::mouseClick(control<QCheckBox>(row.anyChannel ? "chkLog_0" : "chkLog_1"), Qt::LeftButton);
        typeInterval(row.interval);
        RecordedMessages messages;
        startInto(row.path);

        EXPECT_EQ(messages.warnings.size(), 1);
        EXPECT_FALSE(GeneralStuff::LoggingActive);
        EXPECT_EQ(GeneralStuff::LogFileName, earlier);
        const std::array<bool, 3> chosen{row.anyChannel, row.anyChannel, false};
        EXPECT_EQ(GeneralStuff::LogChannels, chosen);
        EXPECT_EQ(GeneralStuff::LogInterval, 100);
        EXPECT_EQ(GeneralStuff::LogRowCount, 7);
        EXPECT_FALSE(QFile::exists(logPath));
        EXPECT_EQ(control<QPushButton>("cmdLogData")->text(), "Start Logging");
    }
    EXPECT_TRUE(main.statusTexts.empty());
}

TEST_F(LoggingWindow, CancelledDialogChangesNothing) {
    startInto(QString());
    EXPECT_FALSE(GeneralStuff::LoggingActive);
    EXPECT_TRUE(GeneralStuff::LogFileName.isEmpty());
    EXPECT_TRUE(main.statusTexts.empty());
}

TEST_F(LoggingWindow, ClosingKeepsLoggingAndReopeningShowsIt) {
    startInto(logPath);
    QTest::mouseClick(control<QPushButton>("cmdClose"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(GeneralStuff::LoggingActive);

    GeneralStuff::LogInterval = 250; // changed in the options meanwhile
    frmLogging reopened;
    reopened.Form_Load();
    EXPECT_EQ(reopened.findChild<QPushButton*>("cmdLogData")->text(), "Click to stop logging...");
    EXPECT_EQ(reopened.findChild<QLineEdit*>("txtLogInt")->text(), "250");
}

TEST_F(LoggingWindow, SpinControlStepsTheIntervalWithinItsRange) {
    typeInterval("9999");
    auto* spin = control<QWidget>("UpDown1");
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, 2)); // its upper half
    QTest::mouseClick(spin, Qt::LeftButton, {}, QPoint(spin->width() / 2, 2));
    EXPECT_EQ(control<QLineEdit>("txtLogInt")->text(), "10000");
}

// The disk takes only part of a line (file size limit): the append reports the
// failure and cuts the part off again, so the file still ends with a whole line.
TEST_F(LoggingWindow, AppendThatFailsLeavesNoPartialLine) {
    startInto(logPath);
    GeneralStuff::Temperatures = {25, 33.75f, 30.5f};
    logOneLine();
    const QByteArray before = fileBytes(logPath);

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = static_cast<rlim_t>(before.size() + 5);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool appended = AppendLogDataLine(GeneralStuff::State.LastReading);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(appended);
    EXPECT_EQ(fileBytes(logPath), before);
}

TEST(LogTimeColumn, IsRowCountTimesIntervalInSeconds) {
    const struct {
        int32_t interval;
        int32_t rows;
        const char* time;
    } table[] = {
        {100, 0, "0"},
        {100, 1, ".1"},
        {100, 2, ".2"},
        {100, 10, "1"},
        {100, 11, "1.1"},
        {250, 1, ".25"},
        {250, 2, ".5"},
        {250, 3, ".75"},
        {250, 4, "1"},
        // 2^31 ms and beyond: a 32-bit product would wrap negative here.
        {2, 1073741824, "2147483.648"},
        {100000, 30000, "3000000"},
    };
    GeneralStuff::ResetSharedState();
    GeneralStuff::Temperatures = {25, 33.75f, 30.5f};
    GeneralStuff::LogChannels = {true, false, false};
    for (const auto& row : table) {
        SCOPED_TRACE(testing::Message() << row.interval << " ms, row " << row.rows);
        GeneralStuff::LogInterval = row.interval;
        GeneralStuff::LogRowCount = row.rows;
        EXPECT_EQ(LogDataLine(GeneralStuff::State.LastReading), QString(row.time) + ", 25,");
    }
}

TEST(UpDownStep, KeepsTheNumberInRange) {
    const struct {
        const char* text;
        int step;
        int result;
    } rows[] = {
        {"100", 10, 110},     {"100", -10, 90}, {"10", -10, 10}, // the minimum holds
        {"9995", 10, 10000},                                     // the maximum holds
        {"abc", 10, 20},                                         // no number counts as the minimum
        {"50000", -10, 9990}, // typed beyond the range is brought back first
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(UpDownStep(row.text, row.step, 10, 10000), row.result);
    }
}
} // namespace

// The monitoring cycle stops logging when a line cannot be written; an open
// logging window must then offer to start again rather than to stop.
TEST_F(LoggingWindow, FailedAppendInTheCycleResetsTheButton) {
    startInto(logPath);
    ASSERT_TRUE(GeneralStuff::LoggingActive);
    GeneralStuff::LogFileName = folder.filePath("gone/run.csv"); // the folder was removed
    MonitoringCycle cycle;
    int warnings = 0;
    cycle.setLogFailureHandler([&warnings](const QString&) { ++warnings; });
    cycle.tick();
    cycle.tick();

    EXPECT_FALSE(GeneralStuff::LoggingActive);
    EXPECT_EQ(warnings, 1); // told once, not on every tick
    EXPECT_EQ(control<QPushButton>("cmdLogData")->text(), "Start Logging");
    EXPECT_EQ(main.statusTexts.back(), kLoggingStoppedStatus);
}

// /dev/full is a device, so no log file: refused before a byte is written. A
// disk that fills up on a plain file is AppendThatFailsLeavesNoPartialLine.
TEST(LogAppend, FullDiskIsReportedAsFailure) {
    GeneralStuff::ResetSharedState();
    GeneralStuff::LogChannels = {true, true, true};
    GeneralStuff::LogFileName = "/dev/full";
    EXPECT_FALSE(AppendLogDataLine(GeneralStuff::State.LastReading));
    EXPECT_FALSE(AppendLogRunHeader());
}

// An installed program's folder is not the user's to write: the dialogs then
// start at home instead of in a folder where every save would fail.
TEST(DialogStartFolder, IsTheProgramFolderOnlyWhenItCanBeWritten) {
    QTemporaryDir writable;
    USBStuff::SetApplicationFolder(writable.path());
    EXPECT_EQ(DialogStartFolder(), writable.path());
    USBStuff::SetApplicationFolder(writable.filePath("removed"));
    EXPECT_EQ(DialogStartFolder(), QDir::homePath());
    USBStuff::SetApplicationFolder({});
}

namespace {
const QByteArray kFirstLine = ".1, 25, 33.75, 30.5,\r\n";

void logAt(const QString& path) {
    GeneralStuff::ResetSharedState();
    GeneralStuff::LogChannels = {true, true, true};
    GeneralStuff::LogInterval = 100;
    GeneralStuff::Temperatures = {25, 33.75f, 30.5f};
    GeneralStuff::LogFileName = path;
}
} // namespace

// A log deleted, rotated or emptied by another program mid-run goes on in the
// fresh file, which starts with the run's title block; the time column counts on.
TEST(LogAppend, LogThatVanishedOrWasReplacedGoesOnInAFreshFileWithItsTitles) {
    const struct {
        const char* name;
        std::function<void(const QString&)> act;
    } rows[] = {
        {"deleted", [](const QString& path) { QFile::remove(path); }},
        {"rotated", [](const QString& path) { QFile::rename(path, path + ".1"); }},
        {"emptied in place", [](const QString& path) { QFile::resize(path, 0); }},
        {"replaced by another file",
         [](const QString& path) {
             QFile::remove(path);
             QFile other(path);
             ASSERT_TRUE(other.open(QIODevice::WriteOnly));
             other.write("older notes\r\n");
         }},
    };
    QTemporaryDir folder;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const QString path = folder.filePath(QString(row.name) + ".csv");
        logAt(path);
        ASSERT_TRUE(AppendLogRunHeader());
        ASSERT_TRUE(AppendLogDataLine(GeneralStuff::State.LastReading));
        ++GeneralStuff::LogRowCount;
        row.act(path);
        ASSERT_TRUE(AppendLogDataLine(GeneralStuff::State.LastReading));
        const QByteArray before = QString(row.name).startsWith("replaced") ? "older notes\r\n" : "";
        EXPECT_EQ(fileBytes(path), before + kRunTitle + kAllTitles + kFirstLine);
    }
}

TEST(LogAppend, LinesGoOnWithoutTitlesWhileTheFileStaysAndGrows) {
    QTemporaryDir folder;
    const QString path = folder.filePath("run.csv");
    logAt(path);
    ASSERT_TRUE(AppendLogRunHeader());
    QFile other(path); // another program appending to the same file is no new file
    ASSERT_TRUE(other.open(QIODevice::Append));
    other.write("note\r\n");
    other.close();
    ++GeneralStuff::LogRowCount;
    ASSERT_TRUE(AppendLogDataLine(GeneralStuff::State.LastReading));
    EXPECT_EQ(fileBytes(path), kRunTitle + kAllTitles + "note\r\n" + kFirstLine);
}

// A pipe put in the log's place would block the open for good, with or without a
// reader; a folder cannot take a line. Each is refused at once, nothing sent.
TEST(LogAppend, PipeOrFolderInTheLogsPlaceIsRefusedWithoutBlocking) {
    QTemporaryDir folder;
    const QString path = folder.filePath("run.csv");
    logAt(path);
    ASSERT_TRUE(AppendLogRunHeader());
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_EQ(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    EXPECT_FALSE(AppendLogDataLine(GeneralStuff::State.LastReading)) << "no reader";
    const int reader = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_FALSE(AppendLogDataLine(GeneralStuff::State.LastReading)) << "a reader waiting";
    char byte = 0;
    EXPECT_LE(::read(reader, &byte, 1), 0);
    ::close(reader);
    GeneralStuff::LogFileName = folder.path();
    EXPECT_FALSE(AppendLogDataLine(GeneralStuff::State.LastReading));
    EXPECT_FALSE(AppendLogRunHeader());
}
