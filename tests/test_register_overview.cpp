#include "chip/ChipRegisters.h"
#include "device/RegMapStuff.h"
#include "files/SettingsCompare.h"
#include "views/OverviewExport.h"
#include "views/RegisterOverview.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <algorithm>

#include <map>

namespace {

// A chip in the extended range showing Remote 1 on the shared addresses.
const std::map<int32_t, int> kExtendedChip{
    {kLocalTemp, 0x5E},
    {kRemote1TempHigh, 0x5E},
    {kRemote1TempLow, 0x40},
    {kStatus1, 0x10},
    {kConfig1Read, 0x04},
    {kLocalHighLimitRead, 0x55},
    {kRemote1HighLimitHighRead, 0x7F},
    {kRemote1HighLimitLow, 0xC0},
    {kRemote1ThermLimit, 0x55},
    {kThermHysteresis, 0x0A},
    {kRemote2TempHigh, 0x20},
    {kManufacturerId, 0x41},
};

RegisterSnapshot snapshotOf(const std::map<int32_t, int>& chip, bool includeStatus = false,
                            std::vector<int32_t>* reads = nullptr) {
    return TakeRegisterSnapshot(includeStatus, [&](int32_t address) {
        if (reads)
            reads->push_back(address);
        const auto it = chip.find(address);
        return it == chip.end() ? 0 : it->second;
    });
}

class RegisterOverviewTest : public ::testing::Test {
protected:
    void SetUp() override { RegMapStuff::BuildRegisterTable(); }
};

struct ExpectedRow {
    const char* what;
    int index;
    int value; // -1: no value shown
    bool differs;
    const char* temperature;
};

TEST_F(RegisterOverviewTest, ScriptedChipGivesExpectedRows) {
    const ExpectedRow expected[] = {
        {"local temperature, extended: 0x5E is 30 °C", 1, 0x5E, true, "30 °C"},
        {"remote 1 with its quarters from the low byte", 2, 0x5E, true, "30.25 °C"},
        {"shared record of the channel not selected", 3, -1, false, ""},
        {"status never read without Read All", 4, -1, false, ""},
        {"configuration off its default", 5, 0x04, true, ""},
        {"remote limit high byte and quarters", 9, 0x7F, true, "63.75 °C"},
        {"low byte shows its quarters alone, in the number text of every temperature", 19, 0xC0, true,
         "+.75 °C"},
        {"THERM limit at its default is 21 °C in the extended range", 23, 0x55, false, "21 °C"},
        {"hysteresis is a difference, not range-shifted", 26, 0x0A, false, "10 °C"},
        {"Remote 2's own register below zero", 30, 0x20, true, "-32 °C"},
        {"manufacturer at its default, no temperature", 39, 0x41, false, ""},
    };
    const std::vector<OverviewRow> rows = OverviewRows(snapshotOf(kExtendedChip));
    ASSERT_EQ(rows.size(), 40u);
    for (const ExpectedRow& e : expected) {
        SCOPED_TRACE(e.what);
        const OverviewRow& row = rows[e.index - 1];
        EXPECT_EQ(row.index, e.index);
        EXPECT_EQ(row.value ? *row.value : -1, e.value);
        EXPECT_EQ(row.differsFromDefault, e.differs);
        EXPECT_EQ(row.temperature, QString::fromUtf8(e.temperature));
        if (row.value && !row.temperature.isEmpty()) {
            EXPECT_FALSE(row.encoding.isEmpty());
        }
    }
    EXPECT_TRUE(rows[0].encoding.contains("offset binary"));
    EXPECT_TRUE(rows[3].valueNote.contains("clears latched bits"));
    EXPECT_TRUE(rows[2].valueNote.contains("selects Remote 1"));
}

TEST_F(RegisterOverviewTest, SnapshotReadsEachRecordOnceStatusOnlyOnRequest) {
    for (const bool includeStatus : {false, true}) {
        std::vector<int32_t> reads;
        snapshotOf(kExtendedChip, includeStatus, &reads);
        std::vector<int32_t> expected;
        for (int i = 1; i < RegMapStuff::kRegisterCount; ++i)
            if (includeStatus || !IsStatusRecord(i))
                expected.push_back(RegMapStuff::RegisterTable[i].ReadAddr);
        // Which registers and how often, not in what order.
        std::sort(reads.begin(), reads.end());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(reads, expected);
        // Reading the status registers clears latched bits: only Read All may.
        EXPECT_EQ(std::count(reads.begin(), reads.end(), kStatus1) +
                      std::count(reads.begin(), reads.end(), kStatus2),
                  includeStatus ? 2 : 0);
    }
}

TEST_F(RegisterOverviewTest, NormalRangeAndRemote2SelectedDecodeTheOtherWay) {
    std::map<int32_t, int> chip = kExtendedChip;
    chip[kConfig1Read] = kConfig1Remote2Select; // normal range, Remote 2 on the shared addresses
    const std::vector<OverviewRow> rows = OverviewRows(snapshotOf(chip));
    EXPECT_EQ(rows[0].temperature, QString::fromUtf8("94 °C"));
    EXPECT_TRUE(rows[0].encoding.contains("normal range"));
    EXPECT_FALSE(rows[1].value); // Remote 1's shared record
    ASSERT_TRUE(rows[2].value);
    // Remote 2's shared high byte takes its quarters from Remote 2's shared low-byte record.
    EXPECT_EQ(rows[2].temperature, QString::fromUtf8("94.25 °C"));
}

TEST_F(RegisterOverviewTest, BitMeaningsExplainEachFieldOfTheValue) {
    const QStringList lines = BitMeanings(5, kConfig1ExtendedRange).split('\n');
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[2], "bit 5 AL/TH = 0: pin 8: 0 ALERT, 1 THERM2"); // stored with a leading blank
    EXPECT_TRUE(lines[5].startsWith("bit 2 TmpR = 1:"));
    EXPECT_EQ(BitMeanings(13, 0xE0).split('\n')[7], "bit 0 - = 0: carries no value bit");
}

