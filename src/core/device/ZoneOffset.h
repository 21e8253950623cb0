#pragma once
// The local zone's offset from UTC, looked up at most once a second. Each lookup
// has the C library check the system's zone file; the monitoring cycle asks for
// the time of day several times a tick, a hundred ticks a second.
#include <QtGlobal>
#include <functional>

class ZoneOffset {
public:
    // lookup: the offset in seconds at a UTC time in ms since the epoch.
    explicit ZoneOffset(std::function<int(qint64 utcMs)> lookup) : m_lookup(std::move(lookup)) {}

    // The offset at utcMs. A looked-up offset serves the second that follows unless the
    // offset at that second's end differs (a change to or from summer time falls inside it).
    int at(qint64 utcMs);

private:
    std::function<int(qint64)> m_lookup;
    qint64 m_fromMs = 0;
    qint64 m_untilMs = 0; // empty until the first lookup
    int m_seconds = 0;
};
