// otk5530-cli as scripts meet it: a link lost at any point of any verb in any format still
// leaves whole documents and lines, a diode that opens mid-run is a fault and never a
// number, the i2c-tools grids, and the outputs read by csv, jq and python.
#include "device/RegMapStuff.h"
#include "files/SettingsFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

constexpr int kRunTimeoutMs = 60000;
// Children at once: the sweep starts a few hundred runs.
constexpr int kBatch = 4;
const QString kLinkFailure = " - Check USB connections";

struct Job {
    Job(QStringList args, QString simSettings = "drift=off", QByteArray standardInput = {})
        : arguments(std::move(args)), sim(std::move(simSettings)), input(std::move(standardInput)) {}
    QStringList arguments;
    QString sim;
    QByteArray input;
};

struct Outcome {
    int exitCode = -1;
    QByteArray out;
    QString err;
};

QProcessEnvironment environmentFor(const QString& sim) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY", "OTK5530_ADAPTER"})
        env.remove(name);
    env.insert("OTK5530_SIM", sim);
    return env;
}

std::vector<Outcome> runAll(const std::vector<Job>& jobs) {
    std::vector<Outcome> outcomes(jobs.size());
    for (size_t first = 0; first < jobs.size(); first += kBatch) {
        std::vector<std::unique_ptr<QProcess>> running;
        for (size_t i = first; i < std::min(jobs.size(), first + kBatch); ++i) {
            auto process = std::make_unique<QProcess>();
            process->setProcessEnvironment(environmentFor(jobs[i].sim));
            process->start(QCoreApplication::applicationDirPath() + "/otk5530-cli", jobs[i].arguments);
            process->write(jobs[i].input);
            process->closeWriteChannel();
            running.push_back(std::move(process));
        }
        for (size_t k = 0; k < running.size(); ++k) {
            QProcess& process = *running[k];
            if (!process.waitForFinished(kRunTimeoutMs))
                process.kill();
            process.waitForFinished();
            outcomes[first + k] = {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
                                   process.readAllStandardOutput(),
                                   QString::fromUtf8(process.readAllStandardError())};
        }
    }
    return outcomes;
}

Outcome runOne(const Job& job) {
    return runAll({job}).front();
}

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool parsesAsJson(const QByteArray& bytes) {
    QJsonParseError error{};
    QJsonDocument::fromJson(bytes, &error);
    return error.error == QJsonParseError::NoError;
}

// Whole lines only; JSON parses; NDJSON parses line by line.
::testing::AssertionResult complete(const QByteArray& bytes, const QString& format) {
    if (format == "json" && !parsesAsJson(bytes))
        return ::testing::AssertionFailure() << "JSON does not parse:\n" << bytes.constData();
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        return ::testing::AssertionFailure() << "last line incomplete:\n" << bytes.constData();
    if (format == "ndjson")
        for (const QByteArray& line : bytes.split('\n'))
            if (!line.isEmpty() && !parsesAsJson(line))
                return ::testing::AssertionFailure() << "NDJSON line does not parse: " << line.constData();
    return ::testing::AssertionSuccess();
}

QByteArray settingsFileBytes() {
    RegMapStuff::BuildRegisterTable();
    return SettingsFileBytes(SettingsHeaderLines("sweep", QDateTime::currentDateTime()),
                             SettingsEntries(false, [](int32_t readAddr) {
                                 const int index = RegMapStuff::FindRegisterByReadAddr(readAddr);
                                 return int(RegMapStuff::RegisterTable[index].DefaultValue);
                             }));
}

struct SweptVerb {
    QStringList arguments; // "%DIR%" stands for the run's folder
    QStringList ownFormats;
    bool endless = false; // temps --watch: runs until the link fails
};

