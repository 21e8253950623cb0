#include "app/Announcements.h"
#include "app/LinkErrorHandling.h"
#include "app/MainGeometry.h"
#include "app/WindowCatalog.h"
#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "device/Clock.h"
#include "device/GeneralStuff.h"
#include "device/USBStuff.h"
#include "support/AppFakes.h"
#include "support/ScriptedAdapter.h"
#include "ui/AppMessages.h"

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>

namespace {
// A child window that counts its loads and closes, standing in for the views.
class CountingWindow : public QWidget {
public:
    CountingWindow(const QString& name, QStringList* closedLog) : closed(closedLog) {
        setObjectName(name);
        setWindowTitle(name + " title");
    }
    int loads = 0;

protected:
    void closeEvent(QCloseEvent* event) override {
        closed->append(objectName());
        event->accept();
    }

private:
    QStringList* closed;
};

class MainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        SetWindowFactory([this](const QString& name) -> ChildWindow {
            requested.append(name);
            if (name == "frmUnknown")
                return {};
            auto* window = new CountingWindow(name, &closed);
            return {window, [window] { ++window->loads; }};
        });
        main = std::make_unique<frmMain>();
    }
    void TearDown() override {
        SetWindowFactory({});
        SetCriticalMessageFunction({});
        Clock::SetLocalNowSource({});
        GeneralStuff::ResetSharedState();
    }
    QList<QMdiSubWindow*> children() const { return main->findChild<QMdiArea*>("mdiArea")->subWindowList(); }
    CountingWindow* child(int i) const { return static_cast<CountingWindow*>(children().at(i)->widget()); }
    QMdiSubWindow* active() const { return main->findChild<QMdiArea*>("mdiArea")->activeSubWindow(); }
    QAction* action(const char* name) const { return main->findChild<QAction*>(name); }

    TestSettingsFolder folder;
    QStringList requested;
    QStringList closed;
    std::unique_ptr<frmMain> main;
};
} // namespace

TEST_F(MainWindow, MenusCarryTheirCaptionsAndOpenTheirWindows) {
    const struct {
        const char* menu;
        const char* menuCaption;
        const char* item;
        const char* caption;
        const char* window;
    } items[] = {{"mnuFile", "&File", "mnuSave", "&Save/Recall Configuration", "frmSave"},
                 {"mnuFile", "&File", "mnuLog", "&Log Data to File", "frmLogging"},
                 {"mnuDevice", "&View", "mnuRegMap", "&Register Map", "frmRegMap"},
                 {"mnuDevice", "&View", "mnuGraph", "Gra&phing", "frmGraph"},
                 {"mnuDevice", "&View", "mnuLimits", "Li&mits, Interrupts", "frmLimits"},
                 {"mnuConfig", "&Configuration", "mnuGeneralConfig", "&General Configuration", "frmConfig"},
                 {"mnuConfig", "&Configuration", "mnuSoftware", "&Software options", "frmSWOptions"},
                 {"mnuMainAbout", "&About", "mnuAbout", "A&bout the OTK5530 Software...", "frmAbout"}};
    for (const auto& i : items) {
        SCOPED_TRACE(i.item);
        auto* menu = main->findChild<QMenu*>(i.menu);
        ASSERT_TRUE(menu);
        EXPECT_EQ(menu->title(), i.menuCaption);
        QAction* item = action(i.item);
        ASSERT_TRUE(item);
        EXPECT_TRUE(menu->actions().contains(item));
        EXPECT_EQ(item->text(), i.caption);
        requested.clear();
        item->trigger();
        EXPECT_EQ(requested, QStringList{i.window});
    }
    QStringList titles;
    for (QAction* top : main->menuBar()->actions())
        titles.append(top->text());
    EXPECT_EQ(titles, (QStringList{"&File", "&View", "&Configuration", "&Window", "&About"}));
}

