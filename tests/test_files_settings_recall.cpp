// Recalling register settings: the reader's leniency and strictness, its
// behaviour on any bytes, and the recall window writing the chip with the master
// timer paused.
#include "support/FilesTestSupport.h"
#include "support/ScriptedAdapter.h"

#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"
#include "files/SettingsCheck.h"
#include "files/SettingsFile.h"
#include "files/SettingsReader.h"
#include "files/frmSave.h"

#include <QCheckBox>
#include <QDialog>
#include <QFile>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cctype>
#include <gtest/gtest.h>
#include <optional>
#include <random>
#include <sys/stat.h>
#include <utility>

namespace {
constexpr int32_t kDevice = 0x4C;

struct Recalled {
    RecallOutcome outcome;
    std::vector<RegisterWrite> writes;
    int listStarts = 0;
    bool wroteBeforeListStart = false;
};

Recalled recall(const QByteArray& bytes) {
    Recalled result{};
    result.outcome = RecallSettings(bytes, {[&] { ++result.listStarts; },
                                            [&](int32_t address, int32_t data) {
                                                if (result.listStarts == 0)
                                                    result.wroteBeforeListStart = true;
                                                result.writes.push_back({address, data});
                                            }});
    return result;
}

const QByteArray kHeader = "Korvane Labs Inc.\r\nOTK5530 Evaluation Software\r\n\r\nSaved: 03/06/2005 at "
                           "13:07:00\r\n\r\nComment : \r\n\r\nAddress\tData\tRegister\r\n";

TEST(RecallSettings, ReadsEntriesAsWrittenAndAsTypedByHand) {
    const struct {
        const char* why;
        QByteArray bytes;
        std::vector<RegisterWrite> writes;
        RecallOutcome outcome;
    } rows[] = {
        {"saved entries: a one-digit number is followed by a TAB, which is ignored",
         kHeader + "{\r\n0x9\t0x4\t // Configuration Reg 1\r\n0xA\t0x8\t // Conversion Rate\r\n}\r\n",
         {{0x09, 0x04}, {0x0A, 0x08}},
         RecallOutcome::Complete},
        {"zero-padded digits",
         "{\r\n0x0B\t0x55\t // Local Temp High Limit\r\n}\r\n",
         {{0x0B, 0x55}},
         RecallOutcome::Complete},
        {"lower-case digits", "{\r\n0x3a\t0xfe\r\n}\r\n", {{0x3A, 0xFE}}, RecallOutcome::Complete},
        {"blank lines between entries are passed over",
         "{\r\n0x9\t0x4\r\n\r\n\r\n0xA\t0x8\r\n}\r\n",
         {{0x09, 0x04}, {0x0A, 0x08}},
         RecallOutcome::Complete},
        {"an empty line before } runs to the end of the file, entries all written",
         "{\r\n0x9\t0x4\r\n0xA\t0x8\r\n\r\n}\r\n",
         {{0x09, 0x04}, {0x0A, 0x08}},
         RecallOutcome::EndedEarly},
        {"a file ending inside an entry keeps the entries before it",
         "{\r\n0x9\t0x4\t // C\r\n0xA\t0x",
         {{0x09, 0x04}},
         RecallOutcome::EndedEarly},
        {"a last entry without line end is not written", "{\r\n0x9\t0x4", {}, RecallOutcome::EndedEarly},
        {"no { at all: nothing written", "0x9\t0x4\r\n}\r\n", {}, RecallOutcome::NoListStart},
        {"an empty file", "", {}, RecallOutcome::NoListStart},
        {"a { in the comment starts the list; the header after it is skipped",
         "Comment : {x}\r\n\r\nAddress\tData\tRegister\r\n{\r\n0x9\t0x4\t // C\r\n}\r\n",
         {{0x09, 0x04}},
         RecallOutcome::Complete},
        {"three digits: only two are taken, the third is skipped as text",
         "{\r\n0x123\t0x5\t\r\n}\r\n",
         {{0x12, 0x05}},
         RecallOutcome::Complete},
        {"upper-case X is no marker",
         "{\r\n0X9\t0X4\t0x5\t0x6\r\n}\r\n",
         {{0x05, 0x06}},
         RecallOutcome::Complete},
        {"} ends the list only at the start of a line",
         "{\r\n0x9\t0x4 }\r\n}\r\n",
         {{0x09, 0x04}},
         RecallOutcome::Complete},
        {"a non-digit ends the number", "{\r\n0xG1\t0x2Z\r\n}\r\n", {{0x00, 0x02}}, RecallOutcome::Complete},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        const Recalled result = recall(row.bytes);
        EXPECT_EQ(result.outcome, row.outcome);
        EXPECT_EQ(result.writes, row.writes);
        EXPECT_FALSE(result.wroteBeforeListStart);
        EXPECT_EQ(result.listStarts, row.outcome == RecallOutcome::NoListStart ? 0 : 1);
    }
}

TEST(RecallSettings, ReadsBackEverythingTheWriterSaves) {
    RegMapStuff::BuildRegisterTable();
    int next = 0;
    const QList<SettingsEntry> saved = SettingsEntries(false, [&](int32_t) { return (next++ * 37) % 256; });
    const Recalled result = recall(SettingsFileBytes(SettingsHeaderLines("round trip", QDateTime()), saved));
    EXPECT_EQ(result.outcome, RecallOutcome::Complete);
    ASSERT_EQ(result.writes.size(), static_cast<size_t>(saved.size()));
    for (int i = 0; i < saved.size(); ++i) {
        SCOPED_TRACE(saved[i].description.toStdString());
        EXPECT_EQ(result.writes[i], (RegisterWrite{saved[i].writeAddr, saved[i].value}));
    }
}

// Any bytes at all: the reader ends, writes only byte-sized registers and values,
// and starts writing only after the list start.
TEST(RecallSettings, TerminatesAndStaysInRangeOnRandomAndMutatedFiles) {
    RegMapStuff::BuildRegisterTable();
    int next = 0;
    const QByteArray valid =
        SettingsFileBytes(SettingsHeaderLines("fuzz", QDateTime()),
                          SettingsEntries(false, [&](int32_t) { return next++ * 9 % 256; }));
    std::mt19937 random(5530);
    const QByteArray alphabet = "0x{}\r\n\t AFaf9xX/";
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    for (int round = 0; round < 4000; ++round) {
        QByteArray bytes;
        if (round % 2 == 0) {
            const int length = pick(400);
            for (int i = 0; i < length; ++i)
                bytes += pick(3) == 0 ? static_cast<char>(pick(256)) : alphabet[pick(alphabet.size())];
        } else {
            bytes = valid;
            for (int edits = pick(8) + 1; edits > 0 && !bytes.isEmpty(); --edits) {
                const int at = pick(static_cast<int>(bytes.size()));
                switch (pick(3)) {
                case 0:
                    bytes[at] = static_cast<char>(pick(256));
                    break;
                case 1:
                    bytes.insert(at, alphabet[pick(alphabet.size())]);
                    break;
                default:
                    bytes.remove(at, pick(20) + 1);
                }
            }
        }
        SCOPED_TRACE(round);
        const Recalled result = recall(bytes);
        ASSERT_FALSE(result.wroteBeforeListStart);
        ASSERT_LE(result.listStarts, 1);
        ASSERT_EQ(result.outcome == RecallOutcome::NoListStart, !bytes.contains('{'));
        ASSERT_LE(result.writes.size(), static_cast<size_t>(bytes.count('x') / 2));
        const SettingsCheck check = CheckSettingsFile(bytes, IsWritableRegisterAddress);
        if (check.passed) {
            ASSERT_EQ(result.writes.size(), static_cast<size_t>(check.entries.size()));
            for (int i = 0; i < check.entries.size(); ++i)
                ASSERT_EQ(result.writes[i], (RegisterWrite{check.entries[i].address, check.entries[i].data}));
        }
        for (const RegisterWrite& write : result.writes) {
            ASSERT_GE(write.reg, 0);
            ASSERT_LE(write.reg, 255);
            ASSERT_GE(write.data, 0);
            ASSERT_LE(write.data, 255);
        }
    }
}

// The check before a recall: what the reader takes as the file lists it passes, and
// is then recalled exactly as checked; anything else names its line.
TEST(CheckSettingsFile, PassesWhatTheReaderTakesExactlyAndNamesTheFirstBadLine) {
    RegMapStuff::BuildRegisterTable();
    const struct {
        const char* why;
        QByteArray bytes;
        int badLine; // 0 with passes: the file passes
        bool passes;
    } rows[] = {
        {"as saved",
         kHeader + "{\r\n0x9\t0x4\t // Configuration Reg 1\r\n0xA\t0x8\t // Conversion Rate\r\n}\r\n", 0,
         true},
        {"zero padding, lower case, no comment", "{\r\n0x0b\t0x55\r\n0x0C\t0xfe\r\n}\r\n", 0, true},
        {"blank lines, one before } (the reader then runs to the end, writing the same)",
         "{\r\n\r\n0x9\t0x4\r\n \t\r\n0xA\t0x8\r\n\r\n}\r\n", 0, true},
        {"no line end after }", "{\r\n0x9\t0x4\r\n}", 0, true},
        {"a { in the comment: the reader starts there and still finds every entry",
         "Comment : {fix}\r\n\r\nAddress\tData\tRegister\r\n{\r\n0x9\t0x4\t // C\r\n}\r\n", 0, true},
        {"no list at all", "0x9\t0x4\r\n}\r\n", 0, false},
        {"no closing }: the reader would run past the end", "{\r\n0x9\t0x4\r\n0xA\t0x8\r\n", 3, false},
        {"an address wider than a byte", "{\r\n0x9\t0x4\r\n0x1FFFFFFFF\t0x4\r\n}\r\n", 3, false},
        {"a value wider than a byte", "{\r\n0xB\t0x1FF\r\n}\r\n", 2, false},
        // Twenty digits overflowed the check's own number once (found by the fuzzer).
        {"a run of digits longer than any number", "{\r\n0xB\t0x55555555555555555555\r\n}\r\n", 2, false},
        {"CR-only line ends: no line feed ever ends the { line", "{\r0x9\t0x4\r}\r", 1, false},
        {"LF-only line ends", "{\n0x9\t0x4\n}\n", 0, true},
        {"blanks before 0x, text after the value without //", "{\r\n  0x9 0x4 Config\r\n}\r\n", 0, true},
        {"a three-digit value: the reader takes two of its digits", "{\r\n0x9\t0x004\r\n}\r\n", 2, false},
        {"LF-only and a one-digit value at the line end: its read takes the line feed and skips the next "
         "line",
         "{\n0x9\t0x4\n0xA\t0x8\n}\n", 3, false},
        {"a } after blanks is not at the start of its line", "{\r\n0x9\t0x4\r\n }\r\n", 3, false},
        {"binary junk", QByteArray("{\r\n0x9\t0x4\r\n\x01x\x00\x7f\r\n}\r\n", 21), 3, false},
        {"a read-only register (Manufacturer ID)", "{\r\n0xFE\t0x41\r\n}\r\n", 2, false},
        {"upper-case X is no marker", "{\r\n0X9\t0X4\r\n}\r\n", 2, false},
        {"a value glued to the address", "{\r\n0x90x4\r\n}\r\n", 2, false},
        {"a value running into a letter is a typo, not a comment", "{\r\n0xB\t0x3Z\r\n}\r\n", 2, false},
        {"text after } is never read", "{\r\n0x9\t0x4\r\n} end\r\n0xA\t0x8\r\n", 0, true},
        {"an x between a comment's { and the list would be read as an entry",
         "Comment : {\r\n\r\nfix\r\n{\r\n0x9\t0x4\r\n}\r\n", 5, false},
        {"a { whose next line starts with } would end the list at once", "a{\r\n}b\r\n{\r\n0x9\t0x4\r\n}\r\n",
         4, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        const SettingsCheck check = CheckSettingsFile(row.bytes, IsWritableRegisterAddress);
        EXPECT_EQ(check.passed, row.passes) << check.problem.toStdString();
        EXPECT_EQ(check.badLine, row.badLine) << check.problem.toStdString();
        EXPECT_EQ(check.problem.isEmpty(), row.passes);
        if (check.passed) {
            const Recalled result = recall(row.bytes);
            ASSERT_EQ(result.writes.size(), static_cast<size_t>(check.entries.size()));
            for (int i = 0; i < check.entries.size(); ++i)
                EXPECT_EQ(result.writes[i], (RegisterWrite{check.entries[i].address, check.entries[i].data}));
        }
    }
}

TEST(CheckSettingsFile, PassesEverythingTheWriterSaves) {
    RegMapStuff::BuildRegisterTable();
    for (const bool onlyNonDefaults : {false, true}) {
        int next = 0;
        const QList<SettingsEntry> saved =
            SettingsEntries(onlyNonDefaults, [&](int32_t) { return (next++ * 53) % 256; });
        const SettingsCheck check = CheckSettingsFile(
            SettingsFileBytes(SettingsHeaderLines("{a} x", QDateTime()), saved), IsWritableRegisterAddress);
        EXPECT_TRUE(check.passed) << check.badLine << " " << check.problem.toStdString();
        EXPECT_EQ(check.entries.size(), saved.size());
    }
}

// The recall as its description gives it, one character at a time (written from that
// description, not from the program's reader, so the two are held against each other).
struct DescribedRecall {
    std::vector<RegisterWrite> writes;
    bool ranPastEnd = false;
};

DescribedRecall describedRecall(const QByteArray& file) {
    DescribedRecall result;
    qsizetype at = 0;
    const auto readUntil = [&](char wanted) {
        while (at < file.size())
            if (file[at++] == wanted)
                return true;
        return false;
    };
    const auto readByte = [&]() -> std::optional<int32_t> {
        if (at + 2 > file.size())
            return std::nullopt;
        int32_t value = 0;
        for (const char c : file.mid(std::exchange(at, at + 2), 2)) {
            if (c == ' ' || c == '\t')
                continue;
            if (!std::isxdigit(static_cast<unsigned char>(c)))
                break;
            value = value * 16 + QByteArray(1, c).toInt(nullptr, 16);
        }
        return value;
    };
    result.ranPastEnd = !readUntil('{') || !readUntil('\n');
    while (!result.ranPastEnd) {
        if (at < file.size() && file[at++] == '}')
            return result;
        std::optional<int32_t> address, data;
        if (at >= file.size() || !readUntil('x') || !(address = readByte()) || !readUntil('x') ||
            !(data = readByte()) || !readUntil('\n'))
            result.ranPastEnd = true;
        else
            result.writes.push_back({*address, *data});
    }
    return result;
}

// Per file: what the described reader writes and what the program writes. They agree
// wherever the reader is not at fault; where it would misread the file or run past its
// end, the program refuses it, as it does an address that is no writable register.
TEST(CheckSettingsFile, ProgramWritesWhatTheDescribedReaderWritesWhereItIsNotAtFault) {
    RegMapStuff::BuildRegisterTable();
    enum Expect { Agree, ReaderAtFault, NotWritable };
    const struct {
        const char* why;
        QByteArray bytes;
        std::vector<RegisterWrite> listed; // what the file says
        Expect expect;
    } rows[] = {
        {"as saved",
         kHeader + "{\r\n0x9\t0x4\t // Configuration Reg 1\r\n0xA\t0x8\t // Conversion Rate\r\n}\r\n",
         {{0x09, 0x04}, {0x0A, 0x08}},
         Agree},
        {"LF-only line ends", "{\n0x09\t0x04\n0x0A\t0x08\n}\n", {{0x09, 0x04}, {0x0A, 0x08}}, Agree},
        {"blanks before 0x", "{\r\n \t0x9\t0x4\r\n   0xA  0x8\r\n}\r\n", {{0x09, 0x04}, {0x0A, 0x08}}, Agree},
        {"text after the value without //", "{\r\n0x9\t0x4 Configuration\r\n}\r\n", {{0x09, 0x04}}, Agree},
        {"blank lines, one before } (the reader runs on to the end, having written all)",
         "{\r\n\r\n0x9\t0x4\r\n\r\n}\r\n",
         {{0x09, 0x04}},
         Agree},
        {"three-digit value", "{\r\n0xB\t0x055\r\n}\r\n", {{0x0B, 0x55}}, ReaderAtFault},
        {"three-digit address", "{\r\n0x00B\t0x55\r\n}\r\n", {{0x0B, 0x55}}, ReaderAtFault},
        {"no } at the start of a line", "{\r\n0x9\t0x4\r\n  }\r\n", {{0x09, 0x04}}, ReaderAtFault},
        {"LF-only with a one-digit value at the line end",
         "{\n0xB\t0x5\n0xC\t0x6\n}\n",
         {{0x0B, 0x05}, {0x0C, 0x06}},
         ReaderAtFault},
        {"binary junk carrying an x",
         QByteArray("{\r\n\x02x\x00\x01\r\n0xB\t0x5\r\n}\r\n", 21),
         {{0x0B, 0x05}},
         ReaderAtFault},
        {"a read-only register, which the reader would send blindly",
         "{\r\n0xFE\t0x41\r\n}\r\n",
         {{0xFE, 0x41}},
         NotWritable},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        const DescribedRecall described = describedRecall(row.bytes);
        const SettingsCheck check = CheckSettingsFile(row.bytes, IsWritableRegisterAddress);
        const std::vector<RegisterWrite> program =
            check.passed ? recall(row.bytes).writes : std::vector<RegisterWrite>{};
        switch (row.expect) {
        case Agree:
            EXPECT_TRUE(check.passed) << check.badLine << " " << check.problem.toStdString();
            EXPECT_EQ(described.writes, row.listed);
            EXPECT_EQ(program, described.writes);
            break;
        case ReaderAtFault:
            EXPECT_FALSE(check.passed);
            EXPECT_TRUE(described.writes != row.listed || described.ranPastEnd);
            break;
        case NotWritable:
            EXPECT_TRUE(check.problem.contains("cannot be written")) << check.problem.toStdString();
            EXPECT_EQ(described.writes, row.listed);
            break;
        }
    }
}

class RecallWindow : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        RegMapStuff::BuildRegisterTable();
        adapter = InstallScriptedAdapter();
        // Configuration Reg 1 and the limits are written 6 above their read addresses.
        adapter->readAddressOf = TableReadAddressOf;
        ThrowOnLinkError();
        GeneralStuff::DeviceAddress = kDevice;
        USBStuff::SetApplicationFolder(folder.path());
        window.Form_Load();
        window.show();
    }
    void TearDown() override { StopAnswering(); }

