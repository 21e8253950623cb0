#include "views/ChartReadoutRules.h"

#include <algorithm>
#include <cmath>

void SampleStatistics::add(double value) {
    ++m_count;
    m_min = m_count == 1 ? value : std::min(m_min, value);
    m_max = m_count == 1 ? value : std::max(m_max, value);
    const double delta = value - m_mean;
    m_mean += delta / m_count;
    m_sumOfSquares += delta * (value - m_mean);
}

double SampleStatistics::standardDeviation() const {
    return m_count > 0 ? std::sqrt(std::max(0.0, m_sumOfSquares / m_count)) : 0;
}

namespace {
QString Degrees(double value) {
    return QString::number(value, 'f', 2);
}
QString SignedDegrees(double value) {
    return (value >= 0 ? "+" : "") + Degrees(value);
}
} // namespace

QString StatisticsLine(const QString& channel, const SampleStatistics& statistics) {
    if (statistics.count() == 0)
        return channel + "  no samples";
    return QString("%1  min %2  max %3  mean %4  σ %5  p-p %6 °C")
        .arg(channel, Degrees(statistics.min()), Degrees(statistics.max()), Degrees(statistics.mean()),
             Degrees(statistics.standardDeviation()), Degrees(statistics.peakToPeak()));
}

std::optional<double> DegreesPerMinute(double fromValue, double toValue, double seconds) {
    if (seconds == 0)
        return std::nullopt;
    return (toValue - fromValue) / seconds * 60;
}

QString CursorDeltaLine(const QString& channel, std::optional<double> first, std::optional<double> second,
                        double seconds) {
    if (!first || !second)
        return "Δ " + channel + " " + kNoSampleText;
    const std::optional<double> rate = DegreesPerMinute(*first, *second, seconds);
    return QString("Δ %1 %2 °C  %3 °C/min")
        .arg(channel, SignedDegrees(*second - *first), rate ? SignedDegrees(*rate) : "—");
}

std::optional<std::pair<double, double>> CursorPlaces(double oldestOnScreen, double newestOnScreen) {
    if (!(newestOnScreen > oldestOnScreen))
        return std::nullopt;
    const double stretch = newestOnScreen - oldestOnScreen;
    return std::pair(oldestOnScreen + stretch / 3, oldestOnScreen + stretch * 2 / 3);
}

QString PointerTimeText(const QDateTime& time) {
    return time.toString("yyyy-MM-dd HH:mm:ss.zzz");
}

QString ChannelOfCaption(const QString& caption, const QString& fallback) {
    const QString name = caption.section(" = ", 0, 0).trimmed();
    return name.isEmpty() ? fallback : name;
}
