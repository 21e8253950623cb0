#include "chip/TemperatureCodec.h"
#include "views/GaugeScale.h"
#include "views/LimitEncoding.h"

#include <cmath>
#include <gtest/gtest.h>
#include <map>
#include <vector>

namespace {

struct ByteCase {
    const char* name;
    double value;
    bool extended;
    int32_t expected;
};

TEST(LimitEncoding, WholeDegreeByteRoundsHalfToEvenWithRangeOffset) {
    const std::vector<ByteCase> cases{
        {"80.5 goes down to the even 80", 80.5, false, 80},
        {"81.5 goes up to the even 82", 81.5, false, 82},
        {"80.25 rounds to nearest", 80.25, false, 80},
        {"80.75 rounds to nearest", 80.75, false, 81},
        {"extended adds 64 before rounding", -10, true, 54},
        {"extended half: -9.5 + 64 = 54.5 goes to 54", -9.5, true, 54},
        {"extended lower end is byte 0", -64, true, 0},
        {"normal upper end of the scale", 127, false, 127},
        {"beyond a byte is sent as 255", 300, false, 255},
    };
    for (const ByteCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WholeDegreeLimitByte(c.value, c.extended), c.expected);
    }
}

TEST(LimitEncoding, RemoteHighByteIsFloorNotRounded) {
    const std::vector<ByteCase> cases{
        {"50.75 keeps 50 whole degrees", 50.75, false, 50},
        {"50.9 keeps 50", 50.9, false, 50},
        {"negative floors toward minus infinity", -10.25, true, 53},
        {"whole negative value", -10, true, 54},
        {"extended 191.75 is 255", 191.75, true, 255},
    };
    for (const ByteCase& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(RemoteLimitHighByte(c.value, c.extended), c.expected);
    }
}

TEST(LimitEncoding, RemoteFractionByteHoldsQuarterDegreesInBits7And6) {
    const std::vector<std::pair<double, int32_t>> cases{
        {50.0, 0x00},
        {50.25, 0x40},
        {50.5, 0x80},
        {50.75, 0xC0},
        // 4 × 50.9 = 203.6 rounds to 204, a whole degree: the fraction is 0.
        {50.9, 0x00},
        // Negative values keep the two's-complement remainder: -41 AND 3 = 3.
        {-10.25, 0xC0},
        {-10.5, 0x80},
        {-0.75, 0x40},
    };
    for (const auto& [value, expected] : cases) {
        SCOPED_TRACE(value);
        EXPECT_EQ(RemoteLimitFractionByte(value), expected);
    }
}

TEST(LimitEncoding, BytesReadBackAsUnsignedDegrees) {
    EXPECT_EQ(WholeDegreeCelsius(0x55, false), 85);
    EXPECT_EQ(WholeDegreeCelsius(0x55, true), 21);
    // No sign interpretation: 0xFF is 255 °C, not -1.
    EXPECT_EQ(WholeDegreeCelsius(0xFF, false), 255);
    EXPECT_EQ(RemoteQuarterCelsius(50, 0xC0, false), 50.75);
    EXPECT_EQ(RemoteQuarterCelsius(53, 0xC0, true), -10.25);
    // Bits 5..0 of the low byte carry nothing.
    EXPECT_EQ(RemoteQuarterCelsius(50, 0x3F, false), 50.0);
    EXPECT_EQ(RemoteQuarterCelsius(50, 0xE0, false), 50.75);
}

TEST(LimitEncoding, LocalGaugeWritesLowHighThermInOrder) {
    const std::vector<LimitWrite> expected{{0x0C, 10}, {0x0B, 80}, {0x20, 82}};
    EXPECT_EQ(GaugeLimitWrites(0, {10, 80.5, 81.5}, false), expected);
}

TEST(LimitEncoding, RemoteGaugesWriteHighThenFractionBytes) {
    const std::vector<LimitWrite> remote1{{0x0E, 50}, {0x14, 0xC0}, {0x0D, 80}, {0x13, 0x40}, {0x19, 85}};
    EXPECT_EQ(GaugeLimitWrites(1, {50.75, 80.25, 85}, false), remote1);
    const std::vector<LimitWrite> remote2{{0x32, 54}, {0x37, 0x00}, {0x31, 53}, {0x36, 0xC0}, {0x39, 85}};
    EXPECT_EQ(GaugeLimitWrites(2, {-10, -10.25, 21}, true), remote2);
}

