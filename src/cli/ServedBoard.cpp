#include "cli/ServedBoard.h"

#include "adapter/USBFunctions.h"
#include "adapter/VendorRequests.h"
#include "app/ConnectionSequence.h"
#include "chip/ChipRegisters.h"
#include "cli/CliConnect.h"
#include "cli/CliExit.h"
#include "cli/CliOutput.h"

#include <chrono>
#include <cstdio>
#include <thread>

namespace {

bool setUpBus(AdapterBackend& backend) {
    for (int attempt = 1; attempt <= GeneralStuff::kSetUpAttempts; ++attempt) {
        uint8_t noData = 0;
        if (backend.VendorIORequest(VendorRequest::BusSetUp, VendorRequest::BusSetUpValue,
                                    VendorRequest::BusSetUpIndex, 0, 0, &noData) == 0)
            return true;
        std::this_thread::sleep_for(kSetUpRetryPause);
    }
    return false;
}

std::string withDetail(const std::string& what, const AdapterBackend* backend) {
    const std::string detail = backend ? backend->FailureDetail() : std::string();
    return detail.empty() ? what : what + ": " + detail;
}

} // namespace

ServedBoard::ServedBoard(BoardOption option, std::string firmwarePath, OpenBackend open)
    : board_(std::move(option)), firmwarePath_(std::move(firmwarePath)), open_(std::move(open)) {
    name();
}

void ServedBoard::name() {
    const BoardScrape identity =
        BoardIdentity(BoardPlace(board_.choice).toStdString(), board_.address.value_or(0));
    known_.chip = ChipLabel(board_).toStdString();
    known_.backend = identity.backend;
    known_.address = identity.address;
}

std::string ServedBoard::connect() {
    // A simulated board stays the same board; a device is opened afresh, as it may have
    // been unplugged and plugged back in.
    if (!backend_ || board_.choice.kind != AdapterKind::Simulated) {
        session_.adapter = nullptr;
        backend_.reset();
        AdapterStart start;
        start.firmwarePath = firmwarePath_;
        std::string error;
        backend_ = open_(board_.choice, start, error);
        if (!backend_)
            return error;
        description_ = start.description;
        // From now on this adapter only: the label stays where the board was found.
        if (start.usbBus >= 0) {
            board_.choice.usbBus = start.usbBus;
            board_.choice.usbPortPath = start.usbPortPath;
        }
    }
    session_.forgetChip();
    session_.adapter = backend_.get();
    if (backend_->LoadFirmWare(firmwarePath_.c_str()) < 0)
        return withDetail("the firmware download failed", backend_.get());
    if (!setUpBus(*backend_))
        return withDetail("the bus set-up failed", backend_.get());
    try {
        const auto answers = [this](int32_t address) {
            return session_.ReadRegisterAt(address, kManufacturerId) == kOurManufacturerId;
        };
        if (board_.address && !answers(*board_.address))
            return "no OTK5530 answers at " + ByteText(*board_.address).toStdString();
        for (int32_t a = GeneralStuff::kFirstSearchAddress;
             !board_.address && a <= GeneralStuff::kLastSearchAddress; ++a)
            if (answers(a))
                board_.address = a;
        if (!board_.address)
            return "no OTK5530 found at any address from " +
                   ByteText(GeneralStuff::kFirstSearchAddress).toStdString() + " to " +
                   ByteText(GeneralStuff::kLastSearchAddress).toStdString();
    } catch (const LinkFailure&) {
        ++known_.busErrorsTotal;
        return withDetail("a register transfer failed", backend_.get());
    }
    session_.DeviceAddress = *board_.address;
    name();
    connected_ = true;
    return {};
}

BoardScrape ServedBoard::read() {
    const auto start = std::chrono::steady_clock::now();
    std::string failure;
    if (!connected_)
        failure = connect();
    BoardScrape scrape = known_;
    scrape.up = false;
    if (connected_) {
        scrape = ScrapeBoard(session_, known_);
        if (!scrape.up) {
            connected_ = false;
            failure = scrape.busErrorsTotal > known_.busErrorsTotal
                          ? withDetail("a register transfer failed", backend_.get())
                          : "no OTK5530 answers at " + ByteText(known_.address).toStdString();
        }
    }
    scrape.scrapeDurationSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    known_ = scrape;
    known_.up = false;
    known_.sensors = {};
    report(failure);
    return scrape;
}

void ServedBoard::report(const std::string& failure) {
    if (reported_ && *reported_ == failure)
        return;
    reported_ = failure;
    if (failure.empty())
        std::fprintf(stderr, "%s: %s: up (%s at %s)\n", kToolName, known_.chip.c_str(), description_.c_str(),
                     ByteText(known_.address).toUtf8().constData());
    else
        std::fprintf(stderr, "%s: %s: down: %s\n", kToolName, known_.chip.c_str(), failure.c_str());
}
