#include "app/frmMain.h"

#include "app/ChildFrame.h"
#include "app/ChildPlacement.h"
#include "app/ConnectionSequence.h"
#include "app/MainGeometry.h"
#include "app/ToolbarIcons.h"
#include "app/ToolbarKeys.h"
#include "app/Version.h"
#include "app/ViewWiring.h"
#include "app/WindowCatalog.h"
#include "app/WorkspaceWindows.h"
#include "device/Clock.h"
#include "device/WindowClasses.h"
#include "ui/AppMessages.h"
#include "ui/Twips.h"

#include <QCloseEvent>
#include <QDir>
#include <QLabel>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPointer>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <stdexcept>

namespace {
constexpr int kClockRefreshMs = 1000;
constexpr int kInchPixels = 96;
constexpr int kMarkPadding = 6;
const char* const kWindowClassProperty = "windowClass";
} // namespace

frmMain::frmMain(QWidget* parent) : QMainWindow(parent) {
    setObjectName(WindowClass::kMain);
    setWindowTitle(kApplicationTitle);
    mdiArea = new QMdiArea(this);
    mdiArea->setObjectName("mdiArea");
    // A main window smaller than a child scrolls, rather than hiding the child's buttons.
    mdiArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdiArea->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdiArea);

    tmrMaster = new QTimer(this);
    tmrMaster->setObjectName("tmrMaster");
    tmrMaster->setInterval(kMasterTickMs);
    // A coarse timer may come a few ms early and find nothing due.
    tmrMaster->setTimerType(Qt::PreciseTimer);
    connect(tmrMaster, &QTimer::timeout, this, &frmMain::tmrMaster_Timer);

    buildMenus();
    buildToolBar();
    buildStatusBar();

    // The warning waits for the tick to finish, so no tick work runs inside its message box.
    cycle.setLogFailureHandler([this](const QString& message) {
        QMetaObject::invokeMethod(
            this, [message] { ShowWarningMessage(message); }, Qt::QueuedConnection);
    });
    ConnectViews(*this);
}

// The child windows close after this body, with the widget, and announce as they go: by
// then nothing of this window may hear them.
frmMain::~frmMain() {
    DisconnectViews(*this);
}

void frmMain::buildMenus() {
    struct Item {
        const char* name;
        const char* caption;
        void (frmMain::*handler)();
        QKeySequence shortcut;
    };
    auto addMenu = [this](const char* name, const char* caption, std::initializer_list<Item> items) {
        QMenu* menu = menuBar()->addMenu(caption);
        menu->setObjectName(name);
        menu->menuAction()->setObjectName(QString(name) + "_Action");
        for (const Item& item : items) {
            QAction* action = menu->addAction(item.caption);
            action->setObjectName(item.name);
            action->setShortcut(item.shortcut);
            connect(action, &QAction::triggered, this, item.handler);
        }
        return menu;
    };
    // Ctrl with the access letter, never Alt (Alt with a letter opens a menu); Shift is added
    // where Ctrl with the letter is a standard key (Ctrl+P prints, Ctrl+C copies). The
    // options take the usual Ctrl+, and the about box F1, the help key.
    addMenu(
        "mnuFile", "&File",
        {{"mnuSave", "&Save/Recall Configuration", &frmMain::mnuSave_Click, QKeySequence("Ctrl+S")},
         {"mnuLog", "&Log Data to File", &frmMain::mnuLog_Click, QKeySequence("Ctrl+L")},
         {"mnuSaveWorkspace", "Save &Workspace...", &frmMain::mnuSaveWorkspace_Click, QKeySequence()},
         {"mnuOpenWorkspace", "Open W&orkspace...", &frmMain::mnuOpenWorkspace_Click, QKeySequence()},
         {"mnuOpenLastSession", "Open Las&t Session", &frmMain::mnuOpenLastSession_Click, QKeySequence()}});
    addMenu("mnuDevice", "&View",
            {{"mnuRegMap", "&Register Map", &frmMain::mnuRegMap_Click, QKeySequence("Ctrl+R")},
             {"mnuGraph", "Gra&phing", &frmMain::mnuGraph_Click, QKeySequence("Ctrl+Shift+P")},
             {"mnuLimits", "Li&mits, Interrupts", &frmMain::mnuLimits_Click, QKeySequence("Ctrl+M")},
             {"mnuRegOverview", "Register &Overview", &frmMain::mnuRegOverview_Click,
              QKeySequence("Ctrl+Shift+O")}});
    addMenu("mnuConfig", "&Configuration",
            {{"mnuGeneralConfig", "&General Configuration", &frmMain::mnuGeneralConfig_Click,
              QKeySequence("Ctrl+Shift+C")},
             {"mnuSoftware", "&Software options", &frmMain::mnuSoftware_Click, QKeySequence("Ctrl+,")}});
    mnuWindow = addMenu("mnuWindow", "&Window", {});
    connect(mnuWindow, &QMenu::aboutToShow, this, &frmMain::rebuildWindowMenu);
    addMenu("mnuMainAbout", "&About",
            {{"mnuAbout", "A&bout the OTK5530 Software...", &frmMain::mnuAbout_Click, QKeySequence("F1")}});
}

