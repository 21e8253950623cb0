#include "adapter/SimBoard.h"
#include "adapter/VendorRequests.h"
#include "cli/PromMetrics.h"
#include "device/ChipSession.h"

#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

BoardScrape upBoard() {
    BoardScrape board{"sim-0x4c", "sim", 0x4C, 0x41, 0x52, true, 0.0125, 0, {}, false};
    for (SensorScrape& s : board.sensors)
        s = {25.25, 85, 0, 85, 75, false, false, false, false};
    return board;
}

struct FormatCase {
    const char* name;
    std::function<void(BoardScrape&)> change;
    MetricsFormat format;
    std::vector<std::string> present;
    std::vector<std::string> absent;
};

class FormatMetricsTest : public testing::TestWithParam<FormatCase> {};

TEST_P(FormatMetricsTest, Exposition) {
    BoardScrape board = upBoard();
    GetParam().change(board);
    const std::string text = FormatMetrics({board}, GetParam().format, "1.0.2");
    for (const std::string& line : GetParam().present)
        EXPECT_NE(text.find(line), std::string::npos) << line << "\nin\n" << text;
    for (const std::string& line : GetParam().absent)
        EXPECT_EQ(text.find(line), std::string::npos) << line << "\nin\n" << text;
}

const auto noChange = [](BoardScrape&) {};

INSTANTIATE_TEST_SUITE_P(
    Metrics, FormatMetricsTest,
    testing::Values(
        // An open diode's register reads 255.75: that must never reach a graph as a temperature.
        FormatCase{"OpenDiodeIsAFaultWithoutSample",
                   [](BoardScrape& b) {
                       b.sensors[1].celsius.reset();
                       b.sensors[1].fault = true;
                   },
                   MetricsFormat::Text004,
                   {"otk5530_temp_fault{chip=\"sim-0x4c\",sensor=\"remote1\"} 1\n",
                    "otk5530_temp_fault{chip=\"sim-0x4c\",sensor=\"remote2\"} 0\n",
                    "otk5530_temp_max_celsius{chip=\"sim-0x4c\",sensor=\"remote1\"} 85\n"},
                   {"otk5530_temp_celsius{chip=\"sim-0x4c\",sensor=\"remote1\"}",
                    "otk5530_temp_fault{chip=\"sim-0x4c\",sensor=\"local\"}"}},
        FormatCase{"DownBoardKeepsInfoAndCounter",
                   [](BoardScrape& b) {
                       b.up = false;
                       b.busErrorsTotal = 3;
                   },
                   MetricsFormat::Text004,
                   {"otk5530_up{chip=\"sim-0x4c\"} 0\n", "otk5530_bus_errors_total{chip=\"sim-0x4c\"} 3\n",
                    "otk5530_chip_info{chip=\"sim-0x4c\",backend=\"sim\",address=\"0x4c\",manufacturer_id="
                    "\"0x41\",die_revision=\"0x52\"} 1\n"},
                   {"otk5530_temp_", "otk5530_alert_asserted"}},
        FormatCase{"Text004TypesSamplesByTheirOwnName",
                   noChange,
                   MetricsFormat::Text004,
                   {"# TYPE otk5530_bus_errors_total counter\n", "# TYPE otk5530_chip_info gauge\n",
                    "otk5530_temp_celsius{chip=\"sim-0x4c\",sensor=\"local\"} 25.25\n",
                    "otk5530_temp_crit_hyst_celsius{chip=\"sim-0x4c\",sensor=\"remote2\"} 75\n",
                    "otk5530_exporter_build_info{version=\"1.0.2\"} 1\n", "otk5530_up{chip=\"sim-0x4c\"} 1\n",
                    "otk5530_scrape_duration_seconds{chip=\"sim-0x4c\"} 0.0125\n"},
                   {"# EOF", "# UNIT"}},
        FormatCase{"OpenMetricsNamesFamiliesWithoutSampleSuffix",
                   noChange,
                   MetricsFormat::OpenMetrics,
                   {"# TYPE otk5530_bus_errors counter\n", "otk5530_bus_errors_total{chip=\"sim-0x4c\"} 0\n",
                    "# TYPE otk5530_chip info\n", "# TYPE otk5530_exporter_build info\n",
                    "# UNIT otk5530_temp_celsius celsius\n",
                    "# UNIT otk5530_scrape_duration_seconds seconds\n"},
                   {"# TYPE otk5530_bus_errors_total", "# UNIT otk5530_temp_max_alarm"}},
        // A range switch in the extended range gives readings below zero in quarter degrees.
        FormatCase{"NegativeQuarterDegreesExact",
                   [](BoardScrape& b) { b.sensors[2].celsius = -0.75; },
                   MetricsFormat::Text004,
                   {"sensor=\"remote2\"} -0.75\n"},
                   {}}),
    [](const testing::TestParamInfo<FormatCase>& row) { return std::string(row.param.name); });

TEST(FormatMetrics, OpenMetricsEndsWithEofAndEscapesLabels) {
    const std::string text = FormatMetrics({upBoard()}, MetricsFormat::OpenMetrics, "1.0\"x\\");
    EXPECT_EQ(text.substr(text.size() - 6), "# EOF\n");
    EXPECT_NE(text.find("{version=\"1.0\\\"x\\\\\"} 1\n"), std::string::npos) << text;
}

