// Every child window reachable: where the windows open in small and large main
// windows, the scroll bars of a main window too small for them, Cascade and Tile.
#include "app/AboutLayout.h"
#include "app/ChildPlacement.h"
#include "app/frmMain.h"
#include "device/GeneralStuff.h"
#include "device/RegMapStuff.h"
#include "support/AppFakes.h"
#include "support/ScriptedAdapter.h"
#include "ui/Twips.h"

#include <QAction>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QTest>
#include <gtest/gtest.h>
#include <map>
#include <memory>

namespace {
const QStringList kWindows{"frmRegMap",  "frmGraph", "frmLimits",    "frmConfig",
                           "frmLogging", "frmSave",  "frmSWOptions", "frmAbout"};

TEST(ChildWindowPosition, MovesJustEnoughToLieInsideOrStartsAtTheEdge) {
    const struct {
        const char* name;
        QRect window;
        QPoint position;
    } rows[] = {
        {"inside: stays", {100, 50, 300, 200}, {100, 50}},
        {"over the right and bottom edges", {900, 700, 300, 200}, {500, 400}},
        {"above and left of the area", {-40, -100, 300, 200}, {0, 0}},
        {"wider than the area", {300, 50, 900, 200}, {0, 50}},
        {"exactly as high as the area", {10, 30, 300, 600}, {10, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(ChildWindowPosition(QSize(800, 600), row.window), row.position);
    }
}

class ChildPlacement : public ::testing::Test {
protected:
    void SetUp() override {
        GeneralStuff::ResetSharedState();
        RegMapStuff::BuildRegisterTable();
        adapter = InstallScriptedAdapter();
        ThrowOnLinkError();
        GeneralStuff::DeviceAddress = 0x4C;
    }
    void TearDown() override {
        main.reset();
        GeneralStuff::ResetSharedState();
    }

    void showMain(QSize size) {
        main = std::make_unique<frmMain>();
        main->resize(size);
        main->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(main.get()));
    }
    QMdiArea* area() const { return main->findChild<QMdiArea*>("mdiArea"); }
    QRect viewport() const { return QRect(QPoint(0, 0), area()->viewport()->size()); }
    QMdiSubWindow* frameOf(const QString& name) const {
        for (QMdiSubWindow* frame : area()->subWindowList())
            if (frame->widget()->objectName() == name)
                return frame;
        return nullptr;
    }
    // Opens the window and returns its frame's size once it is shown.
    QSize open(const QString& name) {
        main->OpenChildWindow(name);
        QMdiSubWindow* frame = frameOf(name);
        return frame ? frame->size() : QSize();
    }

    ScriptedAdapter* adapter = nullptr;
    TestSettingsFolder settings;
    std::unique_ptr<frmMain> main;
};

TEST_F(ChildPlacement, LargeMainWindowsShowEveryChildWhole) {
    for (const QSize size : {QSize(1200, 800), QSize(1900, 1050)}) {
        SCOPED_TRACE(testing::Message() << size.width() << " x " << size.height());
        showMain(size);
        for (const QString& name : kWindows) {
            SCOPED_TRACE(name.toStdString());
            open(name);
            QMdiSubWindow* frame = frameOf(name);
            ASSERT_NE(frame, nullptr);
            EXPECT_TRUE(viewport().contains(frame->geometry())) << "at " << frame->x() << ", " << frame->y();
        }
        EXPECT_FALSE(area()->horizontalScrollBar()->isVisible());
        EXPECT_FALSE(area()->verticalScrollBar()->isVisible());
        // Where it fits, the about box stands where its own rule puts it.
        QMdiSubWindow* about = frameOf("frmAbout");
        const QPointF rule = AboutBoxPosition(
            QSizeF(Twips(main->frameGeometry().width()), Twips(main->frameGeometry().height())),
            QSizeF(Twips(about->width()), Twips(about->height())));
        EXPECT_EQ(about->pos(), QPoint(Px(rule.x()), Px(rule.y())));
    }
}

// A main window smaller than a child: the child keeps its size, starts at the area's
// edge, and the scroll bars reach its far corner and every one of its buttons.
TEST_F(ChildPlacement, SmallMainWindowScrollsToEveryButton) {
    std::map<QString, QSize> designed;
    showMain(QSize(1900, 1050));
    for (const QString& name : kWindows)
        designed[name] = open(name);
    for (const QString& name : kWindows) {
        SCOPED_TRACE(name.toStdString());
        showMain(QSize(420, 300));
        EXPECT_EQ(open(name), designed[name]);
        QMdiSubWindow* frame = frameOf(name);
        ASSERT_NE(frame, nullptr);
        EXPECT_EQ(frame->pos(), QPoint(0, 0));
        area()->horizontalScrollBar()->setValue(area()->horizontalScrollBar()->maximum());
        area()->verticalScrollBar()->setValue(area()->verticalScrollBar()->maximum());
        EXPECT_LE(frame->geometry().right(), viewport().right());
        EXPECT_LE(frame->geometry().bottom(), viewport().bottom());
        for (QPushButton* button : frame->findChildren<QPushButton*>()) {
            // Scrolled as a user would, until the button's corner reaches the viewport's.
            QScrollBar* across = area()->horizontalScrollBar();
            QScrollBar* down = area()->verticalScrollBar();
            across->setValue(0);
            down->setValue(0);
            const QPoint inArea = button->mapTo(area()->viewport(), QPoint(0, 0));
            across->setValue(inArea.x());
            down->setValue(inArea.y());
            const QRect onScreen(button->mapTo(area()->viewport(), QPoint(0, 0)), button->size());
            EXPECT_TRUE(viewport().contains(onScreen)) << button->objectName().toStdString();
        }
    }
}

TEST_F(ChildPlacement, WindowMovedOutOfSightComesBackWhenOpenedAgain) {
    showMain(QSize(1200, 800));
    open("frmConfig");
    QMdiSubWindow* frame = frameOf("frmConfig");
    frame->move(1100, 700);
    main->OpenChildWindow("frmLimits");
    EXPECT_EQ(frame->pos(), QPoint(1100, 700)) << "only a window being opened is placed";
    EXPECT_TRUE(viewport().contains(frameOf("frmLimits")->geometry()));
}

TEST_F(ChildPlacement, CascadeAndTileFollowTheListOfWindows) {
    // Room for each tile to hold its window's content: smaller areas scroll (below).
    showMain(QSize(1900, 1050));
    for (const char* name : {"frmConfig", "frmSWOptions", "frmLimits"})
        open(name);
    auto* menu = main->findChild<QMenu*>("mnuWindow");
    emit menu->aboutToShow();
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 6);
    EXPECT_TRUE(actions[3]->isSeparator());
    EXPECT_EQ(actions[4]->text(), "&Cascade");
    EXPECT_EQ(actions[5]->text(), "&Tile");

    actions[4]->trigger();
    QList<QPoint> corners;
    for (QMdiSubWindow* frame : area()->subWindowList()) {
        EXPECT_FALSE(corners.contains(frame->pos()));
        corners.append(frame->pos());
    }
    actions[5]->trigger();
    QRegion covered;
    for (QMdiSubWindow* frame : area()->subWindowList()) {
        EXPECT_TRUE(viewport().contains(frame->geometry()));
        EXPECT_FALSE(covered.intersects(frame->geometry())) << "tiles do not overlap";
        covered += frame->geometry();
    }
}

// What a child window must show whatever its frame's size: the graph's chart at its least, each of the
// limits window's gauges whole, the overview's first columns.
void ExpectContentShown(QMdiSubWindow* frame) {
    QWidget* view = frame->widget();
    if (view->objectName() == "frmGraph") {
        EXPECT_GE(view->width(), view->minimumSizeHint().width());
        EXPECT_GE(view->height(), view->minimumSizeHint().height());
    }
    for (int g = 0; g < 3; ++g) {
        if (auto* gauge = view->findChild<QWidget*>(QString("ggeTemp_%1").arg(g))) {
            const QRect shown(gauge->mapTo(view, QPoint(0, 0)), gauge->size());
            EXPECT_TRUE(view->rect().contains(shown)) << "gauge " << g;
        }
    }
    if (auto* table = view->findChild<QTableWidget*>("grdRegisters")) {
        EXPECT_LE(table->horizontalHeader()->sectionViewportPosition(3) + table->columnWidth(3),
                  table->viewport()->width())
            << "the Hex column";
    }
}

// Cascade gives every window the size it opened with; Tile shares the area out, but never below what a
// window's content needs, and never changes a window of fixed size; where the windows then do not fit,
// the area scrolls.
TEST_F(ChildPlacement, CascadeAndTileLeaveEveryChildUsable) {
    const QStringList names{"frmGraph", "frmLimits", "frmRegOverview", "frmAbout"};
    const struct {
        const char* name;
        QSize main;
        const char* arrangement;
        bool scrolls;
    } rows[] = {
        {"cascade in a roomy main window", {1260, 880}, "mnuCascade", false},
        {"tile in a roomy main window", {1260, 880}, "mnuTile", true},
        {"tile in a small main window", {640, 480}, "mnuTile", true},
        {"cascade in a small main window", {640, 480}, "mnuCascade", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        showMain(row.main);
        std::map<QString, QSize> opened;
        for (const QString& name : names)
            opened[name] = open(name);
        auto* menu = main->findChild<QMenu*>("mnuWindow");
        emit menu->aboutToShow();
        menu->findChild<QAction*>(row.arrangement)->trigger();
        QCoreApplication::processEvents();
        for (const QString& name : names) {
            SCOPED_TRACE(name.toStdString());
            QMdiSubWindow* frame = frameOf(name);
            if (name == "frmAbout" || QString(row.arrangement) == "mnuCascade") {
                EXPECT_EQ(frame->size(), opened[name]);
            }
            ExpectContentShown(frame);
        }
        EXPECT_EQ(area()->horizontalScrollBar()->isVisible() || area()->verticalScrollBar()->isVisible(),
                  row.scrolls);
    }
}

} // namespace