// Control keys, distinct, shown beside the captions, and none taking a key that a
// text box or the menus' access keys (Alt + letter) already use.
TEST_F(MainWindow, MenuCommandsHaveTheirOwnShortcutKeys) {
    const struct {
        const char* item;
        const char* window;
    } items[] = {{"mnuSave", "frmSave"},          {"mnuLog", "frmLogging"},
                 {"mnuRegMap", "frmRegMap"},      {"mnuGraph", "frmGraph"},
                 {"mnuLimits", "frmLimits"},      {"mnuGeneralConfig", "frmConfig"},
                 {"mnuSoftware", "frmSWOptions"}, {"mnuAbout", "frmAbout"}};
    // Keys whose standard meaning is the command's own.
    const QList<QKeySequence::StandardKey> ownMeaning{QKeySequence::Save, QKeySequence::HelpContents,
                                                      QKeySequence::Preferences};
    main->show();
    main->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main.get()));
    QList<QKeySequence> seen;
    for (const auto& i : items) {
        SCOPED_TRACE(i.item);
        const QKeySequence key = action(i.item)->shortcut();
        ASSERT_EQ(key.count(), 1);
        EXPECT_FALSE(seen.contains(key));
        seen.append(key);
        EXPECT_FALSE(key[0].keyboardModifiers() & Qt::AltModifier);
        for (int standard = QKeySequence::HelpContents; standard <= QKeySequence::Cancel; ++standard) {
            const auto meaning = static_cast<QKeySequence::StandardKey>(standard);
            if (!ownMeaning.contains(meaning)) {
                EXPECT_FALSE(QKeySequence::keyBindings(meaning).contains(key))
                    << key.toString().toStdString();
            }
        }
        requested.clear();
        QTest::keyClick(main.get(), key[0].key(), key[0].keyboardModifiers());
        EXPECT_EQ(requested, QStringList{i.window}) << key.toString().toStdString();
    }
}

TEST_F(MainWindow, ToolbarButtonsHaveTheirKeysTooltipsAndIcons) {
    auto* toolbar = main->findChild<QToolBar*>("tbToolBar");
    ASSERT_TRUE(toolbar);
    const struct {
        const char* key;
        const char* tooltip;
        bool enabled;
    } buttons[] = {
        {"Save", "Save/Recall Configuration", true}, {"Config", "General Device Configuration", true},
        {"Graphs", "Temperature/Fan graphs", true},  {"Tree", "Register Map Tree", true},
        {"Limits", "Interrupts/Limits", true},       {"Log", "", false}};
    const QList<QAction*> actions = toolbar->actions();
    ASSERT_EQ(actions.size(), 6);
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(buttons[i].key);
        EXPECT_EQ(actions[i]->data().toString(), buttons[i].key);
        EXPECT_EQ(actions[i]->toolTip(), buttons[i].tooltip);
        EXPECT_EQ(actions[i]->isEnabled(), buttons[i].enabled);
        EXPECT_FALSE(actions[i]->icon().pixmap(16, 16).isNull());
    }
    EXPECT_EQ(toolbar->iconSize(), QSize(16, 16));
}

TEST_F(MainWindow, ToolbarDispatchMatchesKeysExactly) {
    const struct {
        const char* key;
        const char* window; // empty: nothing opens
    } cases[] = {{"Save", "frmSave"},   {"Config", "frmConfig"}, {"Graphs", "frmGraph"},
                 {"Tree", "frmRegMap"}, {"Limits", "frmLimits"}, {"Log", "frmLogging"},
                 {"save", ""},          {"Graph", ""},           {"", ""},
                 {"Limits ", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.key);
        requested.clear();
        main->tbToolBar_ButtonClick(c.key);
        EXPECT_EQ(requested, QString(c.window).isEmpty() ? QStringList{} : QStringList{c.window});
    }
}

TEST_F(MainWindow, DisabledLogButtonCannotBeClicked) {
    QAction* log = action("tbToolBar_Log");
    ASSERT_TRUE(log);
    log->trigger();
    EXPECT_TRUE(requested.isEmpty());
}

TEST_F(MainWindow, OpenWindowIsBroughtToTheFrontWithoutReloading) {
    main->show();
    main->mnuGraph_Click();
    main->mnuRegMap_Click();
    ASSERT_EQ(children().size(), 2);
    EXPECT_EQ(active()->widget()->objectName(), "frmRegMap");
    main->mnuGraph_Click();
    ASSERT_EQ(children().size(), 2);
    EXPECT_EQ(active()->widget()->objectName(), "frmGraph");
    EXPECT_EQ(child(0)->loads, 1);
    EXPECT_EQ(child(1)->loads, 1);
    EXPECT_EQ(requested, (QStringList{"frmGraph", "frmRegMap"}));
    EXPECT_TRUE(children().at(0)->testAttribute(Qt::WA_DeleteOnClose));
}