void frmMain::buildToolBar() {
    tbToolBar = addToolBar("Toolbar");
    tbToolBar->setObjectName("tbToolBar");
    tbToolBar->setIconSize(QSize(16, 16));
    tbToolBar->setMovable(false);
    for (const ToolbarButton& button : kToolbarButtons) {
        QAction* action = tbToolBar->addAction(ToolbarIcon(button.key), "");
        action->setObjectName(QString("tbToolBar_") + button.key);
        action->setData(QString(button.key));
        action->setToolTip(button.tooltip);
        action->setEnabled(button.offered);
        connect(action, &QAction::triggered, this,
                [this, action] { tbToolBar_ButtonClick(action->data().toString()); });
    }
}

void frmMain::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName("sbStatusBar");
    for (int i = 0; i < 3; ++i) {
        statusPanels[i] = new QLabel(bar);
        statusPanels[i]->setObjectName(QString("sbStatusBar_%1").arg(i + 1));
        statusPanels[i]->setFrameShape(QFrame::Panel);
        statusPanels[i]->setFrameShadow(QFrame::Sunken);
    }
    statusPanels[0]->setText("Status");
    // The status text gives way in a narrow window; the panels beside it keep their width.
    statusPanels[0]->setMinimumWidth(1);
    bar->addWidget(statusPanels[0], 1);
    for (int i = 1; i < 3; ++i) {
        statusPanels[i]->setFixedWidth(kInchPixels);
        statusPanels[i]->setAlignment(Qt::AlignCenter);
        bar->addPermanentWidget(statusPanels[i]);
    }
    showDateAndTime();
    tmrClock = new QTimer(this);
    tmrClock->setObjectName("tmrClock");
    tmrClock->setInterval(kClockRefreshMs);
    connect(tmrClock, &QTimer::timeout, this, &frmMain::showDateAndTime);
    tmrClock->start();
}

void frmMain::showDateAndTime() {
    const QDateTime now = Clock::LocalNow();
    // The master tick asks at every wake-up; the texts change at most once a second.
    const qint64 second = now.toSecsSinceEpoch();
    if (second == shownSecond)
        return;
    shownSecond = second;
    const QLocale locale;
    statusPanels[1]->setText(locale.toString(now.date(), QLocale::ShortFormat));
    statusPanels[2]->setText(locale.toString(now.time(), QLocale::ShortFormat));
}

