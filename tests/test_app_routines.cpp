#include "app/MonitoringRoutines.h"
#include "chip/ChipRegisters.h"
#include "chip/StatusBits.h"
#include "device/GeneralStuff.h"
#include "support/AppFakes.h"
#include "support/ScriptedAdapter.h"

#include <gtest/gtest.h>

using namespace GeneralStuff;

namespace {
constexpr int32_t kChip = 0x4C;

class MonitoringRoutines : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSharedState();
        adapter = InstallScriptedAdapter();
        ThrowOnLinkError();
        DeviceAddress = kChip;
    }
    void TearDown() override { ResetSharedState(); }
    ScriptedAdapter* adapter = nullptr;
};

struct TemperatureCase {
    const char* name;
    bool extended;
    uint8_t local, remote1Low, remote1High, remote2Low, remote2High;
    float expected[3];
};

class ReadTemperaturesCases : public MonitoringRoutines,
                              public ::testing::WithParamInterface<TemperatureCase> {};
} // namespace

TEST_P(ReadTemperaturesCases, ConvertsTheRegisterBytes) {
    const TemperatureCase& c = GetParam();
    ExtendedRange = c.extended;
    adapter->setRegister(kChip, kLocalTemp, c.local);
    adapter->setRegister(kChip, kRemote1TempLow, c.remote1Low);
    adapter->setRegister(kChip, kRemote1TempHigh, c.remote1High);
    adapter->setRegister(kChip, kRemote2TempLow, c.remote2Low);
    adapter->setRegister(kChip, kRemote2TempHigh, c.remote2High);
    ReadTemperatures();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Temperatures[i], c.expected[i]);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, ReadTemperaturesCases,
    ::testing::Values(
        // High bytes are unsigned: 0xFF is 255 °C, not -1 °C.
        TemperatureCase{"LocalFFIs255", false, 0xFF, 0x00, 25, 0x00, 30, {255, 25, 30}},
        TemperatureCase{"HighBit128IsNotNegative", false, 0x80, 0x00, 0x80, 0x00, 0xC9, {128, 128, 201}},
        TemperatureCase{"ExtendedZeroIsMinus64", true, 0x00, 0x00, 0x00, 0x00, 0x00, {-64, -64, -64}},
        TemperatureCase{"ExtendedTopIs191Point75", true, 0xFF, 0xC0, 0xFF, 0xC0, 0xFF, {191, 191.75, 191.75}},
        // Bit 5 (0.125 °C) is dropped: 0xE0 gives .75, 0x20 gives 0.
        TemperatureCase{"LowE0IsThreeQuarters", false, 25, 0xE0, 33, 0x20, 30, {25, 33.75, 30}},
        TemperatureCase{"LowQuarters", false, 0, 0x40, 10, 0x80, 20, {0, 10.25, 20.5}},
        TemperatureCase{"LowBitsBelow6Ignored", false, 0, 0x3F, 10, 0x1F, 20, {0, 10, 20}}),
    [](const ::testing::TestParamInfo<TemperatureCase>& row) { return row.param.name; });

TEST_F(MonitoringRoutines, ReadTemperaturesReadsLowBeforeHighInAFixedOrder) {
    ReadTemperatures();
    EXPECT_EQ(adapter->reads(), (std::vector<int32_t>{0x00, 0x10, 0x01, 0x33, 0x30}));
    for (const AdapterRequest& r : adapter->requests)
        EXPECT_EQ(r.value, kChip);
}

TEST_F(MonitoringRoutines, EachTemperatureIsStoredAsSoonAsItIsComputed) {
    Temperatures = {1, 2, 3};
    adapter->setRegister(kChip, kLocalTemp, 40);
    adapter->setRegister(kChip, kRemote1TempLow, 0x40);
    adapter->setRegister(kChip, kRemote1TempHigh, 41);
    // The Remote2 low byte read fails: the link error ends the work there.
    adapter->status = [](const AdapterRequest& r, int) -> int16_t {
        return r.index == kRemote2TempLow ? 1 : 0;
    };
    EXPECT_THROW(ReadTemperatures(), LinkErrorExit);
    EXPECT_EQ(Temperatures[0], 40);
    EXPECT_EQ(Temperatures[1], 41.25);
    EXPECT_EQ(Temperatures[2], 3);
}

TEST(StatusLamps, EachBitLightsItsLampInTheLimitsWindowOrder) {
    struct Bit {
        int32_t reg;
        int bit;
        int lamp;
    };
    const Bit bits[] = {{kStatus1, 6, 0}, {kStatus1, 5, 1},  {kStatus1, 0, 8}, {kStatus1, 4, 2},
                        {kStatus1, 3, 3}, {kStatus1, 1, 9},  {kStatus1, 2, 6}, {kStatus2, 4, 4},
                        {kStatus2, 3, 5}, {kStatus2, 1, 10}, {kStatus2, 2, 7}, {kStatus2, 0, 11}};
    for (const Bit& b : bits) {
        SCOPED_TRACE(testing::Message() << "register " << b.reg << " bit " << b.bit);
        std::vector<int> order, on;
        for (const int32_t reg : {kStatus1, kStatus2})
            for (const LampSetting& lamp : LampsOfStatusRead(reg, reg == b.reg ? uint8_t(1 << b.bit) : 0)) {
                order.push_back(lamp.lamp);
                if (lamp.on)
                    on.push_back(lamp.lamp);
            }
        EXPECT_EQ(order, (std::vector<int>{0, 1, 8, 2, 3, 9, 6, 4, 5, 10, 7, 11}));
        EXPECT_EQ(on, std::vector<int>{b.lamp});
    }
}

TEST_F(MonitoringRoutines, StatusIsPolledAndUnshownBitsLightNothing) {
    adapter->setRegister(kChip, kStatus1, 0x80);
    adapter->setRegister(kChip, kStatus2, 0xE0);
    FakeLimits limits;
    UpdateStatusLamps();
    const std::vector<AdapterRequest> expected{{0xDC, kChip, kStatus1, 1, 1}, {0xDC, kChip, kStatus2, 1, 1}};
    EXPECT_EQ(adapter->requests, expected);
    EXPECT_EQ(limits.lamps.size(), 12u);
    EXPECT_TRUE(std::none_of(limits.lamps.begin(), limits.lamps.end(),
                             [](const FakeLimits::Lamp& l) { return l.on; }));
}

TEST_F(MonitoringRoutines, FailedStatusPollIsNotReported) {
    adapter->status = [](const AdapterRequest&, int) -> int16_t { return 5; };
    FakeLimits limits;
    EXPECT_NO_THROW(UpdateStatusLamps());
    EXPECT_EQ(limits.lamps.size(), 12u);
}

TEST_F(MonitoringRoutines, GaugesAndGraphGetTheReading) {
    Temperatures = {25, 33.75f, -3.5f};
    GraphInterval = 50;
    ReadInterval = 250;
    FakeLimits limits;
    FakeGraph graph;
    UpdateGauges(State.LastReading);
    UpdateGraph(State.LastReading);
    ASSERT_EQ(limits.gauges.size(), 3u);
    ASSERT_EQ(graph.samples.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(limits.gauges[i].temperature, Temperatures[i]);
        EXPECT_EQ(graph.samples[i].trace, i + 1);
        EXPECT_EQ(graph.samples[i].value, Temperatures[i]);
    }
    // A graph update may find a reading up to one read interval old.
    EXPECT_EQ(graph.gaps, std::vector<double>{0.3});
}