    QString writeFile(const QByteArray& bytes) {
        const QString path = folder.filePath("recall.sav");
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return path;
    }
    void recallFrom(const QString& path, FileDialogSeen* seen = nullptr) {
        AnswerFileDialog(path, seen);
        QTest::mouseClick(window.findChild<QPushButton*>("cmdRecall"), Qt::LeftButton);
    }
    void saveTo(const QString& path) {
        AnswerFileDialog(path);
        QTest::mouseClick(window.findChild<QPushButton*>("cmdsave"), Qt::LeftButton);
    }

    ScriptedAdapter* adapter = nullptr;
    FakeMainWindow main{[this] { return adapter->requests.size(); }};
    QTemporaryDir folder;
    frmSave window;
};

TEST_F(RecallWindow, WritesEntriesInFileOrderWithTheTimerPaused) {
    adapter->setRegister(kDevice, 0x03, 0x04);
    FileDialogSeen seen;
    bool timerRanDuringDialog = false;
    seen.onShown = [&] { timerRanDuringDialog = main.timer; };
    recallFrom(writeFile(kHeader + "{\r\n0x9\t0x4\t // Configuration Reg 1\r\n0xA\t0x8\t // Conversion "
                                   "Rate\r\n0x0B\t0x55\r\n}\r\n"),
               &seen);

    EXPECT_EQ(adapter->writes(), (std::vector<RegisterWrite>{{0x09, 0x04}, {0x0A, 0x08}, {0x0B, 0x55}}));
    EXPECT_TRUE(GeneralStuff::ExtendedRange); // the post-write update ran
    ASSERT_EQ(main.switches.size(), 2u);
    EXPECT_FALSE(main.switches[0].enabled);
    EXPECT_EQ(main.switches[0].requestsBefore, 0u);
    EXPECT_TRUE(main.switches[1].enabled);
    EXPECT_EQ(main.switches[1].requestsBefore, adapter->requests.size());
    EXPECT_TRUE(timerRanDuringDialog); // a recall's dialog leaves the cycle running
    EXPECT_EQ(seen.acceptMode, QFileDialog::AcceptOpen);
    EXPECT_EQ(seen.fileMode, QFileDialog::ExistingFile);
    EXPECT_EQ(seen.nameFilters, QStringList{"Text Files (*.sav)"});
}

