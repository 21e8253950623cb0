#include "app/ConnectionSequence.h"

#include "adapter/USBFunctions.h"
#include "adapter/VendorRequests.h"
#include "app/Announcements.h"
#include "app/Delay.h"
#include "chip/ChipRegisters.h"
#include "device/GeneralStuff.h"
#include "device/NumberText.h"
#include "device/USBStuff.h"

#include <QCoreApplication>
#include <cmath>

namespace GeneralStuff {

namespace {

void showStatus(const QString& text) {
    emit Announcements::program().statusText(text);
}

bool sendBusSetUp() {
    uint8_t noData = 0;
    return USBFunctions::VendorIORequest(VendorRequest::BusSetUp, VendorRequest::BusSetUpValue,
                                         VendorRequest::BusSetUpIndex, 0, 0, &noData) == 0;
}
} // namespace

bool SetUpBus(const std::function<void(bool succeeded)>& afterAttempt) {
    for (int attempt = 1; attempt <= kSetUpAttempts; ++attempt) {
        const bool connected = sendBusSetUp();
        afterAttempt(connected);
        if (connected)
            return true;
    }
    return false;
}

bool OtkAnswersAt(int32_t address) {
    return USBStuff::ReadRegister(address, kManufacturerId) == kOurManufacturerId;
}

double ProgressStep(double fullWidth) {
    return std::floor(fullWidth / 100.0);
}

void RunConnectionSequence(ConnectionProgress& progress) {
    const double step = ProgressStep(progress.progressFullWidth());
    double bar = 0;
    progress.setProgressWidth(bar);
    progress.showProgress();

    progress.setProgressText("Downloading Firmware...");
    if (USBStuff::LoadAdapterFirmware() < 0)
        USBStuff::ReportLinkError(USBStuff::FirmwareFailed);
    showStatus("Firmware download succesful");
    bar = 33 * step;
    progress.setProgressWidth(bar);

    progress.setProgressText("Enumerating...");
    do {
        bar += step / 2;
        progress.setProgressWidth(bar);
        Delay(50);
    } while (bar < 50 * step);

    progress.setProgressText("Connecting...");
    const bool connected = SetUpBus([](bool) {
        Delay(200);
        QCoreApplication::processEvents();
    });
    if (!connected)
        USBStuff::ReportLinkError(USBStuff::InitialConnectionFailed);

    bar = 76 * step;
    progress.setProgressWidth(bar);
    progress.setProgressText("Searching for OTK5530 on USB...");
    Delay(1000);

    bool found = false;
    for (int32_t address = kFirstSearchAddress; address <= kLastSearchAddress && !found; ++address) {
        bar += 8 * step;
        progress.setProgressWidth(bar);
        if (OtkAnswersAt(address)) {
            DeviceAddress = address;
            found = true;
        }
    }
    if (!found)
        USBStuff::ReportLinkError(USBStuff::InitialConnectionFailed);

    bar = 100 * step;
    progress.setProgressWidth(bar);
    progress.setProgressText("Found an OTK5530 at " + HexText(DeviceAddress) + "h");
    Delay(2000);
}

} // namespace GeneralStuff