// A file as a user might have edited it: lower-case hex, an address no register has.
const char kHandWritten[] = "Korvane Labs Inc.\r\n\r\nAddress\tData\tRegister\r\n{\r\n"
                            "0x9\t0x04\t // Configuration Reg 1\r\n"
                            "0xD\t0x60\t // Remote 1 High Limit,High Byte (bit 3 Config Reg =0)\r\n"
                            "0xD\t0x61\t // Remote 2 High Limit,High Byte (bit 3 Config Reg =1)\r\n"
                            "0x2A\t0x1\t // not a register\r\n"
                            "0xb\t0x55\t // Local Temp High Limit\r\n"
                            "}\r\n";

TEST_F(RegisterOverviewTest, CompareWithHandWrittenFileListsOnlyWhatWouldChange) {
    const RecallPlan plan = ReadRecallPlan(kHandWritten);
    ASSERT_EQ(plan.outcome, RecallOutcome::Complete);
    ASSERT_EQ(plan.entries.size(), 5u);
    EXPECT_EQ(MatchEntriesToRecords(plan.entries), (std::vector<int>{5, 9, 10, RegMapStuff::kNotFound, 7}));

    std::vector<int32_t> reads;
    const auto changes = RecallChanges(plan.entries, [&](int32_t address) {
        reads.push_back(address);
        return kExtendedChip.count(address) ? kExtendedChip.at(address) : 0;
    });
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].record, 9);
    EXPECT_EQ(changes[0].chipValue, 0x7F);
    EXPECT_EQ(changes[0].fileValue, 0x60);
    EXPECT_EQ(changes[1].record, 10);
    EXPECT_EQ(changes[1].fileValue, 0x61);
    EXPECT_EQ(changes[2].writeAddr, 0x2A); // unknown address: counted as a change, nothing read for it
    EXPECT_EQ(changes[2].chipValue, -1);
    // The shared address is read once; the compare never reads a status register.
    std::sort(reads.begin(), reads.end());
    EXPECT_EQ(reads, (std::vector<int32_t>{kConfig1Read, kLocalHighLimitRead, kRemote1HighLimitHighRead}));
}

TEST_F(RegisterOverviewTest, CompareOfAFileWithoutListHasNoEntries) {
    const RecallPlan plan = ReadRecallPlan("Address\tData\r\n0x9\t0x4\r\n");
    EXPECT_EQ(plan.outcome, RecallOutcome::NoListStart);
    EXPECT_TRUE(plan.entries.empty());
}

TEST(OverviewExportTest, CsvQuotesFieldsWithCommasAndJsonKeysByColumn) {
    const OverviewTable table{{"Register", "Hex"},
                              {{"Remote 1 High Limit,High Byte", "0x55"}, {"Say \"hi\"", "0x1"}}};
    EXPECT_EQ(
        OverviewCsv(table),
        QByteArray("Register,Hex\r\n\"Remote 1 High Limit,High Byte\",0x55\r\n\"Say \"\"hi\"\"\",0x1\r\n"));
    const QByteArray json = OverviewJson(table);
    EXPECT_TRUE(json.contains("\"Register\": \"Remote 1 High Limit,High Byte\""));
    EXPECT_TRUE(json.contains("\"Hex\": \"0x1\""));
}

} // namespace
