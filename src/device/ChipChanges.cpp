#include "device/ChipChanges.h"

#include <algorithm>
#include <vector>

namespace ChipChanges {

namespace {
struct Subscriber {
    uint64_t id;
    Order order;
    Handler handler;
};

// Kept sorted by order, then by subscription.
std::vector<Subscriber>& subscribers() {
    static std::vector<Subscriber> list;
    return list;
}

uint64_t nextId = 1;

std::vector<Subscriber>::iterator findSubscriber(uint64_t id) {
    auto& list = subscribers();
    return std::find_if(list.begin(), list.end(), [id](const Subscriber& s) { return s.id == id; });
}
} // namespace

Subscription::Subscription(Order order, Handler handler) : id(nextId++) {
    auto& list = subscribers();
    const auto after = std::upper_bound(list.begin(), list.end(), order,
                                        [](Order o, const Subscriber& s) { return o < s.order; });
    list.insert(after, Subscriber{id, order, std::move(handler)});
}

Subscription::~Subscription() {
    reset();
}

Subscription::Subscription(Subscription&& other) noexcept : id(other.id) {
    other.id = 0;
}

Subscription& Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        reset();
        id = other.id;
        other.id = 0;
    }
    return *this;
}

void Subscription::reset() {
    if (id == 0)
        return;
    const auto it = findSubscriber(id);
    if (it != subscribers().end())
        subscribers().erase(it);
    id = 0;
}

void Notify(const RegisterWritten& change) {
    // A handler may open or close windows: walk a snapshot of who was subscribed,
    // and call each only if it still is.
    std::vector<uint64_t> ids;
    ids.reserve(subscribers().size());
    for (const Subscriber& s : subscribers())
        ids.push_back(s.id);
    for (const uint64_t id : ids) {
        const auto it = findSubscriber(id);
        if (it == subscribers().end())
            continue;
        const Handler handler = it->handler; // the list may change under a running handler
        handler(change);
    }
}

} // namespace ChipChanges
