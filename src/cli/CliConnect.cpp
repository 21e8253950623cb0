#include "cli/CliConnect.h"

#include "adapter/AdapterChoice.h"
#include "adapter/DefaultAdapter.h"
#include "app/ConnectionSequence.h"
#include "chip/ChipRegisters.h"
#include "cli/BoardOption.h"
#include "cli/CliExit.h"
#include "cli/CliOutput.h"
#include "device/ChipSession.h"
#include "device/RegMapStuff.h"
#include "device/USBStuff.h"

#include <QFile>
#include <chrono>
#include <cstdio>
#include <thread>

namespace {
constexpr uint8_t kNothingAnswers = 0xFF;

std::function<void(const QString&)>& linkLossEnding() {
    static std::function<void(const QString&)> ending;
    return ending;
}

void printLinkError(int16_t, const QString& message) {
    if (linkLossEnding())
        linkLossEnding()(message);
    std::fflush(stdout);
    std::fprintf(stderr, "%s: %s\n", kToolName, qPrintable(message));
    const QString details = USBStuff::LinkErrorDetails();
    if (!details.isEmpty())
        std::fprintf(stderr, "%s: %s\n", kToolName, qPrintable(details));
}
// Where the installed adapter sits: the choice (given, else OTK5530_ADAPTER; neither: sim)
// and the USB adapter's place as the start found it.
QString adapterPlace(const QString& adapterChoice, const AdapterStart& start) {
    AdapterChoice choice;
    std::string unused;
    ParseAdapterChoice(
        (adapterChoice.isEmpty() ? qEnvironmentVariable("OTK5530_ADAPTER") : adapterChoice).toStdString(),
        choice, unused);
    choice.usbBus = start.usbBus;
    choice.usbPortPath = start.usbPortPath;
    return BoardPlace(choice);
}
} // namespace

void SetLinkLossEnding(std::function<void(const QString& failure)> ending) {
    linkLossEnding() = std::move(ending);
}

CliConnection ConnectAdapter(const QString& adapterChoice) {
    AdapterStart start;
    start.firmwarePath = QFile::encodeName(USBStuff::FirmwareFilePath()).toStdString();
    std::string error;
    const bool installed = adapterChoice.isEmpty()
                               ? InstallDefaultAdapter(start, error)
                               : InstallAdapterFromChoice(adapterChoice.toStdString(), start, error);
    if (!installed)
        throw CliError{kExitUsage, QString::fromStdString(error)};
    if (!start.warning.empty())
        std::fprintf(stderr, "%s: warning: %s\n", kToolName, start.warning.c_str());
    USBStuff::SetLinkErrorHandler(printLinkError);

    if (USBStuff::LoadAdapterFirmware() < 0)
        USBStuff::ReportLinkError(USBStuff::FirmwareFailed);
    const bool connected = GeneralStuff::SetUpBus([](bool succeeded) {
        if (!succeeded)
            std::this_thread::sleep_for(kSetUpRetryPause);
    });
    if (!connected)
        USBStuff::ReportLinkError(USBStuff::InitialConnectionFailed);
    return {QString::fromStdString(start.description), start.simulated, adapterPlace(adapterChoice, start)};
}

std::vector<ScanHit> ScanBus() {
    std::vector<ScanHit> hits;
    for (int32_t address = GeneralStuff::kFirstSearchAddress; address <= GeneralStuff::kLastSearchAddress;
         ++address) {
        const int id = USBStuff::ReadRegister(address, kManufacturerId);
        if (id == kNothingAnswers)
            continue;
        const int revision = USBStuff::ReadRegister(address, kDieRevision);
        hits.push_back({address, id, revision, id == kOurManufacturerId});
    }
    return hits;
}

void SelectChip(std::optional<int32_t> address) {
    ChipSession& chip = USBStuff::ProgramChip();
    if (address) {
        if (!GeneralStuff::OtkAnswersAt(*address))
            throw CliError{kExitNoChip, "no OTK5530 answers at " + ByteText(*address)};
        chip.DeviceAddress = *address;
    } else {
        bool found = false;
        for (int32_t a = GeneralStuff::kFirstSearchAddress; a <= GeneralStuff::kLastSearchAddress && !found;
             ++a)
            if (GeneralStuff::OtkAnswersAt(a)) {
                chip.DeviceAddress = a;
                found = true;
            }
        if (!found)
            throw CliError{kExitNoChip, QString("no OTK5530 found at any address from %1 to %2")
                                            .arg(ByteText(GeneralStuff::kFirstSearchAddress),
                                                 ByteText(GeneralStuff::kLastSearchAddress))};
    }
    RegMapStuff::BuildRegisterTable();
    // The range and channel selection as the chip has them: the program's start-up update.
    USBStuff::OnProgramChip([](ChipSession& session) { session.AfterRegisterWrite(kConfig1Write); });
}
