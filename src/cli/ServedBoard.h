#pragma once
// One board of `serve`: its own adapter and chip session, connected when first read and
// again after its link failed (an adapter plugged back in comes back without a restart).
// Used from one thread at a time: BoardWorker's.
#include "adapter/DefaultAdapter.h"
#include "adapter/USBFunctions.h"
#include "cli/BoardOption.h"
#include "cli/PromMetrics.h"
#include "device/ChipSession.h"

#include <functional>
#include <memory>
#include <string>

class ServedBoard {
public:
    // Makes and opens the board's backend; OpenAdapter, or a fake in tests.
    using OpenBackend =
        std::function<std::unique_ptr<AdapterBackend>(const AdapterChoice&, AdapterStart&, std::string&)>;

    ServedBoard(BoardOption option, std::string firmwarePath, OpenBackend open = OpenAdapter);

    // Connects if the board is not connected, then reads it once. A board that cannot be
    // reached is up 0 with what is known of it; nothing here throws for a board.
    BoardScrape read();
    // What is known of the board without touching it: label, backend, address, ids, errors.
    const BoardScrape& known() const { return known_; }

private:
    // The label, backend and address as far as they are known.
    void name();
    // Empty when connected, else why not.
    std::string connect();
    // Tells the operator on stderr when the board comes up or goes down, once per change.
    void report(const std::string& failure);

    BoardOption board_;
    std::string firmwarePath_;
    OpenBackend open_;
    std::unique_ptr<AdapterBackend> backend_;
    ChipSession session_{nullptr};
    std::string description_;
    bool connected_ = false;
    BoardScrape known_;
    std::optional<std::string> reported_; // the failure last told; empty: up
};
