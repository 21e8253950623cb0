// The whole program on the simulated board while the extended range is switched on
// and off at several conversion rates: the chip keeps the old range's readings until
// its next conversion, and none of them reaches the readings or the log.
#include "chip/ChipRegisters.h"
#include "device/ChipAccess.h"
#include "device/RangeHold.h"
#include "files/LogStart.h"
#include "support/SimulatedBoardRun.h"

#include <gtest/gtest.h>
#include <iterator>

using namespace GeneralStuff;

namespace {
constexpr qint64 kStartMs = 10LL * 60 * 60 * 1000; // mid-morning, far from midnight
constexpr qint64 kTickMs = 10;
// drift=off holds the temperatures exactly: every reading is one of these.
constexpr float kLocal = 25, kRemote1 = 33.75f, kRemote2 = 30.5f;

struct RateCase {
    const char* name;
    uint8_t rate;
};

class RangeSwitchRun : public SimulatedBoardRun, public ::testing::WithParamInterface<RateCase> {
protected:
    RangeSwitchRun() : SimulatedBoardRun("drift=off", kStartMs) {}

    // What the temperature registers would give decoded with the range now in force.
    bool chipHoldsOldRange() const {
        const float local = static_cast<float>(ReadChip(kLocalTemp)) - (ExtendedRange ? 64 : 0);
        return local != kLocal;
    }
};

} // namespace

TEST_P(RangeSwitchRun, NoReadingFromTheOldRangeIsShownOrLogged) {
    frmMain main;
    startProgram(main);
    main.OpenChildWindow("frmLimits");
    main.OpenChildWindow("frmGraph");
    WriteChip(kConversionRateWrite, GetParam().rate);
    const double periodMs = ConversionPeriodSeconds(GetParam().rate) * 1000;
    const QString logFile = folder.filePath("range.csv");
    ASSERT_TRUE(StartLoggingAllChannels(logFile));

    // Switch on, off and on again, each switch a few periods (and at least half a second) after the last.
    const qint64 dwellMs = std::max<qint64>(500, static_cast<qint64>(3 * periodMs));
    const uint8_t switches[] = {kConfig1ExtendedRange, 0, kConfig1ExtendedRange, 0};
    double longestStaleMs = 0;
    bool sawStale = false;
    try {
        for (size_t n = 0; n < std::size(switches); ++n) {
            const uint8_t config = switches[n];
            // Each switch at another point of the chip's conversion period.
            const auto phaseMs = static_cast<qint64>(0.23 * static_cast<double>(n + 1) * periodMs);
            tickUntil(main, nowMs + dwellMs + phaseMs, kTickMs);
            WriteChip(kConfig1Write, config);
            const qint64 switchedAt = nowMs;
            // The simulated chip really does keep the old range for a while, and the
            // readings are held at least as long.
            for (const qint64 end = nowMs + dwellMs; nowMs < end; nowMs += kTickMs) {
                if (chipHoldsOldRange()) {
                    sawStale = true;
                    longestStaleMs = std::max(longestStaleMs, static_cast<double>(nowMs - switchedAt));
                    EXPECT_TRUE(ReadingsHeld())
                        << "stale data " << nowMs - switchedAt << " ms after the switch";
                }
                main.monitoringCycle().tick();
                ASSERT_EQ(Temperatures[0], kLocal) << nowMs - switchedAt << " ms after the switch";
                ASSERT_EQ(Temperatures[1], kRemote1);
                ASSERT_EQ(Temperatures[2], kRemote2);
            }
            EXPECT_FALSE(ReadingsHeld()) << "held longer than two periods";
        }
    } catch (const LinkErrorExit& error) {
        FAIL() << "link error " << error.code << " at " << nowMs << " ms";
    }
    EXPECT_TRUE(sawStale) << "the simulated chip kept no old-range data: the run proves nothing";
    EXPECT_LE(longestStaleMs, 2 * periodMs);
    RecordProperty("longest_stale_ms", static_cast<int>(longestStaleMs));
    EXPECT_TRUE(linkErrors.empty());
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();

    const std::vector<QStringList> rows = LogDataRows(logFile);
    EXPECT_GE(rows.size(), 8 * static_cast<size_t>(dwellMs / 100));
    for (const QStringList& row : rows)
        ASSERT_EQ(row, (QStringList{"25", "33.75", "30.5"})) << row.join(',').toStdString();
    main.close();
}

INSTANTIATE_TEST_SUITE_P(Rates, RangeSwitchRun,
                         ::testing::Values(RateCase{"OnePerSecond", 0x04}, RateCase{"FourPerSecond", 0x06},
                                           RateCase{"SixteenPerSecond", 0x08}, RateCase{"Continuous", 0x0A}),
                         [](const auto& row) { return std::string(row.param.name); });