TEST_F(MainWindow, ClosedWindowIsLoadedAfreshNextTime) {
    main->show();
    main->mnuLimits_Click();
    children().at(0)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(closed, QStringList{"frmLimits"});
    main->mnuLimits_Click();
    ASSERT_EQ(children().size(), 1);
    EXPECT_EQ(child(0)->loads, 1);
    EXPECT_EQ(requested.size(), 2);
}

// Every caller passes a WindowClass name; --open refuses unknown names before this.
TEST_F(MainWindow, UnknownWindowIsAProgrammingErrorAndOpensNothing) {
    EXPECT_THROW(main->OpenChildWindow("frmUnknown"), std::invalid_argument);
    EXPECT_TRUE(children().isEmpty());
}

TEST_F(MainWindow, WindowMenuListsOpenChildrenAndActivatesTheChosenOne) {
    main->show();
    main->mnuGraph_Click();
    main->mnuLimits_Click();
    auto* menu = main->findChild<QMenu*>("mnuWindow");
    emit menu->aboutToShow();
    QStringList texts;
    QList<bool> checks;
    for (QAction* a : menu->actions()) {
        texts.append(a->text());
        checks.append(a->isChecked());
    }
    EXPECT_EQ(texts, (QStringList{"frmGraph title", "frmLimits title", "", "&Cascade", "&Tile"}));
    EXPECT_EQ(checks, (QList<bool>{false, true, false, false, false}));
    menu->actions().at(0)->trigger();
    EXPECT_EQ(active()->widget()->objectName(), "frmGraph");
    children().at(1)->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    emit menu->aboutToShow();
    EXPECT_EQ(menu->actions().size(), 1 + 3);
}

TEST_F(MainWindow, WindowMenuOpensFromTheMenuBarWithTheOpenChildren) {
    main->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    auto* menu = main->findChild<QMenu*>("mnuWindow");
    const QRect title = main->menuBar()->actionGeometry(menu->menuAction());
    for (const QStringList& expected :
         {QStringList{"&Cascade", "&Tile"},
          QStringList{"frmGraph title", "frmLimits title", "", "&Cascade", "&Tile"}}) {
        SCOPED_TRACE(qPrintable(expected.join(", ")));
        if (expected.size() > 2) {
            main->mnuGraph_Click();
            main->mnuLimits_Click();
        }
        QTest::mouseClick(main->menuBar(), Qt::LeftButton, {}, title.center());
        EXPECT_TRUE(QTest::qWaitFor([menu] { return menu->isVisible(); }, 30000)); // a bound, not a deadline
        QStringList texts;
        for (QAction* a : menu->actions())
            texts.append(a->text());
        EXPECT_EQ(texts, expected);
        menu->hide();
    }
}

TEST_F(MainWindow, StatusBarShowsStatusDateAndTime) {
    Clock::SetLocalNowSource([] { return QDateTime(QDate(2026, 3, 14), QTime(15, 9, 26)); });
    main = std::make_unique<frmMain>();
    auto* bar = main->findChild<QStatusBar*>("sbStatusBar");
    ASSERT_TRUE(bar);
    auto* status = bar->findChild<QLabel*>("sbStatusBar_1");
    auto* date = bar->findChild<QLabel*>("sbStatusBar_2");
    auto* time = bar->findChild<QLabel*>("sbStatusBar_3");
    ASSERT_TRUE(status && date && time);
    EXPECT_EQ(status->text(), "Status");
    EXPECT_EQ(date->text(), QLocale().toString(QDate(2026, 3, 14), QLocale::ShortFormat));
    EXPECT_EQ(time->text(), QLocale().toString(QTime(15, 9, 26), QLocale::ShortFormat));
    EXPECT_EQ(date->width(), 96);
    EXPECT_EQ(time->width(), 96);
    main->setStatusText("Logging");
    EXPECT_EQ(status->text(), "Logging");
}