// Requests of fail_after numbered as the simulated board counts them: the smallest
// fail_after a run survives is its number of requests.
std::vector<int> requestCounts(const std::vector<QStringList>& runs) {
    std::vector<int> low(runs.size(), 0), high(runs.size(), 2048);
    for (bool searching = true; searching;) {
        searching = false;
        std::vector<Job> jobs;
        std::vector<size_t> which;
        for (size_t i = 0; i < runs.size(); ++i)
            if (low[i] < high[i]) {
                jobs.push_back({runs[i], QString("drift=off,fail_after=%1").arg((low[i] + high[i]) / 2)});
                which.push_back(i);
            }
        const std::vector<Outcome> outcomes = runAll(jobs);
        for (size_t k = 0; k < which.size(); ++k) {
            const size_t i = which[k];
            const int middle = (low[i] + high[i]) / 2;
            // Any status but the link's (diff may find a difference) means the run got through.
            if (outcomes[k].exitCode == 1)
                low[i] = middle + 1;
            else
                high[i] = middle;
            searching = true;
        }
    }
    return high;
}

} // namespace

// fail_after at the first, a middle and the last request of every verb in every format:
// exit 1 with the link-failure text, JSON that parses (closed with "error"), whole lines,
// and an -o FILE that is either absent or complete.
TEST(CliLinkLoss, EveryVerbInEveryFormatEndsWholeDocuments) {
    QTemporaryDir dir;
    QFile settings(dir.filePath("board.sav"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(settingsFileBytes());
    settings.close();
    const std::vector<SweptVerb> verbs{
        {{"scan"}, {"i2cdetect"}},
        {{"info"}, {}},
        {{"read", "0x01", "status_reg_1"}, {}},
        {{"write", "0x0B", "70"}, {}},
        {{"temps"}, {}},
        {{"temps", "--watch", "--interval", "10"}, {}, true},
        {{"dump"}, {"i2cdump"}},
        {{"log", "--samples", "3", "--interval", "10"}, {"otk"}},
        {{"save", "%DIR%/saved.sav"}, {}},
        {{"recall", "%DIR%/board.sav"}, {}},
        {{"recall", "%DIR%/board.sav", "--dry-run"}, {}},
        {{"diff", "%DIR%/board.sav"}, {}},
        {{"limits"}, {}},
        {{"limits", "local.high=80"}, {}},
        {{"status"}, {}},
        {{"sensors"}, {}},
    };
    const auto withDir = [&](QStringList arguments) {
        return arguments.replaceInStrings("%DIR%", dir.path());
    };
    // `status` reads exactly the two status registers after connecting: the rest is the connection.
    std::vector<QStringList> runs{{"status"}};
    std::vector<std::pair<const SweptVerb*, QString>> combinations;
    for (const SweptVerb& verb : verbs)
        for (const QString& format : QStringList{"text", "json", "ndjson", "csv"} + verb.ownFormats) {
            combinations.push_back({&verb, format});
            // An endless run has no last request: counted, it stops at the search's end.
            runs.push_back(verb.endless ? QStringList{"status"}
                                        : withDir(verb.arguments) << "--format" << format);
        }
    const std::vector<int> counts = requestCounts(runs);
    const int connection = counts[0] - 2;
    ASSERT_GT(connection, 0);

    std::vector<Job> jobs;
    std::vector<QString> formats;
    std::vector<QString> outputs;
    for (size_t c = 0; c < combinations.size(); ++c) {
        const auto& [verb, format] = combinations[c];
        const int last = verb->endless ? connection + 60 : counts[c + 1] - 1;
        // scan needs no chip selected: its requests may end before the others' connection does.
        const int first = std::min(connection, last);
        const QStringList arguments = withDir(verb->arguments) << "--format" << format;
        for (const int failAfter : {first, (first + last) / 2, last}) {
            jobs.push_back({arguments, QString("drift=off,fail_after=%1").arg(failAfter)});
            formats.push_back(format);
            outputs.push_back({});
        }
        // The same into a file the run makes.
        const QString output = dir.filePath(QString("out%1").arg(c));
        jobs.push_back({QStringList(arguments) << "-o" << output,
                        QString("drift=off,fail_after=%1").arg((first + last) / 2)});
        formats.push_back(format);
        outputs.push_back(output);
    }
    const std::vector<Outcome> outcomes = runAll(jobs);
    for (size_t i = 0; i < jobs.size(); ++i) {
        const std::string run = (jobs[i].sim + " " + jobs[i].arguments.join(' ')).toStdString();
        EXPECT_EQ(outcomes[i].exitCode, 1) << run << "\n" << outcomes[i].err.toStdString();
        EXPECT_TRUE(outcomes[i].err.contains(kLinkFailure)) << run << "\n" << outcomes[i].err.toStdString();
        if (outputs[i].isEmpty()) {
            EXPECT_TRUE(complete(outcomes[i].out, formats[i])) << run;
            if (formats[i] == "json") {
                EXPECT_TRUE(QJsonDocument::fromJson(outcomes[i].out)
                                .object()
                                .value("error")
                                .toString()
                                .contains(kLinkFailure))
                    << run << "\n"
                    << outcomes[i].out.constData();
            }
        } else if (QFile::exists(outputs[i])) {
            EXPECT_TRUE(complete(readAll(outputs[i]), formats[i])) << run;
        }
    }
}

struct FaultRun {
    const char* name;
    QString format;
};

class CliDiodeFault : public ::testing::TestWithParam<FaultRun> {};

// Remote1's diode is open from 1 s to 3 s after power-on. Each sample's time on the board is
// known to lie between its time stamp less the first sample's and less the run's start.
TEST_P(CliDiodeFault, FaultOnlyInsideTheWindowAndNeverANumber) {
    const FaultRun& run = GetParam();
    constexpr double kOpenAt = 1, kMendedAt = 3, kConversion = 0.0625;
    const QDateTime started = QDateTime::currentDateTimeUtc();
    const Outcome outcome = runOne({{"log", "--interval", "250", "--samples", "16", "--format", run.format},
                                    "drift=off,open1_at=1,open1_until=3"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    // An open diode reads 255.75: never shown.
    EXPECT_FALSE(outcome.out.contains("255.75")) << outcome.out.constData();

    struct Sample {
        QDateTime time;
        std::optional<double> remote1;
        QString fault;
    };
    std::vector<Sample> samples;
    const QList<QByteArray> lines = outcome.out.split('\n');
    if (run.format == "json" || run.format == "ndjson") {
        QJsonArray rows;
        if (run.format == "json")
            rows = QJsonDocument::fromJson(outcome.out).object().value("results").toArray();
        else
            for (const QByteArray& line : lines)
                if (!line.isEmpty())
                    rows.append(QJsonDocument::fromJson(line).object());
        for (const QJsonValue& row : rows) {
            const QJsonObject remote1 = row.toObject().value("remote1").toObject();
            samples.push_back(
                {QDateTime::fromString(row.toObject().value("time").toString(), Qt::ISODateWithMs),
                 remote1.value("value").isNull() ? std::nullopt
                                                 : std::optional(remote1.value("value").toDouble()),
                 remote1.value("fault").toString()});
        }
    } else {
        // Text columns stand where their titles start; CSV by its header.
        const QString header = QString::fromUtf8(lines.at(0));
        const QStringList titles = run.format == "csv" ? header.split(',') : header.simplified().split(' ');
        for (qsizetype i = 1; i < lines.size(); ++i) {
            if (lines[i].isEmpty())
                continue;
            const QString line = QString::fromUtf8(lines[i]);
            QStringList fields;
            if (run.format == "csv") {
                fields = line.split(',');
            } else {
                for (qsizetype t = 0; t < titles.size(); ++t) {
                    const qsizetype from = header.indexOf(titles[t]);
                    const qsizetype to = t + 1 < titles.size() ? header.indexOf(titles[t + 1]) : line.size();
                    fields << line.mid(from, to - from).trimmed();
                }
            }
            const QString value =
                fields.value(titles.indexOf(run.format == "csv" ? "remote1 (°C)" : "remote1"));
            const bool open = run.format == "csv"
                                  ? fields.value(titles.indexOf("remote1 status")) == "open diode"
                                  : value == "open diode";
            bool number = false;
            const double celsius = value.section(' ', 0, 0).toDouble(&number);
            samples.push_back({QDateTime::fromString(fields.value(0), Qt::ISODateWithMs),
                               number ? std::optional(celsius) : std::nullopt, open ? "open diode" : ""});
        }
    }
    ASSERT_GE(samples.size(), 12u) << outcome.out.constData();
    int inside = 0, outside = 0;
    for (const Sample& sample : samples) {
        ASSERT_TRUE(sample.time.isValid()) << outcome.out.constData();
        // A fault is never a number, and a sample without a number has the fault.
        EXPECT_NE(sample.remote1.has_value(), sample.fault == "open diode") << outcome.out.constData();
        const double earliest = samples.front().time.msecsTo(sample.time) / 1000.0;
        const double latest = started.msecsTo(sample.time) / 1000.0;
        if (earliest >= kOpenAt + kConversion && latest <= kMendedAt - kConversion) {
            ++inside;
            EXPECT_EQ(sample.fault, "open diode") << latest << " s\n" << outcome.out.constData();
        } else if (latest < kOpenAt - kConversion || earliest > kMendedAt + kConversion) {
            ++outside;
            EXPECT_EQ(sample.remote1, std::optional(33.75)) << latest << " s\n" << outcome.out.constData();
        }
    }
    EXPECT_GE(inside, 3);
    EXPECT_GE(outside, 2);
}

INSTANTIATE_TEST_SUITE_P(Formats, CliDiodeFault,
                         ::testing::Values(FaultRun{"Text", "text"}, FaultRun{"Json", "json"},
                                           FaultRun{"Ndjson", "ndjson"}, FaultRun{"Csv", "csv"}),
                         [](const ::testing::TestParamInfo<FaultRun>& row) { return row.param.name; });

// The grid i2cdump prints for the power-on chip, built from the register table: every read
// address holds its record's default, the temperatures those the board was given.
TEST(CliGrids, DumpIsI2cdumpsGridByteForByte) {
    RegMapStuff::BuildRegisterTable();
    const Outcome outcome =
        runOne({{"dump", "--format", "i2cdump"}, "drift=off,local=25,remote1=33.75,remote2=30.5"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    const std::map<int, int> measured{{0x00, 0x19}, {0x01, 0x21}, {0x10, 0xC0}, {0x30, 0x1E}, {0x33, 0x80}};
    const auto reference = [&](int status1) {
        QByteArray grid = "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f    0123456789abcdef\n";
        for (int row = 0; row < 256; row += 16) {
            QByteArray ascii;
            grid += QByteArray::number(row, 16).rightJustified(2, '0') + ": ";
            for (int address = row; address < row + 16; ++address) {
                const int index = RegMapStuff::FindRegisterByReadAddr(address);
                if (index == RegMapStuff::kNotFound) {
                    grid += "XX ";
                    ascii += 'X';
                    continue;
                }
                int value = RegMapStuff::RegisterTable[index].DefaultValue;
                if (measured.count(address))
                    value = measured.at(address);
                if (address == 0x02)
                    value = status1;
                grid += QByteArray::number(value, 16).rightJustified(2, '0') + ' ';
                ascii += value == 0 || value == 0xFF ? '.' : value < 32 || value >= 127 ? '?' : char(value);
            }
            grid += "   " + ascii + "\n";
        }
        return grid;
    };
    // Status Reg 1's busy bit is the conversion's: either grid is the chip's.
    EXPECT_TRUE(outcome.out == reference(0x00) || outcome.out == reference(0x80)) << outcome.out.constData();
}

TEST(CliGrids, ScanAsI2cdetectMarksTheChips) {
    const Outcome outcome = runOne({{"scan", "--format", "i2cdetect"}, "drift=off,address=0x4C+0x2A"});
    ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
    const QList<QByteArray> lines = outcome.out.split('\n');
    ASSERT_EQ(lines.size(), 11) << outcome.out.constData();
    EXPECT_EQ(lines[0], "     0  1  2  3  4  5  6  7  8  9  a  b  c  d  e  f");
    // Blanks outside the searched range (0x18..0x4E), "--" where nothing answers.
    EXPECT_EQ(lines[2], "10: " + QByteArray(24, ' ') + QByteArray("-- ").repeated(8));
    EXPECT_EQ(lines[3], "20: " + QByteArray("-- ").repeated(10) + "2a " + QByteArray("-- ").repeated(5));
    EXPECT_EQ(lines[5], "40: " + QByteArray("-- ").repeated(12) + "4c -- --    ");
    EXPECT_EQ(lines[8], "70: " + QByteArray(48, ' '));
    EXPECT_EQ(lines[9], "OTK5530: 2a 4c");
}

// What scripts read: CSV through python's csv module, NDJSON through jq, LF line ends,
// and "-o -" is standard output.
TEST(CliPipes, CsvAndNdjsonReadByTheirToolsWithLfLineEnds) {
    struct Reader {
        QStringList arguments;
        QString program;
        QStringList programArguments;
    };
    // Prints one line per row read, so every reader answers a line for each line given.
    const QString python =
        "import csv,sys\nrows=list(csv.reader(sys.stdin))\n"
        "assert all(len(r)==len(rows[0]) for r in rows), rows\nprint('\\n'.join('r'*len(rows)))\n";
    for (const Reader& reader :
         {Reader{{"log", "--samples", "3", "--interval", "10", "--format", "csv", "-o", "-"},
                 "python3",
                 {"-c", python}},
          Reader{{"dump", "--format", "csv", "-o", "/dev/stdout"}, "python3", {"-c", python}},
          Reader{{"log", "--samples", "3", "--interval", "10", "--format", "ndjson", "-o", "-"},
                 "jq",
                 {"-c", "."}},
          Reader{{"sensors", "--format", "ndjson"}, "jq", {"-c", "."}}}) {
        const Outcome outcome = runOne({reader.arguments});
        ASSERT_EQ(outcome.exitCode, 0) << outcome.err.toStdString();
        EXPECT_FALSE(outcome.out.contains('\r')) << outcome.out.constData();
        EXPECT_TRUE(outcome.out.endsWith('\n'));
        QProcess tool;
        tool.start(reader.program, reader.programArguments);
        ASSERT_TRUE(tool.waitForStarted()) << reader.program.toStdString() << " is not installed";
        tool.write(outcome.out);
        tool.closeWriteChannel();
        ASSERT_TRUE(tool.waitForFinished(kRunTimeoutMs));
        EXPECT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().constData() << outcome.out.constData();
        EXPECT_EQ(tool.readAllStandardOutput().count('\n'), outcome.out.count('\n'))
            << reader.arguments.join(' ').toStdString();
    }
}

// A recall that loses the link half-way shows exactly the registers written before it.
TEST(CliRecall, LostLinkLeavesTheRegistersWrittenSoFar) {
    QTemporaryDir dir;
    QFile settings(dir.filePath("board.sav"));
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
    settings.write(settingsFileBytes());
    settings.close();
    const Outcome whole = runOne({{"recall", settings.fileName(), "--format", "ndjson"}});
    ASSERT_EQ(whole.exitCode, 0) << whole.err.toStdString();
    const QList<QByteArray> all = whole.out.split('\n');
    ASSERT_GT(all.size(), 10);
    // The file from standard input gives the same writes.
    EXPECT_EQ(runOne({{"recall", "-", "--format", "ndjson"}, "drift=off", readAll(settings.fileName())}).out,
              whole.out);
    // The link lost at every few requests, from the connection to past the recall's end.
    std::vector<Job> cuts;
    for (int failAfter = 0; failAfter < 600; failAfter += 9)
        cuts.push_back({{"recall", settings.fileName(), "--format", "ndjson"},
                        QString("drift=off,fail_after=%1").arg(failAfter)});
    int halfWay = 0;
    for (const Outcome& cut : runAll(cuts)) {
        if (cut.exitCode == 0)
            continue;
        EXPECT_EQ(cut.exitCode, 1);
        QList<QByteArray> lines = cut.out.split('\n');
        lines.removeAll({});
        ASSERT_FALSE(lines.isEmpty());
        EXPECT_TRUE(lines.takeLast().startsWith("{\"error\"")) << cut.out.constData();
        EXPECT_EQ(lines, all.mid(0, lines.size())) << cut.out.constData();
        halfWay += lines.isEmpty() ? 0 : 1;
    }
    EXPECT_GE(halfWay, 2);
}