void frmMain::MDIForm_Load(ConnectionProgress& progress) {
    const std::unique_ptr<QSettings> settings = OpenMainSettings();
    if (!settings)
        ShowWarningMessage(
            QString("The settings store\n%1\ncannot be used: it is no plain file of at most 1 MB. The main "
                    "window opens at its default place, and its place is not saved.")
                .arg(QDir::toNativeSeparators(MainSettingsPath())));
    const MainGeometry geometry =
        GeometryOnScreens(settings ? ReadMainGeometry(*settings) : MainGeometry{}, AvailableScreensInTwips());
    move(Px(geometry.left), Px(geometry.top));
    resize(Px(geometry.width), Px(geometry.height));
    setWindowTitle(kApplicationTitle);
    GeneralStuff::RunConnectionSequence(progress);
}

void frmMain::MDIForm_Unload() {
    if (isMinimized())
        return;
    const std::unique_ptr<QSettings> settings = OpenMainSettings();
    if (!settings)
        return;
    WriteMainGeometry(*settings, {Twips(x()), Twips(y()), Twips(width()), Twips(height())});
}

void frmMain::closeEvent(QCloseEvent* event) {
    setMasterTimerEnabled(false);
    SaveLastSession(*this);
    mdiArea->closeAllSubWindows();
    MDIForm_Unload();
    event->accept();
}

void frmMain::OpenChildWindow(const QString& className) {
    for (QMdiSubWindow* open : mdiArea->subWindowList()) {
        if (open->property(kWindowClassProperty).toString() == className) {
            if (open->isMinimized())
                open->showNormal();
            mdiArea->setActiveSubWindow(open);
            open->raise();
            return;
        }
    }
    const ChildWindow child = CreateChildWindow(className);
    if (!child.widget)
        throw std::invalid_argument("No window class named " + className.toStdString());
    QPointer<ChildFrame> frame = new ChildFrame;
    frame->setWidget(child.widget);
    mdiArea->addSubWindow(frame);
    frame->setAttribute(Qt::WA_DeleteOnClose);
    frame->setProperty(kWindowClassProperty, className);
    if (child.load)
        child.load();
    if (!frame)
        return;
    // The area placed the frame before its load set the window's size (and, for the about box, its position).
    frame->move(ChildWindowPosition(mdiArea->viewport()->size(), frame->geometry()));
    frame->show();
    frame->keepLoadedSize();
    mdiArea->setActiveSubWindow(frame);
    frame->raise();
}

void frmMain::rebuildWindowMenu() {
    mnuWindow->clear();
    QMdiSubWindow* active = mdiArea->activeSubWindow();
    for (QMdiSubWindow* open : mdiArea->subWindowList()) {
        QString caption = open->windowTitle();
        if (caption.isEmpty())
            caption = open->property(kWindowClassProperty).toString();
        QAction* action = mnuWindow->addAction(caption);
        action->setCheckable(true);
        action->setChecked(open == active);
        QPointer<QMdiSubWindow> target = open;
        connect(action, &QAction::triggered, this, [this, target] {
            if (target)
                mdiArea->setActiveSubWindow(target);
        });
    }
    if (!mnuWindow->isEmpty())
        mnuWindow->addSeparator();
    QAction* cascade = mnuWindow->addAction("&Cascade", mdiArea, &QMdiArea::cascadeSubWindows);
    cascade->setObjectName("mnuCascade");
    QAction* tile = mnuWindow->addAction("&Tile", mdiArea, &QMdiArea::tileSubWindows);
    tile->setObjectName("mnuTile");
}

void frmMain::tbToolBar_ButtonClick(const QString& key) {
    const QString windowClass = WindowOfToolbarKey(key);
    if (!windowClass.isEmpty())
        OpenChildWindow(windowClass);
}

void frmMain::tmrMaster_Timer() {
    cycle.tick();
    // The status bar's clock goes with the tick while the master timer runs: no wake-up of its own.
    showDateAndTime();
    armMasterTimer();
}

