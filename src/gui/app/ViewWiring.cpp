#include "app/ViewWiring.h"

#include "app/Announcements.h"
#include "app/frmMain.h"
#include "device/WindowClasses.h"
#include "files/frmLogging.h"
#include "views/OpenWindows.h"
#include "views/frmGraph.h"
#include "views/frmLimits.h"
#include "views/frmRegMap.h"

void ConnectViewFeeds(MonitoringCycle& cycle, QObject& context) {
    const Announcements* announcements = &Announcements::program();
    const OpenWindows& open = OpenWindows::program();
    cycle.setContinuousReadBox([&open] { return open.regMap && open.regMap->continuousReadTicked(); });
    QObject::connect(announcements, &Announcements::statusRegisterRead, &context,
                     [&open](int32_t statusRegister, uint8_t status) {
                         if (open.limits)
                             open.limits->showStatusRegister(statusRegister, status);
                     });
    QObject::connect(announcements, &Announcements::statusRead, &context,
                     [&open](uint8_t status1, uint8_t status2) {
                         if (open.graph)
                             open.graph->statusRead(status1, status2);
                     });
    QObject::connect(announcements, &Announcements::gaugesDue, &context, [&open](const Reading& reading) {
        if (open.limits)
            open.limits->showReading(reading);
    });
    QObject::connect(announcements, &Announcements::graphDue, &context,
                     [&open](const Reading& reading, double longestSampleGap) {
                         if (open.graph)
                             open.graph->showReading(reading, longestSampleGap);
                     });
    QObject::connect(announcements, &Announcements::regMapReadDue, &context, [&open] {
        if (open.regMap)
            open.regMap->ReadAction();
    });
}

void DisconnectViews(QObject& context) {
    QObject::disconnect(&Announcements::program(), nullptr, &context, nullptr);
}

void ConnectViews(frmMain& main) {
    ConnectViewFeeds(main.monitoringCycle(), main);
    const Announcements* announcements = &Announcements::program();
    QObject::connect(announcements, &Announcements::statusText, &main, &frmMain::setStatusText);
    QObject::connect(announcements, &Announcements::cycleSettingsChanged, &main,
                     &frmMain::cycleSettingsChanged);
    QObject::connect(announcements, &Announcements::masterTimerPaused, &main, &frmMain::pauseMasterTimer);
    QObject::connect(announcements, &Announcements::masterTimerResumed, &main, &frmMain::resumeMasterTimer);
    // The logging window lives only while open, so it is looked up when logging stops.
    QObject::connect(announcements, &Announcements::loggingStopped, &main, [&main] {
        for (QWidget* child : main.findChildren<QWidget*>(WindowClass::kLogging))
            if (auto* window = dynamic_cast<frmLogging*>(child))
                window->loggingStopped();
    });
}
