#pragma once
// The change notification of the device layer: after every register write the
// subscribers hear what was written, so windows update themselves and the device
// layer never calls into a window.
#include <cstdint>
#include <functional>
#include <optional>

namespace ChipChanges {

struct RegisterWritten {
    int32_t writeAddress = 0;
    std::optional<uint8_t> value; // the byte sent; none for the start-up update
    // ExtendedRange and Remote2Selected were just read back from the chip: views
    // that show the range or the channel selection relabel and reload.
    bool rangeAndSelectionRead = false;
};

// Who hears of a write first, whatever order the windows opened in: the graph
// relabels its traces, then the limits window reloads, then anyone else.
enum class Order { GraphTraces, LimitsReload, Others };

using Handler = std::function<void(const RegisterWritten&)>;

// Subscribed while it lives; destroying or reassigning it unsubscribes.
class Subscription {
public:
    Subscription() = default;
    Subscription(Order order, Handler handler);
    ~Subscription();
    Subscription(Subscription&& other) noexcept;
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;

private:
    void reset();
    uint64_t id = 0;
};

// Calls every subscriber in order; one that unsubscribes meanwhile is skipped.
void Notify(const RegisterWritten& change);

} // namespace ChipChanges
