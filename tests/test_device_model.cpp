#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"
#include "support/ScriptedAdapter.h"

#include <gtest/gtest.h>

#include <QStringList>

namespace {

constexpr int32_t kChip = 0x4C;

// Records what the post-write update asks of the windows, in order.
struct RecordingViews : GraphView, LimitsView {
    QStringList calls;
    void appendSample(int trace, double value) override { calls << QString("sample %1 %2").arg(trace).arg(value); }
    void setTraceCaption(int trace, const QString& text) override {
        calls << QString("caption %1 '%2'").arg(trace).arg(text);
    }
    void setTraceVisible(int trace, bool visible) override {
        calls << QString("visible %1 %2").arg(trace).arg(visible);
    }
    void Form_Load() override { calls << "limits load"; }
    void showRemote2Selected(bool selected) override { calls << QString("remote2 %1").arg(selected); }
    void setLamp(int, bool) override {}
    void setGaugeReading(int, float, const QString&) override {}
};

class DeviceModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        GeneralStuff::DeviceAddress = kChip;
        adapter = InstallScriptedAdapter();
        ThrowOnLinkError();
    }
    void openBothWindows() {
        GeneralStuff::GraphOpen = GeneralStuff::LimitsOpen = true;
        GeneralStuff::Views.graph = &views;
        GeneralStuff::Views.limits = &views;
    }
    ScriptedAdapter* adapter = nullptr;
    RecordingViews views;
};

TEST_F(DeviceModelTest, InitDeviceModelSetsStartValuesAndReadsConfiguration) {
    adapter->setRegister(kChip, 0x03, 0x04);
    GeneralStuff::InitDeviceModel();
    EXPECT_EQ(GeneralStuff::GraphInterval, 50);
    EXPECT_EQ(GeneralStuff::LogInterval, 100);
    EXPECT_EQ(GeneralStuff::ReadInterval, 100);
    EXPECT_TRUE(GeneralStuff::ContinuousReading);
    EXPECT_EQ(GeneralStuff::LogChannels, (std::array<bool, 3>{true, true, true}));
    EXPECT_TRUE(GeneralStuff::ExtendedRange);
    EXPECT_FALSE(GeneralStuff::Remote2Selected);
    EXPECT_EQ(adapter->reads(), (std::vector<int32_t>{0x03}));
    EXPECT_EQ(RegMapStuff::RegisterTable[5].Description, "Configuration Reg 1");
}

TEST_F(DeviceModelTest, OnlyConfigurationWritesHaveSideEffects) {
    adapter->setRegister(kChip, 0x03, 0x0C);
    for (int32_t address : {0x03, 0x0A, 0x0B, 0x24, 0x39}) {
        SCOPED_TRACE(address);
        USBStuff::WriteRegister(kChip, address, 0x0C);
        EXPECT_FALSE(GeneralStuff::ExtendedRange);
        EXPECT_FALSE(GeneralStuff::Remote2Selected);
    }
    EXPECT_TRUE(adapter->reads().empty());
}

TEST_F(DeviceModelTest, FlagsFollowTheValueReadBackNotTheValueWritten) {
    // The chip reads back 0x04 whatever was written (a locked register, say).
    adapter->readAddressOf = [](int32_t) { return 0x99; };
    adapter->setRegister(kChip, 0x03, 0x04);
    USBStuff::WriteRegister(kChip, 0x09, 0x08);
    EXPECT_TRUE(GeneralStuff::ExtendedRange);
    EXPECT_FALSE(GeneralStuff::Remote2Selected);
}

TEST_F(DeviceModelTest, Remote2SelectedRelabelsGraphThenReloadsLimits) {
    openBothWindows();
    adapter->setRegister(kChip, 0x03, 0x08);
    GeneralStuff::AfterRegisterWrite(0x09);
    EXPECT_TRUE(GeneralStuff::Remote2Selected);
    EXPECT_FALSE(GeneralStuff::ExtendedRange);
    EXPECT_EQ(views.calls, (QStringList{"caption 2 'Remote2'", "caption 3 ''", "visible 3 0", "limits load",
                                        "remote2 1"}));
}

TEST_F(DeviceModelTest, Remote1SelectedShowsTheThirdTraceAndGauge) {
    openBothWindows();
    adapter->setRegister(kChip, 0x03, 0x04);
    GeneralStuff::AfterRegisterWrite(0x09);
    EXPECT_TRUE(GeneralStuff::ExtendedRange);
    EXPECT_EQ(views.calls, (QStringList{"caption 2 'Remote1'", "caption 3 'Remote2'", "visible 3 1",
                                        "limits load", "remote2 0"}));
}

TEST_F(DeviceModelTest, WithNoWindowOpenTheUpdateOnlyReadsAndSetsFlags) {
    GeneralStuff::Views.graph = &views; // registered but closed windows are not touched
    adapter->setRegister(kChip, 0x03, 0x0C);
    GeneralStuff::AfterRegisterWrite(0x09);
    EXPECT_TRUE(GeneralStuff::ExtendedRange);
    EXPECT_TRUE(GeneralStuff::Remote2Selected);
    EXPECT_TRUE(views.calls.isEmpty());
    EXPECT_EQ(adapter->requests.size(), 1u);
}

} // namespace
