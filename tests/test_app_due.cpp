#include "app/MonitoringCycle.h"

#include <gtest/gtest.h>

namespace {
struct DueCase {
    const char* name;
    double last;
    double interval;
    double now;
    bool due;
};

class DueCheck : public ::testing::TestWithParam<DueCase> {};
} // namespace

TEST_P(DueCheck, FollowsTheStampIntervalAndMidnightRule) {
    const DueCase& c = GetParam();
    EXPECT_EQ(SectionDue(c.last, c.interval, c.now), c.due);
}

INSTANTIATE_TEST_SUITE_P(
    Table, DueCheck,
    ::testing::Values(DueCase{"NeverRunIsDueAfterItsInterval", 0, 0.1, 36000, true},
                      DueCase{"BeforeTheInterval", 100, 0.5, 100.25, false},
                      // Strict: exactly one interval later is not yet due.
                      DueCase{"ExactlyOneIntervalLater", 100, 0.5, 100.5, false},
                      DueCase{"JustPastTheInterval", 100, 0.5, 100.5001, true},
                      DueCase{"ZeroIntervalAtTheSameInstant", 100, 0, 100, true},
                      DueCase{"NegativeInterval", 100, -5, 100, true},
                      DueCase{"NegativeIntervalBeforeTheStamp", 100, -0.001, 99, true},
                      // The clock restarted at midnight: the stamp lies after now.
                      DueCase{"FirstTickAfterMidnight", 86399.99, 0.1, 0.005, true},
                      DueCase{"LongIntervalAcrossMidnight", 86000, 10, 5, true},
                      DueCase{"SameInstantIsNotMidnight", 500, 0.1, 500, false},
                      // Below 65536 s single precision still resolves a millisecond.
                      DueCase{"FineBeforeSixPm", 1000, 0.005, 1000.006, true},
                      // From 65536 s on, L + I lands on 1/128 s steps: 70000.005 becomes 70000.0078125.
                      DueCase{"SumRoundedUpAfter65536s", 70000, 0.005, 70000.006, false},
                      DueCase{"DueOncePastTheRoundedSum", 70000, 0.005, 70000.008, true},
                      // The stamp alone rounds up past a now only 1 ms later, which reads as midnight.
                      DueCase{"StampRoundedUpLooksLikeMidnight", 70000.004, 10, 70000.005, true}),
    [](const ::testing::TestParamInfo<DueCase>& row) { return row.param.name; });