TEST(FormatMetrics, AcceptHeaderChoosesOpenMetricsOnlyWhenAskedFor) {
    // What Prometheus 2.42 sends.
    EXPECT_EQ(MetricsFormatForAccept(
                  "application/openmetrics-text;version=1.0.0,application/"
                  "openmetrics-text;version=0.0.1;q=0.75,text/plain;version=0.0.4;q=0.5,*/*;q=0.1"),
              MetricsFormat::OpenMetrics);
    EXPECT_EQ(MetricsFormatForAccept("text/plain, application/openmetrics-text; q=0"),
              MetricsFormat::Text004);
    EXPECT_EQ(MetricsFormatForAccept(""), MetricsFormat::Text004);
    EXPECT_EQ(MetricsFormatForAccept("*/*"), MetricsFormat::Text004);
}

// The real promtool's linter and parser judge the exposition, not our idea of it.
TEST(FormatMetrics, PromtoolCheckMetricsPasses) {
    const QString promtool = QStandardPaths::findExecutable("promtool");
    ASSERT_FALSE(promtool.isEmpty()) << "promtool is installed by scripts/install-deps";
    BoardScrape faulty = upBoard();
    faulty.chip = "i2c-1-0x4d";
    faulty.sensors[2].celsius.reset();
    faulty.sensors[2].fault = true;
    BoardScrape down = upBoard();
    down.chip = "usb-1-3-0x4c";
    down.up = false;
    QProcess check;
    check.start(promtool, {"check", "metrics"});
    ASSERT_TRUE(check.waitForStarted());
    check.write(
        QByteArray::fromStdString(FormatMetrics({upBoard(), faulty, down}, MetricsFormat::Text004, "1.0.2")));
    check.closeWriteChannel();
    ASSERT_TRUE(check.waitForFinished(60000));
    EXPECT_EQ(check.exitCode(), 0) << check.readAll().toStdString();
    EXPECT_EQ(check.readAll(), QByteArray());
}

// Scrapes of a simulated board through its own session, as the exporter holds one per board.
struct Scraped {
    explicit Scraped(const std::string& sim, int address = 0x4C) {
        SimConfig config;
        std::string error;
        EXPECT_TRUE(ParseSimConfig(sim, config, error)) << error;
        board = std::make_unique<SimBoard>(config);
        uint8_t none = 0;
        board->VendorIORequest(VendorRequest::BusSetUp, VendorRequest::BusSetUpValue,
                               VendorRequest::BusSetUpIndex, 0, 0, &none);
        session = std::make_unique<ChipSession>(board.get(), address);
        identity.chip = "sim-0x4c";
        identity.backend = "sim";
        identity.address = address;
    }
    BoardScrape scrape() { return identity = ScrapeBoard(*session, identity); }
    std::unique_ptr<SimBoard> board;
    std::unique_ptr<ChipSession> session;
    BoardScrape identity;
};

// The extended range's offset applies to the limits as to the readings; the hysteresis counts down from
// THERM.
TEST(ScrapeBoard, ReadsTemperaturesLimitsAndIdentity) {
    Scraped sim("drift=off,remote1=33.75,reg.03=0x04,reg.21=0x05");
    const BoardScrape s = sim.scrape();
    ASSERT_TRUE(s.up);
    EXPECT_EQ(s.manufacturerId, 0x41);
    EXPECT_EQ(s.sensors[0].celsius, 25);
    EXPECT_EQ(s.sensors[1].celsius, 33.75);
    EXPECT_EQ(s.sensors[1].maxCelsius, 21);
    EXPECT_EQ(s.sensors[1].critHystCelsius, 16);
}

struct ScrapeCase {
    const char* name;
    std::string sim;
    int address;
    int scrapes;
    bool up;
    uint64_t busErrors;
    std::array<bool, 3> temperature; // a sample for local, remote1, remote2
    std::array<bool, 3> fault;
};

class ScrapeBoardTest : public testing::TestWithParam<ScrapeCase> {};

TEST_P(ScrapeBoardTest, LastScrape) {
    const ScrapeCase& c = GetParam();
    Scraped sim(c.sim, c.address);
    BoardScrape s;
    for (int i = 0; i < c.scrapes; ++i)
        s = sim.scrape();
    EXPECT_EQ(s.up, c.up);
    EXPECT_EQ(s.busErrorsTotal, c.busErrors);
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(s.sensors[i].celsius.has_value(), c.temperature[i]) << kSensorLabels[i];
        EXPECT_EQ(s.sensors[i].fault, c.fault[i]) << kSensorLabels[i];
    }
    // What the board said it was stays when it is lost.
    EXPECT_EQ(s.manufacturerId.has_value(), c.address == 0x4C);
}

INSTANTIATE_TEST_SUITE_P(
    Boards, ScrapeBoardTest,
    testing::Values(
        ScrapeCase{"Steady", "drift=off", 0x4C, 1, true, 0, {true, true, true}, {}},
        ScrapeCase{
            "OpenDiode", "drift=off,open=2", 0x4C, 2, true, 0, {true, true, false}, {false, false, true}},
        // The shared registers read Remote 2: Remote 1 has no reading of its own then.
        ScrapeCase{"Remote2Selected", "drift=off,reg.03=0x08", 0x4C, 1, true, 0, {true, false, true}, {}},
        // One scrape takes a few dozen transfers: the second fails part-way, the third at once.
        ScrapeCase{"LinkLost", "drift=off,fail_after=45", 0x4C, 3, false, 2, {}, {}},
        ScrapeCase{"NoChipAtTheAddress", "drift=off", 0x4D, 1, false, 0, {}, {}}),
    [](const testing::TestParamInfo<ScrapeCase>& row) { return std::string(row.param.name); });

} // namespace