// The timer wakes only at the tick of its 10 ms grid at which a section is due: the tick the
// plain 10 ms timer would run it on. Armed from now, after the tick's work, it may come up to
// about a tick later; the due checks read the clock afresh, so nothing runs early or is missed.
void frmMain::armMasterTimer() {
    if (!tmrMaster->isActive())
        return;
    const int msToNextTick = kMasterTickMs - static_cast<int>(masterGrid.elapsed() % kMasterTickMs);
    tmrMaster->start(kMasterTickMs * cycle.ticksUntilDue(Clock::LocalNow(), msToNextTick));
}

void frmMain::cycleSettingsChanged() {
    armMasterTimer();
}

void frmMain::mnuSave_Click() {
    OpenChildWindow(WindowClass::kSave);
}
void frmMain::mnuLog_Click() {
    OpenChildWindow(WindowClass::kLogging);
}
void frmMain::mnuSaveWorkspace_Click() {
    SaveWorkspaceChosen(*this);
}
void frmMain::mnuOpenWorkspace_Click() {
    OpenWorkspaceChosen(*this);
}
void frmMain::mnuOpenLastSession_Click() {
    OpenLastSession(*this);
}
void frmMain::mnuRegMap_Click() {
    OpenChildWindow(WindowClass::kRegMap);
}
void frmMain::mnuGraph_Click() {
    OpenChildWindow(WindowClass::kGraph);
}
void frmMain::mnuLimits_Click() {
    OpenChildWindow(WindowClass::kLimits);
}

void frmMain::mnuRegOverview_Click() {
    OpenChildWindow(WindowClass::kRegOverview);
}
void frmMain::mnuGeneralConfig_Click() {
    OpenChildWindow(WindowClass::kConfig);
}
void frmMain::mnuSoftware_Click() {
    OpenChildWindow(WindowClass::kSWOptions);
}
void frmMain::mnuAbout_Click() {
    OpenChildWindow(WindowClass::kAbout);
}

void frmMain::setStatusText(const QString& text) {
    statusPanels[0]->setText(text);
}

void frmMain::setMasterTimerEnabled(bool enabled) {
    if (enabled) {
        masterGrid.start();
        tmrMaster->start(kMasterTickMs);
        armMasterTimer();
        tmrClock->stop();
    } else {
        tmrClock->start();
        tmrMaster->stop();
    }
}

bool frmMain::masterTimerEnabled() const {
    return tmrMaster->isActive();
}

void frmMain::pauseMasterTimer() {
    if (masterTimerPauses++ > 0)
        return;
    enabledBeforePause = masterTimerEnabled();
    setMasterTimerEnabled(false);
}

void frmMain::resumeMasterTimer() {
    if (masterTimerPauses == 0 || --masterTimerPauses > 0)
        return;
    setMasterTimerEnabled(enabledBeforePause);
}

void frmMain::setAdapterDescription(const QString& description, bool simulated) {
    m_adapterDescription = description;
    statusPanels[0]->setToolTip(description.isEmpty() ? QString() : "Adapter: " + description);
    if (!simulated || statusBar()->findChild<QLabel*>("lblSimulatedBoard"))
        return;
    // Beside the panels, never in place of their texts: simulated temperatures must not
    // pass for measured ones, on screen or in a capture.
    auto* mark = new QLabel("Simulated board", statusBar());
    mark->setObjectName("lblSimulatedBoard");
    mark->setFrameShape(QFrame::Panel);
    mark->setFrameShadow(QFrame::Sunken);
    QFont bold = mark->font();
    bold.setBold(true);
    mark->setFont(bold);
    mark->setStyleSheet(
        QString("QLabel { color: white; background: #b03000; padding: 0 %1px; }").arg(kMarkPadding));
    mark->setToolTip(description);
    // Never cut short when the window is narrow: the status text gives way instead.
    mark->setMinimumWidth(mark->fontMetrics().horizontalAdvance(mark->text()) +
                          2 * (kMarkPadding + mark->frameWidth()));
    // Index 1 is right after the status text, before the date and time panels.
    statusBar()->insertPermanentWidget(1, mark);
}
