// Each condition the chip reports, raised on the simulated board with the whole program
// running: in the real limits window exactly the lamps whose captions name it light.
#include "device/USBStuff.h"
#include "support/SimulatedBoardRun.h"
#include "views/StatusLamp.h"

#include <QLabel>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

namespace {
constexpr qint64 kStartMs = 10LL * 60 * 60 * 1000; // mid-morning, far from midnight
constexpr qint64 kTickMs = 125;
constexpr int kLampCount = 12;
// Readings Local 25, Remote1 33.75, Remote2 30.5; ALERT masked, so each high or low
// condition shows alone.
const char* const kMasked = "drift=off,reg.03=0x80";

struct LampCase {
    const char* name;
    const char* sim;
    std::vector<std::pair<int32_t, int32_t>> writes; // write address, value
    QStringList captions;
};

class LampConditions : public SimulatedBoardRun, public ::testing::WithParamInterface<LampCase> {
protected:
    LampConditions() : SimulatedBoardRun(GetParam().sim, kStartMs) {}
};

TEST_P(LampConditions, LightsTheLampsCaptionedForIt) {
    const LampCase& c = GetParam();
    frmMain main;
    startProgram(main);
    main.OpenChildWindow("frmLimits");
    try {
        for (const auto& [address, value] : c.writes)
            USBStuff::WriteRegister(GeneralStuff::DeviceAddress, address, value);
        tickUntil(main, nowMs + 1500, kTickMs);
    } catch (const LinkErrorExit& error) {
        FAIL() << "link error " << error.code;
    }
    QStringList lit;
    for (int i = 0; i < kLampCount; ++i) {
        const auto* lamp = main.findChild<StatusLamp*>(QString("tglAlert_%1").arg(i));
        const auto* caption = main.findChild<QLabel*>(QString("lblAlert_%1").arg(i));
        ASSERT_TRUE(lamp && caption) << i;
        if (lamp->isOn())
            lit << caption->text().simplified();
    }
    lit.sort();
    QStringList expected = c.captions;
    expected.sort();
    EXPECT_EQ(lit.join(", ").toStdString(), expected.join(", ").toStdString());
    main.close();
}

INSTANTIATE_TEST_SUITE_P(
    EachCondition, LampConditions,
    ::testing::Values(
        LampCase{"LocalHigh", kMasked, {{0x0B, 24}}, {"Local High"}},
        LampCase{"LocalLow", kMasked, {{0x0C, 26}}, {"Local Low"}},
        LampCase{"LocalTherm", kMasked, {{0x20, 24}}, {"Local THERM"}},
        LampCase{"Remote1High", kMasked, {{0x0D, 33}}, {"Remote1 High"}},
        LampCase{"Remote1Low", kMasked, {{0x0E, 34}}, {"Remote1 Low"}},
        LampCase{"Remote1Therm", kMasked, {{0x19, 33}}, {"Remote1 THERM"}},
        LampCase{"Remote2High", kMasked, {{0x31, 30}}, {"Remote2 High"}},
        LampCase{"Remote2Low", kMasked, {{0x32, 31}}, {"Remote2 Low"}},
        LampCase{"Remote2Therm", kMasked, {{0x39, 30}}, {"Remote2 THERM"}},
        // An open diode reads the highest value: above its high and THERM limits too.
        LampCase{
            "Diode1Open", "drift=off,reg.03=0x80,open=1", {}, {"D1 Open", "Remote1 High", "Remote1 THERM"}},
        LampCase{
            "Diode2Open", "drift=off,reg.03=0x80,open=2", {}, {"D2 Open", "Remote2 High", "Remote2 THERM"}},
        // ALERT needs a condition behind it: unmasked, a high local reading.
        LampCase{"Alert", "drift=off", {{0x0B, 24}}, {"Local High", "ALERT Bit"}}),
    [](const ::testing::TestParamInfo<LampCase>& row) { return std::string(row.param.name); });
} // namespace
