#include "adapter/SimConfig.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

SimConfig parsed(const std::string& text) {
    SimConfig config;
    std::string error;
    EXPECT_TRUE(ParseSimConfig(text, config, error)) << text << ": " << error;
    return config;
}

TEST(SimConfigParse, EmptyTextGivesDefaults) {
    const SimConfig config = parsed("   ");
    EXPECT_EQ(config.addresses, std::vector<int>{0x4C});
    EXPECT_FALSE(config.firmwareFails);
    EXPECT_EQ(config.setupFailures, 0);
    EXPECT_FALSE(config.failAfter.has_value());
    EXPECT_EQ(config.chip.start, (std::array<double, 3>{25.0, 33.75, 30.5}));
    EXPECT_TRUE(config.chip.drift);
    EXPECT_EQ(config.chip.open, (std::array<bool, 2>{false, false}));
    EXPECT_TRUE(config.chip.powerOn.empty());
}

TEST(SimConfigParse, ReadsEveryKeyWithBlanksAroundKeysAndValues) {
    const SimConfig config = parsed(
        " address = 0x18+77 , firmware=fail, setup_failures=3,fail_after=120, local=-10.5, remote1=80.25,"
        "remote2=+7, drift=OFF, seed=42, reg.03=0x08, reg.fe = 0, reg.0x21=12, open=1+2,");
    EXPECT_EQ(config.addresses, (std::vector<int>{0x18, 77}));
    EXPECT_TRUE(config.firmwareFails);
    EXPECT_EQ(config.setupFailures, 3);
    EXPECT_EQ(config.failAfter, 120);
    EXPECT_EQ(config.chip.start, (std::array<double, 3>{-10.5, 80.25, 7.0}));
    EXPECT_FALSE(config.chip.drift);
    EXPECT_EQ(config.chip.seed, 42u);
    EXPECT_EQ(config.chip.powerOn, (std::map<int, uint8_t>{{0x03, 0x08}, {0xFE, 0x00}, {0x21, 12}}));
    EXPECT_EQ(config.chip.open, (std::array<bool, 2>{true, true}));
}

TEST(SimConfigParse, NoneLeavesTheBusEmptyAndSingleDiodeOpens) {
    EXPECT_TRUE(parsed("address=none").addresses.empty());
    EXPECT_EQ(parsed("open=2").chip.open, (std::array<bool, 2>{false, true}));
    EXPECT_EQ(parsed("address=0x7F").addresses, std::vector<int>{0x7F});
    EXPECT_EQ(parsed("firmware=ok").firmwareFails, false);
}

TEST(SimConfigParse, DiodeFaultTimesGiveAnOpeningAndAnOptionalMend) {
    const SimConfig config = parsed("open1_until=12.5, open1_at=2, open2_at=0");
    ASSERT_TRUE(config.chip.openDuring[0].has_value());
    EXPECT_EQ(config.chip.openDuring[0]->at, 2.0);
    EXPECT_EQ(config.chip.openDuring[0]->until, 12.5);
    ASSERT_TRUE(config.chip.openDuring[1].has_value());
    EXPECT_EQ(config.chip.openDuring[1]->at, 0.0);
    EXPECT_TRUE(std::isinf(config.chip.openDuring[1]->until)) << "no end: open for the rest of the run";
    EXPECT_EQ(config.chip.open, (std::array<bool, 2>{false, false}));
    EXPECT_FALSE(parsed("open=1").chip.openDuring[0].has_value());
}

struct BadCase {
    const char* name;
    const char* text;
    const char* message;
};

class SimConfigRefusals : public ::testing::TestWithParam<BadCase> {};

