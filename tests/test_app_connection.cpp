#include "app/ConnectionSequence.h"
#include "app/Delay.h"
#include "app/MainGeometry.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "device/GeneralStuff.h"
#include "device/USBStuff.h"
#include "support/AppFakes.h"
#include "support/ScriptedAdapter.h"

#include <QElapsedTimer>
#include <QLabel>
#include <gtest/gtest.h>

using namespace GeneralStuff;

namespace {
struct Pause {
    float ms;
    size_t requestsBefore; // adapter requests sent when the pause began
};

class ConnectionSequence : public ::testing::Test {
protected:
    void SetUp() override {
        ResetSharedState();
        adapter = InstallScriptedAdapter();
        ThrowOnLinkError(&codes);
        SetDelayFunction([this](float ms) { pauses.push_back({ms, adapter->requests.size()}); });
    }
    void TearDown() override {
        SetDelayFunction({});
        ResetSharedState();
    }

    // Runs the sequence; the link error code, or -1 when it connected.
    int run() {
        try {
            RunConnectionSequence(progress);
        } catch (const LinkErrorExit& exit) {
            return exit.code;
        }
        return -1;
    }

    // Bus set-up requests fail until the given attempt (1-based) succeeds; 0: never.
    void setUpSucceedsAt(int attempt) {
        auto count = std::make_shared<int>(0);
        adapter->status = [count, attempt](const AdapterRequest& r, int) -> int16_t {
            if (r.request != 0xDD)
                return 0;
            ++*count;
            return (attempt != 0 && *count >= attempt) ? 0 : 1;
        };
    }

    int requestsOf(int16_t request) const {
        return static_cast<int>(
            std::count_if(adapter->requests.begin(), adapter->requests.end(),
                          [request](const AdapterRequest& r) { return r.request == request; }));
    }

    std::vector<float> pausesOf(float ms) const {
        std::vector<float> result;
        for (const Pause& p : pauses)
            if (p.ms == ms)
                result.push_back(p.ms);
        return result;
    }

    ScriptedAdapter* adapter = nullptr;
    std::vector<int16_t> codes;
    std::vector<Pause> pauses;
    FakeMainWindow mainWindow;
    FakeProgress progress;
};
} // namespace

TEST_F(ConnectionSequence, SetUpSucceedingAtFirstAttemptSendsOneRequestThenPauses200ms) {
    adapter->setRegister(0x4C, 0xFE, 0x41);
    setUpSucceedsAt(1);
    EXPECT_EQ(run(), -1);
    EXPECT_EQ(requestsOf(0xDD), 1);
    const AdapterRequest setUp{0xDD, 0x30, 0x33, 0, 0};
    EXPECT_EQ(adapter->requests.front(), setUp);
    const auto it = std::find_if(pauses.begin(), pauses.end(), [](const Pause& p) { return p.ms == 200; });
    ASSERT_NE(it, pauses.end());
    EXPECT_EQ(it->requestsBefore, 1u) << "the pause follows the successful request";
    EXPECT_EQ(pausesOf(200).size(), 1u);
}

TEST_F(ConnectionSequence, SetUpSucceedingAtTwentiethAttemptStillConnects) {
    adapter->setRegister(0x4C, 0xFE, 0x41);
    setUpSucceedsAt(20);
    EXPECT_EQ(run(), -1);
    EXPECT_EQ(requestsOf(0xDD), 20);
    EXPECT_EQ(pausesOf(200).size(), 20u);
    EXPECT_EQ(DeviceAddress, 0x4C);
}

TEST_F(ConnectionSequence, TwentyFailedSetUpsEndWithInitialConnectionFailed) {
    adapter->setRegister(0x4C, 0xFE, 0x41);
    setUpSucceedsAt(0);
    EXPECT_EQ(run(), USBStuff::InitialConnectionFailed);
    EXPECT_EQ(requestsOf(0xDD), 20);
    EXPECT_TRUE(adapter->reads().empty()) << "no address search without a bus";
    EXPECT_EQ(progress.texts.back(), "Connecting...");
}

TEST_F(ConnectionSequence, FirmwareFailureEndsWithCodeZeroBeforeAnyRequest) {
    adapter->firmwareStatus = -1;
    EXPECT_EQ(run(), USBStuff::FirmwareFailed);
    EXPECT_TRUE(adapter->requests.empty());
    EXPECT_EQ(progress.texts, QStringList{"Downloading Firmware..."});
    EXPECT_TRUE(mainWindow.statusTexts.isEmpty());
}

TEST_F(ConnectionSequence, FirmwareStatusZeroOrPositiveIsSuccess) {
    adapter->setRegister(0x18, 0xFE, 0x41);
    adapter->firmwareStatus = 5;
    EXPECT_EQ(run(), -1);
    EXPECT_EQ(mainWindow.statusTexts, QStringList{"Firmware download succesful"});
}

struct SearchCase {
    const char* name;
    std::vector<int32_t> chips;
    int expectedCode; // -1: connected
    int32_t expectedAddress;
    size_t expectedReads;
};

