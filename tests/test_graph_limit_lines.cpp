#include "chip/ChipRegisters.h"
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"
#include "files/frmSave.h"
#include "support/FilesTestSupport.h"
#include "support/GraphWindowFixture.h"
#include "support/ScriptedAdapter.h"
#include "views/LimitLines.h"
#include "views/StripChart.h"
#include "views/TempGauge.h"
#include "views/frmConfig.h"
#include "views/frmGraph.h"
#include "views/frmLimits.h"
#include "views/frmRegMap.h"

#include <qcustomplot.h>

#include <QAction>
#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr int32_t kChip = 0x4C;

class GraphLimitLines : public GraphWindowFixture {
protected:
    void SetUp() override {
        ASSERT_NO_FATAL_FAILURE(GraphWindowFixture::SetUp());
        adapter->clearLog();
    }
    void beforeLoad() override {
        adapter = InstallScriptedAdapter();
        ThrowOnLinkError();
        GeneralStuff::DeviceAddress = kChip;
        adapter->readAddressOf = TableReadAddressOf;
        const std::pair<int32_t, uint8_t> chip[] = {{kConfig1Read, 0x00},
                                                    {kLocalLowLimitRead, 10},
                                                    {kLocalHighLimitRead, 80},
                                                    {kLocalThermLimit, 85},
                                                    {kRemote1LowLimitHighRead, 50},
                                                    {kRemote1LowLimitLow, 0x80},
                                                    {kRemote1HighLimitHighRead, 80},
                                                    {kRemote1HighLimitLow, 0x40},
                                                    {kRemote1ThermLimit, 95},
                                                    {kRemote2LowLimitHigh, 5},
                                                    {kRemote2LowLimitLow, 0x00},
                                                    {kRemote2HighLimitHigh, 70},
                                                    {kRemote2HighLimitLow, 0xC0},
                                                    {kRemote2ThermLimit, 90}};
        for (const auto& [reg, value] : chip)
            adapter->setRegister(kChip, reg, value);
        // The lines read nothing before the device model has read the range.
        GeneralStuff::InitDeviceModel();
    }

    // Low, high and THERM of the three traces, as the lines are drawn.
    std::vector<double> drawn() {
        chart->replotNow();
        std::vector<double> values;
        for (int trace = 0; trace < 3; ++trace) {
            const GaugeLimits limits = chart->limitLines()->limits(trace);
            values.insert(values.end(), {limits.low, limits.high, limits.therm});
        }
        return values;
    }
    int visibleLines() {
        chart->replotNow();
        int count = 0;
        for (int i = 0; i < chart->plot()->itemCount(); ++i)
            if (auto* line = qobject_cast<QCPItemStraightLine*>(chart->plot()->item(i)))
                count += line->visible() && line->pen().style() != Qt::DashDotLine;
        return count;
    }

    ScriptedAdapter* adapter = nullptr;
};

TEST_F(GraphLimitLines, ReadFromTheChipWhenSwitchedOnAndNeverPerSample) {
    QTest::keyClick(chart, Qt::Key_L);
    ASSERT_TRUE(chart->limitLines()->shown());
    EXPECT_EQ(drawn(), (std::vector<double>{10, 80, 85, 50.5, 80.25, 95, 5, 70.75, 90}));
    EXPECT_EQ(visibleLines(), 9);
    EXPECT_FALSE(adapter->reads().empty());

    adapter->clearLog();
    for (int i = 0; i < 100; ++i)
        window.appendSample(1, 25);
    chart->replotNow();
    EXPECT_TRUE(adapter->reads().empty());

    QTest::keyClick(chart, Qt::Key_L);
    EXPECT_EQ(visibleLines(), 0);
}

