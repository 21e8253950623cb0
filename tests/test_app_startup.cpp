#include "app/Capture.h"
#include "app/Delay.h"
#include "app/Main.h"
#include "app/WindowCatalog.h"
#include "app/frmMain.h"
#include "device/GeneralStuff.h"
#include "support/AppFakes.h"
#include "support/ScriptedAdapter.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>
#include <gtest/gtest.h>

namespace {
QWidget* topLevel(const QString& name) {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->objectName() == name && widget->isVisible())
            return widget;
    return nullptr;
}

class StartUp : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        adapter = InstallScriptedAdapter();
        ThrowOnLinkError();
        GeneralStuff::SetDelayFunction([](float) {});
        SetWindowFactory([this](const QString& name) -> ChildWindow {
            requested.append(name);
            auto* window = new QWidget;
            window->setObjectName(name);
            return {window, {}};
        });
    }
    void TearDown() override {
        if (QWidget* main = topLevel("frmMain"))
            main->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SetWindowFactory({});
        GeneralStuff::SetDelayFunction({});
        GeneralStuff::ResetSharedState();
    }
    TestSettingsFolder folder;
    ScriptedAdapter* adapter = nullptr;
    QStringList requested;
};
} // namespace

TEST_F(StartUp, MainLeavesTheConnectedMainWindowRunningWithTheGraphOpen) {
    adapter->setRegister(0x2A, 0xFE, 0x41);
    adapter->setRegister(0x2A, 0x03, 0x0C);
    GeneralStuff::Main();
    EXPECT_EQ(topLevel("frmSplash"), nullptr) << "the splash is closed";
    auto* main = static_cast<frmMain*>(topLevel("frmMain"));
    ASSERT_TRUE(main);
    EXPECT_TRUE(main->masterTimerEnabled());
    EXPECT_EQ(requested, QStringList{"frmGraph"});
    ASSERT_EQ(main->findChild<QMdiArea*>()->subWindowList().size(), 1);
    EXPECT_EQ(GeneralStuff::DeviceAddress, 0x2A);
    // The device model comes last, after the graph window: it reads Configuration Reg 1.
    EXPECT_EQ(adapter->reads().back(), 0x03);
    EXPECT_TRUE(GeneralStuff::ExtendedRange);
    EXPECT_TRUE(GeneralStuff::Remote2Selected);
    EXPECT_TRUE(GeneralStuff::ContinuousReading);
    EXPECT_EQ(GeneralStuff::GraphInterval, 50);
}

TEST_F(StartUp, CaptureSavesTheMainWindowAndQuits) {
    adapter->setRegister(0x4C, 0xFE, 0x41);
    GeneralStuff::Main();
    const QString file = folder.path() + "/main.png";
    ScheduleCapture(file, 0.05);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QCoreApplication::exec(), 0);
    const QImage picture(file);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.size(), topLevel("frmMain")->size());
}

TEST_F(StartUp, CaptureThatCannotBeSavedQuitsWithAnError) {
    adapter->setRegister(0x4C, 0xFE, 0x41);
    GeneralStuff::Main();
    ScheduleCapture(folder.path() + "/missing/main.png", 0);
    QTimer::singleShot(10000, [] { QCoreApplication::exit(99); });
    EXPECT_EQ(QCoreApplication::exec(), 3);
}

// Simulated temperatures must never pass for measured ones: the mark stays while the program
// runs, beside the specified panels, whose texts it leaves alone.
TEST_F(StartUp, SimulatedBoardIsMarkedInTheStatusBarAndARealAdapterIsNot) {
    for (const bool simulated : {true, false}) {
        SCOPED_TRACE(simulated);
        adapter->setRegister(0x4C, 0xFE, 0x41);
        GeneralStuff::Main("Simulated evaluation board", simulated);
        auto* main = static_cast<frmMain*>(topLevel("frmMain"));
        ASSERT_TRUE(main);
        const auto* mark = main->findChild<QLabel*>("lblSimulatedBoard");
        EXPECT_EQ(mark != nullptr, simulated);
        if (mark) {
            EXPECT_EQ(mark->text(), "Simulated board");
            EXPECT_TRUE(mark->isVisible());
            main->setStatusText("Status text");
            EXPECT_EQ(main->findChild<QLabel*>("sbStatusBar_1")->text(), "Status text");
        }
        main->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