TEST_F(RecallWindow, FileWithoutListStartWritesNothingAndSaysSo) {
    RecordedMessages messages;
    recallFrom(writeFile("0x9\t0x4\r\n}\r\n"));
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].contains("Nothing was written")) << messages.warnings[0].toStdString();
    EXPECT_TRUE(adapter->requests.empty());
    EXPECT_TRUE(main.switches.empty());
}

TEST_F(RecallWindow, FileEndingEarlyKeepsWrittenEntriesWithoutMessage) {
    RecordedMessages messages;
    recallFrom(writeFile("{\r\n0xB\t0x50\r\n0xC\t0x0\r\n\r\n}\r\n"));
    EXPECT_EQ(adapter->writes(), (std::vector<RegisterWrite>{{0x0B, 0x50}, {0x0C, 0x00}}));
    EXPECT_TRUE(messages.warnings.isEmpty());
    EXPECT_TRUE(main.timer);
}

TEST_F(RecallWindow, OversizedFileIsRefused) {
    RecordedMessages messages;
    recallFrom(writeFile("{\r\n0xB\t0x50\r\n" + QByteArray(2 * 1024 * 1024, 'x') + "\r\n}\r\n"));
    ASSERT_EQ(messages.warnings.size(), 1);
    EXPECT_TRUE(messages.warnings[0].contains("too large")) << messages.warnings[0].toStdString();
    EXPECT_TRUE(adapter->requests.empty());
}

