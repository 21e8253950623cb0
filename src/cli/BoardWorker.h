#pragma once
// Each board of `serve` on a thread of its own: its session is touched there alone, one
// reading at a time. A scrape asks every board at once and takes what has arrived by its
// deadline, so a slow or lost board never holds up the others.
#include "cli/PromMetrics.h"
#include "cli/ServedBoard.h"

#include <chrono>
#include <condition_variable>
#include <future>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class BoardWorker {
public:
    explicit BoardWorker(std::unique_ptr<ServedBoard> board);
    // Waits for the reading in progress, if any.
    ~BoardWorker();
    BoardWorker(const BoardWorker&) = delete;
    BoardWorker& operator=(const BoardWorker&) = delete;

    // A reading of the board: started now, or the one still running from an earlier scrape,
    // which is waited for rather than repeated.
    std::shared_future<BoardScrape> reading();
    // What is known of the board without reading it, up 0.
    BoardScrape known() const;

private:
    void run();

    std::unique_ptr<ServedBoard> board_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool requested_ = false; // a reading is asked for or running
    bool stopping_ = false;
    std::promise<BoardScrape> promise_;
    std::shared_future<BoardScrape> current_;
    BoardScrape known_;
    std::thread thread_;
};

// Every board read at once; a board whose reading has not ended by the deadline is down
// for this scrape, with its info kept.
std::vector<BoardScrape> ScrapeBoards(const std::vector<std::unique_ptr<BoardWorker>>& boards,
                                      std::chrono::milliseconds deadline);