TEST_F(MainWindow, MasterTimerRunsOnTheTenMsGridOnlyOnceEnabled) {
    auto* timer = main->findChild<QTimer*>("tmrMaster");
    ASSERT_TRUE(timer);
    EXPECT_FALSE(timer->isActive());
    main->setMasterTimerEnabled(true);
    EXPECT_TRUE(main->masterTimerEnabled());
    // Nothing open and nothing read: it wakes only every 100 ms; a section switched on runs at the next tick.
    EXPECT_EQ(timer->interval(), 100);
    GeneralStuff::ContinuousReading = true;
    emit Announcements::program().cycleSettingsChanged();
    EXPECT_EQ(timer->interval(), 10);
    // No chip here: the tick finds nothing to do and sleeps the longest it may. The status bar's clock
    // follows the tick rather than waking the program on its own.
    GeneralStuff::ContinuousReading = false;
    Clock::SetLocalNowSource([] { return QDateTime(QDate(2026, 3, 14), QTime(15, 9, 26)); });
    EXPECT_FALSE(main->findChild<QTimer*>("tmrClock")->isActive());
    main->tmrMaster_Timer();
    EXPECT_EQ(timer->interval(), 100);
    EXPECT_EQ(main->findChild<QLabel*>("sbStatusBar_3")->text(),
              QLocale().toString(QTime(15, 9, 26), QLocale::ShortFormat));
    main->setMasterTimerEnabled(false);
    EXPECT_FALSE(timer->isActive());
    EXPECT_TRUE(main->findChild<QTimer*>("tmrClock")->isActive());
    main->cycleSettingsChanged();
    EXPECT_FALSE(timer->isActive());
}

// A recall inside a save, say: the timer stays off until the outermost pause ends, then runs as it did.
TEST_F(MainWindow, MasterTimerPausesNestAndComeBackAsTheyWere) {
    Announcements& announce = Announcements::program();
    for (const bool enabled : {true, false}) {
        SCOPED_TRACE(enabled);
        main->setMasterTimerEnabled(enabled);
        emit announce.masterTimerPaused();
        emit announce.masterTimerPaused();
        EXPECT_FALSE(main->masterTimerEnabled());
        emit announce.masterTimerResumed();
        EXPECT_FALSE(main->masterTimerEnabled());
        emit announce.masterTimerResumed();
        EXPECT_EQ(main->masterTimerEnabled(), enabled);
    }
    main.reset();
    emit announce.masterTimerPaused(); // the connections ended with the window
}

TEST_F(MainWindow, ClosingClosesEveryChildFirst) {
    main->show();
    main->mnuGraph_Click();
    main->mnuLimits_Click();
    main->close();
    EXPECT_EQ(closed.size(), 2);
    EXPECT_TRUE(OpenMainSettings()->contains("Settings/MainLeft"));
}

TEST_F(MainWindow, LinkErrorStopsTheTimerTellsTheUserAndUnloadsEveryWindow) {
    ScriptedAdapter* adapter = InstallScriptedAdapter();
    adapter->status = [](const AdapterRequest&, int) -> int16_t { return 7; };
    std::vector<int16_t> codes;
    ThrowOnLinkError(&codes);
    USBStuff::SetLinkErrorHandler(HandleLinkError);
    QStringList messages;
    bool timerRanDuringMessage = true;
    SetCriticalMessageFunction([&](const QString& text) {
        messages.append(text);
        timerRanDuringMessage = main->masterTimerEnabled();
    });
    main->move(100, 50);
    main->resize(600, 400);
    main->show();
    main->setMasterTimerEnabled(true);
    main->mnuGraph_Click();
    frmSplash splash;
    splash.show();

    EXPECT_THROW(USBStuff::ReadRegister(0x4C, 0x00), LinkErrorExit);
    EXPECT_EQ(messages, QStringList{"Communications Interrupted - Check USB connections"});
    EXPECT_FALSE(timerRanDuringMessage);
    EXPECT_EQ(closed, QStringList{"frmGraph"});
    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(splash.isVisible());
    EXPECT_EQ(ReadMainGeometry(*OpenMainSettings()), (MainGeometry{1500, 750, 9000, 6000}));
}