// /dev/zero never ends; a pipe with no writer would block the open for good.
TEST_F(RecallWindow, DeviceFileAndPipeAreRefused) {
    const QString pipe = folder.filePath("pipe.sav");
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& path : {QString("/dev/zero"), pipe}) {
        SCOPED_TRACE(path.toStdString());
        RecordedMessages messages;
        recallFrom(path);
        ASSERT_EQ(messages.warnings.size(), 1);
        EXPECT_TRUE(messages.warnings[0].contains("not a settings file"))
            << messages.warnings[0].toStdString();
        EXPECT_TRUE(adapter->requests.empty());
    }
}

// A damaged file is never half applied: good entries before the bad line are not written either.
TEST_F(RecallWindow, DamagedFileWritesNothingAndNamesTheFirstBadLine) {
    std::mt19937 random(14);
    QByteArray binary(64 * 1024, '\0');
    for (char& c : binary)
        c = static_cast<char>(random() % 256);
    binary[1000] = '{';
    const struct {
        const char* why;
        QByteArray bytes;
        QString named;
    } rows[] = {
        {"a bad entry after good ones", "{\r\n0x9\t0x4\r\n0xB\t0x55\r\n0x0B\t0x1FF\r\n}\r\n", "line 4 "},
        {"random bytes holding a {", binary, "cannot be recalled: line "},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.why);
        RecordedMessages messages;
        recallFrom(writeFile(row.bytes));
        ASSERT_EQ(messages.warnings.size(), 1);
        EXPECT_TRUE(messages.warnings[0].contains(row.named)) << messages.warnings[0].toStdString();
        EXPECT_TRUE(messages.warnings[0].contains("Nothing was written to the chip."))
            << messages.warnings[0].toStdString();
        EXPECT_TRUE(adapter->requests.empty());
        EXPECT_TRUE(main.switches.empty());
    }
}

