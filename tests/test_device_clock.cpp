#include "device/Clock.h"
#include "device/ZoneOffset.h"

#include <gtest/gtest.h>

namespace {

// Summer time starts at 10 s: the offset goes from one hour to two.
constexpr qint64 kChangeMs = 10'000;

TEST(ZoneOffsetRule, LooksUpOnceASecondAndNeverMissesAChange) {
    int lookups = 0;
    ZoneOffset offset([&lookups](qint64 utcMs) {
        ++lookups;
        return utcMs < kChangeMs ? 3600 : 7200;
    });
    struct Step {
        const char* name;
        qint64 utcMs;
        int expected;
        int lookupsSoFar;
    };
    const Step steps[] = {
        {"the first reading looks up now and a second on", 0, 3600, 2},
        {"within that second nothing is looked up", 999, 3600, 2},
        {"the next second looks up again", 1000, 3600, 4},
        // The offset a second on differs: this one is not kept.
        {"a second before the change", 9200, 3600, 6},
        {"still before the change, looked up again", 9999, 3600, 8},
        {"the change itself", kChangeMs, 7200, 10},
        {"after the change, kept", kChangeMs + 500, 7200, 10},
        {"a clock set back looks up afresh", 5000, 3600, 12},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        EXPECT_EQ(offset.at(step.utcMs), step.expected);
        EXPECT_EQ(lookups, step.lookupsSoFar);
    }
}

TEST(SystemClock, LocalNowIsTheSystemsLocalTime) {
    // A zone an hour or two from UTC, so a lost offset shows; a rule, not a file of the zone database.
    qputenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3");
    const QDateTime system = QDateTime::currentDateTime();
    const QDateTime ours = Clock::LocalNow();
    EXPECT_EQ(ours.offsetFromUtc(), system.offsetFromUtc());
    EXPECT_NE(ours.offsetFromUtc(), 0);
    EXPECT_LT(qAbs(system.msecsTo(ours)), 1000);
    qunsetenv("TZ");
}

} // namespace
