// The simulated board's files through the real otk5530-cli: a dump loaded with from_dump
// dumps the same again, a kept state carries writes from one call to the next and stays
// whole under calls at the same time, and a refused file ends the call with status 2.
#include "adapter/SimStateFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace {

constexpr int kRunTimeoutMs = 60000;

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

std::unique_ptr<QProcess> startCli(const QStringList& arguments, const QString& sim, const QString& folder) {
    auto process = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "OTK5530_ADAPTER"})
        env.remove(name);
    env.insert("OTK5530_SIM", sim);
    process->setProcessEnvironment(env);
    process->setWorkingDirectory(folder);
    process->start(QCoreApplication::applicationDirPath() + "/otk5530-cli", arguments);
    return process;
}

Outcome finish(QProcess& process) {
    const bool finished = process.waitForFinished(kRunTimeoutMs);
    if (!finished) {
        process.kill();
        process.waitForFinished();
    }
    EXPECT_TRUE(finished) << process.arguments().join(' ').toStdString();
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), QString::fromUtf8(process.readAllStandardError())};
}

Outcome runCli(const QStringList& arguments, const QString& sim, const QString& folder) {
    return finish(*startCli(arguments, sim, folder));
}

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

class DumpRoundTrip : public ::testing::TestWithParam<const char*> {};

// A board with changed limits, an offset, a hot Remote1 and an open Remote2; a slow rate keeps
// the busy bit out of the dumps.
TEST_P(DumpRoundTrip, LoadedDumpDumpsTheSame) {
    QTemporaryDir folder;
    const QString board = "drift=off, reg.04=0x02, reg.05=0x46, reg.06=0x10, reg.13=0x40, reg.11=0xFE, "
                          "reg.31=0x50, remote1=86.5, open=2";
    const QStringList dump{"dump", "--format", GetParam()};
    const Outcome original = runCli(dump, board, folder.path());
    ASSERT_EQ(original.exitCode, 0) << original.err.toStdString();
    writeFile(folder.filePath("board.dump"), original.out);
    const Outcome loaded = runCli(dump, "from_dump=board.dump", folder.path());
    ASSERT_EQ(loaded.exitCode, 0) << loaded.err.toStdString();
    EXPECT_EQ(loaded.out.toStdString(), original.out.toStdString());
}

INSTANTIATE_TEST_SUITE_P(Formats, DumpRoundTrip,
                         ::testing::Values("i2cdump", "text", "csv", "json", "ndjson"));

TEST(KeptState, WriteInOneCallIsReadInTheNext) {
    QTemporaryDir folder;
    const QString sim = "drift=off, state=board.state";
    ASSERT_EQ(runCli({"write", "local_temp_high_limit", "0x46"}, sim, folder.path()).exitCode, 0);
    const Outcome read = runCli({"read", "0x05", "--format", "csv"}, sim, folder.path());
    EXPECT_EQ(read.exitCode, 0) << read.err.toStdString();
    EXPECT_TRUE(read.out.contains(",0x46,70,")) << read.out.toStdString();
    const Outcome info = runCli({"info"}, sim, folder.path());
    EXPECT_TRUE(info.out.contains("Simulated evaluation board; state kept in board.state"))
        << info.out.toStdString();
    // A board without the key starts afresh.
    EXPECT_TRUE(
        runCli({"read", "0x05", "--format", "csv"}, "drift=off", folder.path()).out.contains(",0x55,85,"));
}

// Writers and readers at once: every reader finds a whole state, and the file ends as one
// writer's whole state, each register as before or as written (the last whole write wins).
TEST(KeptState, CallsAtTheSameTimeNeverSeeAPartFile) {
    QTemporaryDir folder;
    const QString sim = "drift=off, state=board.state";
    ASSERT_EQ(runCli({"write", "0x21", "0x03"}, sim, folder.path()).exitCode, 0);
    // Write addresses, and where each register is read (and kept).
    const QStringList limits{"0x0B", "0x0C", "0x0D", "0x0E", "0x19", "0x20"};
    const std::map<int, uint8_t> defaults{{0x05, 0x55}, {0x06, 0},    {0x07, 0x55},
                                          {0x08, 0},    {0x19, 0x55}, {0x20, 0x55}};
    for (int round = 0; round < 3; ++round) {
        std::vector<std::unique_ptr<QProcess>> calls;
        for (const QString& reg : limits) {
            calls.push_back(startCli({"write", reg, QString::number(0x30 + round)}, sim, folder.path()));
            calls.push_back(startCli({"read", "0x21"}, sim, folder.path()));
        }
        for (auto& call : calls) {
            const Outcome outcome = finish(*call);
            EXPECT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
        }
    }
    QFile file(folder.filePath("board.state"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    std::map<int, uint8_t> state;
    std::string error;
    ASSERT_TRUE(ParseBoardState(file.readAll().toStdString(), state, error)) << error;
    EXPECT_EQ(state.at(0x21), 0x03) << "a register nobody wrote keeps its value";
    int lastRound = 0;
    for (const auto& [reg, before] : defaults) {
        const int value = state.at(reg);
        EXPECT_TRUE(value == before || (value >= 0x30 && value <= 0x32)) << reg << ": " << value;
        lastRound += value == 0x32;
    }
    EXPECT_GE(lastRound, 1) << "the last whole write is one of the last round's";
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList{"board.state"})
        << "no temporary file left";
}

struct RefusedRun {
    const char* name;
    const char* sim;
    QByteArray file; // written as "f" first, when not empty
    QString message;
};

class RefusedFile : public ::testing::TestWithParam<RefusedRun> {};

TEST_P(RefusedFile, EndsWithStatusTwoNamingKeyAndFile) {
    QTemporaryDir folder;
    if (!GetParam().file.isEmpty())
        writeFile(folder.filePath("f"), GetParam().file);
    const Outcome outcome = runCli({"info"}, GetParam().sim, folder.path());
    EXPECT_EQ(outcome.exitCode, 2);
    EXPECT_EQ(outcome.err.trimmed(), "otk5530-cli: OTK5530_SIM: " + GetParam().message);
    EXPECT_TRUE(outcome.out.isEmpty());
    if (!GetParam().file.isEmpty()) {
        EXPECT_EQ(QFile(folder.filePath("f")).size(), GetParam().file.size()) << "the file stays as it was";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, RefusedFile,
    ::testing::Values(
        RefusedRun{"DumpMissing",
                   "from_dump=nothing.txt",
                   {},
                   "from_dump=nothing.txt refused: nothing.txt cannot be read: No such file or directory"},
        RefusedRun{"ReplayAFolder", "replay=.", {}, "replay=. refused: . is not a regular file"},
        RefusedRun{"DumpTooLarge", "from_dump=f", QByteArray(1024 * 1024 + 1, ' '),
                   "from_dump=f refused: f is larger than 1048576 bytes"},
        RefusedRun{
            "StateDamaged", "state=f", "OTK5530 simulated board state\n0x03 0x00\n",
            "state=f refused: f: line 3: expected register 0x04 and its value, such as 0x04 0x00 (a damaged "
            "board state: remove the file to start afresh)"}),
    [](const auto& row) { return row.param.name; });

} // namespace
