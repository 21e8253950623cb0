#include "adapter/SimChip.h"
#include "device/RegMapStuff.h"

#include <QStringList>

#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {

// Status bits.
constexpr uint8_t kLHgh = 0x40, kLLow = 0x20, kR1Hgh = 0x10, kR1Lw = 0x08, kD1ON = 0x04, kR1TM1 = 0x02,
                  kLTM1 = 0x01;
constexpr uint8_t kR2Hg = 0x10, kR2LW = 0x08, kD2ON = 0x04, kR2TM1 = 0x02, kALRT = 0x01;
constexpr uint8_t kBsy = 0x80;
constexpr int kStatus1 = 0x02, kStatus2 = 0x23;
// The documented conversion time: 5 ms for each of the three channels.
constexpr double kConversionTime = 0.015;
// The default rate converts 16 times a second.
constexpr double kDefaultPeriod = 0.0625;

// Drift off, time in the test's hands.
class SimChipTest : public ::testing::Test {
protected:
    // Leaves the clock 30 ms after power-on, between two conversions: steps of whole periods
    // from there never meet the busy bit.
    SimChip& powerOn() {
        chip = std::make_unique<SimChip>(settings, [this] { return now; });
        now += 0.03;
        return *chip;
    }
    void aConversionLater() { now += kDefaultPeriod; }
    uint8_t read(int address) { return chip->Read(address); }
    void write(int address, uint8_t value) { chip->Write(address, value); }

    double now = 1000.0;
    ChipSettings settings = [] {
        ChipSettings s;
        s.drift = false;
        return s;
    }();
    std::unique_ptr<SimChip> chip;
};

TEST_F(SimChipTest, PowerOnValuesFollowTheRegisterTable) {
    RegMapStuff::BuildRegisterTable();
    powerOn();
    // What the chip measures at power-on instead of a default (drift off, Remote 2 at 30.5 °C).
    const std::map<int32_t, uint8_t> measured = {{0x00, 25},   {0x01, 33}, {0x02, 0x00}, {0x10, 0xC0},
                                                 {0x23, 0x00}, {0x30, 30}, {0x33, 0x80}};
    for (int i = 1; i < RegMapStuff::kRegisterCount; ++i) {
        const RegisterRecord& record = RegMapStuff::RegisterTable[i];
        // A shared address shows Remote 1's register, the first record at that address.
        if (RegMapStuff::FindRegisterByReadAddr(record.ReadAddr) != i)
            continue;
        SCOPED_TRACE(record.Description.toStdString());
        const auto it = measured.find(record.ReadAddr);
        EXPECT_EQ(read(record.ReadAddr), it != measured.end() ? it->second : record.DefaultValue);
    }
    // Write-only and unused addresses read 0.
    for (int address : {0x09, 0x0D, 0x0F, 0x38, 0x80}) {
        SCOPED_TRACE(address);
        EXPECT_EQ(read(address), 0x00);
    }
}

TEST_F(SimChipTest, ConfiguredPowerOnValuesReplaceTheDefaults) {
    settings.powerOn = {{0x03, 0x08}, {0xFE, 0x00}, {0x07, 0x60}};
    powerOn();
    EXPECT_EQ(read(0xFE), 0x00);
    // The chip comes up with Remote 2 selected, so the shared address shows Remote 2.
    EXPECT_EQ(read(0x01), 30);
    write(0x09, 0x00);
    EXPECT_EQ(read(0x07), 0x60);
}

struct SharedRegister {
    int read, write, remote2;
};

TEST_F(SimChipTest, BankBitSwitchesSharedAddressesOntoRemote2Registers) {
    powerOn();
    const std::vector<SharedRegister> shared = {{0x07, 0x0D, 0x31}, {0x08, 0x0E, 0x32}, {0x11, 0x11, 0x34},
                                                {0x12, 0x12, 0x35}, {0x13, 0x13, 0x36}, {0x14, 0x14, 0x37},
                                                {0x19, 0x19, 0x39}};
    for (const SharedRegister& r : shared) {
        SCOPED_TRACE(r.read);
        write(0x09, 0x00);
        const uint8_t remote1 = read(r.read);
        write(0x09, 0x08);
        write(r.write, 0x20);
        EXPECT_EQ(read(r.remote2), 0x20);
        write(r.remote2, 0x40);
        EXPECT_EQ(read(r.read), 0x40);
        write(0x09, 0x00);
        EXPECT_EQ(read(r.read), remote1);
    }
    write(0x09, 0x08);
    EXPECT_EQ(read(0x01), read(0x30));
    EXPECT_EQ(read(0x10), read(0x33));
}