TEST_F(RecallWindow, CancelledDialogDoesNothing) {
    recallFrom(QString());
    EXPECT_TRUE(adapter->requests.empty());
    EXPECT_TRUE(main.switches.empty());
}

// Saved while the shared registers showed Remote2: Configuration Reg 1 comes back
// first, so the shared registers again reach Remote2 when they are written.
TEST_F(RecallWindow, FileSavedWithBit3SetRestoresTheBankFirst) {
    adapter->setRegister(kDevice, 0x03, 0x08);
    adapter->setRegister(kDevice, 0x07, 0x60); // Remote2 high limit through the shared address
    const QString path = folder.filePath("remote2.sav");
    saveTo(path);

    adapter->registers.clear();
    adapter->setRegister(kDevice, 0x03, 0x00);
    adapter->clearLog();
    recallFrom(path);

    const std::vector<RegisterWrite> writes = adapter->writes();
    ASSERT_EQ(writes.size(), 29u);
    EXPECT_EQ(writes[0], (RegisterWrite{0x09, 0x08}));
    EXPECT_TRUE(GeneralStuff::Remote2Selected);
    EXPECT_EQ(writes[4], (RegisterWrite{0x0D, 0x60}));
    EXPECT_EQ(writes[5], (RegisterWrite{0x0D, 0x60}));
}
} // namespace

