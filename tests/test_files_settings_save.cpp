// Saving the register settings: the file's exact text, the pause of the master
// timer around the chip reads, and saves that fail without harming an old file.
#include "support/FilesTestSupport.h"
#include "support/ScriptedAdapter.h"

#include "device/Clock.h"
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"
#include "files/SettingsFile.h"
#include "files/frmSave.h"

#include <QCheckBox>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>

namespace {
constexpr int32_t kDevice = 0x4C;

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<QByteArray> entryLines(const QByteArray& file) {
    const int open = file.indexOf("{\r\n");
    const int close = file.lastIndexOf("}\r\n");
    QList<QByteArray> lines = file.mid(open + 3, close - open - 3).split('\n');
    lines.removeLast(); // after the last line end
    for (QByteArray& line : lines)
        line.chop(1); // the CR
    return lines;
}

class SaveWindow : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        RegMapStuff::BuildRegisterTable();
        adapter = InstallScriptedAdapter();
        ThrowOnLinkError();
        GeneralStuff::DeviceAddress = kDevice;
        for (const RegisterRecord& record : RegMapStuff::RegisterTable)
            adapter->setRegister(kDevice, record.ReadAddr, static_cast<uint8_t>(record.DefaultValue));
        Clock::SetLocalNowSource([] { return QDateTime(QDate(2005, 6, 3), QTime(13, 7, 0)); });
        USBStuff::SetApplicationFolder(folder.path());
        window.Form_Load();
        window.show();
        path = folder.filePath("board.sav");
    }
    void TearDown() override {
        StopAnswering();
        Clock::SetLocalNowSource({});
    }

    void typeComment(const QString& text) {
        QTest::keyClicks(window.findChild<QLineEdit*>("txtComment"), text);
    }
    void tickOnlyNonDefaults() {
        QTest::mouseClick(window.findChild<QCheckBox*>("chkNotDefaults"), Qt::LeftButton);
    }
    void saveTo(const QString& target, FileDialogSeen* seen = nullptr) {
        AnswerFileDialog(target, seen);
        QTest::mouseClick(window.findChild<QPushButton*>("cmdsave"), Qt::LeftButton);
    }

    ScriptedAdapter* adapter = nullptr;
    FakeMainWindow main{[this] { return adapter->requests.size(); }};
    QTemporaryDir folder;
    frmSave window;
    QString path;
};

TEST_F(SaveWindow, UntickedBoxSavesEveryWritableRegisterWithItsHeader) {
    adapter->setRegister(kDevice, 0x03, 0x04);
    typeComment("  bench board 2  ");
    saveTo(path);
    const QByteArray file = fileBytes(path);

    EXPECT_TRUE(file.startsWith("Korvane Labs Inc.\r\n"
                                "OTK5530 Evaluation Software\r\n"
                                "\r\n"
                                "Saved: 03/06/2005 at 13:07:00\r\n"
                                "\r\n"
                                "Comment : bench board 2\r\n"
                                "\r\n"
                                "Address\tData\tRegister\r\n"
                                "{\r\n"
                                "0x9\t0x4\t // Configuration Reg 1\r\n"
                                "0xA\t0x8\t // Conversion Rate\r\n"))
        << file.toStdString();
    EXPECT_TRUE(file.endsWith("0x39\t0x55\t // Remote 2 Therm Limit\r\n}\r\n"));

    const QList<QByteArray> entries = entryLines(file);
    ASSERT_EQ(entries.size(), 29);
    QStringList addresses;
    for (const QByteArray& entry : entries)
        addresses << QString(entry.left(entry.indexOf('\t')));
    // The shared remote addresses appear twice: once for Remote 1, once for Remote 2.
    EXPECT_EQ(addresses.join(' '), "0x9 0xA 0xB 0xC 0xD 0xD 0xE 0xE 0x11 0x11 0x12 0x12 0x13 0x13 0x14 0x14 "
                                   "0x19 0x19 0x20 0x21 0x22 0x24 0x31 0x32 0x34 0x35 0x36 0x37 0x39");
    EXPECT_EQ(entries[4], "0xD\t0x55\t // Remote 1 High Limit,High Byte (bit 3 Config Reg =0)");
    EXPECT_EQ(entries[5], "0xD\t0x55\t // Remote 2 High Limit,High Byte (bit 3 Config Reg =1)");
}

TEST_F(SaveWindow, TickedBoxAtDefaultsGivesAnEmptyListAndEmptyComment) {
    tickOnlyNonDefaults();
    saveTo(path);
    const QByteArray file = fileBytes(path);
    EXPECT_TRUE(file.contains("\r\nComment : \r\n\r\nAddress\tData\tRegister\r\n{\r\n}\r\n"))
        << file.toStdString();
    EXPECT_TRUE(file.endsWith("{\r\n}\r\n"));
}