TEST_F(SimChipTest, WritesToReadOnlyOrUnknownAddressesChangeNothing) {
    powerOn();
    // 0x03..0x08 are read addresses; their registers are written six higher.
    for (int address : {0x00, 0x01, 0x02, 0x03, 0x04, 0x05, 0x10, 0x23, 0x30, 0x33, 0x38, 0xFE, 0xFF, 0x80})
        write(address, 0x44);
    EXPECT_EQ(read(0x00), 25);
    EXPECT_EQ(read(0x03), 0x00);
    EXPECT_EQ(read(0x04), 0x08);
    EXPECT_EQ(read(0x05), 0x55);
    EXPECT_EQ(read(0x30), 30);
    EXPECT_EQ(read(0x38), 0x00);
    EXPECT_EQ(read(0xFE), 0x41);
}

struct Encoding {
    const char* name;
    std::array<double, 3> celsius;
    uint8_t config1;
    uint8_t local, r1High, r1Low, r2High, r2Low;
};

class SimChipEncoding : public SimChipTest, public ::testing::WithParamInterface<Encoding> {};

TEST_P(SimChipEncoding, TemperatureRegistersHoldTheRangesEncoding) {
    const Encoding& e = GetParam();
    settings.start = e.celsius;
    settings.powerOn[0x03] = e.config1;
    powerOn();
    EXPECT_EQ(read(0x00), e.local);
    EXPECT_EQ(read(0x01), e.r1High);
    EXPECT_EQ(read(0x10), e.r1Low);
    EXPECT_EQ(read(0x30), e.r2High);
    EXPECT_EQ(read(0x33), e.r2Low);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, SimChipEncoding,
    ::testing::Values(Encoding{"Normal", {25, 33.75, 30.125}, 0x00, 25, 33, 0xC0, 30, 0x20},
                      // Below zero the normal range can only show 0.
                      Encoding{"NormalClampsBelowZero", {-10, -0.5, -40}, 0x00, 0, 0, 0x00, 0, 0x00},
                      Encoding{"NormalClampsAbove255", {300, 255.875, 256}, 0x00, 255, 255, 0xE0, 255, 0xE0},
                      Encoding{"ExtendedAdds64", {-10, -10.25, 150.5}, 0x04, 54, 53, 0xC0, 214, 0x80},
                      Encoding{"ExtendedLowestIsMinus64", {-64, -70, 0}, 0x04, 0, 0, 0x00, 64, 0x00},
                      Encoding{"ExtendedHighestIs191", {191, 191.875, 200}, 0x04, 255, 255, 0xE0, 255, 0xE0},
                      // Local has whole degrees only; remote rounds to the nearest eighth.
                      Encoding{"RoundsToResolution", {25.6, 33.66, 30.05}, 0x00, 26, 33, 0xA0, 30, 0x00}),
    [](const ::testing::TestParamInfo<Encoding>& row) { return std::string(row.param.name); });

TEST_F(SimChipTest, RemoteOffsetsAreAddedFromTheNextConversion) {
    powerOn();
    write(0x11, 0xFE); // -2 °C
    write(0x12, 0x20); // +0.125 °C
    write(0x34, 0x01);
    write(0x35, 0x80);
    EXPECT_EQ(read(0x01), 33);
    aConversionLater();
    EXPECT_EQ(read(0x01), 31); // 33.75 - 1.875 = 31.875
    EXPECT_EQ(read(0x10), 0xE0);
    EXPECT_EQ(read(0x30), 32); // 30.5 + 1.5
    EXPECT_EQ(read(0x33), 0x00);
}

TEST_F(SimChipTest, HighBitSetsOnlyAfterAConversionAndLatchesUntilReadAfterItWent) {
    powerOn();
    write(0x0B, 20);
    EXPECT_EQ(read(kStatus1), 0x00);
    aConversionLater();
    EXPECT_EQ(read(kStatus1), kLHgh);
    // The condition still holds: reading does not clear it.
    EXPECT_EQ(read(kStatus1), kLHgh);
    write(0x0B, 85);
    aConversionLater();
    // Gone, but latched: the next read still shows it, then it is cleared.
    EXPECT_EQ(read(kStatus1), kLHgh);
    EXPECT_EQ(read(kStatus1), 0x00);
}

