#pragma once
// The main window: the frame that holds every view as a child window, its
// menus, toolbar and status bar, and the master timer of the monitoring cycle.
#include "app/MonitoringCycle.h"

#include <QElapsedTimer>
#include <QMainWindow>

class ConnectionProgress;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class QToolBar;

class frmMain : public QMainWindow {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    ~frmMain() override;

    // Applies the stored geometry and runs the connection sequence, showing its progress.
    void MDIForm_Load(ConnectionProgress& progress);
    // Stores the geometry unless the window is minimized.
    void MDIForm_Unload();

    // Loads and shows the window of the class (a WindowClass name), or brings the open one
    // to the front. A name no window has is a programming error: std::invalid_argument.
    void OpenChildWindow(const QString& className);
    void tbToolBar_ButtonClick(const QString& key);
    void tmrMaster_Timer();

    void mnuSave_Click();
    void mnuLog_Click();
    void mnuSaveWorkspace_Click();
    void mnuOpenWorkspace_Click();
    void mnuOpenLastSession_Click();
    void mnuRegMap_Click();
    void mnuGraph_Click();
    void mnuLimits_Click();
    void mnuRegOverview_Click();
    void mnuGeneralConfig_Click();
    void mnuSoftware_Click();
    void mnuAbout_Click();

    void setStatusText(const QString& text);
    void setMasterTimerEnabled(bool enabled);
    bool masterTimerEnabled() const;
    // A section's condition or interval changed: the timer is armed again for it.
    void cycleSettingsChanged();
    // The settings file's pauses: the outermost resume gives the timer back as it was.
    void pauseMasterTimer();
    void resumeMasterTimer();

    MonitoringCycle& monitoringCycle() { return cycle; }
    // Names the adapter in use in the tooltip of the status text panel; the simulated board
    // also gets a permanent "Simulated board" mark in the status bar.
    void setAdapterDescription(const QString& description, bool simulated = false);
    const QString& adapterDescription() const { return m_adapterDescription; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildMenus();
    void buildToolBar();
    void buildStatusBar();
    void rebuildWindowMenu();
    void showDateAndTime();
    void armMasterTimer();

    QMdiArea* mdiArea;
    QString m_adapterDescription;
    QTimer* tmrMaster;
    // The master timer's grid counts from its start.
    QElapsedTimer masterGrid;
    // The second the status bar's date and time show (seconds since the epoch).
    qint64 shownSecond = -1;
    QTimer* tmrClock;
    QToolBar* tbToolBar = nullptr;
    QMenu* mnuWindow = nullptr;
    QLabel* statusPanels[3] = {};
    MonitoringCycle cycle;
    int masterTimerPauses = 0;
    bool enabledBeforePause = false;
};
