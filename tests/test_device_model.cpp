#include "device/ChipChanges.h"
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"
#include "support/ScriptedAdapter.h"

#include <gtest/gtest.h>

#include <QStringList>
#include <memory>

namespace {

constexpr int32_t kChip = 0x4C;

class DeviceModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        GeneralStuff::DeviceAddress = kChip;
        adapter = InstallScriptedAdapter();
        ThrowOnLinkError();
    }
    // A subscriber that records what it heard, and the flags as they stood then.
    ChipChanges::Subscription recorder(ChipChanges::Order order, const QString& name) {
        return {order, [this, name](const ChipChanges::RegisterWritten& w) {
                    heard << QString("%1 %2 %3 %4 remote2=%5")
                                 .arg(name)
                                 .arg(w.writeAddress)
                                 .arg(w.value ? QString::number(*w.value) : "none")
                                 .arg(w.rangeAndSelectionRead ? "reread" : "-")
                                 .arg(GeneralStuff::Remote2Selected ? 1 : 0);
                }};
    }
    // A follower that records each delivery as one line of the writes it heard.
    ChipChanges::Subscription follower(const QString& name) {
        return ChipChanges::Subscription([this, name](const ChipChanges::Writes& writes) {
            QStringList addresses;
            for (const ChipChanges::RegisterWritten& w : writes.list)
                addresses << QString::number(w.writeAddress) + (w.rangeAndSelectionRead ? "r" : "");
            heard << name + " " + addresses.join(',');
        });
    }
    ScriptedAdapter* adapter = nullptr;
    QStringList heard;
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

// Windows may open in any order; the graph still relabels before the limits window reloads.
TEST_F(DeviceModelTest, SubscribersHearEveryWriteInTheirOrderAfterTheFlagsAreSet) {
    const auto others = follower("others");
    const auto limits = recorder(ChipChanges::Order::LimitsReload, "limits");
    const auto graph = recorder(ChipChanges::Order::GraphTraces, "graph");
    const auto secondGraph = recorder(ChipChanges::Order::GraphTraces, "graph2");
    adapter->setRegister(kChip, 0x03, 0x08);
    USBStuff::WriteRegister(kChip, 0x09, 0x08);
    USBStuff::WriteRegister(kChip, 0x0A, 300); // sent clamped to 255
    EXPECT_EQ(heard, (QStringList{"graph 9 8 reread remote2=1", "graph2 9 8 reread remote2=1",
                                  "limits 9 8 reread remote2=1", "others 9r", "graph 10 255 - remote2=1",
                                  "graph2 10 255 - remote2=1", "limits 10 255 - remote2=1", "others 10"}));
}

// Followers hear an action's writes once, after its outermost bracket; the in-write
// subscribers still hear each write inside it. The writer's own follower hears none of its writes.
TEST_F(DeviceModelTest, FollowersHearAnActionOnceWhenItEnds) {
    const auto graph = recorder(ChipChanges::Order::GraphTraces, "graph");
    const auto writer = follower("writer");
    const auto other = follower("other");
    adapter->setRegister(kChip, 0x03, 0x08);
    {
        const ChipChanges::Action outer(&writer);
        USBStuff::WriteRegister(kChip, 0x0B, 1);
        {
            const ChipChanges::Action inner(&other);
            USBStuff::WriteRegister(kChip, 0x09, 0x08);
        }
        heard << "inner closed";
        USBStuff::WriteRegister(kChip, 0x0C, 2);
    }
    EXPECT_EQ(heard, (QStringList{"graph 11 1 - remote2=0", "graph 9 8 reread remote2=1", "inner closed",
                                  "graph 12 2 - remote2=1", "writer 9r", "other 11,12"}));
}

// A link error inside an action closes the program: nobody reads after it.
TEST_F(DeviceModelTest, ActionEndedByALinkErrorTellsNobody) {
    const auto other = follower("other");
    adapter->status = [](const AdapterRequest&, int n) { return int16_t(n == 1 ? 1 : 0); };
    EXPECT_THROW(
        {
            const ChipChanges::Action action;
            USBStuff::WriteRegister(kChip, 0x0B, 1);
            USBStuff::WriteRegister(kChip, 0x0C, 1);
        },
        LinkErrorExit);
    EXPECT_TRUE(heard.isEmpty());
    USBStuff::WriteRegister(kChip, 0x0D, 1);
    EXPECT_EQ(heard, QStringList{"other 13"});
}

TEST_F(DeviceModelTest, StartUpUpdateTellsNoWrittenValue) {
    const auto graph = recorder(ChipChanges::Order::GraphTraces, "graph");
    adapter->setRegister(kChip, 0x03, 0x0C);
    GeneralStuff::InitDeviceModel();
    EXPECT_EQ(heard, QStringList{"graph 9 none reread remote2=1"});
}

// A window closed by an earlier subscriber (a link error, say) must not be called afterwards.
TEST_F(DeviceModelTest, SubscriptionEndsWithItsOwnerEvenDuringANotification) {
    auto later = std::make_unique<ChipChanges::Subscription>(follower("later"));
    const ChipChanges::Subscription first(ChipChanges::Order::GraphTraces,
                                          [&later](const ChipChanges::RegisterWritten&) { later.reset(); });
    { const auto gone = recorder(ChipChanges::Order::GraphTraces, "gone"); }
    ChipChanges::Subscription moved = recorder(ChipChanges::Order::LimitsReload, "moved");
    ChipChanges::Subscription target = std::move(moved);
    USBStuff::WriteRegister(kChip, 0x0A, 1);
    EXPECT_EQ(heard, QStringList{"moved 10 1 - remote2=0"});
    target = ChipChanges::Subscription();
    heard.clear();
    USBStuff::WriteRegister(kChip, 0x0A, 2);
    EXPECT_TRUE(heard.isEmpty());
}

} // namespace
