#pragma once
// The time-of-day clock and the local date and time, replaceable so tests can
// drive the monitoring cycle across midnight and through whole days.
#include <QDateTime>
#include <functional>

namespace Clock {

QDateTime LocalNow();
// Seconds since local midnight with a fractional part; restarts at 0 at midnight.
double TimeOfDay();
// The same of a local date and time.
double TimeOfDay(const QDateTime& localNow);
// An empty source restores the system clock.
void SetLocalNowSource(std::function<QDateTime()> source);

} // namespace Clock