TEST_F(SimChipTest, LatchedBitSurvivesConversionsWithoutARead) {
    powerOn();
    write(0x0C, 30); // local low limit above 25
    aConversionLater();
    write(0x0C, 0);
    for (int i = 0; i < 5; ++i)
        aConversionLater();
    EXPECT_EQ(read(kStatus1), kLLow);
    EXPECT_EQ(read(kStatus1), 0x00);
}

struct LimitCase {
    const char* name;
    std::vector<std::pair<int, uint8_t>> writes;
    int statusRegister;
    uint8_t expected;
    uint8_t watched = 0x7E; // the high, low, open and THERM bits; not ALERT
};

class SimChipLimits : public SimChipTest, public ::testing::WithParamInterface<LimitCase> {};

TEST_P(SimChipLimits, ComparisonSetsItsStatusBit) {
    const LimitCase& c = GetParam();
    powerOn();
    for (const auto& [address, value] : c.writes)
        write(address, value);
    aConversionLater();
    EXPECT_EQ(read(c.statusRegister) & c.watched, c.expected);
}

// Bits 5..0 of a limit's low byte do not count, while a reading keeps its eighths: 33.875 °C
// is above a limit of 33 + 0xFF (33.75 °C), and would not be if bit 5 or any below it counted.
TEST_F(SimChipTest, Remote1LimitLowBitsBelowTheQuarterDoNotCount) {
    settings.start[1] = 33.875;
    powerOn();
    write(0x0D, 33);
    write(0x13, 0xFF);
    aConversionLater();
    EXPECT_EQ(read(kStatus1) & (kR1Hgh | kR1Lw), kR1Hgh);
}

// Readings: Local 25, Remote1 33.75, Remote2 30.5.
INSTANTIATE_TEST_SUITE_P(
    Channels, SimChipLimits,
    ::testing::Values(LimitCase{"LocalHigh", {{0x0B, 24}}, kStatus1, kLHgh},
                      LimitCase{"LocalEqualToHighIsNotHigh", {{0x0B, 25}}, kStatus1, 0},
                      LimitCase{"LocalLow", {{0x0C, 26}}, kStatus1, kLLow},
                      LimitCase{"Remote1HighByQuarterDegree", {{0x0D, 33}, {0x13, 0x80}}, kStatus1, kR1Hgh},
                      LimitCase{"Remote1AtItsHighLimit", {{0x0D, 33}, {0x13, 0xC0}}, kStatus1, 0},
                      LimitCase{"Remote1Low", {{0x0E, 34}}, kStatus1, kR1Lw},
                      LimitCase{"Remote2High", {{0x31, 30}, {0x36, 0x40}}, kStatus2, kR2Hg},
                      LimitCase{"Remote2Low", {{0x32, 30}, {0x37, 0xC0}}, kStatus2, kR2LW},
                      LimitCase{"Remote2ThroughSharedAddresses", {{0x09, 0x08}, {0x0E, 31}}, kStatus2, kR2LW},
                      // Extended range: Local 25 °C reads 89; 88 is 24 °C. The other channels' default
                      // limits mean 21 °C there, so only the local high/low bits are watched.
                      LimitCase{
                          "ExtendedLocalHigh", {{0x09, 0x04}, {0x0B, 88}}, kStatus1, kLHgh, kLHgh | kLLow},
                      LimitCase{"ExtendedLimitsComparedInTheSameEncoding",
                                {{0x09, 0x04}, {0x0B, 89}, {0x0C, 89}},
                                kStatus1,
                                0,
                                kLHgh | kLLow},
                      // Remote1 33.75 °C reads 97.75; a limit of 97 + 0.75 is 33.75 °C.
                      LimitCase{"ExtendedRemote1AtItsHighLimit",
                                {{0x09, 0x04}, {0x0D, 97}, {0x13, 0xC0}},
                                kStatus1,
                                0,
                                kR1Hgh | kR1Lw},
                      LimitCase{"ExtendedRemote1High",
                                {{0x09, 0x04}, {0x0D, 97}, {0x13, 0x80}},
                                kStatus1,
                                kR1Hgh,
                                kR1Hgh | kR1Lw}),
    [](const ::testing::TestParamInfo<LimitCase>& row) { return std::string(row.param.name); });

