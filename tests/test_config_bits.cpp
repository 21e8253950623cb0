#include "views/ConfigBits.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

TEST(ConfigBits, ConfigReg1ShowsEachBitOnItsControl) {
    const ConfigReg1Settings s = ConfigReg1Shown(0x24);
    EXPECT_TRUE(s.pin8Therm2);
    EXPECT_TRUE(s.extendedRange);
    EXPECT_FALSE(s.maskAllAlerts || s.standby || s.remote2OnRemote1 || s.maskRemote1 || s.maskRemote2);
    const ConfigReg1Settings all = ConfigReg1Shown(0xEF);
    EXPECT_TRUE(all.maskAllAlerts && all.standby && all.pin8Therm2 && all.remote2OnRemote1 &&
                all.extendedRange && all.maskRemote1 && all.maskRemote2);
}

TEST(ConfigBits, ConfigReg1ApplyKeepsTheUnshownBit4) {
    struct Case {
        const char* name;
        int32_t chip;
        ConfigReg1Settings settings;
        int32_t expected;
    };
    ConfigReg1Settings cleared;
    ConfigReg1Settings everything{true, true, true, true, true, true, true};
    ConfigReg1Settings remote2Only;
    remote2Only.remote2OnRemote1 = true;
    const std::vector<Case> cases{
        {"only bit 4 set, nothing ticked", 0x10, cleared, 0x10},
        {"every control clears its bit, bit 4 stays", 0xFF, cleared, 0x10},
        {"every control sets its bit", 0x00, everything, 0xEF},
        {"what is shown goes back unchanged", 0x24, ConfigReg1Shown(0x24), 0x24},
        {"a single tick", 0x00, remote2Only, 0x08},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ConfigReg1Applied(c.chip, c.settings), c.expected);
    }
}

TEST(ConfigBits, ConversionRateCodesAboveTenHaveNoItem) {
    EXPECT_EQ(ConversionRateItem(0x08), 8);
    EXPECT_EQ(ConversionRateItem(0x8A), 10);
    EXPECT_EQ(ConversionRateItem(0x70), 0);
    for (int code = 11; code <= 15; ++code) {
        SCOPED_TRACE(code);
        EXPECT_FALSE(ConversionRateItem(0x80 | code).has_value());
    }
    EXPECT_EQ(ConversionRateItems().size(), 11);
    EXPECT_EQ(ConversionRateItems().at(2), "0.25  (4 sec)"); // two blanks
}

TEST(ConfigBits, ConversionRateApplyTakesAveragingAndCode) {
    struct Case {
        const char* name;
        int32_t chip;
        bool averagingDisabled;
        std::optional<int> item;
        int32_t expected;
    };
    const std::vector<Case> cases{
        {"pick 1 (1 sec) over Continuous", 0x8A, true, 4, 0x84},
        {"bits 6..4 stay", 0x7A, false, 0, 0x70},
        {"averaging tick sets bit 7", 0x08, true, 8, 0x88},
        {"no item picked keeps code 12", 0x8C, true, std::nullopt, 0x8C},
        {"no item picked keeps code 15, averaging cleared", 0xFF, false, std::nullopt, 0x7F},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ConversionRateApplied(c.chip, c.averagingDisabled, c.item), c.expected);
    }
}

TEST(ConfigBits, LockIsBit7OfConfigReg2) {
    EXPECT_EQ(LockApplied(0x7F, true), 0xFF);
    EXPECT_EQ(LockApplied(0xFF, false), 0x7F);
    EXPECT_TRUE(LockShown(0x80));
    EXPECT_FALSE(LockShown(0x7F));
}

TEST(ConfigBits, HysteresisTextGivesTheByteToWrite) {
    struct Case {
        const char* text;
        std::optional<int32_t> expected;
    };
    const std::vector<Case> cases{
        {"10", 10},
        {"12.5", 12}, // halves go to the even neighbour
        {"13.5", 14},
        {"300", 255},
        {"255", 255},
        {"99999999999999999999", 255}, // beyond 32 bits is still just "above 255"
        {"abc", 0},
        {"", 0},
        {"  7", 7},
        {"20 degrees", 20},
        {"1 2", 12},
        {"1 3 . 5", 14}, // blanks inside the number are skipped
        {"- 5", std::nullopt},
        {"\t9", 9},
        {"-0.4", 0}, // rounds to zero, not negative
        {"-5", std::nullopt},
        {"-99999999999", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HysteresisFromText(c.text), c.expected);
    }
}

} // namespace