TEST_F(GraphLimitLines, FollowEveryWriteToALimitOrTheRange) {
    chart->findChild<QAction*>("actionLimitLines")->trigger();
    struct Row {
        const char* name;
        int32_t reg, data;
        int index; // into drawn()
        double value;
    };
    const Row rows[] = {
        {"local high", kLocalHighLimitWrite, 70, 1, 70},
        {"local THERM", kLocalThermLimit, 60, 2, 60},
        {"remote1 low fraction", kRemote1LowLimitLow, 0xC0, 3, 50.75},
        {"remote2 high", kRemote2HighLimitHigh, 66, 7, 66.75},
        // The extended range shifts every limit down by 64.
        {"range", kConfig1Write, kConfig1ExtendedRange, 0, 10 - 64},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        USBStuff::WriteRegister(kChip, row.reg, row.data);
        EXPECT_DOUBLE_EQ(drawn()[row.index], row.value);
    }

    // A write that touches no limit reads nothing back for the lines.
    adapter->clearLog();
    USBStuff::WriteRegister(kChip, kConversionRateWrite, 5);
    EXPECT_TRUE(adapter->reads().empty());
}

// Each window that writes the chip, used as a user would: the lines follow what the chip then holds.
TEST_F(GraphLimitLines, FollowAWriteFromEveryWindowThatWritesTheChip) {
    RegMapStuff::BuildRegisterTable();
    QTemporaryDir folder;
    USBStuff::SetApplicationFolder(folder.path());
    chart->findChild<QAction*>("actionLimitLines")->trigger();
    auto type = [](QWidget* form, const char* box, const QString& text) {
        auto* edit = form->findChild<QLineEdit*>(box);
        edit->setFocus();
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    };
    auto click = [](QWidget* form, const char* name) {
        QTest::mouseClick(form->findChild<QAbstractButton*>(name), Qt::LeftButton);
    };
    struct Row {
        const char* path;
        std::function<void()> write;
        int index; // into drawn()
        double value;
    };
    const Row rows[] = {
        {"limits window: Remote1 low a quarter up",
         [] {
             frmLimits limits;
             limits.Form_Load();
             limits.show();
             QTest::keyClick(limits.findChild<TempGauge*>("ggeTemp_1"), Qt::Key_Up);
         },
         3, 50.75},
        {"register map: Local high typed and written",
         [&] {
             frmRegMap regMap;
             regMap.Form_Load();
             regMap.show();
             type(&regMap, "txtReadAddr", "5");
             click(&regMap, "cmdRead");
             type(&regMap, "txtHex", "46");
             click(&regMap, "cmdWrite");
         },
         1, 70},
        {"settings recall: Remote2 THERM",
         [&] {
             const QString path = folder.filePath("limits.sav");
             QFile file(path);
             ASSERT_TRUE(file.open(QIODevice::WriteOnly));
             file.write(
                 "Korvane Labs Inc.\r\nOTK5530 Evaluation Software\r\n\r\nSaved: 03/06/2005 at "
                 "13:07:00\r\n\r\nComment : \r\n\r\nAddress\tData\tRegister\r\n{\r\n0x39\t0x4D\r\n}\r\n");
             file.close();
             frmSave save;
             save.Form_Load();
             save.show();
             AnswerFileDialog(path);
             click(&save, "cmdRecall");
             StopAnswering();
         },
         8, 77},
        {"configuration dialog: extended range applied",
         [&] {
             frmConfig config;
             config.Form_Load();
             config.show();
             click(&config, "chkExtRange");
             click(&config, "cmdApply");
         },
         0, 10 - 64},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.path);
        row.write();
        EXPECT_DOUBLE_EQ(drawn()[row.index], row.value);
    }
}

// Remote2 through the shared registers: the third trace and its lines hide.
TEST_F(GraphLimitLines, HiddenTraceHidesItsLines) {
    chart->findChild<QAction*>("actionLimitLines")->trigger();
    USBStuff::WriteRegister(kChip, kConfig1Write, kConfig1Remote2Select);
    EXPECT_EQ(visibleLines(), 6);
}

} // namespace