struct ThermCase {
    const char* name;
    int limitRegister;
    int statusRegister;
    uint8_t bit;
    uint8_t setLimit, holdLimit, clearLimit; // with the default hysteresis of 10
};

class SimChipTherm : public SimChipTest, public ::testing::WithParamInterface<ThermCase> {};

TEST_P(SimChipTherm, ThermFollowsItsLimitWithHysteresisWithoutLatching) {
    const ThermCase& c = GetParam();
    powerOn();
    write(c.limitRegister, c.setLimit);
    aConversionLater();
    EXPECT_EQ(read(c.statusRegister) & c.bit, c.bit);
    // Inside the hysteresis band the bit stays.
    write(c.limitRegister, c.holdLimit);
    aConversionLater();
    EXPECT_EQ(read(c.statusRegister) & c.bit, c.bit);
    // Below limit minus hysteresis it clears with no read needed.
    write(c.limitRegister, c.clearLimit);
    aConversionLater();
    EXPECT_EQ(read(c.statusRegister) & c.bit, 0);
    // And the band does not set it again.
    write(c.limitRegister, c.holdLimit);
    aConversionLater();
    EXPECT_EQ(read(c.statusRegister) & c.bit, 0);
}

INSTANTIATE_TEST_SUITE_P(Channels, SimChipTherm,
                         ::testing::Values(ThermCase{"Local", 0x20, kStatus1, kLTM1, 24, 34, 36},
                                           ThermCase{"Remote1", 0x19, kStatus1, kR1TM1, 33, 43, 44},
                                           ThermCase{"Remote2", 0x39, kStatus2, kR2TM1, 30, 40, 41}),
                         [](const ::testing::TestParamInfo<ThermCase>& row) {
                             return std::string(row.param.name);
                         });

TEST_F(SimChipTest, ThermHysteresisRegisterWidensTheBand) {
    powerOn();
    write(0x21, 2);
    write(0x20, 24);
    aConversionLater();
    write(0x20, 28); // 25 < 28 - 2
    aConversionLater();
    EXPECT_EQ(read(kStatus1) & kLTM1, 0);
}

struct AlertCase {
    const char* name;
    std::vector<std::pair<int, uint8_t>> writes;
    std::array<bool, 2> open;
    bool alert;
};

class SimChipAlert : public SimChipTest, public ::testing::WithParamInterface<AlertCase> {};

TEST_P(SimChipAlert, AlertBitFollowsUnmaskedFaults) {
    const AlertCase& c = GetParam();
    settings.open = c.open;
    powerOn();
    for (const auto& [address, value] : c.writes)
        write(address, value);
    aConversionLater();
    EXPECT_EQ((read(kStatus2) & kALRT) != 0, c.alert);
}

INSTANTIATE_TEST_SUITE_P(
    Masks, SimChipAlert,
    ::testing::Values(AlertCase{"NoFault", {}, {false, false}, false},
                      // THERM alone is not an ALERT fault.
                      AlertCase{"ThermOnly", {{0x20, 20}}, {false, false}, false},
                      AlertCase{"LocalHigh", {{0x0B, 20}}, {false, false}, true},
                      AlertCase{
                          "LocalHighRemoteMasksDoNotApply", {{0x09, 0x03}, {0x0B, 20}}, {false, false}, true},
                      AlertCase{"LocalHighMaskAll", {{0x09, 0x80}, {0x0B, 20}}, {false, false}, false},
                      AlertCase{"Remote1Low", {{0x0E, 40}}, {false, false}, true},
                      AlertCase{"Remote1LowMasked", {{0x09, 0x02}, {0x0E, 40}}, {false, false}, false},
                      AlertCase{"Remote1LowOtherMask", {{0x09, 0x01}, {0x0E, 40}}, {false, false}, true},
                      AlertCase{"Remote2High", {{0x31, 20}}, {false, false}, true},
                      AlertCase{"Remote2HighMasked", {{0x09, 0x01}, {0x31, 20}}, {false, false}, false},
                      AlertCase{"Diode1Open", {}, {true, false}, true},
                      AlertCase{"Diode1OpenMasked", {{0x09, 0x02}}, {true, false}, false},
                      AlertCase{"Diode2OpenMasked", {{0x09, 0x01}}, {false, true}, false},
                      AlertCase{"Diode2OpenMaskAll", {{0x09, 0x80}}, {false, true}, false}),
    [](const ::testing::TestParamInfo<AlertCase>& row) { return std::string(row.param.name); });

