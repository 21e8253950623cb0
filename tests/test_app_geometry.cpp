#include "app/Delay.h"
#include "app/LinkErrorHandling.h"
#include "app/MainGeometry.h"
#include "app/frmMain.h"
#include "device/GeneralStuff.h"
#include "device/USBStuff.h"
#include "support/AppFakes.h"
#include "support/ScriptedAdapter.h"
#include "ui/AppMessages.h"

#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <gtest/gtest.h>

namespace {
struct StoredCase {
    const char* name;
    QVariant stored;
    bool mustBePositive;
    double expected;
};

class StoredTwipsRule : public ::testing::TestWithParam<StoredCase> {};
} // namespace

TEST_P(StoredTwipsRule, NumbersApplyAndAnythingElseFallsBack) {
    const StoredCase& c = GetParam();
    EXPECT_EQ(StoredTwips(c.stored, 1000, c.mustBePositive), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Values, StoredTwipsRule,
    ::testing::Values(StoredCase{"Absent", QVariant(), false, 1000},
                      StoredCase{"Number", "1200", false, 1200}, StoredCase{"Blanks", " 1200 ", false, 1200},
                      StoredCase{"Fraction", "1234.5", false, 1234.5},
                      // A window may sit left of or above the primary screen.
                      StoredCase{"NegativeEdge", "-300", false, -300},
                      StoredCase{"NotANumber", "wide", false, 1000}, StoredCase{"Empty", "", false, 1000},
                      StoredCase{"TrailingLetters", "12abc", false, 1000},
                      StoredCase{"Infinite", "inf", false, 1000}, StoredCase{"ZeroWidth", "0", true, 1000},
                      StoredCase{"NegativeWidth", "-6500", true, 1000}),
    [](const ::testing::TestParamInfo<StoredCase>& row) { return row.param.name; });

class MainWindowGeometry : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        adapter = InstallScriptedAdapter();
        adapter->setRegister(0x4C, 0xFE, 0x41);
        ThrowOnLinkError();
        GeneralStuff::SetDelayFunction([](float) {});
    }
    void TearDown() override {
        GeneralStuff::SetDelayFunction({});
        SetCriticalMessageFunction({});
        GeneralStuff::ResetSharedState();
    }
    void store(const char* key, const QString& value) {
        auto settings = OpenMainSettings();
        settings->setValue(QString("Settings/") + key, value);
        settings->sync();
    }
    QString stored(const char* key) {
        return OpenMainSettings()->value(QString("Settings/") + key).toString();
    }

    TestSettingsFolder folder;
    ScriptedAdapter* adapter = nullptr;
    FakeProgress progress;
};

TEST_F(MainWindowGeometry, DefaultsAreWrittenBackAsWholePixelsInTwips) {
    frmMain main;
    main.MDIForm_Load(progress);
    main.close();
    // 1000 twips is 66.7 px, shown as 67 px and stored back as 1005 twips.
    EXPECT_EQ(stored("MainLeft"), "1005");
    EXPECT_EQ(stored("MainTop"), "1005");
    EXPECT_EQ(stored("MainWidth"), "6495");
    EXPECT_EQ(stored("MainHeight"), "6495");
}

TEST_F(MainWindowGeometry, StoredGeometryRoundTripsThroughARun) {
    store("MainLeft", "1500");
    store("MainTop", "2250");
    store("MainWidth", "9000");
    store("MainHeight", "7500");
    {
        frmMain main;
        main.MDIForm_Load(progress);
        EXPECT_EQ(main.geometry().size(), QSize(600, 500));
        EXPECT_EQ(main.pos(), QPoint(100, 150));
        main.move(200, 120);
        main.resize(640, 480);
        main.close();
    }
    frmMain next;
    next.MDIForm_Load(progress);
    EXPECT_EQ(next.pos(), QPoint(200, 120));
    EXPECT_EQ(next.size(), QSize(640, 480));
    const MainGeometry expected{3000, 1800, 9600, 7200};
    EXPECT_EQ(ReadMainGeometry(*OpenMainSettings()), expected);
}

TEST_F(MainWindowGeometry, MinimizedWindowKeepsThePreviousRunsValues) {
    store("MainLeft", "4500");
    frmMain main;
    main.MDIForm_Load(progress);
    main.move(10, 10);
    main.setWindowState(Qt::WindowMinimized);
    main.close();
    EXPECT_EQ(stored("MainLeft"), "4500");
    EXPECT_FALSE(OpenMainSettings()->contains("Settings/MainWidth"));
}

