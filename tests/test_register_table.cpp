#include "device/RegMapStuff.h"

#include <gtest/gtest.h>

#include <QSet>
#include <vector>

using namespace RegMapStuff;

namespace {

class RegisterTableTest : public ::testing::Test {
protected:
    void SetUp() override { BuildRegisterTable(); }
};

TEST_F(RegisterTableTest, SharedAddressesFindTheRemote1Record) {
    const struct {
        int32_t address;
        int index;
    } cases[] = {{0x01, 2}, {0x07, 9}, {0x08, 11}, {0x10, 13}, {0x11, 15},
                 {0x12, 17}, {0x13, 19}, {0x14, 21}, {0x19, 23}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.address);
        const int index = FindRegisterByReadAddr(c.address);
        EXPECT_EQ(index, c.index);
        EXPECT_TRUE(RegisterTable[index].Description.endsWith("(bit 3 Config Reg =0)"));
    }
}

TEST_F(RegisterTableTest, ReadAddressLookups) {
    EXPECT_EQ(FindRegisterByReadAddr(0x09), kNotFound); // only a write address
    EXPECT_EQ(FindRegisterByReadAddr(0x30), 30);
    EXPECT_EQ(FindRegisterByReadAddr(0x39), 38);
    EXPECT_EQ(FindRegisterByReadAddr(0x38), kNotFound);
    EXPECT_EQ(FindRegisterByReadAddr(0x00), 1);
    EXPECT_EQ(FindRegisterByReadAddr(0xFF), 40);
    EXPECT_EQ(FindRegisterByReadAddr(0x50), kNotFound);
}

TEST_F(RegisterTableTest, KeyLookupIsExactAndCaseSensitive) {
    EXPECT_EQ(FindRegisterByKey("Local Temp Value"), 1);
    EXPECT_EQ(FindRegisterByKey("Remote 2 Therm Limit"), 38);
    EXPECT_EQ(FindRegisterByKey("local temp value"), kNotFound);
    EXPECT_EQ(FindRegisterByKey("Remote 2 Temp High Byte (bit 3 Config Reg=1)"), 3);
}

TEST_F(RegisterTableTest, EveryRealRecordNamesEightBits) {
    for (int i = 1; i < kRegisterCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(RegisterTable[i].BitNames.split(':').size(), 8);
    }
    EXPECT_EQ(RegisterTable[5].BitNames.split(':')[2], " AL/TH"); // the leading blank is kept
}

TEST_F(RegisterTableTest, ReadOnlyExactlyWhenThereIsNoWriteAddress) {
    for (int i = 1; i < kRegisterCount; ++i) {
        SCOPED_TRACE(i);
        const RegisterRecord& r = RegisterTable[i];
        EXPECT_EQ(r.ReadOnly, r.WriteAddr == 0);
        if (r.ReadAddr >= 0x03 && r.ReadAddr <= 0x08 && !r.ReadOnly)
            EXPECT_EQ(r.WriteAddr, r.ReadAddr + 6);
        if (r.ReadAddr >= 0x11 && !r.ReadOnly)
            EXPECT_EQ(r.WriteAddr, r.ReadAddr);
        EXPECT_EQ(r.Key, r.Description);
    }
}

TEST_F(RegisterTableTest, PlaceholderSitsOutsideTheRegisterSpace) {
    const RegisterRecord& r = RegisterTable[0];
    EXPECT_EQ(r.ReadAddr, 1000);
    EXPECT_EQ(r.WriteAddr, 1000);
    EXPECT_TRUE(r.ReadOnly);
    EXPECT_TRUE(r.Key.isEmpty());
    EXPECT_TRUE(r.BitNames.isEmpty());
}

TEST_F(RegisterTableTest, KeysAreUnique) {
    QSet<QString> keys;
    for (int i = 1; i < kRegisterCount; ++i)
        keys.insert(RegisterTable[i].Key);
    EXPECT_EQ(keys.size(), kRegisterCount - 1);
}

TEST_F(RegisterTableTest, SavableRecordsAreTheTwentyNineWithAWriteAddress) {
    std::vector<int> savable;
    for (int i = 0; i < kRegisterCount; ++i)
        if (!RegisterTable[i].ReadOnly)
            savable.push_back(i);
    const std::vector<int> expected = {5,  6,  7,  8,  9,  10, 11, 12, 15, 16, 17, 18, 19, 20, 21,
                                       22, 23, 24, 25, 26, 27, 29, 31, 32, 34, 35, 36, 37, 38};
    EXPECT_EQ(savable, expected);
}

TEST_F(RegisterTableTest, DefaultsOfTheNonZeroRegisters) {
    const struct {
        int index;
        int16_t value;
    } cases[] = {{6, 8}, {7, 85}, {9, 85}, {23, 85}, {25, 85}, {26, 10}, {27, 1}, {31, 85}, {38, 85}, {39, 65}, {40, 82}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(RegisterTable[c.index].DefaultValue, c.value);
    }
}

} // namespace
