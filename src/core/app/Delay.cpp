#include "app/Delay.h"

#include <QElapsedTimer>

namespace GeneralStuff {

namespace {
DelayFunction& replacement() {
    static DelayFunction delay;
    return delay;
}

// Measured on a monotonic clock: the time of day restarts at midnight, and a
// start-up across midnight would otherwise wait until the next day.
void busyWait(float milliseconds) {
    QElapsedTimer timer;
    timer.start();
    const qint64 limitNs = static_cast<qint64>(static_cast<double>(milliseconds) * 1e6);
    while (timer.nsecsElapsed() <= limitNs) {
    }
}
} // namespace

void Delay(float milliseconds) {
    if (replacement())
        replacement()(milliseconds);
    else
        busyWait(milliseconds);
}

void SetDelayFunction(DelayFunction delay) {
    replacement() = std::move(delay);
}

} // namespace GeneralStuff
