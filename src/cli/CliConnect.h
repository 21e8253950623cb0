#pragma once
// The connection steps of the program without its splash and start-up pauses: adapter
// choice, firmware download, bus set-up, the chip's address. A lost link ends the tool
// with the device link's failure text on stderr and exit status 1.
#include <QString>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// What ends the output when the link fails, run before the failure text goes to stderr:
// a JSON document is closed with the failure as "error". Empty: nothing is open.
void SetLinkLossEnding(std::function<void(const QString& failure)> ending);

// Between failed bus set-up attempts only: a retry at once would find the adapter as busy
// as before. The program's other start-up pauses serve its splash and are left out.
inline constexpr std::chrono::milliseconds kSetUpRetryPause{200};

struct CliConnection {
    QString adapterDescription;
    bool simulated = false;
    QString place; // where the adapter sits: "sim", "usb-1-2.3", "i2c-1"
};

// Installs the adapter the choice names (empty: OTK5530_ADAPTER, else the simulated board),
// downloads the firmware and sets up the bus. Throws CliError (status 2) when the choice or
// its configuration is refused.
CliConnection ConnectAdapter(const QString& adapterChoice);

struct ScanHit {
    int32_t address = 0;
    int manufacturerId = 0;
    int dieRevision = 0;
    bool otk5530 = false;
};
// Every address of the program's search range where something answers (its Manufacturer
// ID register reads other than 0xFF, which is what an address without a chip gives).
std::vector<ScanHit> ScanBus();

// Connects to the chip at the address, or to the lowest address where an OTK5530 answers,
// as the program does, and reads its configuration into the shared state. Throws CliError
// (status 4) when no OTK5530 answers there.
void SelectChip(std::optional<int32_t> address);
