#include "device/RangeHold.h"

#include <functional>
#include <gtest/gtest.h>

namespace {

struct HoldCase {
    const char* name;
    std::function<void(RangeHold&)> events; // what happened from t = 0 on
    double lastHeldMs;                      // still held here
    double releasedMs;                      // and no longer here (0: never released)
};

class RangeHoldCases : public ::testing::TestWithParam<HoldCase> {};

TEST_P(RangeHoldCases, HoldsUntilAConversionUnderTheNewRangeIsCertain) {
    const HoldCase& c = GetParam();
    RangeHold hold;
    c.events(hold);
    EXPECT_TRUE(hold.holds(c.lastHeldMs));
    if (c.releasedMs > 0)
        EXPECT_FALSE(hold.holds(c.releasedMs));
    else
        EXPECT_TRUE(hold.holds(1e9));
}

INSTANTIATE_TEST_SUITE_P(Cases, RangeHoldCases,
                         ::testing::Values(
                             // Two periods: the next conversion starts within one and ends within the next.
                             HoldCase{"SixteenPerSecond",
                                      [](RangeHold& h) {
                                          h.rangeSwitched(0, false);
                                          h.rateRead(0x08);
                                      },
                                      124, 125},
                             HoldCase{"SixteenSecondPeriod",
                                      [](RangeHold& h) {
                                          h.rangeSwitched(0, false);
                                          h.rateRead(0x00);
                                      },
                                      31999, 32000},
                             // Averaging (bit 7) and the reserved bits do not change the period.
                             HoldCase{"AveragingBitIgnored",
                                      [](RangeHold& h) {
                                          h.rangeSwitched(0, false);
                                          h.rateRead(0xF4);
                                      },
                                      1999, 2000},
                             // Continuous is at least 32 conversions a second.
                             HoldCase{"Continuous",
                                      [](RangeHold& h) {
                                          h.rangeSwitched(0, false);
                                          h.rateRead(0x0A);
                                      },
                                      62, 62.5},
                             // A new rate starts a new period on the chip: the hold starts again from it.
                             HoldCase{"SlowerRateDuringHold",
                                      [](RangeHold& h) {
                                          h.rangeSwitched(0, false);
                                          h.rateRead(0x08);
                                          h.rateWritten(100, 0x04);
                                      },
                                      2099, 2100},
                             // A faster rate never shortens what was already due.
                             HoldCase{"FasterRateDuringHold",
                                      [](RangeHold& h) {
                                          h.rangeSwitched(0, false);
                                          h.rateRead(0x04);
                                          h.rateWritten(100, 0x08);
                                      },
                                      1999, 2000},
                             // In standby the chip does not convert: held until it wakes, then two periods.
                             HoldCase{"StandbyAtSwitch",
                                      [](RangeHold& h) {
                                          h.rangeSwitched(0, true);
                                          h.rateRead(0x08);
                                      },
                                      5000, 0},
                             HoldCase{"WakesFromStandby",
                                      [](RangeHold& h) {
                                          h.rangeSwitched(0, true);
                                          h.standbySeen(5000, false);
                                          h.rateRead(0x08);
                                      },
                                      5124, 5125},
                             HoldCase{"StandbyEnteredDuringHold",
                                      [](RangeHold& h) {
                                          h.rangeSwitched(0, false);
                                          h.rateRead(0x08);
                                          h.standbySeen(50, true);
                                      },
                                      5000, 0}),
                         [](const auto& row) { return std::string(row.param.name); });

TEST(RangeHold, NothingIsHeldBeforeASwitchOrAfterItSettled) {
    RangeHold hold;
    EXPECT_FALSE(hold.holds(0));
    hold.rateWritten(0, 0x00);
    EXPECT_FALSE(hold.holds(1)) << "a rate alone changes no reading";
    hold.rangeSwitched(0, false);
    EXPECT_TRUE(hold.needsRate());
    EXPECT_TRUE(hold.holds(1e6)) << "held until the rate in force is known";
    hold.rateRead(0x08);
    EXPECT_FALSE(hold.needsRate());
    hold.standbySeen(200, true);
    EXPECT_FALSE(hold.holds(200)) << "standby after the new range's conversion holds nothing";
}

} // namespace
