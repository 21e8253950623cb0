#include "device/RegMapStuff.h"
#include "files/Workspace.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
bool AnyWindow(const QString&) {
    return true;
}

// Register entries are checked against the register table, which the program builds at start.
class RegisterTableBuilt : public ::testing::Environment {
    void SetUp() override { RegMapStuff::BuildRegisterTable(); }
};
[[maybe_unused]] ::testing::Environment* const kRegisterTable =
    ::testing::AddGlobalTestEnvironment(new RegisterTableBuilt);

Workspace Sample() {
    Workspace workspace;
    workspace.main = QRect(-20, 30, 1200, 800);
    workspace.windows = {{"frmRegMap", QRect(10, 20, 500, 400)}, {"frmGraph", QRect(300, 0, 640, 480)}};
    workspace.regMap = WorkspaceRegMap{0x19, true};
    WorkspaceGraph graph;
    graph.span = 600;
    graph.low = 10.5;
    graph.high = 45;
    graph.visible = {true, false, true};
    graph.paused = true;
    graph.functions = {true, false, true, true};
    graph.cursorsBefore = {12.25, 3};
    workspace.graph = graph;
    workspace.logging = {"/tmp/bench.csv", {true, false, true}, 1000, true};
    workspace.board = {"Simulated evaluation board", 0x4C, 0x41, 0x01};
    workspace.registers = std::vector<RecallEntry>{{0x09, 0x04}, {0x0A, 0x08}, {0x0B, 0x55}};
    return workspace;
}

// The sample's text with one fragment replaced: each row damages one thing.
QByteArray Damaged(const QByteArray& from, const QByteArray& to) {
    QByteArray bytes = WorkspaceJson(Sample());
    EXPECT_TRUE(bytes.contains(from)) << from.constData();
    return bytes.replace(from, to);
}
} // namespace

TEST(Workspace, WrittenFileReadsBackTheSame) {
    const WorkspaceCheck check = ParseWorkspace(WorkspaceJson(Sample()), AnyWindow);
    ASSERT_TRUE(check.workspace) << check.problem.toStdString();
    EXPECT_EQ(WorkspaceJson(*check.workspace), WorkspaceJson(Sample()));
    EXPECT_TRUE(check.notes.isEmpty());
}

TEST(Workspace, UnknownKeysAreIgnoredAndMissingWindowsSkippedWithANote) {
    const QByteArray bytes = Damaged("\"version\": 1", "\"version\": 1, \"later_feature\": {\"x\": []}");
    const WorkspaceCheck check =
        ParseWorkspace(bytes, [](const QString& name) { return name != "frmRegMap"; });
    ASSERT_TRUE(check.workspace) << check.problem.toStdString();
    ASSERT_EQ(check.workspace->windows.size(), 1);
    EXPECT_EQ(check.workspace->windows[0].className, "frmGraph");
    ASSERT_EQ(check.notes.size(), 1);
    EXPECT_TRUE(check.notes[0].contains("frmRegMap"));
}

TEST(Workspace, BoardsDifferByBackendAddressAndIdsWhereBothHaveThem) {
    const WorkspaceBoard saved = Sample().board;
    WorkspaceBoard withoutIds = saved;
    withoutIds.manufacturerId.reset();
    withoutIds.dieRevision.reset();
    WorkspaceBoard otherRevision = saved;
    otherRevision.dieRevision = 2;
    WorkspaceBoard otherAddress = saved;
    otherAddress.address = 0x4D;
    WorkspaceBoard otherBackend = saved;
    otherBackend.backend = "Linux I2C bus /dev/i2c-1";
    EXPECT_TRUE(SameBoard(saved, saved));
    EXPECT_TRUE(SameBoard(withoutIds, saved));
    EXPECT_FALSE(SameBoard(otherRevision, saved));
    EXPECT_FALSE(SameBoard(otherAddress, saved));
    EXPECT_FALSE(SameBoard(otherBackend, withoutIds));
}

struct DamagedCase {
    const char* name;
    QByteArray bytes;
    const char* named; // what the refusal must name
};

class DamagedWorkspace : public ::testing::TestWithParam<DamagedCase> {};