TEST_F(SimChipTest, AlertClearsOnceTheLatchedBitIsReadAway) {
    powerOn();
    write(0x0B, 20);
    aConversionLater();
    write(0x0B, 85);
    aConversionLater();
    EXPECT_EQ(read(kStatus2), kALRT);
    EXPECT_EQ(read(kStatus1), kLHgh);
    EXPECT_EQ(read(kStatus2), 0x00);
}

TEST_F(SimChipTest, OpenDiodeReadsHighestValueAndSetsItsBits) {
    settings.open = {true, false};
    powerOn();
    EXPECT_EQ(read(0x01), 0xFF);
    EXPECT_EQ(read(0x10), 0xE0);
    EXPECT_EQ(read(0x30), 30);
    EXPECT_EQ(read(kStatus1) & (kD1ON | kR1Hgh | kR1TM1), kD1ON | kR1Hgh | kR1TM1);
    EXPECT_EQ(read(kStatus2) & kD2ON, 0);

    settings.open = {false, true};
    powerOn();
    EXPECT_EQ(read(0x30), 0xFF);
    EXPECT_EQ(read(0x33), 0xE0);
    EXPECT_EQ(read(kStatus2) & (kD2ON | kR2Hg), kD2ON | kR2Hg);
    EXPECT_EQ(read(kStatus1) & kD1ON, 0);
}

TEST_F(SimChipTest, LockBitIgnoresLimitAndConfigurationWritesUntilReset) {
    powerOn();
    write(0x24, 0x80);
    // Every writable register of the register table, at its write address.
    RegMapStuff::BuildRegisterTable();
    for (const RegisterRecord& record : RegMapStuff::RegisterTable) {
        if (record.ReadOnly)
            continue;
        SCOPED_TRACE(record.Description.toStdString());
        const uint8_t before = read(record.ReadAddr);
        write(record.WriteAddr, static_cast<uint8_t>(before ^ 0x11));
        EXPECT_EQ(read(record.ReadAddr), before);
    }
    EXPECT_EQ(read(0x24), 0x80);
    powerOn();
    write(0x0B, 0x30);
    EXPECT_EQ(read(0x05), 0x30);
}

struct RateCase {
    uint8_t code;
    double period;
};

class SimChipRate : public SimChipTest, public ::testing::WithParamInterface<RateCase> {};

// A new rate starts a fresh period; the conversion at its end keeps the busy bit set for
// the conversion time, and an offset change shows in the reading only when it is done.
TEST_P(SimChipRate, BusyForTheConversionTimeAfterEachPeriodReadingAtItsEnd) {
    const RateCase& c = GetParam();
    powerOn();
    // Another rate first: writing the rate the chip already has would not restart the period.
    write(0x0A, static_cast<uint8_t>(c.code ^ 0x01));
    write(0x0A, c.code);
    write(0x11, 0x01);
    const double written = now;
    constexpr double kMargin = 1e-4;
    struct Moment {
        double at;
        uint8_t status1;
        uint8_t remote1;
    };
    const Moment moments[] = {
        {c.period - kMargin, 0, 33},
        {c.period + kMargin, kBsy, 33},
        {c.period + kConversionTime - kMargin, kBsy, 33},
        {c.period + kConversionTime + kMargin, 0, 34},
        // And again in the next period.
        {2 * c.period + kMargin, kBsy, 34},
        {2 * c.period + kConversionTime + kMargin, 0, 34},
    };
    for (const Moment& m : moments) {
        SCOPED_TRACE(m.at);
        now = written + m.at;
        EXPECT_EQ(read(kStatus1), m.status1);
        EXPECT_EQ(read(0x01), m.remote1);
    }
}

INSTANTIATE_TEST_SUITE_P(Codes, SimChipRate,
                         ::testing::Values(RateCase{0, 16}, RateCase{1, 8}, RateCase{2, 4}, RateCase{3, 2},
                                           RateCase{4, 1}, RateCase{5, 0.5}, RateCase{6, 0.25},
                                           RateCase{7, 0.125}, RateCase{8, 0.0625}, RateCase{9, 1.0 / 32},
                                           // 10 and above convert continuously.
                                           RateCase{10, 1.0 / 64}, RateCase{15, 1.0 / 64},
                                           // Bits 7..4 do not choose the rate.
                                           RateCase{0x84, 1}));

