#include "device/ChipChanges.h"

#include <algorithm>
#include <exception>

namespace ChipChanges {

namespace {
struct Subscriber {
    uint64_t id;
    std::optional<Order> order; // none for a follower
    Handler handler;
    FollowHandler follow;
};

// In-write subscribers first, sorted by order, then the followers, each by subscription.
std::vector<Subscriber>& subscribers() {
    static std::vector<Subscriber> list;
    return list;
}

uint64_t nextId = 1;

// A write collected inside an action, and which follower (0: none) made it.
struct Pending {
    RegisterWritten change;
    uint64_t writer;
};

struct ActionState {
    int depth = 0;
    uint64_t writer = 0;
    std::vector<Pending> pending;
};

ActionState& actions() {
    static ActionState state;
    return state;
}

std::vector<Subscriber>::iterator findSubscriber(uint64_t id) {
    auto& list = subscribers();
    return std::find_if(list.begin(), list.end(), [id](const Subscriber& s) { return s.id == id; });
}

bool before(const std::optional<Order>& a, const std::optional<Order>& b) {
    if (!a || !b)
        return a && !b;
    return *a < *b;
}

uint64_t subscribe(Subscriber subscriber) {
    const uint64_t id = subscriber.id;
    auto& list = subscribers();
    const auto after = std::upper_bound(
        list.begin(), list.end(), subscriber.order,
        [](const std::optional<Order>& o, const Subscriber& s) { return before(o, s.order); });
    list.insert(after, std::move(subscriber));
    return id;
}

// A handler may open or close windows: walk a snapshot of who was subscribed,
// and call each only if it still is.
template <typename Call> void forEachSubscriber(Call call) {
    std::vector<uint64_t> ids;
    ids.reserve(subscribers().size());
    for (const Subscriber& s : subscribers())
        ids.push_back(s.id);
    for (const uint64_t id : ids) {
        const auto it = findSubscriber(id);
        if (it != subscribers().end())
            call(Subscriber(*it)); // a copy: the list may change under a running handler
    }
}

void deliver(const std::vector<Pending>& pending) {
    forEachSubscriber([&pending](const Subscriber& s) {
        if (!s.follow)
            return;
        Writes writes;
        for (const Pending& p : pending)
            if (p.writer != s.id)
                writes.list.push_back(p.change);
        if (!writes.list.empty())
            s.follow(writes);
    });
}
} // namespace

bool Writes::wrote(int32_t writeAddress) const {
    return std::any_of(list.begin(), list.end(),
                       [writeAddress](const RegisterWritten& w) { return w.writeAddress == writeAddress; });
}

bool Writes::rangeAndSelectionRead() const {
    return std::any_of(list.begin(), list.end(),
                       [](const RegisterWritten& w) { return w.rangeAndSelectionRead; });
}

Subscription::Subscription(Order order, Handler handler)
    : id(subscribe(Subscriber{nextId++, order, std::move(handler), {}})) {}

Subscription::Subscription(FollowHandler handler)
    : id(subscribe(Subscriber{nextId++, std::nullopt, {}, std::move(handler)})) {}

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

Action::Action(const Subscription* writer) : previousWriter(actions().writer) {
    ++actions().depth;
    if (writer)
        actions().writer = writer->id;
}

Action::~Action() noexcept(false) {
    ActionState& state = actions();
    state.writer = previousWriter;
    if (--state.depth > 0)
        return;
    std::vector<Pending> pending = std::move(state.pending);
    state.pending.clear();
    // An action ended by a link error tells nobody: the application is closing.
    if (std::uncaught_exceptions() == 0)
        deliver(pending);
}

void Notify(const RegisterWritten& change) {
    forEachSubscriber([&change](const Subscriber& s) {
        if (s.handler)
            s.handler(change);
    });
    if (actions().depth > 0)
        actions().pending.push_back({change, actions().writer});
    else
        deliver({{change, 0}});
}

} // namespace ChipChanges
