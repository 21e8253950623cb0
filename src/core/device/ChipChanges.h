#pragma once
// The change notification of the device layer: after every register write the
// subscribers hear what was written, so windows update themselves and the device
// layer never calls into a window.
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace ChipChanges {

struct RegisterWritten {
    int32_t writeAddress = 0;
    std::optional<uint8_t> value; // the byte sent; none for the start-up update
    // ExtendedRange and Remote2Selected were just read back from the chip: views
    // that show the range or the channel selection relabel and reload.
    bool rangeAndSelectionRead = false;
};

// The writes of one action, in the order they were made.
struct Writes {
    std::vector<RegisterWritten> list;
    bool wrote(int32_t writeAddress) const;
    bool rangeAndSelectionRead() const;
};

// Told inside the write, before it returns: the graph relabels its traces, then the
// limits window reloads, whatever order the windows opened in.
enum class Order { GraphTraces, LimitsReload };

using Handler = std::function<void(const RegisterWritten&)>;
using FollowHandler = std::function<void(const Writes&)>;

// Subscribed while it lives; destroying or reassigning it unsubscribes.
class Subscription {
public:
    Subscription() = default;
    // Hears each write inside it.
    Subscription(Order order, Handler handler);
    // A follower: hears the writes of an action once, after the action has ended.
    explicit Subscription(FollowHandler handler);
    ~Subscription();
    Subscription(Subscription&& other) noexcept;
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

private:
    friend class Action;
    void reset();
    uint64_t id = 0;
};

// One user action that writes the chip (a slider change, Apply, a recall, a
// register-map write). Its writes reach the followers together when the outermost
// action ends, so no follower reads inside a writer's sequence; a message box inside
// the action does not let them through. The writer's own follower, if given, is not
// told of the action's writes: the writer reads back what it wrote as part of its action.
class Action {
public:
    explicit Action(const Subscription* writer = nullptr);
    ~Action() noexcept(false); // a follower's read may fail: the link error passes through
    Action(const Action&) = delete;
    Action& operator=(const Action&) = delete;

private:
    uint64_t previousWriter;
};

// Tells the write to the in-write subscribers in order, then to the followers: at
// once when no action is open, else when the outermost action ends. A subscriber
// that unsubscribes meanwhile is skipped.
void Notify(const RegisterWritten& change);

} // namespace ChipChanges
