#include "device/ZoneOffset.h"

namespace {
constexpr qint64 kKeptMs = 1000;
}

int ZoneOffset::at(qint64 utcMs) {
    if (utcMs >= m_fromMs && utcMs < m_untilMs)
        return m_seconds;
    const int seconds = m_lookup(utcMs);
    if (m_lookup(utcMs + kKeptMs) == seconds) {
        m_fromMs = utcMs;
        m_untilMs = utcMs + kKeptMs;
        m_seconds = seconds;
    }
    return seconds;
}