namespace {
// Answers the recall preview: records how many entries it listed, then confirms or cancels.
void AnswerPreview(bool confirm, int* listed) {
    WhenShown(
        []() -> QWidget* {
            QWidget* modal = QApplication::activeModalWidget();
            return modal && modal->objectName() == "dlgRecallPreview" ? modal : nullptr;
        },
        [=](QWidget* widget) {
            auto* dialog = qobject_cast<QDialog*>(widget);
            *listed = dialog->findChild<QTableWidget*>("grdChanges")->rowCount();
            confirm ? dialog->accept() : dialog->reject();
        });
}

const QByteArray kPreviewFile = kHeader +
                                "{\r\n0x9\t0x4\t // Configuration Reg 1\r\n0xB\t0x55\t // Local Temp "
                                "High Limit\r\n}\r\n";
} // namespace

TEST_F(RecallWindow, PreviewIsOffByDefault) {
    EXPECT_FALSE(window.findChild<QCheckBox*>("chkPreview")->isChecked());
}

TEST_F(RecallWindow, PreviewCancelledWritesNothing) {
    adapter->setRegister(kDevice, 0x05, 0x55); // the high limit already holds the file's value
    window.findChild<QCheckBox*>("chkPreview")->setChecked(true);
    const QString path = writeFile(kPreviewFile);
    int listed = -1;
    AnswerFileDialog(path);
    AnswerPreview(false, &listed);
    QTest::mouseClick(window.findChild<QPushButton*>("cmdRecall"), Qt::LeftButton);
    EXPECT_EQ(listed, 1); // only Configuration Reg 1 would change
    EXPECT_TRUE(adapter->writes().empty());
}

TEST_F(RecallWindow, PreviewConfirmedWritesTheWholeFile) {
    window.findChild<QCheckBox*>("chkPreview")->setChecked(true);
    const QString path = writeFile(kPreviewFile);
    int listed = -1;
    AnswerFileDialog(path);
    AnswerPreview(true, &listed);
    QTest::mouseClick(window.findChild<QPushButton*>("cmdRecall"), Qt::LeftButton);
    EXPECT_EQ(listed, 2);
    EXPECT_EQ(adapter->writes(), (std::vector<RegisterWrite>{{0x09, 0x04}, {0x0B, 0x55}}));
}
