#pragma once
// The device link: the only code that talks to the adapter library.
#include "device/ChipSession.h"

#include <QString>
#include <array>
#include <cstdint>
#include <functional>

namespace USBStuff {

// The program's one chip session; the operations below are its front, and the one
// place where its link failures become ReportLinkError.
ChipSession& ProgramChip();

// The one receive buffer shared by every read (the program session's); take a read's
// value before the next read.
extern std::array<uint8_t, 1>& ReadBuffer;
extern QString FirmwarePath;
// The firmware path as single-byte characters plus a NUL: at most 512 characters fit.
extern std::array<uint8_t, 513> PathBuffer;

enum LinkErrorCode : int16_t {
    FirmwareFailed = 0,
    InitialConnectionFailed = 2,
    CommunicationsInterrupted = 3
};

int16_t LoadAdapterFirmware();
int16_t ReadRegister(int32_t deviceAddress, int32_t registerAddress);
int16_t WriteRegister(int32_t deviceAddress, int32_t registerAddress, int32_t data);
int16_t PollRegister(int32_t deviceAddress, int32_t registerAddress);
[[noreturn]] void ReportLinkError(int16_t code);

// Runs an access of the program's session; a link failure goes to ReportLinkError,
// so nothing after the failed call runs.
template <class Access> auto OnProgramChip(Access access) -> decltype(access(ProgramChip())) {
    try {
        return access(ProgramChip());
    } catch (const LinkFailure& failure) {
        ReportLinkError(failure.code);
    }
}

QString LinkErrorMessage(int16_t code);
// The technical reason behind the last failure (the firmware file's fault, a bus error),
// shown beside the fixed message; empty when there is none.
QString LinkErrorDetails();
// The firmware file: the application folder + "/OTK5520FW.Hex".
QString FirmwareFilePath();
using ::WriteRequestIndex;

// Seams. The link-error handler shows the message and unloads every window; the
// program end then stops the process (default: exit status 1). Tests replace both.
using LinkErrorHandler = std::function<void(int16_t code, const QString& message)>;
using ProgramEnd = std::function<void(int status)>;
void SetLinkErrorHandler(LinkErrorHandler handler);
void SetProgramEnd(ProgramEnd end);
// The folder the firmware file is looked up in; defaults to the executable's folder.
void SetApplicationFolder(const QString& folder);
QString ApplicationFolder();

} // namespace USBStuff
