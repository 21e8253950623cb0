#include "app/Main.h"

#include "app/frmMain.h"
#include "app/frmSplash.h"
#include "device/GeneralStuff.h"
#include "device/WindowClasses.h"

#include <QCoreApplication>

namespace GeneralStuff {

frmMain* Main(const QString& adapterDescription, bool simulated) {
    auto* splash = new frmSplash;
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->Form_Load();
    splash->show();
    splash->repaint();
    // Once, so the window system maps the splash before the busy start-up begins.
    QCoreApplication::processEvents();

    auto* main = new frmMain;
    main->setAttribute(Qt::WA_DeleteOnClose);
    main->setAdapterDescription(adapterDescription, simulated);
    main->MDIForm_Load(*splash);

    splash->close();
    main->show();
    main->setMasterTimerEnabled(true);
    main->OpenChildWindow(WindowClass::kGraph);
    InitDeviceModel();
    return main;
}

} // namespace GeneralStuff
