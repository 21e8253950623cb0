// The master timer armed only for the ticks at which a section is due runs every
// section at the same ticks as a timer that wakes every 10 ms. Simulated on the
// clock seam: ten minutes of ticks take no wall time.
#include "app/CycleSchedule.h"
#include "device/Clock.h"

#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {
constexpr int kTicks = 10 * 60 * 1000 / kMasterTickMs;
constexpr int kSectionCount = 5;

struct Region {
    const char* name;
    QTime start;
    int workMs; // how long each section's work takes before it is stamped
};
// Midnight: every stamp lies after the clock and is due. 18:12:16 (65536 s): from here the
// due check's single-precision sums move in 1/128 s steps.
const Region kRegions[] = {{"AroundMidnight", QTime(23, 55), 3},
                           {"AroundSixteenPastSix", QTime(18, 7, 16), 0}};
const int kIntervals[] = {0, 10, 50, 100, 500, 10000};

// Bit s of a tick's entry: section s ran on that tick.
using Runs = std::vector<uint8_t>;

class Simulation {
public:
    Simulation(const Region& region, unsigned sections, int intervalMs) : region_(region) {
        start_ = QDateTime(QDate(2026, 3, 14), region.start, Qt::OffsetFromUTC, 3600);
        settings_.continuousReading = sections & 1u;
        settings_.regMapReading = sections & 2u;
        settings_.limitsOpen = sections & 4u;
        settings_.graphOpen = sections & 8u;
        settings_.loggingActive = sections & 16u;
        settings_.readIntervalMs = intervalMs;
        settings_.graphIntervalMs = static_cast<int16_t>(intervalMs);
        settings_.logIntervalMs = intervalMs;
        settings_.logRunStarting = true;
        Clock::SetLocalNowSource([this] { return now_; });
    }
    ~Simulation() { Clock::SetLocalNowSource({}); }

    // The plain timer: a tick every 10 ms.
    Runs everyTick() {
        Runs runs(kTicks + 1, 0);
        for (int tick = 1; tick <= kTicks; ++tick)
            runs[tick] = this->tick(tick);
        return runs;
    }

    // The armed timer: after each tick (and at the start) it skips to the tick the scheduler names.
    Runs armed(int& wakeUps) {
        Runs runs(kTicks + 1, 0);
        at(0);
        for (int tick = next(); tick <= kTicks; tick += next()) {
            runs[tick] = this->tick(tick);
            ++wakeUps;
        }
        return runs;
    }

private:
    void at(int tick) { now_ = start_.addMSecs(qint64(tick) * kMasterTickMs); }
    int next() const {
        const int ticks = MasterTicksUntilDue(settings_, stamps_, Clock::LocalNow(), kMasterTickMs);
        EXPECT_TRUE(ticks >= 1 && ticks <= kMostTicksAhead) << ticks;
        return std::max(ticks, 1);
    }
    // The cycle's tick with each section's work taking region.workMs.
    uint8_t tick(int tick) {
        at(tick);
        const QDateTime tickTime = now_;
        uint8_t ran = 0;
        for (int s = 0; s < kSectionCount; ++s) {
            const CycleSection section = kCycleSections[s];
            std::optional<LogRow> row;
            if (section == CycleSection::Log) {
                if (!settings_.loggingActive ||
                    !(row = DueCycleLogRow(settings_, stamps_, Clock::LocalNow())))
                    continue;
                settings_.logRunStarting = false;
            } else if (!CycleSectionDue(section, settings_, stamps_, Clock::LocalNow())) {
                continue;
            }
            ran |= uint8_t(1u << s);
            now_ = tickTime.addMSecs(region_.workMs);
            StampSection(section, stamps_, Clock::LocalNow(), row);
            now_ = tickTime;
        }
        return ran;
    }

    const Region& region_;
    QDateTime start_;
    QDateTime now_;
    CycleSettings settings_;
    CycleStamps stamps_;
};

class ArmedMasterTimer : public ::testing::TestWithParam<Region> {};
} // namespace

TEST_P(ArmedMasterTimer, RunsEverySectionOnTheTicksOfThePlainTimer) {
    const Region& region = GetParam();
    for (int interval : kIntervals) {
        // The sections never look at each other, so the plain timer's runs of a set of them are
        // the union of each section's runs alone.
        std::map<int, Runs> alone;
        for (int s = 0; s < kSectionCount; ++s)
            alone[s] = Simulation(region, 1u << s, interval).everyTick();
        for (unsigned sections = 0; sections < (1u << kSectionCount); ++sections) {
            Runs expected(kTicks + 1, 0);
            for (int s = 0; s < kSectionCount; ++s)
                if (sections & (1u << s))
                    for (int tick = 0; tick <= kTicks; ++tick)
                        expected[tick] |= alone[s][tick];
            int wakeUps = 0;
            const Runs runs = Simulation(region, sections, interval).armed(wakeUps);
            ASSERT_EQ(runs, expected) << "interval " << interval << " ms, sections " << sections;
            // Woken on the ticks that run something, and on no other but one every 100 ms, so a
            // clock step is noticed soon.
            int expectedWakeUps = 0;
            for (int tick = 1, last = 0; tick <= kTicks; ++tick)
                if (expected[tick] || tick - last == kMostTicksAhead) {
                    ++expectedWakeUps;
                    last = tick;
                }
            ASSERT_EQ(wakeUps, expectedWakeUps) << "interval " << interval << " ms, sections " << sections;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Regions, ArmedMasterTimer, ::testing::ValuesIn(kRegions),
                         [](const ::testing::TestParamInfo<Region>& row) {
                             return std::string(row.param.name);
                         });
