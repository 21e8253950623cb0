#include "cli/BoardWorker.h"

BoardWorker::BoardWorker(std::unique_ptr<ServedBoard> board)
    : board_(std::move(board)), known_(board_->known()), thread_([this] { run(); }) {}

BoardWorker::~BoardWorker() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

std::shared_future<BoardScrape> BoardWorker::reading() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (!requested_) {
        requested_ = true;
        promise_ = std::promise<BoardScrape>();
        current_ = promise_.get_future().share();
        lock.unlock();
        wake_.notify_one();
        lock.lock();
    }
    return current_;
}

BoardScrape BoardWorker::known() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return known_;
}

void BoardWorker::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (true) {
        wake_.wait(lock, [this] { return requested_ || stopping_; });
        if (stopping_)
            return;
        lock.unlock();
        const BoardScrape scrape = board_->read();
        const BoardScrape known = board_->known();
        lock.lock();
        known_ = known;
        requested_ = false;
        promise_.set_value(scrape);
    }
}

std::vector<BoardScrape> ScrapeBoards(const std::vector<std::unique_ptr<BoardWorker>>& boards,
                                      std::chrono::milliseconds deadline) {
    const auto start = std::chrono::steady_clock::now();
    std::vector<std::shared_future<BoardScrape>> readings;
    for (const auto& board : boards)
        readings.push_back(board->reading());
    std::vector<BoardScrape> scrapes;
    for (size_t i = 0; i < boards.size(); ++i) {
        if (readings[i].wait_until(start + deadline) == std::future_status::ready) {
            scrapes.push_back(readings[i].get());
            continue;
        }
        BoardScrape late = boards[i]->known();
        late.scrapeDurationSeconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        scrapes.push_back(late);
    }
    return scrapes;
}