class AddressSearch : public ConnectionSequence, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(AddressSearch, LowestAddressAnsweringManufacturerIdWins) {
    const SearchCase& c = GetParam();
    for (int32_t chip : c.chips)
        adapter->setRegister(chip, 0xFE, 0x41);
    // A device answering something else is passed over.
    adapter->setRegister(0x20, 0xFE, 0x42);
    EXPECT_EQ(run(), c.expectedCode);
    EXPECT_EQ(DeviceAddress, c.expectedAddress);
    const std::vector<int32_t> reads = adapter->reads();
    EXPECT_EQ(reads.size(), c.expectedReads);
    EXPECT_TRUE(std::all_of(reads.begin(), reads.end(), [](int32_t r) { return r == 0xFE; }));
}

INSTANTIATE_TEST_SUITE_P(
    Chips, AddressSearch,
    ::testing::Values(
        SearchCase{"FirstAddress", {0x18}, -1, 0x18, 1}, SearchCase{"At4C", {0x4C}, -1, 0x4C, 53},
        SearchCase{"LastAddress", {0x4E}, -1, 0x4E, 55},
        SearchCase{"TwoChipsLowerWins", {0x4C, 0x29}, -1, 0x29, 18},
        SearchCase{"OutsideRangeIsNotSearched", {0x17, 0x4F}, USBStuff::InitialConnectionFailed, 0, 55},
        SearchCase{"NoChip", {}, USBStuff::InitialConnectionFailed, 0, 55}),
    [](const ::testing::TestParamInfo<SearchCase>& row) { return row.param.name; });

TEST_F(ConnectionSequence, ManufacturerIdReadFailureIsCommunicationsInterrupted) {
    adapter->status = [](const AdapterRequest& r, int) -> int16_t { return r.request == 0xDE ? 1 : 0; };
    EXPECT_EQ(run(), USBStuff::CommunicationsInterrupted);
}

TEST_F(ConnectionSequence, TextsAndPausesFollowTheStages) {
    adapter->setRegister(0x4C, 0xFE, 0x41);
    EXPECT_EQ(run(), -1);
    EXPECT_EQ(progress.texts, (QStringList{"Downloading Firmware...", "Enumerating...", "Connecting...",
                                           "Searching for OTK5530 on USB...", "Found an OTK5530 at 4Ch"}));
    EXPECT_TRUE(progress.shown);
    // 34 rounds of 50 ms widen the bar from 33 to 50 steps by half a step each.
    std::vector<float> expected(34, 50.0f);
    expected.insert(expected.end(), {200.0f, 1000.0f, 2000.0f});
    std::vector<float> seen;
    for (const Pause& p : pauses)
        seen.push_back(p.ms);
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(pauses[35].requestsBefore, 1u) << "the 1 s pause comes before the first Manufacturer ID read";
}

TEST_F(ConnectionSequence, BarWidthsAreCountedInProgressSteps) {
    adapter->setRegister(0x1A, 0xFE, 0x41);
    progress.fullWidth = 450; // step 4: the whole-pixel part of 4.5
    EXPECT_EQ(run(), -1);
    std::vector<double> expected{0, 33 * 4};
    for (double w = 33 * 4 + 2; w < 50 * 4; w += 2)
        expected.push_back(w);
    expected.push_back(50 * 4);
    expected.insert(expected.end(), {76 * 4, 84 * 4, 92 * 4, 100 * 4, 100 * 4});
    EXPECT_EQ(progress.widths, expected);
}

TEST(ProgressStep, IsTheWholePartOfAHundredth) {
    const struct {
        double fullWidth;
        double step;
    } cases[] = {{400, 4}, {450, 4}, {499.9, 4}, {99, 0}, {5000, 50}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fullWidth);
        EXPECT_EQ(ProgressStep(c.fullWidth), c.step);
    }
}

TEST(Delay, RealWaitLastsAtLeastTheGivenTime) {
    SetDelayFunction({});
    QElapsedTimer timer;
    timer.start();
    Delay(5);
    EXPECT_GE(timer.nsecsElapsed(), 5'000'000);
}

class MainWindowLoad : public ConnectionSequence {
protected:
    TestSettingsFolder settingsFolder;
};

TEST_F(MainWindowLoad, SplashEndsShowingTheAddressAndAFullBar) {
    adapter->setRegister(0x4C, 0xFE, 0x41);
    frmSplash splash;
    splash.Form_Load();
    frmMain main;
    ASSERT_NO_THROW(main.MDIForm_Load(splash));
    auto* info = splash.findChild<QLabel*>("lblProgInfo");
    auto* bar = splash.findChild<QLabel*>("lblProgress");
    ASSERT_TRUE(info && bar);
    EXPECT_EQ(info->text(), "Found an OTK5530 at 4Ch");
    EXPECT_FALSE(info->isHidden());
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->width(), 400);
    EXPECT_EQ(main.windowTitle(), "OTK5530 Evaluation Software");
    EXPECT_EQ(main.findChild<QLabel*>("sbStatusBar_1")->text(), "Firmware download succesful");
}

TEST_F(MainWindowLoad, NoStoredGeometryGivesTheDefaultPlace) {
    adapter->setRegister(0x4C, 0xFE, 0x41);
    FakeProgress shown;
    frmMain main;
    main.MDIForm_Load(shown);
    EXPECT_EQ(main.pos(), QPoint(67, 67));
    EXPECT_EQ(main.size(), QSize(433, 433));
}
