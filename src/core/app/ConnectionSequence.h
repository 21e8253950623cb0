#pragma once
// The connection sequence of start-up: firmware download, bus set-up and the
// search for the chip's address, with its progress shown on the splash.
#include <QString>
#include <cstdint>
#include <functional>

// Where the sequence shows its progress: a text line and a growing bar.
class ConnectionProgress {
public:
    virtual ~ConnectionProgress() = default;
    // The bar's full (design) width, in pixels.
    virtual double progressFullWidth() const = 0;
    // Makes the text line and the bar visible.
    virtual void showProgress() = 0;
    // Sets the text line and repaints it at once.
    virtual void setProgressText(const QString& text) = 0;
    // The bar's width in pixels; it may run past the full width.
    virtual void setProgressWidth(double width) = 0;
};

namespace GeneralStuff {

constexpr int kSetUpAttempts = 20;
constexpr int32_t kFirstSearchAddress = 0x18;
constexpr int32_t kLastSearchAddress = 0x4E;

// One hundredth of the bar's full width, whole pixels: every bar width is a number of these.
double ProgressStep(double fullWidth);

// The steps of the sequence, for a caller without progress to show (the command-line tool).
// The bus set-up request, up to kSetUpAttempts times until one succeeds; afterAttempt runs
// after each attempt with its outcome. False when none succeeded.
bool SetUpBus(const std::function<void(bool succeeded)>& afterAttempt);
// True when an OTK5530 answers at the address: its Manufacturer ID is ours. A failed
// read goes to ReportLinkError; an address where nothing answers reads 0xFF.
bool OtkAnswersAt(int32_t address);

// Runs the sequence and sets DeviceAddress. A failure goes to ReportLinkError and
// does not return.
void RunConnectionSequence(ConnectionProgress& progress);

} // namespace GeneralStuff