TEST_F(SaveWindow, TickedBoxKeepsOnlyRegistersThatDiffer) {
    adapter->setRegister(kDevice, 0x04, 0x07);
    adapter->setRegister(kDevice, 0x21, 0xFF);
    tickOnlyNonDefaults();
    saveTo(path);
    EXPECT_EQ(entryLines(fileBytes(path)),
              (QList<QByteArray>{"0xA\t0x7\t // Conversion Rate", "0x21\t0xFF\t // Therm Hysteresis"}));
}

TEST_F(SaveWindow, MasterTimerIsPausedFromFirstReadUntilTheFileIsWritten) {
    FileDialogSeen seen;
    bool timerRanDuringDialog = true;
    seen.onShown = [&] { timerRanDuringDialog = main.timer; };
    saveTo(path, &seen);
    ASSERT_EQ(main.switches.size(), 2u);
    EXPECT_FALSE(main.switches[0].enabled);
    EXPECT_EQ(main.switches[0].requestsBefore, 0u); // before the first register read
    EXPECT_TRUE(main.switches[1].enabled);
    EXPECT_EQ(main.switches[1].requestsBefore, adapter->requests.size());
    EXPECT_EQ(adapter->reads().size(), 29u);
    EXPECT_FALSE(timerRanDuringDialog); // the file holds the values of the moment of the click
    EXPECT_EQ(seen.acceptMode, QFileDialog::AcceptSave);
    EXPECT_EQ(seen.nameFilters, QStringList{"Text Files (*.sav)"});
    EXPECT_EQ(seen.directory, QDir(folder.path()).absolutePath());
}

TEST_F(SaveWindow, CancelledDialogWritesNothingAndResumesTheTimer) {
    saveTo(QString());
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
    ASSERT_EQ(main.switches.size(), 2u);
    EXPECT_TRUE(main.timer);
}

TEST_F(SaveWindow, SaveIntoMissingFolderIsReported) {
    RecordedMessages messages;
    saveTo(folder.filePath("gone/board.sav"));
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].contains("could not be saved")) << messages.warnings[0].toStdString();
    EXPECT_TRUE(main.timer);
}

// The disk refuses the new text part-way (file size limit): the earlier file
// must stay as it was, not be left cut short.
TEST_F(SaveWindow, FailedSaveLeavesTheOldFileIntact) {
    const QByteArray old = "Korvane Labs Inc.\r\nold settings\r\n";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(old);
    }
    MessageSeen overwrite; // the file dialog's own question
    AnswerMessageBox(&overwrite);
    RecordedMessages messages;

    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 200;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    saveTo(path);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_EQ(overwrite.count, 1);
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].contains("unchanged")) << messages.warnings[0].toStdString();
    EXPECT_EQ(fileBytes(path), old);
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"board.sav"}); // no temporary left
    EXPECT_TRUE(main.timer);
}

TEST(SettingsEntryLine, IsUnpaddedUpperCaseHexWithDescription) {
    const struct {
        SettingsEntry entry;
        const char* line;
    } rows[] = {
        {{0x0A, 0x08, "Conversion Rate"}, "0xA\t0x8\t // Conversion Rate"},
        {{0x09, 0x00, "Configuration Reg 1"}, "0x9\t0x0\t // Configuration Reg 1"},
        {{0x39, 0xFE, "Remote 2 Therm Limit"}, "0x39\t0xFE\t // Remote 2 Therm Limit"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_EQ(SettingsEntryLine(row.entry), row.line);
    }
}

TEST(SettingsHeaderLines, TrimsOnlySurroundingBlanksOfTheComment) {
    const QDateTime at(QDate(2026, 12, 31), QTime(23, 59, 58));
    const struct {
        const char* typed;
        const char* line;
    } rows[] = {
        {"", "Comment : "}, // the literal keeps its trailing blank
        {"   ", "Comment : "},
        {"  a  b  ", "Comment : a  b"},
        // A pasted line break must not start a register list of its own in the file.
        {"a\r\n{\r\n0x9\t0xFF\r\n}", "Comment : a  {  0x9\t0xFF  }"},
        {"\r\nx\x01", "Comment : x"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.typed);
        const QStringList lines = SettingsHeaderLines(row.typed, at);
        ASSERT_EQ(lines.size(), 7);
        EXPECT_EQ(lines[5], row.line);
        EXPECT_EQ(lines[3], "Saved: 31/12/2026 at 23:59:58");
    }
}
} // namespace