TEST_F(SimChipTest, StandbyStopsConversionsUntilWoken) {
    powerOn();
    write(0x09, 0x40);
    write(0x11, 0x01);
    for (int step = 0; step < 10; ++step) {
        now += 0.25;
        EXPECT_EQ(read(kStatus1), 0) << "no conversion runs in standby";
    }
    now += 3600;
    EXPECT_EQ(read(0x01), 33);
    write(0x09, 0x00);
    now += kDefaultPeriod + kConversionTime - 0.001;
    EXPECT_EQ(read(0x01), 33);
    now += 0.002;
    EXPECT_EQ(read(0x01), 34);
}

TEST_F(SimChipTest, StandbyFromPowerOnLeavesTemperatureRegistersAtZero) {
    settings.powerOn[0x03] = 0x40;
    powerOn();
    now += 10;
    EXPECT_EQ(read(0x00), 0);
    EXPECT_EQ(read(0x01), 0);
}

TEST_F(SimChipTest, DriftOffHoldsTemperaturesExactlyAfterALongPause) {
    powerOn();
    now += 1e7;
    EXPECT_EQ(read(0x00), 25);
    EXPECT_EQ(read(0x01), 33);
    EXPECT_EQ(read(0x10), 0xC0);
    EXPECT_EQ(read(0x30), 30);
    EXPECT_EQ(read(0x33), 0x80);
}

double remote1(SimChip& chip) {
    return chip.Read(0x01) + (chip.Read(0x10) >> 5) / 8.0;
}

TEST_F(SimChipTest, DriftMovesSlowlyAroundTheStartAndRepeatsForASeed) {
    settings.drift = true;
    SimChip twin(settings, [this] { return now; });
    powerOn();
    double lowest = 1000, highest = -1000;
    for (int second = 0; second < 600; ++second) {
        now += 1;
        const double value = remote1(*chip);
        EXPECT_EQ(remote1(twin), value);
        lowest = std::min(lowest, value);
        highest = std::max(highest, value);
    }
    // A few degrees of swing over minutes, never far from the start value.
    EXPECT_GT(highest - lowest, 2.0);
    EXPECT_GT(lowest, 33.75 - 3);
    EXPECT_LT(highest, 33.75 + 3);
}

struct QueueCase {
    const char* name;
    int consecutiveAlert; // -1: left at its power-on value
    int conversions;
    std::vector<std::pair<int, uint8_t>> writes;
    uint8_t status1, status2; // once the fault has held for `conversions`
};

class SimChipFaultQueue : public SimChipTest, public ::testing::WithParamInterface<QueueCase> {};

TEST_P(SimChipFaultQueue, StatusBitAndAlertOnlyAfterTheQueuedNumberOfConversions) {
    const QueueCase& c = GetParam();
    powerOn();
    if (c.consecutiveAlert >= 0)
        write(0x22, static_cast<uint8_t>(c.consecutiveAlert));
    for (const auto& [address, value] : c.writes)
        write(address, value);
    for (int conversion = 1; conversion <= c.conversions + 1; ++conversion) {
        SCOPED_TRACE(conversion);
        aConversionLater();
        const bool due = conversion >= c.conversions;
        EXPECT_EQ(read(kStatus1), due ? c.status1 : 0);
        EXPECT_EQ(read(kStatus2), due ? c.status2 : 0);
    }
}

// Readings: Local 25, Remote1 33.75, Remote2 30.5. Bits 3..1 of 0x22 choose 1, 2, 3 or 4.
INSTANTIATE_TEST_SUITE_P(
    Counts, SimChipFaultQueue,
    ::testing::Values(QueueCase{"PowerOnValueIsOne", -1, 1, {{0x0B, 20}}, kLHgh, kALRT},
                      QueueCase{"One", 0x00, 1, {{0x0B, 20}}, kLHgh, kALRT},
                      QueueCase{"Two", 0x02, 2, {{0x0B, 20}}, kLHgh, kALRT},
                      QueueCase{"Three", 0x06, 3, {{0x0E, 40}}, kR1Lw, kALRT},
                      QueueCase{"Four", 0x0E, 4, {{0x31, 20}}, 0, kR2Hg | kALRT},
                      // Bits 0 and 7..4 do not count.
                      QueueCase{"FourWithOtherBitsSet", 0xFF, 4, {{0x0B, 20}}, kLHgh, kALRT},
                      // A masked channel still sets its bit after the queue, without ALERT.
                      QueueCase{"TwoMasked", 0x02, 2, {{0x09, 0x02}, {0x0E, 40}}, kR1Lw, 0}),
    [](const ::testing::TestParamInfo<QueueCase>& row) { return std::string(row.param.name); });

