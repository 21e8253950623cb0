#pragma once
// The numbers of the graph's readout: statistics of a stretch of samples, the
// differences between the two cursors, and their texts. Pure rules: no widget inside.
#include <QDateTime>
#include <QString>
#include <algorithm>
#include <iterator>
#include <optional>
#include <utility>

// Min, max, mean, standard deviation and peak-to-peak of the samples added so far.
// Welford's running mean keeps the deviation exact for long, nearly flat stretches.
class SampleStatistics {
public:
    void add(double value);
    int count() const { return m_count; }
    double min() const { return m_min; }
    double max() const { return m_max; }
    double mean() const { return m_mean; }
    // Of the samples themselves (divided by the count), as shown over the stretch on screen.
    double standardDeviation() const;
    double peakToPeak() const { return m_max - m_min; }

private:
    int m_count = 0;
    double m_min = 0;
    double m_max = 0;
    double m_mean = 0;
    double m_sumOfSquares = 0;
};

// "Local  min 20.00  max 30.00  mean 25.00  σ 3.16  p-p 10.00 °C", or "Local  no samples".
QString StatisticsLine(const QString& channel, const SampleStatistics& statistics);

// The change per minute between two cursor readings; none when both sit at the same time.
std::optional<double> DegreesPerMinute(double fromValue, double toValue, double seconds);

// What the readout shows where a cursor has no reading to give.
inline const QString kNoSampleText = "no sample";

// The sample a cursor at `key` reads, among samples sorted by key: the last one at or before it. None
// (`end`) before the oldest sample, after the newest, or further than `longestGap` seconds after the
// sample before it: nothing was measured there, and a neighbour's value must not pass for a reading.
template <typename Iterator>
Iterator SampleAtCursor(Iterator begin, Iterator end, double key, double longestGap) {
    if (begin == end || key > std::prev(end)->key)
        return end;
    const Iterator after =
        std::upper_bound(begin, end, key, [](double k, const auto& sample) { return k < sample.key; });
    if (after == begin || key - std::prev(after)->key > longestGap)
        return end;
    return std::prev(after);
}

// Where switched-on cursors go: a third and two thirds into the stretch that holds the samples on
// screen, so both read a sample; none while that stretch is not yet two samples long.
std::optional<std::pair<double, double>> CursorPlaces(double oldestOnScreen, double newestOnScreen);

// "Δ Local +1.00 °C  +6.00 °C/min"; a missing reading at either cursor gives "Δ Local no sample".
QString CursorDeltaLine(const QString& channel, std::optional<double> first, std::optional<double> second,
                        double seconds);

// The full local date and time the readout gives for the pointer, to the millisecond.
QString PointerTimeText(const QDateTime& time);

// The channel a trace shows, from its caption: "Remote2 = 30.50°C" reads "Remote2".
QString ChannelOfCaption(const QString& caption, const QString& fallback);