TEST(LimitEncoding, ReadsEachGaugesRegistersInChipOrder) {
    const std::vector<std::vector<int32_t>> expectedOrder{
        {0x06, 0x05, 0x20}, {0x08, 0x14, 0x07, 0x13, 0x19}, {0x32, 0x37, 0x31, 0x36, 0x39}};
    for (int gauge = 0; gauge < kGaugeCount; ++gauge) {
        SCOPED_TRACE(gauge);
        std::vector<int32_t> order;
        ReadGaugeLimitBytes(gauge, false, [&](int32_t reg) {
            order.push_back(reg);
            return 0;
        });
        EXPECT_EQ(order, expectedOrder[gauge]);
    }
}

TEST(LimitEncoding, ReadBackConvertsExtendedRemoteLimits) {
    const std::map<int32_t, int32_t> chip{{0x32, 54}, {0x37, 0x00}, {0x31, 53}, {0x36, 0xC0}, {0x39, 0x55}};
    const GaugeLimits limits = ReadGaugeLimitBytes(2, true, [&](int32_t reg) { return chip.at(reg); });
    EXPECT_EQ(limits.low, -10);
    EXPECT_EQ(limits.high, -10.25);
    EXPECT_EQ(limits.therm, 21);
}

TEST(GaugeScaleRules, PointerRowsPickMultiplesOfTheStepWithinTheScale) {
    const GaugeScale scale{0, 127, 10, 264}; // 2 pixels per degree
    const struct {
        double y;
        double step;
        double value;
    } rows[] = {{264, 0.25, 0}, {10, 0.25, 127}, {137, 0.25, 63.5}, {136.6, 0.25, 63.75}, {-50, 0.25, 127},
                {400, 0.25, 0}, {137, 1, 64},    {136.6, 1, 64},    {139.2, 1, 62},       {-50, 1, 127}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.y << " step " << row.step);
        EXPECT_EQ(scale.valueAt(row.y, row.step), row.value);
    }
    // A value beyond the scale is drawn at its end.
    EXPECT_EQ(scale.yOf(255), 10);
    EXPECT_EQ(scale.yOf(-64), 264);
}

// What a slider shows on its step is what the chip stores: every value on the step
// grid of each limit survives the write and the read-back unchanged.
TEST(LimitEncoding, EveryValueOnASlidersStepIsKeptByTheChip) {
    for (const bool extended : {false, true}) {
        for (int gauge = 0; gauge < kGaugeCount; ++gauge) {
            SCOPED_TRACE(testing::Message() << "gauge " << gauge << (extended ? " extended" : ""));
            const GaugeLimitSteps steps = LimitStepsOfGauge(gauge);
            for (double v = extended ? -64 : 0; v <= 127; v += 0.25) {
                const auto onStep = [v](double step) { return std::round(v / step) * step; };
                const GaugeLimits shown{onStep(steps.low), onStep(steps.high), onStep(steps.therm)};
                std::map<int32_t, int32_t> chip; // by write address
                for (const LimitWrite& w : GaugeLimitWrites(gauge, shown, extended))
                    chip[w.reg] = w.data;
                const LimitRegisters& regs = GaugeLimitRegisters(gauge);
                const GaugeLimits kept = ReadGaugeLimitBytes(gauge, extended, [&](int32_t read) {
                    return chip.at(read == regs.lowRead    ? regs.lowWrite
                                   : read == regs.highRead ? regs.highWrite
                                                           : read);
                });
                ASSERT_EQ(kept.low, shown.low) << v;
                ASSERT_EQ(kept.high, shown.high) << v;
                ASSERT_EQ(kept.therm, shown.therm) << v;
            }
        }
    }
    EXPECT_EQ(LimitStepsOfGauge(0).high, 1) << "a local limit has no fraction register";
}

TEST(GaugeScaleRules, GraduationsAreMultiplesOfAStepThatLeavesRoomForLabels) {
    const GaugeScale extended{-64, 127, 8, 219};
    const double step = GraduationStep(extended, 10);
    EXPECT_EQ(step, 20);
    const std::vector<double> expected{-60, -40, -20, 0, 20, 40, 60, 80, 100, 120};
    EXPECT_EQ(Graduations(extended, step), expected);
}

} // namespace
