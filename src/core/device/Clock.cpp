#include "device/Clock.h"

#include "device/ZoneOffset.h"

namespace Clock {

namespace {
std::function<QDateTime()>& source() {
    static std::function<QDateTime()> current;
    return current;
}

int SystemOffsetAt(qint64 utcMs) {
    return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::LocalTime).offsetFromUtc();
}

// The local time at a fixed offset: the same date, time and instant as the system's local time, without
// a look at the zone settings each time it is read.
QDateTime SystemNow() {
    thread_local ZoneOffset offset(SystemOffsetAt);
    const qint64 utcMs = QDateTime::currentMSecsSinceEpoch();
    return QDateTime::fromMSecsSinceEpoch(utcMs, Qt::OffsetFromUTC, offset.at(utcMs));
}
} // namespace

QDateTime LocalNow() {
    return source() ? source()() : SystemNow();
}

double TimeOfDay() {
    return TimeOfDay(LocalNow());
}

double TimeOfDay(const QDateTime& localNow) {
    return localNow.time().msecsSinceStartOfDay() / 1000.0;
}

void SetLocalNowSource(std::function<QDateTime()> newSource) {
    source() = std::move(newSource);
}

} // namespace Clock
