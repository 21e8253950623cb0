#include "chip/ChipRegisters.h"
#include "device/ChipAccess.h"
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "support/RecordedMessages.h"
#include "support/ScriptedAdapter.h"
#include "views/frmRegOverview.h"

#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace {

constexpr int32_t kChip = 0x4C;
constexpr int kStateColumn = 10;

class RegOverviewWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        RegMapStuff::BuildRegisterTable();
        ThrowOnLinkError();
        adapter = InstallScriptedAdapter();
        GeneralStuff::DeviceAddress = kChip;
        adapter->readAddressOf = TableReadAddressOf;
        adapter->setRegister(kChip, kStatus1, 0x10);
        adapter->setRegister(kChip, kLocalHighLimitRead, 0x50);
        window = std::make_unique<frmRegOverview>();
        window->Form_Load();
        window->show();
    }
    void TearDown() override { window.reset(); }
    QTableWidget* grid() const { return window->findChild<QTableWidget*>("grdRegisters"); }
    // Row of record index i (the placeholder has no row).
    QString cell(int index, int column) const { return grid()->item(index - 1, column)->text(); }
    long statusReads() const {
        const auto reads = adapter->reads();
        return std::count(reads.begin(), reads.end(), kStatus1) +
               std::count(reads.begin(), reads.end(), kStatus2);
    }

    ScriptedAdapter* adapter = nullptr;
    std::unique_ptr<frmRegOverview> window;
};

TEST_F(RegOverviewWindowTest, OpeningNeverReadsStatusReadAllDoes) {
    ASSERT_EQ(grid()->rowCount(), 40);
    EXPECT_EQ(statusReads(), 0);
    EXPECT_TRUE(cell(4, 3).contains("clears latched bits"));
    EXPECT_EQ(cell(1, 0), "0x0"); // read address 0 is Local Temp Value, not "no address"
    EXPECT_EQ(cell(1, 1), "");
    EXPECT_EQ(cell(7, 3), "0x50");
    EXPECT_EQ(cell(7, 6), "*"); // differs from its default 0x55
    EXPECT_TRUE(grid()->item(5 - 1, 3)->toolTip().contains("TmpR"));
    QTest::mouseClick(window->findChild<QPushButton*>("cmdReadAll"), Qt::LeftButton);
    EXPECT_EQ(statusReads(), 2);
    EXPECT_EQ(cell(4, 3), "0x10");
    EXPECT_TRUE(window->findChild<QLabel*>("lblLastRead")->text().contains("all registers"));
}

TEST_F(RegOverviewWindowTest, WriteFromAnotherWindowMarksTheValueStale) {
    EXPECT_EQ(cell(7, kStateColumn), "");
    WriteChip(kLocalHighLimitWrite, 0x40); // as the limits window writes
    EXPECT_EQ(cell(7, kStateColumn), "stale");
    EXPECT_EQ(cell(8, kStateColumn), ""); // another register is still current
    // A Configuration Reg 1 write changes the range and the shared addresses: every value is old.
    WriteChip(kConfig1Write, kConfig1ExtendedRange);
    EXPECT_EQ(cell(39, kStateColumn), "stale");
    EXPECT_EQ(cell(4, kStateColumn), ""); // a status value never read cannot be old
    QTest::mouseClick(window->findChild<QPushButton*>("cmdReadAll"), Qt::LeftButton);
    EXPECT_EQ(cell(7, kStateColumn), "");
    EXPECT_EQ(cell(7, 3), "0x40");
}

TEST_F(RegOverviewWindowTest, CompareAddsFileColumnsAndNeverWrites) {
    adapter->clearLog();
    window->CompareWith(
        "{\r\n0xB\t0x50\t // Local Temp High Limit\r\n0xC\t0x7\t // Local Temp Low Limit\r\n}\r\n");
    ASSERT_EQ(grid()->columnCount(), 13);
    EXPECT_EQ(cell(7, 11), "0x50");
    EXPECT_EQ(cell(7, 12), "no");
    EXPECT_EQ(cell(8, 11), "0x7");
    EXPECT_EQ(cell(8, 12), "yes");
    EXPECT_EQ(cell(9, 11), ""); // not in the file
    EXPECT_TRUE(adapter->writes().empty());
}

} // namespace
