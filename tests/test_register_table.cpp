#include "chip/ChipRegisters.h"
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
    } cases[] = {{0x01, 2},  {0x07, 9},  {0x08, 11}, {0x10, 13}, {0x11, 15},
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
        if (r.ReadAddr >= 0x03 && r.ReadAddr <= 0x08 && !r.ReadOnly) {
            EXPECT_EQ(r.WriteAddr, r.ReadAddr + 6);
        }
        if (r.ReadAddr >= 0x11 && !r.ReadOnly) {
            EXPECT_EQ(r.WriteAddr, r.ReadAddr);
        }
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
    } cases[] = {{6, 8},  {7, 85},  {9, 85},  {23, 85}, {25, 85}, {26, 10},
                 {27, 1}, {31, 85}, {38, 85}, {39, 65}, {40, 82}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(RegisterTable[c.index].DefaultValue, c.value);
    }
}

// The names the code uses for addresses and bits must point at the records the table
// describes: a wrong address here would read or write another register everywhere.
TEST_F(RegisterTableTest, NamedAddressesMatchTheirRecords) {
    const struct {
        const char* key;
        int32_t read;
        int32_t write; // 0: read-only
    } cases[] = {
        {"Local Temp Value", kLocalTemp, 0},
        {"Remote 1 Temp High Byte (bit 3 Config Reg =0)", kRemote1TempHigh, 0},
        {"Status Reg 1", kStatus1, 0},
        {"Configuration Reg 1", kConfig1Read, kConfig1Write},
        {"Conversion Rate", kConversionRateRead, kConversionRateWrite},
        {"Local Temp High Limit", kLocalHighLimitRead, kLocalHighLimitWrite},
        {"Local Temp Low Limit", kLocalLowLimitRead, kLocalLowLimitWrite},
        {"Remote 1 High Limit,High Byte (bit 3 Config Reg =0)", kRemote1HighLimitHighRead,
         kRemote1HighLimitHighWrite},
        {"Remote 1 Low Limit,High Byte (bit 3 Config Reg =0)", kRemote1LowLimitHighRead,
         kRemote1LowLimitHighWrite},
        {"Remote 1 Temp Low Byte (bit 3 Config Reg =0)", kRemote1TempLow, 0},
        {"Remote 1 Offset High Byte (bit 3 Config Reg =0)", kRemote1OffsetHigh, kRemote1OffsetHigh},
        {"Remote 1 Offset Low Byte (bit 3 Config Reg =0)", kRemote1OffsetLow, kRemote1OffsetLow},
        {"Remote 1 High Limit,Low Byte (bit 3 Config Reg =0)", kRemote1HighLimitLow, kRemote1HighLimitLow},
        {"Remote 1 Low Limit,Low Byte (bit 3 Config Reg =0)", kRemote1LowLimitLow, kRemote1LowLimitLow},
        {"Remote 1 Therm Limit (bit 3 Config Reg =0)", kRemote1ThermLimit, kRemote1ThermLimit},
        {"Local Therm Limit", kLocalThermLimit, kLocalThermLimit},
        {"Therm Hysteresis", kThermHysteresis, kThermHysteresis},
        {"Consecutive Alert", kConsecutiveAlert, kConsecutiveAlert},
        {"Status Reg 2", kStatus2, 0},
        {"Configuration Reg 2", kConfig2, kConfig2},
        {"Remote 2 Temp High Byte", kRemote2TempHigh, 0},
        {"Remote 2 High Limit,High Byte", kRemote2HighLimitHigh, kRemote2HighLimitHigh},
        {"Remote 2 Low Limit,High Byte", kRemote2LowLimitHigh, kRemote2LowLimitHigh},
        {"Remote 2 Temp Low Byte", kRemote2TempLow, 0},
        {"Remote 2 Temp Offset High Byte", kRemote2OffsetHigh, kRemote2OffsetHigh},
        {"Remote 2 Temp Offset Low Byte", kRemote2OffsetLow, kRemote2OffsetLow},
        {"Remote 2 High Limit,Low Byte", kRemote2HighLimitLow, kRemote2HighLimitLow},
        {"Remote 2 Low Limit,Low Byte", kRemote2LowLimitLow, kRemote2LowLimitLow},
        {"Remote 2 Therm Limit", kRemote2ThermLimit, kRemote2ThermLimit},
        {"Manufacturer ID", kManufacturerId, 0},
        {"Die Revision Code", kDieRevision, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        const int index = FindRegisterByKey(c.key);
        ASSERT_NE(index, kNotFound);
        EXPECT_EQ(RegisterTable[index].ReadAddr, c.read);
        EXPECT_EQ(RegisterTable[index].WriteAddr, c.write);
    }
    EXPECT_EQ(RegisterTable[FindRegisterByReadAddr(kManufacturerId)].DefaultValue, kOurManufacturerId);
}

TEST_F(RegisterTableTest, NamedBitsMatchTheTableBitNames) {
    const struct {
        const char* key;
        uint8_t mask;
        const char* bitName;
    } cases[] = {
        {"Configuration Reg 1", kConfig1MaskAll, "Msk"},
        {"Configuration Reg 1", kConfig1Standby, "Mn/Sty"},
        {"Configuration Reg 1", kConfig1Pin8Therm2, " AL/TH"},
        {"Configuration Reg 1", kConfig1Remote2Select, "Rm1/2"},
        {"Configuration Reg 1", kConfig1ExtendedRange, "TmpR"},
        {"Configuration Reg 1", kConfig1MaskRemote1, "MkR1"},
        {"Configuration Reg 1", kConfig1MaskRemote2, "MkR2"},
        {"Conversion Rate", kConversionRateNoAveraging, "Avg"},
        {"Configuration Reg 2", kConfig2Lock, "LckB"},
        {"Status Reg 1", kStatus1Busy, "Bsy"},
        {"Status Reg 1", kStatus1LocalHigh, "LHgh"},
        {"Status Reg 1", kStatus1LocalLow, "LLow"},
        {"Status Reg 1", kStatus1Remote1High, "R1Hgh"},
        {"Status Reg 1", kStatus1Remote1Low, "R1Lw"},
        {"Status Reg 1", kStatus1Diode1Open, "D1ON"},
        {"Status Reg 1", kStatus1Remote1Therm, "R1TM1"},
        {"Status Reg 1", kStatus1LocalTherm, "LTM1"},
        {"Status Reg 2", kStatus2Remote2High, "R2Hg"},
        {"Status Reg 2", kStatus2Remote2Low, "R2LW"},
        {"Status Reg 2", kStatus2Diode2Open, "D2ON"},
        {"Status Reg 2", kStatus2Remote2Therm, "R2TM1"},
        {"Status Reg 2", kStatus2Alert, "ALRT"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bitName);
        const QStringList names = RegisterTable[FindRegisterByKey(c.key)].BitNames.split(':');
        // Names run from bit 7 down to bit 0; a mask names exactly one bit.
        const int bit = names.indexOf(c.bitName);
        ASSERT_NE(bit, -1);
        EXPECT_EQ(c.mask, 1 << (7 - bit));
    }
}

} // namespace