TEST_P(SimConfigRefusals, RefusesWithOneLineNamingKeyAndValueAndKeepsConfig) {
    const BadCase& c = GetParam();
    SimConfig config;
    config.setupFailures = 7;
    std::string error;
    EXPECT_FALSE(ParseSimConfig(c.text, config, error));
    EXPECT_EQ(error, c.message);
    EXPECT_EQ(error.find('\n'), std::string::npos);
    // A refused text changes nothing, even the entries before the bad one.
    EXPECT_EQ(config.setupFailures, 7);
    EXPECT_EQ(config.addresses, std::vector<int>{0x4C});
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SimConfigRefusals,
    ::testing::Values(
        BadCase{"UnknownKey", "setup_failures=1, colour=red", "OTK5530_SIM: colour=red refused: unknown key"},
        BadCase{"NotAPair", "address=0x4C, drift", "OTK5530_SIM: \"drift\" is not a key=value pair"},
        BadCase{
            "AddressAbove7Bits", "address=0x80",
            "OTK5530_SIM: address=0x80 refused: expected 7-bit addresses 0x00..0x7F joined with +, or none"},
        BadCase{
            "AddressDecimalAbove7Bits", "address=128",
            "OTK5530_SIM: address=128 refused: expected 7-bit addresses 0x00..0x7F joined with +, or none"},
        BadCase{
            "AddressNegative", "address=-1",
            "OTK5530_SIM: address=-1 refused: expected 7-bit addresses 0x00..0x7F joined with +, or none"},
        BadCase{
            "AddressEmptyPart", "address=0x4C+",
            "OTK5530_SIM: address=0x4C+ refused: expected 7-bit addresses 0x00..0x7F joined with +, or none"},
        BadCase{"AddressTwice", "address=0x4C+76",
                "OTK5530_SIM: address=0x4C+76 refused: an address is given twice"},
        BadCase{"KeyTwice", "drift=off,drift=on", "OTK5530_SIM: drift=on refused: drift is given twice"},
        BadCase{"FirmwareWord", "firmware=broken",
                "OTK5530_SIM: firmware=broken refused: expected ok or fail"},
        BadCase{"SetupFailuresNotANumber", "setup_failures=two",
                "OTK5530_SIM: setup_failures=two refused: expected a whole number of requests 0..1000000000"},
        BadCase{"FailAfterNegative", "fail_after=-3",
                "OTK5530_SIM: fail_after=-3 refused: expected a whole number of requests 0..1000000000"},
        BadCase{"FailAfterEmpty", "fail_after=",
                "OTK5530_SIM: fail_after= refused: expected a whole number of requests 0..1000000000"},
        BadCase{
            "TemperatureWithUnit", "local=25C",
            "OTK5530_SIM: local=25C refused: expected a temperature in degrees Celsius such as 25 or -10.5"},
        BadCase{"TemperatureNotANumber", "remote2=nan",
                "OTK5530_SIM: remote2=nan refused: expected a temperature in degrees Celsius such as 25 or "
                "-10.5"},
        BadCase{
            "TemperatureLonePoint", "remote1=.",
            "OTK5530_SIM: remote1=. refused: expected a temperature in degrees Celsius such as 25 or -10.5"},
        BadCase{"DriftWord", "drift=slow", "OTK5530_SIM: drift=slow refused: expected on or off"},
        BadCase{"SeedTooLarge", "seed=4294967296",
                "OTK5530_SIM: seed=4294967296 refused: expected a whole number 0..4294967295"},
        BadCase{"RegisterValueAbove255", "reg.03=256",
                "OTK5530_SIM: reg.03=256 refused: expected a byte 0..255 (decimal, or hex with 0x)"},
        BadCase{"RegisterAddressNotHex", "reg.xyz=1",
                "OTK5530_SIM: reg.xyz=1 refused: the register address after reg. must be hex 00..FF"},
        // 0x09 is where Configuration Reg 1 is written, not read.
        BadCase{"RegisterAtWriteOnlyAddress", "reg.09=0x08",
                "OTK5530_SIM: reg.09=0x08 refused: no register is read at this address"},
        BadCase{"MeasuredRegister", "reg.00=25",
                "OTK5530_SIM: reg.00=25 refused: this register is measured by the chip"},
        BadCase{"RegisterTwiceUnderTwoSpellings", "reg.3=1, reg.03=2",
                "OTK5530_SIM: reg.03=2 refused: this register is given twice"},
        BadCase{"OpenDiodeThree", "open=3", "OTK5530_SIM: open=3 refused: expected 1, 2 or 1+2"},
        BadCase{"FaultTimeNegative", "open1_at=-1",
                "OTK5530_SIM: open1_at=-1 refused: expected seconds after start-up 0..31536000, such as 30 "
                "or 2.5"},
        BadCase{
            "FaultTimeBeyondAYear", "open2_at=31536001",
            "OTK5530_SIM: open2_at=31536001 refused: expected seconds after start-up 0..31536000, such as 30 "
            "or 2.5"},
        // The checks between keys come after every entry, and name the entry at fault.
        BadCase{"MendWithoutOpening", "open2_until=5, drift=off",
                "OTK5530_SIM: open2_until=5 refused: open2_until needs open2_at"},
        BadCase{"MendNotAfterOpening", "open1_until=4, open1_at=4",
                "OTK5530_SIM: open1_until=4 refused: expected a time after open1_at"},
        BadCase{"OpeningADiodeOpenFromPowerOn", "open1_at=3, open=1+2",
                "OTK5530_SIM: open1_at=3 refused: open=1 keeps this diode open from power-on"}),
    [](const ::testing::TestParamInfo<BadCase>& row) { return std::string(row.param.name); });

} // namespace