TEST_F(MainWindowGeometry, NonNumericStoredValueFallsBackToItsDefault) {
    store("MainWidth", "wide");
    store("MainHeight", "3000");
    frmMain main;
    main.MDIForm_Load(progress);
    EXPECT_EQ(main.size(), QSize(433, 200));
}

TEST_F(MainWindowGeometry, ValuesAreStoredAsTextUnderSettings) {
    auto settings = OpenMainSettings();
    WriteMainGeometry(*settings, {1000, 2000, 6500, 7000});
    QFile file(settings->fileName());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains("[Settings]"));
    EXPECT_TRUE(text.contains("MainLeft=1000"));
    EXPECT_TRUE(text.contains("MainHeight=7000"));
    EXPECT_TRUE(settings->fileName().contains("OTK5530 Evaluation Software"));
}

TEST_F(MainWindowGeometry, LinkErrorDuringLoadStillStoresTheGeometry) {
    adapter->firmwareStatus = -1;
    store("MainLeft", "3000");
    QStringList messages;
    SetCriticalMessageFunction([&messages](const QString& text) { messages.append(text); });
    USBStuff::SetLinkErrorHandler(HandleLinkError);
    frmMain main;
    EXPECT_THROW(main.MDIForm_Load(progress), LinkErrorExit);
    EXPECT_EQ(messages, QStringList{"Firmware failed to download - Check USB connections"});
    EXPECT_EQ(stored("MainLeft"), "3000");
    EXPECT_EQ(stored("MainWidth"), "6495") << "the unload ran although the window was never shown";
}

namespace {
struct ScreenCase {
    const char* name;
    MainGeometry stored;
    MainGeometry kept;
};

// Two screens side by side, 800 × 600 pixels each (12000 × 9000 twips).
const QList<QRectF> kTwoScreens{QRectF(0, 0, 12000, 9000), QRectF(12000, 0, 12000, 9000)};

class GeometryOnScreensRule : public ::testing::TestWithParam<ScreenCase> {};
} // namespace

TEST_P(GeometryOnScreensRule, KeepsAReachableTitleBarAndSaneSizes) {
    const ScreenCase& c = GetParam();
    EXPECT_EQ(GeometryOnScreens(c.stored, kTwoScreens), c.kept);
}

INSTANTIATE_TEST_SUITE_P(
    Values, GeometryOnScreensRule,
    ::testing::Values(
        ScreenCase{"OnTheSecondScreen", {15000, 1000, 6500, 6500}, {15000, 1000, 6500, 6500}},
        // Hanging over an edge is fine while a grip of the title bar stays on a screen.
        ScreenCase{"MostlyOffTheLeftEdge", {-5000, 1000, 6500, 6500}, {-5000, 1000, 6500, 6500}},
        ScreenCase{"OffEveryScreenToTheRight", {900000, 2000, 6500, 6500}, {1000, 2000, 6500, 6500}},
        ScreenCase{"TitleBarAboveTheScreens", {2000, -300, 6500, 6500}, {2000, 1000, 6500, 6500}},
        ScreenCase{"FarOffBothWays", {-1e9, 1e9, 6500, 6500}, {1000, 1000, 6500, 6500}},
        ScreenCase{"WiderThanEveryScreenTogether", {1000, 1000, 3e10, 6500}, {1000, 1000, 6500, 6500}},
        ScreenCase{"TallerThanTheScreens", {1000, 1000, 6500, 9001}, {1000, 1000, 6500, 6500}},
        ScreenCase{"TooSmallToUse", {1000, 1000, 15, 1499}, {1000, 1000, 6500, 6500}},
        ScreenCase{"SpanningBothScreens", {6000, 0, 18000, 9000}, {6000, 0, 18000, 9000}}),
    [](const ::testing::TestParamInfo<ScreenCase>& row) { return row.param.name; });

// The absurd values of a damaged store never reach the window or the store again.
TEST_F(MainWindowGeometry, AbsurdStoredValuesGiveAnOnScreenWindowAndAreNotWrittenBack) {
    store("MainLeft", "60000");
    store("MainTop", "-60000");
    store("MainWidth", "3e10");
    store("MainHeight", "1e300");
    frmMain main;
    main.MDIForm_Load(progress);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(screen.contains(main.geometry().topLeft()));
    EXPECT_EQ(main.geometry(), QRect(67, 67, 433, 433)) << "the defaults";
    main.close();
    for (const char* key : {"MainLeft", "MainTop", "MainWidth", "MainHeight"})
        EXPECT_LE(stored(key).toDouble(), 6500) << key;
}
