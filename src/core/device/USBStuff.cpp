#include "device/USBStuff.h"

#include "adapter/USBFunctions.h"
#include "adapter/VendorRequests.h"
#include "device/ChipChanges.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <cstdlib>

namespace USBStuff {

ChipSession& ProgramChip() {
    static ChipSession session(InstalledAdapterLink(), 0, ChipChanges::Notify);
    return session;
}

std::array<uint8_t, 1>& ReadBuffer = ProgramChip().ReadBuffer;
QString FirmwarePath;
std::array<uint8_t, 513> PathBuffer{};

namespace {
constexpr int16_t kPathTooLong = -2;

// Set when the link itself refused (a path too long for the library); otherwise the
// adapter library is asked.
QString& linkFailure() {
    static QString text;
    return text;
}

LinkErrorHandler& linkErrorHandler() {
    static LinkErrorHandler handler = [](int16_t, const QString& message) {
        std::fprintf(stderr, "%s\n", qPrintable(message));
    };
    return handler;
}

ProgramEnd& programEnd() {
    static ProgramEnd end = [](int status) {
        std::fflush(nullptr);
        std::_Exit(status);
    };
    return end;
}

QString& applicationFolder() {
    static QString folder;
    return folder;
}
} // namespace

void SetLinkErrorHandler(LinkErrorHandler handler) {
    linkErrorHandler() = std::move(handler);
}
void SetProgramEnd(ProgramEnd end) {
    programEnd() = std::move(end);
}
void SetApplicationFolder(const QString& folder) {
    applicationFolder() = folder;
}

QString ApplicationFolder() {
    if (!applicationFolder().isEmpty())
        return applicationFolder();
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString(".");
}

QString FirmwareFilePath() {
    return ApplicationFolder() + "/OTK5520FW.Hex";
}

QString LinkErrorDetails() {
    if (!linkFailure().isEmpty())
        return linkFailure();
    const AdapterBackend* backend = InstalledAdapter();
    return backend ? QString::fromStdString(backend->FailureDetail()) : QString();
}

int16_t LoadAdapterFirmware() {
    FirmwarePath = FirmwareFilePath();
    linkFailure().clear();
    // Paths are bytes in the local 8-bit encoding here; a path that does not fit is
    // refused whole rather than truncated into a different file name.
    const QByteArray bytes = QFile::encodeName(FirmwarePath);
    const int limit = static_cast<int>(PathBuffer.size()) - 1;
    if (bytes.size() > limit) {
        linkFailure() = QString("the firmware path %1 has %2 bytes; the adapter library takes at most %3")
                            .arg(FirmwarePath)
                            .arg(bytes.size())
                            .arg(limit);
        return kPathTooLong;
    }
    PathBuffer.fill(0);
    for (int i = 0; i < bytes.size(); ++i)
        PathBuffer[i] = static_cast<uint8_t>(bytes[i]);
    PathBuffer[bytes.size()] = 0;
    return USBFunctions::LoadFirmWare(reinterpret_cast<const char*>(PathBuffer.data()));
}

int16_t ReadRegister(int32_t deviceAddress, int32_t registerAddress) {
    return OnProgramChip(
        [&](ChipSession& chip) { return chip.ReadRegisterAt(deviceAddress, registerAddress); });
}

int16_t WriteRegister(int32_t deviceAddress, int32_t registerAddress, int32_t data) {
    OnProgramChip([&](ChipSession& chip) { chip.WriteRegisterAt(deviceAddress, registerAddress, data); });
    return 0;
}

int16_t PollRegister(int32_t deviceAddress, int32_t registerAddress) {
    return ProgramChip().PollRegisterAt(deviceAddress, registerAddress);
}

QString LinkErrorMessage(int16_t code) {
    switch (code) {
    case FirmwareFailed:
        return "Firmware failed to download - Check USB connections";
    case InitialConnectionFailed:
        return "Initial Connection Failed - Check USB connections";
    default:
        return "Communications Interrupted - Check USB connections";
    }
}

void ReportLinkError(int16_t code) {
    linkErrorHandler()(code, LinkErrorMessage(code));
    programEnd()(1);
    // A replaced program end must not return; if it does, still never return to the caller.
    std::fflush(nullptr);
    std::_Exit(1);
}

} // namespace USBStuff
