// A run recorded with the program's log on a board whose Remote1 ramps through its limits
// (and whose Remote2 diode opens for a while), replayed at 1x and 10x: each replayed reading
// is the recorded one, and the high, THERM, open and ALERT bits follow it with the fault
// queue. Everything runs on fake clocks.
#include "adapter/SimChip.h"
#include "adapter/SimConfig.h"
#include "chip/ChipRegisters.h"
#include "chip/TemperatureCodec.h"
#include "files/LogStart.h"
#include "support/SimulatedBoardRun.h"

#include <gtest/gtest.h>

namespace {
constexpr qint64 kStartMs = 10LL * 60 * 60 * 1000;
constexpr int kRecordedSeconds = 90;
// Remote1 starts 1 °C under its 85 °C high and THERM limits and drifts about 2 °C up within
// the run, the noise making it flicker across them for a while.
constexpr double kRemote1Limit = 85;

class RecordedRamp : public SimulatedBoardRun {
protected:
    RecordedRamp() : SimulatedBoardRun("remote1=84, seed=7, open2_at=40, open2_until=50", kStartMs) {}

    // The program's log of the run: Local, Remote1 and Remote2 of each row, one a second.
    std::vector<QStringList> record() {
        frmMain main;
        startProgram(main);
        GeneralStuff::LogInterval = 1000;
        logFile = folder.filePath("ramp.csv");
        EXPECT_TRUE(StartLoggingAllChannels(logFile));
        tickUntil(main, kStartMs + kRecordedSeconds * 1000 + 500, 100);
        main.close();
        return LogDataRows(logFile);
    }

    QString logFile;
};

struct ReplayCase {
    const char* name;
    double speed;
    const char* rate;    // the conversion rate register
    size_t queueSamples; // recorded samples the fault queue of three conversions spans
};

// The status bits as they stand now: the first read returns (and clears) bits latched before.
struct StatusNow {
    uint8_t status1, status2;
};
StatusNow statusNow(SimChip& chip) {
    chip.Read(kStatus1);
    chip.Read(kStatus2);
    return {chip.Read(kStatus1), chip.Read(kStatus2)};
}
} // namespace

TEST_F(RecordedRamp, ReplayFollowsTheRecordingAtOneAndTenTimesItsPace) {
    const std::vector<QStringList> rows = record();
    ASSERT_GE(rows.size(), static_cast<size_t>(kRecordedSeconds));
    std::vector<double> remote1;
    std::vector<bool> remote2Open;
    for (const QStringList& row : rows) {
        remote1.push_back(row[1].toDouble());
        remote2Open.push_back(row[2] == "255.75"); // the program's open-diode reading
    }
    // The recording is worth replaying: Remote1 crosses the limit and Remote2 was open.
    ASSERT_LE(*std::min_element(remote1.begin(), remote1.end()), kRemote1Limit);
    ASSERT_GT(*std::max_element(remote1.begin(), remote1.end()), kRemote1Limit);
    ASSERT_TRUE(std::count(remote2Open.begin(), remote2Open.end(), true) >= 5);

    // One conversion a second at 1x, so the fault queue of three spans three samples; at 10x
    // the chip converts continuously, several times within each sample.
    const ReplayCase cases[] = {{"1x", 1, "0x04", 3}, {"10x", 10, "0x0A", 1}};
    for (const ReplayCase& replay : cases) {
        SCOPED_TRACE(replay.name);
        SimConfig config;
        std::string error;
        ASSERT_TRUE(ParseSimConfig("replay=" + logFile.toStdString() +
                                       ", replay_speed=" + std::to_string(replay.speed) +
                                       ", reg.04=" + replay.rate + ", reg.22=0x06, reg.21=1",
                                   config, error))
            << error;
        double now = 0;
        SimChip chip(config.chip, [&now] { return now; });
        bool therm = false;
        for (size_t i = 0; i < remote1.size(); ++i) {
            SCOPED_TRACE(i);
            // The end of the sample's turn, by when a conversion has measured it.
            now = (static_cast<double>(i) + 1) / replay.speed - 0.001;
            const StatusNow status = statusNow(chip);
            EXPECT_EQ(
                RemoteTemperatureCelsius(chip.Read(kRemote1TempHigh), chip.Read(kRemote1TempLow), false),
                remote1[i]);
            EXPECT_EQ(chip.Read(kRemote2TempHigh) == 0xFF, remote2Open[i]);

            bool high = i + 1 >= replay.queueSamples;
            for (size_t back = 0; high && back < replay.queueSamples; ++back)
                high = remote1[i - back] > kRemote1Limit;
            // THERM is not queued: set above the limit, cleared one degree (reg.21) below it.
            therm = remote1[i] > kRemote1Limit || (therm && remote1[i] >= kRemote1Limit - 1);
            EXPECT_EQ((status.status1 & kStatus1Remote1High) != 0, high) << remote1[i];
            EXPECT_EQ((status.status1 & kStatus1Remote1Therm) != 0, therm) << remote1[i];
            EXPECT_EQ((status.status2 & kStatus2Diode2Open) != 0, remote2Open[i]);
            EXPECT_EQ((status.status2 & kStatus2Alert) != 0, high || remote2Open[i]);
        }
    }
}