TEST_F(SimChipTest, AConversionInsideTheLimitsRestartsTheQueue) {
    powerOn();
    write(0x22, 0x06); // three in a row
    write(0x0B, 20);
    aConversionLater();
    aConversionLater();
    write(0x0B, 85);
    aConversionLater();
    write(0x0B, 20);
    aConversionLater();
    aConversionLater();
    EXPECT_EQ(read(kStatus2), 0);
    aConversionLater();
    EXPECT_EQ(read(kStatus2), kALRT);
}

TEST_F(SimChipTest, ThermAndOpenDiodeBitsDoNotWaitForTheQueue) {
    settings.open = {true, false};
    settings.powerOn[0x22] = 0x0E;
    powerOn();
    write(0x20, 20);
    aConversionLater();
    // The open diode's high bit waits; its open bit and ALERT do not.
    EXPECT_EQ(read(kStatus1), kD1ON | kR1TM1 | kLTM1);
    EXPECT_EQ(read(kStatus2), kALRT);
}

struct DiodeFaultCase {
    const char* name;
    int diode;
    int statusRegister;
    uint8_t openBit;
    int tempHigh, tempLow;
    uint8_t mendedHigh, mendedLow;
};

class SimChipDiodeFault : public SimChipTest, public ::testing::WithParamInterface<DiodeFaultCase> {};

TEST_P(SimChipDiodeFault, OpensAndMendsMidRunAsTheStatusRegistersShow) {
    const DiodeFaultCase& c = GetParam();
    settings.openDuring[c.diode] = DiodeFault{2.0, 5.0};
    const double poweredOn = now;
    powerOn();
    struct Moment {
        double at;
        bool open;
        bool alert;
    };
    // After the mend the latched high bit of the 0xFF reading keeps ALERT until a status read.
    const Moment moments[] = {
        {1.9, false, false}, {2.1, true, true}, {4.9, true, true}, {5.1, false, true}, {5.2, false, false}};
    for (const Moment& m : moments) {
        SCOPED_TRACE(m.at);
        now = poweredOn + m.at;
        EXPECT_EQ(read(kStatus2) & kALRT, m.alert ? kALRT : 0);
        EXPECT_EQ(read(c.statusRegister) & c.openBit, m.open ? c.openBit : 0);
        EXPECT_EQ(read(c.tempHigh), m.open ? 0xFF : c.mendedHigh);
        EXPECT_EQ(read(c.tempLow), m.open ? 0xE0 : c.mendedLow);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Diodes, SimChipDiodeFault,
    ::testing::Values(DiodeFaultCase{"Remote1", 0, kStatus1, kD1ON, 0x01, 0x10, 33, 0xC0},
                      DiodeFaultCase{"Remote2", 1, kStatus2, kD2ON, 0x30, 0x33, 30, 0x80}),
    [](const ::testing::TestParamInfo<DiodeFaultCase>& row) { return std::string(row.param.name); });

// A cross-check with the program's register table: the bits it names "Res" read 0, every
// other bit of a writable register keeps what was written or given at power-on.
TEST_F(SimChipTest, ReservedBitsOfTheRegisterTableReadZero) {
    RegMapStuff::BuildRegisterTable();
    for (const RegisterRecord& record : RegMapStuff::RegisterTable) {
        if (record.WriteAddr == 0 || record.WriteAddr == RegMapStuff::kPlaceholderAddress)
            continue;
        SCOPED_TRACE(record.Description.toStdString());
        const QStringList names = record.BitNames.split(':');
        ASSERT_EQ(names.size(), 8);
        uint8_t kept = 0;
        for (int bit = 0; bit < 8; ++bit)
            if (names[7 - bit] != "Res")
                kept |= static_cast<uint8_t>(1 << bit);
        // A fresh chip each time: a set lock bit would keep the next write out.
        settings.powerOn.clear();
        powerOn();
        write(record.WriteAddr, 0xFF);
        EXPECT_EQ(read(record.ReadAddr), kept);
        settings.powerOn = {{record.ReadAddr, 0xFF}};
        powerOn();
        EXPECT_EQ(read(record.ReadAddr), kept) << "as a power-on value";
    }
}

} // namespace
