#include "app/ViewWiring.h"

#include "app/Announcements.h"
#include "app/frmMain.h"
#include "device/WindowClasses.h"
#include "files/frmLogging.h"

void ConnectViews(frmMain& main) {
    Announcements& announcements = Announcements::program();
    QObject::connect(&announcements, &Announcements::statusText, &main, &frmMain::setStatusText);
    // The logging window lives only while open, so it is looked up when logging stops.
    QObject::connect(&announcements, &Announcements::loggingStopped, &main, [&main] {
        for (QWidget* child : main.findChildren<QWidget*>(WindowClass::kLogging))
            if (auto* window = dynamic_cast<frmLogging*>(child))
                window->loggingStopped();
    });
}