TEST_P(DamagedWorkspace, IsRefusedWholeNamingWhere) {
    const WorkspaceCheck check = ParseWorkspace(GetParam().bytes, AnyWindow);
    EXPECT_FALSE(check.workspace);
    EXPECT_TRUE(check.notes.isEmpty());
    EXPECT_TRUE(check.problem.contains(GetParam().named)) << check.problem.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DamagedWorkspace,
    ::testing::Values(
        DamagedCase{"Truncated", WorkspaceJson(Sample()).left(200), "line "},
        DamagedCase{"Empty", QByteArray(), "line 1"},
        DamagedCase{"BinaryJunk",
                    QByteArray("\x7f"
                               "ELF\x02\x01\x01\0\0\0",
                               10),
                    "line 1"},
        // Error offsets count from the file's start: the line shown is where the fault is.
        DamagedCase{"JunkOnLaterLine", "{\n\"format\": \"otk5530-workspace\",\n\"version\": 1,\n\x01\n}",
                    "line 4"},
        DamagedCase{"Foreign", R"({"name": "some other program", "version": 1})", "no workspace"},
        DamagedCase{"TopLevelList", "[1, 2]", "no workspace"},
        DamagedCase{"NewerVersion", Damaged("\"version\": 1", "\"version\": 2"), "newer version"},
        DamagedCase{"FractionalVersion", Damaged("\"version\": 1", "\"version\": 0.5"), "\"version\""},
        DamagedCase{"HugeCoordinate", Damaged("\"x\": -20", "\"x\": 1e300"), "main.x"},
        DamagedCase{"FractionalWidth", Damaged("\"width\": 1200", "\"width\": 1200.5"), "main.width"},
        DamagedCase{"ZeroHeight", Damaged("\"height\": 800", "\"height\": 0"), "main.height"},
        DamagedCase{"WindowsNotAList", Damaged("\"windows\": [", "\"windows\": 3, \"w\": ["), "windows"},
        DamagedCase{"WindowNotAnObject", Damaged("\"windows\": [", "\"windows\": [7, "), "windows[0]"},
        DamagedCase{"ClassNotAText", Damaged("\"class\": \"frmGraph\"", "\"class\": 5"), "windows[1].class"},
        DamagedCase{"SameWindowTwice", Damaged("\"class\": \"frmGraph\"", "\"class\": \"frmRegMap\""),
                    "a second time"},
        DamagedCase{"SpanBelowSmallest", Damaged("\"span_seconds\": 600", "\"span_seconds\": 1"),
                    "graph.span_seconds"},
        DamagedCase{"SpanAsText", Damaged("\"span_seconds\": 600", "\"span_seconds\": \"600\""),
                    "graph.span_seconds"},
        DamagedCase{"RangeUpsideDown", Damaged("\"temperature_high\": 45", "\"temperature_high\": 10"),
                    "graph.temperature_high"},
        DamagedCase{"TwoVisibleFlags",
                    Damaged("\"visible\": [\n            true,\n            false,",
                            "\"visible\": [\n            true,"),
                    "graph.visible"},
        DamagedCase{"PausedAsNumber", Damaged("\"paused\": true", "\"paused\": 1"), "graph.paused"},
        DamagedCase{"CursorInTheFuture", Damaged("12.25", "-5"), "graph.cursor_seconds_before"},
        DamagedCase{"RegisterBeyondFF", Damaged("\"address\": 25", "\"address\": 256"),
                    "register_map.address"},
        DamagedCase{"IntervalTooShort", Damaged("\"interval_ms\": 1000", "\"interval_ms\": 5"),
                    "logging.interval_ms"},
        DamagedCase{"IntervalBeyond32Bits", Damaged("\"interval_ms\": 1000", "\"interval_ms\": 4294967296"),
                    "logging.interval_ms"},
        DamagedCase{"StartWithoutFile", Damaged("\"/tmp/bench.csv\"", "\"\""), "logging.start_logging"},
        DamagedCase{"OneIdWithoutTheOther", Damaged("\"die_revision\": 1", "\"revision\": 1"),
                    "board.die_revision"},
        DamagedCase{"BoardMissing", Damaged("\"board\":", "\"boards\":"), "board"},
        DamagedCase{"BoardAddressBeyond7Bits", Damaged("\"address\": 76", "\"address\": 200"),
                    "board.address"},
        DamagedCase{"RegistersNotAList", Damaged("\"registers\": [", "\"registers\": 3, \"r\": ["),
                    "registers"},
        DamagedCase{"RegisterNotAnObject", Damaged("\"registers\": [", "\"registers\": [7, "),
                    "registers[0]"},
        DamagedCase{"RegisterValueAsText", Damaged("\"value\": 4", "\"value\": \"4\""), "registers[0].value"},
        DamagedCase{"RegisterValueBeyondFF", Damaged("\"value\": 85", "\"value\": 256"),
                    "registers[2].value"},
        // The manufacturer id reads at 0xFE and is written nowhere: no recall may write there.
        DamagedCase{"ReadOnlyRegisterAddress", Damaged("\"address\": 10", "\"address\": 254"),
                    "registers[1].address"},
        DamagedCase{"RegisterAddressMissing", Damaged("\"address\": 11,", ""), "registers[2].address"}),
    [](const ::testing::TestParamInfo<DamagedCase>& row) { return std::string(row.param.name); });

TEST(WorkspaceFile, OnlyPlainFilesOfBoundedSizeAreRead) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe.otkws");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString large = dir.filePath("large.otkws");
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    // Valid JSON, but no workspace is this large.
    file.write(WorkspaceJson(Sample()).chopped(2) + ", \"pad\": \"" + QByteArray(2 * 1024 * 1024, 'x') +
               "\"}");
    file.close();
    const struct {
        QString path;
        const char* named;
    } rows[] = {{fifo, "no plain file"},
                {dir.path(), "no plain file"},
                {large, "too large"},
                {dir.filePath("missing.otkws"), "could not be opened"}};
    for (const auto& row : rows) {
        const WorkspaceCheck check = LoadWorkspaceFile(row.path, AnyWindow);
        EXPECT_FALSE(check.workspace) << row.path.toStdString();
        EXPECT_TRUE(check.problem.contains(row.named)) << check.problem.toStdString();
        EXPECT_TRUE(check.problem.contains("Nothing was changed.")) << check.problem.toStdString();
    }
}
